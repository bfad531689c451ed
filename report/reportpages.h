#pragma once

#include "drawsurface.h"

namespace sheetcraft {

// The pages a report is laid out on, each a drawing surface in twips measured
// from the top-left corner of the printable area.
class ReportPages {
public:
    virtual ~ReportPages() = default;
    // The page being drawn; a new page replaces it.
    virtual DrawSurface &page() = 0;
    virtual void newPage() = 0;
    // Printable height of a page, twips.
    virtual double pageHeight() const = 0;
};

} // namespace sheetcraft
