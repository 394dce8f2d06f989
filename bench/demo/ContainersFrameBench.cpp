// What the notebook, the two splitters and the scrolled panel add to an idle frame of the demo
// on the software renderer: process CPU time per frame with the catalogue as built, and with
// those three containers taken out of the same catalogue. Both run in one process, so that the
// difference holds under the same machine load.
#include "demo/Demo.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void idleFrames(benchmark::State& state) {
    const bool withContainers = state.range(0) != 0;
    auto demo = std::make_unique<Demo>();
    if (!demo->build()) {
        state.SkipWithError("no main window");
        return;
    }
    demo->beginRun();
    GuiWindow* root = demo->mainRoot();
    if (!withContainers) {
        for (const char* name : {"scrolled", "notebook", "splitter"})
            if (GuiObject* obj = root->findByName(name)) obj->destroy();
        root->runPendingDeletes();
    }
    AppWindow* main = demo->mainWindow;
    GuiGauge* gaugeH = demo->gaugeH;
    GuiGauge* gaugeV = demo->gaugeV;
    demo->gaugeH = demo->gaugeV = nullptr;  // idle: nothing changes between frames
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
    state.SetLabel(withContainers ? "with containers" : "without containers");
}

BENCHMARK(idleFrames)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
