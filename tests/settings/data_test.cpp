#include "cutplansettings.h"
#include "frmpath.h"
#include "recordingsink.h"
#include "saidlog.h"
#include "settingsfiles.h"
#include "startup.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

// Readable QString and QByteArray values in failure messages.
void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << qPrintable(text) << '"';
}
void PrintTo(const QByteArray &bytes, std::ostream *os) {
    *os << '"' << bytes.data() << '"';
}

namespace sheetcraft {
namespace {

using Next = StartupState::Next;
using Texts = std::vector<std::string>;
const QString nf = QStringLiteral("No Folder Selected");

// Points XDG_CONFIG_HOME at a fresh folder for one test and restores it after.
class ConfigFolder {
public:
    ConfigFolder() : m_old(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
    }
    ~ConfigFolder() {
        if (QFileInfo::exists(settings()))
            QProcess::execute("chattr", {"-i", settings()});
        qputenv("XDG_CONFIG_HOME", m_old);
    }
    QString root() const { return m_dir.path(); }
    QString settings() const { return root() + QStringLiteral("/sheetcraft"); }
    QString file(const char *name) const { return settings() + '/' + QLatin1String(name); }
    void write(const char *name, const QByteArray &bytes) const {
        QDir().mkpath(settings());
        QFile f(file(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    QByteArray read(const char *name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Makes the settings folder refuse new files; permissions do not stop
    // root, so it is made immutable too. False when neither works here.
    bool lockSettings() const {
        QDir().mkpath(settings());
        QFile(settings()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QProcess::execute("chattr", {"+i", settings()});
        QFile probe(settings() + QStringLiteral("/probe"));
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

TEST(Startup, LocationFileDecidesFoldersSearchAndWhatComesNext) {
    // Special files where the file should be.
    const char *const asFolder = "<a folder>", *const asFifo = "<a FIFO>",
                      *const asZeroLink = "<a link to /dev/zero>";
    const std::string tooLarge = "/srv/data\r\n/srv/est\r\n" + std::string(64 * 1024, ' ');
    const Next toMain = Next::ShowMainWindow, toEnd = Next::EndProgram;
    const struct {
        const char *file; // nullptr: no location file at all
        Next next;
        bool searchEnabled;
        QString dataFolder, estFolder;
        const char *message = nullptr; // shown before the run ends
    } rows[] = {{"No Folder Selected\r\nNo Folder Selected\r\n", toMain, false, nf, nf},
                {"/srv/data\r\nNo Folder Selected\r\n", toMain, true, "/srv/data", nf},
                {"\xEF\xBB\xBFNo Folder Selected\nNo Folder Selected\n", toMain, false, nf, nf},
                // "No Folder" found at positions 1 and 2 shares no bit; at 3 and 1 it does.
                {"No Folder Selected\r\nxNo Folder\r\n", toMain, true, nf, "xNo Folder"},
                {"abNo Folder\r\nNo Folder Selected\r\n", toMain, false, "abNo Folder", nf},
                {"\"/srv/Data, Inc\"\r\n/srv/est\r\n", toMain, true, "/srv/Data, Inc", "/srv/est"},
                {nullptr, Next::ShowFolderWindow, true, {}, {}},
                {"/srv/data\r\n", toEnd, true, {}, {}, "Error Number 62. Exit Job"},
                {asFolder, toEnd, true, {}, {}, "Error Number 75. Exit Job"},
                {asFifo, toEnd, true, {}, {}, "Error Number 75. Exit Job"},
                {asZeroLink, toEnd, true, {}, {}, "Error Number 75. Exit Job"},
                {tooLarge.c_str(), toEnd, true, {}, {}, "Error Number 75. Exit Job"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.file ? row.file : "no file");
        ConfigFolder config;
        config.write(modeFileName, "M\r\n");
        if (row.file == asFolder)
            QDir().mkpath(config.file(locationFileName));
        else if (row.file == asFifo)
            ASSERT_EQ(::mkfifo(QFile::encodeName(config.file(locationFileName)), 0600), 0);
        else if (row.file == asZeroLink)
            QFile::link(QStringLiteral("/dev/zero"), config.file(locationFileName));
        else if (row.file)
            config.write(locationFileName, row.file);
        ::alarm(20); // a start-up that blocks on the file ends the test run here
        const StartupState state = loadStartup();
        ::alarm(0);
        test::SaidLog sink;
        sink.add(state.said);
        const int ended = state.said.then == FollowUp::EndProgram ? 1 : 0;
        EXPECT_EQ(std::pair(state.next, state.searchEnabled),
                  std::pair(row.next, row.searchEnabled));
        EXPECT_EQ(state.dataFolder + "|" + state.estFolder, row.dataFolder + "|" + row.estFolder);
        EXPECT_EQ(sink.messages, row.message ? Texts{row.message} : Texts{});
        EXPECT_EQ(ended, row.message ? 1 : 0);
        // Nothing past the location file runs: no database path, the designed marks.
        EXPECT_EQ(state.databasePath.isEmpty() && !state.marks.mnuKel, row.next != toMain);
    }
}

// At start-up the first character (after a byte-order mark) decides and a
// missing or empty file is recreated; a mode item rewrites only the other
// letter or a missing file. A FIFO is never read from nor replaced.
TEST(ModeFile, StartupAndMenuItems) {
    const char *const asFifo = "<a FIFO>";
    const char *const fifoRefused = "could not be saved: Not a regular file.";
    const std::string largeFile = "T\r\n" + std::string(10 << 20, 'x');
    const char *const tooLarge = largeFile.c_str();
    const struct {
        const char *file; // nullptr: no mode file
        char action;      // 'S'tart-up, 'K'elvane or 'T'ext (Dos) clicked
        bool kelvane;
        QByteArray after;
        const char *message = nullptr; // the end of the one message shown
    } rows[] = {{"m\r\n", 'S', false, "m\r\n"},
                {"Mxyz\r\n", 'S', true, "Mxyz\r\n"},
                {"", 'S', true, "M\r\n"},
                {nullptr, 'S', true, "M\r\n"},
                {"\xEF\xBB\xBFM\r\n", 'S', true, "\xEF\xBB\xBFM\r\n"},
                {"\xEF\xBB\xBFT\r\n", 'K', true, "M\r\n"},
                {asFifo, 'S', true, {}, fifoRefused},
                {asFifo, 'T', false, {}, fifoRefused},
                {"T\r\n", 'K', true, "M\r\n"},
                {"X\r\n", 'K', true, "X\r\n"},
                {nullptr, 'K', true, "M\r\n"},
                {"M\r\n", 'T', false, "T\r\n"},
                {tooLarge, 'S', true, "M\r\n",
                 "could not be read (larger than 64 KB); it has been "
                 "written anew."},
                {"", 'T', false, "T\r\n"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(1, row.action) + " over " + (row.file ? row.file : "missing"));
        ConfigFolder config;
        config.write(locationFileName, "No Folder Selected\r\nNo Folder Selected\r\n");
        if (row.file == asFifo)
            ASSERT_EQ(::mkfifo(QFile::encodeName(config.file(modeFileName)), 0600), 0);
        else if (row.file)
            config.write(modeFileName, row.file);
        ::alarm(20); // a start-up that blocks on the file ends the test run here
        const StartupState start = row.action == 'S' ? loadStartup() : StartupState{};
        const ModeChoice choice = row.action == 'S'   ? ModeChoice{start.marks, start.said}
                                  : row.action == 'K' ? mnuKel_Click()
                                                      : mnuTxt_Click();
        ::alarm(0);
        const ModeMarks marks = choice.marks;
        test::SaidLog sink;
        sink.add(choice.said);
        EXPECT_EQ(std::pair(marks.mnuKel, marks.mnuTxt), std::pair(row.kelvane, !row.kelvane));
        EXPECT_EQ(QFileInfo(config.file(modeFileName)).isFile(), row.file != asFifo);
        if (row.file != asFifo) {
            EXPECT_EQ(config.read(modeFileName), row.after);
        }
        ASSERT_EQ(sink.messages.size(), row.message ? 1u : 0u);
        if (row.message) {
            EXPECT_TRUE(sink.messages[0].ends_with(row.message)) << sink.messages[0];
        }
    }
}

// The cut-plan file takes any of the line ends the other files take.
TEST(SettingsFiles, CutPlanFileReadsEveryLineEnd) {
    for (const QByteArray end : {"\r\n", "\r", "\n"}) {
        ConfigFolder config;
        config.write(cutPlanFileName,
                     "quantity=5000" + end + "spoilage=2.5" + end + "press-grain=along");
        const CutPlanSettings read = readCutPlanSettings();
        EXPECT_EQ(read.quantity + read.spoilage + read.pressGrain, "50002.5along")
            << end.toHex().data();
    }
}

// A comma splits the folder on the way back; the database file is found by
// its exact name first, then in any letter case.
TEST(SettingsFiles, CommaRoundTripAndDatabasePath) {
    ConfigFolder config;
    ASSERT_TRUE(writeLocationFile("C:\\Data, Inc", "D:\\Est").saysNothing());
    EXPECT_EQ(config.read(locationFileName), QByteArray("C:\\Data, Inc\r\nD:\\Est\r\n"));
    const LocationFile back = readLocationFile();
    EXPECT_EQ(back.error, 0);
    EXPECT_EQ(back.dataFolder + "|" + back.estFolder, "C:\\Data|Inc");

    const QString exact = config.root() + "/exact", other = config.root() + "/other";
    for (const QString &file :
         {exact + "/zvData.mdb", exact + "/ZVDATA.MDB", other + "/ZVDATA.MDB"})
        QDir().mkpath(QFileInfo(file).path()), QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(composeDatabasePath(exact), exact + "/zvData.mdb");
    EXPECT_EQ(composeDatabasePath(other), other + "/ZVDATA.MDB");
    EXPECT_EQ(composeDatabasePath(config.root() + "/none/"), config.root() + "/none//zvData.mdb");
    EXPECT_EQ(composeDatabasePath(nf), nf + "/zvData.mdb");
}

// A failed write names the file, keeps the old one and never ends the run.
TEST(SettingsFiles, UnwritableFolderIsReportedAndKeepsTheOldFiles) {
    ConfigFolder config;
    config.write(locationFileName, "/old/data\r\n/old/est\r\n");
    config.write(modeFileName, "T\r\n");
    if (!config.lockSettings())
        GTEST_SKIP() << "cannot make a folder read-only here";
    test::SaidLog sink;
    const Outcome location = writeLocationFile("/new/data", "/new/est");
    EXPECT_FALSE(location.saysNothing());
    sink.add(location);
    const ModeChoice mode = mnuKel_Click();
    EXPECT_TRUE(mode.marks.mnuKel); // the mode still changes for this run
    sink.add(mode.said);
    EXPECT_EQ(sink.then, FollowUp::None); // never ends the run
    ASSERT_EQ(sink.messages.size(), 2u);
    EXPECT_NE(sink.messages[0].find("zvkelck.dat"), std::string::npos) << sink.messages[0];
    EXPECT_NE(sink.messages[1].find("FileMenu.txt"), std::string::npos) << sink.messages[1];
    EXPECT_EQ(config.read(locationFileName), QByteArray("/old/data\r\n/old/est\r\n"));
    EXPECT_EQ(config.read(modeFileName), QByteArray("T\r\n"));
}

// A folder window over a fresh settings folder, with a stand-in main window.
class FolderWindow : public testing::Test {
protected:
    void SetUp() override { QDir().mkpath(data + "/jobs"), QDir().mkpath(est); }
    void TearDown() override { delete window.data(); }
    frmPath *open(const QString &first = {}, const QString &second = {}) {
        if (!first.isEmpty())
            config.write(locationFileName, (first + "\r\n" + second + "\r\n").toUtf8());
        delete window.data();
        window = new frmPath(sink, &main);
        window->show();
        return window;
    }

    ConfigFolder config;
    test::RecordingSink sink;
    QWidget main;
    QPointer<frmPath> window;
    const QString data = config.root() + "/shop/data", est = config.root() + "/est";
};

// A column loads only a stored absolute path of a folder that exists; a
// deleted data folder stops the loading of both.
TEST_F(FolderWindow, LoadsStoredFoldersAndStopsAtOneThatIsGone) {
    const QString gone = config.root() + "/deleted";
    const struct {
        QString first, second;
        bool left, right;
    } rows[] = {{data, est, true, true},
                {gone, est, false, false},
                {data, gone, true, false},
                {nf, est, false, true},
                {"shop/data", est, false, true}};
    for (const auto &row : rows) {
        frmPath *w = open(row.first, row.second);
        EXPECT_EQ(w->Text1->text() + " " + w->Text2->text(),
                  (row.left ? data : nf) + " " + (row.right ? est : nf));
        EXPECT_EQ(w->openFolder(0) == data, row.left) << qPrintable(row.first);
        EXPECT_EQ(w->openFolder(1) == est, row.right) << qPrintable(row.second);
    }
    EXPECT_TRUE(sink.messages.empty());
}

// A real double click (a click, then a double click) opens the folder and the
// result cell follows; choosing a drive moves the other column to its top.
TEST_F(FolderWindow, DoubleClickOpensAFolderAndADriveMovesToItsTop) {
    frmPath *w = open(data, est);
    auto *model = qobject_cast<QFileSystemModel *>(w->dirBox->model());
    ASSERT_NE(model, nullptr);
    QModelIndex index;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            index = model->index(data + "/jobs");
            if (!index.isValid())
                return false;
            // Scrolled into view as a user would, wherever the row height puts it.
            w->dirBox->scrollTo(index);
            return w->dirBox->viewport()->rect().contains(w->dirBox->visualRect(index));
        },
        5000));
    const QPoint at = w->dirBox->visualRect(index).center();
    QTest::mouseClick(w->dirBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w->dirBox->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(w->Text1->text(), data + "/jobs");
    EXPECT_EQ(w->openFolder(0), data + "/jobs");

    ASSERT_EQ(w->Drive1->itemData(0).toString(), QDir::rootPath());
    w->Drive1->setCurrentIndex(1);
    QTest::keyClick(w->Drive1, Qt::Key_Home);
    EXPECT_EQ(w->Text2->text(), QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_EQ(w->Text1->text(), data + "/jobs");
}

// Closed without Continue: nothing saved, and the main window comes back only
// when it was hidden for the folder window (not when Exit closes both). A
// failed save keeps the window open.
TEST_F(FolderWindow, ClosingOtherwiseOrAFailedSave) {
    main.hide();
    QSignalSpy closed(open(), &frmPath::closedWithoutContinue);
    window->Text1->setText("/typed/but/not/saved");
    window->close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(config.read(locationFileName), QByteArray("<missing>"));
    open();
    main.close(); // closing all windows may reach the main window first
    window->close();
    EXPECT_FALSE(main.isVisible());

    frmPath *w = open(data, est);
    if (!config.lockSettings())
        GTEST_SKIP() << "cannot make a folder read-only here";
    w->Text1->setText("/new/data");
    QTest::mouseClick(w->cmdPath, Qt::LeftButton);
    EXPECT_EQ(sink.messages.size(), 1u);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(config.read(locationFileName), (data + "\r\n" + est + "\r\n").toUtf8());
}

} // namespace
} // namespace sheetcraft
