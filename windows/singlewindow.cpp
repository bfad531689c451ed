#include "singlewindow.h"

namespace sheetcraft {

void bringToFront(QWidget *window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace sheetcraft
