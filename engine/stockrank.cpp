#include "stockrank.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace sheetcraft {

namespace {

// A division's side, down to 1/10000 so that the size typed into the cells
// holds exactly what was counted.
double divided(double side, int parts) {
    return std::floor(side / parts * 10000 + 1e-6) / 10000;
}

int divisionCuts(int across, int down) {
    // The cuts across the width go through the whole stack; the strips are
    // then stacked and cut down once per line.
    return (across - 1) + (down - 1);
}

} // namespace

bool betterChoice(const PressChoice &a, const PressChoice &b) {
    if (a.order.has_value() != b.order.has_value())
        return a.order.has_value();
    if (a.cost.has_value() != b.cost.has_value())
        return a.cost.has_value();
    if (a.cost && *a.cost != *b.cost)
        return *a.cost < *b.cost;
    const auto sheets = [](const PressChoice &c) { return c.order ? c.order->parentSheets : 0; };
    if (sheets(a) != sheets(b))
        return sheets(a) < sheets(b);
    return std::tuple(a.operations, a.wastePercent, a.across * a.down, a.across) <
           std::tuple(b.operations, b.wastePercent, b.across * b.down, b.across);
}

std::string grainNote(const PressChoice &c, GrainRule job, StockGrain stock) {
    if (job == GrainRule::Any)
        return "any way round";
    if (!c.grainChecked)
        return "any way round: the stock's grain is not given";
    const bool pressLong = c.rule == job;
    return std::string("long side ") + (c.rule == GrainRule::Along ? "along" : "across") +
           " the sheet (" + (pressLong ? "long" : "short") + "-grain press sheet from " +
           stockGrainText(stock) + "-grain stock)";
}

std::vector<StockRanking> rankStock(const std::vector<StockSheet> &stock, const PressLimits &press,
                                    const PaperJob &job, std::chrono::milliseconds budget) {
    // Many stock sheets share press sheets; each is searched once.
    std::map<std::tuple<double, double, GrainRule>, PieceCount> counted;
    std::vector<StockRanking> ranking;
    const double pieceArea = job.pieceWidth * job.pieceDepth;
    for (std::size_t i = 0; i < stock.size(); ++i) {
        const StockSheet &s = stock[i];
        StockRanking r;
        r.stock = i;
        for (int across = 1; across <= 4; ++across) {
            for (int down = 1; down <= 4; ++down) {
                PressChoice c;
                c.across = across;
                c.down = down;
                const double w = divided(s.width, across), d = divided(s.depth, down);
                if (!press.fits(w, d))
                    continue;
                c.pressWidth = std::max(w, d);
                c.pressDepth = std::min(w, d);
                c.pressSize = sizeNumber(c.pressDepth) + "x" + sizeNumber(c.pressWidth);
                c.out = across * down;
                // The press sheet's long side runs along the stock's width
                // when w >= d, and so keeps the stock's grain; else it turns.
                c.grainChecked = job.grain == GrainRule::Any || s.grain != StockGrain::Unknown;
                const bool stockLong = s.grain != StockGrain::Short;
                const bool pressLong = (w >= d) == stockLong;
                c.rule = c.grainChecked ? sheetGrainRule(job.grain, pressLong) : GrainRule::Any;

                const auto key = std::tuple(c.pressWidth, c.pressDepth, c.rule);
                auto found = counted.find(key);
                if (found == counted.end()) {
                    LayoutProblem p;
                    p.sheetWidth = c.pressWidth;
                    p.sheetDepth = c.pressDepth;
                    p.pieceWidth = job.pieceWidth;
                    p.pieceDepth = job.pieceDepth;
                    p.gripper = job.gripper;
                    p.gripperOnWidth = job.gripperOnWidth;
                    p.grain = c.rule;
                    found = counted.emplace(key, countPieces(p, budget, true)).first;
                }
                c.up = found->second;
                if (c.up.count < 1)
                    continue;
                c.operations = divisionCuts(across, down) + c.up.operations;
                c.order = orderQuantities(job.quantity, job.spoilagePct, job.makeReady, c.up.count,
                                          c.out);
                const double stockArea = s.width * s.depth;
                c.wastePercent = 100 *
                                 (stockArea - pieceArea * static_cast<double>(c.up.count) *
                                                  static_cast<double>(c.out)) /
                                 stockArea;
                if (s.price && c.order)
                    c.cost = static_cast<double>(c.order->parentSheets) * *s.price / 1000;
                r.choices.push_back(std::move(c));
            }
        }
        if (r.choices.empty())
            continue;
        std::stable_sort(r.choices.begin(), r.choices.end(), betterChoice);
        ranking.push_back(std::move(r));
    }
    std::stable_sort(ranking.begin(), ranking.end(),
                     [](const StockRanking &a, const StockRanking &b) {
                         return betterChoice(a.best(), b.best());
                     });
    return ranking;
}

} // namespace sheetcraft
