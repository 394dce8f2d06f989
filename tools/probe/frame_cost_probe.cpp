// Preloaded into a program to measure what its frames cost: counts SDL_RenderPresent calls and,
// at exit, prints the presents and the CPU time and voluntary context switches (wake-ups) spent
// since the first present, so that start-up is not counted.
#include <SDL.h>
#include <dlfcn.h>
#include <sys/resource.h>

#include <cstdio>

namespace {

struct Sample {
    double cpuMs = 0;
    long wakeups = 0;
};

Sample sampleNow() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(u.ru_utime) + ms(u.ru_stime), u.ru_nvcsw};
}

long presents = 0;
Sample first;

__attribute__((destructor)) void report() {
    if (presents == 0) return;
    Sample end = sampleNow();
    std::fprintf(stderr, "frame-cost presents %ld cpu-ms %.1f wakeups %ld\n", presents - 1,
                 end.cpuMs - first.cpuMs, end.wakeups - first.wakeups);
}

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    real(r);
    if (presents++ == 0) first = sampleNow();
}
