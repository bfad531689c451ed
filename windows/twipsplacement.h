#pragma once

#include "twips.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;
class QWindow;

namespace sheetcraft {

// Keeps a window's controls at their designed places in twips, at the logical
// DPI of the screen the window is on. When the window moves to another screen
// every control is placed again, and scaleChanged lets the window redo what
// else depends on the scale.
class TwipsPlacement : public QObject {
    Q_OBJECT

public:
    explicit TwipsPlacement(QWidget *window);

    const TwipsScale &scale() const { return m_scale; }

    // Places `widget` at `twips` (relative to its parent) now and at every
    // change of scale. A rule designed with no height is one pixel thick.
    void place(QWidget *widget, const QRect &twips);
    // Fixes `widget` at `twips` wide and high, now and at every change of scale.
    void fixSize(QWidget *widget, const QSize &twips);

    // Places everything again at `scale`; a change of screen comes here.
    void setScale(const TwipsScale &scale);

signals:
    void scaleChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Placed {
        QPointer<QWidget> widget;
        QRect twips;
        bool fixedSize = false;
    };
    void apply(const Placed &placed) const;
    void followWindowHandle();

    QWidget *m_window;
    TwipsScale m_scale;
    std::vector<Placed> m_placed;
    QPointer<QWindow> m_handle; // the native window whose screen is followed
};

} // namespace sheetcraft
