#include "cutlayoutpainter.h"

#include <algorithm>
#include <optional>
#include <string>

namespace sheetcraft {

namespace {

constexpr Rgb cutColour{0, 0, 192};
// A drawing never grows past this many shapes, whatever the layout.
constexpr long shapeLimit = 60000;

class Walker {
public:
    Walker(DrawSurface &surface, const CutTree &layout, double left, double top,
           double twipsPerUnit, const CutLayoutBox &area)
        : s(surface), tree(layout), x0(left), y0(top), k(twipsPerUnit), box(area) {}

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
            }
            cuts(n.first, x, y);
            (alongX ? x : y) += n.offset;
            id = n.second;
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

    double tx(std::int64_t u) const { return x0 + static_cast<double>(u) * k; }
    double ty(std::int64_t u) const { return y0 + static_cast<double>(u) * k; }

    DrawSurface &s;
    const CutTree &tree;
    double x0, y0, k;
    const CutLayoutBox &box;
};

// Each stroke's number on its cut line, on the side that stays at the gauge
// rather than on the strip (the gripper's hatch is one), on a white ground so
// hatching never hides it; a number that would cover another is left out.
void printNumbers(DrawSurface &s, const CutPlan &plan, double left, double top, double scale,
                  const CutLayoutBox &box) {
    s.setFont(box.labelFont);
    s.setFillColor(white);
    s.setFillStyle(FillStyle::Solid);
    const double h = s.textHeight();
    struct Placed {
        double x1, y1, x2, y2;
    };
    std::vector<Placed> placed;
    for (const CutOperation &op : plan.operations) {
        const std::string text = std::to_string(op.n);
        const double tw = s.textWidth(text) + h / 4;
        const bool alongX = op.axis == CutAxis::X;
        for (const SheetRect &r : op.stocks) {
            if (placed.size() >= 4000)
                return;
            const double length = (alongX ? r.depth : r.width) * scale;
            const double stay = op.gauge * scale;
            if (length < (alongX ? h : tw) * 1.5 || stay < (alongX ? tw : h))
                continue;
            const bool firstStays = op.gauge == op.offset;
            const double cx = left + (r.x + (alongX ? op.offset : 0)) * scale;
            const double cy = top + (r.y + (alongX ? 0 : op.offset)) * scale;
            double x = alongX ? (firstStays ? cx - tw : cx) : cx + h / 4;
            double y = alongX ? cy + h / 4 : (firstStays ? cy - h : cy);
            const Placed p{x, y, x + tw, y + h};
            const bool overlaps = std::any_of(placed.begin(), placed.end(), [&](const Placed &q) {
                return p.x1 < q.x2 && q.x1 < p.x2 && p.y1 < q.y2 && q.y1 < p.y2;
            });
            if (overlaps)
                continue;
            placed.push_back(p);
            s.box(p.x1, p.y1, p.x2, p.y2, white);
            s.moveTo(x + h / 8, y);
            s.print(text, false);
        }
    }
}

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
    Walker walker(s, tree, left, top, scale / static_cast<double>(tree.scale()), box);
    s.setFillColor(red);
    s.setFillStyle(FillStyle::DownwardDiagonal);
    walker.pieces(tree.root(), 0, 0);
    s.setLineWidth(box.cutPen);
    walker.cuts(tree.root(), 0, 0);
    s.setLineWidth(box.outlinePen);
    printNumbers(s, plan, left, top, scale, box);
}

} // namespace sheetcraft
