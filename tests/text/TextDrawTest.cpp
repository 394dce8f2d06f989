// Pixels of the text control on the software renderer: the colours and places the control
// is specified with, and the glyph cache drawing exactly what direct rasterising draws, both
// blended into the window's pixels and copied as textures.
#include "support/TestApp.h"
#include "text/GlyphCache.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const SDL_Color kWhite{255, 255, 255, 255};
const SDL_Color kBlack{0, 0, 0, 255};
const SDL_Color kBlue{0, 0, 255, 255};
const SDL_Color kTrack{230, 230, 230, 255};
const SDL_Color kThumb{160, 160, 160, 255};

class TextDraw : public testing::Test {
protected:
    void SetUp() override {
        win = app.openMain(500, 300);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(app.getFtFace(), nullptr);
        r = win->sdlRenderer();
    }
    void TearDown() override { GuiTextCtrl::useGlyphCache = true; }
    GuiTextCtrl* make(int flags, const std::string& text, SDL_Rect rc = {40, 30, 300, 100}) {
        auto* t =
            new GuiTextCtrl(nullptr, 5, rc.x, rc.y, rc.w, rc.h, kWhite, app.getFtFace(), flags);
        win->root->addChild(t);
        t->setText(text);
        return t;
    }
    // Draws the control alone on grey and returns the pixels of the whole window. Into the
    // window the glyphs are blended straight into its pixels; into a texture of the window's
    // size and format they are copied from glyph textures.
    std::vector<uint32_t> render(GuiTextCtrl* t, bool intoTexture = false) {
        const Uint32 format = SDL_GetWindowPixelFormat(win->sdlWindow.get());
        SdlTexturePtr target(intoTexture
                                 ? SDL_CreateTexture(r, format, SDL_TEXTUREACCESS_TARGET, 500, 300)
                                 : nullptr);
        if (target) SDL_SetRenderTarget(r, target.get());
        SDL_SetRenderDrawColor(r, 90, 90, 90, 255);
        SDL_RenderClear(r);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        t->draw(r);
        std::vector<uint32_t> px(500 * 300);
        SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), 500 * 4);
        if (target) SDL_SetRenderTarget(r, nullptr);
        return px;
    }
    SDL_Color pixel(int x, int y) { return readPixel(r, x, y); }

    TestApp app;
    AppWindow* win = nullptr;
    SDL_Renderer* r = nullptr;
};

std::string manyLines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "Zeile " + std::to_string(i) + " mit \xC3\xA4\xC3\xB6\xC3\xBC und\tTab AVAWAY Te\n";
    return s + "Ende einer sehr langen letzten Zeile, die weit über den rechten Rand hinausgeht";
}

TEST_F(TextDraw, CachedGlyphsDrawTheSamePixelsAsDirectRasterising) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, manyLines(20));
    win->root->setFocus(t);
    t->selStart = 30;
    t->selEnd = 75;
    t->cursor = 75;
    ASSERT_TRUE(t->vScroll.visible && t->hScroll.visible);
    for (int scroll : {0, 3 * t->lineHeight(), 7}) {
        t->scrollY = scroll;
        t->scrollX = scroll / 3;
        GuiTextCtrl::useGlyphCache = false;
        const auto rasterised = render(t);
        GuiTextCtrl::useGlyphCache = true;
        const auto first = render(t);         // fills the cache, blends into the window's pixels
        const auto second = render(t);        // draws from it
        const auto copied = render(t, true);  // copies glyph textures
        EXPECT_EQ(first, rasterised) << "scroll " << scroll;
        EXPECT_EQ(second, rasterised) << "scroll " << scroll;
        EXPECT_EQ(copied, rasterised) << "scroll " << scroll;
    }
    EXPECT_GT(glyphTextureCount(r), 0u);
}

TEST_F(TextDraw, EmptyControlShowsOnlyTheCaret) {
    GuiTextCtrl* t = make(0, "", {40, 30, 200, 22});
    t->caretActive = true;
    t->caretResetTime = SDL_GetTicks();
    render(t);
    const int lh = t->lineHeight();
    EXPECT_TRUE(sameColor(pixel(45, 32), kBlack));
    EXPECT_TRUE(sameColor(pixel(46, 32 + lh - 1), kBlack));
    EXPECT_TRUE(sameColor(pixel(47, 32), kWhite)) << "two pixels wide";
    EXPECT_TRUE(sameColor(pixel(45, 31), kWhite));
    EXPECT_TRUE(sameColor(pixel(40, 30), kWhite)) << "background is white whatever bgColor";
    EXPECT_TRUE(sameColor(pixel(39, 30), SDL_Color{90, 90, 90, 255}));
}

TEST_F(TextDraw, SelectionGlyphsAndScrollBarColours) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, manyLines(10));
    win->root->setFocus(t);
    t->selStart = 0;
    t->selEnd = 2;
    const auto px = render(t);
    const Glyph g0 = t->glyphAt(0);
    const int top = g0.y - t->ascender() - 3;
    EXPECT_TRUE(sameColor(pixel(g0.x, top), kBlue));
    EXPECT_TRUE(sameColor(pixel(g0.x, top + t->lineHeight() - 1), kBlue));
    EXPECT_FALSE(sameColor(pixel(t->glyphAt(2).x + 1, top), kBlue)) << "selection ends at 2";
    // Unselected ink is black with coverage: some pixel of glyph 3 is dark grey to black.
    const Glyph g3 = t->glyphAt(3);
    int darkest = 255;
    for (int y = g3.y - 12; y < g3.y; ++y)
        for (int x = g3.x; x < g3.x + g3.width; ++x) {
            SDL_Color c = pixel(x, y);
            EXPECT_TRUE(c.r == c.g && c.g == c.b);
            darkest = std::min<int>(darkest, c.r);
        }
    EXPECT_LT(darkest, 128);
    // Both bars, their thumbs at the start, and the corner square.
    const SDL_Rect v = t->vScroll.track, h = t->hScroll.track;
    EXPECT_EQ(v.x, 40 + 300 - 12);
    EXPECT_EQ(h.y, 30 + 100 - 12);
    EXPECT_TRUE(sameColor(pixel(v.x + 6, v.y + 2), kThumb));
    EXPECT_TRUE(sameColor(pixel(v.x + 6, v.y + v.h - 2), kTrack));
    EXPECT_TRUE(sameColor(pixel(h.x + 2, h.y + 6), kThumb));
    EXPECT_TRUE(sameColor(pixel(h.x + h.w - 2, h.y + 6), kTrack));
    EXPECT_TRUE(sameColor(pixel(v.x + 6, h.y + 6), kTrack));
    // Without focus the highlight is not drawn, and selected glyphs are not drawn white.
    win->root->setFocus(nullptr);
    t->selStart = 0;
    t->selEnd = 2;
    render(t);
    EXPECT_TRUE(sameColor(pixel(g0.x, top), kWhite));
}

TEST_F(TextDraw, HalfVisibleLinesAreNotDrawn) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, manyLines(10));
    t->scrollY = 5;  // the first line is cut at the top
    render(t);
    const int lh = t->lineHeight();
    const int cutBottom = 30 + 2 + lh - 5;  // where line 1 would still show
    for (int y = 30; y < cutBottom; ++y)
        for (int x = 40; x < 300; ++x)
            ASSERT_TRUE(sameColor(pixel(x, y), kWhite)) << x << "," << y;
}

TEST_F(TextDraw, WithoutAFaceOnlyTheBackgroundIsDrawn) {
    auto* t = new GuiTextCtrl(nullptr, 5, 40, 30, 200, 60, kWhite, nullptr, TEXT_MULTILINE);
    win->root->addChild(t);
    win->root->setFocus(t);
    t->setText("abc\ndef");
    t->caretActive = true;
    route(app, textInput(win->windowId, "x"));
    for (SDL_Keycode k : {SDLK_PAGEDOWN, SDLK_DOWN, SDLK_END, SDLK_RETURN})
        route(app, keyEvent(SDL_KEYDOWN, win->windowId, k));
    route(app, mouseWheel(win->windowId, 60, 50, -3));
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, win->windowId, 60, 50));
    EXPECT_EQ(t->glyphCount(), 0);
    render(t);
    for (int y = 30; y < 90; y += 3)
        for (int x = 40; x < 240; x += 3)
            ASSERT_TRUE(sameColor(pixel(x, y), kWhite)) << x << "," << y;
}

TEST_F(TextDraw, TexturesGoAwayWithTheirRenderer) {
    GuiTextCtrl* t = make(0, "Hallo");
    render(t, true);
    ASSERT_GT(glyphTextureCount(r), 0u);
    app.destroyWindow(win->windowId);
    EXPECT_EQ(glyphTextureCount(r), 0u);
}

}  // namespace
