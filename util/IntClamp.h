// Narrowing of wide intermediate results (sums, products of sizes) back to int.
#pragma once

#include <algorithm>
#include <climits>

// Saturates instead of wrapping, so an oversized content never turns negative.
inline int clampToInt(long long v) {
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}
