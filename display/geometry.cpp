#include "geometry.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace sheetcraft {

std::int64_t roundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double limit = 9.0e18; // inside int64 range
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    // nearbyint follows the current rounding mode; the default mode rounds
    // halves to even, but be explicit in case a caller changed it.
    const int saved = std::fegetround();
    if (saved != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    if (saved != FE_TONEAREST)
        std::fesetround(saved);
    return static_cast<std::int64_t>(rounded);
}

std::int64_t sheetScale(double outlineTwips, double sheetWidth) {
    if (!(sheetWidth > 0) || !std::isfinite(sheetWidth))
        return 0;
    return roundHalfEven(outlineTwips / sheetWidth);
}

} // namespace sheetcraft
