#pragma once

namespace sheetcraft {

inline constexpr const char *doesNotFitMessage =
    "WARNING: Finished Sheet Larger Than Allowable Press Sheet!";

// The record of one fit count, in sheet units and whole-piece counts (held in
// doubles). "Turned" values are for the piece given a quarter turn, so that its
// depth runs across the sheet width.
struct FitResult {
    double spareWidth = 0; // strip right of the upright grid
    double spareDepth = 0; // strip below the upright grid
    double spareWidthTurned = 0;
    double spareDepthTurned = 0;
    double staggerOut = 0;       // turned pieces in the spare strip, piece upright
    double staggerOutTurned = 0; // upright pieces in the spare strip, piece turned
    double usedWidth = 0;
    double usedDepth = 0;
    double usedWidthTurned = 0;
    double usedDepthTurned = 0;
    double usedArea = 0;
    double usedAreaTurned = 0;
    double bestUsedArea = 0;
    double bestStandardOut = 0;
    double totalOut = 0;       // upright grid plus staggerOut
    double totalOutTurned = 0; // turned grid plus staggerOutTurned
    double maximumOut = 0;     // the largest count any frame of the diagram shows
};

enum class FitStatus { Fits, DoesNotFit };

// Int of a quotient of sizes, counting an exact decimal fit as a fit: a
// quotient a hair below a whole number (3.3 / 1.1 is 2.9999999999999996) is
// that whole number.
double wholeCount(double quotient);

// The fit count of a piece on a sheet. When the piece fits in neither
// orientation the result is left untouched and DoesNotFit is returned; the
// caller reports doesNotFitMessage. Piece sides must be greater than 0.
FitStatus FSSOutPSS(double pieceWidth, double pieceDepth, double sheetWidth, double sheetDepth,
                    FitResult &result);

} // namespace sheetcraft
