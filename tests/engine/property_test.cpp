#include "layoutsession.h"
#include "panel.h"
#include "saidlog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

using namespace sheetcraft;

namespace {

// Checks every layout the redraw hands over for drawing.
class CheckingView : public RedrawView {
public:
    void clear() override {}
    void drawSheet(const DiagramValues &v) override {
        EXPECT_TRUE(std::isfinite(v.fullSheetWidth) && v.fullSheetWidth > 0);
        EXPECT_TRUE(std::isfinite(v.fullSheetDepth) && v.fullSheetDepth > 0);
    }
    void drawLayout(const DiagramValues &v, const std::vector<PanelRow> &rows) override {
        ++layouts;
        EXPECT_EQ(v.standardOut(), v.piecesAcross * v.piecesDown);
        EXPECT_GT(v.standardOut(), 0);
        EXPECT_EQ(v.totalOut(), v.standardOut() + v.staggerOut());
        EXPECT_LE(v.frameOut(), v.maximumOut());
        if (v.showsStagger()) {
            EXPECT_EQ(v.staggerAcross * v.staggerDown, v.staggerOut());
        }
        EXPECT_GE(v.stockWastePct, 0);
        EXPECT_LE(v.stockWastePct, 100);
        for (const auto &row : rows) {
            EXPECT_EQ(row.value.find("nan"), std::string::npos);
            EXPECT_EQ(row.value.find("inf"), std::string::npos);
            EXPECT_EQ(row.value.find("-.0"), std::string::npos);
        }
    }
    int layouts = 0;
};

// Mostly good decimals between low and high, now and then a bad part.
std::string randomNumber(std::mt19937 &rng, double low, double high) {
    const char *bad[] = {"", "0", "-3", "1e999", "abc"};
    const int kind = std::uniform_int_distribution<int>(0, 39)(rng);
    if (kind < 5)
        return bad[kind];
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, kind < 15 ? "%.0f" : "%.3f",
                  std::uniform_real_distribution<double>(low, high)(rng));
    return buffer;
}

std::string randomSize(std::mt19937 &rng, double low, double high) {
    const int shape = std::uniform_int_distribution<int>(0, 39)(rng);
    if (shape == 0)
        return randomNumber(rng, low, high); // no "x"
    const char *x = shape == 1 ? "X" : shape == 2 ? " x " : "x";
    return randomNumber(rng, low, high) + x + randomNumber(rng, low, high);
}

TEST(Property, RandomSizesNeverCrashAndStayConsistent) {
    std::mt19937 rng(20261206);
    CheckingView view;
    int drawn = 0;
    for (int i = 0; i < 3000; ++i) {
        test::SaidLog sink;
        LayoutSession s(&view);
        s.cells.txtSize[0] = randomSize(rng, 0.01, 20);
        s.cells.txtSize[1] = randomSize(rng, 4, 40);
        s.cells.txtSize[2] = randomSize(rng, 10, 80);
        s.cells.txtGrip = rng() % 4 == 0 ? randomNumber(rng, 0, 2) : "0";
        s.cells.optWidth = rng() % 2;
        sink.add(s.txtSize_LostFocus(static_cast<int>(rng() % 3)));
        sink.add(s.Command1_Click());
        for (int step = 0; step < 4; ++step)
            (rng() % 2) ? sink.add(s.cmdNext_Click()) : sink.add(s.cmdNextPSS_Click());
        if (rng() % 8 == 0)
            sink.add(s.cmdMaxOut_Click());
        drawn += s.lastOutcome() == RedrawOutcome::Drawn;
        // At most one message per handler: a redraw never repeats itself.
        EXPECT_LE(sink.messages.size(), 7u);
    }
    EXPECT_GT(drawn, 100);
    EXPECT_GT(view.layouts, 100);
}

} // namespace
