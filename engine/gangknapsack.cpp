#include "gangknapsack.h"

#include "rasterpoints.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <optional>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;

// Every length up to limit that is a sum of the sizes (with repeats), ascending,
// 0 first; nothing when there would be more than cap of them.
std::optional<std::vector<i64>> sumPoints(i64 limit, const std::vector<i64> &sizes,
                                          std::size_t cap) {
    i64 g = 0;
    for (i64 s : sizes)
        g = std::gcd(g, s);
    if (g == 0)
        return std::vector<i64>{0};
    const i64 steps = limit / g;
    if (steps > (i64(1) << 24))
        return std::nullopt;
    std::vector<char> reach(static_cast<std::size_t>(steps) + 1, 0);
    reach[0] = 1;
    std::vector<i64> points;
    for (i64 v = 0; v <= steps; ++v) {
        if (!reach[static_cast<std::size_t>(v)])
            continue;
        points.push_back(v * g);
        if (points.size() > cap)
            return std::nullopt;
        for (i64 s : sizes)
            if (v + s / g <= steps)
                reach[static_cast<std::size_t>(v + s / g)] = 1;
    }
    return points;
}

// Whole rows of one size only: a coarser grid that still gives real layouts.
std::vector<i64> rowPoints(i64 limit, const std::vector<i64> &sizes, std::size_t cap) {
    std::vector<i64> points{0};
    for (i64 s : sizes)
        for (i64 v = s; v <= limit && points.size() < cap; v += s)
            points.push_back(v);
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

constexpr int waste = -1, trimX = -2, trimY = -3;

class Knapsack {
public:
    Knapsack(std::vector<i64> xs, std::vector<i64> ys, const std::vector<KnapsackPiece> &pieces,
             std::size_t itemCount, CutTree &into)
        : X(std::move(xs)), Y(std::move(ys)), P(pieces), items(itemCount), tree(into) {
        nx = X.size();
        ny = Y.size();
        V.assign(nx * ny, 0.0);
        choice.assign(nx * ny, waste);
    }

    void run() {
        for (std::size_t p = 0; p < P.size(); ++p) {
            const auto i = std::lower_bound(X.begin(), X.end(), P[p].width) - X.begin();
            const auto j = std::lower_bound(Y.begin(), Y.end(), P[p].depth) - Y.begin();
            if (std::size_t(i) >= nx || std::size_t(j) >= ny)
                continue;
            const std::size_t c = std::size_t(i) * ny + std::size_t(j);
            if (P[p].value > V[c]) {
                V[c] = P[p].value;
                choice[c] = static_cast<int>(p);
            }
        }
        const int np = static_cast<int>(P.size());
        for (std::size_t i = 0; i < nx; ++i) {
            for (std::size_t j = 0; j < ny; ++j) {
                const std::size_t c = i * ny + j;
                double best = V[c];
                int ch = choice[c];
                if (i > 0 && V[c - ny] > best)
                    best = V[c - ny], ch = trimX;
                if (j > 0 && V[c - 1] > best)
                    best = V[c - 1], ch = trimY;
                // Cuts up to half the side: the other half mirrors them.
                std::size_t r = i;
                for (std::size_t k = 0; k < nx && 2 * X[k] <= X[i]; ++k) {
                    while (X[r] > X[i] - X[k])
                        --r;
                    const double v = V[k * ny + j] + V[r * ny + j];
                    if (v > best)
                        best = v, ch = np + static_cast<int>(k);
                }
                r = j;
                for (std::size_t k = 0; k < ny && 2 * Y[k] <= Y[j]; ++k) {
                    while (Y[r] > Y[j] - Y[k])
                        --r;
                    const double v = V[i * ny + k] + V[i * ny + r];
                    if (v > best)
                        best = v, ch = np + static_cast<int>(nx + k);
                }
                V[c] = best;
                choice[c] = ch;
            }
        }
    }

    struct Built {
        int node = -1;
        double value = 0;
        std::vector<i64> counts;
    };

    // The layout of an aw x ad stock: the decision of the largest cell inside it,
    // applied to the whole stock, so what the cell trims is trimmed once.
    const Built &build(i64 aw, i64 ad) {
        const auto key = std::make_pair(aw, ad);
        if (auto it = memo.find(key); it != memo.end())
            return it->second;
        Built b;
        b.counts.assign(items, 0);
        auto i = std::upper_bound(X.begin(), X.end(), aw) - X.begin() - 1;
        auto j = std::upper_bound(Y.begin(), Y.end(), ad) - Y.begin() - 1;
        int ch = i >= 0 && j >= 0 ? choice[std::size_t(i) * ny + std::size_t(j)] : waste;
        while (ch == trimX || ch == trimY) {
            (ch == trimX ? i : j) -= 1;
            ch = choice[std::size_t(i) * ny + std::size_t(j)];
        }
        const int np = static_cast<int>(P.size());
        if (ch == waste) {
            b.node = tree.waste(aw, ad);
        } else if (ch < np) {
            const KnapsackPiece &p = P[std::size_t(ch)];
            b.node = tree.trimmed(aw, ad, tree.piece(p.width, p.depth, p.item));
            b.value = p.value;
            b.counts[std::size_t(p.item)] = 1;
        } else {
            const bool alongX = std::size_t(ch - np) < nx;
            const i64 at = alongX ? X[std::size_t(ch - np)] : Y[std::size_t(ch - np) - nx];
            // Copies, not references: the memo may rehash while the second half is built.
            const Built first = alongX ? build(at, ad) : build(aw, at);
            const Built &second = alongX ? build(aw - at, ad) : build(aw, ad - at);
            b.node = tree.split(alongX ? CutAxis::X : CutAxis::Y, at, first.node, second.node);
            b.value = first.value + second.value;
            for (std::size_t k = 0; k < items; ++k)
                b.counts[k] = first.counts[k] + second.counts[k];
        }
        return memo.emplace(key, std::move(b)).first->second;
    }

private:
    std::vector<i64> X, Y;
    const std::vector<KnapsackPiece> &P;
    std::size_t items;
    CutTree &tree;
    std::size_t nx = 0, ny = 0;
    std::vector<double> V;
    std::vector<int> choice;
    std::map<std::pair<i64, i64>, Built> memo;
};

} // namespace

KnapsackLayout guillotineKnapsack(i64 width, i64 depth, const std::vector<KnapsackPiece> &all,
                                  std::size_t items, CutTree &tree, std::size_t maxPoints) {
    KnapsackLayout out;
    out.counts.assign(items, 0);
    std::vector<KnapsackPiece> pieces;
    double densest = 0;
    for (const KnapsackPiece &p : all) {
        if (p.value > 0 && p.width > 0 && p.depth > 0 && p.width <= width && p.depth <= depth &&
            p.item >= 0 && std::size_t(p.item) < items) {
            pieces.push_back(p);
            densest = std::max(densest, p.value / (double(p.width) * double(p.depth)));
        }
    }
    if (pieces.empty() || width <= 0 || depth <= 0) {
        out.root = width > 0 && depth > 0 ? tree.waste(width, depth) : -1;
        return out;
    }
    std::vector<i64> ws, ds;
    for (const KnapsackPiece &p : pieces) {
        ws.push_back(p.width);
        ds.push_back(p.depth);
    }
    auto xs = sumPoints(width, ws, maxPoints);
    auto ys = sumPoints(depth, ds, maxPoints);
    std::vector<i64> X, Y;
    if (xs && ys) {
        X = reduced(*xs, width);
        Y = reduced(*ys, depth);
    } else {
        out.exact = false;
        X = rowPoints(width, ws, maxPoints);
        Y = rowPoints(depth, ds, maxPoints);
    }
    // The cells are sub-stocks; a stock of no width holds nothing.
    if (X.front() == 0)
        X.erase(X.begin());
    if (Y.front() == 0)
        Y.erase(Y.begin());
    Knapsack k(std::move(X), std::move(Y), pieces, items, tree);
    k.run();
    const auto &b = k.build(width, depth);
    out.root = b.node;
    out.value = b.value;
    out.counts = b.counts;
    out.upperBound =
        out.exact ? out.value : std::max(out.value, densest * double(width) * double(depth));
    return out;
}

} // namespace sheetcraft
