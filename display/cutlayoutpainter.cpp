#include "cutlayoutpainter.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>

namespace sheetcraft {

namespace {

constexpr Rgb cutColour{0, 0, 192};
// A drawing never grows past this many shapes, whatever the layout.
constexpr long shapeLimit = 60000;

class Walker {
public:
    Walker(DrawSurface &surface, const CutTree &layout, const CutPlan &plan, double left,
           double top, double twipsPerUnit, const CutLayoutBox &area)
        : s(surface), tree(layout), x0(left), y0(top), k(twipsPerUnit), box(area) {
        for (const CutOperation &op : plan.operations)
            if (op.node >= 0)
                number.emplace(op.node, op.n);
    }

    // The second part is followed in a loop: a grid is a long chain of them.
    // Parts too small to draw one by one become hatched areas, and a run of
    // them side by side (the columns of a fine grid) becomes one area.
    void pieces(int id, std::int64_t x, std::int64_t y) {
        for (;;) {
            const CutNode &n = tree.node(id);
            if (n.pieces == 0)
                break;
            if (n.kind == CutNode::Kind::Piece) {
                flush();
                if (!box.itemColours.empty()) {
                    s.setFillStyle(FillStyle::Solid);
                    s.setFillColor(box.itemColours[std::size_t(n.item) % box.itemColours.size()]);
                }
                s.box(tx(x), ty(y), tx(x + n.width), ty(y + n.depth));
                ++shapes;
                break;
            }
            if (coarse(n)) {
                area(x, y, n.width, n.depth);
                break;
            }
            const CutNode &first = tree.node(n.first);
            if (first.pieces > 0 && coarse(first))
                area(x, y, first.width, first.depth);
            else
                pieces(n.first, x, y);
            (n.axis == CutAxis::X ? x : y) += n.offset;
            id = n.second;
        }
        flush();
    }

    void cuts(int id, std::int64_t x, std::int64_t y) {
        for (;;) {
            const CutNode &n = tree.node(id);
            if (n.kind != CutNode::Kind::Split || shapes >= shapeLimit)
                return;
            const double w = n.width * k, d = n.depth * k;
            const bool alongX = n.axis == CutAxis::X;
            // A cut between parts too thin to see would only blacken the drawing.
            const double firstSide = n.offset * k;
            const double secondSide = (alongX ? w : d) - firstSide;
            if (std::min(w, d) < box.minDetail)
                return;
            const double cx = alongX ? tx(x + n.offset) : tx(x);
            const double cy = alongX ? ty(y) : ty(y + n.offset);
            if (std::min(firstSide, secondSide) >= box.minDetail) {
                s.line(cx, cy, alongX ? cx : tx(x + n.width), alongX ? ty(y + n.depth) : cy,
                       cutColour);
                ++shapes;
                labels.push_back({id, cx, cy, alongX ? d : w, alongX});
            }
            cuts(n.first, x, y);
            (alongX ? x : y) += n.offset;
            id = n.second;
        }
    }

    void printLabels() {
        s.setFont(box.labelFont);
        const double h = s.textHeight();
        for (const Label &l : labels) {
            const auto it = number.find(l.node);
            if (it == number.end())
                continue;
            const std::string text = std::to_string(it->second);
            const double tw = s.textWidth(text);
            // Only where the number fits along its line.
            if (l.length < (l.alongX ? h : tw) * 1.5)
                continue;
            if (l.alongX)
                s.moveTo(l.x + h / 8, l.y + h / 8);
            else
                s.moveTo(l.x + h / 8, l.y - h);
            s.print(text, false);
        }
    }

    long shapes = 0;

private:
    bool coarse(const CutNode &n) const {
        return n.width * k < box.minDetail || n.depth * k < box.minDetail || shapes >= shapeLimit;
    }
    // Adds an area to the run being gathered, or starts a new run.
    void area(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t d) {
        if (run && run->y == y && run->d == d && run->x + run->w == x) {
            run->w += w;
            return;
        }
        if (run && run->x == x && run->w == w && run->y + run->d == y) {
            run->d += d;
            return;
        }
        flush();
        run = Run{x, y, w, d};
    }
    void flush() {
        if (!run)
            return;
        // Outlined in its hatch colour: it stands for many pieces.
        s.box(tx(run->x), ty(run->y), tx(run->x + run->w), ty(run->y + run->d), red);
        ++shapes;
        run.reset();
    }
    struct Run {
        std::int64_t x, y, w, d;
    };
    std::optional<Run> run;

    struct Label {
        int node;
        double x, y, length;
        bool alongX;
    };
    double tx(std::int64_t u) const { return x0 + static_cast<double>(u) * k; }
    double ty(std::int64_t u) const { return y0 + static_cast<double>(u) * k; }

    DrawSurface &s;
    const CutTree &tree;
    double x0, y0, k;
    const CutLayoutBox &box;
    std::unordered_map<int, int> number;
    std::vector<Label> labels;
};

} // namespace

void drawCutLayout(DrawSurface &s, const Layout &layout, const CutPlan &plan, double sheetWidth,
                   double sheetDepth, const CutLayoutBox &box) {
    if (!(sheetWidth > 0) || !(sheetDepth > 0) || !(box.width > 0) || !(box.depth > 0))
        return;
    const double scale = std::min(box.width / sheetWidth, box.depth / sheetDepth); // twips/unit
    const double left = box.left + (box.width - sheetWidth * scale) / 2;
    const double top = box.top + (box.depth - sheetDepth * scale) / 2;

    s.setLineWidth(box.outlinePen);
    s.setFillColor(white);
    s.setFillStyle(FillStyle::Solid);
    s.box(left, top, left + sheetWidth * scale, top + sheetDepth * scale);

    // The gripper strip: what lies above or left of the usable sheet.
    const SheetRect &u = layout.usable;
    s.setFillColor(blue);
    s.setFillStyle(FillStyle::DiagonalCross);
    if (u.y > 0)
        s.box(left, top, left + sheetWidth * scale, top + u.y * scale);
    if (u.x > 0)
        s.box(left, top, left + u.x * scale, top + sheetDepth * scale);

    const CutTree &tree = layout.tree;
    if (tree.root() < 0 || layout.treeOmitted)
        return;
    Walker walker(s, tree, plan, left, top, scale / static_cast<double>(tree.scale()), box);
    s.setFillColor(red);
    s.setFillStyle(FillStyle::DownwardDiagonal);
    walker.pieces(tree.root(), 0, 0);
    s.setLineWidth(box.cutPen);
    walker.cuts(tree.root(), 0, 0);
    s.setLineWidth(box.outlinePen);
    walker.printLabels();
}

} // namespace sheetcraft
