// What recording (GUI_DEMO_RECORD) costs a frame of the demo's main loop: process CPU time per
// runFrame (take an event, route it, draw the animated main window) with and without the
// recorder attached, on idle frames and on frames that each take one pointer motion, the input
// the recorder sees most often. All variants run in one process, under the same machine load.
// observeMotion times the recorder's handling of one such motion by itself.
#include "controls/ValueControls.h"
#include "demo/Demo.h"
#include "demo/DemoRecorder.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// SDL's time without the frame pacing's sleep: the benchmark times the work alone.
class UnpacedClock : public IClock {
public:
    uint32_t ticks() override { return SDL_GetTicks(); }
    void delay(uint32_t) override {}
    void waitForEvent(uint32_t) override {}
};

void loopFrames(benchmark::State& state) {
    const bool recording = state.range(0) != 0;
    const bool motion = state.range(1) != 0;
    auto demo = std::make_unique<Demo>();
    if (!demo->build()) {
        state.SkipWithError("no main window");
        return;
    }
    UnpacedClock clock;
    demo->setClock(&clock);
    demo->beginRun();
    std::unique_ptr<DemoRecorder> recorder;
    if (recording) {
        recorder = std::make_unique<DemoRecorder>(demo.get(), "");
        demo->recorder = recorder.get();
        recorder->exclude(demo->gaugeH);
        recorder->exclude(demo->gaugeV);
        recorder->attach();
    }
    const uint32_t windowId = demo->mainWindow->windowId;
    for (int i = 0; i < 30; ++i)
        demo->runFrame();
    int step = 0;
    for (auto _ : state) {
        if (motion) {
            // Back and forth over the empty space below column 1's labels.
            SDL_Event e{};
            e.type = SDL_MOUSEMOTION;
            e.motion.windowID = windowId;
            e.motion.x = 20 + (step % 200);
            e.motion.y = 690;
            SDL_PushEvent(&e);
            ++step;
        }
        demo->runFrame();
    }
    if (recorder) recorder->finish();
    demo->setClock(nullptr);
    state.SetLabel(std::string(recording ? "recording" : "not recording") +
                   (motion ? ", motion" : ", idle"));
}

BENCHMARK(loopFrames)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->MinTime(1.0);

// The recorder's own share of a frame that takes a pointer motion without a button held.
void observeMotion(benchmark::State& state) {
    auto demo = std::make_unique<Demo>();
    if (!demo->build()) {
        state.SkipWithError("no main window");
        return;
    }
    DemoRecorder recorder(demo.get(), "");
    recorder.attach();
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = demo->mainWindow->windowId;
    e.motion.y = 690;
    int step = 0;
    for (auto _ : state) {
        e.motion.x = 20 + (step++ % 200);
        recorder.observeInput(e, false);
    }
    recorder.finish();
}

BENCHMARK(observeMotion)->Unit(benchmark::kNanosecond);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
