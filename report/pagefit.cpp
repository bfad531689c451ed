#include "pagefit.h"

#include "painterreplay.h"
#include "recordingsurface.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace sheetcraft {

namespace {

constexpr double twipsPerInch = 1440;
// Even a printable area smaller than the pens leaves the page visible.
constexpr double smallestScale = 0.01;

// What one operation paints: its far corner, twips, and how many device
// pixels its paint may reach past that at any scale.
struct Ink {
    double right = 0;
    double bottom = 0;
    double reachPixels = 0;
};

std::optional<Ink> inkOf(const DrawOp &op) {
    const auto shape = [&](double right, double bottom) {
        return Ink{right, bottom, (std::max(op.lineWidth, 1) + 1) / 2.0};
    };
    switch (op.kind) {
    case DrawOp::Kind::Line:
        if (op.x1 == op.x2 && op.y1 == op.y2)
            return std::nullopt; // a move-to
        return shape(std::max(op.x1, op.x2), std::max(op.y1, op.y2));
    case DrawOp::Kind::Box:
        return shape(std::max(op.x1, op.x2), std::max(op.y1, op.y2));
    case DrawOp::Kind::BoxGrid:
        return shape(std::max(op.x1, op.gridRight()), std::max(op.y1, op.gridBottom()));
    case DrawOp::Kind::Text:
        if (op.text.empty())
            return std::nullopt;
        return Ink{op.x2, op.y2, 0.5};
    default:
        return std::nullopt;
    }
}

// The largest scale at which `far` plus `pad` stays within `limit`.
double scaleFor(double limit, double far, double pad) {
    return far > 0 ? (limit - pad) / far : 1;
}

} // namespace

PageFit fitPage(const RecordingSurface &page, QSizeF printable) {
    PageFit fit;
    const double twipsPerPixelX = twipsPerInch / page.dpiX();
    const double twipsPerPixelY = twipsPerInch / page.dpiY();
    for (const DrawOp &op : page.ops()) {
        const std::optional<Ink> ink = inkOf(op);
        if (!ink)
            continue;
        fit.extent.right = std::max(fit.extent.right, ink->right);
        fit.extent.bottom = std::max(fit.extent.bottom, ink->bottom);
        fit.scale = std::min(
            {fit.scale, scaleFor(printable.width(), ink->right, ink->reachPixels * twipsPerPixelX),
             scaleFor(printable.height(), ink->bottom, ink->reachPixels * twipsPerPixelY)});
    }
    fit.scale = std::max(fit.scale, smallestScale);
    return fit;
}

QSizeF printableTwips(const QPaintDevice &device) {
    return {device.width() * twipsPerInch / device.logicalDpiX(),
            device.height() * twipsPerInch / device.logicalDpiY()};
}

void paintFitted(QPainter &painter, const RecordingSurface &page, const PageFit &fit) {
    painter.save();
    // A world transform shrinks text with the drawing, which a smaller
    // pixels-per-twip alone would not.
    painter.scale(fit.scale, fit.scale);
    ReplayOptions options;
    options.pixelsPerTwip = painter.device()->logicalDpiX() / twipsPerInch;
    replayRecording(page, painter, options);
    painter.restore();
}

std::optional<std::vector<PageFit>>
paintFittedPages(QPagedPaintDevice &device, const std::vector<const RecordingSurface *> &pages) {
    if (device.logicalDpiX() <= 0 || device.logicalDpiY() <= 0)
        return std::nullopt;
    const QSizeF printable = printableTwips(device);
    QPainter painter;
    if (!painter.begin(&device))
        return std::nullopt;
    std::vector<PageFit> fits;
    for (const RecordingSurface *page : pages) {
        if (!fits.empty() && !device.newPage()) {
            painter.end();
            return std::nullopt;
        }
        fits.push_back(fitPage(*page, printable));
        paintFitted(painter, *page, fits.back());
    }
    if (!painter.end())
        return std::nullopt;
    return fits;
}

std::optional<std::vector<PageFit>>
paintFittedPages(QPagedPaintDevice &device,
                 const std::vector<std::unique_ptr<RecordingSurface>> &pages) {
    std::vector<const RecordingSurface *> list;
    for (const auto &page : pages)
        list.push_back(page.get());
    return paintFittedPages(device, list);
}

} // namespace sheetcraft
