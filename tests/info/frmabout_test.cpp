#include "frmabout.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace sheetcraft {
namespace {

using test::RecordingSink;
using Texts = std::vector<std::string>;

const std::string unavailable = "System Information Is Unavailable At This Time";

// OK is both the default and the cancel button.
TEST(AboutWindow, EscapeAndEnterClose) {
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        SCOPED_TRACE(key);
        RecordingSink sink;
        QPointer<frmAbout> w = frmAbout::showWindow(sink);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, key);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000));
    }
}

// The candidates are tried in their fixed order; the first one on the PATH is
// launched.
TEST(SysInfo, LaunchesTheFirstProgramFoundOrSaysSo) {
    const struct {
        QStringList installed;
        const char *started;
        bool launchWorks;
    } rows[] = {{{"gnome-system-monitor", "kinfocenter"}, "kinfocenter", true},
                {{"hardinfo2"}, "hardinfo2", false}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.started);
        RecordingSink sink;
        QStringList started;
        SysInfoLauncher launcher;
        launcher.findExecutable = [&](const QString &name) {
            return row.installed.contains(name) ? "/usr/bin/" + name : QString();
        };
        launcher.startDetached = [&](const QString &program) {
            started << program;
            return row.launchWorks;
        };
        StartSysInfo(sink, launcher);
        EXPECT_EQ(started, QStringList{"/usr/bin/" + QLatin1String(row.started)});
        EXPECT_EQ(sink.messages, row.launchWorks ? Texts{} : Texts{unavailable});
    }
}

TEST(AboutWindow, SystemInfoWithNoProgramOnThePathSaysSoAndStaysOpen) {
    QTemporaryDir empty;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    RecordingSink sink;
    frmAbout w(sink);
    w.show();
    QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
    qputenv("PATH", oldPath);
    EXPECT_EQ(sink.messages, Texts{unavailable});
    EXPECT_TRUE(w.isVisible());
}

} // namespace
} // namespace sheetcraft
