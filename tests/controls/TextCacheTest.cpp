// The text texture cache: rendered once per text, and safe when its renderer goes first.
#include "controls/TextCache.h"

#include "ControlsFixture.h"

#include <utility>

namespace {

using TextCacheTest = ControlsTest;

TEST_F(TextCacheTest, RendersOncePerTextFontAndColour) {
    TextCache cache;
    SDL_Renderer* r = rec->sdlRenderer();
    int w = 0, h = 0;
    SDL_Texture* first = cache.get(r, font, "Hallo", {0, 0, 0, 255}, w, h);
    ASSERT_NE(first, nullptr);
    EXPECT_GT(w, 0);
    EXPECT_EQ(cache.get(r, font, "Hallo", {0, 0, 0, 255}, w, h), first);
    EXPECT_EQ(TextureRetirement::pendingCount(r), 0u);
    SDL_Texture* red = cache.get(r, font, "Hallo", {255, 0, 0, 255}, w, h);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(TextureRetirement::pendingCount(r), 1u);  // the old one waits for retirement
    EXPECT_EQ(cache.get(r, font, "", {0, 0, 0, 255}, w, h), nullptr);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(cache.get(r, nullptr, "x", {0, 0, 0, 255}, w, h), nullptr);
}

// One font object can change its size and style in place: the texture made before is stale.
TEST_F(TextCacheTest, RendersAgainWhenItsFontChangesSizeOrStyle) {
    TTF_Font* own = app.openFont(14);
    ASSERT_NE(own, nullptr);
    TextCache cache;
    SDL_Renderer* r = rec->sdlRenderer();
    const SDL_Color black{0, 0, 0, 255};
    auto renderedSize = [&] {
        int w = 0, h = 0;
        EXPECT_NE(cache.get(r, own, "Hallo", black, w, h), nullptr);
        return std::make_pair(w, h);
    };
    auto fontSize = [&] {
        int w = 0, h = 0;
        TTF_SizeUTF8(own, "Hallo", &w, &h);
        return std::make_pair(w, h);
    };
    const auto small = renderedSize();
    EXPECT_EQ(small, fontSize());
    ASSERT_EQ(TTF_SetFontSize(own, 28), 0);
    EXPECT_EQ(renderedSize(), fontSize());
    EXPECT_GT(renderedSize().second, small.second);
    const int regularWidth = renderedSize().first;
    TTF_SetFontStyle(own, TTF_STYLE_BOLD);
    EXPECT_EQ(renderedSize(), fontSize());
    EXPECT_GT(renderedSize().first, regularWidth);
    cache.release();
    TTF_CloseFont(own);
}

TEST_F(TextCacheTest, OutlivesItsRenderer) {
    auto cache = std::make_unique<TextCache>();
    int w = 0, h = 0;
    SDL_Renderer* gone = rec->sdlRenderer();
    ASSERT_NE(cache->get(gone, font, "weg", {0, 0, 0, 255}, w, h), nullptr);
    ASSERT_TRUE(app.destroyWindow(rec->windowId));
    rec = nullptr;
    cache.reset();  // must not hand a texture of the destroyed renderer to retirement
    // The pointer is only a key here: a texture filed under it would be destroyed twice.
    ASSERT_EQ(TextureRetirement::pendingCount(gone), 0u);
    TextureRetirement::flushAll();
}

}  // namespace
