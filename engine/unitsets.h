#pragma once

#include "cells.h"
#include "outcome.h"

namespace sheetcraft {

// The two sample-size sets: English (inches, the designed cells) and metric
// (millimetres). Nothing is converted; the samples are only starting points.
class UnitSets {
public:
    // Check mark of "Metric Units"; English at every start, never saved.
    bool mnuMetric = false;

    // Toggles the set and writes its samples; Clear follows.
    [[nodiscard]] Outcome mnuMetric_Click(Cells &cells);
    // Writes the current set's samples; the drawing is erased and the
    // directions come back, and nothing is redrawn until the next action.
    [[nodiscard]] Outcome mnuReset_Click(Cells &cells) const;

private:
    void writeSamples(Cells &cells) const;
};

} // namespace sheetcraft
