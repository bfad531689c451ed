#include "rasterpoints.h"

#include <algorithm>

namespace sheetcraft {

using i64 = std::int64_t;

namespace {

bool cancelled(const std::atomic<bool> *cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

std::optional<std::vector<i64>> rasterPoints(i64 limit, i64 a, i64 b, i64 cap,
                                             const std::atomic<bool> *cancel) {
    std::vector<i64> points;
    if (limit <= (i64(1) << 24)) {
        std::vector<char> reach(static_cast<std::size_t>(limit) + 1, 0);
        reach[0] = 1;
        for (i64 v = 0; v <= limit; ++v) {
            if ((v & 0xffff) == 0xffff && cancelled(cancel))
                return std::nullopt;
            if (!reach[static_cast<std::size_t>(v)])
                continue;
            points.push_back(v);
            if (static_cast<i64>(points.size()) > cap)
                return std::nullopt;
            if (v + a <= limit)
                reach[static_cast<std::size_t>(v + a)] = 1;
            if (v + b <= limit)
                reach[static_cast<std::size_t>(v + b)] = 1;
        }
        return points;
    }
    if ((limit / a + 1) > cap || (limit / b + 1) > cap / (limit / a + 1))
        return std::nullopt;
    for (i64 i = 0; i * a <= limit; ++i) {
        if (cancelled(cancel))
            return std::nullopt;
        for (i64 j = 0; i * a + j * b <= limit; ++j)
            points.push_back(i * a + j * b);
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (static_cast<i64>(points.size()) > cap)
        return std::nullopt;
    return points;
}

std::vector<i64> reduced(const std::vector<i64> &points, i64 length) {
    std::vector<i64> out;
    out.reserve(points.size());
    std::size_t r = points.size() - 1;
    for (i64 p : points) {
        while (points[r] > length - p)
            --r;
        out.push_back(points[r]);
    }
    std::reverse(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

} // namespace sheetcraft
