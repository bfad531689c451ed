#include "cutsteps.h"

#include <cstdio>

namespace sheetcraft {

std::vector<CutRow> cutRows(const CutPlan &plan) {
    std::vector<CutRow> rows;
    rows.reserve(plan.operations.size());
    for (const CutOperation &op : plan.operations) {
        CutRow r;
        r.number = std::to_string(op.n);
        r.pile = "pile " + std::to_string(op.pile) + ", ";
        if (op.stockCount > 1)
            r.pile += std::to_string(op.stockCount) + " side by side, ";
        r.pile += sheetNumber(op.stockWidth) + " x " + sheetNumber(op.stockDepth);
        if (op.turn == PileTurn::Quarter)
            r.turn = "turn a quarter";
        else if (op.turn == PileTurn::Round)
            r.turn = "turn round";
        r.gauge = "back gauge " + sheetNumber(op.gauge);
        switch (op.off) {
        case CutOff::Pieces:
            r.off = "pieces off";
            break;
        case CutOff::Waste:
            r.off = "waste " + sheetNumber(op.offSize) + " off";
            break;
        case CutOff::Strip:
            r.off = "strip " + sheetNumber(op.offSize) + " off for later";
            break;
        }
        if (op.overKnife)
            r.note = "longer than the knife";
        else if (op.belowGauge)
            r.note = "closer than the gauge comes: use a spacer";
        else if (op.narrowOff)
            r.note = "narrow: it comes off in front of the knife";
        rows.push_back(std::move(r));
    }
    return rows;
}

std::string machineLine(const MachineRules &m) {
    std::string line =
        m.knifeLength > 0 ? "Knife " + sheetNumber(m.knifeLength) : "Knife any length";
    return line + ", gauge no closer than " + sheetNumber(m.smallestGauge) + ", lifts of " +
           std::to_string(m.lift) + " sheets";
}

std::string cuttingLine(const CuttingWork &w, std::size_t finishedStrokes,
                        std::size_t pressStrokes) {
    auto stage = [](std::int64_t lifts, const char *what, std::size_t strokes) {
        return std::to_string(lifts) + (lifts == 1 ? " lift of " : " lifts of ") + what + " x " +
               std::to_string(strokes) + (strokes == 1 ? " stroke" : " strokes");
    };
    return "Cutting: " + stage(w.pressLifts, "press sheets", finishedStrokes) + ", " +
           stage(w.parentLifts, "parent sheets", pressStrokes) + ": " +
           std::to_string(w.knifeStrokes) + " knife strokes";
}

std::string cutRowLine(const CutRow &row) {
    std::string line = row.number;
    if (line.size() < 4)
        line.insert(0, 4 - line.size(), ' ');
    line += ".  " + row.pile + ": ";
    if (!row.turn.empty())
        line += row.turn + ", ";
    line += row.gauge + ", " + row.off;
    if (!row.note.empty())
        line += " (" + row.note + ")";
    return line;
}

} // namespace sheetcraft
