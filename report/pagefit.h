#pragma once

#include <QSizeF>

#include <memory>
#include <optional>
#include <vector>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace sheetcraft {

class RecordingSurface;

// How far a recorded page reaches right and down from its origin, twips.
struct PageExtent {
    double right = 0;
    double bottom = 0;
};

// How a recorded page goes onto a printable area: drawn as recorded when it
// fits, otherwise shrunk uniformly about the area's top-left corner (the
// recording's origin), drawings, text and lines alike, never cut off.
struct PageFit {
    // What the page paints, as recorded: shapes to their far corners, text to
    // the end of its width and the foot of its line. Move-tos and empty lines
    // reach nowhere.
    PageExtent extent;
    // The largest scale, at most 1, at which everything stays inside, paint
    // included: pens are device pixels wide whatever the scale, so a shape's
    // outline reaches half its pen past the corner, and any position may
    // round half a device pixel further.
    double scale = 1;
};

// The fit of `page` onto a printable area of `printable` twips.
PageFit fitPage(const RecordingSurface &page, QSizeF printable);

// The area a painter on `device` can paint, twips from the painter's origin
// (for a printer or a PDF, the paper less its margins).
QSizeF printableTwips(const QPaintDevice &device);

// Paints `page` at `fit.scale` about the painter's origin, at the painter's
// device resolution.
void paintFitted(QPainter &painter, const RecordingSurface &page, const PageFit &fit);

// Paints the pages one per sheet of paper, each fitted to the device's
// printable area on its own. Returns the fits, or nothing when the device
// could not be painted on (a printer that is gone, a file that cannot be
// opened).
std::optional<std::vector<PageFit>>
paintFittedPages(QPagedPaintDevice &device, const std::vector<const RecordingSurface *> &pages);
// The same for pages a document owns.
std::optional<std::vector<PageFit>>
paintFittedPages(QPagedPaintDevice &device,
                 const std::vector<std::unique_ptr<RecordingSurface>> &pages);

} // namespace sheetcraft
