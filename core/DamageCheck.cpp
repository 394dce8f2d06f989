#include "core/DamageCheck.h"

#include "core/Engine.h"
#include "core/Window.h"
#include "core/WindowTarget.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Pixels as ARGB8888 words; the alpha channel is never shown, so it does not count.
constexpr uint32_t kShownBits = 0x00FFFFFF;

bool readWindowPixels(SDL_Renderer* r, const AppWindow* w, std::vector<uint32_t>& out) {
    out.assign(static_cast<size_t>(w->width) * w->height, 0);
    SDL_Rect all{0, 0, w->width, w->height};
    return SDL_RenderReadPixels(r, &all, SDL_PIXELFORMAT_ARGB8888, out.data(), w->width * 4) == 0;
}

// The bookkeeping a draw may touch (a child invalidating itself while it draws): the reference
// draw must leave it as the partial frame did.
struct Bookkeeping {
    SDL_Rect damage;
    bool fullDamage, redrawRequested, redrawNeeded;
    uint32_t redrawSerial;

    static Bookkeeping take(const ZazOvadir& e, const GuiWindow& root) {
        return {root.damage, root.fullDamage, e.redrawRequested, e.redrawNeeded, e.redrawSerial};
    }
    void restore(ZazOvadir& e, GuiWindow& root) const {
        root.damage = damage;
        root.fullDamage = fullDamage;
        e.redrawRequested = redrawRequested;
        e.redrawNeeded = redrawNeeded;
        e.redrawSerial = redrawSerial;
    }
};

// Draws the whole window into scratch and reads it back; the target returns to partialTarget.
bool drawReference(ZazOvadir& engine, AppWindow* w, SDL_Texture* scratch,
                   SDL_Texture* partialTarget, std::vector<uint32_t>& out) {
    SDL_Renderer* r = w->sdlRenderer();
    GuiWindow& root = *w->root;
    const Bookkeeping kept = Bookkeeping::take(engine, root);
    SDL_Texture* const frameTarget = root.frameTarget;
    SDL_SetRenderTarget(r, scratch);
    root.frameTarget = scratch;
    root.drawAgainWhole(r);
    const bool read = readWindowPixels(r, w, out);
    root.frameTarget = frameTarget;
    SDL_SetRenderTarget(r, partialTarget);
    kept.restore(engine, root);
    return read;
}

std::string hexColour(uint32_t px) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%06X", px & kShownBits);
    return buf;
}

void report(ZazOvadir& engine, const AppWindow* w, const std::vector<uint32_t>& partial,
            const std::vector<uint32_t>& full) {
    size_t first = partial.size(), count = 0;
    SDL_Rect box{0, 0, 0, 0};
    for (size_t i = 0; i < partial.size(); ++i) {
        if (((partial[i] ^ full[i]) & kShownBits) == 0) continue;
        if (count++ == 0) first = i;
        SDL_Rect px{static_cast<int>(i % w->width), static_cast<int>(i / w->width), 1, 1};
        SDL_UnionRect(&box, &px, &box);  // the first pixel replaces the empty start
    }
    if (count == 0) return;
    const SDL_Rect& a = w->drawnArea;
    char line[512];
    std::snprintf(line, sizeof line,
                  "Schadenprüfung: Fenster \"%s\", Bild %u: Pixel (%d, %d) ist %s statt %s wie "
                  "beim vollständigen Zeichnen; %zu Pixel abweichend in %d,%d %dx%d; gezeichnet "
                  "wurde %d,%d %dx%d",
                  w->title.c_str(), engine.frameNumber, static_cast<int>(first % w->width),
                  static_cast<int>(first / w->width), hexColour(partial[first]).c_str(),
                  hexColour(full[first]).c_str(), count, box.x, box.y, box.w, box.h, a.x, a.y, a.w,
                  a.h);
    SDL_LogError(SDL_LOG_CATEGORY_APPLICATION, "%s", line);
    if (engine.damageMismatches++ == 0) engine.firstDamageMismatch = line;
}

}  // namespace

namespace DamageCheck {

bool requestedByEnvironment() {
    const char* value = SDL_getenv("TAMBERGUI_VERIFY_DAMAGE");
    return value && std::strcmp(value, "1") == 0;
}

void verifyFrame(ZazOvadir& engine, AppWindow* w, SDL_Texture* partialTarget) {
    SDL_Renderer* r = w->sdlRenderer();
    if (!w->root || !r || w->width < 1 || w->height < 1) return;
    SDL_Texture* scratch = windowSizedTarget(w, w->verifyTarget);
    std::vector<uint32_t> partial, full;
    if (!scratch || !readWindowPixels(r, w, partial) ||
        !drawReference(engine, w, scratch, partialTarget, full))
        return;
    report(engine, w, partial, full);
}

void releaseScratch(AppWindow* w) {
    if (w->renderer) TextureRetirement::retire(w->sdlRenderer(), w->verifyTarget);
}

}  // namespace DamageCheck
