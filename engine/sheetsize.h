#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheetcraft {

inline constexpr const char *incorrectSizeMessage = "Warning: Incorrect Size Entered!";

// A press or parent sheet narrower than this cannot be drawn: its drawing scale
// (1320 twips over the larger number) would not fit a 16-bit integer.
inline constexpr double minimumSheetSide = 0.0403;

// Every part of a size lies within these bounds. Between them any piece on any
// sheet gives quotients, areas, piece counts (across times down, at most
// 1e300) and waste that are finite numbers; beyond them a count or an area
// could overflow to infinity or an area fall to 0.
inline constexpr double smallestSizePart = 1e-75;
inline constexpr double largestSizePart = 1e75;

// Which of the three sizes a text is; only the finished sheet never sets a scale.
enum class SizeRole { Finished, Press, Parent };

// The two parts of a size text, split at its first lower-case "x", as typed.
struct SizeParts {
    std::string first;
    std::string second;
};

// Splits at the first lower-case "x"; nothing when the text holds none.
std::optional<SizeParts> splitSize(std::string_view text);

// Entry form (smaller number first): second & "x" & first when the second part
// reads smaller, otherwise the text unchanged. A text without "x" is returned
// unchanged.
std::string entryForm(std::string_view text);

// Storage form (larger number first): first & "x" & second when the second part
// reads smaller, otherwise second & "x" & first. Parts are kept as typed.
// A text without "x" is returned unchanged.
std::string storageForm(std::string_view text);

// The size check: an "x", both parts reading as numbers from smallestSizePart
// to largestSizePart, and for a press or parent sheet a larger number of at
// least minimumSheetSide. The text is expected in lower case.
bool isUsableSize(std::string_view text, SizeRole role);

// Width and depth read from a storage-form text: the width from the whole text
// (reading stops at the "x"), the depth from the text after the first "x"; a
// text without "x" gives a square of its one number.
struct SheetDims {
    double width = 0;
    double depth = 0;
};
SheetDims readDims(std::string_view text);

} // namespace sheetcraft
