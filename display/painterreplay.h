#pragma once

#include <QPointF>
#include <QRectF>

class QPainter;

namespace sheetcraft {

class RecordingSurface;

// How twips map onto the painter's device.
struct ReplayOptions {
    double pixelsPerTwip = 96.0 / 1440.0; // device DPI / 1440
    QPointF origin;                       // device point of twips (0, 0)
    QRectF clip;                          // device rectangle painted; empty: no clip
};

// Paints a recording onto any painter (window, image, printer). Pens are
// cosmetic, so line widths stay in device pixels at any scale; hatch brushes
// are anchored to the device, so a box grid is painted as one hatched area
// plus its grid lines, leaving out lines closer together than a pixel.
void replayRecording(const RecordingSurface &recording, QPainter &painter,
                     const ReplayOptions &options = {});

} // namespace sheetcraft
