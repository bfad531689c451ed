#pragma once

#include "bestlayout.h"
#include "cutplan.h"
#include "drawsurface.h"
#include "gangplan.h"
#include "outcome.h"
#include "recordingsurface.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QPaintDevice;

namespace sheetcraft {

// What a gang run prints: one page per template (drawing, run, slots, numbered
// cuts) and a summary page (jobs, runs, overs, totals, bound).
struct GangDocument {
    GangProblem problem;
    GangPlan plan;
    std::vector<Layout> layouts; // per template
    std::vector<CutPlan> cutPlans;
    std::vector<Rgb> colours; // per job
};

// A template's run, slots and numbered cut list, as shown beside its drawing.
std::string gangTemplateText(const GangProblem &problem, const GangPlan &plan, std::size_t index,
                             const CutPlan &cuts);
// The summary: jobs ordered, produced and overs, totals, bound and label, and
// the best total per number of templates.
std::vector<std::string> gangSummaryLines(const GangProblem &problem, const GangPlan &plan);

std::vector<std::unique_ptr<RecordingSurface>>
layOutGangPages(const GangDocument &document, const QPaintDevice &device, QSizeF printable);
bool paintGangPages(const GangDocument &document, QPagedPaintDevice &device);
QByteArray renderGangPdf(const GangDocument &document, const QPageLayout *pageLayout = nullptr);
// Writes the PDF with writeFileSafely; on failure says why. Needs a QGuiApplication.
[[nodiscard]] Outcome writeGangPdf(const GangDocument &document, const QString &path,
                                   const QPageLayout *pageLayout = nullptr);

} // namespace sheetcraft
