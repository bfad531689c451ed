#pragma once

#include "cells.h"
#include "diagram.h"
#include "outcome.h"
#include "redrawview.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sheetcraft {

// Which diagram the frames last stepped on, and whether Maximize is stepping.
enum class StepMode : std::int16_t {
    Finished,           // the last step was on the finished diagram
    Press,              // the last step was on the press diagram
    MaximizingFinished, // Maximize is stepping the finished frames
    MaximizingPress,    // Maximize is stepping the press frames
};

constexpr bool isMaximizing(StepMode mode) {
    return mode == StepMode::MaximizingFinished || mode == StepMode::MaximizingPress;
}

// Frame state of both diagrams, kept for the whole run.
struct FrameState {
    std::int16_t fssFrame = 0; // 0 before the first step, then 1 to 4
    std::int16_t pssFrame = 0;
    StepMode stepMode = StepMode::Finished;
    // The count each diagram's current frame shows. Held in doubles: a count
    // above 2^24 would not survive single precision.
    double fssFrameOut = 0;
    double pssFrameOut = 0;
};

// How the last redraw ended.
enum class RedrawOutcome {
    NotRun,
    Drawn,              // both diagrams drawn
    EmptyFrame,         // Maximize reached an empty frame and left the area cleared
    RefusedSize,        // a size cell failed the size check; nothing changed
    FinishedDoesNotFit, // finished sheet larger than the press sheet
    PressDoesNotFit,    // press sheet larger than the parent sheet
};

// The layout handlers of the main window, written once: the window, the
// calculator and the printed report all run this code. Holds the cells and the
// frame state; drawing goes to the view. Each handler runs to its end and
// returns what it has to say, in order (a nested redraw's warnings included).
class LayoutSession {
public:
    explicit LayoutSession(RedrawView *view = nullptr);

    Cells cells;
    FrameState frames;
    // Captions of the (invisible) Next buttons: "Next", a blank and the frame.
    std::string cmdNextCaption = "Next";
    std::string cmdNextPSSCaption = "Next";

    [[nodiscard]] Outcome cmdNext_Click();    // one step of the finished diagram
    [[nodiscard]] Outcome cmdNextPSS_Click(); // one step of the press diagram
    [[nodiscard]] Outcome Command1_Click();   // Clear: both frames back to 1 and redraw
    [[nodiscard]] Outcome cmdMaxOut_Click();  // Maximize: each diagram to its first best frame
    [[nodiscard]] Outcome DrawSheet();        // the whole redraw of both diagrams

    // Leaving a size cell (0 finished, 1 press, 2 parent): lower case, the size
    // check, entry form, copies into the storage cells. Draws nothing.
    [[nodiscard]] Outcome txtSize_LostFocus(int index);

    // The typed cells worked out on the given frames (1 to 4), as leaving each
    // size cell and stepping the arrows would: what the calculator prints and
    // what the best-layout window asks about before anything is drawn. Stops
    // after the size cells when one of them has something to say.
    [[nodiscard]] Outcome workOut(int fssFrame, int pssFrame);

    // Values of the last complete drawing of each diagram; empty when the last
    // redraw did not get that far.
    const std::optional<DiagramValues> &finished() const { return m_finished; }
    const std::optional<DiagramValues> &press() const { return m_press; }
    RedrawOutcome lastOutcome() const { return m_outcome; }

    // True when all three size cells pass the size check (as lower-cased).
    bool sizesUsable() const;

    // True once a redraw has started drawing, and the storage cells, gripper
    // and frames are still exactly those it drew from. Leaving a size cell or
    // typing a gripper changes them without a redraw.
    bool screenShowsCells() const;
    bool hasDrawn() const { return m_drawn.has_value(); }
    // The picture is gone (Reset): the next print redraws first.
    void forgetDrawing() { m_drawn.reset(); }

private:
    // The handlers' work; messages gather in m_said until the public
    // handler hands them back.
    void stepFinished();
    void stepPress();
    void clear();
    void maximize();
    void redraw();
    Outcome takeSaid();

    void refreshCaptions();
    void refreshStorage();
    // Warns and returns false when a size cell fails the size check.
    bool checkSizes();
    void clearView();
    void warnDoesNotFit();
    // Draws one diagram of a redraw; false when the redraw ends there (the
    // piece does not fit, or the frame is empty and the skip rule took over).
    bool drawDiagram(const DiagramValues &values);

    Outcome m_said;
    RedrawView *m_view = nullptr;
    struct DrawnFrom {
        std::array<std::string, 3> txtSize;
        std::string txtFSS, txtPSS, txtPARS, txtGrip;
        bool optWidth = true;
        std::int16_t fssFrame = 0, pssFrame = 0;
        bool operator==(const DrawnFrom &) const = default;
    };
    DrawnFrom drawnFrom() const;
    std::optional<DrawnFrom> m_drawn;
    std::optional<DiagramValues> m_finished;
    std::optional<DiagramValues> m_press;
    RedrawOutcome m_outcome = RedrawOutcome::NotRun;
    // Maximize redraws up to eight times; a piece that does not fit is said once.
    bool m_maximizing = false;
    bool m_warnedWhileMaximizing = false;
};

} // namespace sheetcraft
