// Ink written straight into a window's pixels (see directPixels) exactly as copying a texture
// of the ink with blending would write it. Every result is SDL's own: a table of all 256
// alphas is blended by SDL's blitter for each of the first two colours met under the ink (the
// backgrounds), and a pixel over any other colour (where ink overlaps ink) is blended alone
// once and remembered.
#pragma once

#include "core/Handles.h"

#include <SDL.h>

#include <cstdint>
#include <unordered_map>

class InkBlender {
public:
    // Ink of colour rgb (0xRRGGBB), in a texture of inkFormat, onto pixels of format; forgets
    // what was blended before when any of them changes (SDL blends differently between
    // different layouts). False when SDL cannot blend these formats.
    bool use(uint32_t rgb, Uint32 inkFormat, Uint32 format);

    // The pixel that ink of alpha a over pixel under becomes.
    uint32_t over(uint32_t under, uint8_t a) {
        for (const Table& t : tables)
            if (t.used && t.under == under) return t.out[a];
        return overOther(under, a);
    }

private:
    struct Table {
        bool used = false;
        uint32_t under = 0;
        uint32_t out[256];
    };
    static constexpr size_t kOthersKept = 65536;
    uint32_t overOther(uint32_t under, uint8_t a);
    bool blend(uint32_t under, const uint8_t* alphas, uint32_t* out, int count);

    uint32_t ink = 0;
    Uint32 inkFormat = SDL_PIXELFORMAT_UNKNOWN, format = SDL_PIXELFORMAT_UNKNOWN;
    Table tables[2];
    std::unordered_map<uint64_t, uint32_t> others;  // (under, alpha) to result
    SdlSurfacePtr inkRow, underRow;                 // 256 x 1 each, reused
};
