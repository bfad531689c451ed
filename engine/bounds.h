#pragma once

#include <cstdint>

namespace sheetcraft {

// Upper bounds on how many pieces fit a sheet, all sizes in the same whole units.

// Pieces of bars 1 x n cannot cover this much of a p x q sheet (Barnes).
std::int64_t barWaste(std::int64_t p, std::int64_t q, std::int64_t n);

// The largest sum i * a + j * b that is at most length.
std::int64_t largestCombination(std::int64_t length, std::int64_t a, std::int64_t b);

// Area less Barnes' waste for a-by-b pieces, turning allowed, on a sheet whose
// sides are already sums of piece sides.
std::int64_t turningBound(std::int64_t w, std::int64_t h, std::int64_t a, std::int64_t b);

// The largest number of pieces any packing (guillotine or not) can hold on a
// sheet: the effective-sheet area and Barnes' bar bound with turning allowed,
// the plain grid when every piece lies one way.
std::int64_t packingUpperBound(std::int64_t sheetWidth, std::int64_t sheetDepth,
                               std::int64_t pieceWidth, std::int64_t pieceDepth, bool mayTurn);

} // namespace sheetcraft
