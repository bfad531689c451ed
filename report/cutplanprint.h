#pragma once

#include "cells.h"
#include "outcome.h"
#include "recordingsurface.h"
#include "stageplan.h"

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QPaintDevice;

namespace sheetcraft {

// The job a cut ticket belongs to, as the main window's cells hold it.
struct JobHeader {
    std::string number; // "Job # 1234" or "Quote # 77", empty when none
    std::string part, customer, description, stock;
};
JobHeader jobHeader(const Cells &cells);

// What the cut plan prints: the job, each stage (finished pieces from the
// press sheet, then press sheets from the parent sheet) on the machine its
// plan was made for, and the sheets to order with the cutting work.
struct CutPlanDocument {
    JobHeader job;
    std::string date; // as printed; today's when empty
    std::vector<StagePlan> stages;
    std::optional<OrderQuantities> order;       // from the layouts shown
    std::optional<OrderQuantities> framesOrder; // from the frames' counts
};

// A stage's cut list is printed up to this many cuts; the rest are counted.
inline constexpr std::size_t printedCutLimit = 1500;

// The cut plan laid out for `device`'s font metrics (the device must outlive
// the pages) on a printable area of `printable` twips: one page per stage with
// its drawing, comparison, grain, order figures and cut list, the list going
// on over further pages when it is long. The drawing always lies whole on its
// page.
std::vector<std::unique_ptr<RecordingSurface>>
layOutCutPlan(const CutPlanDocument &document, const QPaintDevice &device, QSizeF printable);

// Paints the cut plan on `device`, each page fitted to the printable area.
// False when the device could not be painted on.
bool paintCutPlan(const CutPlanDocument &document, QPagedPaintDevice &device);

// The cut plan as the bytes of a PDF (Letter, as every report file, unless a
// page layout is given); empty when it could not be made.
QByteArray renderCutPlanPdf(const CutPlanDocument &document,
                            const QPageLayout *pageLayout = nullptr);

// Writes the PDF with writeFileSafely; on failure says why, leaving any old
// file as it was. Needs a QGuiApplication for fonts.
[[nodiscard]] Outcome writeCutPlanPdf(const CutPlanDocument &document, const QString &path,
                                      const QPageLayout *pageLayout = nullptr);

} // namespace sheetcraft
