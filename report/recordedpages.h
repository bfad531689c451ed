#pragma once

#include "layprint.h"
#include "pagefit.h"
#include "recordingsurface.h"

#include <QSizeF>

#include <memory>

class QPaintDevice;

namespace sheetcraft {

// The report laid out for one paint device: its one page as recorded at the
// designed coordinates, where the sections went, and how the page fits the
// printable area.
struct ReportPage {
    std::unique_ptr<RecordingSurface> recording;
    ReportLayout layout;
    PageFit fit;
};

// Lays the report out with the font metrics of `device` (which must outlive
// the recording) and fits it to a printable area of `printable` twips.
ReportPage layOutReport(const Cells &cells, const FrameState &frames, const ReportContent &content,
                        const QPaintDevice &device, QSizeF printable);

// Makes the report's font name stand for the embedded serif; called before
// anything measures report text.
void registerReportFont();

} // namespace sheetcraft
