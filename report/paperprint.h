#pragma once

#include "outcome.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QPageLayout;
class QPagedPaintDevice;

namespace sheetcraft {

// The ranking of stock sheets as printed: a title, the job and press lines,
// and a table, all on one page.
struct PaperPage {
    QString title;
    QStringList lines;
    QStringList header;
    std::vector<QStringList> rows;
};

// Paints the page, the table shrunk to the printable width when it is wider.
bool paintPaperPage(const PaperPage &page, QPagedPaintDevice &device);

QByteArray renderPaperPdf(const PaperPage &page, const QPageLayout *pageLayout = nullptr);

// Writes the PDF with writeFileSafely; on failure says why.
[[nodiscard]] Outcome writePaperPdf(const PaperPage &page, const QString &path,
                                    const QPageLayout *pageLayout = nullptr);

} // namespace sheetcraft
