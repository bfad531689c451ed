#include "configfolder.h"
#include "frmpath.h"
#include "qstringprint.h"
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
        data = config.root() + QStringLiteral("/shop/data");
        est = config.root() + QStringLiteral("/est");
        QDir().mkpath(data + QStringLiteral("/jobs"));
        QDir().mkpath(est);
    }
    void TearDown() override { delete window.data(); }

    void storeLocations(const QString &first, const QString &second) {
        config.write(locationFileName, first.toUtf8() + "\r\n" + second.toUtf8() + "\r\n");
    }
    frmPath *open() {
        window = new frmPath(sink, &main);
        window->show();
        return window;
    }

    ConfigFolder config;
    RecordingSink sink;
    QWidget main;
    QPointer<frmPath> window;
    QString data;
    QString est;
};

struct LoadRow {
    const char *name;
    const char *first; // "data", "est", "gone" or a literal text
    const char *second;
    bool leftLoaded;
    bool rightLoaded;
};

class FolderWindowLoad : public FolderWindow, public testing::WithParamInterface<LoadRow> {
protected:
    QString resolve(const char *text) const {
        const QString t = QString::fromUtf8(text);
        if (t == "data")
            return data;
        if (t == "est")
            return est;
        if (t == "gone")
            return config.root() + QStringLiteral("/deleted");
        return t;
    }
};

TEST_P(FolderWindowLoad, StopsAtAFolderThatIsGone) {
    const LoadRow &row = GetParam();
    storeLocations(resolve(row.first), resolve(row.second));
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

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderWindowLoad,
    testing::Values(LoadRow{"BothStored", "data", "est", true, true},
                    LoadRow{"DataDeleted", "gone", "est", false, false},
                    LoadRow{"EstDeleted", "data", "gone", true, false},
                    LoadRow{"DataNotChosen", "No Folder Selected", "est", false, true},
                    LoadRow{"NetworkPath", "\\\\server\\share\\data", "est", false, true},
                    LoadRow{"RelativePath", "shop/data", "est", false, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(FolderWindow, FirstStartContinueWritesTwoLinesAndShowsTheMainWindow) {
    const StartupState state = loadStartup(sink, [] {});
    ASSERT_EQ(state.next, StartupState::Next::ShowFolderWindow);
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
            return (index = model->index(jobs)).isValid() &&
                   !w->dirBox->visualRect(index).isEmpty();
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

TEST_F(FolderWindow, ClosingOtherwiseSavesNothingAndBringsBackTheMainWindow) {
    main.hide();
    frmPath *w = open();
    QSignalSpy closed(w, &frmPath::closedWithoutContinue);
    w->Text1->setText("/typed/but/not/saved");
    w->close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(config.read(locationFileName), QByteArray("<missing>"));
}

TEST_F(FolderWindow, ExitClosingBothWindowsDoesNotReopenTheMainWindow) {
    main.show();
    frmPath *w = open();
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
