#pragma once

#include "cutsteps.h"
#include "stageplan.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace sheetcraft {

QJsonArray rectJson(const SheetRect &rect); // [x, y, w, d]
// A cut: {n, axis, offset, stocks, gauge, turn, off}.
QJsonObject cutJson(const CutOperation &cut);
QJsonObject bestJson(const StagePlan &stage);
QJsonObject orderJson(const OrderQuantities &order, std::optional<CuttingWork> work = {});
QJsonObject machineJson(const MachineRules &machine);

// --knife, --smallest-gauge and --lift.
struct MachineOptions {
    QCommandLineOption knife{"knife",
                             "Knife length of the cutter (default 45, or 1150 for "
                             "sheets in millimetres).",
                             "L"};
    QCommandLineOption smallestGauge{"smallest-gauge",
                                     "Closest the back gauge comes to the knife (default 1, or "
                                     "25 for sheets in millimetres).",
                                     "G"};
    QCommandLineOption lift{"lift", "Lift height in sheets (default 500).", "N"};
};
void addMachineOptions(QCommandLineParser &parser, const MachineOptions &options);
// The machine from the options over the defaults for the job's units; an
// error text when a value is not a positive number.
std::optional<MachineRules> machineFromOptions(const QCommandLineParser &parser,
                                               const MachineOptions &options, bool metric,
                                               QString &error);

void printBest(QTextStream &out, const StagePlan &stage);
void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames);

} // namespace sheetcraft
