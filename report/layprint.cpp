#include "layprint.h"

#include "geometry.h"
#include "numberformat.h"
#include "panel.h"

#include <algorithm>
#include <string>

namespace sheetcraft {

namespace {

constexpr double titleWidthSpan = 11560; // the title is centred over this width
constexpr double pageTop = 320;
constexpr double blockLeft = 640;
constexpr double fieldGap = 240; // least space between two fields of a job line

TextFont reportFont(double points, bool bold) {
    return TextFont{reportFontName, points, bold};
}

struct SectionText {
    std::string heading;
    const DiagramValues &values;
};

// One section from its heading on, starting at the current y: heading, sheet
// at paper scale, pieces, then the rows beside the sheet.
ReportSectionLayout drawSection(DrawSurface &s, const SectionText &section) {
    ReportSectionLayout layout;

    s.setFont(reportFont(12, true));
    s.moveTo(blockLeft, s.currentY());
    s.print(section.heading, true);

    // The dimension labels are printed in the heading's font.
    const DiagramGeometry geometry =
        DiagramGeometry::paper(static_cast<double>(roundHalfEven(s.currentY()) + 320));
    layout.placement = DiagramPainter::drawSheet(s, section.values, geometry);
    DiagramPainter::drawPieces(s, section.values, layout.placement, geometry);

    layout.valueColumn =
        static_cast<std::int16_t>(roundHalfEven(s.textWidth(" STANDARD OUT       ") + 1260));
    const double sheetRight = layout.placement.sheetRight;
    const double captionX = sheetRight + 1260;

    s.moveTo(captionX, layout.placement.sheetTop);
    RowPlacement place;
    place.captionX = captionX;
    place.valueX = sheetRight + layout.valueColumn;
    place.legendLeft = sheetRight + 1320;
    place.legendRight = sheetRight + 1620;
    place.legendTop = 40;
    place.legendBottom = 200;
    place.legendPen = 3;
    DiagramPainter::printRows(s, panelRows(section.values, PanelMedium::Report), place,
                              [&](std::size_t row) {
                                  layout.rowsEnd = s.currentY();
                                  // Only the frame row is bold; the rest is regular.
                                  if (row == 0)
                                      s.setFont(reportFont(12, false));
                              });
    return layout;
}

} // namespace

ReportLayout layPrint(const Cells &cells, const FrameState &frames, const ReportContent &content,
                      DrawSurface &s) {
    ReportLayout layout;

    // Title, centred over the page's usable width.
    s.setFont(reportFont(24, true));
    const auto w = static_cast<std::int16_t>(roundHalfEven(s.textWidth(reportTitle)));
    const float left = static_cast<float>(titleWidthSpan - w) / 2.0f;
    layout.titleLeft = static_cast<std::int16_t>(roundHalfEven(left));
    s.moveTo(left, pageTop);
    s.print(reportTitle, false);
    layout.titleRight = static_cast<float>(s.currentX());
    s.print("", true);
    s.print("", true);

    // Job block: bold labels, regular values.
    const auto field = [&](double x, const char *label, const std::string &value, bool lineEnd) {
        s.moveTo(x, s.currentY());
        s.setFont(reportFont(12, true));
        s.print(label, false);
        s.setFont(reportFont(12, false));
        s.print(value, lineEnd);
    };
    // The job and part columns keep their places unless the text before them
    // runs that far; then they move right instead of printing over it.
    const auto after = [&](double column) { return std::max(column, s.currentX() + fieldGap); };
    field(blockLeft, "Company: ", cells.txtName, false);
    if (cells.optJob)
        field(after(layout.titleLeft + 1500), "Job #: ", cells.txtJob, false);
    else
        field(after(layout.titleLeft + 1500), "Quote #: ", cells.txtQuote, false);
    field(after(static_cast<double>(layout.titleRight) + 500), "Part No: ", cells.txtPartNo, true);
    s.print("", true);
    field(blockLeft, "Description: ", cells.txtDesc, true);
    s.print("", true);
    field(blockLeft, "Stock: ", cells.txtStockDesc, true);
    s.setFont(reportFont(12, true));
    s.print("", true);
    s.print("", true);

    layout.finished = drawSection(
        s, {"LAYOUT: Finished Forms on Press Sheet (UP): " + plainNumber(frames.fssFrameOut),
            content.finished});

    // Four empty lines below the sheet, or below its rows when a shallow sheet
    // leaves them reaching further down, so the sections never overlap.
    s.setFont(reportFont(12, false));
    s.moveTo(blockLeft, std::max(static_cast<double>(layout.finished.placement.sheetBottom) + 240,
                                 layout.finished.rowsEnd));
    for (int i = 0; i < 4; ++i)
        s.print("", true);

    layout.press = drawSection(
        s, {"LAYOUT: Press Forms on Parent Sheet (OUT): " + plainNumber(frames.pssFrameOut),
            content.press});
    s.setFont(reportFont(12, true));
    return layout;
}

} // namespace sheetcraft
