#include "frmabout.h"
#include "frmversion.h"
#include "recordingsink.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace sheetcraft {

// OK is both the default and the cancel button.
TEST(AboutWindow, EscapeAndEnterClose) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        test::RecordingSink sink;
        QPointer<frmAbout> w = frmAbout::showWindow(sink);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000)) << key;
    }
}

// The description says what the program works out and where its sizes come from.
TEST(AboutWindow, DescriptionIsAPlainSentence) {
    test::RecordingSink sink;
    frmAbout w(sink);
    EXPECT_EQ(w.lblDescription->text().toStdString(),
              "Sheetcraft works out how many finished pieces can be cut from a press sheet and how "
              "many press sheets from a parent sheet. It takes the sizes either as you type them "
              "or from the order-entry database (zvData.mdb), which it only reads and never "
              "changes.");
}

// The first program found in the fixed order is launched (none of the
// "hardinfo" ones here); a failed launch, or none found, says so.
TEST(AboutWindow, SystemInfo) {
    test::RecordingSink sink;
    QStringList started;
    SysInfoLauncher launcher;
    launcher.findExecutable = [](const QString &n) { return n.startsWith('h') ? "" : "/bin/" + n; };
    launcher.startDetached = [&](const QString &program) { return started << program, false; };
    StartSysInfo(sink, launcher);
    EXPECT_EQ(started, QStringList{"/bin/kinfocenter"});
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    frmAbout w(sink);
    w.show();
    QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
    qputenv("PATH", oldPath);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>(2, "System Information Is Unavailable At This Time"));
    EXPECT_TRUE(w.isVisible());
}

// The history exactly to the byte; each opening shows it once, read-only and scrollable.
TEST(VersionWindow, HistoryIsExactAndEachOpeningShowsItOnce) {
    const QString expected = QStringLiteral(
        "Vers: 1.2.11:  Added Part Number to Search Criteria. Changed Report to show Part Number "
        "and either Job or Quote Number. Stopped AutoCenter from being enabled when user moved "
        "frame to side of screen.\r\n\r\nVers: 1.2.10:  Corrected Stock Waste display for Dutch "
        "Cuts. Now displays 1 decimal value rather than simple integer.\r\n\r\nVers: 1.2.9:  "
        "Improved printed report for previous gripper error. Added a menu item called Metric "
        "Units under Setup under File Menu that permits a second test sample of metric sizes, "
        "rather than default English sizes. Changed both on-screen and printed displays to show "
        "appropriate words when running a standard or dutch cut on the Parent Sheet. Corrected a "
        "problem with incorrect display of number out in Printed Report.\r\n\r\nVers: 1.2.8:  "
        "Corrected rounding error that permitted a finished size of 3x4.25 to provide more up "
        "than 3x4.20 on an 11.5x17.5 press sheet\r\n\r\nVers: 1.2.5:  Eliminated path "
        "requirement and changed gripper calculation. Disable Search if No Folder selected.   "
        "Enable selection of Text and save data.\r\n\r\nVers: 1.2.4:  Added Frame arrows and side "
        "by side comparison.\r\n\r\nVers: 1.0.0:  First release to current users.");
    EXPECT_EQ(frmVersion::versionHistory().toStdString(), expected.toStdString());
    for (int opening = 0; opening < 2; ++opening) {
        QPointer<frmVersion> w = frmVersion::showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(w->Text1->toPlainText(), QString(expected).replace("\r\n", "\n"));
        // Opens at the newest entry; the oldest is reached by scrolling.
        EXPECT_EQ(w->Text1->verticalScrollBar()->value(), 0);
        w->Text1->moveCursor(QTextCursor::End);
        EXPECT_TRUE(w->Text1->viewport()->rect().contains(w->Text1->cursorRect()));
        w->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000));
    }
}

} // namespace sheetcraft
