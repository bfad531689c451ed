#include "bestlayout.h"
#include "bounds.h"
#include "rasterpoints.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <unordered_map>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;
using Clock = std::chrono::steady_clock;

// The search gives up on sheets whose cut positions would make a table larger
// than this (entries of 8 bytes), rather than take the machine's memory.
constexpr i64 maxStates = i64(1) << 21;

bool isWholeAt(double value, double scale) {
    const double v = value * scale;
    return std::fabs(v - std::nearbyint(v)) <= 1e-9 * std::max(1.0, std::fabs(v));
}

// Whole units of value: down for a sheet side, up for a piece side, the exact
// number when the decimal lands on a unit.
i64 units(double value, double scale, bool up) {
    const double v = value * scale;
    const double nearest = std::nearbyint(v);
    if (std::fabs(v - nearest) <= 1e-9 * std::max(1.0, std::fabs(v)))
        return static_cast<i64>(nearest);
    return static_cast<i64>(up ? std::ceil(v) : std::floor(v));
}

// Beyond this many rows and columns a layout is counted but not built: its
// tree would take hundreds of megabytes for pieces nobody cuts one by one.
constexpr i64 maxTreeLines = 100'000;

// A layout by its count; the tree of the usable sheet is built only for the
// one chosen.
struct Candidate {
    i64 count = 0;
    i64 lines = 0; // rows plus columns of its grids, for the size of its tree
    std::function<int(CutTree &)> build;
};

// The layout of the whole sheet: the gripper strip trimmed off first.
Layout wholeSheet(const UnitProblem &u, const Candidate &c) {
    Layout l;
    l.count = c.count;
    l.tree = CutTree(u.scale);
    l.usable = {l.tree.toSheet(u.usableX), l.tree.toSheet(u.usableY), l.tree.toSheet(u.usableWidth),
                l.tree.toSheet(u.usableDepth)};
    if (c.lines > maxTreeLines) {
        l.treeOmitted = true;
        return l;
    }
    CutTree &t = l.tree;
    int content = c.build && c.count > 0 ? c.build(t) : t.waste(u.usableWidth, u.usableDepth);
    if (u.usableY > 0)
        content = t.split(CutAxis::Y, u.usableY, t.waste(u.sheetWidth, u.usableY), content);
    else if (u.usableX > 0)
        content = t.split(CutAxis::X, u.usableX, t.waste(u.usableX, u.sheetDepth), content);
    t.setRoot(content);
    return l;
}

Candidate frameCandidate(const UnitProblem &u, int frame) {
    Candidate c;
    const i64 W = u.usableWidth, H = u.usableDepth;
    const i64 pw = frame < 3 ? u.pieceLong : u.pieceShort;
    const i64 pd = frame < 3 ? u.pieceShort : u.pieceLong;
    const i64 across = W / pw, down = H / pd;
    if (across * down == 0)
        return c; // an empty frame
    if (frame == 2) {
        const i64 used = across * pw;
        const i64 sa = (W - used) / pd, sd = H / pw;
        if (sa * sd == 0)
            return c;
        c.count = across * down + sa * sd;
        c.lines = across + down + sa + sd;
        c.build = [=](CutTree &t) {
            return t.split(CutAxis::X, used, t.grid(used, H, pw, pd, across, down),
                           t.grid(W - used, H, pd, pw, sa, sd));
        };
    } else if (frame == 4) {
        const i64 used = down * pd;
        const i64 sa = W / pd, sd = (H - used) / pw;
        if (sa * sd == 0)
            return c;
        c.count = across * down + sa * sd;
        c.lines = across + down + sa + sd;
        c.build = [=](CutTree &t) {
            return t.split(CutAxis::Y, used, t.grid(W, used, pw, pd, across, down),
                           t.grid(W, H - used, pd, pw, sa, sd));
        };
    } else {
        c.count = across * down;
        c.lines = across + down;
        c.build = [=](CutTree &t) { return t.grid(W, H, pw, pd, across, down); };
    }
    return c;
}

// Strips across the whole sheet, each a row of pieces one way or the other,
// the best mix of the two kinds; columns when `columns`.
Candidate stripCandidate(const UnitProblem &u, bool columns) {
    Candidate c;
    const i64 L = u.pieceLong, S = u.pieceShort;
    // Along the strips' length: `length`; strips stack along `span`.
    const i64 length = columns ? u.usableDepth : u.usableWidth;
    const i64 span = columns ? u.usableWidth : u.usableDepth;
    // A strip S thick holds the piece with its long side along the strip;
    // a strip L thick holds it turned.
    const i64 perThin = length / L, perThick = length / S;
    i64 bestThin = 0, bestThick = 0, best = -1;
    const i64 maxThick = std::min<i64>(span / L, 4'000'000);
    for (i64 thick = 0; thick <= maxThick; ++thick) {
        const i64 thin = (span - thick * L) / S;
        const i64 n = thin * perThin + thick * perThick;
        if (n > best) {
            best = n;
            bestThin = thin;
            bestThick = thick;
        }
    }
    c.count = best;
    c.lines = bestThin + bestThick + perThin + perThick;
    c.build = [=](CutTree &t) {
        const i64 used = bestThin * S;
        if (columns)
            return t.split(CutAxis::X, used, t.grid(used, length, S, L, bestThin, perThin),
                           t.grid(span - used, length, L, S, bestThick, perThick));
        return t.split(CutAxis::Y, used, t.grid(length, used, L, S, perThin, bestThin),
                       t.grid(length, span - used, S, L, perThick, bestThick));
    };
    return c;
}

// Dynamic programming over guillotine cuts at raster points, in units divided
// by the sides' common divisor. Fills the exact layout, or gives up (false)
// when the table is too large, time runs out or the caller cancels.
class GuillotineSearch {
public:
    GuillotineSearch(const UnitProblem &u, Clock::time_point deadline,
                     const std::atomic<bool> *cancel)
        : m_u(u), m_deadline(deadline), m_cancel(cancel) {
        m_g = std::gcd(u.pieceLong, u.pieceShort);
        m_a = u.pieceLong / m_g;
        m_b = u.pieceShort / m_g;
    }

    bool run() {
        const i64 W = m_u.usableWidth / m_g, H = m_u.usableDepth / m_g;
        auto xs = rasterPoints(W, m_a, m_b, maxStates);
        if (!xs)
            return false;
        auto ys = rasterPoints(H, m_a, m_b, maxStates / static_cast<i64>(xs->size()));
        if (!ys)
            return false;
        m_x = reduced(*xs, W);
        m_y = reduced(*ys, H);
        m_nx = m_x.size();
        m_ny = m_y.size();
        m_value.assign(m_nx * m_ny, 0);
        m_byColumn.assign(m_nx * m_ny, 0);
        m_code.assign(m_nx * m_ny, 0);
        const i64 ab = m_a * m_b;
        std::size_t sinceCheck = 0;
        for (std::size_t i = 1; i < m_nx; ++i) {
            for (std::size_t j = 1; j < m_ny; ++j) {
                sinceCheck += i + j;
                if (sinceCheck > 200'000) {
                    sinceCheck = 0;
                    if (Clock::now() > m_deadline ||
                        (m_cancel && m_cancel->load(std::memory_order_relaxed)))
                        return false;
                }
                const i64 w = m_x[i], h = m_y[j];
                std::int32_t best = 0, code = 0;
                if (at(i - 1, j) > best)
                    best = at(i - 1, j), code = 3;
                if (at(i, j - 1) > best)
                    best = at(i, j - 1), code = 4;
                if (best == 0) {
                    if (w >= m_a && h >= m_b)
                        best = 1, code = 1;
                    else if (w >= m_b && h >= m_a)
                        best = 1, code = 2;
                }
                const i64 bound = std::min(w * h / ab, turningBound(w, h, m_a, m_b));
                if (best < bound) {
                    // Column j of the table, laid out along x so this loop reads it in order.
                    const std::int32_t *column = &m_byColumn[j * m_nx];
                    std::size_t p = i;
                    for (std::size_t k = 1; 2 * m_x[k] <= w && best < bound; ++k) {
                        while (m_x[p] > w - m_x[k])
                            --p;
                        const std::int32_t v = column[k] + column[p];
                        if (v > best)
                            best = v, code = static_cast<std::int32_t>(8 + 2 * k);
                    }
                    const std::int32_t *row = &m_value[i * m_ny];
                    std::size_t q = j;
                    for (std::size_t k = 1; 2 * m_y[k] <= h && best < bound; ++k) {
                        while (m_y[q] > h - m_y[k])
                            --q;
                        const std::int32_t v = row[k] + row[q];
                        if (v > best)
                            best = v, code = static_cast<std::int32_t>(9 + 2 * k);
                    }
                }
                m_value[i * m_ny + j] = best;
                m_byColumn[j * m_nx + i] = best;
                m_code[i * m_ny + j] = code;
            }
        }
        return true;
    }

    i64 count() const { return m_nx && m_ny ? at(m_nx - 1, m_ny - 1) : 0; }

    // The search must outlive the candidate.
    Candidate layout() {
        Candidate c;
        c.count = count();
        c.lines = static_cast<i64>(m_nx + m_ny);
        c.build = [this](CutTree &t) {
            return trimmedTo(t, m_u.usableWidth, m_u.usableDepth, m_nx - 1, m_ny - 1);
        };
        return c;
    }

private:
    std::int32_t at(std::size_t i, std::size_t j) const { return m_value[i * m_ny + j]; }

    // A stock of width x depth units holding state (i, j)'s layout at its top-left.
    int trimmedTo(CutTree &t, i64 width, i64 depth, std::size_t i, std::size_t j) {
        // Reductions chain; take them all at once so the trims are two cuts.
        for (;;) {
            const auto code = m_code[i * m_ny + j];
            if (code == 3)
                --i;
            else if (code == 4)
                --j;
            else
                break;
        }
        return t.trimmed(width, depth, state(t, i, j));
    }

    int state(CutTree &t, std::size_t i, std::size_t j) {
        const std::size_t key = i * m_ny + j;
        const auto found = m_built.find(key);
        if (found != m_built.end())
            return found->second;
        const i64 w = m_x[i] * m_g, h = m_y[j] * m_g;
        const std::int32_t code = m_code[key];
        int id = -1;
        if (code == 0) {
            id = t.waste(w, h);
        } else if (code == 3 || code == 4) {
            id = trimmedTo(t, w, h, i, j);
        } else if (code == 1 || code == 2) {
            const i64 pw = (code == 1 ? m_a : m_b) * m_g, pd = (code == 1 ? m_b : m_a) * m_g;
            id = t.trimmed(w, h, t.piece(pw, pd));
        } else {
            const bool xCut = code % 2 == 0;
            const std::size_t k = static_cast<std::size_t>((code - 8) / 2);
            const std::vector<i64> &line = xCut ? m_x : m_y;
            const i64 cut = line[k];
            const i64 rest = (xCut ? m_x[i] : m_y[j]) - cut;
            const std::size_t r = static_cast<std::size_t>(
                std::upper_bound(line.begin(), line.end(), rest) - line.begin() - 1);
            if (xCut)
                id = t.split(CutAxis::X, cut * m_g, state(t, k, j),
                             trimmedTo(t, rest * m_g, h, r, j));
            else
                id = t.split(CutAxis::Y, cut * m_g, state(t, i, k),
                             trimmedTo(t, w, rest * m_g, i, r));
        }
        m_built.emplace(key, id);
        return id;
    }

    const UnitProblem &m_u;
    Clock::time_point m_deadline;
    const std::atomic<bool> *m_cancel;
    i64 m_g = 1, m_a = 1, m_b = 1;
    std::vector<i64> m_x, m_y;
    std::size_t m_nx = 0, m_ny = 0;
    std::vector<std::int32_t> m_value, m_byColumn, m_code;
    std::unordered_map<std::size_t, int> m_built;
};

} // namespace

std::optional<GrainRule> grainFromText(std::string_view text) {
    if (text == "any")
        return GrainRule::Any;
    if (text == "along")
        return GrainRule::Along;
    if (text == "across")
        return GrainRule::Across;
    return std::nullopt;
}

const char *grainText(GrainRule grain) {
    switch (grain) {
    case GrainRule::Along:
        return "along";
    case GrainRule::Across:
        return "across";
    case GrainRule::Any:
        break;
    }
    return "any";
}

UnitProblem toUnits(const LayoutProblem &p) {
    UnitProblem u;
    const double gripper = p.gripper > 0 ? p.gripper : 0.0;
    const double values[] = {p.sheetWidth, p.sheetDepth, p.pieceWidth, p.pieceDepth, gripper};
    double largest = 0;
    for (double v : values) {
        if (!std::isfinite(v))
            return u;
        largest = std::max(largest, std::fabs(v));
    }
    // 1/10000 of a unit, finer when a size has more decimals, as long as the
    // sheet's area in units still fits 63 bits.
    double scale = 10000;
    while (largest * scale * 10 < 2e9 &&
           !std::all_of(std::begin(values), std::end(values),
                        [&](double v) { return isWholeAt(v, scale); }))
        scale *= 10;
    if (largest * scale >= 3e9)
        return u;
    u.scale = static_cast<i64>(scale);
    u.sheetWidth = units(p.sheetWidth, scale, false);
    u.sheetDepth = units(p.sheetDepth, scale, false);
    const i64 a = units(p.pieceWidth, scale, true), b = units(p.pieceDepth, scale, true);
    u.pieceLong = std::max(a, b);
    u.pieceShort = std::min(a, b);
    const i64 g = units(gripper, scale, true);
    u.usableWidth = u.sheetWidth;
    u.usableDepth = u.sheetDepth;
    if (g > 0 && p.gripperOnWidth) {
        u.usableY = g;
        u.usableDepth -= g;
    } else if (g > 0) {
        u.usableX = g;
        u.usableWidth -= g;
    }
    u.valid = u.pieceShort > 0 && u.usableWidth > 0 && u.usableDepth > 0;
    return u;
}

LayoutProblem layoutProblem(const DiagramValues &v, GrainRule grain) {
    LayoutProblem p;
    p.sheetWidth = v.fullSheetWidth;
    p.sheetDepth = v.fullSheetDepth;
    p.pieceWidth = v.pieceWidth;
    p.pieceDepth = v.pieceDepth;
    p.gripper = v.diagram == Diagram::Finished ? v.gripper : 0;
    p.gripperOnWidth = v.gripperOnWidth;
    p.grain = grain;
    return p;
}

Layout frameLayout(const LayoutProblem &problem, int frame) {
    const UnitProblem u = toUnits(problem);
    if (frame == 0)
        frame = 1;
    if (!u.valid || frame < 1 || frame > 4)
        return u.valid ? wholeSheet(u, Candidate{}) : Layout{};
    return wholeSheet(u, frameCandidate(u, frame));
}

BestLayout bestLayout(const LayoutProblem &problem, const BestLayoutOptions &options) {
    const auto deadline = Clock::now() + options.budget;
    BestLayout result;
    result.sheetWidth = problem.sheetWidth;
    result.sheetDepth = problem.sheetDepth;
    const UnitProblem u = toUnits(problem);
    if (!u.valid) {
        result.exact = result.proven = true;
        return result;
    }

    for (int frame = 1; frame <= 4; ++frame)
        result.framesMaximum = std::max(result.framesMaximum, frameCandidate(u, frame).count);

    // The layouts to start from: the frames the grain allows, and the strip mixes.
    std::vector<Candidate> seeds;
    const bool mayTurn = problem.grain == GrainRule::Any;
    if (mayTurn) {
        for (int frame = 1; frame <= 4; ++frame)
            seeds.push_back(frameCandidate(u, frame));
        seeds.push_back(stripCandidate(u, true));
        seeds.push_back(stripCandidate(u, false));
    } else {
        seeds.push_back(frameCandidate(u, problem.grain == GrainRule::Along ? 1 : 3));
    }
    auto best = std::max_element(seeds.begin(), seeds.end(),
                                 [](const auto &l, const auto &r) { return l.count < r.count; });
    Candidate chosen = *best;

    const i64 along = problem.grain == GrainRule::Across ? u.pieceShort : u.pieceLong;
    const i64 down = problem.grain == GrainRule::Across ? u.pieceLong : u.pieceShort;
    result.upperBound = packingUpperBound(u.usableWidth, u.usableDepth, along, down, mayTurn);

    if (chosen.count >= result.upperBound) {
        result.exact = true;
    } else if (mayTurn) {
        GuillotineSearch search(u, deadline, options.cancel);
        if (search.run()) {
            result.exact = true;
            if (search.count() > chosen.count) {
                result.proven = search.count() == result.upperBound;
                result.layout = wholeSheet(u, search.layout());
                return result;
            }
        } else {
            result.cancelled = options.cancel && options.cancel->load();
        }
    }
    result.proven = chosen.count == result.upperBound;
    result.layout = wholeSheet(u, chosen);
    return result;
}

} // namespace sheetcraft
