#pragma once

#include "bestlayout.h"

#include <chrono>
#include <cstdint>

namespace sheetcraft {

// What the paper choice reads from one best-layout search. The one place the
// paper choice calls the search, so a change of its result type is made here.
struct PieceCount {
    std::int64_t count = 0;
    bool proven = false;   // the search proved no layout of any kind holds more
    bool exact = false;    // the largest any guillotine layout takes
    bool frames = false;   // not beaten and not proven: what the frames take
    bool workedOut = true; // false: a size the search cannot hold; the frames' count
    int operations = 0;    // cut operations of the layout (0 when not asked)
};

// "proven", "best guillotine", "best found", "frame count" or "not worked out":
// always true of `c`.
const char *countLabel(const PieceCount &c);

PieceCount countPieces(const LayoutProblem &problem, std::chrono::milliseconds budget,
                       bool withOperations = false);

// The grain rule on a sheet whose grain runs along its long side (`longGrain`)
// or its short side, for a job whose pieces want the grain along their long
// side (Along), across it (Across) or either way (Any).
GrainRule sheetGrainRule(GrainRule job, bool longGrain);

} // namespace sheetcraft
