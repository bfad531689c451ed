#include "painterreplay.h"

#include "recordingsurface.h"

#include <QBrush>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace sheetcraft {

namespace {

QColor toQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

QBrush fillBrush(const DrawOp &op) {
    const QColor colour = toQColor(op.fillColour);
    switch (op.fillStyle) {
    case FillStyle::Solid:
        return QBrush(colour, Qt::SolidPattern);
    case FillStyle::DiagonalCross:
        return QBrush(colour, Qt::DiagCrossPattern);
    case FillStyle::DownwardDiagonal:
        return QBrush(colour, Qt::FDiagPattern);
    case FillStyle::Transparent:
        break;
    }
    return QBrush(Qt::NoBrush);
}

QPen cosmeticPen(const DrawOp &op) {
    QPen pen(toQColor(op.colour));
    pen.setWidth(std::max(op.lineWidth, 1));
    pen.setCosmetic(true);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

class Mapper {
public:
    explicit Mapper(const ReplayOptions &o) : m_o(o) {}
    // Whole device pixels, so boxes and grid lines meet exactly. Far-off
    // coordinates are clamped; they are outside any device anyway.
    int x(double twips) const { return snap(m_o.origin.x() + twips * m_o.pixelsPerTwip); }
    int y(double twips) const { return snap(m_o.origin.y() + twips * m_o.pixelsPerTwip); }
    double scale() const { return m_o.pixelsPerTwip; }

private:
    static int snap(double v) {
        if (std::isnan(v))
            return 0;
        return static_cast<int>(std::lround(std::clamp(v, -1.0e8, 1.0e8)));
    }
    const ReplayOptions &m_o;
};

QRect spanRect(int l, int t, int r, int b) {
    return QRect(QPoint(std::min(l, r), std::min(t, b)), QPoint(std::max(l, r), std::max(t, b)));
}

void paintBox(QPainter &painter, const Mapper &map, const DrawOp &op) {
    const QRect rect = spanRect(map.x(op.x1), map.y(op.y1), map.x(op.x2), map.y(op.y2));
    const QBrush brush = fillBrush(op);
    if (brush.style() != Qt::NoBrush)
        painter.fillRect(rect, brush);
    painter.setPen(cosmeticPen(op));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(rect.topLeft(), QSize(rect.width() - 1, rect.height() - 1)));
}

// Indices 0..count of the lines to draw when neighbours are `cellPixels`
// apart: every one when they are a pixel or more apart, otherwise just
// enough to keep about a pixel between them; the last line always.
template <typename Draw> void forEachGridLine(std::int64_t count, double cellPixels, Draw draw) {
    cellPixels = std::abs(cellPixels);
    std::int64_t step = 1;
    if (!(cellPixels >= 1)) {
        const double wanted = cellPixels > 0 ? std::ceil(1.0 / cellPixels) : double(count);
        step = static_cast<std::int64_t>(
            std::clamp(wanted, 1.0, double(std::max<std::int64_t>(count, 1))));
    }
    for (std::int64_t i = 0; i < count; i += step)
        draw(i);
    draw(count);
}

void paintBoxGrid(QPainter &painter, const Mapper &map, const DrawOp &op) {
    const int left = map.x(op.x1);
    const int top = map.y(op.y1);
    const int right = map.x(op.gridRight());
    const int bottom = map.y(op.gridBottom());
    const QRect area = spanRect(left, top, right, bottom);
    const QBrush brush = fillBrush(op);
    if (brush.style() != Qt::NoBrush)
        painter.fillRect(area, brush);

    painter.setPen(cosmeticPen(op));
    painter.setBrush(Qt::NoBrush);
    forEachGridLine(op.rows, op.y2 * map.scale(), [&](std::int64_t r) {
        const int y = map.y(op.y1 + static_cast<double>(r) * op.y2);
        painter.drawLine(left, y, right, y);
    });
    forEachGridLine(op.cols, op.x2 * map.scale(), [&](std::int64_t c) {
        const int x = map.x(op.x1 + static_cast<double>(c) * op.x2);
        painter.drawLine(x, top, x, bottom);
    });
}

void paintText(QPainter &painter, const Mapper &map, const RecordingSurface &recording,
               const DrawOp &op) {
    const QFont font = recording.qfont(op.font);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter.device());
    const QPointF baseline(map.x(op.x1), map.y(op.y1) + metrics.ascent());
    painter.drawText(baseline, QString::fromStdString(op.text));
}

} // namespace

void replayRecording(const RecordingSurface &recording, QPainter &painter,
                     const ReplayOptions &options) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrushOrigin(0, 0);
    if (!options.clip.isEmpty())
        painter.setClipRect(options.clip, Qt::IntersectClip);
    const Mapper map(options);
    for (const DrawOp &op : recording.ops()) {
        switch (op.kind) {
        case DrawOp::Kind::Line:
            if (op.x1 != op.x2 || op.y1 != op.y2) {
                painter.setPen(cosmeticPen(op));
                painter.drawLine(map.x(op.x1), map.y(op.y1), map.x(op.x2), map.y(op.y2));
            }
            break;
        case DrawOp::Kind::Box:
            paintBox(painter, map, op);
            break;
        case DrawOp::Kind::BoxGrid:
            paintBoxGrid(painter, map, op);
            break;
        case DrawOp::Kind::Text:
            paintText(painter, map, recording, op);
            break;
        case DrawOp::Kind::LineWidth:
        case DrawOp::Kind::FillColor:
        case DrawOp::Kind::FillStyle:
        case DrawOp::Kind::Font:
            // Shapes carry their own attributes; these only mark the change.
            break;
        }
    }
    painter.restore();
}

} // namespace sheetcraft
