#include "frmversion.h"

#include "singlewindow.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QVBoxLayout>

#include <iterator>

namespace sheetcraft {

namespace {

QPointer<frmVersion> g_openWindow;

// Newest first; the spacing inside each entry is part of the history.
const char *const historyEntries[] = {
    QT_TR_NOOP("Vers: 1.2.11:  Added Part Number to Search Criteria. Changed Report to show Part "
               "Number and "
               "either Job or "
               "Quote Number. Stopped AutoCenter from being enabled when user moved frame to side "
               "of screen."),
    QT_TR_NOOP(
        "Vers: 1.2.10:  Corrected Stock Waste display for Dutch Cuts. Now displays 1 decimal value "
        "rather than simple "
        "integer."),
    QT_TR_NOOP("Vers: 1.2.9:  Improved printed report for previous gripper error. Added a menu "
               "item called "
               "Metric Units under "
               "Setup under File Menu that permits a second test sample of metric sizes, rather "
               "than default "
               "English sizes. "
               "Changed both on-screen and printed displays to show appropriate words when running "
               "a standard "
               "or dutch cut on "
               "the Parent Sheet. Corrected a problem with incorrect display of number out in "
               "Printed Report."),
    QT_TR_NOOP("Vers: 1.2.8:  Corrected rounding error that permitted a finished size of 3x4.25 to "
               "provide "
               "more up than "
               "3x4.20 on an 11.5x17.5 press sheet"),
    QT_TR_NOOP("Vers: 1.2.5:  Eliminated path requirement and changed gripper calculation. Disable "
               "Search if "
               "No Folder "
               "selected.   Enable selection of Text and save data."),
    QT_TR_NOOP("Vers: 1.2.4:  Added Frame arrows and side by side comparison."),
    QT_TR_NOOP("Vers: 1.0.0:  First release to current users."),
};

} // namespace

QString frmVersion::versionHistory() {
    QString text;
    const int count = static_cast<int>(std::size(historyEntries));
    for (int i = 0; i < count; ++i) {
        text += tr(historyEntries[i]);
        if (i + 1 < count)
            text += QStringLiteral("\r\n\r\n");
    }
    return text;
}

frmVersion::frmVersion(QWidget *parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(tr("Versions"));
    setAttribute(Qt::WA_DeleteOnClose);

    Label1 = new QLabel(tr("Versions"), this);
    QFont headingFont = Label1->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.5);
    headingFont.setBold(true);
    Label1->setFont(headingFont);
    Label1->setAlignment(Qt::AlignHCenter);

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    Text1 = new QPlainTextEdit(this);
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(rule);
    layout->addWidget(Text1, 1);

    resize(480, 360);
    Form_Load();
}

void frmVersion::Form_Load() {
    Text1->clear();
    Text1->setPlainText(versionHistory());
    Text1->moveCursor(QTextCursor::Start);
}

frmVersion *frmVersion::showWindow() {
    return showSingleWindow(g_openWindow, [] { return new frmVersion; });
}

} // namespace sheetcraft
