// Ink blended by the blender is exactly what the software renderer writes when it copies a
// texture of the ink with blending: for surfaces of the formats windows have, several ink
// colours, every alpha, over the backgrounds (whole tables) and over any other pixel (one by
// one), and again after the ink or the format changed.
#include "core/Handles.h"
#include "core/InkBlender.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// What the software renderer makes of ink[i] copied over under[i], pixel by pixel.
std::vector<uint32_t> rendered(Uint32 inkFormat, Uint32 format, const std::vector<uint32_t>& ink,
                               const std::vector<uint32_t>& under) {
    const int n = static_cast<int>(ink.size());
    SdlSurfacePtr target(SDL_CreateRGBSurfaceWithFormat(0, n, 1, 32, format));
    if (!target) return {};
    std::copy(under.begin(), under.end(), static_cast<uint32_t*>(target->pixels));
    SdlRendererPtr r(SDL_CreateSoftwareRenderer(target.get()));
    SdlTexturePtr t(SDL_CreateTexture(r.get(), inkFormat, SDL_TEXTUREACCESS_STATIC, n, 1));
    if (!r || !t) return {};
    SDL_UpdateTexture(t.get(), nullptr, ink.data(), n * 4);
    SDL_SetTextureBlendMode(t.get(), SDL_BLENDMODE_BLEND);
    SDL_RenderCopy(r.get(), t.get(), nullptr, nullptr);
    SDL_RenderFlush(r.get());
    const auto* px = static_cast<const uint32_t*>(target->pixels);
    return std::vector<uint32_t>(px, px + n);
}

TEST(InkBlender, BlendsAsTheSoftwareRendererCopiesInk) {
    std::mt19937 random(7);
    InkBlender blender;
    const Uint32 formats[] = {SDL_PIXELFORMAT_RGB888, SDL_PIXELFORMAT_ARGB8888,
                              SDL_PIXELFORMAT_ABGR8888};
    for (Uint32 inkFormat : {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888})
        for (Uint32 format : formats) {
            SdlSurfacePtr probe(SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, format));
            SdlSurfacePtr inkProbe(SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, inkFormat));
            ASSERT_TRUE(probe && inkProbe);
            const auto map = [&](uint8_t r, uint8_t g, uint8_t b) {
                return SDL_MapRGB(probe->format, r, g, b);
            };
            for (uint32_t inkColour : {0x000000u, 0xFFFFFFu, 0x3C78D7u}) {
                ASSERT_TRUE(blender.use(inkColour, inkFormat, format));
                // Two backgrounds first (tables), then pixels of ink over ink and of anything.
                std::vector<uint32_t> unders = {map(255, 255, 255), map(0, 0, 255)};
                for (int k = 0; k < 40; ++k)
                    unders.push_back(map(uint8_t(random()), uint8_t(random()), uint8_t(random())));
                std::vector<uint32_t> ink, under, mine;
                for (uint32_t u : unders) {
                    for (uint32_t a = 0; a < 256; ++a) {
                        ink.push_back(SDL_MapRGBA(inkProbe->format, inkColour >> 16 & 0xFF,
                                                  inkColour >> 8 & 0xFF, inkColour & 0xFF,
                                                  uint8_t(a)));
                        under.push_back(u);
                        const uint32_t once = blender.over(u, uint8_t(a));
                        // Asked again, it answers from what it remembered.
                        const uint32_t again = blender.over(u, uint8_t(a));
                        mine.push_back(once == again ? once : ~once);
                    }
                }
                const std::vector<uint32_t> theirs = rendered(inkFormat, format, ink, under);
                ASSERT_EQ(theirs.size(), mine.size());
                int differing = 0;
                for (size_t i = 0; i < mine.size() && differing < 3; ++i)
                    if (mine[i] != theirs[i])
                        ++differing, ADD_FAILURE() << std::hex << "format " << format << " ink "
                                                   << inkFormat << " " << inkColour << " over "
                                                   << under[i] << " alpha " << i % 256 << ": "
                                                   << mine[i] << " instead of " << theirs[i];
            }
        }
}

}  // namespace
