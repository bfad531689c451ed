#pragma once

#include "drawsurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPaintDevice;

namespace sheetcraft {

// One retained drawing operation, in twips. Shapes carry the attributes they
// were drawn with, so an operation can be replayed (or checked) on its own.
struct DrawOp {
    enum class Kind { Line, Box, BoxGrid, Text, LineWidth, FillColor, FillStyle, Font };
    Kind kind = Kind::Line;
    // Line and Box: the two corners. BoxGrid: (x1, y1) is the grid's origin and
    // (x2, y2) one cell's width and height. Text: (x1, y1) is where it starts,
    // (x2, y2) the far corner of its line: its measured width along, one text
    // line down.
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    std::int64_t cols = 0; // BoxGrid only
    std::int64_t rows = 0;
    Rgb colour;        // line colour or box outline; FillColor: the new fill
    int lineWidth = 1; // pixels; LineWidth: the new width
    Rgb fillColour;    // Box and BoxGrid
    FillStyle fillStyle = FillStyle::Transparent; // Box, BoxGrid and FillStyle
    TextFont font;                                // Text and Font
    std::string text;                             // Text
    bool lineEnd = false;                         // Text

    // The far edges of a grid, twips.
    double gridRight() const { return x1 + static_cast<double>(cols) * x2; }
    double gridBottom() const { return y1 + static_cast<double>(rows) * y2; }
};

// A DrawSurface that keeps what is drawn as a list of operations until the
// next clear, so a window can repaint it at will and tests can read it back.
// Text is measured with Qt's font metrics: either for a resolution in dots per
// inch (the screen, 96 logical DPI) or for a paint device such as a printer.
class RecordingSurface : public DrawSurface {
public:
    // Metrics for `baseFont` at `dpi` dots per inch.
    RecordingSurface(const QFont &baseFont, double dpi);
    // Metrics for `baseFont` on `device`, which must outlive this surface.
    RecordingSurface(const QPaintDevice *device, const QFont &baseFont);

    RecordingSurface(const RecordingSurface &) = delete;
    RecordingSurface &operator=(const RecordingSurface &) = delete;

    void clear() override;
    void line(double x1, double y1, double x2, double y2, Rgb colour = black) override;
    void box(double x1, double y1, double x2, double y2, Rgb outline = black) override;
    void boxGrid(double x0, double y0, double cellWidth, double cellHeight, std::int64_t cols,
                 std::int64_t rows, Rgb outline = black) override;
    void print(std::string_view text, bool lineEnd) override;

    double textWidth(std::string_view text) const override;
    double textHeight() const override;

    void setLineWidth(int pixels) override;
    void setFillColor(Rgb colour) override;
    void setFillStyle(FillStyle style) override;
    void setFont(const TextFont &font) override;

    const std::vector<DrawOp> &ops() const { return m_ops; }
    // The font a TextFont stands for on this surface.
    QFont qfont(const TextFont &wanted) const;
    double dpiX() const;
    double dpiY() const;

private:
    void refreshMetrics();

    QImage m_dpiDevice; // stands in for a screen of the requested resolution
    const QPaintDevice *m_device = nullptr;
    QFont m_baseFont;
    std::optional<QFontMetricsF> m_metrics;

    std::vector<DrawOp> m_ops;
    // Attributes outlive a clear, as they do on a real drawing surface.
    int m_lineWidth = 1;
    Rgb m_fillColour = black;
    FillStyle m_fillStyle = FillStyle::Transparent;
    TextFont m_font;
};

} // namespace sheetcraft
