// "Choose Paper" on the offscreen platform: opened from Tools, ranked from the
// main window's job, a double-click that fills the main window, the stock
// file's bad lines, printing to a PDF, and the status line's one more piece.

#include "frmbestlayout.h"
#include "frmchoosepaper.h"
#include "frmlayout.h"
#include "frmstocklist.h"
#include "gainpanel.h"
#include "mainwindowtest.h"
#include "recordingsink.h"
#include "settingsfiles.h"
#include "stockfile.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;

namespace {

class ChoosePaper : public sheetcraft::test::MainWindowTest {
protected:
    frmChoosePaper *open() {
        main->mnuPaper->trigger();
        return shownWindow<frmChoosePaper>();
    }
};

TEST_F(ChoosePaper, DoubleClickPutsTheRowsSheetsIntoTheMainWindowAndRedraws) {
    main->txtSize[0]->setText("2x3");
    frmChoosePaper *w = open();
    ASSERT_NE(w, nullptr);
    // A new user's list is written at once.
    EXPECT_TRUE(QFile::exists(settingsFolder() + "/StockList.csv"));
    w->txtQuantity->setText("10000");
    w->rank();
    ASSERT_GT(w->tree->topLevelItemCount(), 3);
    // The cheapest for 10,000 2x3 pieces on the defaults: 28x40 cut in two,
    // 93 up either way; the long halves take fewer strokes.
    QTreeWidgetItem *first = w->tree->topLevelItem(0);
    EXPECT_EQ(first->text(1), "14x40 (cut 1 x 2)");
    EXPECT_EQ(first->text(6), "54");
    EXPECT_GT(first->childCount(), 0); // the other press sheets of that stock

    const QRect rect = w->tree->visualItemRect(first);
    QTest::mouseClick(w->tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(w->tree->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(main->txtSize[1]->text(), "14x40");
    EXPECT_EQ(main->txtSize[2]->text(), "28x40");
    ASSERT_TRUE(main->session.press().has_value());
    EXPECT_EQ(main->session.press()->fullSheetWidth, 40);
    EXPECT_EQ(main->session.finished()->fullSheetWidth, 40);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ChoosePaper, BadStockLinesAreNamedAndThePageGoesToAPdfWithoutAPrinter) {
    QDir().mkpath(settingsFolder());
    QFile file(settingsFolder() + "/StockList.csv");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("name,size,price,grain\nA,19x25,50,long\nB,19y25,,\nC,23x35,80,long\n");
    file.close();
    main->txtSize[0]->setText("8.5x11");
    frmChoosePaper *w = open();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find("line 3"), std::string::npos);
    ASSERT_EQ(w->tree->topLevelItemCount(), 2);

    const QString pdf = QDir(settingsFolder()).filePath("paper.pdf");
    main->reportPrinter().printersInstalled = [] { return false; };
    main->reportPrinter().askPdfPath = [&](QWidget *, const QString &) { return pdf; };
    QTest::mouseClick(w->cmdPrint, Qt::LeftButton);
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(5) == "%PDF-");
}

TEST_F(ChoosePaper, StatusLineAndBestLayoutWindowSayWhatWouldGainAPiece) {
    main->txtSize[0]->setText("2x3.5");
    main->txtSize[1]->setText("12x18");
    main->txtGrip->setText("0.375");
    QTest::mouseClick(main->Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->lblGainStatus->text().isEmpty(); }, 20000));
    EXPECT_TRUE(main->lblGainStatus->text().startsWith("One more piece: 30 up"))
        << main->lblGainStatus->text().toStdString();
    frmBestLayout *best = frmBestLayout::showWindow(*main, sink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !best->gainPanel->busy(); }, 20000));
    EXPECT_TRUE(best->gainPanel->lblGains->text().contains(
        "30 up with the gripper on the 12 edge (now the 18 edge)"));
}

TEST_F(ChoosePaper, StockListEditorRefusesABadRowSortsAndSaves) {
    frmStockList editor(defaultStockList(false), sink);
    editor.cmdAdd->click();
    const int added = editor.table->rowCount() - 1;
    editor.table->item(added, 0)->setText("Cover");
    editor.table->item(added, 1)->setText("12 by 18");
    editor.accept();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].find(QString("Row %1").arg(added + 1).toStdString()),
              std::string::npos);
    EXPECT_FALSE(QFile::exists(settingsFolder() + "/StockList.csv"));

    editor.table->item(added, 1)->setText("12x18");
    editor.table->setCurrentCell(0, 0);
    editor.cmdRemove->click(); // 17.5x22.5
    editor.cmdSort->click();
    EXPECT_EQ(editor.table->item(0, 1)->text(), "12x18");
    editor.accept();
    const StockFile saved = readStockFile(false);
    ASSERT_TRUE(saved.exists);
    EXPECT_EQ(saved.list.sheets.size(), defaultStockList(false).size());
    EXPECT_EQ(saved.list.sheets.front().name, "Cover");
}

} // namespace
