#include "screenview.h"

#include "geometry.h"

namespace sheetcraft {

void ScreenView::clear() {
    m_surface.setLineWidth(1);
    m_surface.clear();
    m_placements = {};
}

void ScreenView::drawSheet(const DiagramValues &values) {
    const DiagramGeometry geometry = DiagramGeometry::screen(values.diagram);
    const bool finished = values.diagram == Diagram::Finished;
    m_surface.moveTo(geometry.sheetLeft, 120);
    m_surface.print(finished ? finishedHeading : pressHeading, true);
    m_placements[index(values.diagram)] = DiagramPainter::drawSheet(m_surface, values, geometry);
}

void ScreenView::drawLayout(const DiagramValues &values, const std::vector<PanelRow> &rows) {
    const SheetPlacement &placement = m_placements[index(values.diagram)];
    DiagramPainter::drawPieces(m_surface, values, placement,
                               DiagramGeometry::screen(values.diagram));
    printPanel(placement, rows);
}

void ScreenView::printPanel(const SheetPlacement &placement, const std::vector<PanelRow> &rows) {
    const double left = placement.sheetLeft;
    // Three empty lines put the first row below the width label.
    m_surface.moveTo(left, placement.sheetBottom);
    for (int i = 0; i < 3; ++i)
        m_surface.print("", true);

    for (const PanelRow &row : rows) {
        if (row.kind == PanelRow::Kind::Gripper) {
            const double y = m_surface.currentY();
            const double rowTop = static_cast<double>(roundHalfEven(y));
            m_surface.setFillColor(blue);
            m_surface.setFillStyle(FillStyle::DiagonalCross);
            m_surface.box(left + 60, y + 30, left + 280, y + 150);
            m_surface.setCurrentY(rowTop); // the caption follows the legend box on the row
            m_surface.setFillColor(red);
            m_surface.setFillStyle(FillStyle::DownwardDiagonal);
        } else {
            m_surface.moveTo(left, m_surface.currentY());
        }
        m_surface.print(row.caption, false);
        m_surface.moveTo(left + valueColumn, m_surface.currentY());
        m_surface.print(row.value, true);
    }
}

} // namespace sheetcraft
