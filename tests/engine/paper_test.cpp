// The stock list, the ranking of stock sheets and the search for one more
// piece, checked against a brute force on small whole-number sheets.

#include "papergain.h"
#include "stockrank.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace sheetcraft;

namespace {

// The most a x b pieces any guillotine layout takes from w x h; `along`:
// the long side must lie along w, `across`: along h.
int guillotine(int w, int h, int a, int b, bool along, bool across) {
    std::map<std::pair<int, int>, int> memo;
    const int L = std::max(a, b), S = std::min(a, b);
    const auto most = [&](auto &self, int x, int y) -> int {
        if (x <= 0 || y <= 0)
            return 0;
        if (const auto it = memo.find({x, y}); it != memo.end())
            return it->second;
        int best = (!across && x >= L && y >= S) || (!along && x >= S && y >= L);
        for (int c = 1; c <= x / 2; ++c)
            best = std::max(best, self(self, c, y) + self(self, x - c, y));
        for (int c = 1; c <= y / 2; ++c)
            best = std::max(best, self(self, x, c) + self(self, x, y - c));
        return memo[{x, y}] = best;
    };
    return most(most, w, h);
}

TEST(StockList, ReadsGoodLinesAndNamesBadOnes) {
    struct Row {
        const char *name, *text;
        std::size_t sheets;
        std::vector<int> badLines;
    } rows[] = {
        {"header, comment, blank", "name,size,price,grain\n# ours\n\nA,23x35,80,long\n", 1, {}},
        {"header spaced, CRLF", "Name, Size, Price, Grain\r\nA,23x35\r\n", 1, {}},
        {"quoted name with comma",
         "name,size,price,grain\n\"19 x 25, gloss\",19x25,,short\n",
         1,
         {}},
        {"bad size, price, grain, field count",
         "name,size,price,grain\nA,23y35\nB,23x35,cheap\nC,23x35,,diagonal\nD\nE,19x25\n",
         1,
         {2, 3, 4, 5}},
        {"no header: the line still counts", "A,23x35,,\n", 1, {1}},
        {"open quote, empty name, zero side",
         "name,size,price,grain\n\"A,23x35\n,19x25\nB,0x25\n",
         0,
         {2, 3, 4}},
        {"size with trailing junk", "name,size,price,grain\nA,23x35abc\n", 0, {2}},
    };
    for (const Row &r : rows) {
        const StockList list = parseStockList(r.text);
        EXPECT_EQ(list.sheets.size(), r.sheets) << r.name;
        std::vector<int> lines;
        for (const auto &p : list.problems)
            lines.push_back(p.line);
        EXPECT_EQ(lines, r.badLines) << r.name;
    }
    const StockSheet s = parseStockList("name,size,price,grain\nA,35X23,80.5,Short\n").sheets.at(0);
    EXPECT_EQ(std::tuple(s.width, s.depth, *s.price, s.grain),
              std::tuple(35.0, 23.0, 80.5, StockGrain::Short));
}

TEST(StockList, WrittenTextReadsBackAndDefaultsFollowTheMode) {
    auto sheets = defaultStockList(true);
    sheets.push_back({"Odd, \"quoted\"", "12.5x19", 19, 12.5, 42.25, StockGrain::Short});
    const StockList back = parseStockList(stockListText(sheets));
    EXPECT_TRUE(back.problems.empty());
    EXPECT_EQ(back.sheets, sheets);
    EXPECT_EQ(defaultStockList(true).front().size, "320x450");
    EXPECT_EQ(defaultStockList(false).front().size, "17.5x22.5");
}

PaperJob job(double w, double d, std::int64_t quantity, GrainRule grain = GrainRule::Any) {
    PaperJob j;
    j.pieceWidth = w;
    j.pieceDepth = d;
    j.quantity = quantity;
    j.grain = grain;
    return j;
}

TEST(StockRank, HandCheckedOrder) {
    // Letter pieces, 1,000 of them. 23x35 holds 8 (4 x 8.5 across 35, 2 x 11
    // down 23): 125 sheets at 80 = 10.00. 19x25 holds 4: 250 sheets at 50 =
    // 12.50. 25x38 holds 8 too, but has no price, so it comes last.
    const auto stock =
        parseStockList("name,size,price,grain\nA,19x25,50\nB,23x35,80\nC,25x38,\n").sheets;
    const auto ranking = rankStock(stock, PressLimits{}, job(8.5, 11, 1000));
    ASSERT_EQ(ranking.size(), 3u);
    const std::tuple<std::size_t, std::int64_t, std::int64_t, double> expected[] = {
        {1, 8, 125, 10.0}, {0, 4, 250, 12.5}, {2, 8, 125, -1}};
    for (std::size_t i = 0; i < 3; ++i) {
        const PressChoice &c = ranking[i].best();
        EXPECT_EQ(std::tuple(ranking[i].stock, c.up.count * c.out, c.order->parentSheets,
                             c.cost.value_or(-1)),
                  expected[i])
            << i;
    }
    // 19x25 cut in two gives 12.5x19 at 2 up: the same 250 sheets, one more
    // cut, so the whole sheet stays first.
    EXPECT_EQ(ranking[1].best().across * ranking[1].best().down, 1);

    // Grain: 2x4 pieces wanting the grain along their long side. On
    // short-grain 19x25 the 4 side runs down the 19 side: 4 x 12 = 48; on
    // long-grain stock along the 25 side: 6 x 9 = 54.
    PressLimits whole;
    whole.minWidth = 25;
    whole.minDepth = 19;
    for (const auto &[grain, up] : {std::pair("short", 48), std::pair("long", 54)}) {
        const auto one =
            parseStockList(std::string("name,size,price,grain\nA,19x25,,") + grain).sheets;
        EXPECT_EQ(rankStock(one, whole, job(2, 4, 1000, GrainRule::Along))[0].best().up.count, up);
    }
}

TEST(StockRank, RandomCasesAgreeWithBruteForceAndNeverRankMoreSheetsFirst) {
    std::mt19937 rng(18);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const GrainRule rules[] = {GrainRule::Any, GrainRule::Along, GrainRule::Across};
    for (int round = 0; round < 60; ++round) {
        std::vector<StockSheet> stock;
        for (int i = 0; i < 4; ++i) {
            const int a = pick(4, 16), b = pick(4, 16);
            StockSheet s;
            s.name = "S" + std::to_string(i);
            s.width = std::max(a, b);
            s.depth = std::min(a, b);
            s.size = std::to_string(a) + "x" + std::to_string(b);
            if (pick(0, 2) > 0)
                s.price = pick(0, 1) ? 50 : 80;
            s.grain = static_cast<StockGrain>(pick(0, 2));
            stock.push_back(s);
        }
        PaperJob j = job(pick(1, 5), pick(1, 5), pick(1, 500), rules[pick(0, 2)]);
        PressLimits press{14, 12, 3, 2};
        const auto ranking = rankStock(stock, press, j, std::chrono::seconds(2));
        for (std::size_t i = 0; i < ranking.size(); ++i) {
            const StockSheet &s = stock[ranking[i].stock];
            for (const PressChoice &c : ranking[i].choices) {
                // The grain axis of the press sheet, worked out from the stock
                // directly: the stock's width runs along x here.
                const int w = static_cast<int>(s.width) / c.across;
                const int d = static_cast<int>(s.depth) / c.down;
                const bool grainAlongX = s.grain != StockGrain::Short;
                const bool known = s.grain != StockGrain::Unknown;
                bool longOnX = false, longOnY = false;
                if (known && j.grain != GrainRule::Any) {
                    const bool alongGrain = j.grain == GrainRule::Along;
                    longOnX = alongGrain == grainAlongX;
                    longOnY = !longOnX;
                }
                const int most = guillotine(w, d, static_cast<int>(j.pieceWidth),
                                            static_cast<int>(j.pieceDepth), longOnX, longOnY);
                EXPECT_LE(c.up.count, most);
                if (c.up.proven || c.up.exact) {
                    EXPECT_EQ(c.up.count, most) << s.size << " " << w << "x" << d;
                }
            }
            for (std::size_t k = i + 1; k < ranking.size(); ++k) {
                const StockSheet &later = stock[ranking[k].stock];
                if (later.price == s.price) {
                    EXPECT_LE(ranking[i].best().order->parentSheets,
                              ranking[k].best().order->parentSheets);
                }
            }
        }
    }
}

TEST(PaperGain, GripperEdgeAndNextStockSheet) {
    GainQuestion cards;
    cards.problem = {18, 12, 3.5, 2, 0.375, true, GrainRule::Any};
    const GainAnswer a = findGains(cards, std::chrono::seconds(2));
    EXPECT_EQ(a.now.count, 29);
    ASSERT_FALSE(a.gains.empty());
    EXPECT_EQ(a.gains[0].kind, GainKind::GripperEdge);
    EXPECT_EQ(a.gains[0].count.count, 30);

    GainQuestion letter;
    letter.problem = {17, 11, 8.5, 11, 0.375, true, GrainRule::Any};
    letter.stock = parseStockList("name,size,price,grain\n12x18,12x18,,\n").sheets;
    const GainAnswer b = findGains(letter, std::chrono::seconds(2));
    EXPECT_EQ(b.now.count, 1);
    ASSERT_FALSE(b.gains.empty());
    EXPECT_EQ(b.gains.back().kind, GainKind::Stock);
    EXPECT_EQ(b.gains.back().count.count, 2);
    EXPECT_EQ(b.gains.back().size, "12x18");
}

TEST(PaperGain, RandomGainsAreExactAndTheGripperAndSheetChangesSmallest) {
    std::mt19937 rng(19);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 60; ++round) {
        const int w = pick(4, 14), d = pick(3, w), g = pick(0, 3);
        GainQuestion q;
        q.problem = {double(w), double(d),       double(pick(1, 5)), double(pick(1, 5)),
                     double(g), pick(0, 1) == 1, GrainRule::Any};
        q.press = {16, 14, 1, 1};
        q.trimLimit = 0.5;
        const auto a = findGains(q, std::chrono::seconds(2));
        const int pl = static_cast<int>(q.problem.pieceWidth);
        const int pd = static_cast<int>(q.problem.pieceDepth);
        auto usable = [&](int sw, int sd, int grip, bool onWidth) {
            return guillotine(onWidth ? sw : sw - grip, onWidth ? sd - grip : sd, pl, pd, false,
                              false);
        };
        ASSERT_EQ(a.now.count, usable(w, d, g, q.problem.gripperOnWidth));
        for (const Gain &gain : a.gains) {
            EXPECT_GT(gain.count.count, a.now.count);
            if (gain.kind == GainKind::Gripper) {
                EXPECT_EQ(gain.count.count,
                          usable(w, d, int(gain.value), q.problem.gripperOnWidth));
                for (int less = int(gain.value) + 1; less < g; ++less)
                    EXPECT_EQ(usable(w, d, less, q.problem.gripperOnWidth), a.now.count);
            }
            if (gain.kind == GainKind::PressSize) {
                const int grown = int(gain.value + gain.value2) - w - d;
                EXPECT_GT(grown, 0);
                for (int step = 1; step < grown; ++step)
                    for (int dw = 0; dw <= step; dw += step)
                        if (w + dw <= 16 && d + step - dw <= 14) {
                            EXPECT_EQ(usable(w + dw, d + step - dw, g, q.problem.gripperOnWidth),
                                      a.now.count);
                        }
            }
            if (gain.kind == GainKind::Trim) {
                // Re-checked by the search: one of the two sides trimmed gives the count.
                LayoutProblem width = q.problem, depth = q.problem;
                width.pieceWidth = depth.pieceDepth = gain.value;
                const auto budget = std::chrono::seconds(2);
                EXPECT_TRUE(countPieces(width, budget).count == gain.count.count ||
                            countPieces(depth, budget).count == gain.count.count);
            }
        }
    }
}

} // namespace
