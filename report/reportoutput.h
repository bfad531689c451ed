#pragma once

#include "cells.h"
#include "layoutsession.h"
#include "layprint.h"
#include "outcome.h"
#include "reportcontent.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QPageLayout;
class QPagedPaintDevice;

namespace sheetcraft {

// Lays the report out for `device` and paints it there as one page, shrunk to
// the printable area when it would run past it. Returns the layout, or nothing
// when the device could not be painted on (a printer that is gone, a file that
// cannot be opened).
std::optional<ReportLayout> paintReport(const Cells &cells, const FrameState &frames,
                                        const ReportContent &content, QPagedPaintDevice &device);

// Dots per inch of every PDF the report makes.
inline constexpr int reportPdfResolution = 600;

// Sets up a PDF-producing device the way every report file is made: Letter
// paper, quarter-inch margins, 600 dots per inch.
void setUpReportPdf(QPagedPaintDevice &device);

// A PDF made in memory, titled `title`: laid out on `pageLayout`, or without
// one as setUpReportPdf sets it. Empty when `paint` fails.
QByteArray renderPdf(const QString &title, const QPageLayout *pageLayout,
                     const std::function<bool(QPagedPaintDevice &)> &paint);

// Writes what `render` makes to `path` with writeFileSafely. Says `noFonts`
// without a GUI application to measure text, else `notWritten` with the file
// and the reason when the pages cannot be drawn or saved; nothing otherwise.
[[nodiscard]] Outcome writePdfFile(const QString &path, MessageKind noFonts, MessageKind notWritten,
                                   const std::function<QByteArray()> &render);

// The report as the bytes of a PDF file; empty when it could not be made.
// Laid out on `pageLayout`, or without one as setUpReportPdf sets it.
QByteArray renderReportPdf(const Cells &cells, const FrameState &frames,
                           const ReportContent &content, const QPageLayout *pageLayout = nullptr);

// Writes the report to a PDF file with writeFileSafely. Says nothing when
// written; says why when the cells cannot be reported (see prepareReport) or
// the file cannot be written (the message then gives the reason); an existing
// file is replaced only once the new one is complete, and only a regular file
// or a new one is written. Needs a QGuiApplication (the offscreen platform
// will do) for its fonts.
[[nodiscard]] Outcome writeReportPdf(const Cells &cells, const FrameState &frames,
                                     const QString &path);

// The same for content already checked by prepareReport, laid out as
// renderReportPdf does.
[[nodiscard]] Outcome writeReportPdf(const Cells &cells, const FrameState &frames,
                                     const ReportContent &content, const QString &path,
                                     const QPageLayout *pageLayout = nullptr);

} // namespace sheetcraft
