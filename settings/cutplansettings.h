#pragma once

#include "cutplan.h"
#include "outcome.h"

#include <QString>

namespace sheetcraft {

inline constexpr const char *cutPlanFileName = "CutPlan.txt";

// What the "Best Layout and Cut Plan" window keeps between runs: the order
// fields as typed, each stage's grain rule ("any", "along", "across") and the
// cutter: its knife length and smallest back-gauge distance for each unit set
// (inches and millimetres are different numbers of one machine), and its lift.
struct CutPlanSettings {
    QString quantity = QStringLiteral("1000");
    QString spoilage = QStringLiteral("0");
    QString makeReady = QStringLiteral("0");
    QString finishedGrain = QStringLiteral("any");
    QString pressGrain = QStringLiteral("one way");
    QString knifeInch = QStringLiteral("45");
    QString knifeMm = QStringLiteral("1150");
    QString gaugeInch = QStringLiteral("1");
    QString gaugeMm = QStringLiteral("25");
    QString lift = QStringLiteral("500");
    friend bool operator==(const CutPlanSettings &, const CutPlanSettings &) = default;
};

// The cutter in the job's units; a value that is not a positive number (the
// gauge may be 0) gives way to the default.
MachineRules machineRules(const CutPlanSettings &settings, bool metric);

// Reads the file as "name=value" lines; a missing or unreadable file, or an
// unknown line, leaves the defaults.
CutPlanSettings readCutPlanSettings();

// Writes the file safely; on failure says why.
[[nodiscard]] Outcome writeCutPlanSettings(const CutPlanSettings &settings);

} // namespace sheetcraft
