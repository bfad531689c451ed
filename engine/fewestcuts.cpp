#include "fewestcuts.h"

#include <algorithm>
#include <map>

namespace sheetcraft {

namespace {

using i64 = std::int64_t;

// Past this many pieces the layouts are not tried one by one: nobody plans
// strokes for dust, and the plans would take long.
constexpr i64 maxPieces = 5000;
// Splits tried per direction at most.
constexpr i64 maxSplits = 40;

// The whole sheet with the gripper strip trimmed off first, as the search's
// layouts are.
Layout wholeSheet(const UnitProblem &u, CutTree tree, int content, i64 count) {
    Layout l;
    l.count = count;
    l.usable = {tree.toSheet(u.usableX), tree.toSheet(u.usableY), tree.toSheet(u.usableWidth),
                tree.toSheet(u.usableDepth)};
    if (u.usableY > 0)
        content = tree.split(CutAxis::Y, u.usableY, tree.waste(u.sheetWidth, u.usableY), content);
    else if (u.usableX > 0)
        content = tree.split(CutAxis::X, u.usableX, tree.waste(u.usableX, u.sheetDepth), content);
    tree.setRoot(content);
    l.tree = std::move(tree);
    return l;
}

// A grid cut into its rows first, then each row into pieces: where the knife
// is shorter than the sheet's depth, the other way round from CutTree::grid
// can take far fewer strokes.
int rowsFirst(CutTree &t, i64 width, i64 depth, i64 pw, i64 pd, i64 across, i64 down) {
    if (across <= 0 || down <= 0)
        return t.waste(width, depth);
    int row = t.waste(width - across * pw, pd);
    for (i64 k = 1; k <= across; ++k)
        row = t.split(CutAxis::X, pw, t.piece(pw, pd), row);
    int rest = t.waste(width, depth - down * pd);
    for (i64 k = 1; k <= down; ++k)
        rest = t.split(CutAxis::Y, pd, row, rest);
    return rest;
}

// A w x h block of pw x pd pieces in a grid; mode 1 fills the strip left at
// its right with the pieces turned, mode 2 the strip left at its bottom.
// Adds the block's pieces to count; a block without pieces is waste.
int block(CutTree &t, i64 w, i64 h, i64 pw, i64 pd, int mode, bool byRows, i64 &count) {
    if (w <= 0 || h <= 0)
        return -1;
    const auto grid = [&](i64 gw, i64 gh, i64 a, i64 b, i64 across, i64 down) {
        return byRows ? rowsFirst(t, gw, gh, a, b, across, down)
                      : t.grid(gw, gh, a, b, across, down);
    };
    const i64 across = w / pw, down = h / pd;
    if (mode == 1 && across > 0) {
        const i64 used = across * pw, sa = (w - used) / pd, sd = h / pw;
        count += across * down + sa * sd;
        return t.split(CutAxis::X, used, grid(used, h, pw, pd, across, down),
                       grid(w - used, h, pd, pw, sa, sd));
    }
    if (mode == 2 && down > 0) {
        const i64 used = down * pd, sa = w / pd, sd = (h - used) / pw;
        count += across * down + sa * sd;
        return t.split(CutAxis::Y, used, grid(w, used, pw, pd, across, down),
                       grid(w, h - used, pd, pw, sa, sd));
    }
    count += across * down;
    return grid(w, h, pw, pd, across, down);
}

} // namespace

std::vector<TradeoffRow> tradeoffTable(const LayoutProblem &problem, const Layout &given,
                                       std::int64_t leastCount, const MachineRules &machine,
                                       std::int64_t detailLimit, const std::atomic<bool> *cancel,
                                       std::chrono::steady_clock::time_point deadline) {
    std::vector<TradeoffRow> rows;
    if (given.treeOmitted || given.tree.root() < 0)
        return rows;
    auto cancelled = [&] { return cancel && cancel->load(std::memory_order_relaxed); };
    auto stop = [&] { return cancelled() || std::chrono::steady_clock::now() > deadline; };
    // The fewest strokes found for each count.
    std::map<i64, TradeoffRow, std::greater<>> best;
    auto consider = [&](Layout layout, const char *source) {
        if (layout.count < leastCount || layout.count <= 0 || layout.count > given.count ||
            layout.treeOmitted)
            return;
        const auto found = best.find(layout.count);
        CutPlan plan = makeCutPlan(layout.tree, detailLimit, machine);
        if (found != best.end() && found->second.cuts <= plan.operations.size())
            return;
        TradeoffRow row;
        row.count = layout.count;
        row.cuts = plan.operations.size();
        row.source = source;
        row.layout = std::move(layout);
        row.plan = std::move(plan);
        best[row.count] = std::move(row);
    };
    consider(given, "search");

    const UnitProblem u = toUnits(problem);
    if (u.valid && given.count <= maxPieces) {
        const bool any = problem.grain == GrainRule::Any;
        for (int frame = 1; frame <= 4 && !stop(); ++frame)
            if (any || frame == (problem.grain == GrainRule::Along ? 1 : 3)) {
                static const char *names[] = {"frame 1", "frame 2", "frame 3", "frame 4"};
                consider(frameLayout(problem, frame), names[frame - 1]);
            }
        // Two blocks, one beside or above the other; each a grid of pieces
        // one way, alone or with the pieces turned in its side or bottom
        // strip. This takes in the strip mixes and the frames' kinds.
        const i64 W = u.usableWidth, H = u.usableDepth, L = u.pieceLong, S = u.pieceShort;
        const bool allowed[2] = {problem.grain != GrainRule::Across,
                                 problem.grain != GrainRule::Along};
        const int modes = any ? 3 : 1;
        for (int columns = 0; columns < 2; ++columns)
            for (int o = 0; o < 2; ++o) {
                if (!allowed[o])
                    continue;
                const i64 aw = o == 0 ? L : S, ad = o == 0 ? S : L;
                const i64 side = columns ? W : H, step = columns ? aw : ad;
                // Every split of a small sheet; evenly spread ones of a large.
                const i64 most = side / step, every = std::max<i64>(1, most / maxSplits);
                for (i64 n = 1; n <= most && !stop(); n += every)
                    for (int ma = 0; ma < modes; ++ma)
                        for (int mb = 0; mb < modes * 2; ++mb) {
                            const bool byRows = mb >= modes;
                            const i64 used = n * step;
                            CutTree t(u.scale);
                            i64 count = 0;
                            const int a = columns ? block(t, used, H, aw, ad, ma, byRows, count)
                                                  : block(t, W, used, aw, ad, ma, byRows, count);
                            const int b =
                                !allowed[1 - o]
                                    ? (columns ? t.waste(W - used, H) : t.waste(W, H - used))
                                : columns
                                    ? block(t, W - used, H, ad, aw, mb % modes, byRows, count)
                                    : block(t, W, H - used, ad, aw, mb % modes, byRows, count);
                            if (count == 0)
                                continue;
                            const int content =
                                t.split(columns ? CutAxis::X : CutAxis::Y, used, a, b);
                            consider(wholeSheet(u, std::move(t), content, count), "two blocks");
                        }
            }
    }
    if (cancelled())
        return {};
    for (auto &[count, row] : best)
        if (rows.empty() || row.cuts < rows.back().cuts)
            rows.push_back(std::move(row));
    return rows;
}

std::string tradeoffText(const TradeoffRow &row) {
    std::string text = std::to_string(row.count) + " up: " + std::to_string(row.cuts) +
                       (row.cuts == 1 ? " cut" : " cuts");
    if (row.source != "search")
        text += " (" + row.source + ")";
    return text;
}

} // namespace sheetcraft
