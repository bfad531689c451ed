#include "twips.h"

#include "geometry.h"

#include <QScreen>

namespace sheetcraft {

TwipsScale::TwipsScale(double dpi) : m_dpi(dpi > 0 ? dpi : 96) {}

TwipsScale TwipsScale::of(const QScreen *screen) {
    return TwipsScale(screen ? screen->logicalDotsPerInch() : 96);
}

int TwipsScale::pixels(double twips) const {
    return static_cast<int>(roundHalfEven(twips * pixelsPerTwip()));
}

QRect TwipsScale::rect(double left, double top, double width, double height) const {
    const int x = pixels(left);
    const int y = pixels(top);
    return QRect(x, y, pixels(left + width) - x, pixels(top + height) - y);
}

QRect TwipsScale::rect(const QRect &twips) const {
    return rect(twips.x(), twips.y(), twips.width(), twips.height());
}

QSize TwipsScale::size(const QSize &twips) const {
    return QSize(pixels(twips.width()), pixels(twips.height()));
}

} // namespace sheetcraft
