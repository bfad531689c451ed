#include "extentsurface.h"

#include <algorithm>

namespace sheetcraft {

void ExtentSurface::reach(double y) {
    m_bottom = std::max(m_bottom, y);
}

void ExtentSurface::clear() {
    m_bottom = 0;
    moveTo(0, 0);
}

void ExtentSurface::line(double x1, double y1, double x2, double y2, Rgb) {
    // A move-to draws nothing and must not count.
    if (x1 != x2 || y1 != y2)
        reach(std::max(y1, y2));
    moveTo(x2, y2);
}

void ExtentSurface::box(double, double y1, double x2, double y2, Rgb) {
    reach(std::max(y1, y2));
    moveTo(x2, y2);
}

void ExtentSurface::boxGrid(double x0, double y0, double cellWidth, double cellHeight,
                            std::int64_t cols, std::int64_t rows, Rgb) {
    const double x1 = x0 + static_cast<double>(cols) * cellWidth;
    const double y1 = y0 + static_cast<double>(rows) * cellHeight;
    if (cols > 0 && rows > 0)
        reach(std::max(y0, y1));
    moveTo(x1, y1);
}

void ExtentSurface::print(std::string_view text, bool lineEnd) {
    const double height = textHeight();
    if (!text.empty())
        reach(currentY() + height);
    if (lineEnd)
        moveTo(0, currentY() + height);
    else
        setCurrentX(currentX() + textWidth(text));
}

} // namespace sheetcraft
