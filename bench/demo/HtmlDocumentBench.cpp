// The demo's own HTML document in a box of the catalogue's size: setHtml (parse, layout and
// both images) and the first draw. Run from the build's run directory (font and picture).
#include "core/Engine.h"
#include "demo/DemoHtml.h"
#include "rich/HtmlBox.h"

#include "support/BenchApp.h"
#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

BenchApp& app() {
    return hiddenBenchApp(700, 300);
}

std::unique_ptr<GuiHtmlBox> makeBox() {
    return std::make_unique<GuiHtmlBox>(nullptr, -1, 0, 0, 640, 259, SDL_Color{255, 255, 255, 255},
                                        app().mainWindow->sdlRenderer());
}

void BM_DemoDocument_SetHtml(benchmark::State& state) {
    auto box = makeBox();
    const std::string doc = demoHtmlDocument();
    for (auto _ : state) {
        box->setHtml(doc);
        benchmark::DoNotOptimize(box->documentHeight());
    }
    state.counters["images"] = static_cast<double>(box->images.size());
}
BENCHMARK(BM_DemoDocument_SetHtml)->Unit(benchmark::kMicrosecond);

void BM_DemoDocument_FirstDraw(benchmark::State& state) {
    SDL_Renderer* r = app().mainWindow->sdlRenderer();
    auto box = makeBox();
    box->setHtml(demoHtmlDocument());
    for (auto _ : state) {
        state.PauseTiming();
        box->setTileHeight(GuiHtmlBox::kTileHeight);  // no tile made yet, as after setHtml
        state.ResumeTiming();
        box->draw(r);
        SDL_RenderFlush(r);
        TextureRetirement::advance(r);
    }
}
BENCHMARK(BM_DemoDocument_FirstDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
