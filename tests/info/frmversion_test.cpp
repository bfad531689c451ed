#include "frmversion.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

namespace sheetcraft {
namespace {

TEST(VersionWindow, HistoryIsExactToTheByte) {
    const std::string expected =
        "Vers: 1.2.11:  Added Part Number to Search Criteria. Changed Report to show Part Number "
        "and either Job or Quote Number. Stopped AutoCenter from being enabled when user moved "
        "frame to side of screen.\r\n\r\n"
        "Vers: 1.2.10:  Corrected Stock Waste display for Dutch Cuts. Now displays 1 decimal value "
        "rather than simple integer.\r\n\r\n"
        "Vers: 1.2.9:  Improved printed report for previous gripper error. Added a menu item "
        "called Metric Units under Setup under File Menu that permits a second test sample of "
        "metric sizes, rather than default English sizes. Changed both on-screen and printed "
        "displays to show appropriate words when running a standard or dutch cut on the Parent "
        "Sheet. Corrected a problem with incorrect display of number out in Printed "
        "Report.\r\n\r\n"
        "Vers: 1.2.8:  Corrected rounding error that permitted a finished size of 3x4.25 to "
        "provide more up than 3x4.20 on an 11.5x17.5 press sheet\r\n\r\n"
        "Vers: 1.2.5:  Eliminated path requirement and changed gripper calculation. Disable Search "
        "if No Folder selected.   Enable selection of Text and save data.\r\n\r\n"
        "Vers: 1.2.4:  Added Frame arrows and side by side comparison.\r\n\r\n"
        "Vers: 1.0.0:  First release to current users.";
    EXPECT_EQ(frmVersion::versionHistory().toStdString(), expected);
}

// Reopened, the window shows the list once, read-only, with somewhere to scroll.
TEST(VersionWindow, EachOpeningShowsTheListOnceAndScrolls) {
    QString expected = frmVersion::versionHistory();
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (int opening = 0; opening < 2; ++opening) {
        QPointer<frmVersion> w = frmVersion::showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(w->Text1->toPlainText().toStdString(), expected.toStdString());
        EXPECT_TRUE(w->Text1->isReadOnly());
        EXPECT_GT(w->Text1->verticalScrollBar()->maximum(), 0);
        w->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000));
    }
}

} // namespace
} // namespace sheetcraft
