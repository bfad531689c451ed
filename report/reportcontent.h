#pragma once

#include "cells.h"
#include "diagram.h"
#include "layoutsession.h"
#include "outcome.h"

#include <optional>

namespace sheetcraft {

// The two diagrams a report prints: the current frame of each, worked out
// again from the storage cells exactly as a screen redraw works them out.
struct ReportContent {
    DiagramValues finished;
    DiagramValues press;
};

// Checks the storage cells and computes both sections. Nothing is returned
// (and one message is added to `said`) when a storage cell holds no usable size
// ("Warning: Incorrect Size Entered!") or when either piece does not fit its
// sheet (the fit warning), so that a report never shows numbers the screen
// could not have shown.
std::optional<ReportContent> prepareReport(const Cells &cells, const FrameState &frames,
                                           Outcome &said);

} // namespace sheetcraft
