#include "recordingsurface.h"

#include <QPaintDevice>
#include <QString>

namespace sheetcraft {

namespace {

constexpr double twipsPerInch = 1440;

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

RecordingSurface::RecordingSurface(const QFont &baseFont, double dpi)
    : m_dpiDevice(1, 1, QImage::Format_ARGB32_Premultiplied), m_baseFont(baseFont) {
    const int dotsPerMeter = qRound(dpi / 0.0254);
    m_dpiDevice.setDotsPerMeterX(dotsPerMeter);
    m_dpiDevice.setDotsPerMeterY(dotsPerMeter);
    m_device = &m_dpiDevice;
    refreshMetrics();
}

RecordingSurface::RecordingSurface(const QPaintDevice *device, const QFont &baseFont)
    : m_device(device), m_baseFont(baseFont) {
    refreshMetrics();
}

double RecordingSurface::dpiX() const {
    return m_device->logicalDpiX();
}
double RecordingSurface::dpiY() const {
    return m_device->logicalDpiY();
}

QFont RecordingSurface::qfont(const TextFont &wanted) const {
    QFont f = m_baseFont;
    if (!wanted.name.empty())
        f.setFamily(toQString(wanted.name));
    if (wanted.points > 0)
        f.setPointSizeF(wanted.points);
    f.setBold(wanted.bold);
    return f;
}

void RecordingSurface::refreshMetrics() {
    // QFontMetricsF has no default state; emplace replaces the old one.
    m_metrics.emplace(qfont(m_font), m_device);
}

void RecordingSurface::clear() {
    m_ops.clear();
    m_ops.shrink_to_fit(); // a huge drawing must not keep its memory after it is gone
    moveTo(0, 0);
}

void RecordingSurface::line(double x1, double y1, double x2, double y2, Rgb colour) {
    DrawOp op;
    op.kind = DrawOp::Kind::Line;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.colour = colour;
    op.lineWidth = m_lineWidth;
    m_ops.push_back(std::move(op));
    moveTo(x2, y2);
}

void RecordingSurface::box(double x1, double y1, double x2, double y2, Rgb outline) {
    DrawOp op;
    op.kind = DrawOp::Kind::Box;
    op.x1 = x1;
    op.y1 = y1;
    op.x2 = x2;
    op.y2 = y2;
    op.colour = outline;
    op.lineWidth = m_lineWidth;
    op.fillColour = m_fillColour;
    op.fillStyle = m_fillStyle;
    m_ops.push_back(std::move(op));
    moveTo(x2, y2);
}

void RecordingSurface::boxGrid(double x0, double y0, double cellWidth, double cellHeight,
                               std::int64_t cols, std::int64_t rows, Rgb outline) {
    // No boxes: nothing drawn and the position stays where it was.
    if (cols <= 0 || rows <= 0)
        return;
    DrawOp op;
    op.kind = DrawOp::Kind::BoxGrid;
    op.x1 = x0;
    op.y1 = y0;
    op.x2 = cellWidth;
    op.y2 = cellHeight;
    op.cols = cols;
    op.rows = rows;
    op.colour = outline;
    op.lineWidth = m_lineWidth;
    op.fillColour = m_fillColour;
    op.fillStyle = m_fillStyle;
    moveTo(op.gridRight(), op.gridBottom());
    m_ops.push_back(std::move(op));
}

void RecordingSurface::print(std::string_view text, bool lineEnd) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.x1 = m_x;
    op.y1 = m_y;
    op.x2 = m_x + textWidth(text);
    op.y2 = m_y + textHeight();
    op.font = m_font;
    op.text = std::string(text);
    op.lineEnd = lineEnd;
    if (lineEnd)
        moveTo(0, op.y2);
    else
        m_x = op.x2;
    m_ops.push_back(std::move(op));
}

double RecordingSurface::textWidth(std::string_view text) const {
    return m_metrics->horizontalAdvance(toQString(text)) * twipsPerInch / dpiX();
}

double RecordingSurface::textHeight() const {
    return m_metrics->height() * twipsPerInch / dpiY();
}

void RecordingSurface::setLineWidth(int pixels) {
    m_lineWidth = pixels;
    DrawOp op;
    op.kind = DrawOp::Kind::LineWidth;
    op.lineWidth = pixels;
    m_ops.push_back(std::move(op));
}

void RecordingSurface::setFillColor(Rgb colour) {
    m_fillColour = colour;
    DrawOp op;
    op.kind = DrawOp::Kind::FillColor;
    op.colour = colour;
    m_ops.push_back(std::move(op));
}

void RecordingSurface::setFillStyle(FillStyle style) {
    m_fillStyle = style;
    DrawOp op;
    op.kind = DrawOp::Kind::FillStyle;
    op.fillStyle = style;
    m_ops.push_back(std::move(op));
}

void RecordingSurface::setFont(const TextFont &font) {
    m_font = font;
    refreshMetrics();
    DrawOp op;
    op.kind = DrawOp::Kind::Font;
    op.font = font;
    m_ops.push_back(std::move(op));
}

} // namespace sheetcraft
