// Preloaded into the demo to take a screenshot without a display: before the SCREENSHOT_FRAME-th
// present of the first window (SDL_RenderPresent, or SDL_UpdateWindowSurfaceRects for a frame
// that drew only what changed) it saves the frame to SCREENSHOT_FILE (PNG) and, unless
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

// Counts a present of r; at the wanted one saves what r shows (the whole window: a partial
// frame leaves the rest of the window's pixels in place).
static void beforePresent(SDL_Renderer* r) {
    static SDL_Renderer* first = r;
    static int frames = 0;
    const char* path = std::getenv("SCREENSHOT_FILE");
    const char* at = std::getenv("SCREENSHOT_FRAME");
    if (!path || !r || r != first || ++frames != (at ? std::atoi(at) : 30)) return;
    bool ok = saveFrame(r, path);
    std::fprintf(stderr, ok ? "screenshot: %s\n" : "screenshot failed: %s\n", path);
    if (!std::getenv("SCREENSHOT_CONTINUE")) std::_Exit(ok ? 0 : 1);
}

extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    beforePresent(r);
    real(r);
}

extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* w, const SDL_Rect* rects, int n) {
    using Update = int (*)(SDL_Window*, const SDL_Rect*, int);
    static Update real = reinterpret_cast<Update>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurfaceRects"));
    beforePresent(SDL_GetRenderer(w));
    return real(w, rects, n);
}
