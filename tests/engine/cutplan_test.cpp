// The operator's cut plan: replayed stroke by stroke under the machine's
// rules on random layouts, and stroke counts checked by hand.

#include "bestlayout.h"
#include "cutplan.h"
#include "cutsteps.h"
#include "fewestcuts.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace sheetcraft;

namespace {

using i64 = std::int64_t;

struct Rect {
    i64 x, y, w, d;
    auto operator<=>(const Rect &) const = default;
};

// Replays `plan` from the tree's whole sheet in whole units and checks what
// a cutter relies on: each stroke cuts piles that exist, are alike and lie
// side by side within the knife; the gauge holds the part that stays and is
// never closer than the machine allows unless said; what comes off is what
// the stroke says; no pile is started while another is half cut (trims
// aside); and at the end every part is a piece or waste. Returns the pieces
// cut out.
std::size_t replayOnMachine(const CutTree &tree, const CutPlan &plan, const MachineRules &m) {
    const double scale = static_cast<double>(tree.scale());
    auto u = [&](double v) { return static_cast<i64>(std::llround(v * scale)); };
    std::vector<Rect> pieces;
    tree.forEachPiece([&](const SheetRect &p) {
        pieces.push_back({u(p.x), u(p.y), u(p.width), u(p.depth)});
        return true;
    });
    auto content = [&](const Rect &r) {
        std::vector<Rect> in;
        for (const Rect &p : pieces)
            if (p.x >= r.x && p.y >= r.y && p.x + p.w <= r.x + r.w && p.y + p.d <= r.y + r.d)
                in.push_back({p.x - r.x, p.y - r.y, p.w, p.d});
        return in;
    };
    auto rect = [&](const SheetRect &s) { return Rect{u(s.x), u(s.y), u(s.width), u(s.depth)}; };
    // The pile whose stroke cuts each stock later.
    std::map<Rect, int> cutBy;
    for (const CutOperation &op : plan.operations)
        for (const SheetRect &s : op.stocks)
            cutBy[rect(s)] = op.pile;
    const CutNode &root = tree.node(tree.root());
    // The current stocks and the pile whose cut (other than a trim) made each.
    std::map<Rect, int> stocks{{{0, 0, root.width, root.depth}, 0}};
    std::set<int> started;
    const i64 least = u(m.smallestGauge);
    for (const CutOperation &op : plan.operations) {
        SCOPED_TRACE(cutRowLine(cutRows({{op}})[0]));
        EXPECT_EQ(op.stockCount, static_cast<i64>(op.stocks.size()));
        const bool alongX = op.axis == CutAxis::X, trim = op.off == CutOff::Waste;
        const i64 length = u(alongX ? op.stockDepth : op.stockWidth);
        if (m.knifeLength > 0 && op.stockCount > 1) {
            EXPECT_LE(op.stockCount * length, u(m.knifeLength)) << "piles past the knife";
        }
        const i64 offset = u(op.offset), gauge = u(op.gauge);
        const i64 size = u(alongX ? op.stockWidth : op.stockDepth);
        const bool firstStays = gauge == offset;
        EXPECT_TRUE(firstStays || gauge == size - offset);
        EXPECT_EQ(op.belowGauge, std::max(offset, size - offset) < least);
        if (!op.belowGauge) {
            EXPECT_GE(gauge, least);
        }
        const auto alike = content(rect(op.stocks.front()));
        std::set<Rect> cutNow;
        for (const SheetRect &s : op.stocks)
            cutNow.insert(rect(s));
        for (const Rect &r : cutNow) {
            const auto found = stocks.find(r);
            if (found == stocks.end()) {
                ADD_FAILURE() << "a stroke cuts a pile that is not there";
                return 0;
            }
            EXPECT_EQ(content(r), alike) << "piles cut together differ";
        }
        if (started.insert(op.pile).second)
            for (const auto &[t, madeBy] : stocks) {
                const auto later = cutBy.find(t);
                EXPECT_FALSE(madeBy != 0 && later != cutBy.end() && later->second == madeBy)
                    << "pile " << op.pile << " is started while pile " << madeBy << " is half cut";
            }
        for (const Rect &r : cutNow) {
            const auto found = stocks.find(r);
            const int madeBy = found->second;
            stocks.erase(found);
            const Rect a = alongX ? Rect{r.x, r.y, offset, r.d} : Rect{r.x, r.y, r.w, offset};
            const Rect b = alongX ? Rect{r.x + offset, r.y, r.w - offset, r.d}
                                  : Rect{r.x, r.y + offset, r.w, r.d - offset};
            const Rect &off = firstStays ? b : a;
            const auto offContent = content(off);
            switch (op.off) {
            case CutOff::Waste:
                EXPECT_TRUE(offContent.empty());
                break;
            case CutOff::Pieces:
                EXPECT_EQ(offContent, (std::vector<Rect>{{0, 0, off.w, off.d}}));
                break;
            case CutOff::Strip:
                EXPECT_TRUE(cutBy.count(off));
                break;
            }
            stocks.emplace(a, trim ? madeBy : op.pile);
            stocks.emplace(b, trim ? madeBy : op.pile);
        }
        if (::testing::Test::HasFailure())
            return 0;
    }
    std::size_t cut = 0;
    for (const auto &[r, made] : stocks) {
        const auto in = content(r);
        EXPECT_TRUE(in.empty() || in == (std::vector<Rect>{{0, 0, r.w, r.d}}))
            << "a part is left with pieces in it";
        cut += in.size();
    }
    return cut;
}

TEST(OperatorPlan, RandomLayoutsKeepTheMachineRules) {
    std::mt19937 rng(20261207);
    auto decimal = [&](double low, double high) {
        const double places = rng() % 4 == 0 ? 1 : 8;
        return std::max(
            1.0 / places,
            std::round(std::uniform_real_distribution<double>(low, high)(rng) * places) / places);
    };
    for (int n = 0; n < 60; ++n) {
        double sw = decimal(4, 40), sd = decimal(4, 40);
        if (sw < sd)
            std::swap(sw, sd);
        const LayoutProblem p{sw,
                              sd,
                              decimal(0.5, 9),
                              decimal(0.5, 9),
                              rng() % 3 == 0 ? decimal(0, 1.5) : 0,
                              rng() % 2 == 0,
                              static_cast<GrainRule>(rng() % 3)};
        MachineRules m;
        m.knifeLength = rng() % 4 == 0 ? 0 : decimal(sd, 2 * sw);
        m.smallestGauge = decimal(0, 2);
        SCOPED_TRACE(testing::Message() << p.pieceWidth << "x" << p.pieceDepth << " on " << sw
                                        << "x" << sd << " gripper " << p.gripper << " knife "
                                        << m.knifeLength << " gauge " << m.smallestGauge);
        const BestLayout best = bestLayout(p);
        const auto rows = tradeoffTable(
            p, best.layout, std::min(best.framesMaximum, best.layout.count), m, 1'000'000);
        ASSERT_EQ(rows.empty(), best.layout.count == 0);
        if (rows.empty())
            continue;
        EXPECT_EQ(rows.front().count, best.layout.count);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0) {
                EXPECT_LT(rows[i].count, rows[i - 1].count);
                EXPECT_LT(rows[i].cuts, rows[i - 1].cuts);
            }
            EXPECT_EQ(rows[i].cuts, rows[i].plan.operations.size());
            if (i == 0 || i + 1 == rows.size()) {
                EXPECT_EQ(replayOnMachine(rows[i].layout.tree, rows[i].plan, m),
                          static_cast<std::size_t>(rows[i].count));
            }
        }
        if (HasFailure())
            return;
    }
}

LayoutProblem problem(double sw, double sd, double pw, double pd, double gripper = 0) {
    return {sw, sd, pw, pd, gripper, true, GrainRule::Any};
}

// Strokes counted by hand. A grid of c x r whose piles all fit under the
// knife: c - 1 + r - 1 for c, r up to 3, halving beyond (5 strips in 3
// strokes: 1 | 4, 2 | 2 side by side, 1 | 1 four at once), plus a stroke per
// trim.
TEST(OperatorPlan, StrokesCountedByHand) {
    MachineRules onePile; // 6 long piles one at a time, 3 wide ones two at once
    onePile.knifeLength = 6.5;
    const MachineRules inches = defaultMachine(false), mm = defaultMachine(true);
    const struct {
        const char *name;
        LayoutProblem p;
        int frame; // 0: the layout of the best count with the fewest strokes
        MachineRules machine;
        std::size_t strokes;
    } rows[] = {
        {"2 x 2", problem(6, 4, 3, 2), 1, {}, 1 + 1},
        {"3 x 2 and a trim each way", problem(10, 4.5, 3, 2), 1, {}, 2 + 1 + 2},
        {"4 x 3 halved both ways", problem(12, 6, 3, 2), 1, {}, 2 + 2},
        {"4 x 3, one 6-long pile under the knife", problem(12, 6, 3, 2), 1, onePile, 3 + 2 * 2},
        {"5 x 5 below a gripper, trimmed right and below", problem(17, 11, 3, 2, 0.5), 1, inches,
         3 + 3 + 3},
        {"defaults: 30 up", problem(17, 11, 3, 2), 0, inches, 13},
        {"cards: 29 up", problem(18, 12, 3.5, 2, 0.375), 0, inches, 13},
        {"148x106: 42 up", problem(1000, 700, 148, 106, 12), 0, mm, 20},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Layout layout = frameLayout(row.p, row.frame);
        CutPlan plan = makeCutPlan(layout.tree, 5000, row.machine);
        if (row.frame == 0) {
            const BestLayout best = bestLayout(row.p);
            const auto table = tradeoffTable(row.p, best.layout, 0, row.machine, 5000);
            ASSERT_FALSE(table.empty());
            layout = table.front().layout;
            plan = table.front().plan;
        }
        EXPECT_EQ(plan.operations.size(), row.strokes);
        EXPECT_EQ(replayOnMachine(layout.tree, plan, row.machine),
                  static_cast<std::size_t>(layout.count));
    }
    // The gripper strip is narrower than the gauge comes: it comes off in front.
    const Layout cards = frameLayout(problem(18, 12, 3.5, 2, 0.375), 1);
    EXPECT_EQ(cutRowLine(cutRows(makeCutPlan(cards.tree, 5000, inches)).front()),
              "   1.  pile 1, 18 x 12: back gauge 11.625, waste 0.375 off (narrow: it comes off "
              "in front of the knife)");
}

TEST(OperatorPlan, CuttingWorkInLifts) {
    const OrderQuantities order{1000, 34, 1001, 251};
    const CuttingWork w = cuttingWork(order, 13, 4, 500);
    EXPECT_EQ(w.pressLifts, 3);  // 500 + 500 + 1
    EXPECT_EQ(w.parentLifts, 1); // 251
    EXPECT_EQ(w.knifeStrokes, 3 * 13 + 4);
    EXPECT_EQ(liftsFor(0, 500), 0);
    EXPECT_EQ(cuttingWork({1, 1, INT64_MAX / 4, 1}, SIZE_MAX / 2, 1, 1).knifeStrokes, INT64_MAX);
}

} // namespace
