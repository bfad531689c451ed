#include "cuttree.h"

#include <cassert>

namespace sheetcraft {

std::size_t CutTree::KeyHash::operator()(const Key &k) const {
    std::size_t h = static_cast<std::size_t>(k.kind) * 0x9e3779b97f4a7c15ULL;
    for (std::int64_t v : {std::int64_t(k.axis), std::int64_t(k.first), std::int64_t(k.second),
                           std::int64_t(k.item), k.width, k.depth, k.offset})
        h = (h ^ static_cast<std::size_t>(v)) * 0x100000001b3ULL + (h >> 29);
    return h;
}

int CutTree::add(const CutNode &n) {
    const Key key{static_cast<int>(n.kind),
                  static_cast<int>(n.axis),
                  n.first,
                  n.second,
                  n.item,
                  n.width,
                  n.depth,
                  n.offset};
    const auto found = m_index.find(key);
    if (found != m_index.end())
        return found->second;
    const int id = static_cast<int>(m_nodes.size());
    m_nodes.push_back(n);
    m_index.emplace(key, id);
    return id;
}

int CutTree::piece(std::int64_t width, std::int64_t depth, int item) {
    CutNode n;
    n.kind = CutNode::Kind::Piece;
    n.item = item;
    n.width = width;
    n.depth = depth;
    n.pieces = 1;
    return add(n);
}

int CutTree::waste(std::int64_t width, std::int64_t depth) {
    if (width <= 0 || depth <= 0)
        return -1;
    CutNode n;
    n.width = width;
    n.depth = depth;
    return add(n);
}

int CutTree::split(CutAxis axis, std::int64_t offset, int first, int second) {
    if (first < 0)
        return second;
    if (second < 0)
        return first;
    const CutNode &a = node(first);
    const CutNode &b = node(second);
    CutNode n;
    n.kind = CutNode::Kind::Split;
    n.axis = axis;
    n.offset = offset;
    n.first = first;
    n.second = second;
    n.pieces = a.pieces + b.pieces;
    if (axis == CutAxis::X) {
        assert(a.depth == b.depth && a.width == offset);
        n.width = a.width + b.width;
        n.depth = a.depth;
    } else {
        assert(a.width == b.width && a.depth == offset);
        n.width = a.width;
        n.depth = a.depth + b.depth;
    }
    return add(n);
}

int CutTree::trimmed(std::int64_t width, std::int64_t depth, int content) {
    if (content < 0 || node(content).pieces == 0)
        return waste(width, depth);
    const std::int64_t cw = node(content).width;
    const std::int64_t cd = node(content).depth;
    const int column = split(CutAxis::Y, cd, content, waste(cw, depth - cd));
    return split(CutAxis::X, cw, column, waste(width - cw, depth));
}

int CutTree::grid(std::int64_t width, std::int64_t depth, std::int64_t pieceWidth,
                  std::int64_t pieceDepth, std::int64_t across, std::int64_t down) {
    if (across <= 0 || down <= 0)
        return waste(width, depth);
    // One column, built from the bottom up so each step is one cut off its top.
    int column = waste(pieceWidth, depth - down * pieceDepth);
    for (std::int64_t k = 1; k <= down; ++k)
        column = split(CutAxis::Y, pieceDepth, piece(pieceWidth, pieceDepth), column);
    int rest = waste(width - across * pieceWidth, depth);
    for (std::int64_t k = 1; k <= across; ++k)
        rest = split(CutAxis::X, pieceWidth, column, rest);
    return rest;
}

void CutTree::forEachPiece(const std::function<bool(const SheetRect &)> &visit) const {
    if (m_root < 0)
        return;
    struct Item {
        int id;
        std::int64_t x, y;
    };
    std::vector<Item> stack{{m_root, 0, 0}};
    while (!stack.empty()) {
        const Item it = stack.back();
        stack.pop_back();
        const CutNode &n = node(it.id);
        if (n.kind == CutNode::Kind::Piece) {
            if (!visit({toSheet(it.x), toSheet(it.y), toSheet(n.width), toSheet(n.depth)}))
                return;
        } else if (n.kind == CutNode::Kind::Split && n.pieces > 0) {
            const bool x = n.axis == CutAxis::X;
            stack.push_back({n.second, it.x + (x ? n.offset : 0), it.y + (x ? 0 : n.offset)});
            stack.push_back({n.first, it.x, it.y});
        }
    }
}

} // namespace sheetcraft
