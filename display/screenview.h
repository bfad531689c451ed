#pragma once

#include "diagrampainter.h"
#include "drawsurface.h"
#include "redrawview.h"

#include <array>

namespace sheetcraft {

// Shows a redraw on a drawing surface the way the main window shows it: both
// diagrams with their headings, pieces and results panels, in window twips.
class ScreenView : public RedrawView {
public:
    explicit ScreenView(DrawSurface &surface) : m_surface(surface) {}

    // The panel's values column, measured from the sheet's left edge, twips.
    static constexpr double valueColumn = 1540;

    void clear() override;
    void drawSheet(const DiagramValues &values) override;
    void drawLayout(const DiagramValues &values, const std::vector<PanelRow> &rows) override;

    // Where each diagram's sheet was last drawn.
    const SheetPlacement &placement(Diagram diagram) const { return m_placements[index(diagram)]; }

private:
    static std::size_t index(Diagram d) { return d == Diagram::Finished ? 0 : 1; }
    void printPanel(const SheetPlacement &placement, const std::vector<PanelRow> &rows);

    DrawSurface &m_surface;
    std::array<SheetPlacement, 2> m_placements{};
};

} // namespace sheetcraft
