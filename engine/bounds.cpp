#include "bounds.h"

#include <algorithm>
#include <numeric>

namespace sheetcraft {

using i64 = std::int64_t;

i64 barWaste(i64 p, i64 q, i64 n) {
    if (p < n && q < n)
        return p * q;
    if (p < n)
        return p * (q % n);
    if (q < n)
        return q * (p % n);
    const i64 r = p % n;
    const i64 s = q % n;
    return r + s < n ? r * s : (n - r) * (n - s);
}

i64 largestCombination(i64 length, i64 a, i64 b) {
    if (a < b)
        std::swap(a, b);
    const i64 g = std::gcd(a, b);
    i64 best = 0;
    // Beyond b / g multiples of a the remainders mod b repeat.
    const i64 limit = std::min(length / a, b / g);
    for (i64 i = 0; i <= limit && best < length; ++i)
        best = std::max(best, i * a + (length - i * a) / b * b);
    return best;
}

i64 turningBound(i64 w, i64 h, i64 a, i64 b) {
    const __int128 area = static_cast<__int128>(w) * h;
    const __int128 waste = std::max(barWaste(w, h, a), barWaste(w, h, b));
    return static_cast<i64>((area - waste) / (static_cast<__int128>(a) * b));
}

i64 packingUpperBound(i64 sheetWidth, i64 sheetDepth, i64 pieceWidth, i64 pieceDepth,
                      bool mayTurn) {
    if (sheetWidth <= 0 || sheetDepth <= 0 || pieceWidth <= 0 || pieceDepth <= 0)
        return 0;
    // Every piece lying one way: each holds exactly one of the sheet's
    // floor(W / w) x floor(D / d) lattice points, so the grid is the most.
    if (!mayTurn || pieceWidth == pieceDepth)
        return (sheetWidth / pieceWidth) * (sheetDepth / pieceDepth);
    const i64 g = std::gcd(pieceWidth, pieceDepth);
    const i64 a = pieceWidth / g, b = pieceDepth / g;
    // Pushed up and left, every packing ends at sums of piece sides.
    const i64 w = largestCombination(sheetWidth / g, a, b);
    const i64 h = largestCombination(sheetDepth / g, a, b);
    return turningBound(w, h, a, b);
}

} // namespace sheetcraft
