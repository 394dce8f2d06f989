// Lists at application sizes: filling, the first draw, one wheel step, process peak memory,
// and opening the combo box's drop-down. Headless, on the software renderer.
#include "controls/ListCtrl.h"
#include "core/Engine.h"
#include "core/Window.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

BenchApp* app = nullptr;
AppWindow* window = nullptr;

SDL_Renderer* renderer() {
    return window->sdlRenderer();
}

std::unique_ptr<GuiListCtrl> makeList() {
    return std::make_unique<GuiListCtrl>(nullptr, 42, 310, 53, 280, 200,
                                         SDL_Color{240, 240, 240, 255}, app->getDefaultFont());
}

void fill(GuiListCtrl& list, int rows) {
    for (int i = 0; i < rows; ++i)
        list.addItem(i, "Eintrag " + std::to_string(i));
}

// Drawing is queued by SDL; flushing makes the software renderer do the work inside the timing.
void drawNow(GuiObject& obj) {
    obj.draw(renderer());
    SDL_RenderFlush(renderer());
}

// What the main loop does after each frame: retired textures are destroyed a few frames later.
void endFrame() {
    for (int i = 0; i < 3; ++i)
        TextureRetirement::advance(renderer());
}

void wheel(GuiListCtrl& list, int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = list.x + 10;
    e.wheel.mouseY = list.y + 10;
    GuiEvent ge = GuiEvent::makeInput(0, &e);
    list.handleEvent(ge);
}

void BM_ListFill(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto list = makeList();
        fill(*list, rows);
        benchmark::DoNotOptimize(list->items.back());
        state.PauseTiming();
        list.reset();
        endFrame();
        state.ResumeTiming();
    }
}

void BM_ListFirstDraw(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto list = makeList();
        fill(*list, rows);
        state.ResumeTiming();
        drawNow(*list);
        state.PauseTiming();
        list.reset();
        endFrame();
        state.ResumeTiming();
    }
}

void BM_ListFillAndFirstDraw(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto list = makeList();
        fill(*list, rows);
        drawNow(*list);
        state.PauseTiming();
        list.reset();
        endFrame();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMiB();
}

// One wheel notch (three rows) and the redraw it causes, alternating down and up.
void BM_ListScrollStep(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    auto list = makeList();
    fill(*list, rows);
    drawNow(*list);
    wheel(*list, -1000);  // somewhere in the middle is no different; start away from the top
    drawNow(*list);
    int direction = 1;
    for (auto _ : state) {
        wheel(*list, direction);
        drawNow(*list);
        TextureRetirement::advance(renderer());
        direction = -direction;
    }
}

void BM_ComboOpenDropDown(benchmark::State& state) {
    GuiWindow* root = window->root.get();
    auto* combo = new GuiComboBox(nullptr, 100, 10, 326, 280, 24, SDL_Color{240, 240, 240, 255},
                                  SDL_Color{0, 0, 0, 255}, app->getDefaultFont(), 150);
    for (int i = 0; i < 1000; ++i)
        combo->addItem(i, "Eintrag " + std::to_string(i));
    combo->addItem(1000, "Eintrag LAST");
    root->addChild(combo);
    combo->setSelection(500, false);
    for (auto _ : state) {
        combo->openDropDown();
        drawNow(*combo->dropDown);
        state.PauseTiming();
        combo->closeDropDown();
        root->runPendingDeletes();
        endFrame();
        state.ResumeTiming();
    }
}

// What adding a row costs the content-width summary: a million rows, plain ASCII (0) or with
// umlauts (1).
void BM_RowWidthsNoteAppended(benchmark::State& state) {
    const char* prefix = state.range(0) ? "Größe " : "Zeile ";
    std::vector<std::string> texts;
    for (int i = 0; i < 1000000; ++i)
        texts.push_back(prefix + std::to_string(i));
    for (auto _ : state) {
        RowWidths widths;
        for (const std::string& t : texts)
            widths.noteAppended(t);
        benchmark::DoNotOptimize(widths);
    }
}

BENCHMARK(BM_RowWidthsNoteAppended)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFill)->Arg(10001)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFirstDraw)->Arg(10001)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFillAndFirstDraw)->Arg(0)->Arg(10001)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListScrollStep)->Arg(10001)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComboOpenDropDown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    useHeadlessSdl(BenchRenderer::Software);
    benchmark::Initialize(&argc, argv);
    BenchApp engine;
    app = &engine;
    window = engine.createMainWindow("Bench", 0, 0, 1900, 960, SDL_WINDOW_HIDDEN,
                                     SDL_Color{200, 200, 200, 255});
    if (!window || !engine.getDefaultFont()) {
        std::fprintf(stderr, "no window or no font (run from the build's run directory)\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
