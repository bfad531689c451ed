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

    RowPlacement place;
    place.captionX = left;
    place.valueX = left + valueColumn;
    place.legendLeft = left + 60;
    place.legendRight = left + 280;
    place.legendTop = 30;
    place.legendBottom = 150;
    DiagramPainter::printRows(m_surface, rows, place);
}

} // namespace sheetcraft
