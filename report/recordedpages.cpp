#include "recordedpages.h"

#include "layprint.h"

#include <QFont>
#include <QStringList>

namespace sheetcraft {

void registerReportFont() {
    const QString name = QString::fromLatin1(reportFontName);
    // Without this the platform falls back to its sans-serif default.
    if (QFont::substitutes(name).isEmpty())
        QFont::insertSubstitutions(
            name, {QStringLiteral("Times New Roman"), QStringLiteral("Nimbus Roman"),
                   QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
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
