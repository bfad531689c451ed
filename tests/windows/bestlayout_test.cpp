// The "Best Layout and Cut Plan" window on the offscreen platform: opened from
// the Tools menu, following the main window, the order figures, the kept
// fields and the printed cut plan.

#include "cutlayoutview.h"
#include "cutplansettings.h"
#include "frmbestlayout.h"
#include "frmlayout.h"
#include "machinebox.h"
#include "mainwindowtest.h"
#include "recordingsink.h"
#include "settingsfiles.h"
#include "tradeoffview.h"

#include <QTest>
#include <QtWidgets>
#include <gtest/gtest.h>

#include <memory>

using namespace sheetcraft;
using sheetcraft::test::RecordingSink;

namespace {

class BestWindow : public sheetcraft::test::MainWindowTest {
protected:
    // Opens the window the way a user does: Tools, then its one entry.
    frmBestLayout *openFromMenu() {
        QMenu *tools = main->menuBar()->actions().value(1)->menu(); // after File
        if (!tools || tools->actions().isEmpty())
            return nullptr;
        tools->actions().first()->trigger();
        return shownWindow<frmBestLayout>();
    }

    // The comparison line of the one answer the main window holds.
    QString shownLine(std::size_t stage) const {
        const auto &result = main->bestWorker().result();
        return result && result->stages[stage]
                   ? QString::fromStdString(comparisonLine(*result->stages[stage]))
                   : QString();
    }

    static bool settle(frmBestLayout *w) {
        return QTest::qWaitFor([w] { return !w->computing(); }, 20000);
    }

    void redraw(const char *finished, const char *press, const char *parent) {
        main->txtSize[0]->setText(finished);
        main->txtSize[1]->setText(press);
        main->txtSize[2]->setText(parent);
        QTest::mouseClick(main->Command1, Qt::LeftButton); // Clear redraws both diagrams
    }
};

TEST_F(BestWindow, OpensFromToolsBeforeAnythingIsDrawnAndShowsTheTypedSizes) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isModal());
    ASSERT_TRUE(settle(w));
    EXPECT_EQ(w->stages[0].comparison->text(), shownLine(0));
    EXPECT_TRUE(w->stages[0].cutList->toPlainText().startsWith("Cut plan: "));
    EXPECT_FALSE(w->stages[0].view->recording().ops().empty());
    EXPECT_TRUE(w->lblStatus->text().isEmpty());
    // The main window drew nothing: opening the window is not a redraw.
    EXPECT_TRUE(main->surface().ops().empty());
    // A second opening raises the same window.
    EXPECT_EQ(frmBestLayout::showWindow(*main, sink), w);
}

TEST_F(BestWindow, FollowsEachRedrawOfTheMainWindowAndTheFrameShown) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    // Two redraws in a row: the first answer is dropped, the last one shown.
    redraw("2x3", "11x17", "23x35");
    redraw("8.5x11", "26x40", "26x40");
    ASSERT_TRUE(settle(w));
    // The latest answer, the press stage on its default grain.
    EXPECT_TRUE(w->stages[0].comparison->text().startsWith("Frames 1-4: 9 "));
    EXPECT_EQ(w->stages[0].comparison->text(), shownLine(0));
    EXPECT_TRUE(w->stages[1].comparison->text().startsWith("Frames 1-4 (one way): 1 "));
    // The main window's status line says what the frames leave on the table.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->lblBestStatus->text().isEmpty(); }, 20000));
    EXPECT_TRUE(main->lblBestStatus->text().contains("10 up (frames: 9)"));

    // The frame shown: the arrow steps the finished diagram to frame 2, and the
    // window lists that frame's cuts when asked.
    QTest::mouseClick(main->cmdARFSS, Qt::LeftButton);
    ASSERT_TRUE(settle(w));
    ASSERT_TRUE(main->session.finished().has_value());
    EXPECT_TRUE(w->stages[0].frame->text().startsWith(
        QString("Frame %1 shown: ").arg(main->session.finished()->frame)))
        << w->stages[0].frame->text().toStdString();
    const QString bestCuts = w->stages[0].cutList->toPlainText();
    w->stages[0].show->setCurrentIndex(1);
    EXPECT_NE(w->stages[0].cutList->toPlainText(), bestCuts);
    EXPECT_TRUE(w->stages[0].cutList->toPlainText().startsWith("Cut plan: "));

    // A grain rule asks again: 8.5x11 across 26x40 takes fewer, and the status
    // line shows the same answer (no gain over the frames across allows).
    w->stages[0].grain->setCurrentText("across");
    ASSERT_TRUE(settle(w));
    EXPECT_TRUE(w->stages[0].proof->text().startsWith("Grain: across"));
    EXPECT_TRUE(main->lblBestStatus->text().isEmpty()) << main->lblBestStatus->text().toStdString();

    // A size typed and left with Tab is followed before any arrow.
    main->txtSize[0]->setFocus();
    main->txtSize[0]->setText("3x2");
    w->stages[0].grain->setCurrentText("any");
    QTest::keyClick(main->txtSize[0], Qt::Key_Tab);
    ASSERT_TRUE(settle(w));
    EXPECT_FALSE(w->stages[0].sizes->text().contains("8.5"))
        << w->stages[0].sizes->text().toStdString();
    // And one typed and confirmed with Enter, still in the cell.
    main->txtSize[0]->setText("4x5");
    QTest::keyClick(main->txtSize[0], Qt::Key_Return);
    ASSERT_TRUE(settle(w));
    EXPECT_TRUE(w->stages[0].sizes->text().contains("Finished sheet 5 x 4") ||
                w->stages[0].sizes->text().contains("Finished sheet 4 x 5"))
        << w->stages[0].sizes->text().toStdString();
}

// The press's gutter from the order is used, by the status line too, until
// one is typed in the window.
TEST_F(BestWindow, GutterFromTheOrderUntilTyped) {
    main->txtSize[0]->setText("3.5x2");
    main->txtSize[1]->setText("12x18");
    main->txtGrip->setText("0.375");
    main->txtGutter->setText("0.125"); // as Search fills it
    QTest::mouseClick(main->Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->bestWorker().busy(); }, 20000));
    EXPECT_EQ(main->bestWorker().result()->stages[0]->best.layout.count, 26);
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->txtGutter->text(), "0.125");
    w->txtGutter->setText("");
    QTest::keyClicks(w->txtGutter, "0");
    QTest::keyClick(w->txtGutter, Qt::Key_Return);
    ASSERT_TRUE(settle(w));
    EXPECT_EQ(main->bestWorker().result()->stages[0]->best.layout.count, 29);
}

// The window closed, or a newer question asked, while a long search runs:
// never more than one search thread, and nothing waits for it.
TEST_F(BestWindow, ClosedOrAskedAgainMidSearch) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    for (const char *size : {"0.43x0.31", "0.53x0.37", "0.43x0.31"}) {
        main->txtSize[0]->setText(size);
        main->txtSize[1]->setText("24x18");
        QTest::mouseClick(main->Command1, Qt::LeftButton);
        EXPECT_TRUE(main->bestWorker().busy());
    }
    w->close();
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !main->bestWorker().busy(); }, 20000));
    ASSERT_TRUE(main->bestWorker().result());
    EXPECT_EQ(main->bestWorker().result()->stages[0]->pieceWidth, 0.43);

    // The main window itself goes mid-search: the search stops with it.
    main->txtSize[0]->setText("0.53x0.37");
    QTest::mouseClick(main->Command1, Qt::LeftButton);
    ASSERT_TRUE(main->bestWorker().threadRunning());
    main.reset();
    QApplication::processEvents();
}

TEST_F(BestWindow, WorksOutTheSheetsToOrderFromBothLayoutsAndKeepsTheFields) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    redraw("2x3", "11x17", "23x35");
    ASSERT_TRUE(settle(w));
    // The figures are the stage plan's, tested there: here, that the fields reach them.
    const struct {
        const char *quantity, *spoilage, *makeReady;
        int lines; // the order, the frames' order where it differs, the cutting work
    } rows[] = {{"5000", "3", "100", 3}, {"29", "0", "0", 2}, {"0", "", "", 2}};
    for (const auto &row : rows) {
        w->txtQuantity->setText(row.quantity);
        w->txtSpoilage->setText(row.spoilage);
        w->txtMakeReady->setText(row.makeReady);
        ASSERT_TRUE(w->order().has_value());
        EXPECT_EQ(w->order()->quantity, QString(row.quantity).toLongLong());
        EXPECT_EQ(w->lblOrder->text().count('\n') + 1, row.lines) << row.quantity;
    }
    w->txtQuantity->setText("");
    EXPECT_FALSE(w->order().has_value());

    // The trade-off's second line (29 up in fewer strokes) is what is shown,
    // ordered and printed once picked.
    ASSERT_GE(w->stages[0].tradeoff->count(), 2);
    w->stages[0].tradeoff->setCurrentRow(1);
    w->txtQuantity->setText("29");
    EXPECT_TRUE(w->lblOrder->text().contains("x 11 strokes")) << w->lblOrder->text().toStdString();
    EXPECT_EQ(shownLayout(w->document()->stages[0]).count, 29);
    EXPECT_TRUE(w->stages[0].comparison->text().contains("Best guillotine layout: 30"));

    // A lift of 20 sheets cuts the 34 press sheets of 1000 in two lifts.
    w->machine->txtLift->setText("20");
    emit w->machine->changed();
    ASSERT_TRUE(settle(w));
    w->txtQuantity->setText("1000");
    EXPECT_TRUE(w->lblOrder->text().contains("2 lifts of press sheets"));

    // The fields come back in the next run; a damaged file gives the defaults.
    w->txtQuantity->setText("2500");
    w->txtSpoilage->setText("2.5");
    w->stages[1].grain->setCurrentText("along");
    w->close();
    QApplication::processEvents();
    EXPECT_EQ(readCutPlanSettings().spoilage, "2.5");
    frmBestLayout *again = openFromMenu();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->txtQuantity->text(), "2500");
    EXPECT_EQ(again->stages[1].grain->currentText(), "along");
    EXPECT_EQ(again->machine->txtLift->text(), "20");
    again->close();
    QApplication::processEvents();

    QFile file(settingsFolder() + "/" + cutPlanFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, '\x01'));
    file.close();
    EXPECT_EQ(readCutPlanSettings(), CutPlanSettings());

    // A file from before the cutter was kept still reads; a value that is no
    // number gives way to the default of the job's units.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("quantity=700\nknife-in=52\nlift=-3\n");
    file.close();
    const CutPlanSettings old = readCutPlanSettings();
    EXPECT_EQ(old.quantity, "700");
    EXPECT_EQ(machineRules(old, false).knifeLength, 52);
    EXPECT_EQ(machineRules(old, false).lift, 500);
    EXPECT_EQ(machineRules(old, true).knifeLength, 1150);
}

TEST_F(BestWindow, PrintCutPlanWritesAPdfWhenNoPrinterIsInstalled) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.pdf");
    main->reportPrinter().printersInstalled = [] { return false; };
    QString suggested;
    main->reportPrinter().askPdfPath = [&](QWidget *, const QString &s) {
        suggested = s;
        return path;
    };
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    // The cells changed since the opening: drawn first, printed when the answer is in.
    main->txtSize[2]->setText("25x38");
    QTest::mouseClick(w->cmdPrint, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !suggested.isEmpty(); }, 20000));
    EXPECT_TRUE(suggested.endsWith("CutPlan.pdf"));
    EXPECT_EQ(w->document()->stages[1].best.sheetWidth, 38);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
