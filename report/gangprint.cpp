#include "gangprint.h"

#include "cutlayoutpainter.h"
#include "embeddedfonts.h"
#include "layprint.h"
#include "numberformat.h"
#include "pagefit.h"
#include "recordedpages.h"
#include "reportoutput.h"
#include "stageplan.h"

#include <QFont>
#include <QPagedPaintDevice>

#include <algorithm>
#include <cstdio>

namespace sheetcraft {

namespace {

const TextFont titleFont{reportFontName, 14, true};
const TextFont bodyFont{reportFontName, 10, false};
const TextFont listFont{embeddedSansFamily, 8, false};
const TextFont labelFont{embeddedSansFamily, 7, false};

std::string plural(std::int64_t n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::string gangTemplateText(const GangProblem &p, const GangPlan &g, std::size_t index,
                             const CutPlan &cuts) {
    const GangTemplate &t = g.templates[index];
    std::string text = "Template " + std::to_string(index + 1) + ": run " + std::to_string(t.run) +
                       ", " + plural(t.pressSheets, "press sheet", "press sheets") +
                       " with spoilage and make-ready\n";
    for (std::size_t i = 0; i < t.jobSlots.size(); ++i)
        if (t.jobSlots[i] > 0)
            text += "  " + p.jobs[i].name + ": " + std::to_string(t.jobSlots[i]) + " up\n";
    for (const std::string &line : cutListLines(cuts, false))
        text += line + "\n";
    return text;
}

std::vector<std::string> gangSummaryLines(const GangProblem &p, const GangPlan &g) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < p.jobs.size(); ++i)
        lines.push_back(p.jobs[i].name + ": ordered " + std::to_string(p.jobs[i].quantity) +
                        ", produced " + std::to_string(g.produced[i]) + ", overs " +
                        std::to_string(g.produced[i] - p.jobs[i].quantity));
    lines.emplace_back();
    for (std::size_t t = 0; t < g.templates.size(); ++t)
        lines.push_back("Template " + std::to_string(t + 1) + ": run " +
                        std::to_string(g.templates[t].run) + ", " +
                        plural(g.templates[t].pressSheets, "press sheet", "press sheets"));
    lines.push_back("Total: " + plural(g.pressSheets, "press sheet", "press sheets") + " (runs " +
                    std::to_string(g.runSheets) + ", spoilage " + sheetNumber(p.spoilagePct) +
                    " % per run, make-ready " + std::to_string(p.makeReady) + " per template)");
    lines.push_back("Lower bound: " + std::to_string(g.lowerBound) + " (" + g.boundText() + ")");
    lines.push_back("The plan is " + g.label() + ".");
    if (g.integerCutShort)
        lines.push_back("The run lengths were chosen within the time allowed.");
    lines.emplace_back();
    for (std::size_t k = 0; k < g.byTemplates.size(); ++k)
        lines.push_back("At most " + plural(std::int64_t(k + 1), "template", "templates") + ": " +
                        (g.byTemplates[k] > 0 ? std::to_string(g.byTemplates[k]) + " press sheets"
                                              : std::string("none found")));
    return lines;
}

std::vector<std::unique_ptr<RecordingSurface>>
layOutGangPages(const GangDocument &doc, const QPaintDevice &device, QSizeF printable) {
    std::vector<std::unique_ptr<RecordingSurface>> pages;
    registerReportFont();
    const auto newPage = [&]() -> RecordingSurface & {
        pages.push_back(std::make_unique<RecordingSurface>(
            &device, QFont(QString::fromLatin1(reportFontName), 10)));
        return *pages.back();
    };
    const auto line = [](RecordingSurface &s, const TextFont &font, const std::string &text) {
        s.setFont(font);
        s.setCurrentX(0);
        s.print(text, true);
    };
    const GangPlan &g = doc.plan;
    for (std::size_t t = 0; t < g.templates.size() && t < doc.layouts.size(); ++t) {
        RecordingSurface &page = newPage();
        line(page, titleFont,
             "Gang Run: template " + std::to_string(t + 1) + " of " +
                 std::to_string(g.templates.size()));
        // The legend: each job on this template in its colour.
        for (std::size_t i = 0; i < g.templates[t].jobSlots.size(); ++i) {
            if (g.templates[t].jobSlots[i] == 0)
                continue;
            page.setFont(bodyFont);
            const double y = page.currentY(), h = page.textHeight();
            page.setFillStyle(FillStyle::Solid);
            page.setFillColor(doc.colours.empty() ? white : doc.colours[i % doc.colours.size()]);
            page.box(0, y + h * 0.15, h * 1.4, y + h * 0.85);
            page.moveTo(h * 2, y);
            page.print(doc.problem.jobs[i].name + ": " +
                           std::to_string(g.templates[t].jobSlots[i]) + " up",
                       true);
        }
        page.print("", true);
        CutLayoutBox box;
        box.top = page.currentY();
        box.width = printable.width();
        box.depth = std::max(
            1440.0, std::min(printable.height() * 0.45, printable.height() - box.top - 2880));
        box.minDetail = 30;
        box.labelFont = labelFont;
        box.itemColours = doc.colours;
        drawCutLayout(page, doc.layouts[t], doc.cutPlans[t], g.sheetWidth, g.sheetDepth, box);
        page.moveTo(0, box.top + box.depth + 120);
        line(page, bodyFont,
             "Run " + std::to_string(g.templates[t].run) + ", " +
                 plural(g.templates[t].pressSheets, "press sheet", "press sheets") +
                 " with spoilage and make-ready");
        page.setFont(listFont);
        const double bottom = printable.height() - page.textHeight() * 2;
        const auto cuts = cutListLines(doc.cutPlans[t], false);
        for (std::size_t k = 0; k < cuts.size(); ++k) {
            if (page.currentY() > bottom) {
                line(page, listFont,
                     "... and " + std::to_string(cuts.size() - k) + " more cuts, not printed");
                break;
            }
            line(page, listFont, cuts[k]);
        }
    }
    RecordingSurface &summary = newPage();
    line(summary, titleFont, "Gang Run: summary");
    line(summary, bodyFont,
         "Press sheet " + sheetNumber(g.sheetWidth) + " x " + sheetNumber(g.sheetDepth));
    for (const std::string &text : gangSummaryLines(doc.problem, g))
        line(summary, bodyFont, text);
    return pages;
}

bool paintGangPages(const GangDocument &doc, QPagedPaintDevice &device) {
    if (device.logicalDpiX() <= 0 || device.logicalDpiY() <= 0 ||
        doc.plan.status != GangPlan::Status::Planned)
        return false;
    const auto pages = layOutGangPages(doc, device, printableTwips(device));
    return paintFittedPages(device, pages).has_value();
}

QByteArray renderGangPdf(const GangDocument &doc, const QPageLayout *pageLayout) {
    return renderPdf(QStringLiteral("Gang Run"), pageLayout,
                     [&](QPagedPaintDevice &device) { return paintGangPages(doc, device); });
}

Outcome writeGangPdf(const GangDocument &doc, const QString &path, const QPageLayout *pageLayout) {
    return writePdfFile(path, MessageKind::CutPlanNoFonts, MessageKind::CutPlanNotWritten,
                        [&] { return renderGangPdf(doc, pageLayout); });
}

} // namespace sheetcraft
