// The tree list and the property grid at application sizes: filling a 100,000-node tree with its
// first draw (and the process peak memory), collapsing and expanding a node with 10,000
// children, and one wheel step with its redraw in a big tree and in a 10,000-row grid.
// Headless, on the software renderer.
#include "controls/PropertyGrid.h"
#include "controls/TreeList.h"
#include "core/Engine.h"
#include "core/Window.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

BenchApp* app = nullptr;
AppWindow* window = nullptr;

SDL_Renderer* renderer() {
    return window->sdlRenderer();
}

// The demo's tree geometry and columns.
std::unique_ptr<GuiTreeListCtrl> makeTree() {
    auto tree = std::make_unique<GuiTreeListCtrl>(
        nullptr, 4001, 1250, 53, 640, 260, SDL_Color{240, 240, 240, 255}, app->getDefaultFont());
    tree->addColumn("Name", 300);
    tree->addColumn("Typ", 150);
    tree->addColumn("Größe", 120);
    return tree;
}

// 1,000 top-level folders with 99 files each: each folder followed by its files, or (rootsFirst)
// all folders first and the files afterwards, which lands every file in the middle.
void fillTree(GuiTreeListCtrl& tree, bool rootsFirst) {
    constexpr int kRoots = 1000, kChildren = 99;
    auto addFiles = [&tree](int folder, int f) {
        for (int c = 0; c < kChildren; ++c)
            tree.addNode(folder, f * 100 + c + 1,
                         {"Datei " + std::to_string(c) + ".txt", "Textdatei", "2 KB"});
    };
    if (rootsFirst) {
        for (int f = 0; f < kRoots; ++f)
            tree.addNode(-1, f * 100, {"Ordner " + std::to_string(f), "Ordner"});
        for (int f = 0; f < kRoots; ++f)
            addFiles(f, f);
    } else {
        for (int f = 0; f < kRoots; ++f)
            addFiles(tree.addNode(-1, f * 100, {"Ordner " + std::to_string(f), "Ordner"}), f);
    }
}

void drawNow(GuiObject& obj) {
    obj.draw(renderer());
    SDL_RenderFlush(renderer());
}

void endFrame() {
    for (int i = 0; i < 3; ++i)
        TextureRetirement::advance(renderer());
}

void wheel(GuiObject& obj, int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = obj.x + 10;
    e.wheel.mouseY = obj.y + 10;
    GuiEvent ge = GuiEvent::makeInput(0, &e);
    obj.handleEvent(ge);
}

void BM_TreeFillAndFirstDraw(benchmark::State& state) {
    const bool rootsFirst = state.range(0) != 0;
    for (auto _ : state) {
        auto tree = makeTree();
        fillTree(*tree, rootsFirst);
        drawNow(*tree);
        state.PauseTiming();
        tree.reset();
        endFrame();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMiB();
}

void BM_TreeCollapseExpand(benchmark::State& state) {
    auto tree = makeTree();
    const int folder = tree->addNode(-1, 1, {"Ordner", "Ordner"});
    for (int c = 0; c < 10000; ++c)
        tree->addNode(folder, c + 2, {"Datei " + std::to_string(c), "Textdatei", "2 KB"});
    tree->addNode(-1, 0, {"readme.txt", "Textdatei", "2 KB"});
    drawNow(*tree);
    for (auto _ : state) {
        tree->setExpanded(folder, false, false);
        tree->setExpanded(folder, true, false);
        benchmark::DoNotOptimize(tree->visibleRowCount());
    }
}

void BM_TreeCollapseExpandDrawn(benchmark::State& state) {
    auto tree = makeTree();
    const int folder = tree->addNode(-1, 1, {"Ordner", "Ordner"});
    for (int c = 0; c < 10000; ++c)
        tree->addNode(folder, c + 2, {"Datei " + std::to_string(c), "Textdatei", "2 KB"});
    drawNow(*tree);
    for (auto _ : state) {
        tree->setExpanded(folder, false, false);
        drawNow(*tree);
        tree->setExpanded(folder, true, false);
        drawNow(*tree);
        TextureRetirement::advance(renderer());
    }
}

// One wheel notch and the redraw it causes, alternating down and up, in the middle.
void BM_TreeScrollStep(benchmark::State& state) {
    auto tree = makeTree();
    fillTree(*tree, false);
    drawNow(*tree);
    wheel(*tree, -2000);
    drawNow(*tree);
    int direction = 1;
    for (auto _ : state) {
        wheel(*tree, direction);
        drawNow(*tree);
        TextureRetirement::advance(renderer());
        direction = -direction;
    }
}

void BM_GridScrollStep(benchmark::State& state) {
    auto grid = std::make_unique<GuiPropertyGrid>(nullptr, -1, 1250, 341, 640, 300,
                                                  SDL_Color{255, 255, 255, 255},
                                                  app->getDefaultFont(), app->getFtFace());
    grid->relayout();
    grid->addCategory("Shape");
    for (int i = 0; i < 10000; ++i)
        grid->addText("Eintrag " + std::to_string(i), "Dummy");
    drawNow(*grid);
    wheel(*grid, -2000);
    drawNow(*grid);
    int direction = 1;
    for (auto _ : state) {
        wheel(*grid, direction);
        drawNow(*grid);
        TextureRetirement::advance(renderer());
        direction = -direction;
    }
}

BENCHMARK(BM_TreeFillAndFirstDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeCollapseExpand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeCollapseExpandDrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeScrollStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GridScrollStep)->Unit(benchmark::kMicrosecond);

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
