// Preloaded into the demo to take a screenshot without a display: before the SCREENSHOT_FRAME-th
// SDL_RenderPresent of the first window it saves the frame to SCREENSHOT_FILE (PNG) and, unless
// SCREENSHOT_CONTINUE is set, ends the process.
#include <SDL.h>
#include <SDL_image.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool saveFrame(SDL_Renderer* r, const char* path) {
    int w = 0, h = 0;
    if (SDL_GetRendererOutputSize(r, &w, &h) != 0) return false;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return false;
    bool ok =
        SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, s->pixels, s->pitch) == 0 &&
        IMG_SavePNG(s, path) == 0;
    SDL_FreeSurface(s);
    return ok;
}

}  // namespace

extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    static SDL_Renderer* first = r;
    static int frames = 0;
    const char* path = std::getenv("SCREENSHOT_FILE");
    const char* at = std::getenv("SCREENSHOT_FRAME");
    if (path && r == first && ++frames == (at ? std::atoi(at) : 30)) {
        bool ok = saveFrame(r, path);
        std::fprintf(stderr, ok ? "screenshot: %s\n" : "screenshot failed: %s\n", path);
        if (!std::getenv("SCREENSHOT_CONTINUE")) std::_Exit(ok ? 0 : 1);
    }
    real(r);
}
