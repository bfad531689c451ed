#include "configfolder.h"
#include "recordingsink.h"
#include "settingsfiles.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace sheetcraft {
namespace {

using test::ConfigFolder;
using test::RecordingSink;
using Next = StartupState::Next;

const QString nf = QStringLiteral("No Folder Selected");
const char *const asFolder = "<a folder>"; // a folder where the file should be

TEST(Startup, CaptionCarriesTheBuildVersion) {
    EXPECT_EQ(mainWindowCaption(), QStringLiteral("Zorvath Layout Program   Version: 1.2.11"));
}

TEST(Startup, LocationFileDecidesFoldersSearchAndWhatComesNext) {
    const Next toMain = Next::ShowMainWindow, toEnd = Next::EndProgram;
    const struct {
        const char *name;
        const char *file; // nullptr: no location file at all
        Next next;
        bool searchEnabled;
        QString dataFolder, estFolder;
        const char *message = nullptr; // shown before the run ends
    } rows[] = {
        {"both no folder", "No Folder Selected\r\nNo Folder Selected\r\n", toMain, false, nf, nf},
        {"data chosen", "/srv/data\r\nNo Folder Selected\r\n", toMain, true, "/srv/data", nf},
        {"line feeds, byte-order mark", "\xEF\xBB\xBFNo Folder Selected\nNo Folder Selected\n",
         toMain, false, nf, nf},
        // Positions 1 and 2 share no bit, positions 3 and 1 do.
        {"positions 1 and 2", "No Folder Selected\r\nxNo Folder\r\n", toMain, true, nf,
         "xNo Folder"},
        {"positions 3 and 1", "abNo Folder\r\nNo Folder Selected\r\n", toMain, false, "abNo Folder",
         nf},
        {"quoted comma", "\"/srv/Data, Inc\"\r\n/srv/est\r\n", toMain, true, "/srv/Data, Inc",
         "/srv/est"},
        {"no file", nullptr, Next::ShowFolderWindow, true, {}, {}},
        {"one line", "/srv/data\r\n", toEnd, true, {}, {}, "Error Number 62. Exit Job"},
        {"unreadable", asFolder, toEnd, true, {}, {}, "Error Number 75. Exit Job"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ConfigFolder config;
        if (row.file == asFolder)
            QDir().mkpath(config.file(locationFileName));
        else if (row.file)
            config.write(locationFileName, row.file);
        config.write(modeFileName, "M\r\n");
        RecordingSink sink;
        int ended = 0;

        const StartupState state = loadStartup(sink, [&] { ++ended; });

        EXPECT_EQ(state.next, row.next);
        EXPECT_EQ(state.searchEnabled, row.searchEnabled);
        EXPECT_EQ(state.dataFolder, row.dataFolder);
        EXPECT_EQ(state.estFolder, row.estFolder);
        EXPECT_EQ(sink.messages,
                  row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
        EXPECT_EQ(ended, row.message ? 1 : 0);
        if (row.next != Next::ShowMainWindow) {
            // Nothing past the location file runs: designed Search and marks.
            EXPECT_TRUE(state.databasePath.isEmpty());
            EXPECT_TRUE(state.marks.mnuTxt);
            EXPECT_FALSE(state.marks.mnuKel);
        }
    }
}

TEST(Startup, ModeFileFirstCharacterDecidesAndAMissingOneIsRecreated) {
    const struct {
        const char *file; // nullptr: no mode file
        bool kelvane;
        QByteArray after;
    } rows[] = {{"m\r\n", false, "m\r\n"},
                {"Mxyz\r\n", true, "Mxyz\r\n"},
                {"", true, "M\r\n"},
                {nullptr, true, "M\r\n"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file ? row.file : "missing");
        ConfigFolder config;
        config.write(locationFileName, "No Folder Selected\r\nNo Folder Selected\r\n");
        if (row.file)
            config.write(modeFileName, row.file);
        RecordingSink sink;
        const StartupState state = loadStartup(sink, [] {});
        EXPECT_EQ(state.marks.mnuKel, row.kelvane);
        EXPECT_EQ(state.marks.mnuTxt, !row.kelvane);
        EXPECT_EQ(config.read(modeFileName), row.after);
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST(ModeItems, RewriteOnlyTheOtherLetterOrAMissingFile) {
    const struct {
        const char *file; // nullptr: no mode file
        bool kelvaneItem; // "Kelvane" clicked, else "Text (Dos)"
        QByteArray after;
    } rows[] = {{"T\r\n", true, "M\r\n"},
                {"X\r\n", true, "X\r\n"},
                {nullptr, true, "M\r\n"},
                {"M\r\n", false, "T\r\n"},
                {"", false, "T\r\n"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.kelvaneItem ? "Kelvane over " : "Text over ") +
                     (row.file ? row.file : "missing"));
        ConfigFolder config;
        if (row.file)
            config.write(modeFileName, row.file);
        RecordingSink sink;
        const ModeMarks marks = row.kelvaneItem ? mnuKel_Click(sink) : mnuTxt_Click(sink);
        EXPECT_EQ(marks.mnuKel, row.kelvaneItem);
        EXPECT_EQ(marks.mnuTxt, !row.kelvaneItem);
        EXPECT_EQ(config.read(modeFileName), row.after);
    }
}

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

TEST(DatabasePath, ExactNameFirstThenAnyLetterCase) {
    ConfigFolder config;
    const QString exact = config.root() + "/exact", other = config.root() + "/other";
    QDir().mkpath(exact);
    QDir().mkpath(other);
    for (const QString &file :
         {exact + "/zvData.mdb", exact + "/ZVDATA.MDB", other + "/ZVDATA.MDB"})
        QFile(file).open(QIODevice::WriteOnly);

    EXPECT_EQ(composeDatabasePath(exact), exact + "/zvData.mdb");
    EXPECT_EQ(composeDatabasePath(other), other + "/ZVDATA.MDB");
    EXPECT_EQ(composeDatabasePath(config.root() + "/none/"), config.root() + "/none//zvData.mdb");
    EXPECT_EQ(composeDatabasePath(nf), nf + "/zvData.mdb");
}

// A failed write names the file, keeps the old one and never ends the run.
TEST(SettingsWrite, UnwritableFolderIsReportedAndKeepsTheOldFiles) {
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
