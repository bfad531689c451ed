#include "bestlayout.h"
#include "bounds.h"
#include "fitcount.h"
#include "rasterpoints.h"
#include "wholeunits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;
using Clock = std::chrono::steady_clock;

// The search gives up on sheets whose cut positions would make a table larger
// than this (entries of 8 bytes), rather than take the machine's memory.
constexpr i64 maxStates = i64(1) << 21;

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

bool isCancelled(const std::atomic<bool> *cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

// The sheet and pieces each grown by the gutter on the right and bottom: a
// layout of grown pieces on the grown sheet is a layout with the gutter
// between pieces, and every bound and search holds for it unchanged.
UnitProblem grown(const UnitProblem &u) {
    UnitProblem g = u;
    g.usableWidth += u.gutter;
    g.usableDepth += u.gutter;
    g.pieceLong += u.gutter;
    g.pieceShort += u.gutter;
    g.gutter = 0;
    return g;
}

// Copies the layout under `root` of a tree in grown units into `out`, every
// stock shrunk by the gutter: each cut between pieces becomes a double cut
// with the gutter strip as waste. Children come before their parents in a
// tree's nodes, so one pass in order does it without recursion.
int withoutGutter(const CutTree &tree, int root, i64 gutter, CutTree &out) {
    if (root < 0)
        return -1;
    const auto n = static_cast<std::size_t>(root) + 1;
    std::vector<char> used(n, 0);
    used[n - 1] = 1;
    for (std::size_t id = n; id-- > 0;) {
        const CutNode &node = tree.node(static_cast<int>(id));
        // A split without pieces becomes one waste node; its parts are not copied.
        if (used[id] && node.kind == CutNode::Kind::Split && node.pieces > 0)
            used[static_cast<std::size_t>(node.first)] =
                used[static_cast<std::size_t>(node.second)] = 1;
    }
    std::vector<int> mapped(n, -1);
    for (std::size_t id = 0; id < n; ++id) {
        if (!used[id])
            continue;
        const CutNode &node = tree.node(static_cast<int>(id));
        const i64 width = node.width - gutter, depth = node.depth - gutter;
        if (node.kind == CutNode::Kind::Piece) {
            mapped[id] = out.piece(width, depth, node.item);
            continue;
        }
        if (node.kind == CutNode::Kind::Waste || node.pieces == 0) {
            mapped[id] = out.waste(width, depth);
            continue;
        }
        const bool x = node.axis == CutAxis::X;
        const auto strip = [&](i64 length) {
            return x ? out.waste(length, depth) : out.waste(width, length);
        };
        const i64 o = node.offset;
        const i64 side = x ? node.width : node.depth;
        const int first = mapped[static_cast<std::size_t>(node.first)];
        const int second = mapped[static_cast<std::size_t>(node.second)];
        if (tree.node(node.first).pieces == 0)
            mapped[id] = out.split(node.axis, o, strip(o), second);
        else if (tree.node(node.second).pieces == 0)
            mapped[id] = out.split(node.axis, o - gutter, first, strip(side - o));
        else
            mapped[id] = out.split(node.axis, o - gutter, first,
                                   out.split(node.axis, gutter, strip(gutter), second));
    }
    return mapped[n - 1];
}

// The layout of the whole sheet: the gripper strip trimmed off first. The
// candidate is in grown units when the problem has a gutter.
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
    int content = -1;
    if (!c.build || c.count <= 0) {
        content = t.waste(u.usableWidth, u.usableDepth);
    } else if (u.gutter == 0) {
        content = c.build(t);
    } else {
        CutTree grownTree(u.scale);
        content = withoutGutter(grownTree, c.build(grownTree), u.gutter, t);
    }
    if (content < 0) { // cancelled while building
        l.tree = CutTree(u.scale);
        l.treeOmitted = true;
        return l;
    }
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
Candidate stripCandidate(const UnitProblem &u, bool columns, const std::atomic<bool> *cancel) {
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
        if ((thick & 0xffff) == 0xffff && isCancelled(cancel))
            break; // the best mix so far still holds
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

// How the table makes a state's best layout.
enum Move : std::int32_t {
    Waste = 0,     // nothing fits
    Upright = 1,   // one piece, its long side along x
    Turned = 2,    // one piece, its long side along y
    Narrower = 3,  // as the state one raster point narrower
    Shallower = 4, // as the state one raster point shallower
    // From here on a cut at reduced raster point k: CutX + 2k along x, CutY + 2k along y.
    CutX = 8,
    CutY = 9,
};

constexpr std::int32_t cutMove(Move axis, std::size_t k) {
    return axis + 2 * static_cast<std::int32_t>(k);
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
        auto xs = rasterPoints(W, m_a, m_b, maxStates, m_cancel);
        if (!xs)
            return false;
        auto ys = rasterPoints(H, m_a, m_b, maxStates / static_cast<i64>(xs->size()), m_cancel);
        if (!ys)
            return false;
        m_x = reduced(*xs, W);
        m_y = reduced(*ys, H);
        m_nx = m_x.size();
        m_ny = m_y.size();
        m_value.assign(m_nx * m_ny, 0);
        m_byColumn.assign(m_nx * m_ny, 0);
        m_move.assign(m_nx * m_ny, Waste);
        const i64 ab = m_a * m_b;
        std::size_t sinceCheck = 0;
        for (std::size_t i = 1; i < m_nx; ++i) {
            for (std::size_t j = 1; j < m_ny; ++j) {
                sinceCheck += i + j;
                if (sinceCheck > 200'000) {
                    sinceCheck = 0;
                    if (Clock::now() > m_deadline || isCancelled(m_cancel))
                        return false;
                }
                const i64 w = m_x[i], h = m_y[j];
                std::int32_t best = 0, move = Waste;
                if (at(i - 1, j) > best)
                    best = at(i - 1, j), move = Narrower;
                if (at(i, j - 1) > best)
                    best = at(i, j - 1), move = Shallower;
                if (best == 0) {
                    if (w >= m_a && h >= m_b)
                        best = 1, move = Upright;
                    else if (w >= m_b && h >= m_a)
                        best = 1, move = Turned;
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
                            best = v, move = cutMove(CutX, k);
                    }
                    const std::int32_t *row = &m_value[i * m_ny];
                    std::size_t q = j;
                    for (std::size_t k = 1; 2 * m_y[k] <= h && best < bound; ++k) {
                        while (m_y[q] > h - m_y[k])
                            --q;
                        const std::int32_t v = row[k] + row[q];
                        if (v > best)
                            best = v, move = cutMove(CutY, k);
                    }
                }
                m_value[i * m_ny + j] = best;
                m_byColumn[j * m_nx + i] = best;
                m_move[i * m_ny + j] = move;
            }
        }
        return true;
    }

    i64 count() const { return m_nx && m_ny ? at(m_nx - 1, m_ny - 1) : 0; }

    // The search must outlive the candidate. Its tree is -1 when cancelled.
    Candidate layout() {
        Candidate c;
        c.count = count();
        c.lines = static_cast<i64>(m_nx + m_ny);
        c.build = [this](CutTree &t) {
            const std::size_t top = settled(key(m_nx - 1, m_ny - 1));
            if (!buildAll(t, top))
                return -1;
            return t.trimmed(m_u.usableWidth, m_u.usableDepth, m_built.at(top));
        };
        return c;
    }

private:
    std::int32_t at(std::size_t i, std::size_t j) const { return m_value[i * m_ny + j]; }
    std::size_t key(std::size_t i, std::size_t j) const { return i * m_ny + j; }
    i64 widthOf(std::size_t key) const { return m_x[key / m_ny] * m_g; }
    i64 depthOf(std::size_t key) const { return m_y[key % m_ny] * m_g; }

    // The state a chain of Narrower and Shallower moves ends at; taken at once
    // so a stock's trims are two cuts.
    std::size_t settled(std::size_t k) const {
        for (;;) {
            const auto move = m_move[k];
            if (move == Narrower)
                k -= m_ny;
            else if (move == Shallower)
                --k;
            else
                return k;
        }
    }

    // For a cut: the first part's state, the rest's side and its settled state.
    struct Cut {
        bool x = true;
        i64 offset = 0, rest = 0; // units
        std::size_t first = 0, second = 0;
    };
    Cut cutOf(std::size_t k) const {
        const std::int32_t move = m_move[k];
        const std::size_t i = k / m_ny, j = k % m_ny;
        Cut c;
        c.x = (move - CutX) % 2 == 0;
        const auto point = static_cast<std::size_t>((move - CutX) / 2);
        const std::vector<i64> &line = c.x ? m_x : m_y;
        const i64 rest = (c.x ? m_x[i] : m_y[j]) - line[point];
        const auto r = static_cast<std::size_t>(std::upper_bound(line.begin(), line.end(), rest) -
                                                line.begin() - 1);
        c.offset = line[point] * m_g;
        c.rest = rest * m_g;
        c.first = c.x ? key(point, j) : key(i, point);
        c.second = settled(c.x ? key(r, j) : key(i, r));
        return c;
    }

    // The states a state's node is made of.
    std::array<std::size_t, 2> parts(std::size_t k, std::size_t &n) const {
        const std::int32_t move = m_move[k];
        n = 0;
        if (move == Narrower || move == Shallower) {
            n = 1;
            return {settled(k), 0};
        }
        if (move >= CutX) {
            const Cut c = cutOf(k);
            n = 2;
            return {c.first, c.second};
        }
        return {0, 0};
    }

    int makeNode(CutTree &t, std::size_t k) const {
        const i64 w = widthOf(k), h = depthOf(k);
        const std::int32_t move = m_move[k];
        switch (move) {
        case Waste:
            return t.waste(w, h);
        case Upright:
            return t.trimmed(w, h, t.piece(m_a * m_g, m_b * m_g));
        case Turned:
            return t.trimmed(w, h, t.piece(m_b * m_g, m_a * m_g));
        case Narrower:
        case Shallower:
            return t.trimmed(w, h, m_built.at(settled(k)));
        default:
            break;
        }
        const Cut c = cutOf(k);
        const int first = m_built.at(c.first);
        if (c.x)
            return t.split(CutAxis::X, c.offset, first, t.trimmed(c.rest, h, m_built.at(c.second)));
        return t.split(CutAxis::Y, c.offset, first, t.trimmed(w, c.rest, m_built.at(c.second)));
    }

    // Builds the nodes of every state under `top`, parts before wholes, on a
    // stack of its own: a long row of cuts must not run deep on the thread's
    // stack. False when cancelled.
    bool buildAll(CutTree &t, std::size_t top) {
        std::vector<std::size_t> stack{top};
        std::size_t steps = 0;
        while (!stack.empty()) {
            if (++steps % 4096 == 0 && isCancelled(m_cancel))
                return false;
            const std::size_t k = stack.back();
            if (m_built.count(k)) {
                stack.pop_back();
                continue;
            }
            std::size_t n = 0;
            const auto needed = parts(k, n);
            bool ready = true;
            for (std::size_t p = 0; p < n; ++p)
                if (!m_built.count(needed[p])) {
                    stack.push_back(needed[p]);
                    ready = false;
                }
            if (!ready)
                continue;
            stack.pop_back();
            m_built.emplace(k, makeNode(t, k));
        }
        return true;
    }

    const UnitProblem &m_u;
    Clock::time_point m_deadline;
    const std::atomic<bool> *m_cancel;
    i64 m_g = 1, m_a = 1, m_b = 1;
    std::vector<i64> m_x, m_y;
    std::size_t m_nx = 0, m_ny = 0;
    std::vector<std::int32_t> m_value, m_byColumn, m_move;
    std::unordered_map<std::size_t, int> m_built;
};

// The frames' counts in doubles, for sizes the units cannot hold: the best of
// the frames the grain allows.
double framesInDoubles(const LayoutProblem &p, bool anyGrain) {
    const double gripper = p.gripper > 0 ? p.gripper : 0;
    const double width = p.sheetWidth - (p.gripperOnWidth ? 0 : gripper);
    const double depth = p.sheetDepth - (p.gripperOnWidth ? gripper : 0);
    const double L = std::max(p.pieceWidth, p.pieceDepth), S = std::min(p.pieceWidth, p.pieceDepth);
    if (!(width > 0 && depth > 0 && S > 0) || !std::isfinite(width * depth * L))
        return 0;
    FitResult fit;
    if (FSSOutPSS(L, S, width, depth, fit) == FitStatus::DoesNotFit)
        return 0;
    if (anyGrain)
        return fit.maximumOut;
    const double along = wholeCount(width / L) * wholeCount(depth / S);
    const double across = wholeCount(width / S) * wholeCount(depth / L);
    switch (p.grain) {
    case GrainRule::Along:
        return along;
    case GrainRule::Across:
        return across;
    default:
        return std::max(along, across);
    }
}

} // namespace

std::optional<GrainRule> grainFromText(std::string_view text) {
    if (text == "any")
        return GrainRule::Any;
    if (text == "along")
        return GrainRule::Along;
    if (text == "across")
        return GrainRule::Across;
    if (text == "one way" || text == "one-way")
        return GrainRule::OneWay;
    return std::nullopt;
}

const char *grainText(GrainRule grain) {
    switch (grain) {
    case GrainRule::Along:
        return "along";
    case GrainRule::Across:
        return "across";
    case GrainRule::OneWay:
        return "one way";
    case GrainRule::Any:
        break;
    }
    return "any";
}

std::int64_t saturatedCount(double count) {
    if (!(count > 0))
        return 0;
    // 2^63 is exact in a double; every double below it converts.
    if (count >= 9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(count);
}

UnitProblem toUnits(const LayoutProblem &p) {
    UnitProblem u;
    const double gripper = p.gripper > 0 ? p.gripper : 0.0;
    const double gutter = p.gutter > 0 ? p.gutter : 0.0;
    const double values[] = {p.sheetWidth, p.sheetDepth, p.pieceWidth,
                             p.pieceDepth, gripper,      gutter};
    double largest = 0;
    for (double v : values) {
        if (!std::isfinite(v)) {
            u.exact = false;
            return u;
        }
        largest = std::max(largest, std::fabs(v));
    }
    largest += gutter; // the search grows the sheet by the gutter
    const auto allWhole = [&](double scale) {
        return std::all_of(std::begin(values), std::end(values),
                           [&](double v) { return isWholeAt(v, scale); });
    };
    // 1/10000 of a unit, finer when a size has more decimals, as long as the
    // sheet's area in units still fits 63 bits; coarser for a sheet too large
    // for that, as long as nothing is lost.
    double scale = 10000;
    while (largest * scale * 10 < 2e9 && !allWhole(scale))
        scale *= 10;
    while (largest * scale >= 3e9 && scale > 1 && allWhole(scale / 10))
        scale /= 10;
    if (largest * scale >= 3e9 || !allWhole(scale)) {
        u.exact = false;
        return u;
    }
    u.scale = static_cast<i64>(scale);
    u.sheetWidth = wholeUnits(p.sheetWidth, scale, false);
    u.sheetDepth = wholeUnits(p.sheetDepth, scale, false);
    const i64 a = wholeUnits(p.pieceWidth, scale, true), b = wholeUnits(p.pieceDepth, scale, true);
    u.pieceLong = std::max(a, b);
    u.pieceShort = std::min(a, b);
    u.gutter = wholeUnits(gutter, scale, true);
    const i64 g = wholeUnits(gripper, scale, true);
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
    if (!u.exact) {
        // Counted as the panel counts, with no tree to draw.
        LayoutProblem one = problem;
        one.grain = frame < 3 ? GrainRule::Along : GrainRule::Across;
        Layout l;
        l.count = saturatedCount(framesInDoubles(one, frame == 2 || frame == 4));
        l.treeOmitted = true;
        return l;
    }
    if (!u.valid || frame < 1 || frame > 4)
        return u.valid ? wholeSheet(u, Candidate{}) : Layout{};
    UnitProblem plain = u;
    plain.gutter = 0;
    return wholeSheet(plain, frameCandidate(plain, frame));
}

BestLayout bestLayout(const LayoutProblem &problem, const BestLayoutOptions &options) {
    const auto deadline = Clock::now() + options.budget;
    const std::atomic<bool> *cancel = options.cancel;
    BestLayout result;
    result.sheetWidth = problem.sheetWidth;
    result.sheetDepth = problem.sheetDepth;
    const UnitProblem u = toUnits(problem);
    if (!u.exact) {
        // Nothing is worked out: the frames as the panel counts them stand.
        result.workedOut = false;
        result.framesMaximum = saturatedCount(framesInDoubles(problem, true));
        result.framesAllowed =
            saturatedCount(framesInDoubles(problem, problem.grain == GrainRule::Any));
        result.layout.count = result.framesAllowed;
        result.layout.treeOmitted = true;
        result.upperBound = std::numeric_limits<std::int64_t>::max();
        return result;
    }
    if (!u.valid) {
        result.exact = result.proven = true;
        return result;
    }

    // The frames without the gutter, as the panel shows them.
    i64 frames[5] = {};
    for (int frame = 1; frame <= 4; ++frame) {
        UnitProblem plain = u;
        plain.gutter = 0;
        frames[frame] = frameCandidate(plain, frame).count;
        result.framesMaximum = std::max(result.framesMaximum, frames[frame]);
    }
    switch (problem.grain) {
    case GrainRule::Any:
        result.framesAllowed = result.framesMaximum;
        break;
    case GrainRule::Along:
        result.framesAllowed = frames[1];
        break;
    case GrainRule::Across:
        result.framesAllowed = frames[3];
        break;
    case GrainRule::OneWay:
        result.framesAllowed = std::max(frames[1], frames[3]);
        break;
    }

    // The search works on pieces and sheet grown by the gutter.
    const UnitProblem e = grown(u);
    // The layouts to start from: the frames the grain allows, and the strip mixes.
    std::vector<Candidate> seeds;
    const bool mayTurn = problem.grain == GrainRule::Any;
    if (mayTurn) {
        for (int frame = 1; frame <= 4; ++frame)
            seeds.push_back(frameCandidate(e, frame));
        seeds.push_back(stripCandidate(e, true, cancel));
        seeds.push_back(stripCandidate(e, false, cancel));
    } else {
        if (problem.grain != GrainRule::Across)
            seeds.push_back(frameCandidate(e, 1));
        if (problem.grain != GrainRule::Along)
            seeds.push_back(frameCandidate(e, 3));
    }
    auto best = std::max_element(seeds.begin(), seeds.end(),
                                 [](const auto &l, const auto &r) { return l.count < r.count; });
    Candidate chosen = *best;

    // One way round, the grid is the most any packing holds.
    const auto oneWayBound = [&](bool turned) {
        return turned ? packingUpperBound(e.usableWidth, e.usableDepth, e.pieceShort, e.pieceLong,
                                          false)
                      : packingUpperBound(e.usableWidth, e.usableDepth, e.pieceLong, e.pieceShort,
                                          false);
    };
    switch (problem.grain) {
    case GrainRule::Any:
        result.upperBound =
            packingUpperBound(e.usableWidth, e.usableDepth, e.pieceLong, e.pieceShort, true);
        break;
    case GrainRule::Along:
        result.upperBound = oneWayBound(false);
        break;
    case GrainRule::Across:
        result.upperBound = oneWayBound(true);
        break;
    case GrainRule::OneWay:
        result.upperBound = std::max(oneWayBound(false), oneWayBound(true));
        break;
    }

    if (chosen.count >= result.upperBound) {
        result.exact = true;
    } else if (mayTurn) {
        GuillotineSearch search(e, deadline, cancel);
        if (search.run()) {
            result.exact = true;
            if (search.count() > chosen.count) {
                result.proven = search.count() == result.upperBound;
                result.layout = wholeSheet(u, search.layout());
                result.cancelled = isCancelled(cancel);
                return result;
            }
        } else {
            result.cancelled = isCancelled(cancel);
        }
    }
    result.proven = chosen.count == result.upperBound;
    result.layout = wholeSheet(u, chosen);
    return result;
}

} // namespace sheetcraft
