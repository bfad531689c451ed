#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace sheetcraft {

// A rectangle in sheet units, from the top-left corner of the full sheet: x runs
// along the sheet width, y along the sheet depth (downwards).
struct SheetRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double depth = 0;
};

// The direction a cut's offset is measured in: x from the stock's left edge (the
// cut runs top to bottom), y from its top edge (the cut runs left to right).
enum class CutAxis { X, Y };

// One node of a guillotine layout, sizes in whole units of 1/scale sheet unit.
// A Split cuts its stock at `offset` along `axis`; `first` is the part at the
// reference edge (left or top), `second` the rest. Identical sub-layouts are one
// node, so a grid of any size takes rows plus columns nodes.
struct CutNode {
    enum class Kind { Piece, Waste, Split };
    Kind kind = Kind::Waste;
    std::int64_t width = 0;
    std::int64_t depth = 0;
    CutAxis axis = CutAxis::X;
    std::int64_t offset = 0;
    int first = -1;
    int second = -1;
    std::int64_t pieces = 0; // pieces under this node
    int item = 0;            // a Piece's kind, when several sizes share a sheet
};

// A guillotine layout of one stock (normally the full sheet) as a shared tree of
// cuts. Coordinates leave it in sheet units: unit / scale.
class CutTree {
public:
    CutTree() = default;
    explicit CutTree(std::int64_t scale) : m_scale(scale) {}

    std::int64_t scale() const { return m_scale; }
    const std::vector<CutNode> &nodes() const { return m_nodes; }
    const CutNode &node(int id) const { return m_nodes[static_cast<std::size_t>(id)]; }
    int root() const { return m_root; }
    void setRoot(int id) { m_root = id; }
    std::int64_t count() const { return m_root < 0 ? 0 : node(m_root).pieces; }

    // Node makers; an equal node made before is returned again.
    int piece(std::int64_t width, std::int64_t depth, int item = 0);
    int waste(std::int64_t width, std::int64_t depth);
    // Cuts a width x depth stock at offset; first and second must have the
    // sizes of the two parts. An offset of 0 or the full side returns the
    // one real part.
    int split(CutAxis axis, std::int64_t offset, int first, int second);
    // A stock of width x depth holding `content` at its top-left corner, with the
    // rest trimmed off as waste (right strip first, then the bottom).
    int trimmed(std::int64_t width, std::int64_t depth, int content);
    // A grid of across x down pieces of pieceWidth x pieceDepth at the top-left of
    // a width x depth stock: columns first, then rows within each column.
    int grid(std::int64_t width, std::int64_t depth, std::int64_t pieceWidth,
             std::int64_t pieceDepth, std::int64_t across, std::int64_t down);

    // Every piece of the layout, placed with the root's top-left at (0, 0),
    // in sheet units. Stops when visit returns false.
    void forEachPiece(const std::function<bool(const SheetRect &)> &visit) const;

    double toSheet(std::int64_t units) const { return static_cast<double>(units) / m_scale; }

private:
    int add(const CutNode &n);
    struct Key {
        int kind, axis, first, second, item;
        std::int64_t width, depth, offset;
        bool operator==(const Key &) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key &k) const;
    };
    std::int64_t m_scale = 10000;
    std::vector<CutNode> m_nodes;
    std::unordered_map<Key, int, KeyHash> m_index;
    int m_root = -1;
};

} // namespace sheetcraft
