#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace sheetcraft {

// Every length up to limit reachable as i * a + j * b, ascending; nothing when
// there would be more than cap of them, or when cancel is set meanwhile.
std::optional<std::vector<std::int64_t>> rasterPoints(std::int64_t limit, std::int64_t a,
                                                      std::int64_t b, std::int64_t cap,
                                                      const std::atomic<bool> *cancel = nullptr);

// The reduced raster points of a side: r(length - p) for every raster point p,
// r(v) being the largest raster point up to v. Sub-sheets of a sheet whose side
// is one of these keep sides among them, and cuts at them (up to half the
// side) reach every guillotine layout.
std::vector<std::int64_t> reduced(const std::vector<std::int64_t> &points, std::int64_t length);

} // namespace sheetcraft
