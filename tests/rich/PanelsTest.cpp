// The cairo panel and the image panel: fitting arithmetic, upload pacing, pixels as drawn,
// clicks, resizing, and files or sizes that cannot work.
#include "rich/Panels.h"

#include "core/CairoPixels.h"

#include "support/TestApp.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr SDL_Color kWindowGrey{200, 200, 200, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

::testing::AssertionResult near(SDL_Color actual, SDL_Color expected, int tolerance = 0) {
    auto off = [tolerance](int a, int b) { return std::abs(a - b) > tolerance; };
    if (!off(actual.r, expected.r) && !off(actual.g, expected.g) && !off(actual.b, expected.b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << int(actual.r) << "," << int(actual.g) << ","
                                         << int(actual.b) << "), expected (" << int(expected.r)
                                         << "," << int(expected.g) << "," << int(expected.b) << ")";
}

class PanelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(400, 400, kWindowGrey);
        ASSERT_NE(rec, nullptr);
        root = rec->root.get();
        renderer = rec->sdlRenderer();
        dir = "panels_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
              "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override {
        for (const std::string& f : files)
            std::remove(f.c_str());
    }

    // Draws the window at the given tick (the panels' clock) and reads the points back.
    std::vector<SDL_Color> frame(uint32_t tick, const std::vector<SDL_Point>& points) {
        for (auto& child : root->children)
            child->update(tick);
        root->draw(renderer);
        std::vector<SDL_Color> out;
        for (SDL_Point p : points)
            out.push_back(readPixel(renderer, p.x, p.y));
        SDL_RenderPresent(renderer);
        return out;
    }
    SDL_Color pixelAt(uint32_t tick, int x, int y) { return frame(tick, {{x, y}})[0]; }

    // A PNG of one colour written into the working directory.
    std::string writePng(int w, int h, SDL_Color c) {
        SdlSurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32));
        SDL_FillRect(s.get(), nullptr, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
        std::string path = dir + "_" + std::to_string(files.size()) + ".png";
        EXPECT_EQ(IMG_SavePNG(s.get(), path.c_str()), 0);
        files.push_back(path);
        return path;
    }
    std::string writeFile(const std::string& bytes) {
        std::string path = dir + "_" + std::to_string(files.size()) + ".png";
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        files.push_back(path);
        return path;
    }

    static void fill(GuiCairoPanel* p, double r, double g, double b, double a = 1) {
        cairo_t* cr = p->cr();
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_rgba(cr, r, g, b, a);
        cairo_paint(cr);
        cairo_restore(cr);
    }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* root = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::string dir;
    std::vector<std::string> files;
};

// ---------------------------------------------------------------------------------------------
// Image panel

TEST(ImageFit, Table) {
    struct Case {
        SDL_Rect panel;
        int iw, ih;
        SDL_Rect expected;
    };
    const Case cases[] = {
        {{0, 0, 300, 300}, 100, 50, {0, 75, 300, 150}},      // wide, enlarged
        {{20, 30, 300, 300}, 100, 50, {20, 105, 300, 150}},  // the panel's own position
        {{0, 0, 300, 300}, 50, 200, {112, 0, 75, 300}},      // tall
        {{0, 0, 200, 200}, 400, 100, {0, 75, 200, 50}},      // reduced
        {{0, 0, 300, 200}, 10, 10, {50, 0, 200, 200}},       // square in a wide panel
        {{0, 0, 300, 300}, 1, 10000, {149, 0, 1, 300}},      // a sliver keeps one pixel
        {{0, 0, 300, 300}, 300, 300, {0, 0, 300, 300}},      // exact
        {{5, 6, 0, 300}, 100, 50, {5, 6, 0, 0}},             // no panel width
        {{5, 6, 300, -4}, 100, 50, {5, 6, 0, 0}},            // negative panel height
        {{5, 6, 300, 300}, 0, 50, {5, 6, 0, 0}},             // no image width
        {{5, 6, 300, 300}, 100, -1, {5, 6, 0, 0}},           // negative image height
    };
    for (const Case& c : cases) {
        SDL_Rect got = GuiImagePanel::fitImage(c.panel, c.iw, c.ih);
        EXPECT_TRUE(SDL_RectEquals(&got, &c.expected))
            << c.iw << "x" << c.ih << " in " << c.panel.w << "x" << c.panel.h << ": got (" << got.x
            << "," << got.y << "," << got.w << "," << got.h << ")";
    }
}

TEST_F(PanelsTest, ImageIsScaledCentredOverNoBackground) {
    auto* panel = new GuiImagePanel(nullptr, 9, 50, 50, 300, 300, kWhite);
    root->addChild(panel);
    EXPECT_EQ(panel->bgColor.a, 0);
    ASSERT_TRUE(panel->loadImage(renderer, writePng(100, 50, {255, 0, 0, 255})));
    EXPECT_EQ(panel->imageWidth, 100);
    EXPECT_EQ(panel->imageHeight, 50);
    // Shown 300 x 150 at y offset 75; above and below it the window shows through.
    auto px = frame(0, {{200, 125}, {200, 124}, {50, 125}, {349, 274}, {200, 275}});
    EXPECT_TRUE(near(px[0], {255, 0, 0, 255}));
    EXPECT_TRUE(near(px[1], kWindowGrey));
    EXPECT_TRUE(near(px[2], {255, 0, 0, 255}));
    EXPECT_TRUE(near(px[3], {255, 0, 0, 255}));
    EXPECT_TRUE(near(px[4], kWindowGrey));

    panel->setBgColor({0, 0, 255, 255});
    EXPECT_TRUE(near(pixelAt(0, 200, 124), {0, 0, 255, 255}));
}

TEST_F(PanelsTest, FilesThatCannotBeShownLeaveThePanelEmpty) {
    auto* panel = new GuiImagePanel(nullptr, 9, 50, 50, 300, 300, kWhite);
    root->addChild(panel);
    const std::string good = writePng(10, 10, {0, 255, 0, 255});
    const std::string bad[] = {"does/not/exist.png", "", writeFile("not a picture at all"),
                               writeFile(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16))};
    for (const std::string& path : bad) {
        ASSERT_TRUE(panel->loadImage(renderer, good));
        EXPECT_FALSE(panel->loadImage(renderer, path)) << path;
        // The old image is gone as well.
        EXPECT_EQ(panel->imageTexture(), nullptr);
        EXPECT_EQ(panel->imageWidth, 0);
        EXPECT_EQ(panel->imageHeight, 0);
        EXPECT_EQ(panel->path, "");
        EXPECT_TRUE(near(pixelAt(0, 200, 200), kWindowGrey)) << path;
    }
    ASSERT_TRUE(panel->loadImage(renderer, good));
    EXPECT_EQ(panel->path, good);
    panel->clearImage();
    EXPECT_EQ(panel->imageTexture(), nullptr);
    EXPECT_EQ(panel->path, "");
    EXPECT_FALSE(panel->loadImage(nullptr, good));
}

TEST_F(PanelsTest, ImagePanelWithoutAreaDrawsNothing) {
    const std::string png = writePng(20, 20, {255, 0, 0, 255});
    for (SDL_Point size : {SDL_Point{0, 0}, SDL_Point{0, 50}, SDL_Point{-30, -30}}) {
        auto* panel = new GuiImagePanel(nullptr, 9, 100, 100, size.x, size.y, kWhite);
        root->addChild(panel);
        panel->setBgColor({0, 0, 255, 255});
        ASSERT_TRUE(panel->loadImage(renderer, png));
        for (SDL_Color c : frame(0, {{100, 100}, {99, 99}, {85, 85}, {100, 120}, {80, 100}}))
            EXPECT_TRUE(near(c, kWindowGrey)) << size.x << "x" << size.y;
        panel->destroy();
        root->runPendingDeletes();
    }
}

TEST_F(PanelsTest, EveryPressPostsOneClickCommand) {
    auto* panel = new GuiImagePanel(nullptr, 77, 50, 50, 100, 100, kWhite);
    root->addChild(panel);
    const uint32_t w = rec->windowId;
    route(app, mouseMotion(w, 60, 60));
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w, 60, 60, SDL_BUTTON_LEFT));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, w, 60, 60, SDL_BUTTON_LEFT));
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w, 70, 70, SDL_BUTTON_RIGHT));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, w, 70, 70, SDL_BUTTON_RIGHT));
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w, 70, 70, SDL_BUTTON_MIDDLE));
    ASSERT_EQ(app.commands.size(), 3u);
    for (const auto& c : app.commands) {
        EXPECT_EQ(c.code, static_cast<uint32_t>(CMD_IMAGE_CLICKED));
        EXPECT_EQ(c.id, 77u);
        EXPECT_EQ(c.value, 0);
        EXPECT_EQ(c.source, panel);
    }
}

// ---------------------------------------------------------------------------------------------
// Cairo panel

TEST_F(PanelsTest, CairoPanelShowsWhatWasDrawn) {
    auto* panel = new GuiCairoPanel(nullptr, -1, 50, 60, 200, 100, kWhite, renderer);
    root->addChild(panel);
    fill(panel, 10 / 255.0, 200 / 255.0, 30 / 255.0);
    cairo_set_source_rgb(panel->cr(), 1, 0, 0);
    cairo_rectangle(panel->cr(), 0, 0, 20, 10);
    cairo_fill(panel->cr());
    auto px = frame(0, {{50, 60}, {69, 69}, {70, 60}, {249, 159}, {49, 60}, {250, 159}, {50, 160}});
    EXPECT_TRUE(near(px[0], {255, 0, 0, 255}));
    EXPECT_TRUE(near(px[1], {255, 0, 0, 255}));
    EXPECT_TRUE(near(px[2], {10, 200, 30, 255}));
    EXPECT_TRUE(near(px[3], {10, 200, 30, 255}));
    for (int i : {4, 5, 6})
        EXPECT_TRUE(near(px[i], kWindowGrey)) << i;
}

TEST_F(PanelsTest, TranslucentCairoPixelsAreUnpremultipliedAndBlended) {
    auto* panel = new GuiCairoPanel(nullptr, -1, 50, 60, 100, 50, kWhite, renderer);
    root->addChild(panel);
    fill(panel, 0, 0, 1, 0.5);
    const std::vector<uint32_t> straight = panel->straightPixels();
    ASSERT_EQ(straight.size(), 100u * 50u);
    // Straight alpha: full blue at alpha 128 (premultiplied it would be 0x80000080).
    EXPECT_EQ(straight[0], 0x800000FFu);
    // Over the panel's white background.
    EXPECT_TRUE(near(pixelAt(0, 60, 70), {127, 127, 255, 255}, 2));

    // The untouched surface is transparent: the background shows.
    fill(panel, 0, 0, 0, 0);
    EXPECT_TRUE(near(pixelAt(1, 60, 70), kWhite));
    EXPECT_EQ(unpremultiply(0x40202020u), 0x40808080u);
    EXPECT_EQ(unpremultiply(0x00FFFFFFu), 0u);
}

TEST(CairoPanelFps, IntervalTable) {
    const std::pair<int, uint32_t> cases[] = {{20, 50},  {60, 16}, {1, 1000}, {1000, 1},
                                              {2000, 0}, {0, 0},   {-5, 0}};
    for (auto [fps, interval] : cases) {
        GuiCairoPanel panel(nullptr, -1, 0, 0, 4, 4, kWhite, nullptr);
        panel.setMaxFps(fps);
        EXPECT_EQ(panel.minInterval, interval) << fps;
    }
}

TEST_F(PanelsTest, UploadsAtMostAtTheFrameRate) {
    auto* panel = new GuiCairoPanel(nullptr, -1, 0, 0, 40, 40, kWhite, renderer);
    root->addChild(panel);
    panel->setMaxFps(20);
    struct Step {
        uint32_t tick;
        double red;  // the colour drawn before the frame when ready, 1 red / 0 blue
        bool ready;
        int uploads;
        SDL_Color shown;
    };
    const SDL_Color red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    const Step steps[] = {
        {1000, 1, true, 1, red},   // the first upload is never held back
        {1020, 0, false, 1, red},  // drawn but not shown: 20 ms after the upload
        {1049, 0, false, 1, red},  {1050, 0, true, 2, blue},  // 50 ms: the next upload
        {1060, 1, false, 2, blue}, {1099, 1, false, 2, blue}, {1100, 1, true, 3, red},
    };
    for (const Step& s : steps) {
        panel->update(s.tick);
        EXPECT_EQ(panel->readyForFrame(), s.ready) << s.tick;
        fill(panel, s.red, 0, 1 - s.red);
        EXPECT_TRUE(near(pixelAt(s.tick, 10, 10), s.shown)) << s.tick;
        EXPECT_EQ(panel->uploads(), s.uploads) << s.tick;
    }
    // The tick count wrapping round does not stall the uploads.
    panel->update(0xFFFFFFF0u);
    frame(0xFFFFFFF0u, {});
    EXPECT_FALSE(panel->readyForFrame());
    panel->update(0x22u);
    EXPECT_TRUE(panel->readyForFrame());
}

TEST_F(PanelsTest, UploadOnlyWhenDirtyWaitsForMarkDirty) {
    auto* panel = new GuiCairoPanel(nullptr, -1, 0, 0, 40, 40, kWhite, renderer);
    root->addChild(panel);
    panel->uploadOnlyWhenDirty = true;
    fill(panel, 1, 0, 0);
    EXPECT_TRUE(near(pixelAt(0, 5, 5), {255, 0, 0, 255}));  // dirty after creation
    fill(panel, 0, 1, 0);
    EXPECT_TRUE(near(pixelAt(10, 5, 5), {255, 0, 0, 255}));
    EXPECT_EQ(panel->uploads(), 1);
    app.redrawRequested = false;
    panel->markDirty();
    EXPECT_TRUE(app.redrawRequested);
    EXPECT_TRUE(near(pixelAt(20, 5, 5), {0, 255, 0, 255}));
    EXPECT_EQ(panel->uploads(), 2);
}

TEST_F(PanelsTest, ResizeClearsButTheSameSizeKeepsTheDrawing) {
    auto* panel = new GuiCairoPanel(nullptr, -1, 10, 10, 40, 40, kWhite, renderer);
    root->addChild(panel);
    fill(panel, 1, 0, 0);
    panel->resize(renderer, 40, 40);
    EXPECT_EQ(panel->straightPixels().front(), 0xFFFF0000u);
    EXPECT_TRUE(near(pixelAt(0, 20, 20), {255, 0, 0, 255}));

    panel->resize(renderer, 60, 30);
    EXPECT_EQ(panel->width, 60);
    EXPECT_EQ(panel->height, 30);
    const std::vector<uint32_t> cleared = panel->straightPixels();
    ASSERT_EQ(cleared.size(), 60u * 30u);
    for (uint32_t p : cleared)
        ASSERT_EQ(p, 0u);
    fill(panel, 0, 1, 0);
    EXPECT_TRUE(near(pixelAt(1, 69, 39), {0, 255, 0, 255}));
}

TEST_F(PanelsTest, CairoPanelsThatCannotHavePixelsDrawNothingAndSurviveDrawing) {
    captureSdlLog();
    const SDL_Point sizes[] = {{0, 0}, {0, 20}, {-5, -5}, {40000, 2}, {2, 40000}};
    for (SDL_Point size : sizes) {
        auto* panel = new GuiCairoPanel(nullptr, -1, 100, 100, size.x, size.y, kWhite, renderer);
        root->addChild(panel);
        ASSERT_NE(panel->cr(), nullptr);
        EXPECT_FALSE(panel->hasTexture());
        fill(panel, 1, 0, 0);
        cairo_rectangle(panel->cr(), -10, -10, 100, 100);
        cairo_fill(panel->cr());
        EXPECT_TRUE(panel->straightPixels().empty());
        for (SDL_Color c : frame(0, {{100, 100}, {99, 99}, {150, 101}, {101, 150}}))
            EXPECT_TRUE(near(c, kWindowGrey)) << size.x << "x" << size.y;
        // Growing to a real size brings the pixels back.
        panel->resize(renderer, 10, 10);
        EXPECT_TRUE(panel->hasTexture());
        fill(panel, 1, 0, 0);
        EXPECT_TRUE(near(pixelAt(0, 105, 105), {255, 0, 0, 255}));
        panel->destroy();
        root->runPendingDeletes();
    }
    // Without a renderer there is nothing to show, but the drawing is kept for later.
    EXPECT_EQ(countLogged("Cairo-Fläche 40000 x 2 nicht anlegbar"), 1);
    EXPECT_EQ(countLogged("Cairo-Fläche 2 x 40000 nicht anlegbar"), 1);
    GuiCairoPanel detached(nullptr, -1, 0, 0, 8, 8, kWhite, nullptr);
    EXPECT_FALSE(detached.hasTexture());
    fill(&detached, 0, 0, 1);
    detached.resize(renderer, 8, 8);
    EXPECT_TRUE(detached.hasTexture());
    EXPECT_EQ(detached.straightPixels().front(), 0xFF0000FFu);
}

TEST_F(PanelsTest, WindowResizeStretchesOnlyFlaggedCairoPanels) {
    auto* both = new GuiCairoPanel(nullptr, -1, 0, 0, 100, 50, kWhite, renderer);
    auto* wide = new GuiCairoPanel(nullptr, -1, 0, 100, 100, 50, kWhite, renderer);
    auto* fixed = new GuiCairoPanel(nullptr, -1, 0, 200, 100, 50, kWhite, renderer);
    for (auto* p : {both, wide, fixed})
        root->addChild(p);
    both->setStretch(true, true);
    wide->setStretch(true, false);
    fill(fixed, 1, 0, 0);
    root->resize(renderer, 450, 380);
    EXPECT_EQ(both->width, 150);
    EXPECT_EQ(both->height, 30);
    EXPECT_EQ(wide->width, 150);
    EXPECT_EQ(wide->height, 50);
    EXPECT_EQ(fixed->width, 100);
    EXPECT_EQ(fixed->straightPixels().front(), 0xFFFF0000u);
    // Shrinking far below nothing keeps one pixel.
    root->resize(renderer, 10, 10);
    EXPECT_EQ(both->width, 1);
    EXPECT_EQ(both->height, 1);
}

}  // namespace
