// The "Best Layout and Cut Plan" window on the offscreen platform: opened from
// the Tools menu, following the main window, the order figures, the kept
// fields and the printed cut plan.

#include "cutlayoutview.h"
#include "cutplansettings.h"
#include "frmbestlayout.h"
#include "frmlayout.h"
#include "machinebox.h"
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

class BestWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(settingsFolder()).removeRecursively();
        main = std::make_unique<frmLayOut>(sink);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    void TearDown() override {
        main.reset(); // takes its windows with it
        QDir(settingsFolder()).removeRecursively();
    }

    // Opens the window the way a user does: Tools, then its one entry.
    frmBestLayout *openFromMenu() {
        QMenu *tools = main->menuBar()->actions().value(1)->menu(); // after File
        if (!tools || tools->actions().isEmpty())
            return nullptr;
        tools->actions().first()->trigger();
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<frmBestLayout *>(top); window && window->isVisible())
                return window;
        return nullptr;
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

    RecordingSink sink;
    std::unique_ptr<frmLayOut> main;
};

TEST_F(BestWindow, OpensFromToolsBeforeAnythingIsDrawnAndShowsTheTypedSizes) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isModal());
    ASSERT_TRUE(settle(w));
    EXPECT_EQ(w->stages[0].comparison->text(),
              "Frames 1-4: 29   Best guillotine layout: 30 (+1)   No layout can hold more than 31");
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
    EXPECT_EQ(w->stages[0].comparison->text(),
              "Frames 1-4: 9   Best guillotine layout: 10 (+1)   No layout can hold more than 10");
    EXPECT_TRUE(w->stages[0].proof->text().startsWith("Grain: any   Proven best"));
    EXPECT_EQ(w->stages[1].comparison->text(),
              "Frames 1-4: 1   Best guillotine layout: 1   No layout can hold more than 1");
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

    // A grain rule asks again: 8.5x11 across 26x40 takes fewer.
    w->stages[0].grain->setCurrentText("across");
    ASSERT_TRUE(settle(w));
    EXPECT_TRUE(w->stages[0].proof->text().startsWith("Grain: across"));
}

TEST_F(BestWindow, WorksOutTheSheetsToOrderFromBothLayoutsAndKeepsTheFields) {
    frmBestLayout *w = openFromMenu();
    ASSERT_NE(w, nullptr);
    redraw("2x3", "11x17", "23x35");
    ASSERT_TRUE(settle(w));
    const struct {
        const char *quantity, *spoilage, *makeReady, *expected;
    } rows[] = {
        {"5000", "3", "100",
         "Quantity 5000: run 167, press sheets 273, parent sheets 69\n"
         "With frames 1-4: run 173, press sheets 279, parent sheets 70\n"
         "Cutting: 1 lift of press sheets x 13 strokes, 1 lift of parent sheets x 4 strokes: "
         "17 knife strokes"},
        {"29", "0", "0", // same either way
         "Quantity 29: run 1, press sheets 1, parent sheets 1\n"
         "Cutting: 1 lift of press sheets x 13 strokes, 1 lift of parent sheets x 4 strokes: "
         "17 knife strokes"},
        {"1000", "", "",
         "Quantity 1000: run 34, press sheets 34, parent sheets 9\n"
         "With frames 1-4: run 35, press sheets 35, parent sheets 9\n"
         "Cutting: 1 lift of press sheets x 13 strokes, 1 lift of parent sheets x 4 strokes: "
         "17 knife strokes"},
    };
    for (const auto &row : rows) {
        w->txtQuantity->setText(row.quantity);
        w->txtSpoilage->setText(row.spoilage);
        w->txtMakeReady->setText(row.makeReady);
        EXPECT_EQ(w->lblOrder->text().toStdString(), row.expected) << row.quantity;
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
    QTest::mouseClick(w->cmdPrint, Qt::LeftButton); // waits for the answer under way
    EXPECT_TRUE(suggested.endsWith("CutPlan.pdf"));
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
