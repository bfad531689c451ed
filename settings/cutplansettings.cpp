#include "cutplansettings.h"

#include "settingsfiles.h"

#include <QRegularExpression>
#include <QStringList>

namespace sheetcraft {

namespace {

struct Field {
    const char *name;
    QString CutPlanSettings::*value;
};

constexpr Field fields[] = {
    {"quantity", &CutPlanSettings::quantity},
    {"spoilage", &CutPlanSettings::spoilage},
    {"makeready", &CutPlanSettings::makeReady},
    {"finished-grain", &CutPlanSettings::finishedGrain},
    {"press-grain", &CutPlanSettings::pressGrain},
};

// A value is a short line of its own; anything else is not ours.
constexpr qsizetype valueLimit = 40;

} // namespace

CutPlanSettings readCutPlanSettings() {
    CutPlanSettings settings;
    const SettingsBytes read =
        readSettingsBytes(settingsFolder() + QLatin1Char('/') + QLatin1String(cutPlanFileName));
    if (read.error != 0)
        return settings;
    // CR LF, LF and CR alone all end a line, as in the other settings files.
    const QStringList lines =
        QString::fromUtf8(read.bytes).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (QString line : lines) {
        line = line.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString name = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (value.size() > valueLimit)
            continue;
        for (const Field &f : fields)
            if (name == QLatin1String(f.name))
                settings.*f.value = value;
    }
    return settings;
}

Outcome writeCutPlanSettings(const CutPlanSettings &settings) {
    QByteArray bytes;
    for (const Field &f : fields)
        bytes += QByteArray(f.name) + '=' +
                 (settings.*f.value).left(valueLimit).simplified().toUtf8() + '\n';
    return writeSettingsFile(QLatin1String(cutPlanFileName), bytes);
}

} // namespace sheetcraft
