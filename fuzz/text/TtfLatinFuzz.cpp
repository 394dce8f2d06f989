// Latin lines rasterised without shaping: for any bytes, a line the rasteriser takes is exactly
// SDL_ttf's blended rendering (size and every alpha) and SDL_ttf's measured width; a line it
// declines is simply declined.
#include "core/Engine.h"
#include "core/Handles.h"
#include "fuzz/support/FuzzEngine.h"
#include "text/TtfLatin.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startFuzzEngine();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine || size > 2048) return 0;
    TTF_Font* font = engine->getDefaultFont();
    static std::unique_ptr<TtfLatinLines> lines =
        TtfLatinLines::matching(font, engine->getFtFace());
    if (!lines) std::abort();  // the project's font must match its own face
    const std::string s(reinterpret_cast<const char*>(data), size);
    // The first byte picks the text colour's alpha.
    const uint8_t alpha = size ? data[0] : 255;
    AlphaLine mine;
    int width = 0;
    const bool measured = lines->measure(s, width);
    if (!lines->rasterise(s, alpha, mine)) {
        if (measured) std::abort();
        return 0;
    }
    int w = 0, h = 0;
    if (!measured || TTF_SizeUTF8(font, s.c_str(), &w, &h) != 0 || w != width) std::abort();
    SdlSurfacePtr theirs(TTF_RenderUTF8_Blended(font, s.c_str(), SDL_Color{0, 0, 0, alpha}));
    if (!theirs || theirs->w != mine.width || theirs->h != mine.height) std::abort();
    // The whole line, then the columns the last byte picks.
    for (int part = 0; part < 2; ++part) {
        if (part == 1) {
            const int from = size ? data[size - 1] % (mine.width + 1) : 0;
            if (!lines->rasterise(s, alpha, mine, from, from + 1 + (size > 1 ? data[1] : 0)))
                std::abort();
        }
        for (int y = 0; y < mine.height; ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(theirs->pixels) + y * theirs->pitch);
            for (int x = 0; x < mine.columns; ++x)
                if ((row[mine.left + x] >> 24) != mine.alpha[size_t(y) * mine.columns + x])
                    std::abort();
        }
    }
    return 0;
}
