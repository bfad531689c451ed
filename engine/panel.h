#pragma once

#include "diagram.h"

#include <string>
#include <vector>

namespace sheetcraft {

// A results row: a caption and its value, both exactly as printed. The gripper
// row carries a hatched legend box before its caption.
struct PanelRow {
    enum class Kind { Plain, Gripper };
    std::string caption;
    std::string value;
    Kind kind = Kind::Plain;
};

// The screen panel and the printed report share the rows; the report names the
// parent sheet rows differently and pads the gripper caption wider.
enum class PanelMedium { Screen, Report };

// The rows of one diagram's current frame, in order, with their conditions
// applied. The values must be those of a frame that fits.
std::vector<PanelRow> panelRows(const DiagramValues &values,
                                PanelMedium medium = PanelMedium::Screen);

} // namespace sheetcraft
