#include "twipsplacement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace sheetcraft {

TwipsPlacement::TwipsPlacement(QWidget *window)
    : QObject(window), m_window(window), m_scale(TwipsScale::of(window->screen())) {
    // The native window, whose screen changes are signalled, exists only once
    // the window is shown.
    window->installEventFilter(this);
}

void TwipsPlacement::place(QWidget *widget, const QRect &twips) {
    m_placed.push_back({widget, twips, false});
    apply(m_placed.back());
}

void TwipsPlacement::fixSize(QWidget *widget, const QSize &twips) {
    m_placed.push_back({widget, QRect(QPoint(), twips), true});
    apply(m_placed.back());
}

void TwipsPlacement::apply(const Placed &placed) const {
    if (!placed.widget)
        return;
    if (placed.fixedSize) {
        placed.widget->setFixedSize(m_scale.size(placed.twips.size()));
        return;
    }
    QRect pixels = m_scale.rect(placed.twips);
    if (placed.twips.height() == 0)
        pixels.setHeight(1);
    placed.widget->setGeometry(pixels);
}

void TwipsPlacement::setScale(const TwipsScale &scale) {
    if (scale == m_scale)
        return;
    m_scale = scale;
    for (const Placed &placed : m_placed)
        apply(placed);
    emit scaleChanged();
}

bool TwipsPlacement::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_window && event->type() == QEvent::Show)
        followWindowHandle();
    return QObject::eventFilter(watched, event);
}

void TwipsPlacement::followWindowHandle() {
    QWindow *handle = m_window->windowHandle();
    if (!handle || handle == m_handle)
        return;
    m_handle = handle;
    connect(handle, &QWindow::screenChanged, this,
            [this](QScreen *screen) { setScale(TwipsScale::of(screen)); });
    // The window may have opened on another screen than it was built for.
    setScale(TwipsScale::of(handle->screen()));
}

} // namespace sheetcraft
