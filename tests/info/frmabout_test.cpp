#include "frmabout.h"
#include "recordingsink.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace sheetcraft {
namespace {

using test::RecordingSink;

const std::string unavailable = "System Information Is Unavailable At This Time";

class AboutKeys : public testing::TestWithParam<Qt::Key> {};

TEST_P(AboutKeys, CloseTheWindow) {
    RecordingSink sink;
    QPointer<frmAbout> w = frmAbout::showWindow(sink);
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, GetParam());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }, 2000));
}

INSTANTIATE_TEST_SUITE_P(Keys, AboutKeys,
                         testing::Values(Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter));

struct SysInfoRow {
    const char *name;
    const char *installed; // the one candidate on the PATH, or nullptr
    bool launchWorks;
    const char *started; // what should have been launched, or nullptr
};

class SysInfo : public testing::TestWithParam<SysInfoRow> {};

TEST_P(SysInfo, LaunchesTheFirstProgramFoundOrSaysSo) {
    const SysInfoRow &row = GetParam();
    RecordingSink sink;
    QStringList started;
    SysInfoLauncher launcher;
    launcher.findExecutable = [&](const QString &name) {
        return row.installed && name == QLatin1String(row.installed) ? "/usr/bin/" + name
                                                                     : QString();
    };
    launcher.startDetached = [&](const QString &program) {
        started << program;
        return row.launchWorks;
    };

    StartSysInfo(sink, launcher);

    if (row.started) {
        EXPECT_EQ(started, QStringList{QString::fromLatin1(row.started)});
    } else {
        EXPECT_LE(started.size(), 1);
    }
    const bool shouldComplain = !row.started || !row.launchWorks;
    EXPECT_EQ(sink.messages,
              shouldComplain ? std::vector<std::string>{unavailable} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Rows, SysInfo,
                         testing::Values(SysInfoRow{"NoneInstalled", nullptr, true, nullptr},
                                         SysInfoRow{"OnlyMonitor", "gnome-system-monitor", true,
                                                    "/usr/bin/gnome-system-monitor"},
                                         SysInfoRow{"LaunchFails", "hardinfo2", false,
                                                    "/usr/bin/hardinfo2"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(AboutWindow, SystemInfoWithAnEmptyPathKeepsTheWindowOpen) {
    QTemporaryDir empty;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", empty.path().toLocal8Bit());
    RecordingSink sink;
    frmAbout w(sink);
    w.show();
    QTest::mouseClick(w.cmdSysInfo, Qt::LeftButton);
    qputenv("PATH", oldPath);
    EXPECT_EQ(sink.messages, std::vector<std::string>{unavailable});
    EXPECT_TRUE(w.isVisible());
}

} // namespace
} // namespace sheetcraft
