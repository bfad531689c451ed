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
    // The installed theme's copy when there is one, so the menu entry, the
    // task bar and the windows agree; the built-in file otherwise.
    return QIcon::fromTheme(QStringLiteral(SHEETCRAFT_APP_ID),
                            QIcon(QStringLiteral(":/icons/sheetcraft.svg")));
}

} // namespace sheetcraft
