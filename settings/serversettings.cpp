#include "serversettings.h"

#include "settingsfiles.h"

#include <QStringList>

namespace sheetcraft {

ServerSettings readServerSettings() {
    ServerSettings settings;
    const SettingsBytes read =
        readSettingsBytes(settingsFolder() + QLatin1Char('/') + QLatin1String(serverFileName));
    if (read.error != 0)
        return settings;
    for (const QString &line : QString::fromUtf8(read.bytes).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (eq > 0 && name == QLatin1String("source"))
            settings.useServer = value == QLatin1String("server");
        else if (eq > 0 && name == QLatin1String("connection"))
            settings.connection = value;
    }
    return settings;
}

Outcome writeServerSettings(const ServerSettings &settings) {
    // One line each: a connection text is one line of libpq's forms anyway.
    const QByteArray bytes = QByteArray("source=") + (settings.useServer ? "server" : "file") +
                             "\nconnection=" + settings.connection.simplified().toUtf8() + '\n';
    return writeSettingsFile(QLatin1String(serverFileName), bytes);
}

} // namespace sheetcraft
