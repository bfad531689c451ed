#include "configfolder.h"
#include "qstringprint.h"
#include "recordingsink.h"
#include "settingsfiles.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <optional>

namespace sheetcraft {
namespace {

using test::ConfigFolder;
using test::RecordingSink;
using Next = StartupState::Next;

TEST(Startup, CaptionCarriesTheBuildVersion) {
    EXPECT_EQ(mainWindowCaption(), QStringLiteral("Zorvath Layout Program   Version: 1.2.11"));
}

struct LocationRow {
    const char *name;
    std::optional<QByteArray> file; // nothing: no location file at all
    Next next;
    bool searchEnabled;
    QString dataFolder;
    QString estFolder;
    const char *message; // nullptr: no message
};

class StartupLocation : public testing::TestWithParam<LocationRow> {};

TEST_P(StartupLocation, ReadsFoldersAndDecidesSearch) {
    const LocationRow &row = GetParam();
    ConfigFolder config;
    if (row.file)
        config.write(locationFileName, *row.file);
    config.write(modeFileName, "M\r\n");
    RecordingSink sink;
    int ended = 0;

    const StartupState state = loadStartup(sink, [&] { ++ended; });

    EXPECT_EQ(state.next, row.next);
    EXPECT_EQ(state.searchEnabled, row.searchEnabled);
    EXPECT_EQ(state.dataFolder, row.dataFolder);
    EXPECT_EQ(state.estFolder, row.estFolder);
    if (row.message) {
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0], row.message);
        EXPECT_EQ(ended, 1);
    } else {
        EXPECT_TRUE(sink.messages.empty());
        EXPECT_EQ(ended, 0);
    }
    if (row.next != Next::ShowMainWindow) {
        // Nothing past the location file runs: designed Search and marks.
        EXPECT_TRUE(state.databasePath.isEmpty());
        EXPECT_TRUE(state.marks.mnuTxt);
        EXPECT_FALSE(state.marks.mnuKel);
    }
}

const QString nf = QStringLiteral("No Folder Selected");

INSTANTIATE_TEST_SUITE_P(
    Rows, StartupLocation,
    testing::Values(
        LocationRow{"BothNoFolder", QByteArray("No Folder Selected\r\nNo Folder Selected\r\n"),
                    Next::ShowMainWindow, false, nf, nf, nullptr},
        LocationRow{"DataChosen", QByteArray("/srv/data\r\nNo Folder Selected\r\n"),
                    Next::ShowMainWindow, true, "/srv/data", nf, nullptr},
        LocationRow{"EstChosen", QByteArray("No Folder Selected\r\n/srv/est\r\n"),
                    Next::ShowMainWindow, true, nf, "/srv/est", nullptr},
        LocationRow{"PlainLineFeedsAndMark",
                    QByteArray("\xEF\xBB\xBFNo Folder Selected\nNo Folder Selected\n"),
                    Next::ShowMainWindow, false, nf, nf, nullptr},
        // Positions 1 and 2 share no bit, positions 3 and 1 do.
        LocationRow{"PositionsOneAndTwo", QByteArray("No Folder Selected\r\nxNo Folder\r\n"),
                    Next::ShowMainWindow, true, nf, "xNo Folder", nullptr},
        LocationRow{"PositionsThreeAndOne", QByteArray("abNo Folder\r\nNo Folder Selected\r\n"),
                    Next::ShowMainWindow, false, "abNo Folder", nf, nullptr},
        LocationRow{"QuotedKeepsComma", QByteArray("\"/srv/Data, Inc\"\r\n/srv/est\r\n"),
                    Next::ShowMainWindow, true, "/srv/Data, Inc", "/srv/est", nullptr},
        LocationRow{"NoFile", std::nullopt, Next::ShowFolderWindow, true, {}, {}, nullptr},
        LocationRow{"OneLine",
                    QByteArray("/srv/data\r\n"),
                    Next::EndProgram,
                    true,
                    {},
                    {},
                    "Error Number 62. Exit Job"},
        LocationRow{
            "Empty", QByteArray(""), Next::EndProgram, true, {}, {}, "Error Number 62. Exit Job"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Startup, UnreadableLocationFileEndsTheRun) {
    ConfigFolder config;
    QDir().mkpath(config.file(locationFileName)); // a folder where the file should be
    RecordingSink sink;
    int ended = 0;
    const StartupState state = loadStartup(sink, [&] { ++ended; });
    EXPECT_EQ(state.next, Next::EndProgram);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0], "Error Number 75. Exit Job");
    EXPECT_EQ(ended, 1);
}

struct ModeRow {
    const char *name;
    std::optional<QByteArray> file;
    bool kelvane;
    QByteArray after;
};

class StartupMode : public testing::TestWithParam<ModeRow> {};

TEST_P(StartupMode, FirstCharacterDecides) {
    const ModeRow &row = GetParam();
    ConfigFolder config;
    config.write(locationFileName, "No Folder Selected\r\nNo Folder Selected\r\n");
    if (row.file)
        config.write(modeFileName, *row.file);
    RecordingSink sink;
    const StartupState state = loadStartup(sink, [] {});
    EXPECT_EQ(state.marks.mnuKel, row.kelvane);
    EXPECT_EQ(state.marks.mnuTxt, !row.kelvane);
    EXPECT_EQ(config.read(modeFileName), row.after);
    EXPECT_TRUE(sink.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, StartupMode,
                         testing::Values(ModeRow{"LowerCaseM", QByteArray("m\r\n"), false, "m\r\n"},
                                         ModeRow{"MWithMore", QByteArray("Mxyz\r\n"), true,
                                                 "Mxyz\r\n"},
                                         ModeRow{"Text", QByteArray("T\r\n"), false, "T\r\n"},
                                         ModeRow{"Empty", QByteArray(""), true, "M\r\n"},
                                         ModeRow{"Missing", std::nullopt, true, "M\r\n"}),
                         [](const auto &info) { return std::string(info.param.name); });

struct ModeItemRow {
    const char *name;
    std::optional<QByteArray> file;
    bool kelvaneItem; // "Kelvane" clicked, else "Text (Dos)"
    QByteArray after;
};

class ModeItems : public testing::TestWithParam<ModeItemRow> {};

TEST_P(ModeItems, RewriteOnlyTheOtherLetterOrAMissingFile) {
    const ModeItemRow &row = GetParam();
    ConfigFolder config;
    if (row.file)
        config.write(modeFileName, *row.file);
    RecordingSink sink;
    const ModeMarks marks = row.kelvaneItem ? mnuKel_Click(sink) : mnuTxt_Click(sink);
    EXPECT_EQ(marks.mnuKel, row.kelvaneItem);
    EXPECT_EQ(marks.mnuTxt, !row.kelvaneItem);
    EXPECT_EQ(config.read(modeFileName), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ModeItems,
    testing::Values(ModeItemRow{"KelOverText", QByteArray("T\r\n"), true, "M\r\n"},
                    ModeItemRow{"KelOverOther", QByteArray("X\r\n"), true, "X\r\n"},
                    ModeItemRow{"KelMissing", std::nullopt, true, "M\r\n"},
                    ModeItemRow{"TxtOverKel", QByteArray("M\r\n"), false, "T\r\n"},
                    ModeItemRow{"TxtEmpty", QByteArray(""), false, "T\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LocationFileFormat, CommaInAFolderSplitsOnTheWayBack) {
    ConfigFolder config;
    RecordingSink sink;
    ASSERT_TRUE(writeLocationFile("C:\\Data, Inc", "D:\\Est", sink));
    EXPECT_EQ(config.read(locationFileName), QByteArray("C:\\Data, Inc\r\nD:\\Est\r\n"));
    const LocationFile back = readLocationFile();
    EXPECT_EQ(back.error, 0);
    EXPECT_EQ(back.dataFolder, "C:\\Data");
    EXPECT_EQ(back.estFolder, "Inc");
}

TEST(DatabasePath, FollowsTheFolderAsItStands) {
    ConfigFolder config;
    const QString exact = config.root() + "/exact";
    const QString other = config.root() + "/othercase";
    const QString none = config.root() + "/none";
    QDir().mkpath(exact);
    QDir().mkpath(other);
    QDir().mkpath(none);
    QFile(exact + "/zvData.mdb").open(QIODevice::WriteOnly);
    QFile(exact + "/ZVDATA.MDB").open(QIODevice::WriteOnly);
    QFile(other + "/ZVDATA.MDB").open(QIODevice::WriteOnly);

    EXPECT_EQ(composeDatabasePath(exact), exact + "/zvData.mdb");
    EXPECT_EQ(composeDatabasePath(other), other + "/ZVDATA.MDB");
    EXPECT_EQ(composeDatabasePath(none), none + "/zvData.mdb");
    EXPECT_EQ(composeDatabasePath(none + "/"), none + "//zvData.mdb");
    EXPECT_EQ(composeDatabasePath(nf), nf + "/zvData.mdb");
}

TEST(SettingsWrite, FolderThatCannotBeCreatedIsReportedNotFatal) {
    ConfigFolder config;
    QFile blocker(config.root() + "/blocker");
    blocker.open(QIODevice::WriteOnly);
    blocker.close();
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (config.root() + "/blocker/cfg").toLocal8Bit());
    RecordingSink sink;

    EXPECT_FALSE(writeLocationFile(nf, nf, sink));
    const StartupState state = loadStartup(sink, [] { FAIL() << "the run must not end"; });
    qputenv("XDG_CONFIG_HOME", old);

    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("zvkelck.dat"), std::string::npos);
    EXPECT_EQ(state.next, Next::ShowFolderWindow);
}

TEST(SettingsWrite, ReadOnlyFolderKeepsTheOldFiles) {
    ConfigFolder config;
    config.write(locationFileName, "/old/data\r\n/old/est\r\n");
    config.write(modeFileName, "T\r\n");
    if (!config.lockSettings())
        GTEST_SKIP() << "cannot make a folder read-only here";
    RecordingSink sink;

    EXPECT_FALSE(writeLocationFile("/new/data", "/new/est", sink));
    const ModeMarks marks = mnuKel_Click(sink);

    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_NE(sink.messages[0].find("zvkelck.dat"), std::string::npos) << sink.messages[0];
    EXPECT_NE(sink.messages[1].find("FileMenu.txt"), std::string::npos) << sink.messages[1];
    EXPECT_TRUE(marks.mnuKel); // the mode still changes for this run
    EXPECT_EQ(config.read(locationFileName), QByteArray("/old/data\r\n/old/est\r\n"));
    EXPECT_EQ(config.read(modeFileName), QByteArray("T\r\n"));
}

} // namespace
} // namespace sheetcraft
