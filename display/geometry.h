#pragma once

#include <cstdint>

namespace sheetcraft {

// Rounds to the nearest whole number, halves to the even neighbour
// (19.5 -> 20, 18.5 -> 18), as every computed coordinate and scale is rounded.
std::int64_t roundHalfEven(double value);

// Twips per sheet unit for an outline drawn about `outlineTwips` wide:
// outlineTwips / sheetWidth rounded half to even (1320 on screen, 5720 on paper).
std::int64_t sheetScale(double outlineTwips, double sheetWidth);

} // namespace sheetcraft
