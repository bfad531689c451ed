#include "settingsfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

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

LocationFile readLocationFile() {
    LocationFile result;
    QFile file(locationFilePath());
    if (!file.exists()) {
        result.error = errFileNotFound;
        return result;
    }
    result.exists = true;
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = errFileAccess;
        return result;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = errFileAccess;
        return result;
    }
    // A file saved by a text editor may start with a byte-order mark.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    FieldReader reader(bytes);
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

bool writeSettingsFile(const QString &fileName, const QByteArray &bytes, MessageSink &messages) {
    const QString folder = settingsFolder();
    const QString path = folder + QLatin1Char('/') + fileName;
    QString reason;
    if (!QDir().mkpath(folder)) {
        reason =
            QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(folder));
    } else {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            reason = file.errorString();
    }
    if (reason.isEmpty())
        return true;
    const QString text = QStringLiteral("The settings file %1 could not be saved: %2.")
                             .arg(QDir::toNativeSeparators(path), reason);
    messages.message(text.toStdString());
    return false;
}

bool writeLocationFile(const QString &dataFolder, const QString &estFolder, MessageSink &messages) {
    const QByteArray bytes = dataFolder.toUtf8() + "\r\n" + estFolder.toUtf8() + "\r\n";
    return writeSettingsFile(QLatin1String(locationFileName), bytes, messages);
}

std::optional<char> readModeLetter() {
    QFile file(modeFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    char letter = 0;
    if (!file.getChar(&letter))
        return std::nullopt;
    return letter;
}

bool writeModeFile(char letter, MessageSink &messages) {
    return writeSettingsFile(QLatin1String(modeFileName), QByteArray(1, letter) + "\r\n", messages);
}

} // namespace sheetcraft
