#pragma once

#include "cuttree.h"
#include "diagram.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sheetcraft {

// How a piece may lie on its sheet. The sheet's long side is its width (the
// larger number); Along lays the piece's long side across it, Across down it.
// OneWay lays every piece the same way round, whichever way holds more: sheets
// that go through a press together must share their grain.
enum class GrainRule { Any, Along, Across, OneWay };

// "any", "along", "across", "one way" (or "one-way")
std::optional<GrainRule> grainFromText(std::string_view text);
const char *grainText(GrainRule grain);

// One stage's question, in sheet units: the full sheet (width the larger
// number), the piece, and for finished pieces the gripper strip taken off the
// top (gripperOnWidth) or the left edge, as the frames take it.
struct LayoutProblem {
    double sheetWidth = 0;
    double sheetDepth = 0;
    double pieceWidth = 0; // either way round; the grain rule decides how it lies
    double pieceDepth = 0;
    double gripper = 0; // 0 or less: none
    bool gripperOnWidth = true;
    GrainRule grain = GrainRule::Any;
    // Space between neighbouring pieces, cut out as a strip (a double cut).
    // The frames ignore it, as the panel does.
    double gutter = 0;
};

// The question a drawn diagram asks: its full sheet, its piece and, for the
// finished sheets, its gripper strip.
LayoutProblem layoutProblem(const DiagramValues &diagram, GrainRule grain = GrainRule::Any);

// The sheet and piece in whole units, and the usable part of the sheet. Sheet
// sides round down and piece sides (and the gripper) up, so an exact decimal
// fit counts and nothing is counted that does not fit.
struct UnitProblem {
    std::int64_t scale = 10000; // units per sheet unit
    std::int64_t sheetWidth = 0, sheetDepth = 0;
    std::int64_t usableX = 0, usableY = 0, usableWidth = 0, usableDepth = 0;
    std::int64_t pieceLong = 0, pieceShort = 0;
    std::int64_t gutter = 0;
    bool valid = false; // all sides positive and the usable sheet not empty
    // Every size is a whole number of units: nothing was rounded. When false
    // (a sheet too large, or more decimals than the units hold), the sides are
    // not usable.
    bool exact = true;
};
UnitProblem toUnits(const LayoutProblem &problem);

// A guillotine layout of the full sheet: the tree starts with the trim of the
// gripper strip (if any), so replaying it starts from the whole sheet.
struct Layout {
    std::int64_t count = 0;
    CutTree tree;
    // Over 100,000 rows and columns: counted, but the tree is left empty.
    bool treeOmitted = false;
    SheetRect usable; // the usable sheet, sheet units
};

// The frames' layouts: 1 grid with the long side across, 2 plus the stagger
// block in the side strip, 3 turned grid, 4 plus the block in the bottom strip;
// frame 0 (no step taken yet) is laid out like frame 1. The grain rule plays no
// part: the frames turn pieces as the panel shows them. Nothing (count 0) for
// an empty frame.
Layout frameLayout(const LayoutProblem &problem, int frame);

struct BestLayoutOptions {
    // Past this the search stops and the best layout found so far is returned,
    // labelled not exact.
    std::chrono::milliseconds budget{150};
    // Set from another thread to stop early, with the same result as a spent budget.
    const std::atomic<bool> *cancel = nullptr;
};

struct BestLayout {
    Layout layout;
    std::int64_t framesMaximum = 0; // the best of frames 1-4, turning allowed as on the panel
    std::int64_t upperBound = 0;    // no packing of any kind holds more
    bool exact = false;             // count is the largest any guillotine layout takes
    bool proven = false;            // count == upperBound
    bool cancelled = false;
    // False when the sheet is too large for the search or a size cannot be
    // held exactly in its units: the count is then the frames' (the grain's)
    // and nothing is claimed about it.
    bool workedOut = true;
    // The best of the frames the grain rule allows (1 for along, 3 for across,
    // 1 and 3 for one way, 1-4 for any); the best count is never below it
    // without a gutter.
    std::int64_t framesAllowed = 0;
    double sheetWidth = 0, sheetDepth = 0; // the full sheet, sheet units
};

// A count held in a double as a count: negative and NaN give 0, anything
// beyond 64 bits the largest count.
std::int64_t saturatedCount(double count);

// The most pieces any sequence of guillotine cuts takes from the usable sheet,
// computed off any thread; nothing is shared between calls.
BestLayout bestLayout(const LayoutProblem &problem, const BestLayoutOptions &options = {});

} // namespace sheetcraft
