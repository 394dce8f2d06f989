// The demo's first column drawn through the window's texture caches gives the same pixels as
// drawn directly: a control that paints beyond its rectangle must not lose those pixels.
#include "demo/Demo.h"

#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kColumnRight = 300;  // column 1 lies left of this

std::vector<SDL_Color> readArea(SDL_Renderer* r, const SDL_Rect& area) {
    std::vector<uint32_t> raw(static_cast<size_t>(area.w) * area.h);
    std::vector<SDL_Color> out;
    if (SDL_RenderReadPixels(r, &area, SDL_PIXELFORMAT_ARGB8888, raw.data(), area.w * 4) != 0)
        return out;
    out.reserve(raw.size());
    for (uint32_t p : raw)
        out.push_back(SDL_Color{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)});
    return out;
}

// Blending onto a cleared cache and then onto the window rounds text edges by a unit or two.
bool nearlySame(SDL_Color a, SDL_Color b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

TEST(CachedDrawing, DemoColumnOneLooksTheSameCachedAndDirect) {
    useOpenGlRenderer();
    Demo demo;
    ASSERT_TRUE(demo.build());
    SDL_Renderer* r = demo.mainWindow->sdlRenderer();
    SDL_RendererInfo info;
    SDL_GetRendererInfo(r, &info);
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    if (info.flags & SDL_RENDERER_SOFTWARE) GTEST_SKIP() << "no renderer with render targets";
    GuiWindow* root = demo.mainRoot();

    std::vector<SDL_Rect> frames;  // each control's rectangle and the line right and below it
    int cacheable = 0;
    for (const auto& child : root->childList()) {
        if (child->x + child->width >= kColumnRight || child->y < 20) continue;
        frames.push_back(SDL_Rect{child->x, child->y, child->width + 1, child->height + 1});
        cacheable += child->isCacheable() ? 1 : 0;
    }
    ASSERT_GT(cacheable, 10);

    // Draw directly (a warm-up frame), then through freshly filled caches, then from clean ones.
    root->warmupFrames = 1;
    root->draw(r);
    std::vector<std::vector<SDL_Color>> direct;
    for (const SDL_Rect& f : frames)
        direct.push_back(readArea(r, f));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "caches filled" : "caches reused");
        root->draw(r);
        ASSERT_EQ(root->warmupFrames, 0);
        for (size_t i = 0; i < frames.size(); ++i) {
            const std::vector<SDL_Color> cached = readArea(r, frames[i]);
            ASSERT_EQ(cached.size(), direct[i].size());
            int differing = 0, firstX = -1, firstY = -1;
            for (size_t k = 0; k < cached.size(); ++k) {
                if (nearlySame(cached[k], direct[i][k])) continue;
                if (differing++ == 0) {
                    firstX = frames[i].x + int(k % frames[i].w);
                    firstY = frames[i].y + int(k / frames[i].w);
                }
            }
            EXPECT_EQ(differing, 0)
                << "control at (" << frames[i].x << ", " << frames[i].y
                << "), first difference at (" << firstX << ", " << firstY << ")";
        }
    }
}

}  // namespace
