#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sheetcraft {

// Sizes are searched in whole units of 1/scale sheet unit. A decimal that lands
// on a unit (within rounding) counts as exactly that unit.
inline bool isWholeAt(double value, double scale) {
    const double v = value * scale;
    return std::fabs(v - std::nearbyint(v)) <= 1e-9 * std::max(1.0, std::fabs(v));
}

// Whole units of value: down for a sheet side, up for a piece side or a
// gripper, so nothing is counted that does not fit.
inline std::int64_t wholeUnits(double value, double scale, bool up) {
    if (isWholeAt(value, scale))
        return static_cast<std::int64_t>(std::nearbyint(value * scale));
    const double v = value * scale;
    return static_cast<std::int64_t>(up ? std::ceil(v) : std::floor(v));
}

} // namespace sheetcraft
