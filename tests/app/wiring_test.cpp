// The main window with start-up, settings, unit sets and printing wired in.

#include "frmlayout.h"
#include "recordingsink.h"
#include "settingsfiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace sheetcraft;

namespace {

class Wired : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(settingsFolder()).removeRecursively();
        w = std::make_unique<frmLayOut>(sink);
    }
    void TearDown() override
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != w.get())
                top->close();
        }
        w.reset();
    }

    void writeSettings(const char *location, const char *mode)
    {
        QDir().mkpath(settingsFolder());
        QFile l(locationFilePath());
        ASSERT_TRUE(l.open(QIODevice::WriteOnly));
        l.write(location);
        QFile m(modeFilePath());
        ASSERT_TRUE(m.open(QIODevice::WriteOnly));
        m.write(mode);
    }

    bool folderWindowShown() const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->windowTitle() == "Zorvath Path Structure")
                return true;
        }
        return false;
    }

    test::RecordingSink sink;
    std::unique_ptr<frmLayOut> w;
};

TEST_F(Wired, LoadSetsCaptionDirectionsSearchAndMode)
{
    writeSettings("No Folder Selected\r\n/srv/shop/data\r\n", "T\r\n");
    EXPECT_EQ(w->Form_Load(), StartupState::Next::ShowMainWindow);
    EXPECT_EQ(w->windowTitle(), "Zorvath Layout Program   Version: 1.2.11");
    EXPECT_TRUE(w->lblDirections->text().startsWith("To Start: Click on either arrow"));
    EXPECT_TRUE(w->cmdSearch->isEnabled());
    EXPECT_TRUE(w->mnuTxt->isChecked());
    EXPECT_FALSE(w->mnuKel->isChecked());
    EXPECT_EQ(w->dataFolder, "No Folder Selected");
}

TEST_F(Wired, NoFolderChosenDisablesSearch)
{
    writeSettings("No Folder Selected\r\nNo Folder Selected\r\n", "M\r\n");
    w->Form_Load();
    EXPECT_FALSE(w->cmdSearch->isEnabled());
    EXPECT_TRUE(w->mnuKel->isChecked());
}

TEST_F(Wired, FirstStartShowsTheFolderWindowInstead)
{
    EXPECT_EQ(w->Form_Load(), StartupState::Next::ShowFolderWindow);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(folderWindowShown());
}

TEST_F(Wired, ShortLocationFileEndsTheRun)
{
    writeSettings("/srv/shop/data\r\n", "M\r\n");
    bool ended = false;
    EXPECT_EQ(w->Form_Load([&] { ended = true; }), StartupState::Next::EndProgram);
    EXPECT_TRUE(ended);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error Number 62. Exit Job"});
}

TEST_F(Wired, ModeItemsSetTheMarksAndTheFile)
{
    writeSettings("No Folder Selected\r\nNo Folder Selected\r\n", "M\r\n");
    w->Form_Load();
    w->mnuTxt->trigger();
    EXPECT_TRUE(w->mnuTxt->isChecked());
    EXPECT_FALSE(w->mnuKel->isChecked());
    QFile mode(modeFilePath());
    ASSERT_TRUE(mode.open(QIODevice::ReadOnly));
    EXPECT_EQ(mode.readAll(), "T\r\n");
    w->mnuKel->trigger();
    EXPECT_TRUE(w->mnuKel->isChecked());
    EXPECT_FALSE(w->mnuTxt->isChecked());
}

TEST_F(Wired, MetricTwiceAndResetWithMetric)
{
    w->mnuMetric->trigger();
    EXPECT_TRUE(w->mnuMetric->isChecked());
    EXPECT_EQ(w->txtSize[0]->text(), "210x297");
    EXPECT_EQ(w->txtSize[1]->text(), "315x225");
    EXPECT_EQ(w->txtSize[2]->text(), "640x915");
    EXPECT_EQ(w->session.frames.fssFrame, 1) << "Clear ran";
    EXPECT_FALSE(w->surface().ops().empty());

    w->txtSize[0]->setText("100x100");
    w->mnuReset->trigger();
    EXPECT_TRUE(w->mnuMetric->isChecked());
    EXPECT_EQ(w->txtSize[0]->text(), "210x297");
    EXPECT_TRUE(w->surface().ops().empty());
    EXPECT_TRUE(w->directionsVisible());
    EXPECT_EQ(w->session.frames.fssFrame, 1) << "Reset leaves the frames";

    w->mnuMetric->trigger();
    EXPECT_FALSE(w->mnuMetric->isChecked());
    EXPECT_EQ(w->txtSize[0]->text(), "2x3");
    EXPECT_EQ(w->txtSize[2]->text(), "23x35");
}

class Printing : public Wired {
protected:
    void SetUp() override
    {
        Wired::SetUp();
        ASSERT_TRUE(pdfDir.isValid());
        pdf = pdfDir.filePath("layouts.pdf");
        ReportPrinter &printer = w->reportPrinter();
        printer.printersInstalled = [] { return false; };
        printer.askPdfPath = [this](QWidget *, const QString &) { return pdf; };
        printer.setCaption = [this](const QString &c) { captions << c; };
    }
    QTemporaryDir pdfDir;
    QString pdf;
    QStringList captions;
};

TEST_F(Printing, WithoutAPrinterTheReportGoesToAPdf)
{
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(captions, (QStringList{"Printing...", "Print Layouts"}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Printing, NothingDrawnYetIsRefused)
{
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Warning: Incorrect Size Entered!"});
}

TEST_F(Printing, AChangedGripperIsDrawnBeforeItIsPrinted)
{
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    w->txtGrip->setText("0.5");
    w->pullCells();
    EXPECT_FALSE(w->session.screenShowsCells());
    QTest::mouseClick(w->Command3, Qt::LeftButton);
    EXPECT_TRUE(w->session.screenShowsCells());
    EXPECT_EQ(w->session.finished()->sheetDepth, 10.5);
    EXPECT_TRUE(QFile::exists(pdf));
}

} // namespace
