#pragma once

#include "fitcount.h"

#include <string_view>

namespace sheetcraft {

// The two layout diagrams: finished sheets on the press sheet (less gripper),
// and press sheets on the parent sheet.
enum class Diagram { Finished, Press };

inline constexpr const char *finishedHeading = "Number Up: Finished Forms on Press Sheet";
inline constexpr const char *pressHeading = "Number Out: Press Sheets on Parent Sheet";

// Everything one diagram shows for one frame, in sheet units and piece counts.
// Frames 1 and 2 lay the piece with its longer side across, 3 and 4 turned;
// 2 and 4 add a stagger block (2 in the side strip, 4 in the bottom strip);
// frame 0 (no step taken yet) is laid out like frame 1.
struct DiagramValues {
    Diagram diagram = Diagram::Finished;
    int frame = 0;

    double pieceWidth = 0; // piece across the sheet width in this frame
    double pieceDepth = 0;
    double sheetWidth = 0; // usable sheet, gripper taken off
    double sheetDepth = 0;
    double fullSheetWidth = 0; // the whole sheet, larger number
    double fullSheetDepth = 0;
    double gripper = 0;         // 0 for the press diagram, or when none applies
    bool gripperOnWidth = true; // strip along the width edge (top) or the depth edge (left)

    FitStatus fitStatus = FitStatus::DoesNotFit;
    FitResult fit; // meaningful only when fitStatus is Fits

    double piecesAcross = 0; // standard grid
    double piecesDown = 0;
    double staggerAcross = 0; // stagger block (frames 2 and 4 only; 0 otherwise)
    double staggerDown = 0;
    double stockWastePct = 0; // 0 to 100

    bool fits() const { return fitStatus == FitStatus::Fits; }
    bool isStaggerFrame() const { return frame == 2 || frame == 4; }
    double standardOut() const { return fit.totalOut - fit.staggerOut; }
    double staggerOut() const { return fit.staggerOut; }
    double totalOut() const { return fit.totalOut; }
    double maximumOut() const { return fit.maximumOut; }
    // Stagger, total and swing-cut rows are shown only for a stagger frame that has one.
    bool showsStagger() const { return isStaggerFrame() && fit.staggerOut > 0; }
    // An empty frame is passed over by the Next steps.
    bool isEmpty() const { return standardOut() == 0 || (isStaggerFrame() && fit.staggerOut == 0); }
    // The count the frame stands for: standard out, or total out in frames 2 and 4.
    double frameOut() const { return isStaggerFrame() ? fit.totalOut : standardOut(); }
    // Swing cut: the turned piece of the stagger block.
    double swingCutX() const { return pieceDepth; }
    double swingCutY() const { return pieceWidth; }
};

// The gripper as read from its cell; a value that is not finite counts as 0.
double gripperValue(std::string_view gripText);

// Works out one diagram for one frame from two storage-form size texts (piece
// and sheet). The gripper is taken off the sheet only for the finished diagram
// and only when it is greater than 0. Both texts must have passed the size
// check.
DiagramValues computeDiagram(Diagram diagram, std::string_view pieceText,
                             std::string_view sheetText, int frame, double gripper = 0,
                             bool gripperOnWidth = true);

} // namespace sheetcraft
