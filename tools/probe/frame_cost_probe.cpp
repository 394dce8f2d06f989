// Preloaded into a program to measure what its frames cost: counts the frames of its loop (the
// engine asks the first window's size once a frame), the presents (SDL_RenderPresent, and window
// surface updates, which present a part of the window), and at exit prints them with the CPU time
// and voluntary context switches (wake-ups) spent since the first present, so that start-up is
// not counted.
#include <SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>

#include <cstdio>
#include <ctime>

namespace {

struct Sample {
    double cpuMs = 0;
    long wakeups = 0;
    double wallMs = 0;
};

Sample sampleNow() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(u.ru_utime) + ms(u.ru_stime), u.ru_nvcsw, now.tv_sec * 1e3 + now.tv_nsec / 1e6};
}

long presents = 0;
long frames = 0;
SDL_Window* firstWindow = nullptr;
Sample first;

__attribute__((destructor)) void report() {
    if (presents == 0) return;
    Sample end = sampleNow();
    std::fprintf(stderr,
                 "frame-cost presents %ld cpu-ms %.1f wakeups %ld frames %ld wall-ms %.0f\n",
                 presents - 1, end.cpuMs - first.cpuMs, end.wakeups - first.wakeups, frames,
                 end.wallMs - first.wallMs);
}

void countPresent() {
    if (presents++ == 0) first = sampleNow();
}

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    real(r);
    countPresent();
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* w, const SDL_Rect* rects, int n) {
    using Update = int (*)(SDL_Window*, const SDL_Rect*, int);
    static Update real = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects"));
    const int result = real(w, rects, n);
    countPresent();
    return result;
}

extern "C" void SDL_GetWindowSize(SDL_Window* w, int* width, int* height) {
    using Size = void (*)(SDL_Window*, int*, int*);
    static Size real = reinterpret_cast<Size>(dlsym(RTLD_NEXT, "SDL_GetWindowSize"));
    real(w, width, height);
    if (!firstWindow) firstWindow = w;
    if (w == firstWindow && presents > 0) ++frames;
}
