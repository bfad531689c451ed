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
    EXPECT_EQ(t.s.cmdNextCaption, "Next 1");
    EXPECT_TRUE(t.sink.messages.empty());
}

TEST(Frames, FrameZeroIsLaidOutAsFrameOne) {
    Session t;
    t.say(t.s.DrawSheet());
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->standardOut(), 25);
    EXPECT_EQ(panelRows(*t.s.finished()).front().value, " 0 ");
}

struct GripperCase {
    const char *grip;
    bool optWidth;
    double sheetWidth, sheetDepth;
};

class Gripper : public ::testing::TestWithParam<GripperCase> {};

TEST_P(Gripper, ComesOffTheChosenEdgeOnly) {
    const GripperCase &c = GetParam();
    Session t("2x3", "11x17", c.grip, c.optWidth);
    t.say(t.s.cmdNext_Click());
    ASSERT_TRUE(t.s.finished());
    const auto &v = *t.s.finished();
    EXPECT_EQ(v.sheetWidth, c.sheetWidth);
    EXPECT_EQ(v.sheetDepth, c.sheetDepth);
    EXPECT_EQ(v.fullSheetDepth, 11);
    EXPECT_EQ(wasteOf(v), " 19.8%"); // the strip is waste of the whole sheet
    EXPECT_EQ(t.s.press()->sheetDepth, 23);
    EXPECT_EQ(panelRows(v).size(), v.gripper > 0 ? 9u : 8u);
}

INSTANTIATE_TEST_SUITE_P(Edges, Gripper,
                         ::testing::Values(GripperCase{"0.5", true, 17, 10.5},
                                           GripperCase{"0.5", false, 16.5, 11},
                                           GripperCase{"1e999", true, 17, 11},
                                           GripperCase{"-1", true, 17, 11},
                                           GripperCase{"abc", true, 17, 11}));

struct FitFailure {
    const char *fss, *grip;
    RedrawOutcome outcome;
};

class DoesNotFit : public ::testing::TestWithParam<FitFailure> {};

TEST_P(DoesNotFit, WarnsOnceAndStopsAtThatDiagram) {
    Session t(GetParam().fss, "11x17", GetParam().grip);
    t.say(t.s.cmdNext_Click());
    EXPECT_EQ(t.s.lastOutcome(), GetParam().outcome);
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{doesNotFitMessage});
    EXPECT_EQ(t.view.log.back(), "sheet F");
    EXPECT_FALSE(t.s.press());
    t.sink.messages.clear();
    t.say(t.s.cmdMaxOut_Click()); // every frame fails alike: said once
    EXPECT_EQ(t.sink.messages.size(), 1u);
    EXPECT_EQ(t.s.frames.stepMode, StepMode::Finished);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DoesNotFit,
    ::testing::Values(FitFailure{"12x18", "0", RedrawOutcome::FinishedDoesNotFit},
                      FitFailure{"2x3", "11", RedrawOutcome::FinishedDoesNotFit}));

TEST(Redraw, StorageCellsHoldTheLargerNumberFirst) {
    Session t("3x2", "17X11"); // 3x2 and 2x3 store alike
    t.say(t.s.Command1_Click());
    EXPECT_EQ(t.s.cells.txtFSS, "3x2");
    EXPECT_EQ(t.s.cells.txtSize[1], "17x11");
    EXPECT_EQ(t.s.cells.txtPSS, "17x11");
    EXPECT_EQ(t.s.cells.txtPARS, "35x23");
    EXPECT_EQ(t.s.frames.fssFrameOut, 25);
}

class BadSizes : public ::testing::TestWithParam<std::pair<int, const char *>> {};

TEST_P(BadSizes, AreRefusedAndChangeNothing) {
    Session t;
    t.say(t.s.cmdNext_Click());
    const auto frames = t.s.frames;
    const auto storage = t.s.cells.txtPSS;
    t.view.log.clear();

    t.s.cells.txtSize[GetParam().first] = GetParam().second;
    t.say(t.s.cmdNext_Click());
    t.say(t.s.cmdNextPSS_Click());
    t.say(t.s.Command1_Click());
    t.say(t.s.cmdMaxOut_Click());
    t.say(t.s.DrawSheet());

    EXPECT_EQ(t.sink.messages, std::vector<std::string>(5, incorrectSizeMessage));
    EXPECT_TRUE(t.view.log.empty()) << "nothing drawn or cleared";
    EXPECT_EQ(t.s.frames.fssFrame, frames.fssFrame);
    EXPECT_EQ(t.s.frames.pssFrame, frames.pssFrame);
    EXPECT_EQ(t.s.cells.txtPSS, storage);
    EXPECT_EQ(t.s.lastOutcome(), RedrawOutcome::RefusedSize);
}

INSTANTIATE_TEST_SUITE_P(Texts, BadSizes,
                         ::testing::Values(std::pair{1, "1117"}, std::pair{0, "x3"},
                                           std::pair{0, "2x"}, std::pair{0, "0x3"},
                                           std::pair{2, "-23x35"}, std::pair{0, "axb"},
                                           std::pair{0, "1e999x3"}, std::pair{1, "0.01x0.04"},
                                           std::pair{2, "0.02x0.03"}));

TEST(Redraw, TinyFinishedSheetIsNotRefused) {
    Session t("0.002x0.002");
    t.say(t.s.cmdNext_Click());
    ASSERT_TRUE(t.s.finished());
    EXPECT_EQ(t.s.finished()->standardOut(), 8500.0 * 5500.0);
}

struct MaximizeCase {
    const char *name, *fss, *pss, *grip;
    int startFss; // a frame shown before Maximize, 0 for none
    int fssFrame, pssFrame;
    double fssOut;
};

class Maximize : public ::testing::TestWithParam<MaximizeCase> {};

TEST_P(Maximize, StopsOnTheFirstDrawnBestFrame) {
    const MaximizeCase &c = GetParam();
    Session t(c.fss, c.pss, c.grip, false);
    if (c.startFss)
        t.say(t.s.Command1_Click());
    ASSERT_EQ(t.s.frames.fssFrame, c.startFss);
    t.say(t.s.cmdMaxOut_Click());
    EXPECT_EQ(t.s.frames.fssFrame, c.fssFrame);
    EXPECT_EQ(t.s.frames.pssFrame, c.pssFrame);
    EXPECT_EQ(t.s.frames.fssFrameOut, c.fssOut);
    EXPECT_EQ(t.s.frames.stepMode, StepMode::Finished);
    EXPECT_EQ(t.s.cmdNextCaption, "Next " + std::to_string(c.fssFrame));
    ASSERT_TRUE(t.s.finished());
    EXPECT_FALSE(t.s.finished()->isEmpty());
}

// "emptyFrameOne": the gripper leaves the sheet narrower than the piece's long
// side, so frames 1 and 2 are empty while the count left from frame 3 equals
// the maximum: Maximize must not settle on frame 1.
INSTANTIATE_TEST_SUITE_P(
    Cases, Maximize,
    ::testing::Values(MaximizeCase{"defaults", "2x3", "11x17", "0", 0, 4, 1, 29},
                      MaximizeCase{"uprightBest", "11x17", "23x35", "0", 0, 1, 1, 4},
                      MaximizeCase{"emptyFrameOne", "10x12", "13x17", "6", 3, 3, 1, 1}),
    [](const auto &row) { return std::string(row.param.name); });

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

    t.say(t.s.txtSize_LostFocus(1));
    EXPECT_EQ(t.s.cells.txtSize[1], "1117");
    EXPECT_EQ(t.sink.messages, std::vector<std::string>{incorrectSizeMessage});
    EXPECT_TRUE(t.view.log.empty()) << "leaving a cell draws nothing";

    t.s.cells.txtSize[1] = "11x17";
    t.say(t.s.cmdNextPSS_Click());
    t.s.cells.txtSize[1] = "1117";
    t.say(t.s.txtSize_LostFocus(0)); // after a press step the press cell is checked too
    EXPECT_EQ(t.s.cells.txtPSS, "1117");
    EXPECT_EQ(t.sink.messages.size(), 2u);
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
    EXPECT_EQ(t.s.cells.txtSwap[0], " 2");

    const auto screen = panelRows(*t.s.press());
    const auto report = panelRows(*t.s.press(), PanelMedium::Report);
    EXPECT_EQ(screen[3].caption + screen[3].value, " WID-SHT WIDTH       35.0000");
    EXPECT_EQ(screen[5].caption, " X=PRS SHT DIM      ");
    EXPECT_EQ(report[3].caption, " PARS-SHT WIDTH     ");
    EXPECT_EQ(report[4].caption, " PARS-SHT DEPTH     ");
}

} // namespace
