#pragma once

#include "outcome.h"

#include <QString>

namespace sheetcraft {

inline constexpr const char *cutPlanFileName = "CutPlan.txt";

// What the "Best Layout and Cut Plan" window keeps between runs: the order
// fields as typed and each stage's grain rule ("any", "along", "across").
struct CutPlanSettings {
    QString quantity = QStringLiteral("1000");
    QString spoilage = QStringLiteral("0");
    QString makeReady = QStringLiteral("0");
    QString finishedGrain = QStringLiteral("any");
    QString pressGrain = QStringLiteral("one way");
    friend bool operator==(const CutPlanSettings &, const CutPlanSettings &) = default;
};

// Reads the file as "name=value" lines; a missing or unreadable file, or an
// unknown line, leaves the defaults.
CutPlanSettings readCutPlanSettings();

// Writes the file safely; on failure says why.
[[nodiscard]] Outcome writeCutPlanSettings(const CutPlanSettings &settings);

} // namespace sheetcraft
