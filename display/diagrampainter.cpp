#include "diagrampainter.h"

#include "geometry.h"
#include "numberformat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sheetcraft {

namespace {

std::int16_t toInt16(std::int64_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::int32_t toInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Counts arrive as doubles; anything not a positive whole count draws nothing.
// The cap keeps index arithmetic over a grid well inside 64 bits.
std::int64_t drawCount(double count) {
    if (!(count >= 1) || !std::isfinite(count))
        return 0;
    return static_cast<std::int64_t>(std::min(count, 1.0e18));
}

} // namespace

DiagramGeometry DiagramGeometry::screen(Diagram diagram) {
    DiagramGeometry g;
    g.sheetLeft = diagram == Diagram::Finished ? 640 : 4000;
    g.sheetTop = 640;
    return g;
}

DiagramGeometry DiagramGeometry::paper(double sheetTop) {
    DiagramGeometry g;
    g.sheetLeft = 640;
    g.sheetTop = sheetTop;
    g.outlineTwips = 5720;
    g.outlinePen = 4;
    g.piecesPen = 3;
    g.marksPen = 3;
    g.markStart = 160;
    g.markEnd = 520;
    g.markMiddle = 340;
    g.labelOffset = 220;
    g.labelRise = 220;
    g.numericLabels = true;
    return g;
}

SheetPlacement DiagramPainter::drawSheet(DrawSurface &surface, const DiagramValues &values,
                                         const DiagramGeometry &geometry) {
    SheetPlacement p;
    p.sheetLeft = toInt16(roundHalfEven(geometry.sheetLeft));
    p.sheetTop = toInt16(roundHalfEven(geometry.sheetTop));
    // The scale is a 16-bit quantity; sizes that would overflow it are refused
    // before a redraw, the clamp only keeps a stray value from wrapping.
    p.scale = std::clamp<std::int64_t>(sheetScale(geometry.outlineTwips, values.fullSheetWidth), 0,
                                       std::numeric_limits<std::int16_t>::max());
    const double left = p.sheetLeft;
    const double top = p.sheetTop;
    const double scale = static_cast<double>(p.scale);
    const double W = values.fullSheetWidth;
    const double D = values.fullSheetDepth;

    surface.setLineWidth(geometry.outlinePen);
    surface.setFillColor(white);
    surface.setFillStyle(FillStyle::Solid);
    surface.box(left, top, left + scale * W, top + scale * D);
    p.sheetRight = toInt16(roundHalfEven(surface.currentX()));
    p.sheetBottom = toInt16(roundHalfEven(surface.currentY()));

    const double g = values.diagram == Diagram::Finished ? values.gripper : 0;
    if (g > 0) {
        surface.setFillColor(blue);
        surface.setFillStyle(FillStyle::DiagonalCross);
        if (values.gripperOnWidth) {
            p.gripShiftY = toInt32(roundHalfEven(g * scale));
            surface.box(left, top, left + scale * W, top + scale * g);
        } else {
            p.gripShiftX = toInt32(roundHalfEven(g * scale));
            surface.box(left, top, left + p.gripShiftX, top + scale * D);
        }
    }

    const double right = p.sheetRight;
    const double bottom = p.sheetBottom;
    surface.setLineWidth(geometry.marksPen);
    surface.line(right + geometry.markStart, top, right + geometry.markEnd, top);
    surface.line(right + geometry.markStart, bottom, right + geometry.markEnd, bottom);
    surface.line(right + geometry.markMiddle, top, right + geometry.markMiddle, bottom);
    surface.moveTo(right + geometry.labelOffset, (bottom - top) / 2 + top - 180);
    const bool finished = values.diagram == Diagram::Finished;
    if (geometry.numericLabels)
        surface.print(plainNumber(D), true);
    else
        surface.print(finished ? "PSD" : "DEP", true);

    surface.line(left, bottom + geometry.markStart, left, bottom + geometry.markEnd);
    surface.line(right, bottom + geometry.markStart, right, bottom + geometry.markEnd);
    surface.line(left, bottom + geometry.markMiddle, right, bottom + geometry.markMiddle);
    surface.moveTo((right - left) / 2 + left - 60, bottom + geometry.labelRise);
    if (geometry.numericLabels)
        surface.print(plainNumber(W), true);
    else
        surface.print(finished ? "PSW" : "WID", true);
    return p;
}

void DiagramPainter::drawPieces(DrawSurface &surface, const DiagramValues &values,
                                const SheetPlacement &placement, const DiagramGeometry &geometry,
                                bool emptyCells) {
    const double scale = static_cast<double>(placement.scale);
    const double x0 = placement.sheetLeft + static_cast<double>(placement.gripShiftX);
    const double y0 = placement.sheetTop + static_cast<double>(placement.gripShiftY);
    const double P = values.pieceWidth;
    const double Q = values.pieceDepth;

    surface.setLineWidth(geometry.piecesPen);
    surface.setFillColor(red);
    surface.setFillStyle(FillStyle::DownwardDiagonal);
    const std::int64_t across = emptyCells ? 1 : drawCount(values.piecesAcross);
    const std::int64_t down = emptyCells ? 1 : drawCount(values.piecesDown);
    surface.boxGrid(x0, y0, P * scale, Q * scale, across, down);

    if (!values.isStaggerFrame())
        return;
    // The stagger block holds the piece turned: Q wide and P deep.
    const std::int64_t stAcross = drawCount(values.staggerAcross);
    const std::int64_t stDown = drawCount(values.staggerDown);
    if (values.frame == 2) {
        const double bx = x0 + values.piecesAcross * P * scale;
        surface.boxGrid(bx, y0, Q * scale, P * scale, stAcross, stDown);
    } else {
        const double by = y0 + values.piecesDown * Q * scale;
        surface.boxGrid(x0, by, Q * scale, P * scale, stAcross, stDown);
    }
}

void DiagramPainter::printRows(DrawSurface &s, const std::vector<PanelRow> &rows,
                               const RowPlacement &place,
                               const std::function<void(std::size_t)> &afterRow) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PanelRow &row = rows[i];
        if (row.kind == PanelRow::Kind::Gripper) {
            const double y = s.currentY();
            const double rowTop = static_cast<double>(roundHalfEven(y));
            if (place.legendPen > 0)
                s.setLineWidth(place.legendPen);
            s.setFillColor(blue);
            s.setFillStyle(FillStyle::DiagonalCross);
            s.box(place.legendLeft, y + place.legendTop, place.legendRight, y + place.legendBottom);
            s.setCurrentY(rowTop); // the caption follows the legend box on the row
            s.setFillColor(red);
            s.setFillStyle(FillStyle::DownwardDiagonal);
        } else {
            s.moveTo(place.captionX, s.currentY());
        }
        s.print(row.caption, false);
        s.moveTo(place.valueX, s.currentY());
        s.print(row.value, true);
        if (afterRow)
            afterRow(i);
    }
}

} // namespace sheetcraft
