#include "diagram.h"

#include "sheetsize.h"
#include "val.h"

#include <algorithm>
#include <cmath>

namespace sheetcraft {

double gripperValue(std::string_view gripText) {
    const double g = Val(gripText);
    return std::isfinite(g) ? g : 0.0;
}

DiagramValues computeDiagram(Diagram diagram, std::string_view pieceText,
                             std::string_view sheetText, int frame, double gripper,
                             bool gripperOnWidth) {
    DiagramValues v;
    v.diagram = diagram;
    v.frame = frame;

    const SheetDims piece = readDims(pieceText);
    if (frame < 3) {
        v.pieceWidth = piece.width;
        v.pieceDepth = piece.depth;
    } else {
        v.pieceWidth = piece.depth;
        v.pieceDepth = piece.width;
    }

    // The sheet is never turned: its larger number always runs across.
    const SheetDims sheet = readDims(sheetText);
    v.fullSheetWidth = v.sheetWidth = sheet.width;
    v.fullSheetDepth = v.sheetDepth = sheet.depth;

    if (diagram == Diagram::Finished) {
        v.gripper = gripper;
        v.gripperOnWidth = gripperOnWidth;
        if (gripper > 0) {
            if (gripperOnWidth)
                v.sheetDepth -= gripper;
            else
                v.sheetWidth -= gripper;
        }
    }

    v.fitStatus = FSSOutPSS(v.pieceWidth, v.pieceDepth, v.sheetWidth, v.sheetDepth, v.fit);
    if (!v.fits())
        return v;

    v.piecesDown = wholeCount(v.sheetDepth / v.pieceDepth);
    v.piecesAcross = wholeCount(v.sheetWidth / v.pieceWidth);

    if (frame == 2) {
        const double spareWidth = v.sheetWidth - v.pieceWidth * v.piecesAcross;
        v.staggerAcross = wholeCount(spareWidth / v.pieceDepth);
        v.staggerDown = wholeCount(v.sheetDepth / v.pieceWidth);
    } else if (frame == 4) {
        const double spareDepth = v.sheetDepth - v.pieceDepth * v.piecesDown;
        v.staggerDown = wholeCount(spareDepth / v.pieceWidth);
        v.staggerAcross = wholeCount(v.sheetWidth / v.pieceDepth);
    }

    // The gripper strip counts as waste: the area is always the whole sheet.
    const double sheetArea = v.fullSheetDepth * v.fullSheetWidth;
    const double pieceArea = v.pieceDepth * v.pieceWidth;
    double used = (v.piecesAcross * v.piecesDown) * pieceArea;
    if (v.isStaggerFrame())
        used += pieceArea * v.fit.staggerOut;
    // An exact fit can leave the used area a rounding error above the sheet.
    v.stockWastePct = std::clamp((sheetArea - used) / sheetArea * 100.0, 0.0, 100.0);
    return v;
}

} // namespace sheetcraft
