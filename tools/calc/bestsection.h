#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "diagram.h"

#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace sheetcraft {

// One stage's best layout beside the frames the panel shows.
struct StageBest {
    BestLayout best;
    CutPlan plan;
    double framesMaximum = 0; // the panel's MAXIMUM OUT
};

// The best layout for a drawn diagram; the plan lists stocks up to the detail limit.
StageBest computeStageBest(const DiagramValues &diagram, GrainRule grain,
                           const BestLayoutOptions &options);

// Pieces and cuts are listed up to this many pieces.
inline constexpr std::int64_t bestDetailLimit = 5000;

QJsonObject bestJson(const StageBest &stage);
QJsonObject orderJson(const OrderQuantities &order);

void printBest(QTextStream &out, const StageBest &stage, GrainRule grain);
void printOrder(QTextStream &out, const OrderQuantities &best,
                const std::optional<OrderQuantities> &frames);

} // namespace sheetcraft
