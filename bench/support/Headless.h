// Benchmarks run headless like the tests: SDL's offscreen driver without EGL or audio, and
// the software renderer unless a benchmark chooses its renderer itself.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>

enum class BenchRenderer { Software, ChosenPerBenchmark };

inline void useHeadlessSdl(BenchRenderer renderer) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (renderer == BenchRenderer::Software) setenv("SDL_RENDER_DRIVER", "software", 0);
}

// The whole main of a benchmark program that needs no set-up of its own.
inline int runHeadlessBenchmarks(int argc, char** argv, BenchRenderer renderer) {
    useHeadlessSdl(renderer);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
