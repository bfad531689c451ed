#include "unitsets.h"

namespace sheetcraft {

void UnitSets::writeSamples(Cells &cells) const {
    // The order matches the menu's history (parent sheet first for metric);
    // a window that reacts to cell changes sees the same sequence.
    if (mnuMetric) {
        cells.txtSize[2] = "640x915";
        cells.txtSize[1] = "315x225";
        cells.txtSize[0] = "210x297";
    } else {
        cells.txtSize[0] = "2x3";
        cells.txtSize[1] = "11x17";
        cells.txtSize[2] = "23x35";
    }
}

Outcome UnitSets::mnuMetric_Click(Cells &cells) {
    mnuMetric = !mnuMetric;
    writeSamples(cells);
    return {{}, FollowUp::RunClear};
}

Outcome UnitSets::mnuReset_Click(Cells &cells) const {
    writeSamples(cells);
    return {{}, FollowUp::EraseDrawing};
}

} // namespace sheetcraft
