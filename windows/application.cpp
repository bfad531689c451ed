#include "application.h"

#include "embeddedfonts.h"
#include "pictures.h"

#include <QApplication>

namespace sheetcraft {

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Sheetcraft"));
    // No display name: the platform would append it to every window title.
    QApplication::setDesktopFileName(QStringLiteral("sheetcraft"));
    QApplication::setWindowIcon(applicationIcon());
    loadEmbeddedFonts();
}

} // namespace sheetcraft
