#include "layoutsession.h"
#include "panel.h"
#include "saidlog.h"
#include "sheetsize.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sheetcraft;

namespace {

// Logs what the redraw asks to be drawn.
class LogView : public RedrawView {
public:
    void clear() override { log.push_back("clear"); }
    void drawSheet(const DiagramValues &v) override { log.push_back(name("sheet ", v)); }
    void drawLayout(const DiagramValues &v, const std::vector<PanelRow> &) override {
        log.push_back(name("layout ", v) + std::to_string(v.frame));
    }
    static std::string name(const char *what, const DiagramValues &v) {
        return what + std::string(v.diagram == Diagram::Finished ? "F" : "P");
    }
    std::vector<std::string> log;
};

struct Session {
    explicit Session(const char *fss = "2x3", const char *pss = "11x17", const char *grip = "0.00",
                     bool optWidth = true) {
        s.cells.txtSize[0] = fss;
        s.cells.txtSize[1] = pss;
        s.cells.txtGrip = grip;
        s.cells.optWidth = optWidth;
    }
    void say(const Outcome &said) { sink.add(said); }
    test::SaidLog sink;
    LogView view;
    LayoutSession s{&view};
};

std::string wasteOf(const DiagramValues &v) {
    return panelRows(v).back().value;
}

TEST(Frames, StepWrapAndSkipWithTheDefaults) {
    Session t;
    t.say(t.s.DrawSheet()); // frame 0 is laid out as frame 1
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->standardOut(), 25);
    EXPECT_EQ(panelRows(*t.s.finished()).front().value, " 0 ");
    struct Step {
        bool press;
        int fss, pss;
        double fssOut, pssOut;
        const char *fssWaste, *pssWaste;
    };
    // The press diagram's frames 2 and 4 have no stagger block and are passed over.
    const Step steps[] = {
        {false, 1, 1, 25, 4, " 19.8%", " 7.1%"}, {false, 2, 1, 28, 4, " 10.2%", " 7.1%"},
        {false, 3, 1, 24, 4, " 23.0%", " 7.1%"}, {false, 4, 1, 29, 4, " 7.0%", " 7.1%"},
        {false, 1, 1, 25, 4, " 19.8%", " 7.1%"}, {true, 1, 3, 25, 3, " 19.8%", " 30.3%"},
        {true, 1, 1, 25, 4, " 19.8%", " 7.1%"}};
    for (const Step &e : steps) {
        e.press ? t.say(t.s.cmdNextPSS_Click()) : t.say(t.s.cmdNext_Click());
        SCOPED_TRACE(std::to_string(e.fss) + "/" + std::to_string(e.pss));
        ASSERT_TRUE(t.s.finished() && t.s.press());
        EXPECT_EQ(t.s.frames.fssFrame, e.fss);
        EXPECT_EQ(t.s.frames.pssFrame, e.pss);
        EXPECT_EQ(t.s.frames.fssFrameOut, e.fssOut);
        EXPECT_EQ(t.s.frames.pssFrameOut, e.pssOut);
        EXPECT_EQ(t.s.finished()->maximumOut(), 29);
        EXPECT_EQ(wasteOf(*t.s.finished()), e.fssWaste);
        EXPECT_EQ(wasteOf(*t.s.press()), e.pssWaste);
    }
    // A skipped frame is cleared and the next one drawn once, from the start.
    EXPECT_EQ(std::count(t.view.log.begin(), t.view.log.end(), "layout P3"), 1);
    EXPECT_EQ(t.s.cells.txtPARS, "35x23");
    EXPECT_EQ(t.s.cmdNextCaption, "Next 1");
    EXPECT_TRUE(t.sink.messages.empty());
}

// A gripper that is not a finite positive number is none at all.
TEST(Gripper, ComesOffTheChosenEdgeOnly) {
    const struct {
        const char *grip;
        bool optWidth;
        double sheetWidth, sheetDepth;
    } rows[] = {{"0.5", true, 17, 10.5},
                {"0.5", false, 16.5, 11},
                {"1e999", true, 17, 11},
                {"-1", true, 17, 11},
                {"abc", true, 17, 11}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.grip);
        Session t("2x3", "11x17", row.grip, row.optWidth);
        t.say(t.s.cmdNext_Click());
        ASSERT_TRUE(t.s.finished());
        const auto &v = *t.s.finished();
        EXPECT_EQ(std::pair(v.sheetWidth, v.sheetDepth), std::pair(row.sheetWidth, row.sheetDepth));
        EXPECT_EQ(wasteOf(v), " 19.8%"); // the strip is waste of the whole sheet
        EXPECT_EQ(panelRows(v).size(), v.gripper > 0 ? 9u : 8u);
    }
}

// The piece too large for the sheet, or the gripper eating the sheet.
TEST(Redraw, DoesNotFitWarnsOnceAndStopsAtThatDiagram) {
    for (const auto &[fss, grip] : {std::pair{"12x18", "0"}, std::pair{"2x3", "11"}}) {
        Session t(fss, "11x17", grip);
        t.say(t.s.cmdNext_Click());
        EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::FinishedDoesNotFit);
        EXPECT_EQ(t.view.log.back(), "sheet F");
        EXPECT_FALSE(t.s.press());
        t.say(t.s.cmdMaxOut_Click()); // every frame fails alike: said once
        EXPECT_EQ(t.sink.messages, std::vector<std::string>(2, doesNotFitMessage)) << fss;
    }
}

TEST(Redraw, StorageCellsHoldTheLargerNumberFirst) {
    Session t("3x2", "17X11"); // 3x2 and 2x3 store alike
    t.say(t.s.Command1_Click());
    EXPECT_EQ(t.s.cells.txtFSS + t.s.cells.txtSize[1] + t.s.cells.txtPSS, "3x217x1117x11");
    EXPECT_EQ(t.s.frames.fssFrameOut, 25);
}

TEST(Redraw, BadSizesAreRefusedAndChangeNothing) {
    const std::pair<int, const char *> rows[] = {
        {1, "1117"}, {0, "x3"},      {0, "2x"},        {0, "0x3"},      {2, "-23x35"},
        {0, "axb"},  {0, "1e999x3"}, {1, "0.01x0.04"}, {2, "0.02x0.03"}};
    for (const auto &[cell, text] : rows) {
        SCOPED_TRACE(text);
        Session t;
        t.say(t.s.cmdNext_Click());
        const auto frames = t.s.frames;
        t.view.log.clear();
        t.s.cells.txtSize[cell] = text;
        for (auto handler : {&LayoutSession::cmdNext_Click, &LayoutSession::cmdNextPSS_Click,
                             &LayoutSession::Command1_Click, &LayoutSession::cmdMaxOut_Click,
                             &LayoutSession::DrawSheet})
            t.say((t.s.*handler)());
        EXPECT_EQ(t.sink.messages, std::vector<std::string>(5, incorrectSizeMessage));
        EXPECT_TRUE(t.view.log.empty()) << "nothing drawn or cleared";
        EXPECT_EQ(std::pair(t.s.frames.fssFrame, t.s.frames.pssFrame),
                  std::pair(frames.fssFrame, frames.pssFrame));
        EXPECT_EQ(t.s.cells.txtPSS, "17x11");
        EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::RefusedSize);
    }
}

TEST(Redraw, TinyFinishedSheetIsNotRefused) {
    Session t("0.002x0.002");
    t.say(t.s.cmdNext_Click());
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->standardOut(), 8500.0 * 5500.0);
}

TEST(Maximize, StopsOnTheFirstDrawnBestFrame) {
    // The last row: the gripper leaves the sheet narrower than the piece's long
    // side, so frames 1 and 2 are empty while the count left from frame 3
    // equals the maximum: Maximize must not settle on frame 1.
    const struct {
        const char *fss, *pss, *grip;
        bool drawnFirst; // Clear drew the first frame with pieces before Maximize
        int fssFrame, pssFrame;
        double fssOut;
    } rows[] = {{"2x3", "11x17", "0", false, 4, 1, 29},
                {"11x17", "23x35", "0", false, 1, 1, 4},
                {"10x12", "13x17", "6", true, 3, 1, 1}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.fss);
        Session t(row.fss, row.pss, row.grip, false);
        if (row.drawnFirst)
            t.say(t.s.Command1_Click());
        t.say(t.s.cmdMaxOut_Click());
        EXPECT_EQ((std::pair<int, int>(t.s.frames.fssFrame, t.s.frames.pssFrame)),
                  std::pair(row.fssFrame, row.pssFrame));
        EXPECT_EQ(t.s.frames.fssFrameOut, row.fssOut);
        EXPECT_EQ(t.s.cmdNextCaption, "Next " + std::to_string(row.fssFrame));
        ASSERT_TRUE(t.s.finished());
        EXPECT_FALSE(t.s.finished()->isEmpty());
    }
}

TEST(LostFocus, NormalisesChecksAndCopiesIntoStorage) {
    Session t;
    t.s.cells.txtSize[1] = "17X11";
    t.say(t.s.txtSize_LostFocus(1));
    EXPECT_EQ(t.s.cells.txtSize[1], "11x17");
    EXPECT_EQ(t.s.cells.txtPSS, "11x17");
    EXPECT_EQ(t.s.cells.txtFSS, "2x3");

    t.s.cells.txtSize[0] = "3x2";
    t.s.cells.txtSize[1] = "1117";
    t.say(t.s.txtSize_LostFocus(0)); // press cell untouched: the last step was not on it
    EXPECT_EQ(t.s.cells.txtFSS, "2x3");
    EXPECT_EQ(t.s.cells.txtPSS, "11x17");
    EXPECT_TRUE(t.sink.messages.empty());

    t.s.cells.txtSize[1] = "11x17";
    t.say(t.s.cmdNextPSS_Click());
    t.s.cells.txtSize[1] = "1117";
    t.say(t.s.txtSize_LostFocus(0)); // after a press step the press cell is checked too
    EXPECT_EQ(t.s.cells.txtPSS, "1117");
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{incorrectSizeMessage});
}

TEST(ScreenShowsCells, FollowsEveryInputOfTheRedraw) {
    Session t;
    EXPECT_FALSE(t.s.screenShowsCells()) << "nothing drawn yet";
    t.say(t.s.cmdNext_Click());
    EXPECT_TRUE(t.s.screenShowsCells());
    t.say(t.s.txtSize_LostFocus(0)); // entry form copied into the storage cell
    EXPECT_FALSE(t.s.screenShowsCells());
    t.say(t.s.DrawSheet());
    EXPECT_TRUE(t.s.screenShowsCells());
    t.s.cells.txtGrip = "0.25";
    EXPECT_FALSE(t.s.screenShowsCells());
}

TEST(Panel, StaggerGripperAndPressRows) {
    Session t("2x3", "11x17", "0.5");
    t.say(t.s.cmdNext_Click());
    t.say(t.s.cmdNext_Click()); // frame 2: 5 x 5 grid on 17 x 10.5 plus a side block
    std::vector<std::string> rows;
    for (const auto &row : panelRows(*t.s.finished()))
        rows.push_back(row.caption + "|" + row.value);
    const std::vector<std::string> expected = {
        " FRAME #            | 2 ",      " STANDARD OUT       | 25 ",
        " STAGGER OUT        | 3 ",      " TOTAL OUT          | 28 ",
        " MAXIMUM OUT        | 28 ",     " PSW-SHT WIDTH      | 17.0000",
        " PSD-SHT DEPTH      | 11.0000", "  = GRIPPER   | 0.5000",
        " X=FIN SHT DIM      | 3.0000",  " Y=FIN SHT DIM      | 2.0000",
        " x=SWING CUT        | 2.0000",  " y=SWING CUT        | 3.0000",
        " % STOCK WASTE      | 10.2%"};
    EXPECT_EQ(rows, expected);
    // The press panel names the parent sheet differently on paper.
    const auto screen = panelRows(*t.s.press());
    EXPECT_EQ(screen[3].caption + screen[3].value, " WID-SHT WIDTH       35.0000");
    EXPECT_EQ(panelRows(*t.s.press(), PanelMedium::Report)[3].caption, " PARS-SHT WIDTH     ");
}

} // namespace
