#include "reportoutput.h"

#include "pagefit.h"
#include "recordedpages.h"
#include "safewrite.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>

namespace sheetcraft {

std::optional<ReportLayout> paintReport(const Cells &cells, const FrameState &frames,
                                        const ReportContent &content, QPagedPaintDevice &device) {
    // The device's metrics describe its printable area, which is where the
    // painter's origin lies.
    if (device.logicalDpiY() <= 0 || device.logicalDpiX() <= 0)
        return std::nullopt;
    const ReportPage page = layOutReport(cells, frames, content, device, printableTwips(device));
    if (!paintFittedPages(device, {page.recording.get()}))
        return std::nullopt;
    return page.layout;
}

void setUpReportPdf(QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
}

QByteArray renderPdf(const QString &title, const QPageLayout *pageLayout,
                     const std::function<bool(QPagedPaintDevice &)> &paint) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(reportPdfResolution);
        writer.setCreator(QStringLiteral("Sheetcraft"));
        writer.setTitle(title);
        if (pageLayout)
            writer.setPageLayout(*pageLayout);
        else
            setUpReportPdf(writer);
        if (!paint(writer))
            return {};
    }
    buffer.close();
    return bytes;
}

QByteArray renderReportPdf(const Cells &cells, const FrameState &frames,
                           const ReportContent &content, const QPageLayout *pageLayout) {
    return renderPdf(QStringLiteral("Layouts"), pageLayout, [&](QPagedPaintDevice &device) {
        return paintReport(cells, frames, content, device).has_value();
    });
}

Outcome writeReportPdf(const Cells &cells, const FrameState &frames, const QString &path) {
    Outcome said;
    const std::optional<ReportContent> content = prepareReport(cells, frames, said);
    if (!content)
        return said;
    return writeReportPdf(cells, frames, *content, path);
}

Outcome writeReportPdf(const Cells &cells, const FrameState &frames, const ReportContent &content,
                       const QString &path, const QPageLayout *pageLayout) {
    return writePdfFile(path, MessageKind::ReportNoFonts, MessageKind::ReportNotWritten,
                        [&] { return renderReportPdf(cells, frames, content, pageLayout); });
}

Outcome writePdfFile(const QString &path, MessageKind noFonts, MessageKind notWritten,
                     const std::function<QByteArray()> &render) {
    Outcome said;
    // Text is measured with the platform's fonts, which need a GUI
    // application object; without one Qt would abort.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        said.say(noFonts);
        return said;
    }
    const auto fail = [&](const std::string &reason) {
        said.say({notWritten, 0, QDir::toNativeSeparators(path).toStdString(), reason});
        return said;
    };
    const QByteArray pdf = render();
    if (pdf.isEmpty())
        return fail("the pages could not be drawn");
    // Made whole in memory first, then saved aside and renamed, so a failure
    // never leaves half a file in place of a good one.
    const std::string failure = writeFileSafely(QFile::encodeName(path).toStdString(),
                                                std::string_view(pdf.data(), pdf.size()));
    return failure.empty() ? said : fail(failure);
}

} // namespace sheetcraft
