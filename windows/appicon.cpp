#include "appicon.h"

#include <QPainter>
#include <QPixmap>

namespace sheetcraft {

namespace {

QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const qreal u = size / 16.0;
    const QRectF sheet(1 * u, 2 * u, 14 * u, 12 * u);
    p.setPen(QPen(QColor(40, 40, 40), qMax<qreal>(1.0, u * 0.75)));
    p.setBrush(QColor(250, 248, 235));
    p.drawRect(sheet);
    // Gripper strip along the top edge.
    p.fillRect(QRectF(sheet.left() + u * 0.5, sheet.top() + u * 0.5, sheet.width() - u, u * 1.5),
               QColor(200, 60, 50));
    // Finished pieces in a 3 x 2 grid below it.
    p.setBrush(QColor(90, 140, 210));
    p.setPen(QPen(QColor(30, 60, 110), qMax<qreal>(1.0, u * 0.5)));
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col)
            p.drawRect(QRectF(sheet.left() + u * (1 + col * 4.2), sheet.top() + u * (3 + row * 4.2),
                              u * 3.6, u * 3.6));
    }
    return pixmap;
}

} // namespace

QIcon sheetcraftIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace sheetcraft
