#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "drawsurface.h"

#include <vector>

namespace sheetcraft {

// Where and how finely a layout is drawn, twips.
struct CutLayoutBox {
    double left = 0;
    double top = 0;
    double width = 0;
    double depth = 0;
    // A part of the layout narrower than this is drawn as one hatched area, so
    // the work grows with what can be seen, not with the number of pieces.
    double minDetail = 45;
    int outlinePen = 1; // pixels
    int cutPen = 2;
    TextFont labelFont;
    // Pieces filled in the colour of their CutNode::item (several jobs on one
    // sheet); empty: every piece hatched alike.
    std::vector<Rgb> itemColours;
};

// Draws a guillotine layout of the full sheet (sheet units) to scale, as large
// as fits the box and centred in it: the sheet, the gripper strip crossed, the
// pieces hatched, and every cut of the plan as a line numbered in cutter
// order (where the number has room). Draws nothing but the sheet for an empty
// layout or one whose tree was left out.
void drawCutLayout(DrawSurface &surface, const Layout &layout, const CutPlan &plan,
                   double sheetWidth, double sheetDepth, const CutLayoutBox &box);

} // namespace sheetcraft
