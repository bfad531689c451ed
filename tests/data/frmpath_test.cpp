#include "configfolder.h"
#include "frmpath.h"
#include "recordingsink.h"
#include "settingsfiles.h"
#include "startup.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace sheetcraft {
namespace {

using test::ConfigFolder;
using test::RecordingSink;

const QString nf = QStringLiteral("No Folder Selected");

// A folder window over a fresh settings folder, with a stand-in main window.
class FolderWindow : public testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(data + QStringLiteral("/jobs"));
        QDir().mkpath(est);
    }
    void TearDown() override { delete window.data(); }

    void storeLocations(const QString &first, const QString &second) {
        config.write(locationFileName, first.toUtf8() + "\r\n" + second.toUtf8() + "\r\n");
    }
    frmPath *open() {
        delete window.data();
        window = new frmPath(sink, &main);
        window->show();
        return window;
    }

    ConfigFolder config;
    RecordingSink sink;
    QWidget main;
    QPointer<frmPath> window;
    const QString data = config.root() + QStringLiteral("/shop/data");
    const QString est = config.root() + QStringLiteral("/est");
};

// A column loads only a stored absolute path of a folder that exists; a
// deleted data folder stops the loading of both.
TEST_F(FolderWindow, LoadsStoredFoldersAndStopsAtOneThatIsGone) {
    const QString gone = config.root() + QStringLiteral("/deleted");
    const struct {
        const char *name;
        QString first, second;
        bool leftLoaded, rightLoaded;
    } rows[] = {
        {"both stored", data, est, true, true},
        {"data deleted", gone, est, false, false},
        {"est deleted", data, gone, true, false},
        {"data not chosen", nf, est, false, true},
        {"relative path", QStringLiteral("shop/data"), est, false, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        storeLocations(row.first, row.second);
        frmPath *w = open();
        EXPECT_EQ(w->Text1->text(), row.leftLoaded ? data : nf);
        EXPECT_EQ(w->Text2->text(), row.rightLoaded ? est : nf);
        if (row.leftLoaded) {
            EXPECT_EQ(w->openFolder(0), data);
            EXPECT_TRUE(data.startsWith(w->drvBox->currentData().toString()));
        }
        if (row.rightLoaded) {
            EXPECT_EQ(w->openFolder(1), est);
        }
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST_F(FolderWindow, FirstStartContinueWritesTwoLinesAndShowsTheMainWindow) {
    ASSERT_EQ(loadStartup(sink, [] {}).next, StartupState::Next::ShowFolderWindow);
    main.hide();
    frmPath *w = open();
    QSignalSpy continued(w, &frmPath::continued);

    QTest::mouseClick(w->cmdPath, Qt::LeftButton);

    EXPECT_EQ(config.read(locationFileName),
              QByteArray("No Folder Selected\r\nNo Folder Selected\r\n"));
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(continued.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 2000)); // closed and deleted
    EXPECT_FALSE(loadStartup(sink, [] {}).searchEnabled);
}

TEST_F(FolderWindow, DoubleClickOpensFolderAndResultFollows) {
    storeLocations(data, est);
    frmPath *w = open();
    auto *model = qobject_cast<QFileSystemModel *>(w->dirBox->model());
    ASSERT_NE(model, nullptr);
    const QString jobs = data + QStringLiteral("/jobs");
    QModelIndex index;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            index = model->index(jobs);
            return index.isValid() && !w->dirBox->visualRect(index).isEmpty();
        },
        5000));

    // A real double click starts with a plain click.
    const QPoint at = w->dirBox->visualRect(index).center();
    QTest::mouseClick(w->dirBox->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w->dirBox->viewport(), Qt::LeftButton, {}, at);

    EXPECT_EQ(w->Text1->text(), jobs);
    EXPECT_EQ(w->openFolder(0), jobs);
    EXPECT_EQ(w->Text2->text(), est);
}

TEST_F(FolderWindow, ChoosingADriveMovesTheListToItsTop) {
    frmPath *w = open();
    ASSERT_GT(w->Drive1->count(), 0);
    ASSERT_EQ(w->Drive1->itemData(0).toString(), QDir::rootPath());
    w->Drive1->setCurrentIndex(1);
    QTest::keyClick(w->Drive1, Qt::Key_Home);
    EXPECT_EQ(w->Text2->text(), QDir::toNativeSeparators(QDir::rootPath()));
    EXPECT_EQ(w->Text1->text(), nf);
}

// Closed without Continue: nothing saved, and the main window comes back only
// when it was hidden for the folder window (not when Exit closes both).
TEST_F(FolderWindow, ClosingOtherwiseSavesNothingAndBringsBackAHiddenMainWindow) {
    main.hide();
    frmPath *w = open();
    QSignalSpy closed(w, &frmPath::closedWithoutContinue);
    w->Text1->setText("/typed/but/not/saved");
    w->close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(config.read(locationFileName), QByteArray("<missing>"));

    w = open();
    main.close(); // closing all windows may reach the main window first
    w->close();
    EXPECT_FALSE(main.isVisible());
}

TEST_F(FolderWindow, FailedSaveKeepsTheWindowOpen) {
    storeLocations(data, est);
    main.hide();
    frmPath *w = open();
    if (!config.lockSettings())
        GTEST_SKIP() << "cannot make a folder read-only here";
    w->Text1->setText("/new/data");
    QTest::mouseClick(w->cmdPath, Qt::LeftButton);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("zvkelck.dat"), std::string::npos);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(config.read(locationFileName), (data + "\r\n" + est + "\r\n").toUtf8());
}

} // namespace
} // namespace sheetcraft
