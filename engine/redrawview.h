#pragma once

#include "diagram.h"
#include "panel.h"

#include <vector>

namespace sheetcraft {

// What the redraw asks of whatever shows it. The window draws; the calculator
// shows nothing. Calls come in the order of one redraw: clear, then for each
// diagram its sheet (heading, outline, gripper strip, dimension marks) and, when
// its frame fits and is not empty, its pieces and panel.
class RedrawView {
public:
    virtual ~RedrawView() = default;
    // Erase both diagrams and their panels.
    virtual void clear() = 0;
    // Heading, scaled outline, gripper strip (finished diagram) and dimension
    // marks. Only the sheet sizes and gripper of the values are settled here.
    virtual void drawSheet(const DiagramValues &values) = 0;
    // Standard grid, stagger block and results panel of a frame that fits.
    virtual void drawLayout(const DiagramValues &values, const std::vector<PanelRow> &rows) = 0;
};

} // namespace sheetcraft
