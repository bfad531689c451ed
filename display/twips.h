#pragma once

#include <QRect>
#include <QSize>

class QScreen;

namespace sheetcraft {

// Designed window positions in twips (1440 to the inch) placed on a screen of
// a given logical DPI: 15 twips to the pixel at 96. Edges are rounded, halves
// to the even neighbour, so controls that meet in twips meet in pixels too.
class TwipsScale {
public:
    explicit TwipsScale(double dpi = 96);
    // The logical DPI of `screen`; 96 when there is none.
    static TwipsScale of(const QScreen *screen);

    double dpi() const { return m_dpi; }
    double pixelsPerTwip() const { return m_dpi / 1440.0; }

    int pixels(double twips) const;
    QRect rect(double left, double top, double width, double height) const;
    QRect rect(const QRect &twips) const;
    QSize size(const QSize &twips) const;

    bool operator==(const TwipsScale &) const = default;

private:
    double m_dpi;
};

} // namespace sheetcraft
