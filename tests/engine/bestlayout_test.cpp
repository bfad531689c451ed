#include "bestlayout.h"
#include "bounds.h"
#include "cutplan.h"
#include "diagram.h"
#include "fitcount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <future>
#include <map>
#include <random>
#include <thread>
#include <tuple>

using namespace sheetcraft;

namespace {

LayoutProblem problem(double sheetWidth, double sheetDepth, double pieceWidth, double pieceDepth,
                      GrainRule grain = GrainRule::Any, double gripper = 0,
                      bool gripperOnWidth = true, double gutter = 0) {
    return {sheetWidth, sheetDepth, pieceWidth, pieceDepth, gripper, gripperOnWidth, grain, gutter};
}

// The most pieces any guillotine layout takes, by trying every whole cut; with
// a gutter, every cut between pieces is a strip of that width taken out.
int guillotineBruteForce(int width, int depth, int a, int b, GrainRule grain, int gutter = 0) {
    if (grain == GrainRule::OneWay)
        return std::max(guillotineBruteForce(width, depth, a, b, GrainRule::Along, gutter),
                        guillotineBruteForce(width, depth, a, b, GrainRule::Across, gutter));
    std::map<std::pair<int, int>, int> memo;
    const int L = std::max(a, b), S = std::min(a, b);
    const auto most = [&](auto &self, int w, int h) -> int {
        if (const auto it = memo.find({w, h}); it != memo.end())
            return it->second;
        int best = (grain != GrainRule::Across && w >= L && h >= S) ||
                   (grain != GrainRule::Along && w >= S && h >= L);
        for (int x = 1; x + gutter < w; ++x)
            best = std::max(best, self(self, x, h) + self(self, w - x - gutter, h));
        for (int y = 1; y + gutter < h; ++y)
            best = std::max(best, self(self, w, y) + self(self, w, h - y - gutter));
        return memo[{w, h}] = best;
    };
    return most(most, width, depth);
}

// The most a x b pieces (turning allowed) any packing at all puts on a w x h
// grid: fill the first free cell with a piece either way, or leave it empty.
int packingBruteForce(int w, int h, int a, int b) {
    std::vector<char> used(static_cast<std::size_t>(w * h), 0);
    int best = 0;
    auto free = [&](int x, int y, int pw, int pd) {
        if (x + pw > w || y + pd > h)
            return false;
        for (int j = y; j < y + pd; ++j)
            for (int i = x; i < x + pw; ++i)
                if (used[static_cast<std::size_t>(j * w + i)])
                    return false;
        return true;
    };
    auto mark = [&](int x, int y, int pw, int pd, char v) {
        for (int j = y; j < y + pd; ++j)
            for (int i = x; i < x + pw; ++i)
                used[static_cast<std::size_t>(j * w + i)] = v;
    };
    auto search = [&](auto &self, int cell, int count, int freeCells) -> void {
        while (cell < w * h && used[static_cast<std::size_t>(cell)])
            ++cell;
        if (count + freeCells / (a * b) <= best)
            return;
        if (cell == w * h) {
            best = count;
            return;
        }
        const int x = cell % w, y = cell / w;
        for (auto [pw, pd] : {std::pair{a, b}, std::pair{b, a}}) {
            if (free(x, y, pw, pd)) {
                mark(x, y, pw, pd, 1);
                self(self, cell + 1, count + 1, freeCells - a * b);
                mark(x, y, pw, pd, 0);
            }
            if (a == b)
                break;
        }
        used[static_cast<std::size_t>(cell)] = 1;
        self(self, cell + 1, count, freeCells - 1);
        used[static_cast<std::size_t>(cell)] = 0;
    };
    search(search, 0, 0, w * h);
    return best;
}

// Every label against a reference that shares no code with the search.
TEST(BestLayout, MatchesEveryGuillotineLayoutOnSmallSheets) {
    std::mt19937 rng(1006);
    for (int n = 0; n < 300; ++n) {
        const int a = 1 + static_cast<int>(rng() % 6), b = 1 + static_cast<int>(rng() % 6);
        const int w = 1 + static_cast<int>(rng() % 24), h = 1 + static_cast<int>(rng() % 24);
        const auto grain = static_cast<GrainRule>(rng() % 4);
        const int gutter = rng() % 3 == 0 ? 1 + static_cast<int>(rng() % 2) : 0;
        SCOPED_TRACE(testing::Message()
                     << a << "x" << b << " on " << std::max(w, h) << "x" << std::min(w, h)
                     << " grain " << grainText(grain) << " gutter " << gutter);
        // The sheet's width is its larger side; sizes in tenths exercise the units.
        const int sw = std::max(w, h), sd = std::min(w, h);
        const BestLayout best = bestLayout(
            problem(sw / 10.0, sd / 10.0, a / 10.0, b / 10.0, grain, 0, true, gutter / 10.0));
        const int most = guillotineBruteForce(sw, sd, a, b, grain, gutter);
        EXPECT_TRUE(best.workedOut);
        EXPECT_TRUE(best.exact);
        EXPECT_EQ(best.layout.count, most);
        EXPECT_GE(best.upperBound, most);
        if (gutter == 0) {
            EXPECT_GE(best.layout.count, best.framesAllowed);
        }
    }
}

TEST(BestLayout, BoundHoldsForEveryPackingOnSmallSheets) {
    const int cases[][4] = {{7, 7, 2, 3}, {8, 6, 3, 2}, {7, 5, 3, 2},  {9, 8, 4, 3},
                            {8, 8, 3, 3}, {9, 5, 2, 3}, {10, 7, 4, 2}, {8, 7, 5, 2}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c[2] << "x" << c[3] << " on " << c[0] << "x" << c[1]);
        const int most = packingBruteForce(c[0], c[1], c[2], c[3]);
        EXPECT_GE(packingUpperBound(c[0], c[1], c[2], c[3], true), most);
        EXPECT_LE(bestLayout(problem(c[0], c[1], c[2], c[3])).layout.count, most);
    }
}

// Published single-piece values, the cases of the frames left behind, and counts
// that only exact decimals get right.
TEST(BestLayout, KnownCounts) {
    const struct {
        const char *name;
        LayoutProblem p;
        std::int64_t count, framesMaximum, upperBound;
        bool proven;
    } rows[] = {
        {"Dowsland 22x16 with 5x3", problem(22, 16, 5, 3), 22, 21, 23, false},
        {"53x51 with 9x7", problem(53, 51, 9, 7), 41, 40, 42, false},
        {"defaults 2x3 on 17x11", problem(17, 11, 3, 2), 30, 29, 31, false},
        {"letter on 26x40", problem(40, 26, 11, 8.5), 10, 9, 10, true},
        {"metric 216x154 on 1020x720", problem(1020, 720, 216, 154), 20, 19, 20, true},
        {"cards 3.5x2 on 28x40", problem(40, 28, 3.5, 2), 160, 160, 160, true},
        {"1.1 on 3.3 is 3", problem(3.3, 1.1, 1.1, 1.1), 3, 3, 3, true},
        {"gripper 0.5 along the width", problem(17, 11, 3, 2, GrainRule::Any, 0.5), 28, 28, 28,
         true},
        {"grain along keeps the grid", problem(17, 11, 3, 2, GrainRule::Along), 25, 29, 25, true},
        {"grain across", problem(17, 11, 3, 2, GrainRule::Across), 24, 29, 24, true},
        {"piece larger than the sheet", problem(5, 4, 6, 1), 0, 0, 0, true},
        {"one way: the better of along and across", problem(17, 11, 3, 2, GrainRule::OneWay), 25,
         29, 25, true},
        {"cards with a 1/8 gutter", problem(18, 12, 3.5, 2, GrainRule::Any, 0.375, true, 0.125), 26,
         27, 26, true},
        {"a sheet past the finest units, in coarser ones", problem(400000, 300000, 3, 2),
         20'000'000'000, 20'000'000'000, 20'000'000'000, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const BestLayout best = bestLayout(row.p, {std::chrono::seconds(20)});
        EXPECT_EQ(best.layout.count, row.count);
        EXPECT_EQ(best.framesMaximum, row.framesMaximum);
        EXPECT_EQ(best.upperBound, row.upperBound);
        EXPECT_TRUE(best.exact);
        EXPECT_EQ(best.proven, row.proven);
    }
}

TEST(BestLayout, SpentBudgetOrCancelReturnsTheBestFoundWithTheBound) {
    const std::atomic<bool> cancelled{true};
    const BestLayoutOptions spent[] = {{std::chrono::milliseconds(0), nullptr},
                                       {std::chrono::seconds(20), &cancelled}};
    for (const auto &options : spent) {
        const BestLayout best = bestLayout(problem(17, 11, 0.43, 0.31), options);
        EXPECT_FALSE(best.exact);
        EXPECT_FALSE(best.proven);
        EXPECT_EQ(best.cancelled, options.cancel != nullptr);
        EXPECT_GE(best.layout.count, best.framesMaximum);
        EXPECT_GT(best.upperBound, best.layout.count);
    }
    // Too many cut positions for any table: answered from the seeds at once.
    const BestLayout tiny = bestLayout(problem(17, 11, 0.017, 0.013));
    EXPECT_FALSE(tiny.exact);
    EXPECT_GT(tiny.layout.count, tiny.framesMaximum);
    EXPECT_GE(tiny.upperBound, tiny.layout.count);
    // Hundreds of thousands of rows and columns: counted, never built.
    const BestLayout dust = bestLayout(problem(60, 40, 0.0002, 0.0001));
    EXPECT_EQ(dust.layout.count, 120'000'000'000);
    EXPECT_TRUE(dust.proven);
    EXPECT_TRUE(dust.layout.treeOmitted);
    EXPECT_TRUE(makeCutPlan(dust.layout.tree).operations.empty());
}

// Sizes the units cannot hold claim nothing and never fall below the frames.
TEST(BestLayout, SizesTheSearchCannotHoldAreNotWorkedOut) {
    const struct {
        LayoutProblem p;
        std::int64_t count;
    } rows[] = {
        {problem(30000, 30000, 1e-6, 1e-6), INT64_MAX}, // 9E+20: past 64 bits
        {problem(10, 10, 1.0 / 3, 1), 300},             // no decimal holds a third
        {problem(4e9, 3e9, 2e9, 1e9), 6},               // too large even in whole units
    };
    for (const auto &row : rows) {
        const BestLayout best = bestLayout(row.p);
        EXPECT_FALSE(best.workedOut);
        EXPECT_FALSE(best.proven);
        EXPECT_FALSE(best.exact);
        EXPECT_EQ(best.layout.count, row.count);
        EXPECT_EQ(best.layout.count, best.framesMaximum);
        EXPECT_EQ(frameLayout(row.p, 1).count, row.count);
    }
}

TEST(BestLayout, CancelFromAnotherThreadStopsTheSearch) {
    std::atomic<bool> cancel{false};
    auto answer = std::async(std::launch::async, [&] {
        return bestLayout(problem(24, 18, 0.43, 0.31), {std::chrono::minutes(10), &cancel});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancel = true;
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    const BestLayout best = answer.get();
    EXPECT_TRUE(best.cancelled);
    EXPECT_FALSE(best.proven);
}

// Replays a cut plan from the tree's whole sheet in whole units: every listed
// stock must be a current rectangle of the operation's size, and at the end
// every piece must be a rectangle of its own. Returns the pieces found.
std::size_t replay(const CutTree &tree, const CutPlan &plan) {
    using Rect = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>;
    auto u = [&](double v) { return std::llround(v * static_cast<double>(tree.scale())); };
    const CutNode &root = tree.node(tree.root());
    std::multiset<Rect> stocks{{0, 0, root.width, root.depth}};
    for (const CutOperation &op : plan.operations) {
        EXPECT_EQ(op.stockCount, static_cast<std::int64_t>(op.stocks.size()));
        const std::int64_t offset = u(op.offset);
        for (const SheetRect &s : op.stocks) {
            const Rect r{u(s.x), u(s.y), u(s.width), u(s.depth)};
            EXPECT_EQ(std::get<2>(r), u(op.stockWidth));
            EXPECT_EQ(std::get<3>(r), u(op.stockDepth));
            const auto found = stocks.find(r);
            if (found == stocks.end()) {
                ADD_FAILURE() << "operation " << op.n << " cuts a stock that is not there";
                return 0;
            }
            stocks.erase(found);
            const auto [x, y, w, d] = r;
            const bool across = op.axis == CutAxis::X;
            EXPECT_GT(offset, 0);
            EXPECT_LT(offset, across ? w : d);
            if (across) {
                stocks.insert({x, y, offset, d});
                stocks.insert({x + offset, y, w - offset, d});
            } else {
                stocks.insert({x, y, w, offset});
                stocks.insert({x, y + offset, w, d - offset});
            }
        }
    }
    std::size_t pieces = 0;
    tree.forEachPiece([&](const SheetRect &p) {
        ++pieces;
        EXPECT_EQ(stocks.count({u(p.x), u(p.y), u(p.width), u(p.depth)}), 1u)
            << "a piece is not cut out on its own";
        return true;
    });
    return pieces;
}

// Pieces inside the usable sheet, lying as the grain allows, none overlapping
// or nearer each other than the gutter.
void checkPieces(const Layout &layout, GrainRule grain, double gutter) {
    std::vector<SheetRect> pieces;
    layout.tree.forEachPiece([&](const SheetRect &p) {
        pieces.push_back(p);
        return true;
    });
    ASSERT_EQ(static_cast<std::int64_t>(pieces.size()), layout.count);
    const double eps = 1e-9;
    const SheetRect &s = layout.usable;
    for (const SheetRect &p : pieces) {
        EXPECT_TRUE(p.x >= s.x - eps && p.y >= s.y - eps && p.x + p.width <= s.x + s.width + eps &&
                    p.y + p.depth <= s.y + s.depth + eps);
        if (grain == GrainRule::Along) {
            EXPECT_GE(p.width, p.depth);
        } else if (grain == GrainRule::Across) {
            EXPECT_LE(p.width, p.depth);
        } else if (grain == GrainRule::OneWay) {
            EXPECT_EQ(p.width >= p.depth, pieces.front().width >= pieces.front().depth);
        }
    }
    const double reach = gutter - eps;
    std::sort(pieces.begin(), pieces.end(), [](auto &l, auto &r) { return l.x < r.x; });
    for (std::size_t i = 0; i < pieces.size(); ++i)
        for (std::size_t j = i + 1;
             j < pieces.size() && pieces[j].x < pieces[i].x + pieces[i].width + reach; ++j)
            EXPECT_FALSE(pieces[j].y < pieces[i].y + pieces[i].depth + reach &&
                         pieces[i].y < pieces[j].y + pieces[j].depth + reach)
                << "pieces overlap or crowd the gutter";
}

TEST(BestLayout, RandomSheetsKeepEveryPromise) {
    std::mt19937 rng(20261010);
    auto decimal = [&](double low, double high) {
        // Whole numbers now and then, otherwise three decimals.
        const double places = rng() % 4 == 0 ? 1 : 1000;
        return std::max(
            1.0 / places,
            std::round(std::uniform_real_distribution<double>(low, high)(rng) * places) / places);
    };
    int beaten = 0;
    for (int n = 0; n < 250; ++n) {
        double sw = decimal(4, 40), sd = decimal(4, 40);
        if (sw < sd)
            std::swap(sw, sd);
        const double pw = decimal(0.5, 9), pd = decimal(0.5, 9);
        const auto grain = static_cast<GrainRule>(rng() % 4);
        const double gripper = rng() % 3 == 0 ? decimal(0, 1.5) : 0;
        const double gutter = rng() % 4 == 0 ? decimal(0, 0.5) : 0;
        const LayoutProblem p = problem(sw, sd, pw, pd, grain, gripper, rng() % 2, gutter);
        SCOPED_TRACE(testing::Message()
                     << pw << "x" << pd << " on " << sw << "x" << sd << " grain "
                     << grainText(grain) << " gripper " << gripper
                     << (p.gripperOnWidth ? " width" : " depth") << " gutter " << gutter);
        const BestLayout best = bestLayout(p);
        // The panel's count on the same usable sheet.
        FitResult fit;
        const double uw = sw - (p.gripperOnWidth ? 0 : gripper);
        const double ud = sd - (p.gripperOnWidth ? gripper : 0);
        const double panel =
            FSSOutPSS(std::max(pw, pd), std::min(pw, pd), uw, ud, fit) == FitStatus::Fits
                ? fit.maximumOut
                : 0;
        EXPECT_EQ(best.framesMaximum, panel);
        if (gutter == 0) {
            EXPECT_GE(best.layout.count, best.framesAllowed);
        }
        EXPECT_LE(best.layout.count, best.upperBound);
        EXPECT_EQ(best.proven, best.layout.count == best.upperBound);
        beaten += best.layout.count > best.framesMaximum;
        checkPieces(best.layout, grain, gutter);
        EXPECT_EQ(replay(best.layout.tree, makeCutPlan(best.layout.tree, 1'000'000)),
                  static_cast<std::size_t>(best.layout.count));
        const int frame = 1 + static_cast<int>(rng() % 4);
        const Layout shown = frameLayout(p, frame);
        EXPECT_EQ(replay(shown.tree, makeCutPlan(shown.tree, 1'000'000)),
                  static_cast<std::size_t>(shown.count));
        if (HasFailure())
            return;
    }
    EXPECT_GT(beaten, 10);
}

// Each drawn frame, taken as a layout, holds the count its panel shows.
TEST(CutPlan, FramesAsDrawnAreLayoutsOfTheirCount) {
    const struct {
        Diagram diagram;
        const char *piece, *sheet;
        double gripper;
        bool onWidth;
    } rows[] = {{Diagram::Finished, "3x2", "17x11", 0, true},
                {Diagram::Finished, "3x2", "17x11", 0.5, true},
                {Diagram::Finished, "4.2x3", "17.5x11.5", 0.375, false},
                {Diagram::Press, "17x11", "35x23", 0.5, true},
                {Diagram::Finished, "10x1", "12x5", 0, true}};
    for (const auto &row : rows) {
        for (int frame = 0; frame <= 4; ++frame) {
            SCOPED_TRACE(testing::Message()
                         << row.piece << " on " << row.sheet << " frame " << frame);
            const DiagramValues v =
                computeDiagram(row.diagram, row.piece, row.sheet, frame, row.gripper, row.onWidth);
            const Layout l = frameLayout(layoutProblem(v), frame);
            EXPECT_EQ(l.count, v.isEmpty() ? 0 : v.frameOut());
            EXPECT_EQ(l.usable.y,
                      row.diagram == Diagram::Finished && row.onWidth ? row.gripper : 0);
            EXPECT_EQ(replay(l.tree, makeCutPlan(l.tree)), static_cast<std::size_t>(l.count));
        }
    }
}

TEST(CutPlan, OrderQuantitiesInExactWholeNumbers) {
    const struct {
        std::int64_t quantity;
        double spoilage;
        std::int64_t makeReady, up, out;
        std::optional<OrderQuantities> expected;
    } rows[] = {
        {1000, 5, 50, 30, 4, OrderQuantities{1000, 34, 86, 22}},
        {7000, 0.7, 0, 7, 1,
         OrderQuantities{7000, 1000, 1007, 1007}}, // 7.000000000000001 in doubles
        {200, 2.5, 0, 1, 3, OrderQuantities{200, 200, 205, 69}},
        {0, 10, 25, 30, 4, OrderQuantities{0, 0, 25, 7}},
        {1000, 5, 50, 0, 4, std::nullopt}, // nothing fits
        {-1, 5, 50, 30, 4, std::nullopt},
        {1000, NAN, 50, 30, 4, std::nullopt},
        {INT64_MAX, 100, 0, 1, 1, std::nullopt},
    };
    for (const auto &row : rows) {
        const auto q = orderQuantities(row.quantity, row.spoilage, row.makeReady, row.up, row.out);
        ASSERT_EQ(q.has_value(), row.expected.has_value()) << row.quantity;
        if (q) {
            EXPECT_EQ(q->run, row.expected->run);
            EXPECT_EQ(q->pressSheets, row.expected->pressSheets);
            EXPECT_EQ(q->parentSheets, row.expected->parentSheets);
        }
    }
}

} // namespace
