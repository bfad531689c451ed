#pragma once

#include "cutplan.h"
#include "numberformat.h"

#include <string>
#include <vector>

namespace sheetcraft {

// One knife stroke in a cutter's words, in columns the list and the printed
// ticket lay out side by side.
struct CutRow {
    std::string number; // "12"
    std::string pile;   // "pile 3, 5 side by side, 3.5 x 8"
    std::string turn;   // "turn a quarter", "turn round" or empty
    std::string gauge;  // "back gauge 4"
    std::string off;    // "pieces off", "waste 0.5 off", "strip 3.625 off for later"
    std::string note;   // what the cutter must mind, or empty
};

std::vector<CutRow> cutRows(const CutPlan &plan);

// "  12.  pile 3, 5 side by side, 3.5 x 8: turn a quarter, back gauge 4, pieces off"
std::string cutRowLine(const CutRow &row);

// "Knife 45, gauge no closer than 1, lifts of 500 sheets"
std::string machineLine(const MachineRules &machine);
// "Cutting: 3 lifts of press sheets x 12 strokes, 1 lift of parent sheets x 3
// strokes: 39 knife strokes"
std::string cuttingLine(const CuttingWork &work, std::size_t finishedStrokes,
                        std::size_t pressStrokes);

} // namespace sheetcraft
