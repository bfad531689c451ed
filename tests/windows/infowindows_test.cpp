#include "frmabout.h"
#include "frmpath.h"
#include "frmversion.h"
#include "pictures.h"
#include "recordingsink.h"
#include "version.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

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

// The icon is drawn (a missing SVG engine or resource leaves it blank): a
// white sheet with blue gripper hatching and red piece hatching, in About too.
TEST(AboutWindow, ShowsTheProgramsIcon) {
    const QImage icon = applicationIcon().pixmap(48, 48).toImage();
    int opaque = 0, red = 0, blue = 0;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            const QColor c = icon.pixelColor(x, y);
            opaque += c.alpha() == 255;
            red += c.red() > 200 && c.green() < 160 && c.blue() < 160;
            blue += c.blue() > 200 && c.red() < 160 && c.green() < 160;
        }
    EXPECT_TRUE(opaque > icon.width() * icon.height() / 2 && red > 20 && blue > 5);
    test::RecordingSink sink;
    frmAbout about(sink);
    EXPECT_EQ(about.picIcon->pixmap().toImage().convertToFormat(icon.format()), icon);
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

// The history starts with this release; each opening shows it once, one blank
// line between entries, scrollable to the oldest.
TEST(VersionWindow, HistoryStartsWithThisReleaseAndEachOpeningShowsItOnce) {
    const QStringList entries = frmVersion::versionHistory().split(QStringLiteral("\r\n\r\n"));
    ASSERT_GT(entries.size(), 1);
    EXPECT_TRUE(entries.first().startsWith(QStringLiteral("Vers: %1:  ").arg(versionText)));
    for (int opening = 0; opening < 2; ++opening) {
        QPointer<frmVersion> w = frmVersion::showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(w->Text1->toPlainText(), entries.join("\n\n"));
        // Opens at the newest entry; the oldest is reached by scrolling.
        EXPECT_EQ(w->Text1->verticalScrollBar()->value(), 0);
        w->Text1->moveCursor(QTextCursor::End);
        EXPECT_TRUE(w->Text1->viewport()->rect().contains(w->Text1->cursorRect()));
        w->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000));
    }
}

// Each of these windows opens once in a run: asking again brings the open one
// back, restored when minimised; once closed it opens afresh.
TEST(SingleWindows, AskingAgainBringsBackTheOpenOne) {
    test::RecordingSink sink;
    const std::pair<const char *, std::function<QWidget *()>> kinds[] = {
        {"folder", [&] { return frmPath::showWindow(sink); }},
        {"about", [&] { return frmAbout::showWindow(sink); }},
        {"versions", [] { return frmVersion::showWindow(); }}};
    for (const auto &[name, show] : kinds) {
        QPointer<QWidget> first = show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(first)) << name;
        first->setWindowState(Qt::WindowMinimized);
        EXPECT_EQ(show(), first.data()) << name;
        EXPECT_FALSE(first->isMinimized()) << name;
        first->close();
        ASSERT_TRUE(QTest::qWaitFor([&] { return first.isNull(); }, 2000)) << name;
        QPointer<QWidget> second = show();
        EXPECT_TRUE(second && second->isVisible()) << name;
        second->close();
        EXPECT_TRUE(QTest::qWaitFor([&] { return second.isNull(); }, 2000)) << name;
    }
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace sheetcraft
