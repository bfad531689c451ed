#include "recordedpages.h"

#include "embeddedfonts.h"
#include "layprint.h"

#include <QFont>

namespace sheetcraft {

void registerReportFont() {
    // The report's font name maps to the serif the program carries, so page
    // breaks and widths do not depend on the machine's fonts.
    loadEmbeddedFonts();
}

namespace {

QFont baseFont() {
    registerReportFont();
    return QFont(QString::fromLatin1(reportFontName), 12);
}

} // namespace

RecordedPages::RecordedPages(const QPaintDevice *device, double pageHeightTwips)
    : m_device(device), m_pageHeight(pageHeightTwips) {
    newPage();
}

RecordedPages::RecordedPages(double dpi, double pageHeightTwips)
    : m_dpi(dpi), m_pageHeight(pageHeightTwips) {
    newPage();
}

void RecordedPages::newPage() {
    if (m_device)
        m_pages.push_back(std::make_unique<RecordingSurface>(m_device, baseFont()));
    else
        m_pages.push_back(std::make_unique<RecordingSurface>(baseFont(), m_dpi));
}

} // namespace sheetcraft
