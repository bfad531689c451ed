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
