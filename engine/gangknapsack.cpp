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

std::optional<std::vector<KnapsackLayout>>
paretoLayouts(i64 width, i64 depth, const std::vector<KnapsackPiece> &all, std::size_t items,
              CutTree &tree, std::size_t maxWork, std::size_t maxPerStock) {
    std::vector<KnapsackPiece> pieces;
    std::vector<i64> ws, ds;
    for (const KnapsackPiece &p : all)
        if (p.width > 0 && p.depth > 0 && p.width <= width && p.depth <= depth && p.item >= 0 &&
            std::size_t(p.item) < items) {
            pieces.push_back(p);
            ws.push_back(p.width);
            ds.push_back(p.depth);
        }
    if (pieces.empty())
        return std::nullopt;
    auto xs = sumPoints(width, ws, 400), ys = sumPoints(depth, ds, 400);
    if (!xs || !ys)
        return std::nullopt;
    std::vector<i64> X = reduced(*xs, width), Y = reduced(*ys, depth);
    if (X.front() == 0)
        X.erase(X.begin());
    if (Y.front() == 0)
        Y.erase(Y.begin());
    const std::size_t nx = X.size(), ny = Y.size();
    // How each vector of a sub-stock was made: a piece, a smaller stock, or a cut.
    struct Entry {
        std::vector<i64> counts;
        int kind; // 0 piece, 1 trim x, 2 trim y, 3 cut x, 4 cut y
        std::size_t a = 0, b = 0, k = 0, r = 0;
    };
    std::vector<std::vector<Entry>> cells(nx * ny);
    const auto dominated = [](const std::vector<i64> &u, const std::vector<i64> &v) {
        return std::equal(u.begin(), u.end(), v.begin(), std::less_equal<>());
    };
    const auto keep = [&](std::vector<Entry> &list, Entry e) {
        for (const Entry &o : list)
            if (dominated(e.counts, o.counts))
                return;
        std::erase_if(list, [&](const Entry &o) { return dominated(o.counts, e.counts); });
        list.push_back(std::move(e));
    };
    std::size_t work = 0;
    for (std::size_t i = 0; i < nx; ++i)
        for (std::size_t j = 0; j < ny; ++j) {
            std::vector<Entry> list;
            for (std::size_t p = 0; p < pieces.size(); ++p)
                if (pieces[p].width <= X[i] && pieces[p].depth <= Y[j]) {
                    Entry e{std::vector<i64>(items, 0), 0, p};
                    e.counts[std::size_t(pieces[p].item)] = 1;
                    keep(list, std::move(e));
                }
            if (i > 0)
                for (std::size_t a = 0; a < cells[(i - 1) * ny + j].size(); ++a)
                    keep(list, {cells[(i - 1) * ny + j][a].counts, 1, a});
            if (j > 0)
                for (std::size_t a = 0; a < cells[i * ny + j - 1].size(); ++a)
                    keep(list, {cells[i * ny + j - 1][a].counts, 2, a});
            for (int axis = 0; axis < 2; ++axis) {
                const auto &P = axis == 0 ? X : Y;
                const std::size_t at = axis == 0 ? i : j;
                std::size_t r = at;
                for (std::size_t k = 0; k < P.size() && 2 * P[k] <= P[at]; ++k) {
                    while (P[r] > P[at] - P[k])
                        --r;
                    const auto &first = axis == 0 ? cells[k * ny + j] : cells[i * ny + k];
                    const auto &second = axis == 0 ? cells[r * ny + j] : cells[i * ny + r];
                    work += first.size() * second.size();
                    if (work > maxWork)
                        return std::nullopt;
                    for (std::size_t a = 0; a < first.size(); ++a)
                        for (std::size_t b = 0; b < second.size(); ++b) {
                            Entry e{first[a].counts, 3 + axis, a, b, k, r};
                            for (std::size_t t = 0; t < items; ++t)
                                e.counts[t] += second[b].counts[t];
                            keep(list, std::move(e));
                        }
                }
            }
            if (list.size() > maxPerStock)
                return std::nullopt;
            cells[i * ny + j] = std::move(list);
        }

    std::map<std::tuple<i64, i64, std::size_t, std::size_t>, int> memo;
    // The layout of an aw x ad stock (at least the cell's size) for one entry of a cell.
    const auto build = [&](auto &self, i64 aw, i64 ad, std::size_t cell, std::size_t idx) -> int {
        const auto key = std::make_tuple(aw, ad, cell, idx);
        if (auto it = memo.find(key); it != memo.end())
            return it->second;
        const Entry &e = cells[cell][idx];
        const std::size_t i = cell / ny, j = cell % ny;
        int node = -1;
        switch (e.kind) {
        case 0: {
            const KnapsackPiece &p = pieces[e.a];
            node = tree.trimmed(aw, ad, tree.piece(p.width, p.depth, p.item));
            break;
        }
        case 1:
            node = self(self, aw, ad, (i - 1) * ny + j, e.a);
            break;
        case 2:
            node = self(self, aw, ad, i * ny + j - 1, e.a);
            break;
        case 3: {
            const int first = self(self, X[e.k], ad, e.k * ny + j, e.a);
            node = tree.split(CutAxis::X, X[e.k], first,
                              self(self, aw - X[e.k], ad, e.r * ny + j, e.b));
            break;
        }
        default: {
            const int first = self(self, aw, Y[e.k], i * ny + e.k, e.a);
            node = tree.split(CutAxis::Y, Y[e.k], first,
                              self(self, aw, ad - Y[e.k], i * ny + e.r, e.b));
        }
        }
        memo.emplace(key, node);
        return node;
    };
    std::vector<KnapsackLayout> out;
    const std::size_t whole = nx * ny - 1;
    for (std::size_t idx = 0; idx < cells[whole].size(); ++idx) {
        KnapsackLayout l;
        l.counts = cells[whole][idx].counts;
        l.root = build(build, width, depth, whole, idx);
        out.push_back(std::move(l));
    }
    return out;
}

} // namespace sheetcraft
