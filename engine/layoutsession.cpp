#include "layoutsession.h"

#include "asciicase.h"
#include "numberformat.h"
#include "panel.h"
#include "sheetsize.h"

namespace sheetcraft {

namespace {

constexpr SizeRole sizeRoles[3] = {SizeRole::Finished, SizeRole::Press, SizeRole::Parent};

std::int16_t nextFrame(std::int16_t frame) {
    return frame >= 0 && frame < 4 ? frame + 1 : 1;
}

} // namespace

LayoutSession::LayoutSession(RedrawView *view) : m_view(view) {}

Outcome LayoutSession::takeSaid() {
    Outcome said = std::move(m_said);
    m_said = {};
    return said;
}

Outcome LayoutSession::cmdNext_Click() {
    stepFinished();
    return takeSaid();
}

Outcome LayoutSession::cmdNextPSS_Click() {
    stepPress();
    return takeSaid();
}

Outcome LayoutSession::Command1_Click() {
    clear();
    return takeSaid();
}

Outcome LayoutSession::cmdMaxOut_Click() {
    maximize();
    return takeSaid();
}

Outcome LayoutSession::DrawSheet() {
    redraw();
    return takeSaid();
}

void LayoutSession::refreshCaptions() {
    cmdNextCaption = "Next " + std::to_string(frames.fssFrame);
    cmdNextPSSCaption = "Next " + std::to_string(frames.pssFrame);
}

void LayoutSession::refreshStorage() {
    cells.txtFSS = storageForm(cells.txtSize[0]);
    cells.txtPSS = storageForm(cells.txtSize[1]);
    cells.txtPARS = storageForm(cells.txtSize[2]);
}

void LayoutSession::clearView() {
    if (m_view)
        m_view->clear();
}

bool LayoutSession::sizesUsable() const {
    for (int i = 0; i < 3; ++i) {
        if (!isUsableSize(toLowerAscii(cells.txtSize[i]), sizeRoles[i]))
            return false;
    }
    return true;
}

bool LayoutSession::checkSizes() {
    if (sizesUsable())
        return true;
    // A bad size never reaches the count: the picture and the frames stay.
    m_said.say(MessageKind::IncorrectSize);
    m_outcome = RedrawOutcome::RefusedSize;
    return false;
}

LayoutSession::DrawnFrom LayoutSession::drawnFrom() const {
    return {cells.txtSize, cells.txtFSS,   cells.txtPSS,    cells.txtPARS,
            cells.txtGrip, cells.optWidth, frames.fssFrame, frames.pssFrame};
}

bool LayoutSession::screenShowsCells() const {
    return m_drawn && *m_drawn == drawnFrom();
}

void LayoutSession::warnDoesNotFit() {
    if (m_maximizing && m_warnedWhileMaximizing)
        return;
    m_warnedWhileMaximizing = m_maximizing;
    m_said.say(MessageKind::DoesNotFit);
}

void LayoutSession::stepFinished() {
    if (!checkSizes())
        return;
    frames.stepMode = StepMode::Finished;
    if (frames.pssFrame == 0)
        frames.pssFrame = 1;
    frames.fssFrame = nextFrame(frames.fssFrame);
    refreshCaptions();
    clearView();
    redraw();
}

void LayoutSession::stepPress() {
    if (!checkSizes())
        return;
    frames.stepMode = StepMode::Press;
    if (frames.fssFrame == 0)
        frames.fssFrame = 1;
    frames.pssFrame = nextFrame(frames.pssFrame);
    refreshCaptions();
    clearView();
    redraw();
}

void LayoutSession::clear() {
    if (!checkSizes())
        return;
    clearView();
    frames.fssFrame = 1;
    frames.pssFrame = 1;
    refreshCaptions();
    redraw();
}

void LayoutSession::maximize() {
    if (!checkSizes())
        return;
    frames.fssFrame = 1;
    frames.pssFrame = 1;
    m_maximizing = true;
    m_warnedWhileMaximizing = false;

    // Each loop stops on the first frame that shows the diagram's maximum. Only
    // a redraw that drew its frame counts: an empty frame stores no count of its
    // own, and the count left by an earlier frame must not stop the loop there.
    frames.stepMode = StepMode::MaximizingFinished;
    for (std::int16_t n = 1; n <= 4; ++n) {
        frames.fssFrame = n;
        refreshCaptions();
        redraw();
        if (m_outcome == RedrawOutcome::FinishedDoesNotFit) {
            // Every frame has the same fit test: stepping on would only repeat it.
            frames.stepMode = StepMode::Finished;
            m_maximizing = false;
            return;
        }
        if (m_finished && m_finished->maximumOut() == frames.fssFrameOut)
            break;
    }

    frames.stepMode = StepMode::MaximizingPress;
    for (std::int16_t n = 1; n <= 4; ++n) {
        frames.pssFrame = n;
        refreshCaptions();
        redraw();
        if (m_outcome == RedrawOutcome::PressDoesNotFit)
            break;
        if (m_press && m_press->maximumOut() == frames.pssFrameOut)
            break;
    }
    frames.stepMode = StepMode::Finished;
    m_maximizing = false;
}

void LayoutSession::redraw() {
    for (auto &size : cells.txtSize)
        size = toLowerAscii(size);
    if (!checkSizes())
        return;

    m_finished.reset();
    m_press.reset();
    clearView();
    refreshStorage();
    m_drawn = drawnFrom();

    const double gripper = gripperValue(cells.txtGrip);
    const DiagramValues fss = computeDiagram(Diagram::Finished, cells.txtFSS, cells.txtPSS,
                                             frames.fssFrame, gripper, cells.optWidth);
    if (!drawDiagram(fss))
        return;
    frames.fssFrameOut = fss.frameOut();
    m_finished = fss;

    const DiagramValues pss =
        computeDiagram(Diagram::Press, cells.txtPSS, cells.txtPARS, frames.pssFrame);
    if (!drawDiagram(pss))
        return;
    frames.pssFrameOut = pss.frameOut();
    m_press = pss;
    m_outcome = RedrawOutcome::Drawn;
}

bool LayoutSession::drawDiagram(const DiagramValues &values) {
    const bool finished = values.diagram == Diagram::Finished;
    if (m_view)
        m_view->drawSheet(values);
    if (!values.fits()) {
        m_outcome = finished ? RedrawOutcome::FinishedDoesNotFit : RedrawOutcome::PressDoesNotFit;
        warnDoesNotFit();
        return false;
    }
    if (values.isEmpty()) {
        // Skip rule: the next frame is drawn by a fresh redraw from the start,
        // except while Maximize steps the frames itself.
        clearView();
        m_outcome = RedrawOutcome::EmptyFrame;
        if (!isMaximizing(frames.stepMode))
            finished ? stepFinished() : stepPress();
        return false;
    }
    if (values.isStaggerFrame())
        cells.txtSwap[0] = strNumber(values.pieceDepth);
    if (m_view)
        m_view->drawLayout(values, panelRows(values));
    return true;
}

Outcome LayoutSession::workOut(int fssFrame, int pssFrame) {
    Outcome said;
    for (int i = 0; i < 3; ++i)
        said.add(txtSize_LostFocus(i));
    if (!said.saysNothing())
        return said;
    // Each step moves on from the frame before, so an empty frame passes to the next.
    frames.fssFrame = static_cast<std::int16_t>(fssFrame - 1);
    said.add(cmdNext_Click());
    if (m_outcome == RedrawOutcome::Drawn || m_outcome == RedrawOutcome::PressDoesNotFit) {
        frames.pssFrame = static_cast<std::int16_t>(pssFrame - 1);
        said.add(cmdNextPSS_Click());
    }
    return said;
}

Outcome LayoutSession::txtSize_LostFocus(int index) {
    if (index < 0 || index > 2)
        return {};
    for (auto &size : cells.txtSize)
        size = toLowerAscii(size);

    std::string &cell = cells.txtSize[index];
    if (!isUsableSize(cell, sizeRoles[index])) {
        m_said.say(MessageKind::IncorrectSize);
        return takeSaid();
    }
    cell = entryForm(cell);

    cells.txtFSS = cells.txtSize[0];
    if (index == 1 || frames.stepMode == StepMode::Press) {
        cells.txtPSS = cells.txtSize[1];
        if (!isUsableSize(cells.txtPSS, SizeRole::Press))
            m_said.say(MessageKind::IncorrectSize);
    }
    return takeSaid();
}

} // namespace sheetcraft
