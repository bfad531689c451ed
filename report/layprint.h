#pragma once

#include "cells.h"
#include "diagrampainter.h"
#include "layoutsession.h"
#include "reportcontent.h"
#include "reportpages.h"

#include <cstdint>

namespace sheetcraft {

// The report's fonts: the title and everything below it are requested by this
// name; which face stands in for it is the platform's.
inline constexpr const char *reportFontName = "New Times Roman";
inline constexpr const char *reportTitle = "Sheetcraft";

// Where one section of the report ended up.
struct ReportSectionLayout {
    int page = 0;                 // 0 for the first page
    SheetPlacement placement;     // outline corners, printScale, gripper shifts
    std::int16_t valueColumn = 0; // from sheetRight to the row values, twips
    double rowsEnd = 0;           // current y after the last row, twips
    double bottom = 0;            // lowest point the section drew, twips
};

struct ReportLayout {
    std::int16_t titleLeft = 0;
    float titleRight = 0;
    ReportSectionLayout finished;
    ReportSectionLayout press;
    int pageCount = 1;
};

// Draws the whole report onto the pages: title, job block, then the
// finished-sheet and press-sheet sections with their rows. A section that
// would run past the bottom of the printable area starts a new page.
ReportLayout layPrint(const Cells &cells, const FrameState &frames, const ReportContent &content,
                      ReportPages &pages);

} // namespace sheetcraft
