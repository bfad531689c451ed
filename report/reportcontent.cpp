#include "reportcontent.h"

#include "fitcount.h"
#include "sheetsize.h"

namespace sheetcraft {

std::optional<ReportContent> prepareReport(const Cells &cells, const FrameState &frames,
                                           Outcome &said) {
    // Until the first redraw the storage cells hold their design texts, and a
    // refused size never reaches the screen; either would print made-up numbers
    // or divide by zero, so nothing is printed.
    if (!isUsableSize(cells.txtFSS, SizeRole::Finished) ||
        !isUsableSize(cells.txtPSS, SizeRole::Press) ||
        !isUsableSize(cells.txtPARS, SizeRole::Parent)) {
        said.say(MessageKind::IncorrectSize);
        return std::nullopt;
    }

    ReportContent content;
    content.finished = computeDiagram(Diagram::Finished, cells.txtFSS, cells.txtPSS,
                                      frames.fssFrame, gripperValue(cells.txtGrip), cells.optWidth);
    content.press = computeDiagram(Diagram::Press, cells.txtPSS, cells.txtPARS, frames.pssFrame);

    // The screen stops at a piece that does not fit; a report of that state
    // would show counts left over from another layout.
    if (!content.finished.fits() || !content.press.fits()) {
        said.say(MessageKind::DoesNotFit);
        return std::nullopt;
    }
    return content;
}

} // namespace sheetcraft
