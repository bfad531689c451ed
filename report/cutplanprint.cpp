#include "cutplanprint.h"

#include "cutlayoutpainter.h"
#include "embeddedfonts.h"
#include "layprint.h"
#include "pagefit.h"
#include "recordedpages.h"
#include "reportoutput.h"

#include "cutsteps.h"

#include <QDate>
#include <QDir>
#include <QPageLayout>
#include <QPagedPaintDevice>

#include <algorithm>
#include <array>

namespace sheetcraft {

namespace {

const TextFont titleFont{reportFontName, 14, true};
const TextFont headingFont{reportFontName, 12, true};
const TextFont bodyFont{reportFontName, 10, false};
// Nothing on a ticket is smaller than 9 pt: it is read at the machine.
const TextFont listFont{embeddedSansFamily, 9, false};
const TextFont labelFont{embeddedSansFamily, 9, true};

constexpr double columnGap = 360; // twips between cut-list columns

class PageWriter {
public:
    PageWriter(const QPaintDevice &device, QSizeF printable,
               std::vector<std::unique_ptr<RecordingSurface>> &pages)
        : m_device(device), m_printable(printable), m_pages(pages) {}

    RecordingSurface &newPage() {
        registerReportFont();
        m_pages.push_back(std::make_unique<RecordingSurface>(
            &m_device, QFont(QString::fromLatin1(reportFontName), 10)));
        return *m_pages.back();
    }

    void line(RecordingSurface &s, const TextFont &font, const std::string &text) {
        s.setFont(font);
        s.setCurrentX(0);
        s.print(text, true);
    }

    double width() const { return m_printable.width(); }
    double height() const { return m_printable.height(); }

private:
    const QPaintDevice &m_device;
    QSizeF m_printable;
    std::vector<std::unique_ptr<RecordingSurface>> &m_pages;
};

const char *stageTitle(const StagePlan &stage) {
    return stage.diagram == Diagram::Finished ? finishedHeading : pressHeading;
}

void layOutStage(PageWriter &w, const CutPlanDocument &doc, const StagePlan &stage) {
    RecordingSurface &page = w.newPage();
    w.line(page, titleFont, "Cut Plan   " + doc.date);
    const JobHeader &job = doc.job;
    std::string jobLine = job.number;
    if (!job.number.empty() && !job.part.empty())
        jobLine += (jobLine.empty() ? "" : "   ") + std::string("Part ") + job.part;
    if (!job.customer.empty())
        jobLine += (jobLine.empty() ? "" : "   ") + job.customer;
    if (!jobLine.empty())
        w.line(page, bodyFont, jobLine);
    if (!job.description.empty())
        w.line(page, bodyFont, "Description: " + job.description);
    if (!job.stock.empty())
        w.line(page, bodyFont, "Stock: " + job.stock);
    w.line(page, headingFont, stageTitle(stage));
    w.line(page, bodyFont, sizesLine(stage));
    page.print("", true);

    // The drawing takes about half the page and is laid out whole on it.
    CutLayoutBox box;
    box.left = 0;
    box.top = page.currentY();
    box.width = w.width();
    box.depth = std::max(1440.0, std::min(w.height() * 0.45, w.height() - box.top - 2880));
    box.minDetail = 30;
    box.labelFont = labelFont;
    const Layout &layout = shownLayout(stage);
    const CutPlan &plan = shownPlan(stage);
    drawCutLayout(page, layout, plan, stage.best.sheetWidth, stage.best.sheetDepth, box);
    page.moveTo(0, box.top + box.depth + 120);

    w.line(page, bodyFont, comparisonLine(stage));
    w.line(page, bodyFont, grainLine(stage));
    if (!stage.tradeoff.empty()) {
        std::string line = "Fewest cuts found:";
        for (const TradeoffRow &row : stage.tradeoff)
            line += "  " + tradeoffText(row) + ";";
        w.line(page, bodyFont, line);
    }
    if (stage.shown > 0 && stage.shown < stage.tradeoff.size())
        w.line(page, bodyFont, "Layout cut: " + tradeoffText(stage.tradeoff[stage.shown]));
    w.line(page, bodyFont, machineLine(stage.machine));
    if (doc.order) {
        for (const std::string &text : orderLines(*doc.order, doc.framesOrder))
            w.line(page, bodyFont, text);
        if (doc.stages.size() == 2) {
            const std::size_t a = shownPlan(doc.stages[0]).operations.size();
            const std::size_t b = shownPlan(doc.stages[1]).operations.size();
            w.line(page, bodyFont,
                   cuttingLine(cuttingWork(*doc.order, a, b, stage.machine.lift), a, b));
        }
    }
    page.print("", true);

    const std::string heading =
        cutListLines(layout.treeOmitted ? CutPlan{} : plan, layout.treeOmitted).front();
    std::vector<CutRow> rows;
    if (!layout.treeOmitted)
        rows = cutRows(plan);
    std::size_t more = 0;
    if (rows.size() > printedCutLimit) {
        more = rows.size() - printedCutLimit;
        rows.resize(printedCutLimit);
    }
    w.line(page, headingFont, heading);

    // The list runs down in as many columns as fit across, then on over
    // further pages.
    RecordingSurface *s = &page;
    s->setFont(listFont);
    // Each stroke is a row of columns: number (right-aligned), pile, turn,
    // gauge, what comes off and any note.
    constexpr std::size_t fieldCount = 6;
    auto fields = [](const CutRow &r) {
        return std::array<std::string, fieldCount>{r.number + ".", r.pile, r.turn,
                                                   r.gauge,        r.off,  r.note};
    };
    std::array<double, fieldCount> fieldWidth{};
    for (const CutRow &r : rows) {
        const auto f = fields(r);
        for (std::size_t i = 0; i < fieldCount; ++i)
            fieldWidth[i] = std::max(fieldWidth[i], s->textWidth(f[i]));
    }
    const double fieldGap = s->textWidth("   ");
    double widest = 0;
    for (double fw : fieldWidth)
        widest += fw > 0 ? fw + fieldGap : 0;
    const int columns =
        std::clamp(static_cast<int>((w.width() + columnGap) / (widest + columnGap)), 1, 3);
    const double lineHeight = s->textHeight();
    std::size_t next = 0;
    double top = s->currentY();
    for (;;) {
        const auto perColumn =
            static_cast<std::size_t>(std::max(1.0, (w.height() - top) / lineHeight));
        const std::size_t first = next;
        for (int c = 0; c < columns && next < rows.size(); ++c) {
            for (std::size_t r = 0; r < perColumn && next < rows.size(); ++r, ++next) {
                const auto f = fields(rows[next]);
                double x = c * (widest + columnGap);
                const double y = top + static_cast<double>(r) * lineHeight;
                for (std::size_t i = 0; i < fieldCount; ++i) {
                    if (fieldWidth[i] <= 0)
                        continue;
                    s->moveTo(i == 0 ? x + fieldWidth[0] - s->textWidth(f[0]) : x, y);
                    s->print(f[i], false);
                    x += fieldWidth[i] + fieldGap;
                }
            }
        }
        const double end =
            top + static_cast<double>(std::min(perColumn, next - first)) * lineHeight;
        const bool roomForMore = end + lineHeight * 2 <= w.height();
        if (next == rows.size() && (more == 0 || roomForMore)) {
            s->moveTo(0, end);
            break;
        }
        s = &w.newPage();
        w.line(*s, headingFont, std::string(stageTitle(stage)) + ": cut plan, continued");
        s->setFont(listFont);
        top = s->currentY();
    }
    if (more > 0)
        w.line(*s, bodyFont, "... and " + std::to_string(more) + " more cuts, not printed");
}

} // namespace

JobHeader jobHeader(const Cells &cells) {
    JobHeader h;
    const std::string &number = cells.optJob ? cells.txtJob : cells.txtQuote;
    if (!number.empty())
        h.number = (cells.optJob ? "Job # " : "Quote # ") + number;
    h.part = cells.txtPartNo;
    h.customer = cells.txtName;
    h.description = cells.txtDesc;
    h.stock = cells.txtStockDesc;
    return h;
}

std::vector<std::unique_ptr<RecordingSurface>>
layOutCutPlan(const CutPlanDocument &document, const QPaintDevice &device, QSizeF printable) {
    std::vector<std::unique_ptr<RecordingSurface>> pages;
    PageWriter writer(device, printable, pages);
    CutPlanDocument dated = document;
    if (dated.date.empty())
        dated.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    for (const StagePlan &stage : dated.stages)
        layOutStage(writer, dated, stage);
    return pages;
}

bool paintCutPlan(const CutPlanDocument &document, QPagedPaintDevice &device) {
    if (device.logicalDpiX() <= 0 || device.logicalDpiY() <= 0 || document.stages.empty())
        return false;
    const auto pages = layOutCutPlan(document, device, printableTwips(device));
    return paintFittedPages(device, pages).has_value();
}

QByteArray renderCutPlanPdf(const CutPlanDocument &document, const QPageLayout *pageLayout) {
    return renderPdf(QStringLiteral("Cut Plan"), pageLayout,
                     [&](QPagedPaintDevice &device) { return paintCutPlan(document, device); });
}

Outcome writeCutPlanPdf(const CutPlanDocument &document, const QString &path,
                        const QPageLayout *pageLayout) {
    if (document.stages.empty()) {
        Outcome said;
        said.say({MessageKind::CutPlanNotWritten, 0, QDir::toNativeSeparators(path).toStdString(),
                  "there is no layout to print"});
        return said;
    }
    return writePdfFile(path, MessageKind::CutPlanNoFonts, MessageKind::CutPlanNotWritten,
                        [&] { return renderCutPlanPdf(document, pageLayout); });
}

} // namespace sheetcraft
