#pragma once

#include "cells.h"

namespace sheetcraft {

// What the window must do after a unit-set handler has rewritten the cells.
struct UnitSetEffect {
    bool runClear = false;       // run Clear (Command1_Click): frames to 1 and redraw
    bool clearDrawing = false;   // erase both diagrams and panels, without redrawing
    bool showDirections = false; // show shpDirections and lblDirections again
};

// The two sample-size sets: English (inches, the designed cells) and metric
// (millimetres). Nothing is converted; the samples are only starting points.
class UnitSets {
public:
    // Check mark of "Metric Units"; English at every start, never saved.
    bool mnuMetric = false;

    // Toggles the set and writes its samples; the window then runs Clear.
    UnitSetEffect mnuMetric_Click(Cells &cells);
    // Writes the current set's samples; the window erases the drawing and
    // shows the directions, and nothing is redrawn until the next action.
    UnitSetEffect mnuReset_Click(Cells &cells) const;

private:
    void writeSamples(Cells &cells) const;
};

} // namespace sheetcraft
