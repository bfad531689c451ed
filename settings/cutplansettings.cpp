#include "cutplansettings.h"

#include "settingsfiles.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

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
    {"knife-in", &CutPlanSettings::knifeInch},
    {"knife-mm", &CutPlanSettings::knifeMm},
    {"smallest-gauge-in", &CutPlanSettings::gaugeInch},
    {"smallest-gauge-mm", &CutPlanSettings::gaugeMm},
    {"lift", &CutPlanSettings::lift},
};

// A value is a short line of its own; anything else is not ours.
constexpr qsizetype valueLimit = 40;

} // namespace

MachineRules machineRules(const CutPlanSettings &settings, bool metric) {
    MachineRules m = defaultMachine(metric);
    auto number = [](QString text, double &value, bool zeroOk) {
        bool ok = false;
        const double v = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (ok && std::isfinite(v) && v <= 1e9 && (v > 0 || (zeroOk && v == 0)))
            value = v;
    };
    number(metric ? settings.knifeMm : settings.knifeInch, m.knifeLength, false);
    number(metric ? settings.gaugeMm : settings.gaugeInch, m.smallestGauge, true);
    double lift = static_cast<double>(m.lift);
    number(settings.lift, lift, false);
    if (lift >= 1 && lift == std::floor(lift))
        m.lift = static_cast<std::int64_t>(lift);
    return m;
}

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
