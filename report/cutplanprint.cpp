#include "cutplanprint.h"

#include "cutlayoutpainter.h"
#include "embeddedfonts.h"
#include "layprint.h"
#include "pagefit.h"
#include "recordedpages.h"
#include "reportoutput.h"

#include <QDir>
#include <QPageLayout>
#include <QPagedPaintDevice>

#include <algorithm>

namespace sheetcraft {

namespace {

const TextFont titleFont{reportFontName, 14, true};
const TextFont headingFont{reportFontName, 12, true};
const TextFont bodyFont{reportFontName, 10, false};
const TextFont listFont{embeddedSansFamily, 8, false};
const TextFont labelFont{embeddedSansFamily, 7, false};

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
    w.line(page, titleFont, "Cut Plan");
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
    drawCutLayout(page, stage.best.layout, stage.plan, stage.best.sheetWidth, stage.best.sheetDepth,
                  box);
    page.moveTo(0, box.top + box.depth + 120);

    w.line(page, bodyFont, comparisonLine(stage));
    w.line(page, bodyFont, grainLine(stage));
    const auto frameCuts = stage.framePlan.operations.size();
    w.line(page, bodyFont,
           frameLine(stage) + ", " + std::to_string(frameCuts) +
               (frameCuts == 1 ? " cut" : " cuts"));
    if (doc.order)
        for (const std::string &text : orderLines(*doc.order, doc.framesOrder))
            w.line(page, bodyFont, text);
    page.print("", true);

    std::vector<std::string> lines = cutListLines(stage.plan, stage.best.layout.treeOmitted);
    const std::string heading = lines.front();
    lines.erase(lines.begin());
    std::size_t more = 0;
    if (lines.size() > printedCutLimit) {
        more = lines.size() - printedCutLimit;
        lines.resize(printedCutLimit);
    }
    w.line(page, headingFont, heading);

    // The list runs down in as many columns as fit across, then on over
    // further pages.
    RecordingSurface *s = &page;
    s->setFont(listFont);
    // Each line is "  12.  x 17 from the left, ...": the numbers are set
    // right-aligned in a column of their own, the rest after them.
    struct Entry {
        std::string number, rest;
    };
    std::vector<Entry> entries;
    entries.reserve(lines.size());
    double numberWidth = 0, restWidth = 0;
    for (const std::string &text : lines) {
        const auto dot = text.find(".  ");
        Entry e{text.substr(0, dot == std::string::npos ? 0 : dot + 1),
                dot == std::string::npos ? text : text.substr(dot + 3)};
        e.number.erase(0, e.number.find_first_not_of(' '));
        numberWidth = std::max(numberWidth, s->textWidth(e.number));
        restWidth = std::max(restWidth, s->textWidth(e.rest));
        entries.push_back(std::move(e));
    }
    const double numberGap = s->textWidth("  ");
    const double widest = numberWidth + numberGap + restWidth;
    const int columns =
        std::clamp(static_cast<int>((w.width() + columnGap) / (widest + columnGap)), 1, 3);
    const double lineHeight = s->textHeight();
    std::size_t next = 0;
    double top = s->currentY();
    for (;;) {
        const auto rows = static_cast<std::size_t>(std::max(1.0, (w.height() - top) / lineHeight));
        const std::size_t first = next;
        for (int c = 0; c < columns && next < lines.size(); ++c) {
            for (std::size_t r = 0; r < rows && next < lines.size(); ++r, ++next) {
                const Entry &e = entries[next];
                const double x = c * (widest + columnGap);
                const double y = top + static_cast<double>(r) * lineHeight;
                s->moveTo(x + numberWidth - s->textWidth(e.number), y);
                s->print(e.number, false);
                s->moveTo(x + numberWidth + numberGap, y);
                s->print(e.rest, false);
            }
        }
        const double end = top + static_cast<double>(std::min(rows, next - first)) * lineHeight;
        const bool roomForMore = end + lineHeight * 2 <= w.height();
        if (next == lines.size() && (more == 0 || roomForMore)) {
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

std::vector<std::unique_ptr<RecordingSurface>>
layOutCutPlan(const CutPlanDocument &document, const QPaintDevice &device, QSizeF printable) {
    std::vector<std::unique_ptr<RecordingSurface>> pages;
    PageWriter writer(device, printable, pages);
    for (const StagePlan &stage : document.stages)
        layOutStage(writer, document, stage);
    return pages;
}

bool paintCutPlan(const CutPlanDocument &document, QPagedPaintDevice &device) {
    if (device.logicalDpiX() <= 0 || device.logicalDpiY() <= 0 || document.stages.empty())
        return false;
    const auto pages = layOutCutPlan(document, device, printableTwips(device));
    std::vector<const RecordingSurface *> list;
    for (const auto &page : pages)
        list.push_back(page.get());
    return paintFittedPages(device, list).has_value();
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
