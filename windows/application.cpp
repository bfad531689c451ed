#include "application.h"

#include "embeddedfonts.h"
#include "pictures.h"
#include "version.h"

#include <QApplication>

namespace sheetcraft {

void setUpApplication() {
    QApplication::setApplicationName(QStringLiteral("Sheetcraft"));
    QApplication::setApplicationVersion(QLatin1String(versionText));
    // No display name: the platform would append it to every window title.
    QApplication::setDesktopFileName(QStringLiteral(SHEETCRAFT_APP_ID));
    QApplication::setWindowIcon(applicationIcon());
    loadEmbeddedFonts();
}

} // namespace sheetcraft
