// Search from the window against the demo order database.

#include "frmlayout.h"
#include "recordingsink.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace sheetcraft;

namespace {

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<frmLayOut>(sink);
        w->databasePath = DEMO_DATABASE;
        w->mnuKel->setChecked(true);
        w->mnuTxt->setChecked(false);
        w->endProgram = [this] { ++ended; };
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top != w.get())
                top->close();
        }
        w.reset();
    }

    void searchFor(const QString &number)
    {
        w->txtSearch->setFocus(Qt::MouseFocusReason);
        w->txtSearch->clear();
        QTest::keyClicks(w->txtSearch, number);
        QTest::keyClick(w->txtSearch, Qt::Key_Return);
    }

    test::RecordingSink sink;
    std::unique_ptr<frmLayOut> w;
    int ended = 0;
};

TEST_F(Search, EnterFillsTheCellsAndClears)
{
    searchFor("12346");
    EXPECT_EQ(w->txtSearch->text(), "00012346");
    EXPECT_EQ(w->txtName->text(), "Miller's Bakery");
    EXPECT_EQ(w->txtJob->text(), "00012346");
    EXPECT_EQ(w->txtQuote->text(), QString(15, ' '));
    EXPECT_EQ(w->txtSize[1]->text(), "12x18");
    EXPECT_EQ(w->txtSize[2]->text(), "12x18") << "no parent size: the press size";
    EXPECT_FALSE(w->directionsVisible());
    EXPECT_EQ(w->session.frames.fssFrame, 1);
    ASSERT_TRUE(w->session.finished());
    EXPECT_EQ(w->session.finished()->fullSheetWidth, 18);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Search, QuoteAndPartTwo)
{
    w->optQuote->setChecked(true);
    w->txtPartNo->setText("2");
    QTest::mouseClick(w->cmdSearch, Qt::LeftButton);
    EXPECT_TRUE(w->txtSearch->text().isEmpty()) << "an empty search makes no lookup";
    searchFor("987");
    EXPECT_EQ(w->txtDesc->text(), "Newsletter, insert");
    EXPECT_EQ(w->txtQuote->text(), "00000987");
}

TEST_F(Search, TextModeMakesNoLookupButClears)
{
    w->mnuTxt->trigger();
    searchFor("12345");
    EXPECT_TRUE(w->txtName->text().isEmpty());
    EXPECT_EQ(w->session.frames.fssFrame, 1);
    w->mnuKel->trigger(); // leave the mode file as the other tests expect
}

TEST_F(Search, PartNumberOutOfRangeRevertsToOne)
{
    w->txtPartNo->setFocus(Qt::MouseFocusReason);
    w->txtPartNo->selectAll();
    QTest::keyClicks(w->txtPartNo, "10");
    EXPECT_EQ(w->txtPartNo->text(), "1");
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Value must be between 1 and 9 only. Reverting to 1"});
}

TEST_F(Search, BadFolderShowsTheFolderWindow)
{
    w->databasePath = "/no/such/folder/zvData.mdb";
    searchFor("12345");
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Invalid Database. Please Correct Path Information."});
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(ended, 0);
}

TEST_F(Search, MissingFileEndsTheProgram)
{
    w->databasePath = QString(DEMO_DATABASE).replace("zvData.mdb", "absent.mdb");
    searchFor("12345");
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error 3024. Click OK to Exit"});
    EXPECT_EQ(ended, 1);
}

} // namespace
