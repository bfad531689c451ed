#include "searchprogress.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProgressDialog>

namespace sheetcraft {

bool SearchProgress::waitForHelper(QProcess &helper) {
    QProgressDialog dialog(QCoreApplication::translate("SearchProgress", "Searching orders…"),
                           QCoreApplication::translate("SearchProgress", "Cancel"), 0, 0, m_parent);
    dialog.setWindowTitle(QStringLiteral("Sheetcraft"));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    QObject::connect(&helper, &QProcess::finished, &dialog, &QDialog::accept);
    // A program that is closing (the session ends, say) gives up the search,
    // and the caller stops the helper.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &dialog,
                     &QDialog::reject);
    if (helper.state() == QProcess::NotRunning)
        return true;
    dialog.exec();
    // Cancel, Escape and closing the dialog all leave the helper running.
    return helper.state() == QProcess::NotRunning && !dialog.wasCanceled();
}

} // namespace sheetcraft
