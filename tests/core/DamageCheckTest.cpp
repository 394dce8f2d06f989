// The damage verifier finds a stale pixel (a change nobody invalidated) in a damage-limited
// frame, on the software renderer and through OpenGL's back buffer, and reports it without
// changing what the frame presents or what the next frame draws.
#include "core/DamageCheck.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr SDL_Color kGrey{200, 200, 200, 255};
constexpr SDL_Color kRed{255, 0, 0, 255};
constexpr SDL_Color kBlue{0, 0, 255, 255};

// Counts its draws and invalidates itself while drawing, as a widget finishing lazy work might.
class SelfInvalidating : public ProbeWidget {
public:
    using ProbeWidget::ProbeWidget;
    void draw(SDL_Renderer* r) override {
        ProbeWidget::draw(r);
        if (invalidateWhileDrawing) invalidate();
    }
    bool invalidateWhileDrawing = false;
};

struct Found {
    uint32_t mismatches = 0;
    std::string line;
    SDL_Color shownAtStale{};
    bool software = true;
};

// a changes colour without telling; b's invalidation makes a partial frame that leaves a stale.
Found changeWithoutInvalidate(bool openGl) {
    Found run;
    TestApp app;
    if (openGl) useOpenGlRenderer();
    captureSdlLog();
    AppWindow* rec = app.openMain(200, 100, kGrey);
    SDL_RendererInfo info;
    SDL_GetRendererInfo(rec->sdlRenderer(), &info);
    run.software = (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    auto* a = new ProbeWidget(10, 10, 30, 30, kRed);
    auto* b = new ProbeWidget(120, 10, 30, 30, kRed);
    rec->root->addChild(a);
    rec->root->addChild(b);
    app.clock.fix(1000);
    app.runFor(50);
    b->invalidate();  // OpenGL's back buffer starts with a full draw
    app.runFor(20);
    a->bgColor = kBlue;  // no invalidate
    b->invalidate();
    app.beforePresent = [&](AppWindow* w) {
        run.shownAtStale = readPixel(w->sdlRenderer(), 20, 20);
    };
    app.runFor(20);
    app.beforePresent = nullptr;
    run.mismatches = app.damageMismatches;
    run.line = app.firstDamageMismatch;
    // Found on purpose: the application's own check at teardown must not count it.
    app.damageMismatches = 0;
    SDL_LogSetOutputFunction(nullptr, nullptr);
    if (openGl) SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    return run;
}

TEST(DamageCheck, AStalePixelIsReportedWithWhereAndBothColoursButStaysPresented) {
    Found run = changeWithoutInvalidate(false);
    EXPECT_EQ(run.mismatches, 1u);
    EXPECT_NE(run.line.find("Fenster \"Test\""), std::string::npos) << run.line;
    EXPECT_NE(run.line.find("Pixel (10, 10) ist #FF0000 statt #0000FF"), std::string::npos)
        << run.line;
    EXPECT_NE(run.line.find("900 Pixel abweichend in 10,10 30x30"), std::string::npos) << run.line;
    EXPECT_NE(run.line.find("gezeichnet wurde 120,10 30x30"), std::string::npos) << run.line;
    EXPECT_EQ(countLogged(run.line), 1);
    EXPECT_TRUE(sameColor(run.shownAtStale, kRed));  // the check changes nothing presented
}

TEST(DamageCheck, AStalePixelBehindOpenGlsBackBufferIsReported) {
    Found run = changeWithoutInvalidate(true);
    if (run.software)
        GTEST_SKIP() << "NO OPENGL RENDERER in this environment: the back-buffer check is NOT "
                        "TESTED here";
    EXPECT_EQ(run.mismatches, 1u);
    EXPECT_NE(run.line.find("Pixel (10, 10) ist #FF0000 statt #0000FF"), std::string::npos)
        << run.line;
    EXPECT_TRUE(sameColor(run.shownAtStale, kRed));
}

TEST(DamageCheck, TheReferenceDrawLeavesTheNextFramesWorkAlone) {
    TestApp app;
    AppWindow* rec = app.openMain(200, 100, kGrey);
    auto* lazy = new SelfInvalidating(10, 10, 30, 30, kRed);
    auto* other = new ProbeWidget(120, 10, 30, 30, kRed);
    rec->root->addChild(lazy);
    rec->root->addChild(other);
    app.clock.fix(1000);
    app.runFor(50);
    lazy->invalidateWhileDrawing = true;
    lazy->draws = 0;
    app.presents = 0;
    other->invalidate();
    app.runFor(100);
    // Only the partial frame presented, and lazy's draw in the reference did not damage it.
    EXPECT_EQ(app.presents, 1);
    EXPECT_EQ(lazy->draws, 1);
    EXPECT_EQ(app.damageMismatches, 0u);
}

TEST(DamageCheck, OffByDefaultAndOnlyForTheEnvironmentValueOne) {
    struct Case {
        const char* value;
        bool on;
    };
    for (Case c : {Case{nullptr, false}, Case{"", false}, Case{"0", false}, Case{"1", true}}) {
        if (c.value)
            setenv("TAMBERGUI_VERIFY_DAMAGE", c.value, 1);
        else
            unsetenv("TAMBERGUI_VERIFY_DAMAGE");
        EXPECT_EQ(DamageCheck::requestedByEnvironment(), c.on) << (c.value ? c.value : "unset");
    }
    unsetenv("TAMBERGUI_VERIFY_DAMAGE");
}

}  // namespace
