#pragma once

#include "stockcount.h"
#include "stocklist.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sheetcraft {

// What would gain one more piece on the press sheet: for each kind of change,
// the smallest one that raises the best count, checked by the search.
enum class GainKind { GripperEdge, Gripper, Trim, PressSize, Stock };

const char *gainKindText(GainKind kind); // "gripperEdge", "gripper", "trim", ...

struct Gain {
    GainKind kind = GainKind::Gripper;
    std::string change; // "gripper 0.375 (now 0.5)"
    PieceCount count;   // with the change
    // The new value: the gripper, the trimmed side, the press sheet's sides.
    double value = 0, value2 = 0;
    std::string size; // a press or stock size, as the cells take it
};

struct GainQuestion {
    LayoutProblem problem;    // the press sheet, piece, gripper and grain as laid out now
    double trimLimit = 0.125; // the most a piece side may lose
    PressLimits press;
    std::vector<StockSheet> stock;
    // Candidates stop being tried past this; a kind not reached is left out.
    std::chrono::milliseconds total{400};
};

struct GainAnswer {
    PieceCount now;
    std::vector<Gain> gains; // at most one of each kind, in GainKind order
};

// Each search gets `budget`; the whole stays within a few dozen searches.
GainAnswer findGains(const GainQuestion &question,
                     std::chrono::milliseconds budget = std::chrono::milliseconds(20));

// "31 up with a gripper of 0.375 (now 0.5)"
std::string gainLine(const Gain &gain);

} // namespace sheetcraft
