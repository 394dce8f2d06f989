// Window drawing with pixels read back: direct drawing on the software renderer, cached
// drawing on a renderer with render targets, and the tooltip box.
#include "core/Roles.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr SDL_Color kGrey{200, 200, 200, 255};
constexpr SDL_Color kRed{255, 0, 0, 255};
constexpr SDL_Color kBlue{0, 0, 255, 255};

struct Frame {
    // Draws one frame of the window and reads the given pixels before presenting.
    static std::vector<SDL_Color> draw(TestApp& app, AppWindow* rec,
                                       std::vector<SDL_Point> points) {
        std::vector<SDL_Color> out;
        app.beforePresent = [&](AppWindow* w) {
            if (w != rec) return;
            for (SDL_Point p : points)
                out.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
        };
        app.requestRedraw();  // the test application draws on demand
        app.renderWindow(rec);
        app.beforePresent = nullptr;
        return out;
    }
};

TEST(Drawing, SoftwareRendererDrawsChildrenDirectly) {
    TestApp app;
    AppWindow* rec = app.openMain(100, 80, kGrey);
    auto* probe = new ProbeWidget(10, 10, 20, 20, kRed, true);
    rec->root->addChild(probe);
    auto px = Frame::draw(app, rec, {{0, 0}, {10, 10}, {29, 29}, {30, 30}});
    EXPECT_FALSE(rec->root->targetsSupported);
    EXPECT_TRUE(sameColor(px[0], kGrey));
    EXPECT_TRUE(sameColor(px[1], kRed));
    EXPECT_TRUE(sameColor(px[2], kRed));
    EXPECT_TRUE(sameColor(px[3], kGrey));
    EXPECT_EQ(probe->cacheTexture, nullptr);
    Frame::draw(app, rec, {});
    EXPECT_EQ(probe->draws, 2);  // drawn every frame
}

// Render targets need a renderer other than the software one: OpenGL under offscreen.
class CachedDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        useOpenGlRenderer();
        rec = app.openMain(100, 80, kGrey);
        ASSERT_NE(rec, nullptr);
        SDL_RendererInfo info;
        SDL_GetRendererInfo(rec->sdlRenderer(), &info);
        if (info.flags & SDL_RENDERER_SOFTWARE) GTEST_SKIP() << "no OpenGL renderer here";
    }
    void TearDown() override {
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    }
    TestApp app;
    AppWindow* rec = nullptr;
};

TEST_F(CachedDrawing, DirtyChildIsRedrawnOnceAndCopiedAfterwards) {
    auto* probe = new ProbeWidget(10, 10, 20, 20, kRed, true);
    rec->root->addChild(probe);
    auto px = Frame::draw(app, rec, {{15, 15}, {5, 5}});
    EXPECT_TRUE(rec->root->targetsSupported);
    EXPECT_TRUE(sameColor(px[0], kRed));
    EXPECT_TRUE(sameColor(px[1], kGrey));
    EXPECT_EQ(probe->draws, 1);
    EXPECT_NE(probe->cacheTexture, nullptr);
    px = Frame::draw(app, rec, {{15, 15}});
    EXPECT_EQ(probe->draws, 1);  // clean: copied from its cache
    EXPECT_TRUE(sameColor(px[0], kRed));
    // A change of look goes through invalidate and shows in the next frame.
    probe->setBgColor(kBlue);
    px = Frame::draw(app, rec, {{15, 15}, {29, 29}, {30, 30}});
    EXPECT_EQ(probe->draws, 2);
    EXPECT_TRUE(sameColor(px[0], kBlue));
    EXPECT_TRUE(sameColor(px[1], kBlue));
    EXPECT_TRUE(sameColor(px[2], kGrey));
}

TEST_F(CachedDrawing, PartlyOutsideOrEmptyChildrenAreDrawnDirectly) {
    auto* outside = new ProbeWidget(90, 10, 20, 20, kRed, true);
    auto* empty = new ProbeWidget(40, 40, 0, 5, kBlue, true);
    rec->root->addChild(outside);
    rec->root->addChild(empty);
    auto px = Frame::draw(app, rec, {{95, 15}, {50, 50}, {5, 5}});
    Frame::draw(app, rec, {});
    EXPECT_EQ(outside->draws, 2);
    EXPECT_TRUE(sameColor(px[0], kRed));
    // The zero-width child never turned the window into a copy of the scratch target.
    EXPECT_TRUE(sameColor(px[1], kGrey));
    EXPECT_TRUE(sameColor(px[2], kGrey));
    EXPECT_EQ(empty->cacheTexture, nullptr);
}

TEST_F(CachedDrawing, ResizeDrawsDirectlyDuringWarmup) {
    auto* probe = new ProbeWidget(10, 10, 20, 20, kRed, true);
    rec->root->addChild(probe);
    Frame::draw(app, rec, {});
    rec->root->resize(rec->sdlRenderer(), 100, 80);
    for (int i = 0; i < 15; ++i)
        Frame::draw(app, rec, {});
    EXPECT_EQ(probe->draws, 16);
    Frame::draw(app, rec, {});
    Frame::draw(app, rec, {});
    EXPECT_EQ(probe->draws, 16);  // caching again, and the child was not dirty
}

TEST(Drawing, TooltipBoxSitsBelowRightOfThePointerAndInsideTheWindow) {
    TestApp app;
    AppWindow* rec = app.openMain(200, 100, kGrey);
    ASSERT_NE(app.getDefaultFont(), nullptr) << "data/fonts/Vera.ttf is staged for the tests";
    int tw = 0, th = 0;
    TTF_SizeUTF8(app.getDefaultFont(), "Hinweis", &tw, &th);
    const int bw = tw + 12, bh = th + 6;
    struct Case {
        SDL_Point pointer;
        SDL_Point box;  // expected top-left corner
    } cases[] = {
        {{20, 10}, {34, 28}},               // 14 right of and 18 below the pointer
        {{195, 95}, {200 - bw, 100 - bh}},  // moved back to end inside the window
        {{150, 10}, {200 - bw, 28}},        // only moved left
    };
    auto* probe = new ProbeWidget(0, 0, 200, 100, kGrey);
    probe->setTooltip("Hinweis");
    rec->root->addChild(probe);
    GuiWindow* root = rec->root.get();
    route(app, mouseMotion(rec->windowId, 1, 1));
    root->update(1000);
    root->update(1500);
    ASSERT_TRUE(root->tooltipVisible);
    const SDL_Color ink{0, 0, 0, 255}, fill{255, 255, 225, 255};
    for (const Case& c : cases) {
        route(app, mouseMotion(rec->windowId, c.pointer.x, c.pointer.y));
        const int x = c.box.x, y = c.box.y;
        auto px = Frame::draw(
            app, rec, {{x, y}, {x + bw - 1, y + bh - 1}, {x + 1, y + 1}, {x - 1, y}, {x, y - 1}});
        const std::string at = std::to_string(c.pointer.x) + "," + std::to_string(c.pointer.y);
        EXPECT_TRUE(sameColor(px[0], ink)) << at;  // outline corners
        EXPECT_TRUE(sameColor(px[1], ink)) << at;
        EXPECT_TRUE(sameColor(px[2], fill)) << at;
        EXPECT_TRUE(sameColor(px[3], kGrey)) << at;  // nothing left of or above the box
        EXPECT_TRUE(sameColor(px[4], kGrey)) << at;
    }
}

// A child that says whether it paints every pixel of its rectangle.
class CoveringChild : public ProbeWidget, public IOpaque {
public:
    CoveringChild(SDL_Rect rc, SDL_Color c, bool opaque)
        : ProbeWidget(rc.x, rc.y, rc.w, rc.h, c), opaque(opaque) {}
    bool paintsEveryPixel() const override { return opaque; }
    bool opaque;
};

TEST(Drawing, TheBackgroundIsLeftOutOnlyWhereAChildThatPaintsEveryPixelCoversAll) {
    struct Case {
        const char* name;
        SDL_Rect child;
        SDL_Color colour;
        bool opaque;
        SDL_Point at;
        SDL_Color expected;
    };
    const SDL_Color halfRed{255, 0, 0, 128};
    const Case cases[] = {
        {"covers all, opaque", {0, 0, 100, 80}, kRed, true, {50, 40}, kRed},
        // Blended over the background: that must be there.
        {"covers all, not opaque", {0, 0, 100, 80}, halfRed, false, {50, 40}, {227, 100, 100, 255}},
        {"opaque, covers a part", {0, 0, 60, 80}, kRed, true, {80, 40}, kGrey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestApp app;
        AppWindow* rec = app.openMain(100, 80, kGrey);
        rec->root->addChild(new CoveringChild(c.child, c.colour, c.opaque));
        for (bool whole : {true, false}) {
            SCOPED_TRACE(whole ? "whole frame" : "partial frame");
            // What the window showed before is gone: only drawing can put the background there.
            SDL_SetRenderDrawColor(rec->sdlRenderer(), 0, 0, 255, 255);
            SDL_RenderClear(rec->sdlRenderer());
            std::vector<SDL_Color> px;
            if (whole) {
                px = Frame::draw(app, rec, {c.at});
            } else {
                app.verifyDamage = false;  // the cleared pixels are not a frame's
                app.beforePresent = [&](AppWindow* w) {
                    px.push_back(readPixel(w->sdlRenderer(), c.at.x, c.at.y));
                };
                rec->root->addDamage({c.at.x - 5, c.at.y - 5, 10, 10});
                app.scheduleRedraw();
                app.renderWindow(rec);
                app.beforePresent = nullptr;
            }
            ASSERT_EQ(px.size(), 1u);
            EXPECT_NEAR(px[0].r, c.expected.r, 1);
            EXPECT_NEAR(px[0].g, c.expected.g, 1);
            EXPECT_NEAR(px[0].b, c.expected.b, 1);
        }
    }
}

}  // namespace
