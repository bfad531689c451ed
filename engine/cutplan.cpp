#include "cutplan.h"

#include <cmath>
#include <limits>
#include <queue>
#include <unordered_map>

namespace sheetcraft {

CutPlan makeCutPlan(const CutTree &tree, std::int64_t detailLimit) {
    CutPlan plan;
    if (tree.root() < 0)
        return plan;
    plan.detailOmitted = tree.count() > detailLimit;

    // Every stock still to cut, grouped by the layout it holds: equal layouts
    // are one node, so a group is a stack of identical stocks.
    struct Group {
        std::int64_t count = 0;
        std::vector<std::pair<std::int64_t, std::int64_t>> at;
    };
    std::unordered_map<int, Group> groups;
    // A cut only makes smaller stocks, so taking the largest stock first means
    // a stack is cut once every stock of it has been made.
    using Entry = std::pair<std::int64_t, int>; // area, node
    std::priority_queue<Entry> queue;
    auto add = [&](int id, std::int64_t count, const auto &positions) {
        const CutNode &n = tree.node(id);
        if (n.kind != CutNode::Kind::Split || n.pieces == 0)
            return; // a piece or waste is final
        auto [it, fresh] = groups.try_emplace(id);
        it->second.count += count;
        it->second.at.insert(it->second.at.end(), positions.begin(), positions.end());
        if (fresh)
            queue.push({n.width * n.depth, id});
    };
    const std::vector<std::pair<std::int64_t, std::int64_t>> origin{{0, 0}};
    add(tree.root(), 1, plan.detailOmitted ? decltype(origin){} : origin);

    while (!queue.empty()) {
        const int id = queue.top().second;
        queue.pop();
        Group group = std::move(groups[id]);
        groups.erase(id);
        const CutNode &n = tree.node(id);
        CutOperation op;
        op.n = static_cast<int>(plan.operations.size()) + 1;
        op.axis = n.axis;
        op.offset = tree.toSheet(n.offset);
        op.stockWidth = tree.toSheet(n.width);
        op.stockDepth = tree.toSheet(n.depth);
        op.stockCount = group.count;
        op.node = id;
        op.stocks.reserve(group.at.size());
        std::vector<std::pair<std::int64_t, std::int64_t>> moved;
        moved.reserve(group.at.size());
        for (const auto &[x, y] : group.at) {
            op.stocks.push_back({tree.toSheet(x), tree.toSheet(y), op.stockWidth, op.stockDepth});
            moved.emplace_back(x + (n.axis == CutAxis::X ? n.offset : 0),
                               y + (n.axis == CutAxis::Y ? n.offset : 0));
        }
        plan.operations.push_back(std::move(op));
        add(n.first, group.count, group.at);
        add(n.second, group.count, moved);
    }
    return plan;
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
