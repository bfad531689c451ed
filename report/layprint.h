#pragma once

#include "cells.h"
#include "diagrampainter.h"
#include "drawsurface.h"
#include "layoutsession.h"
#include "reportcontent.h"

#include <cstdint>

namespace sheetcraft {

// The report's fonts: the title and everything below it are requested by this
// name; which face stands in for it is the platform's.
inline constexpr const char *reportFontName = "New Times Roman";
inline constexpr const char *reportTitle = "Sheetcraft";

// Where one section of the report ended up.
struct ReportSectionLayout {
    SheetPlacement placement;     // outline corners, printScale, gripper shifts
    std::int16_t valueColumn = 0; // from sheetRight to the row values, twips
    double rowsEnd = 0;           // current y after the last row, twips
};

struct ReportLayout {
    std::int16_t titleLeft = 0;
    float titleRight = 0;
    ReportSectionLayout finished;
    ReportSectionLayout press;
};

// Draws the whole report onto one page at its designed coordinates, twips
// from the top-left corner of the printable area: title, job block, then the
// finished-sheet and press-sheet sections with their rows. Nothing starts a
// new page; a page that runs past the printable area is shrunk to fit when it
// is painted (see fitPage).
ReportLayout layPrint(const Cells &cells, const FrameState &frames, const ReportContent &content,
                      DrawSurface &s);

} // namespace sheetcraft
