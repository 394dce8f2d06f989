// The harness side of the runner: trace lines, scene file, start gate, window-id report, the
// drawn pointer with its click highlight, and the scene caption, read back from the renderer.
#include "demo/DemoRunner.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void expectColor(SDL_Color got, int r, int g, int b, int tolerance, const char* what) {
    EXPECT_NEAR(got.r, r, tolerance) << what;
    EXPECT_NEAR(got.g, g, tolerance) << what;
    EXPECT_NEAR(got.b, b, tolerance) << what;
}

class RunnerTraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        captureSdlLog();
        dir = fs::temp_directory_path() /
              ("runner-trace-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override {
        runner.reset();
        SDL_LogSetOutputFunction(nullptr, nullptr);
        fs::remove_all(dir);
    }
    void open(int w, int h) {
        win = app.openMain(w, h);
        ASSERT_NE(win, nullptr);
        SDL_GetWindowPosition(win->sdlWindow.get(), &wx, &wy);
    }
    void start(const std::string& script, DemoRunnerSettings settings = {}) {
        runner = std::make_unique<DemoRunner>(&app, std::move(settings));
        runner->attach();
        ASSERT_TRUE(runner->parseScript(script)) << runner->error;
    }
    void frame(uint32_t ms = 16) {
        SDL_Event e;
        if (app.takeEvent(e)) {
            app.routeEvent(e);
            app.destroyPendingWindows();
        }
        now += ms;
        runner->tick(now);
    }
    // Draws the window as the demo does (content, then the runner's overlay) without presenting.
    SDL_Color drawAndRead(int x, int y) {
        win->root->draw(win->sdlRenderer());
        return readPixel(win->sdlRenderer(), x, y);
    }

    TestApp app;
    std::unique_ptr<DemoRunner> runner;
    AppWindow* win = nullptr;
    int wx = 0, wy = 0;
    uint32_t now = 10000;
    fs::path dir;
};

}  // namespace

TEST_F(RunnerTraceTest, TraceLinesNameTheCommandFrameWindowAndWhatLiesUnderThePointer) {
    open(400, 300);
    auto* probe = new ProbeWidget(150, 100, 100, 100);
    probe->setName("probe");
    win->root->addChild(probe);
    win->root->addChild(new ProbeWidget(0, 250, 50, 50));
    auto* popup = new ProbeWidget(0, 0, 50, 50);
    popup->setName("popup");
    win->root->openPopup(popup);
    DemoRunnerSettings s;
    s.traceEnabled = true;
    start("move 10 20 0\nmove 10 260 0\nmove 300 20 0\nmove -5 -5 0\nwait 0", s);
    for (int i = 0; i < 6; ++i)
        frame();
    std::string window = "Fenster " + std::to_string(wx) + "," + std::to_string(wy) + " 400x300";
    const std::string expected[] = {
        "Demo-Trace Zeile 1: move 10 20 0 | Frame 1, 10016 ms | " + window +
            " | Cursor 200,150 auf ProbeWidget \"probe\"",
        "Demo-Trace Zeile 2: move 10 260 0 | Frame 2, 10032 ms | " + window +
            " | Cursor 10,20 auf ProbeWidget \"popup\", offenes Popup",
        "Demo-Trace Zeile 3: move 300 20 0 | Frame 3, 10048 ms | " + window +
            " | Cursor 10,260 auf ProbeWidget",
        "Demo-Trace Zeile 4: move -5 -5 0 | Frame 4, 10064 ms | " + window +
            " | Cursor 300,20 auf GuiWindow",
        "Demo-Trace Zeile 5: wait 0 | Frame 5, 10080 ms | " + window + " | Cursor -5,-5 auf -",
    };
    for (const std::string& line : expected)
        EXPECT_EQ(countLogged(line), 1) << line;
}

TEST_F(RunnerTraceTest, TraceOfAClosedWindowSaysSo) {
    open(200, 100);
    AppWindow* second = app.createWindow("Zweit", 0, 0, 100, 100, SDL_WINDOW_HIDDEN);
    second->root = std::make_unique<GuiWindow>(second, -1, 0, 0, 100, 100, SDL_Color{0, 0, 0, 255});
    ASSERT_TRUE(app.registerWindow(second, "Zweit", 100, 100));
    DemoRunnerSettings s;
    s.traceEnabled = true;
    start("window Zweit\nwait 0.05\nscene \"ohne Fenster\"", s);
    frame();
    app.destroyWindow(second->windowId);
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_EQ(countLogged("Demo-Trace Zeile 3: scene ohne Fenster | kein Fenster"), 1);
    EXPECT_EQ(runner->state, DemoRunner::Finished);
}

TEST_F(RunnerTraceTest, SceneFileGetsOneLinePerSceneFromTheRunStart) {
    open(200, 100);
    fs::path scenes = dir / "scenes.txt";
    std::ofstream(scenes) << "alter Inhalt\n";
    DemoRunnerSettings s;
    s.scenesPath = scenes.string();
    start("scene Erste\nwait 1.5\nscene \"Zweite Szene\"", s);
    frame();
    EXPECT_EQ(readFile(scenes), "0\tErste\n");
    EXPECT_TRUE(runner->sceneName.empty());  // no caption on screen with a scene file
    for (int i = 0; i < 40 && runner->state == DemoRunner::Running; ++i)
        frame(50);
    EXPECT_EQ(readFile(scenes), "0\tErste\n1500\tZweite Szene\n");
    EXPECT_EQ(countLogged("Demo-Szene: Zweite Szene"), 1);
}

TEST_F(RunnerTraceTest, UnwritableSceneFileIsReportedPerSceneAndTheRunGoesOn) {
    open(200, 100);
    DemoRunnerSettings s;
    s.scenesPath = (dir / "fehlt" / "scenes.txt").string();
    start("scene a\nscene b", s);
    frame();
    EXPECT_EQ(countLogged("Demo: Szenendatei " + s.scenesPath + " nicht schreibbar"), 2);
    EXPECT_EQ(runner->state, DemoRunner::Finished);
}

TEST_F(RunnerTraceTest, StartGateHoldsTheRunAndTheWindowIdIsReportedOnce) {
    open(200, 100);
    DemoRunnerSettings s;
    s.startGatePath = (dir / "gate").string();
    s.windowIdFilePath = (dir / "window-id").string();
    start("scene los", s);
    for (int i = 0; i < 5; ++i)
        frame();
    EXPECT_EQ(runner->state, DemoRunner::Idle);
    EXPECT_EQ(countLogged("Demo-Szene: los"), 0);
    std::ofstream(s.startGatePath) << "";
    frame();
    EXPECT_EQ(runner->state, DemoRunner::Finished);
    EXPECT_EQ(countLogged("Demo-Szene: los"), 1);
    EXPECT_EQ(countLogged("Demo: X11-Fenster-ID nicht verfügbar (" + s.windowIdFilePath + ")"), 1);
    EXPECT_FALSE(fs::exists(s.windowIdFilePath));
}

TEST_F(RunnerTraceTest, PointerIsDrawnOnlyWhileRunningWithAFadingClickHighlight) {
    open(400, 300);
    start("mouse_down\nwait 5");
    expectColor(drawAndRead(200, 150), 200, 200, 200, 0, "idle: no pointer");
    frame();
    ASSERT_EQ(runner->clickFlash, DemoRunner::kClickFlashSeconds);
    expectColor(drawAndRead(200, 150), 7, 12, 15, 0, "hot spot outline");
    expectColor(drawAndRead(203, 155), 245, 250, 243, 0, "fill cell (1, 2)");
    expectColor(drawAndRead(206, 155), 200, 200, 200, 0, "transparent cell (3, 2)");
    // Half-width 12 and full alpha in the frame of the press.
    expectColor(drawAndRead(188, 145), 240, 208, 91, 0, "highlight left edge");
    expectColor(drawAndRead(211, 145), 240, 208, 91, 0, "highlight right edge");
    expectColor(drawAndRead(187, 145), 200, 200, 200, 0, "outside the highlight");
    frame(50);
    frame(50);  // t = 0.25: half-width 14, alpha 182
    int blended = (240 * 182 + 200 * (255 - 182)) / 255;
    expectColor(drawAndRead(186, 145), blended, (208 * 182 + 200 * 73) / 255,
                (91 * 182 + 200 * 73) / 255, 1, "growing, fading highlight");
    for (int i = 0; i < 5; ++i)
        frame(50);
    for (int x : {186, 188, 193})
        expectColor(drawAndRead(x, 145), 200, 200, 200, 0, "highlight gone after 0.35 s");
    runner->finish(DemoRunner::Finished);
    expectColor(drawAndRead(200, 150), 200, 200, 200, 0, "ended: no pointer");
}

TEST_F(RunnerTraceTest, CaptionOnA1900x960WindowUsesSize44AndEndsAtRow816) {
    EXPECT_EQ(DemoRunner::captionFontSizeFor(1900, 960), 44);
    EXPECT_EQ(DemoRunner::captionFontSizeFor(200, 100), 16);
    SDL_Rect text = DemoRunner::captionTextRect(1900, 960, 300, 50);
    EXPECT_EQ(text.x, 800);
    EXPECT_EQ(text.y + text.h, 816);

    open(1900, 960);
    ASSERT_NE(app.getDefaultFont(), nullptr) << "data/fonts/Vera.ttf is staged for the tests";
    start("scene Hallo\nwait 5");
    frame();
    EXPECT_EQ(runner->sceneName, "Hallo");
    now += 1000;
    runner->tick(now);  // age 1000 ms: fully shown
    // The backdrop reaches size / 2 = 22 rows below the text: rows up to 837.
    expectColor(drawAndRead(950, 837), 80, 80, 80, 1, "backdrop, black at alpha 153");
    expectColor(drawAndRead(950, 838), 200, 200, 200, 0, "below the backdrop");
    EXPECT_EQ(runner->captionFontSize, 44);
    now += 1600;
    runner->tick(now);  // age 2600 ms: gone
    expectColor(drawAndRead(950, 837), 200, 200, 200, 0, "caption expired");
    EXPECT_TRUE(runner->sceneName.empty());
    EXPECT_EQ(runner->captionFont, nullptr);
}

TEST_F(RunnerTraceTest, CaptionTextureIsForgottenWithItsWindow) {
    open(1900, 960);
    ASSERT_NE(app.getDefaultFont(), nullptr) << "data/fonts/Vera.ttf is staged for the tests";
    start("scene Hallo\nwait 5\nscene Weiter");
    frame();
    now += 500;
    runner->tick(now);
    drawAndRead(950, 837);
    app.destroyWindow(win->windowId);
    // The run goes on without a window; the caption's texture died with the renderer.
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_EQ(runner->state, DemoRunner::Running);
    runner->finish(DemoRunner::Finished);
    EXPECT_TRUE(runner->sceneName.empty());
}
