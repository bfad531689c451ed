#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

// Readable QString and QByteArray values in failure messages.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os) {
    *os << '"' << bytes.toStdString() << '"';
}

namespace sheetcraft::test {

// Points XDG_CONFIG_HOME at a fresh folder for one test and restores it after.
class ConfigFolder {
public:
    ConfigFolder() : m_old(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~ConfigFolder() {
        if (m_locked)
            setImmutable(false);
        qputenv("XDG_CONFIG_HOME", m_old);
    }
    ConfigFolder(const ConfigFolder &) = delete;
    ConfigFolder &operator=(const ConfigFolder &) = delete;

    QString root() const { return m_dir.path(); }
    QString settings() const { return root() + QStringLiteral("/sheetcraft"); }
    QString file(const char *name) const { return settings() + '/' + QLatin1String(name); }

    void write(const char *name, const QByteArray &bytes) const {
        QDir().mkpath(settings());
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    QByteArray read(const char *name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    // Makes the settings folder refuse new files. Permissions do not stop
    // root, so there the folder is marked immutable as well; false when
    // neither works on this file system.
    bool lockSettings() {
        QDir().mkpath(settings());
        ::chmod(settings().toLocal8Bit().constData(), 0555);
        m_locked = setImmutable(true);
        QFile probe(settings() + QStringLiteral("/probe"));
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private:
    bool setImmutable(bool on) const {
#ifdef __linux__
        const int fd = ::open(settings().toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
#else
        Q_UNUSED(on);
        return false;
#endif
    }

    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_locked = false;
};

} // namespace sheetcraft::test
