// Process CPU time (all threads, so OpenGL's rasteriser threads count) of one frame of the
// demo's main window (update, animation, drawing, present) with the catalogue as built, on the
// software renderer and on OpenGL (Mesa's software rasteriser under the offscreen driver),
// which draws cacheable controls from their cache textures.
//   idle:              the gauges, the image and the cairo scene are held still
//   animated no panels: the gauges advance, the image and the cairo scene are held still
//   animated:          everything moves as in the running demo (cairo scene and upload)
#include "demo/Demo.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

enum Renderer { Software = 0, OpenGL = 1 };

std::unique_ptr<Demo> makeDemo(Renderer which) {
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, which == Software ? "software" : "opengl",
                            SDL_HINT_OVERRIDE);
    auto demo = std::make_unique<Demo>();
    if (!demo->build()) return nullptr;
    demo->beginRun();
    return demo;
}

bool isSoftware(AppWindow* w) {
    SDL_RendererInfo info;
    return SDL_GetRendererInfo(w->sdlRenderer(), &info) == 0 &&
           (info.flags & SDL_RENDERER_SOFTWARE) != 0;
}

void drawFrames(benchmark::State& state) {
    const auto which = static_cast<Renderer>(state.range(0));
    const bool animated = state.range(1) != 0;
    const bool panels = state.range(1) == 2;
    auto demo = makeDemo(which);
    if (!demo) {
        state.SkipWithError("no main window");
        return;
    }
    AppWindow* main = demo->mainWindow;
    if (which == OpenGL && isSoftware(main)) {
        state.SkipWithError("no OpenGL renderer here");
        return;
    }
    GuiGauge* gaugeH = demo->gaugeH;
    GuiGauge* gaugeV = demo->gaugeV;
    GuiImagePanel* image = demo->movingImage;
    GuiCairoPanel* cairo = demo->cairoPanel;
    if (!animated) demo->gaugeH = demo->gaugeV = nullptr;
    if (!panels) {
        demo->movingImage = nullptr;
        demo->cairoPanel = nullptr;
    }
    // Past the window's warm-up frames, so that the caches are in use.
    for (int i = 0; i < 30; ++i) {
        demo->renderWindow(main);
        TextureRetirement::advance(main->sdlRenderer());
    }
    for (auto _ : state) {
        demo->renderWindow(main);
        TextureRetirement::advance(main->sdlRenderer());
    }
    demo->gaugeH = gaugeH;
    demo->gaugeV = gaugeV;
    demo->movingImage = image;
    demo->cairoPanel = cairo;
    static const char* const kModes[] = {" idle", " animated no panels", " animated"};
    state.SetLabel(std::string(which == Software ? "software" : "opengl") + kModes[state.range(1)]);
}

BENCHMARK(drawFrames)
    ->ArgsProduct({{Software, OpenGL}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::ChosenPerBenchmark);
}
