#include "core/CairoPixels.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// Straight value of every (alpha, premultiplied channel) pair: one look-up instead of a
// division per channel, computed once.
struct UnpremultiplyTable {
    std::array<std::array<uint8_t, 256>, 256> value{};
    UnpremultiplyTable() {
        for (uint32_t a = 1; a < 256; ++a)
            for (uint32_t c = 0; c < 256; ++c)
                value[a][c] = static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
    }
};

const UnpremultiplyTable& table() {
    static const UnpremultiplyTable t;
    return t;
}

}  // namespace

uint32_t unpremultiply(uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 0) return 0;
    if (a == 255) return argb;
    const auto& row = table().value[a];
    return (a << 24) | (uint32_t{row[(argb >> 16) & 0xFF]} << 16) |
           (uint32_t{row[(argb >> 8) & 0xFF]} << 8) | row[argb & 0xFF];
}

bool copyUnpremultiplied(const unsigned char* src, int srcPitch, unsigned char* dst, int dstPitch,
                         int width, int height) {
    bool opaque = true;
    for (int y = 0; y < height; ++y) {
        const unsigned char* srcRow = src + static_cast<long long>(y) * srcPitch;
        unsigned char* dstRow = dst + static_cast<long long>(y) * dstPitch;
        for (int x = 0; x < width; ++x) {
            uint32_t p;
            std::memcpy(&p, srcRow + 4 * x, 4);
            // Opaque pixels are the same either way: only the others need the division.
            if ((p >> 24) != 255) {
                opaque = false;
                p = unpremultiply(p);
            }
            std::memcpy(dstRow + 4 * x, &p, 4);
        }
    }
    return opaque;
}
