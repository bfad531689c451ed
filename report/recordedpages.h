#pragma once

#include "recordingsurface.h"
#include "reportpages.h"

#include <memory>
#include <vector>

class QPaintDevice;

namespace sheetcraft {

// Report pages kept as recordings, measured with one device's font metrics,
// to be painted afterwards on a printer or a PDF (or read back by tests).
class RecordedPages : public ReportPages {
public:
    // Metrics of `device` (which must outlive the pages).
    RecordedPages(const QPaintDevice *device, double pageHeightTwips);
    // Metrics for a resolution in dots per inch, without a device.
    RecordedPages(double dpi, double pageHeightTwips);

    DrawSurface &page() override { return *m_pages.back(); }
    void newPage() override;
    double pageHeight() const override { return m_pageHeight; }

    const std::vector<std::unique_ptr<RecordingSurface>> &pages() const { return m_pages; }

private:
    const QPaintDevice *m_device = nullptr;
    double m_dpi = 0;
    double m_pageHeight = 0;
    std::vector<std::unique_ptr<RecordingSurface>> m_pages;
};

// Makes the report's font name stand for the embedded serif; called before
// anything measures report text.
void registerReportFont();

} // namespace sheetcraft
