#pragma once

#include <string>
#include <string_view>

namespace sheetcraft {

// Number patterns of the results rows. The value is first taken to 15
// significant digits, then rounded half away from zero; a value that rounds to
// zero never shows a minus sign.
//   "###.###0"  four decimals, no leading zero:  17 -> "17.0000", 0.5 -> ".5000"
//   "0.###0"    four decimals, leading zero:     0.375 -> "0.3750"
//   "###.0"     one decimal, no leading zero:    12.34 -> "12.3", 0.26 -> ".3"
std::string formatPattern(double value, std::string_view pattern);

// A number as printed plainly: a blank in the sign place (or "-"), the shortest
// decimal digits (at most 15 significant), then one blank: 25 -> " 25 ".
std::string plainNumber(double value);

// The same without the trailing blank, as a number is written into a text cell: " 25".
std::string strNumber(double value);

// Sheet units as the cut plans and the best layouts show them: up to 12
// significant digits, no trailing zeros: 11.625 -> "11.625".
std::string sheetNumber(double value);

} // namespace sheetcraft
