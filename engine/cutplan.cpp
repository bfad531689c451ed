#include "cutplan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;

// A part of a chain of cuts along one axis: a piece, waste, or a layout cut
// the other way.
struct Segment {
    int node = -1;
    i64 size = 0; // along the chain's axis, units
    bool waste = false;
};

// Which edge of a pile lies at the back gauge.
enum class Side { Free, First, Second };

// Identical piles worked as one: where each lies on the full sheet (units),
// how many, how they lie at the gauge.
struct Group {
    i64 count = 0;
    std::vector<std::pair<i64, i64>> at;
    Side side = Side::Free;
    PileTurn turn = PileTurn::None; // owed before its next cut
    int pile = 0;
};

class Planner {
public:
    Planner(const CutTree &tree, bool detail, const MachineRules &machine)
        : m_tree(tree), m_detail(detail), m_machine(machine) {}

    // Cuts g's piles of layout `id` into pieces and waste: first into the
    // strips of its first direction, then each strip's waste ends off, then
    // each kind of strip gathered (with any strip of that kind set aside
    // earlier) and finished in turn.
    void finish(int id, Group g) {
        const CutNode n = m_tree.node(id); // a copy: nodes are added below
        if (n.kind != CutNode::Kind::Split || n.pieces == 0)
            return;
        const std::vector<Segment> segs = flatten(id, n.axis);
        std::vector<std::pair<Segment, Group>> parts;
        chain(n.axis, across(n, n.axis), segs, 0, segs.size(), std::move(g), parts);
        std::vector<std::pair<int, Group *>> strips;
        for (auto &[seg, part] : parts) {
            if (seg.waste || m_tree.node(seg.node).kind != CutNode::Kind::Split)
                continue;
            part.turn = PileTurn::Quarter; // a strip is cut the other way
            part.side = Side::Free;
            part.pile = 0;
            strips.emplace_back(trimEnds(seg.node, part), &part);
        }
        for (const auto &[core, part] : strips)
            m_waiting[core].push_back(part);
        for (const auto &[core, part] : strips) {
            if (part->count == 0)
                continue; // gathered into an earlier pile of its kind
            Group gathered = std::move(*part);
            gathered.side = Side::Free; // picked up again: it may lie either way
            part->count = 0;
            for (Group *other : m_waiting[core]) {
                if (other->count == 0)
                    continue;
                gathered.count += other->count;
                gathered.at.insert(gathered.at.end(), other->at.begin(), other->at.end());
                if (other->turn != PileTurn::None)
                    gathered.turn = other->turn;
                other->count = 0;
            }
            m_waiting.erase(core);
            finish(core, std::move(gathered));
        }
    }

    CutPlan plan;

private:
    static i64 across(const CutNode &n, CutAxis axis) {
        return axis == CutAxis::X ? n.depth : n.width;
    }

    bool isLayout(const Segment &seg) const {
        return !seg.waste && m_tree.node(seg.node).kind == CutNode::Kind::Split;
    }
    bool needsWork(const std::vector<Segment> &segs, std::size_t i, std::size_t j) const {
        return j - i > 1 || isLayout(segs[i]);
    }

    // The parts of a chain of cuts along `axis`, adjacent waste as one part.
    std::vector<Segment> flatten(int id, CutAxis axis) {
        std::vector<Segment> out;
        std::vector<int> stack{id};
        const i64 side = across(m_tree.node(id), axis);
        while (!stack.empty()) {
            const int top = stack.back();
            stack.pop_back();
            const CutNode &n = m_tree.node(top);
            if (n.kind == CutNode::Kind::Split && n.axis == axis && n.pieces > 0) {
                stack.push_back(n.second);
                stack.push_back(n.first);
                continue;
            }
            const i64 size = axis == CutAxis::X ? n.width : n.depth;
            const bool waste = n.pieces == 0;
            if (waste && !out.empty() && out.back().waste) {
                out.back().size += size;
                out.back().node = axis == CutAxis::X ? m_tree.waste(out.back().size, side)
                                                     : m_tree.waste(side, out.back().size);
            } else {
                out.push_back({waste ? (axis == CutAxis::X ? m_tree.waste(size, side)
                                                           : m_tree.waste(side, size))
                                     : top,
                               size, waste});
            }
        }
        return out;
    }

    // The layout of segs[i, j) as one node, equal for equal parts.
    int join(CutAxis axis, const std::vector<Segment> &segs, std::size_t i, std::size_t j) {
        int id = segs[j - 1].node;
        for (std::size_t t = j - 1; t-- > i;)
            id = m_tree.split(axis, segs[t].size, segs[t].node, id);
        return id;
    }

    // Cuts the waste off both ends of g's strips (squaring them, so strips
    // that differ only in waste become one kind); returns what is left.
    int trimEnds(int id, Group &g) {
        for (int end = 0; end < 2; ++end) {
            const CutNode n = m_tree.node(id); // a copy: nodes are added below
            if (n.kind != CutNode::Kind::Split)
                return id;
            const std::vector<Segment> segs = flatten(id, n.axis);
            const bool front = segs.front().waste, back = segs.back().waste;
            if (!front && !back)
                return id;
            const std::size_t k = front ? 1 : segs.size() - 1;
            i64 offset = 0, total = 0;
            for (std::size_t t = 0; t < segs.size(); ++t)
                (t < k ? offset : total) += segs[t].size;
            bool over = false;
            const i64 cap = capacity(across(n, n.axis), over);
            const int rest = front ? join(n.axis, segs, 1, segs.size()) : join(n.axis, segs, 0, k);
            // Where the rest is too narrow for the gauge, the waste stays and
            // the rest comes off in front.
            const CutOff restOff =
                m_tree.node(rest).kind == CutNode::Kind::Piece ? CutOff::Pieces : CutOff::Strip;
            const bool firstStays =
                stroke(n.axis, across(n, n.axis), offset, offset + total, !front, front, over, cap,
                       front ? restOff : CutOff::Waste, front ? CutOff::Waste : restOff, g);
            if (firstStays == front)
                g.side = Side::Free;
            if (front)
                for (auto &[x, y] : g.at)
                    (n.axis == CutAxis::X ? x : y) += offset;
            id = rest;
        }
        return id;
    }

    // Piles side by side under the knife: as many as its length takes.
    i64 capacity(i64 length, bool &over) const {
        over = false;
        if (!(m_machine.knifeLength > 0))
            return std::numeric_limits<i64>::max() / 4;
        const auto fits =
            static_cast<i64>(std::floor(m_machine.knifeLength / m_tree.toSheet(length) + 1e-9));
        over = fits < 1;
        return std::max<i64>(fits, 1);
    }

    // Strokes to cut `n` piles of `length` equal strips into single strips,
    // and where to cut first: halving lets equal halves be cut together.
    static std::pair<i64, i64> halving(i64 length, i64 n, i64 cap) {
        if (length <= 1)
            return {0, 0};
        // Piles a knife takes all of at every step cost as one pile does.
        if (length < 62 && n <= cap >> std::min<i64>(length, 61))
            n = 1;
        // Pure arithmetic, the same for every plan: kept per thread.
        thread_local std::map<std::tuple<i64, i64, i64>, std::pair<i64, i64>> memo;
        if (memo.size() > 200'000)
            memo.clear();
        const auto key = std::make_tuple(length, n, cap);
        if (const auto found = memo.find(key); found != memo.end())
            return found->second;
        const i64 strokes = (n + cap - 1) / cap;
        std::vector<i64> tries;
        for (i64 a = 1; a <= length / 2 && a <= 64; ++a)
            tries.push_back(a);
        if (length > 128) {
            i64 power = 1;
            while (power * 2 < length)
                power *= 2;
            tries.push_back(length / 2);
            tries.push_back(length - power);
        }
        std::pair<i64, i64> best{std::numeric_limits<i64>::max(), 1};
        for (const i64 a : tries) {
            const i64 cost = 2 * a == length
                                 ? halving(a, std::min(2 * n, i64(1) << 50), cap).first
                                 : halving(a, n, cap).first + halving(length - a, n, cap).first;
            if (strokes + cost < best.first)
                best = {strokes + cost, a};
        }
        memo.emplace(key, best);
        return best;
    }

    // One cut of g's piles at `offset` of `total` along `axis`, as strokes
    // of as many piles as the knife takes. The part still to cut stays at
    // the gauge and the other comes off in front of the knife; a part the
    // gauge cannot come close to always comes off in front. Returns whether
    // the first part stays; g's side and turn follow the part that stays.
    bool stroke(CutAxis axis, i64 length, i64 offset, i64 total, bool firstWork, bool secondWork,
                bool over, i64 cap, CutOff offIfFirstStays, CutOff offIfSecondStays, Group &g) {
        const double least = m_machine.smallestGauge - 1e-9;
        const double firstSize = m_tree.toSheet(offset);
        const double secondSize = m_tree.toSheet(total - offset);
        auto score = [&](bool first) {
            const double size = first ? firstSize : secondSize;
            const bool noTurn =
                g.side == Side::Free || g.side == (first ? Side::First : Side::Second);
            return std::make_tuple(size >= least, first ? firstWork : secondWork, noTurn, size);
        };
        const bool stayFirst = score(true) >= score(false);
        const Side staySide = stayFirst ? Side::First : Side::Second;

        CutOperation op;
        op.axis = axis;
        op.offset = firstSize;
        op.stockWidth = m_tree.toSheet(axis == CutAxis::X ? total : length);
        op.stockDepth = m_tree.toSheet(axis == CutAxis::X ? length : total);
        op.gauge = stayFirst ? firstSize : secondSize;
        op.offSize = stayFirst ? secondSize : firstSize;
        op.narrowOff = op.offSize < least;
        op.belowGauge = std::max(firstSize, secondSize) < least;
        op.overKnife = over;
        op.turn = g.turn != PileTurn::None                     ? g.turn
                  : g.side != Side::Free && g.side != staySide ? PileTurn::Round
                                                               : PileTurn::None;
        op.off = stayFirst ? offIfFirstStays : offIfSecondStays;
        if (g.pile == 0)
            g.pile = ++m_piles;
        op.pile = g.pile;
        for (i64 done = 0; done < g.count; done += cap) {
            CutOperation one = op;
            one.n = static_cast<int>(plan.operations.size()) + 1;
            one.stockCount = std::min(cap, g.count - done);
            if (m_detail)
                for (i64 s = done; s < done + one.stockCount; ++s) {
                    const auto &[x, y] = g.at[static_cast<std::size_t>(s)];
                    one.stocks.push_back(
                        {m_tree.toSheet(x), m_tree.toSheet(y), one.stockWidth, one.stockDepth});
                }
            plan.operations.push_back(std::move(one));
        }
        g.turn = PileTurn::None;
        g.side = staySide;
        return stayFirst;
    }

    CutOff offOf(const std::vector<Segment> &segs, std::size_t i, std::size_t j) const {
        return needsWork(segs, i, j) ? CutOff::Strip
               : segs[i].waste       ? CutOff::Waste
                                     : CutOff::Pieces;
    }

    // Cuts g's piles, each holding segs[i, j) of a chain along `axis` that is
    // `length` long along the knife, into single parts gathered in `parts`.
    // The part at the gauge is worked on in a loop; the parts that came off
    // follow, the last set aside first.
    void chain(CutAxis axis, i64 length, const std::vector<Segment> &segs, std::size_t i,
               std::size_t j, Group g, std::vector<std::pair<Segment, Group>> &parts) {
        struct Later {
            std::size_t i, j;
            Group g;
        };
        std::vector<Later> later;
        bool over = false;
        const i64 cap = capacity(length, over);
        while (j - i > 1) {
            const std::size_t k = splitAt(segs, i, j, g.count, cap);
            i64 offset = 0, total = 0;
            for (std::size_t t = i; t < j; ++t)
                (t < k ? offset : total) += segs[t].size;
            total += offset;
            bool identical = k - i == j - k;
            for (std::size_t t = 0; identical && t < k - i; ++t)
                identical = segs[i + t].node == segs[k + t].node && !segs[i + t].waste;
            const bool stayFirst =
                stroke(axis, length, offset, total, needsWork(segs, i, k), needsWork(segs, k, j),
                       over, cap, offOf(segs, k, j), offOf(segs, i, k), g);

            Group second;
            second.count = g.count;
            second.at = g.at;
            for (auto &[x, y] : second.at)
                (axis == CutAxis::X ? x : y) += offset;
            if (identical) {
                // Both halves are one kind: gathered and cut together.
                g.count *= 2;
                g.at.insert(g.at.end(), second.at.begin(), second.at.end());
                g.side = Side::Free;
                g.pile = 0;
                j = k;
                continue;
            }
            Group front = stayFirst ? std::move(second) : g;
            if (!stayFirst)
                g.at = std::move(second.at);
            front.side = Side::Free;
            front.pile = 0;
            later.push_back({stayFirst ? k : i, stayFirst ? j : k, std::move(front)});
            if (stayFirst)
                j = k;
            else
                i = k;
        }
        addPart(segs[i], std::move(g), parts);
        for (auto it = later.rbegin(); it != later.rend(); ++it)
            chain(axis, length, segs, it->i, it->j, std::move(it->g), parts);
    }

    // Trims first, then from one kind of strip to the next; a run of one
    // kind is halved where that saves strokes.
    std::size_t splitAt(const std::vector<Segment> &segs, std::size_t i, std::size_t j, i64 count,
                        i64 cap) {
        std::size_t firstBound = 0, lastBound = 0;
        for (std::size_t t = i + 1; t < j; ++t)
            if (segs[t].node != segs[t - 1].node || segs[t].waste || segs[t - 1].waste) {
                if (firstBound == 0)
                    firstBound = t;
                lastBound = t;
            }
        if (firstBound == 0)
            return i +
                   static_cast<std::size_t>(halving(static_cast<i64>(j - i), count, cap).second);
        if (!segs[i].waste && segs[j - 1].waste)
            return lastBound;
        return firstBound;
    }

    void addPart(const Segment &seg, Group g, std::vector<std::pair<Segment, Group>> &parts) {
        if (!seg.waste)
            for (auto &[known, part] : parts)
                if (!known.waste && known.node == seg.node) {
                    part.count += g.count;
                    part.at.insert(part.at.end(), g.at.begin(), g.at.end());
                    return;
                }
        parts.emplace_back(seg, std::move(g));
    }

    CutTree m_tree; // the layout, with the nodes of trimmed strips added
    bool m_detail;
    MachineRules m_machine;
    int m_piles = 0;
    // Strips set aside, by their layout, until a pile of their kind is cut.
    std::unordered_map<int, std::vector<Group *>> m_waiting;
};

} // namespace

MachineRules defaultMachine(bool metric) {
    MachineRules m;
    m.knifeLength = metric ? 1150 : 45;
    m.smallestGauge = metric ? 25 : 1;
    m.lift = 500;
    return m;
}

CutPlan makeCutPlan(const CutTree &tree, std::int64_t detailLimit, const MachineRules &machine) {
    if (tree.root() < 0)
        return {};
    const bool omitted = tree.count() > detailLimit;
    Planner planner(tree, !omitted, machine);
    Group sheet;
    sheet.count = 1;
    if (!omitted)
        sheet.at.emplace_back(0, 0);
    planner.finish(tree.root(), std::move(sheet));
    planner.plan.detailOmitted = omitted;
    return std::move(planner.plan);
}

std::int64_t liftsFor(std::int64_t sheets, std::int64_t lift) {
    if (sheets <= 0)
        return 0;
    lift = std::max<std::int64_t>(lift, 1);
    return sheets / lift + (sheets % lift != 0);
}

CuttingWork cuttingWork(const OrderQuantities &order, std::size_t finishedStrokes,
                        std::size_t pressStrokes, std::int64_t lift) {
    CuttingWork w;
    w.pressLifts = liftsFor(order.pressSheets, lift);
    w.parentLifts = liftsFor(order.parentSheets, lift);
    const __int128 strokes = static_cast<__int128>(w.pressLifts) * finishedStrokes +
                             static_cast<__int128>(w.parentLifts) * pressStrokes;
    constexpr auto most = std::numeric_limits<std::int64_t>::max();
    w.knifeStrokes = strokes > most ? most : static_cast<std::int64_t>(strokes);
    return w;
}

std::optional<OrderQuantities> orderQuantities(std::int64_t quantity, double spoilagePct,
                                               std::int64_t makeReady, std::int64_t up,
                                               std::int64_t out) {
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 4;
    if (up < 1 || out < 1 || quantity < 0 || makeReady < 0 || makeReady > limit ||
        !std::isfinite(spoilagePct) || spoilagePct < 0 || spoilagePct > 1e9)
        return std::nullopt;
    // Spoilage in 1/10000 of a percent, so 2.5 % is exactly 25000 / 1000000.
    const auto spoil = static_cast<__int128>(std::llround(spoilagePct * 10000));
    auto ceilDiv = [](__int128 a, __int128 b) { return (a + b - 1) / b; };
    OrderQuantities q;
    q.quantity = quantity;
    q.run = static_cast<std::int64_t>(ceilDiv(quantity, up));
    const __int128 press = q.run + ceilDiv(q.run * spoil, 100 * 10000) + makeReady;
    if (press > limit)
        return std::nullopt;
    q.pressSheets = static_cast<std::int64_t>(press);
    q.parentSheets = static_cast<std::int64_t>(ceilDiv(press, out));
    return q;
}

} // namespace sheetcraft
