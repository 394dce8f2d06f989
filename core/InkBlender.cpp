#include "core/InkBlender.h"

#include <algorithm>

bool InkBlender::use(uint32_t rgb, Uint32 inkF, Uint32 f) {
    if (inkRow && underRow && rgb == ink && inkF == inkFormat && f == format) return true;
    ink = rgb;
    inkFormat = inkF;
    format = f;
    for (Table& t : tables)
        t.used = false;
    others.clear();
    inkRow.reset(SDL_CreateRGBSurfaceWithFormat(0, 256, 1, 32, inkF));
    underRow.reset(SDL_CreateRGBSurfaceWithFormat(0, 256, 1, 32, f));
    if (!inkRow || !underRow || SDL_MUSTLOCK(inkRow.get()) || SDL_MUSTLOCK(underRow.get()) ||
        inkRow->format->BytesPerPixel != 4 || underRow->format->BytesPerPixel != 4) {
        inkRow.reset();
        underRow.reset();
        return false;
    }
    SDL_SetSurfaceBlendMode(inkRow.get(), SDL_BLENDMODE_BLEND);
    return true;
}

// Blends ink of count alphas onto as many copies of under, through SDL's blitter.
bool InkBlender::blend(uint32_t under, const uint8_t* alphas, uint32_t* out, int count) {
    auto* from = static_cast<uint32_t*>(inkRow->pixels);
    auto* to = static_cast<uint32_t*>(underRow->pixels);
    for (int k = 0; k < count; ++k)
        from[k] =
            SDL_MapRGBA(inkRow->format, ink >> 16 & 0xFF, ink >> 8 & 0xFF, ink & 0xFF, alphas[k]);
    std::fill_n(to, count, under);
    SDL_Rect area{0, 0, count, 1};
    if (SDL_BlitSurface(inkRow.get(), &area, underRow.get(), &area) != 0) return false;
    std::copy_n(to, count, out);
    return true;
}

uint32_t InkBlender::overOther(uint32_t under, uint8_t a) {
    // The first colours met are the backgrounds: a whole table each.
    for (Table& t : tables) {
        if (t.used) continue;
        uint8_t ramp[256];
        for (int k = 0; k < 256; ++k)
            ramp[k] = static_cast<uint8_t>(k);
        if (!inkRow || !blend(under, ramp, t.out, 256)) return under;
        t.used = true;
        t.under = under;
        return t.out[a];
    }
    const uint64_t key = uint64_t{under} << 8 | a;
    auto it = others.find(key);
    if (it != others.end()) return it->second;
    uint32_t result = under;
    if (!inkRow || !blend(under, &a, &result, 1)) return under;
    if (others.size() >= kOthersKept) others.clear();  // ink over pictures: stay bounded
    others.emplace(key, result);
    return result;
}
