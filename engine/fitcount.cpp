#include "fitcount.h"

#include <algorithm>
#include <cmath>

namespace sheetcraft {

namespace {

// Sizes are typed as decimals; their binary quotients can land a hair below
// the whole number the decimals give. This much relative shortfall is noise.
constexpr double exactFitTolerance = 1e-9;

// The plain grid counts carry this tolerance on the area quotient.
constexpr double areaTolerance = 0.00001;

bool fitsWithin(double piece, double sheet) {
    return sheet >= piece || piece - sheet <= exactFitTolerance * piece;
}

// A spare strip left by an exact fit may come out a hair below zero.
double spare(double sheet, double piece) {
    return std::max(0.0, sheet - wholeCount(sheet / piece) * piece);
}

// Pieces of the other orientation in the strip left beside or below the grid:
// the side strip first, else the bottom strip.
double staggerCount(double spareAcross, double spareDown, double blockWidth, double blockDepth,
                    double sheetWidth, double sheetDepth) {
    const double side = wholeCount(spareAcross / blockWidth);
    if (side >= 1)
        return side * wholeCount(sheetDepth / blockDepth);
    const double bottom = wholeCount(spareDown / blockDepth);
    if (bottom >= 1)
        return bottom * wholeCount(sheetWidth / blockWidth);
    return 0;
}

} // namespace

double wholeCount(double quotient) {
    if (!(quotient > 0))
        return quotient > -exactFitTolerance || std::isnan(quotient) ? 0 : std::floor(quotient);
    const double below = std::floor(quotient);
    const double next = below + 1;
    if (next - quotient <= exactFitTolerance * next)
        return next;
    return below;
}

FitStatus FSSOutPSS(double pieceWidth, double pieceDepth, double sheetWidth, double sheetDepth,
                    FitResult &r) {
    const bool upright = fitsWithin(pieceWidth, sheetWidth) && fitsWithin(pieceDepth, sheetDepth);
    const bool turned = fitsWithin(pieceDepth, sheetWidth) && fitsWithin(pieceWidth, sheetDepth);
    if (!upright && !turned)
        return FitStatus::DoesNotFit;

    r = FitResult{};
    r.spareWidth = spare(sheetWidth, pieceWidth);
    r.spareDepth = spare(sheetDepth, pieceDepth);
    r.spareWidthTurned = spare(sheetWidth, pieceDepth);
    r.spareDepthTurned = spare(sheetDepth, pieceWidth);

    r.usedWidth = sheetWidth - r.spareWidth;
    r.usedDepth = sheetDepth - r.spareDepth;
    r.usedWidthTurned = sheetWidth - r.spareWidthTurned;
    r.usedDepthTurned = sheetDepth - r.spareDepthTurned;
    r.usedArea = r.usedDepth * r.usedWidth;
    r.usedAreaTurned = r.usedDepthTurned * r.usedWidthTurned;

    // A tie goes to the turned piece.
    r.bestUsedArea = r.usedArea > r.usedAreaTurned ? r.usedArea : r.usedAreaTurned;
    const double pieceArea = pieceDepth * pieceWidth;
    r.bestStandardOut = std::floor(r.bestUsedArea / pieceArea);

    r.staggerOut =
        staggerCount(r.spareWidth, r.spareDepth, pieceDepth, pieceWidth, sheetWidth, sheetDepth);
    r.totalOut = std::floor(r.usedArea / pieceArea + areaTolerance) + r.staggerOut;

    r.staggerOutTurned = staggerCount(r.spareWidthTurned, r.spareDepthTurned, pieceWidth,
                                      pieceDepth, sheetWidth, sheetDepth);
    r.totalOutTurned =
        std::floor(r.usedAreaTurned / pieceArea + areaTolerance) + r.staggerOutTurned;

    r.maximumOut = r.totalOut > r.totalOutTurned ? r.totalOut : r.totalOutTurned;
    if (r.maximumOut < r.bestStandardOut)
        r.maximumOut = r.bestStandardOut;
    return FitStatus::Fits;
}

} // namespace sheetcraft
