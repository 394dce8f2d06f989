// The main loop: one event per frame, motion coalescing, injected events first, texture
// retirement, window teardown and the quit sequence.
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace {

class MainLoop : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(200, 100);
        ASSERT_NE(rec, nullptr);
        id = rec->windowId;
        probe = new ProbeWidget(0, 0, 200, 100);
        rec->root->addChild(probe);
        rec->root->setFocus(probe);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void push(SDL_Event e) { SDL_PushEvent(&e); }

    TestApp app;
    AppWindow* rec = nullptr;
    uint32_t id = 0;
    ProbeWidget* probe = nullptr;
};

TEST_F(MainLoop, BurstOfKeysIsHandledOneEventPerFrameInOrder) {
    std::vector<SDL_Keycode> keys;
    probe->onEvent = [&](ProbeWidget*, GuiEvent& e) {
        if (e.sdl && e.sdl->type == SDL_KEYDOWN) keys.push_back(e.sdl->key.keysym.sym);
    };
    push(keyEvent(SDL_KEYDOWN, id, SDLK_a));
    push(keyEvent(SDL_KEYDOWN, id, SDLK_b));
    push(keyEvent(SDL_KEYDOWN, id, SDLK_c));
    app.frames(1);
    EXPECT_EQ(keys, std::vector<SDL_Keycode>{SDLK_a});
    app.frames(2);
    EXPECT_EQ(keys, (std::vector<SDL_Keycode>{SDLK_a, SDLK_b, SDLK_c}));
}

TEST_F(MainLoop, FiftyMotionsAndAClickTakeTwoFrames) {
    for (int i = 0; i < 50; ++i)
        push(mouseMotion(id, i, 5));
    push(mouseButton(SDL_MOUSEBUTTONDOWN, id, 10, 10));
    app.frames(1);
    ASSERT_EQ(probe->types.size(), 1u);
    EXPECT_EQ(probe->types[0], SDL_MOUSEMOTION);
    EXPECT_EQ(probe->locals[0].x, 49);  // the last motion won
    app.frames(1);
    ASSERT_EQ(probe->types.size(), 2u);
    EXPECT_EQ(probe->types[1], SDL_MOUSEBUTTONDOWN);
}

TEST_F(MainLoop, InjectedEventComesBeforePendingRealEvent) {
    push(keyEvent(SDL_KEYDOWN, id, SDLK_a));
    app.injectedEvents.push_back(keyEvent(SDL_KEYUP, id, SDLK_b));
    app.frames(1);
    ASSERT_EQ(probe->types.size(), 1u);
    EXPECT_EQ(probe->types[0], SDL_KEYUP);
    app.frames(1);
    EXPECT_EQ(probe->types[1], SDL_KEYDOWN);
}

TEST_F(MainLoop, RetiredTextureSurvivesTwoFrames) {
    SDL_Renderer* r = rec->sdlRenderer();
    SDL_Texture* t = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 4, 4);
    ASSERT_NE(t, nullptr);
    TextureRetirement::retire(r, t);
    app.frames(1);
    EXPECT_EQ(TextureRetirement::pendingCount(r), 1u);
    app.frames(1);
    EXPECT_EQ(TextureRetirement::pendingCount(r), 1u);
    app.frames(1);
    EXPECT_EQ(TextureRetirement::pendingCount(r), 0u);
}

TEST_F(MainLoop, QuitSendsCloseNotificationsThenEnds) {
    app.quitRequested = true;
    int rendersBefore = app.renders;
    app.frames(5);
    EXPECT_TRUE(app.quitDone);
    EXPECT_EQ(app.renders, rendersBefore + 1);  // the loop draws once more and stops
    // One close notification per window, with window id 0.
    EXPECT_EQ(app.closeNotices, std::vector<uint32_t>{0});
}

// A per-renderer resource registered by a widget family is released when its window goes.
SDL_Renderer* gTornDown = nullptr;
void noteTeardown(SDL_Renderer* r) {
    gTornDown = r;
}

TEST_F(MainLoop, DestroyWindowRunsTeardownHooksAndClearsState) {
    addRendererTeardownHook(noteTeardown);
    SDL_Renderer* r = rec->sdlRenderer();
    EXPECT_TRUE(app.destroyWindow(id));
    EXPECT_EQ(gTornDown, r);
    EXPECT_EQ(app.mainWindow, nullptr);
    EXPECT_TRUE(app.windowList.empty());
    EXPECT_EQ(app.findWindowById(id), nullptr);
    EXPECT_FALSE(app.destroyWindow(id));
}

TEST_F(MainLoop, MinimisedSizeDoesNotResize) {
    app.handleResize(rec, 0, 0);
    EXPECT_EQ(rec->width, 200);
    app.handleResize(rec, 300, 150);
    EXPECT_EQ(rec->width, 300);
}

// The window's cairo image costs width x height x 4 bytes: none until something draws with
// cairo; then it has the window's size, starts transparent and follows resizes.
TEST_F(MainLoop, CairoImageIsMadeOnFirstUseAndFollowsTheWindowSize) {
    auto imageSize = [&] {
        cairo_surface_t* s = cairo_get_target(rec->cairoContext());
        return std::make_pair(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
    };
    EXPECT_TRUE(rec->pixels.empty());
    app.handleResize(rec, 240, 120);
    EXPECT_FALSE(rec->hasCairoContext());
    EXPECT_TRUE(rec->pixels.empty());

    EXPECT_EQ(imageSize(), std::make_pair(240, 120));
    EXPECT_EQ(rec->pixels.size(), 240u * 120u * 4u);
    cairo_t* cr = rec->cairoContext();
    EXPECT_EQ(cairo_status(cr), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_get_operator(cr), CAIRO_OPERATOR_OVER);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    cairo_surface_flush(cairo_get_target(cr));
    EXPECT_EQ(rec->pixels[0], 0);  // B, G, R, A of opaque red
    EXPECT_EQ(rec->pixels[2], 255);
    EXPECT_EQ(rec->pixels[3], 255);

    app.handleResize(rec, 300, 150);
    EXPECT_EQ(imageSize(), std::make_pair(300, 150));
    EXPECT_EQ(rec->pixels.size(), 300u * 150u * 4u);
    // A new image, transparent again.
    EXPECT_TRUE(
        std::all_of(rec->pixels.begin(), rec->pixels.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(MainLoop, FullscreenKeyIsFilteredOnlyWhenAllowed) {
    struct Case {
        uint16_t mod;
        bool repeat;
        bool consumed;
    } cases[] = {{0, false, true},
                 {KMOD_LCTRL, false, false},
                 {KMOD_NUM, false, true},
                 {0, true, true},
                 {KMOD_RSHIFT, false, false}};
    for (const Case& c : cases) {
        SDL_Event e = keyEvent(SDL_KEYDOWN, id, SDLK_F11, c.mod, c.repeat);
        EXPECT_EQ(app.filterFullscreenKey(e), c.consumed) << c.mod;
    }
    // Not while a dialog is modal.
    app.modalRoot = rec->root.get();
    EXPECT_FALSE(app.filterFullscreenKey(keyEvent(SDL_KEYDOWN, id, SDLK_F11)));
    app.modalRoot = nullptr;
    // Not for another window.
    EXPECT_FALSE(app.filterFullscreenKey(keyEvent(SDL_KEYDOWN, id + 100, SDLK_F11)));
}

}  // namespace
