#pragma once

#include "drawsurface.h"

namespace sheetcraft {

// Draws nothing and remembers how far down the drawing reached, so that a
// block can be measured before it is put on a page. Text is measured with
// another surface's font metrics; the fonts set here are set on it too, so the
// caller sets its font again before drawing there.
class ExtentSurface : public DrawSurface {
public:
    explicit ExtentSurface(DrawSurface &metrics) : m_metrics(metrics) {}

    // Lowest y reached by a line, box or text line, twips.
    double bottom() const { return m_bottom; }

    void clear() override;
    void line(double x1, double y1, double x2, double y2, Rgb colour = black) override;
    void box(double x1, double y1, double x2, double y2, Rgb outline = black) override;
    void boxGrid(double x0, double y0, double cellWidth, double cellHeight, std::int64_t cols,
                 std::int64_t rows, Rgb outline = black) override;
    void print(std::string_view text, bool lineEnd) override;

    double textWidth(std::string_view text) const override { return m_metrics.textWidth(text); }
    double textHeight() const override { return m_metrics.textHeight(); }

    void setLineWidth(int) override {}
    void setFillColor(Rgb) override {}
    void setFillStyle(FillStyle) override {}
    void setFont(const TextFont &font) override { m_metrics.setFont(font); }

private:
    void reach(double y);

    DrawSurface &m_metrics;
    double m_bottom = 0;
};

} // namespace sheetcraft
