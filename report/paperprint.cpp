#include "paperprint.h"

#include "reportoutput.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace sheetcraft {

bool paintPaperPage(const PaperPage &page, QPagedPaintDevice &device) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const double width = device.width();
    const double height = device.height();
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(9);
    QFont bold = font;
    bold.setBold(true);
    QFont title = bold;
    title.setPointSizeF(13);

    // Column widths from the widest cell, then one scale for the whole table
    // so that it fits the page across and down.
    const QFontMetricsF fm(bold, &device);
    const std::size_t columns = static_cast<std::size_t>(page.header.size());
    std::vector<double> widths(columns, 0);
    auto measure = [&](const QStringList &row) {
        for (std::size_t c = 0; c < columns && c < static_cast<std::size_t>(row.size()); ++c)
            widths[c] = std::max(widths[c], fm.horizontalAdvance(row[static_cast<int>(c)]));
    };
    measure(page.header);
    for (const QStringList &row : page.rows)
        measure(row);
    const double gap = fm.height() * 0.8;
    double tableWidth = 0;
    for (double w : widths)
        tableWidth += w + gap;
    const double lineHeight = fm.height() * 1.3;
    const double tableHeight =
        lineHeight * static_cast<double>(page.rows.size() + page.lines.size() + 4);
    const double scale =
        std::min({1.0, width / std::max(1.0, tableWidth), height / std::max(1.0, tableHeight)});
    painter.scale(scale, scale);

    double y = lineHeight;
    painter.setFont(title);
    painter.drawText(QPointF(0, y), page.title);
    y += lineHeight * 1.5;
    painter.setFont(font);
    for (const QString &line : page.lines) {
        painter.drawText(QPointF(0, y), line);
        y += lineHeight;
    }
    y += lineHeight * 0.5;
    auto drawRow = [&](const QStringList &row) {
        double x = 0;
        for (std::size_t c = 0; c < columns && c < static_cast<std::size_t>(row.size()); ++c) {
            painter.drawText(QPointF(x, y), row[static_cast<int>(c)]);
            x += widths[c] + gap;
        }
        y += lineHeight;
    };
    painter.setFont(bold);
    drawRow(page.header);
    painter.drawLine(QPointF(0, y - lineHeight * 0.75), QPointF(tableWidth, y - lineHeight * 0.75));
    painter.setFont(font);
    for (const QStringList &row : page.rows)
        drawRow(row);
    return painter.end();
}

QByteArray renderPaperPdf(const PaperPage &page, const QPageLayout *pageLayout) {
    return renderPdf(page.title, pageLayout,
                     [&](QPagedPaintDevice &device) { return paintPaperPage(page, device); });
}

Outcome writePaperPdf(const PaperPage &page, const QString &path, const QPageLayout *pageLayout) {
    return writePdfFile(path, MessageKind::ReportNoFonts, MessageKind::ReportNotWritten,
                        [&] { return renderPaperPdf(page, pageLayout); });
}

} // namespace sheetcraft
