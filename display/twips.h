#pragma once

#include <QRect>

#include <cmath>

namespace sheetcraft {

// Designed window positions are in twips (1440 to the inch); on screen they
// become logical pixels at the screen's logical DPI (15 twips a pixel at 96).
inline int twipsToPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

inline QRect twipsRect(int left, int top, int width, int height, int dpiX, int dpiY) {
    return QRect(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                 twipsToPixels(height, dpiY));
}

} // namespace sheetcraft
