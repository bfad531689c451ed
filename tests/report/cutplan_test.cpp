// The printed cut plan: a page per stage whose drawing is never cut off, the
// cut list going on over further pages, each page inside the printable area.

#include "cutplanprint.h"
#include "pagefit.h"
#include "reportoutput.h"

#include <QBuffer>
#include <QPdfWriter>
#include <gtest/gtest.h>

using namespace sheetcraft;
using Kind = DrawOp::Kind;

namespace {

StagePlan stage(Diagram diagram, const char *piece, const char *sheet, double gripper = 0) {
    BestLayoutOptions options;
    options.budget = std::chrono::milliseconds(500);
    return computeStagePlan(computeDiagram(diagram, piece, sheet, 1, gripper), GrainRule::Any,
                            options);
}

std::string allText(const RecordingSurface &page) {
    std::string text;
    for (const DrawOp &op : page.ops())
        if (op.kind == Kind::Text)
            text += op.text + "\n";
    return text;
}

TEST(CutPlanPrint, APagePerStageEachInsideThePrintableAreaWithLongListsContinued) {
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setResolution(reportPdfResolution);
    setUpReportPdf(writer);
    const QSizeF printable = printableTwips(writer);

    const struct {
        const char *name;
        std::vector<StagePlan> stages;
        std::size_t minPages, maxPages;
        std::vector<std::string> printed;
    } rows[] = {
        {"defaults",
         {stage(Diagram::Finished, "2x3", "11x17"), stage(Diagram::Press, "11x17", "23x35")},
         2,
         2,
         {"Frames 1-4: 29   Best guillotine layout: 30 (+1)   No layout can hold more than 31",
          "Quantity 5000: run 167, press sheets 273, parent sheets 69",
          "Number Out: Press Sheets on Parent Sheet", "Grain: any   Proven best",
          "Cut Plan   2026-12-07", "Job # 4711   Part 2   Ace Printing", "Stock: 80# gloss",
          "Knife any length, gauge no closer than 0, lifts of 500 sheets",
          "Cutting: 1 lift of press sheets x ", "pieces off"}},
        {"tall parent sheet", {stage(Diagram::Press, "1x1", "1x40")}, 1, 1, {"Cut plan: 6 cuts"}},
        {"tiny pieces",
         {stage(Diagram::Finished, "0.013x0.017", "11x17")},
         2,
         40,
         {"Number Up: Finished Forms on Press Sheet: cut plan, continued"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CutPlanDocument doc;
        doc.job = {"Job # 4711", "2", "Ace Printing", "Flyers", "80# gloss"};
        doc.date = "2026-12-07";
        doc.stages = row.stages;
        if (row.stages.size() == 2) {
            doc.order = orderQuantities(5000, 3, 100, row.stages[0].best.layout.count,
                                        row.stages[1].best.layout.count);
        }
        const auto pages = layOutCutPlan(doc, writer, printable);
        EXPECT_GE(pages.size(), row.minPages);
        EXPECT_LE(pages.size(), row.maxPages);
        std::string text;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const PageFit fit = fitPage(*pages[i], printable);
            // Laid out for the page: nothing needs shrinking, and a page that
            // would is shrunk whole, never cut.
            EXPECT_DOUBLE_EQ(fit.scale, 1) << "page " << i + 1;
            EXPECT_LE(fit.extent.right, printable.width());
            EXPECT_LE(fit.extent.bottom, printable.height());
            text += allText(*pages[i]);
            // Read at the machine: nothing smaller than 9 pt.
            for (const DrawOp &op : pages[i]->ops())
                if (op.kind == Kind::Text || op.kind == Kind::Font) {
                    EXPECT_TRUE(op.font.points == 0 || op.font.points >= 9) << op.text;
                }
        }
        EXPECT_EQ(text.find(" shown: "), std::string::npos); // no stray frame line
        for (const std::string &line : row.printed)
            EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(CutPlanPrint, APdfOfTheRightPageCount) {
    CutPlanDocument doc;
    doc.stages = {stage(Diagram::Finished, "3x2", "17x11", 0.5)};
    const QByteArray pdf = renderCutPlanPdf(doc);
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), 1);
    EXPECT_TRUE(renderCutPlanPdf({}).isEmpty()); // nothing to print is no file
}

} // namespace
