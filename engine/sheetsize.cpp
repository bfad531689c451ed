#include "sheetsize.h"

#include "val.h"

#include <algorithm>

namespace sheetcraft {

std::optional<SizeParts> splitSize(std::string_view text) {
    const auto at = text.find('x');
    if (at == std::string_view::npos)
        return std::nullopt;
    return SizeParts{std::string(text.substr(0, at)), std::string(text.substr(at + 1))};
}

std::string entryForm(std::string_view text) {
    const auto parts = splitSize(text);
    if (!parts)
        return std::string(text);
    if (Val(parts->second) < Val(parts->first))
        return parts->second + "x" + parts->first;
    return std::string(text);
}

std::string storageForm(std::string_view text) {
    const auto parts = splitSize(text);
    if (!parts)
        return std::string(text);
    if (Val(parts->second) < Val(parts->first))
        return parts->first + "x" + parts->second;
    return parts->second + "x" + parts->first;
}

bool isUsableSize(std::string_view text, SizeRole role) {
    const auto parts = splitSize(text);
    if (!parts)
        return false;
    const double first = Val(parts->first);
    const double second = Val(parts->second);
    const auto inBounds = [](double part) {
        return part >= smallestSizePart && part <= largestSizePart; // false for NaN too
    };
    if (!inBounds(first) || !inBounds(second))
        return false;
    if (role != SizeRole::Finished && std::max(first, second) < minimumSheetSide)
        return false;
    return true;
}

SheetDims readDims(std::string_view text) {
    SheetDims dims;
    dims.width = Val(text);
    const auto at = text.find('x');
    dims.depth = at == std::string_view::npos ? dims.width : Val(text.substr(at + 1));
    return dims;
}

} // namespace sheetcraft
