// Preloaded into the demo to time start-up: on the first SDL_RenderPresent it prints the
// microseconds since FIRST_FRAME_T0 (the launcher's clock just before exec) and exits.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    real(r);
    const char* t0 = std::getenv("FIRST_FRAME_T0");
    if (!t0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    double startUs = std::strtod(t0, nullptr) * 1e6;
    double nowUs = static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
    std::fprintf(stderr, "first-frame-us %.0f\n", nowUs - startUs);
    std::_Exit(0);
}
