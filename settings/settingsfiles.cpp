#include "settingsfiles.h"

#include "safewrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sheetcraft {

QString settingsFolder() {
#ifdef _WIN32
    return QCoreApplication::applicationDirPath();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/sheetcraft");
#endif
}

QString locationFilePath() {
    return settingsFolder() + QLatin1Char('/') + QLatin1String(locationFileName);
}

QString modeFilePath() {
    return settingsFolder() + QLatin1Char('/') + QLatin1String(modeFileName);
}

bool FieldReader::atLineEnd() const {
    return m_pos < m_text.size() && (m_text[m_pos] == '\r' || m_text[m_pos] == '\n');
}

void FieldReader::skipLineEnd() {
    if (m_pos < m_text.size() && m_text[m_pos] == '\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == '\n')
        ++m_pos;
}

std::optional<QString> FieldReader::next() {
    const qsizetype size = m_text.size();
    while (m_pos < size && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t'))
        ++m_pos;
    if (m_pos >= size)
        return std::nullopt;

    QByteArray value;
    if (m_text[m_pos] == '"') {
        const qsizetype start = ++m_pos;
        while (m_pos < size && m_text[m_pos] != '"')
            ++m_pos;
        value = m_text.mid(start, m_pos - start);
        if (m_pos < size)
            ++m_pos; // closing quote
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < size && m_text[m_pos] != ',' && !atLineEnd())
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < size && m_text[m_pos] != ',' && !atLineEnd())
            ++m_pos;
        value = m_text.mid(start, m_pos - start);
    }
    if (m_pos < size && m_text[m_pos] == ',')
        ++m_pos;
    else
        skipLineEnd();
    return QString::fromUtf8(value);
}

SettingsBytes readSettingsBytes(const QString &path) {
    SettingsBytes result;
    // Without blocking: a FIFO put in a settings file's place would otherwise
    // hold the open until someone writes to it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno == ENOENT || errno == ENOTDIR ? errFileNotFound : errFileAccess;
        result.reason = QString::fromLocal8Bit(std::strerror(errno));
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > settingsFileLimit) {
        ::close(fd);
        result.error = errFileAccess;
        result.reason = S_ISREG(st.st_mode)
                            ? QStringLiteral("larger than %1 KB").arg(settingsFileLimit / 1024)
                            : QStringLiteral("not a regular file");
        return result;
    }
    // The size is checked again while reading: the file may grow meanwhile.
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || result.bytes.size() + n > settingsFileLimit) {
            result.error = errFileAccess;
            result.reason = n < 0
                                ? QString::fromLocal8Bit(std::strerror(errno))
                                : QStringLiteral("larger than %1 KB").arg(settingsFileLimit / 1024);
            break;
        }
        if (n == 0)
            break;
        result.bytes.append(buffer, n);
    }
    ::close(fd);
    if (result.error != 0) {
        result.bytes.clear();
        return result;
    }
    // A file saved by a text editor may start with a byte-order mark.
    if (result.bytes.startsWith("\xEF\xBB\xBF"))
        result.bytes.remove(0, 3);
    return result;
}

LocationFile readLocationFile() {
    LocationFile result;
    const SettingsBytes file = readSettingsBytes(locationFilePath());
    result.exists = file.error != errFileNotFound;
    if (file.error != 0) {
        result.error = file.error;
        return result;
    }
    FieldReader reader(file.bytes);
    const auto data = reader.next();
    const auto est = data ? reader.next() : std::nullopt;
    if (!data || !est) {
        result.error = errInputPastEnd;
        return result;
    }
    result.dataFolder = *data;
    result.estFolder = *est;
    return result;
}

Outcome writeSettingsFile(const QString &fileName, const QByteArray &bytes) {
    const QString folder = settingsFolder();
    const QString path = folder + QLatin1Char('/') + fileName;
    QString reason;
    if (!QDir().mkpath(folder)) {
        reason =
            QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
    } else {
        const std::string failure = writeFileSafely(QFile::encodeName(path).toStdString(),
                                                    std::string_view(bytes.data(), bytes.size()));
        reason = QString::fromLocal8Bit(failure.data(), static_cast<qsizetype>(failure.size()));
    }
    Outcome said;
    if (!reason.isEmpty())
        said.say({MessageKind::SettingsNotSaved, 0, QDir::toNativeSeparators(path).toStdString(),
                  reason.toStdString()});
    return said;
}

Outcome writeLocationFile(const QString &dataFolder, const QString &estFolder) {
    const QByteArray bytes = dataFolder.toUtf8() + "\r\n" + estFolder.toUtf8() + "\r\n";
    return writeSettingsFile(QLatin1String(locationFileName), bytes);
}

std::optional<char> readModeLetter(Outcome *unreadable) {
    const SettingsBytes file = readSettingsBytes(modeFilePath());
    if (unreadable && file.error == errFileAccess)
        unreadable->say({MessageKind::SettingsNotRead, 0,
                         QDir::toNativeSeparators(modeFilePath()).toStdString(),
                         file.reason.toStdString()});
    if (file.error != 0 || file.bytes.isEmpty())
        return std::nullopt;
    return file.bytes.front();
}

Outcome writeModeFile(char letter) {
    return writeSettingsFile(QLatin1String(modeFileName), QByteArray(1, letter) + "\r\n");
}

} // namespace sheetcraft
