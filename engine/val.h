#pragma once

#include <string_view>

namespace sheetcraft {

// Reads a number from the start of a text the way every size, gripper, search
// number and part number is read: blanks, tabs and line feeds are ignored
// wherever they stand; then an optional sign, digits with at most one decimal
// point and an optional exponent (E or D). Reading stops at the first character
// that cannot continue the number. A text that does not start with a number
// reads as 0. An exponent too large gives an infinity; callers that need a
// finite value check for it.
double Val(std::string_view text);

} // namespace sheetcraft
