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

ReportPage layOutReport(const Cells &cells, const FrameState &frames, const ReportContent &content,
                        const QPaintDevice &device, QSizeF printable) {
    ReportPage page;
    page.recording = std::make_unique<RecordingSurface>(&device, baseFont());
    page.layout = layPrint(cells, frames, content, *page.recording);
    page.fit = fitPage(*page.recording, printable);
    return page;
}

} // namespace sheetcraft
