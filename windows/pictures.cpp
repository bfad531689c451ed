#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace sheetcraft {

QIcon arrowIcon() {
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const double m = size * 0.15;
        const QPolygonF triangle{QPointF(m, m), QPointF(size - m, size / 2.0),
                                 QPointF(m, size - m)};
        p.setPen(QPen(Qt::black, size / 16.0));
        p.setBrush(QColor(0, 0, 128));
        p.drawPolygon(triangle);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        const double s = size / 16.0;
        const QRectF sheet(1 * s, 2 * s, 14 * s, 12 * s);
        p.setPen(QPen(Qt::black, std::max(1.0, s * 0.6)));
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.fillRect(QRectF(sheet.left(), sheet.top(), sheet.width(), 2 * s),
                   QBrush(Qt::blue, Qt::DiagCrossPattern));
        const QRectF pieces(sheet.left(), sheet.top() + 2 * s, 12 * s, 9 * s);
        p.fillRect(pieces, QBrush(Qt::red, Qt::FDiagPattern));
        p.setBrush(Qt::NoBrush);
        for (int c = 0; c < 3; ++c)
            for (int r = 0; r < 3; ++r)
                p.drawRect(
                    QRectF(pieces.left() + c * 4 * s, pieces.top() + r * 3 * s, 4 * s, 3 * s));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace sheetcraft
