// Cost of the script runner: parsing, one frame's tick while a motion plays, and drawing the
// pointer with its click highlight and a scene caption over a 1900 x 960 window.
#include "core/Window.h"
#include "demo/DemoRunner.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

std::string sampleScript(int repeats) {
    std::string text;
    for (int i = 0; i < repeats; ++i)
        text +=
            "# Runde\nwindow ZazOvadir\nmove_to \"button1\" 0.3\nclick\n"
            "type \"Grüß \\\"Gott\\\"\"\nkey ctrl+shift+Tab\nwait_command menu file_open 2\n"
            "expect properties.Width 120\nmove 120 -40 0.5\nwait 0.25\n";
    return text;
}

void BM_ParseScript(benchmark::State& state) {
    const std::string text = sampleScript(100);  // 1000 lines
    DemoRunner runner(nullptr, DemoRunnerSettings{});
    for (auto _ : state) {
        bool ok = runner.parseScript(text);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ParseScript);

struct Scene {
    BenchApp app;
    AppWindow* window = nullptr;
    Scene() {
        window = app.createMainWindow("ZazOvadir", 0, 0, 1900, 960, SDL_WINDOW_HIDDEN,
                                      SDL_Color{200, 200, 200, 255});
        app.mainWindow = window;
    }
};

void BM_TickDuringMotion(benchmark::State& state) {
    Scene scene;
    DemoRunner runner(&scene.app, DemoRunnerSettings{});
    runner.attach();
    runner.parseScript("move 1800 900 1000000");
    uint32_t now = 1000;
    runner.tick(now);
    for (auto _ : state) {
        now += 16;
        runner.tick(now);
        scene.app.injectedEvents.clear();
    }
}
BENCHMARK(BM_TickDuringMotion);

void BM_DrawPointerAndCaption(benchmark::State& state) {
    Scene scene;
    if (!scene.window) {
        state.SkipWithError("no window");
        return;
    }
    DemoRunner runner(&scene.app, DemoRunnerSettings{});
    runner.attach();
    runner.parseScript(state.range(0) ? "scene \"Eine Szene\"\nmouse_down\nwait 1000"
                                      : "mouse_down\nwait 1000");
    uint32_t now = 1000;
    runner.tick(now);
    runner.tick(now + 1000);
    SDL_Renderer* r = scene.window->sdlRenderer();
    for (auto _ : state) {
        runner.clickFlash = DemoRunner::kClickFlashSeconds;  // keep the highlight on
        runner.drawPointer(scene.window, r);
        TextureRetirement::advance(r);
    }
}
BENCHMARK(BM_DrawPointerAndCaption)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
