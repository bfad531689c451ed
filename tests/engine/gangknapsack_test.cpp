#include "gangknapsack.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace sheetcraft;

namespace {

struct Placed {
    std::int64_t x, y, w, d;
    int item;
};

// Every piece of the tree with its place; each split's parts must tile its stock,
// which is what makes the layout guillotine-separable.
void collect(const CutTree &t, int id, std::int64_t x, std::int64_t y, std::vector<Placed> &out) {
    const CutNode &n = t.node(id);
    if (n.kind == CutNode::Kind::Piece)
        out.push_back({x, y, n.width, n.depth, n.item});
    if (n.kind != CutNode::Kind::Split)
        return;
    const CutNode &a = t.node(n.first), &b = t.node(n.second);
    const bool alongX = n.axis == CutAxis::X;
    EXPECT_EQ(alongX ? a.width : a.depth, n.offset);
    EXPECT_EQ(alongX ? a.width + b.width : a.depth + b.depth, alongX ? n.width : n.depth);
    EXPECT_EQ(alongX ? a.depth : a.width, alongX ? n.depth : n.width);
    collect(t, n.first, x, y, out);
    collect(t, n.second, x + (alongX ? n.offset : 0), y + (alongX ? 0 : n.offset), out);
}

class Gcut : public testing::TestWithParam<std::pair<int, double>> {};

TEST_P(Gcut, ReachesThePublishedOptimum) {
    const auto [number, optimum] = GetParam();
    std::ifstream in(std::string(GCUT_DIR) + "/gcut" + std::to_string(number) + ".txt");
    ASSERT_TRUE(in) << "gcut data missing";
    int m = 0;
    std::int64_t length = 0, width = 0;
    in >> m >> length >> width;
    std::vector<KnapsackPiece> pieces(static_cast<std::size_t>(m));
    for (int k = 0; k < m; ++k) {
        auto &p = pieces[std::size_t(k)];
        in >> p.width >> p.depth >> p.value;
        p.item = k;
    }
    CutTree tree(1);
    const KnapsackLayout best = guillotineKnapsack(length, width, pieces, pieces.size(), tree);
    EXPECT_TRUE(best.exact);
    EXPECT_DOUBLE_EQ(best.value, optimum);

    std::vector<Placed> placed;
    collect(tree, best.root, 0, 0, placed);
    double area = 0;
    for (const Placed &p : placed) {
        EXPECT_LE(p.x + p.w, length);
        EXPECT_LE(p.y + p.d, width);
        // No turning: each piece lies as given.
        EXPECT_EQ(p.w, pieces[std::size_t(p.item)].width);
        EXPECT_EQ(p.d, pieces[std::size_t(p.item)].depth);
        area += double(p.w * p.d);
    }
    EXPECT_DOUBLE_EQ(area, optimum);
}

INSTANTIATE_TEST_SUITE_P(Beasley, Gcut,
                         testing::Values(std::pair{1, 56460.0}, std::pair{2, 60536.0},
                                         std::pair{3, 61036.0}, std::pair{4, 61698.0},
                                         std::pair{5, 246000.0}, std::pair{6, 238998.0},
                                         std::pair{7, 242567.0}, std::pair{8, 246633.0},
                                         std::pair{9, 971100.0}, std::pair{10, 982025.0},
                                         std::pair{11, 980096.0}, std::pair{12, 979986.0}));

} // namespace
