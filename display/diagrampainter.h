#pragma once

#include "drawsurface.h"

#include "diagram.h"
#include "panel.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace sheetcraft {

// What differs between the screen and paper drawings of a diagram.
struct DiagramGeometry {
    double sheetLeft = 640; // outline's top-left corner, twips
    double sheetTop = 640;
    double outlineTwips = 1320; // the sheet width is drawn about this wide
    int outlinePen = 1;         // pixels
    int piecesPen = 1;
    int marksPen = 1;
    // Dimension marks, measured out from the outline's right and bottom edges.
    double markStart = 60;    // ticks run from here...
    double markEnd = 420;     // ...to here
    double markMiddle = 240;  // the long line between the ticks
    double labelOffset = 120; // the depth label's x past the outline
    double labelRise = 160;   // the width label's y below the outline (print top)
    // Letter labels ("PSD"/"PSW", "DEP"/"WID") on screen, the full sheet sizes
    // as plain numbers on paper.
    bool numericLabels = false;

    static DiagramGeometry screen(Diagram diagram);
    static DiagramGeometry paper(double sheetTop);
};

// Where a diagram's sheet ended up, for the pieces and the panel.
struct SheetPlacement {
    std::int16_t sheetLeft = 0;
    std::int16_t sheetTop = 0;
    std::int64_t scale = 0; // twips per sheet unit
    std::int16_t sheetRight = 0;
    std::int16_t sheetBottom = 0;
    std::int32_t gripShiftX = 0; // pieces moved clear of the gripper strip
    std::int32_t gripShiftY = 0;
};

// Where a diagram's results rows go: caption and value columns, and the
// gripper row's hatched legend box (its y measured down from the row's top).
struct RowPlacement {
    double captionX = 0;
    double valueX = 0;
    double legendLeft = 0;
    double legendRight = 0;
    double legendTop = 0;
    double legendBottom = 0;
    int legendPen = 0; // pixels; 0 keeps the current line width
};

// Draws a diagram through a DrawSurface; the same code serves the screen, the
// printer and the tests' recording surface.
class DiagramPainter {
public:
    // White outline at scale, the blue cross-hatched gripper strip (finished
    // diagram, gripper > 0) and the dimension marks with their labels.
    static SheetPlacement drawSheet(DrawSurface &surface, const DiagramValues &values,
                                    const DiagramGeometry &geometry);
    // The red hatched standard grid and, in frames 2 and 4, the stagger block
    // of turned pieces. `emptyCells` draws the grid as one piece.
    static void drawPieces(DrawSurface &surface, const DiagramValues &values,
                           const SheetPlacement &placement, const DiagramGeometry &geometry,
                           bool emptyCells = false);
    // The results rows from the current y down, one text line each; the
    // gripper row's caption follows its legend box. `afterRow` runs after each
    // row with its index (the report changes fonts there).
    static void printRows(DrawSurface &surface, const std::vector<PanelRow> &rows,
                          const RowPlacement &place,
                          const std::function<void(std::size_t)> &afterRow = {});
};

} // namespace sheetcraft
