#pragma once

#include "cuttree.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace sheetcraft {

// One way a kind of piece may lie: width along x, depth along y, in whole units.
// A kind that may turn is listed once per way round.
struct KnapsackPiece {
    std::int64_t width = 0;
    std::int64_t depth = 0;
    double value = 0;
    int item = 0; // CutNode::item of its pieces
};

struct KnapsackLayout {
    double value = 0;
    std::vector<std::int64_t> counts; // pieces per item, indexed by item
    int root = -1;                    // in the tree passed in; -1 when nothing fits
    // The largest value any guillotine layout reaches: equal to value when the
    // search was exact, an area bound otherwise.
    double upperBound = 0;
    bool exact = true;
};

// The most valuable guillotine layout of a width x depth stock, any number of
// each piece, by dynamic programming over the sums of piece sides. Pieces of
// value 0 or less are left out. The layout is added to tree (its own scale),
// sized exactly width x depth. Past maxPoints cut positions on a side the
// positions are thinned to whole rows of one size and the answer is labelled
// not exact.
KnapsackLayout guillotineKnapsack(std::int64_t width, std::int64_t depth,
                                  const std::vector<KnapsackPiece> &pieces, std::size_t items,
                                  CutTree &tree, std::size_t maxPoints = 1500);

// Every count vector (pieces per item) that no other guillotine layout of the
// stock beats for every item at once, each with its layout added to tree; the
// layouts a value-by-value search cannot tell apart (three of one job and two of
// another where four of one fill the same area). Nothing when the work would
// pass maxWork merges or a sub-stock would keep more than maxPerStock vectors:
// for small sheets and few pieces only.
std::optional<std::vector<KnapsackLayout>> paretoLayouts(std::int64_t width, std::int64_t depth,
                                                         const std::vector<KnapsackPiece> &pieces,
                                                         std::size_t items, CutTree &tree,
                                                         std::size_t maxWork = 2'000'000,
                                                         std::size_t maxPerStock = 200);

} // namespace sheetcraft
