#include "core/Engine.h"

#include "core/DamageCheck.h"
#include "core/Draw.h"
#include "core/Window.h"
#include "core/WindowTarget.h"

#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#ifdef TAMBERGUI_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#if __has_include(<libintl.h>)
#include <libintl.h>
#define TAMBERGUI_HAVE_INTL 1
#endif

namespace {

constexpr const char* kFontPath = "data/fonts/Vera.ttf";
ZazOvadir* gEngine = nullptr;
// Font data handed over before or after the engine starts (setFontData); process-wide.
const void* gFontData = nullptr;
size_t gFontDataSize = 0;

bool isFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string executableDir() {
    char* base = SDL_GetBasePath();
    if (!base) return {};
    std::string dir = base;
    SDL_free(base);
    return dir;
}

// The file fontconfig picks for "Bitstream Vera Sans"; where that family is missing, its match
// is the system's sans-serif face.
std::string fontconfigMatch() {
#ifdef TAMBERGUI_HAVE_FONTCONFIG
    std::string file;
    if (FcConfig* config = FcInitLoadConfigAndFonts()) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Bitstream Vera Sans"));
        if (pattern) {
            FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
            FcConfigSubstitute(config, pattern, FcMatchPattern);
            FcDefaultSubstitute(pattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
                FcChar8* path = nullptr;
                if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                    file = reinterpret_cast<const char*>(path);
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pattern);
        }
        FcConfigDestroy(config);
    }
    return file;
#else
    return {};
#endif
}

// The window's surface where the renderer draws straight into it, pixel for pixel, at the
// window's size; null elsewhere.
SDL_Surface* surfaceDrawnInto(AppWindow* w) {
    SDL_Surface* s = directPixels(w->sdlRenderer());
    return s && s->w == w->width && s->h == w->height ? s : nullptr;
}

// Moves area's pixels by (dx, dy) within the window's surface, which the software renderer
// draws into; what leaves area is dropped, what comes into view keeps its old pixels.
bool moveSurfacePixels(AppWindow* w, const SDL_Rect& area, int dx, int dy) {
    SDL_Surface* s = surfaceDrawnInto(w);
    if (!s) return false;
    const SDL_Rect bounds{0, 0, s->w, s->h};
    SDL_Rect inside, to;
    if (!SDL_IntersectRect(&area, &bounds, &inside)) return true;
    const SDL_Rect movedInside{inside.x + dx, inside.y + dy, inside.w, inside.h};
    if (!SDL_IntersectRect(&movedInside, &inside, &to)) return true;  // nothing shown stays
    const int bpp = s->format->BytesPerPixel;
    auto* pixels = static_cast<uint8_t*>(s->pixels);
    const size_t bytes = static_cast<size_t>(to.w) * static_cast<size_t>(bpp);
    // Rows in the order that reads each before it is overwritten.
    for (int i = 0; i < to.h; ++i) {
        const int row = dy > 0 ? to.y + to.h - 1 - i : to.y + i;
        uint8_t* dst =
            pixels + static_cast<ptrdiff_t>(row) * s->pitch + static_cast<ptrdiff_t>(to.x) * bpp;
        const uint8_t* src =
            dst - static_cast<ptrdiff_t>(dy) * s->pitch - static_cast<ptrdiff_t>(dx) * bpp;
        std::memmove(dst, src, bytes);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Texture retirement

namespace TextureRetirement {
namespace {

struct Ring {
    std::array<std::vector<SDL_Texture*>, 3> bins;
    size_t index = 0;
};

std::unordered_map<SDL_Renderer*, Ring>& rings() {
    static std::unordered_map<SDL_Renderer*, Ring> map;
    return map;
}

void destroyBin(std::vector<SDL_Texture*>& bin) {
    for (SDL_Texture* t : bin)
        SDL_DestroyTexture(t);
    bin.clear();
}

}  // namespace

void retire(SDL_Renderer* r, SDL_Texture* t) {
    if (!r || !t) return;
    Ring& ring = rings()[r];
    ring.bins[ring.index].push_back(t);
}

void advance(SDL_Renderer* r) {
    auto it = rings().find(r);
    if (it == rings().end()) return;
    Ring& ring = it->second;
    ring.index = (ring.index + 1) % 3;
    destroyBin(ring.bins[ring.index]);
}

void flush(SDL_Renderer* r) {
    auto it = rings().find(r);
    if (it == rings().end()) return;
    for (auto& bin : it->second.bins)
        destroyBin(bin);
    rings().erase(it);
}

void flushAll() {
    for (auto& [r, ring] : rings())
        for (auto& bin : ring.bins)
            destroyBin(bin);
    rings().clear();
}

size_t pendingCount(SDL_Renderer* r) {
    auto it = rings().find(r);
    if (it == rings().end()) return 0;
    size_t n = 0;
    for (auto& bin : it->second.bins)
        n += bin.size();
    return n;
}

}  // namespace TextureRetirement

namespace {
std::vector<RendererTeardownHook>& teardownHooks() {
    static std::vector<RendererTeardownHook> hooks;
    return hooks;
}
}  // namespace

void addRendererTeardownHook(RendererTeardownHook hook) {
    auto& hooks = teardownHooks();
    if (std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}

void runRendererTeardownHooks(SDL_Renderer* r) {
    for (RendererTeardownHook hook : teardownHooks())
        hook(r);
}

// ---------------------------------------------------------------------------------------------
// AppWindow

AppWindow::AppWindow() = default;

// Members go in reverse order: cairo, surface, pixels, root, renderer, window. destroyWindow
// has already deleted the root and flushed the renderer's textures by then.
AppWindow::~AppWindow() = default;

cairo_t* AppWindow::cairoContext() {
    if (!cairo) makeCairoContext();
    return cairo.get();
}

void AppWindow::makeCairoContext() {
    cairo.reset();
    cairoSurface.reset();
    pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    cairoSurface.reset(cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32,
                                                           width, height, width * 4));
    cairo.reset(cairo_create(cairoSurface.get()));
    cairo_set_operator(cairo.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cairo.get());
    cairo_set_operator(cairo.get(), CAIRO_OPERATOR_OVER);
}

// ---------------------------------------------------------------------------------------------
// Start-up and shutdown

ZazOvadir* ZazOvadir::current() {
    return gEngine;
}

ZazOvadir::ZazOvadir() {
    gEngine = this;
    verifyDamage = DamageCheck::requestedByEnvironment();
    startLibraries();
    if (!openDefaultFonts()) return;
    SDL_StartTextInput();
}

void ZazOvadir::startLibraries() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_SetHint("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1");
    IMG_Init(IMG_INIT_PNG);
    if (TTF_Init() != 0) {
        gEngine = nullptr;
        IMG_Quit();
        SDL_Quit();
        throw Error(0);
    }
    ttfStarted = true;
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) == 0) ftLibrary.reset(lib);
}

bool ZazOvadir::openDefaultFonts() {
    if (!gFontData) {
        fontFile = findFontFile();
        fontFileBytes = readFontFile(fontFile);
    }
    defaultFont.reset(openFont(14));
    if (!defaultFont) {
        std::cerr << "Schriftart konnte nicht geladen werden: " << SDL_GetError() << "\n";
        return false;
    }
    if (!ftLibrary) return true;
    FT_Face face = nullptr;
    const auto [data, size] = fontMemory();
    FT_Error err = data ? FT_New_Memory_Face(ftLibrary.get(), static_cast<const FT_Byte*>(data),
                                             static_cast<FT_Long>(size), 0, &face)
                        : FT_New_Face(ftLibrary.get(), fontFile.c_str(), 0, &face);
    if (err != 0 || !face) return true;
    ftFace.reset(face);
    FT_Error cmErr = FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    if (cmErr != 0) std::printf("Fehler beim Setzen der Unicode-Charmap: %d\n", cmErr);
    FT_Set_Pixel_Sizes(face, 0, 14);
    return true;
}

ZazOvadir::~ZazOvadir() {
    pendingCloses.clear();
    while (!windows.empty())
        destroyWindow(windows.begin()->first);
    if (scriptRunner) scriptRunner->engineShutdown();
    TextureRetirement::flushAll();
    // Fonts and faces go before their libraries shut down.
    defaultFont.reset();
    ftFace.reset();
    ftLibrary.reset();
    if (ttfStarted) TTF_Quit();
    IMG_Quit();
    SDL_Quit();
    if (gEngine == this) gEngine = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Fonts

void ZazOvadir::setFontData(const void* data, size_t size) {
    gFontData = data;
    gFontDataSize = size;
}

std::vector<unsigned char> ZazOvadir::readFontFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    unsigned char chunk[65536];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0 || bytes.size() > static_cast<size_t>(INT32_MAX);
    std::fclose(f);
    if (failed) bytes.clear();
    return bytes;
}

std::string ZazOvadir::findFontFile() {
    // The working directory's copy wins: the demo and the tests draw with exactly that face.
    if (isFile(kFontPath)) return kFontPath;
    const std::string exeDir = executableDir();
    std::vector<std::string> candidates;
    if (!exeDir.empty()) {
        candidates.push_back(exeDir + kFontPath);
        candidates.push_back(exeDir + "../share/tambergui/fonts/Vera.ttf");  // installed beside
    }
#ifdef TAMBERGUI_DATA_DIR
    candidates.push_back(std::string(TAMBERGUI_DATA_DIR) + "/fonts/Vera.ttf");
#endif
    for (const std::string& path : candidates)
        if (isFile(path)) return path;
    std::string match = fontconfigMatch();
    return isFile(match) ? match : kFontPath;  // the usual message names what failed
}

std::pair<const void*, size_t> ZazOvadir::fontMemory() const {
    if (gFontData) return {gFontData, gFontDataSize};
    if (!fontFileBytes.empty()) return {fontFileBytes.data(), fontFileBytes.size()};
    return {nullptr, 0};
}

TTF_Font* ZazOvadir::openFont(int pixelSize) const {
    const auto [data, size] = fontMemory();
    // Unreadable file: open by name so that SDL's message names what failed.
    if (!data) return TTF_OpenFont(fontFile.c_str(), pixelSize);
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw) return nullptr;
    return TTF_OpenFontRW(rw, 1, pixelSize);
}

// ---------------------------------------------------------------------------------------------
// Diagnostics

void diagnostic(const char* format, ...) {
    ZazOvadir* engine = ZazOvadir::current();
    if (engine && !engine->diagnostics) return;
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

// ---------------------------------------------------------------------------------------------
// Windows

AppWindow* ZazOvadir::createWindow(const std::string& title, int x, int y, int w, int h,
                                   uint32_t flags) {
    scheduleRedraw();  // a new root starts wholly damaged; the other windows did not change
    auto record = std::make_unique<AppWindow>();
    record->sdlWindow.reset(SDL_CreateWindow(title.c_str(), x, y, w, h, flags));
    if (!record->sdlWindow) throw std::runtime_error(SDL_GetError());
    uint32_t rendererFlags =
        std::getenv("WINEUSERNAME") ? SDL_RENDERER_SOFTWARE : SDL_RENDERER_ACCELERATED;
    record->renderer.reset(SDL_CreateRenderer(record->sdlWindow.get(), -1, rendererFlags));
    if (!record->renderer) {
        std::string message = SDL_GetError();
        record->sdlWindow.reset();
        throw std::runtime_error(message);
    }
    SDL_SetWindowData(record->sdlWindow.get(), "AppWindow", record.get());
    SDL_RenderSetLogicalSize(record->sdlRenderer(), w, h);
    record->engine = this;
    record->width = w;
    record->height = h;
    return record.release();
}

bool ZazOvadir::registerWindow(AppWindow* record, const std::string& title, int, int) {
    record->windowId = SDL_GetWindowID(record->sdlWindow.get());
    if (record->windowId == 0) {
        record->sdlWindow.reset();
        return false;
    }
    // The map owns the record from here on.
    if (!windows.count(record->windowId))
        windows.emplace(record->windowId, std::unique_ptr<AppWindow>(record));
    record->title = title;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_RenderSetIntegerScale(record->sdlRenderer(), SDL_TRUE);
    SDL_SetRenderDrawBlendMode(record->sdlRenderer(), SDL_BLENDMODE_BLEND);
    SDL_RaiseWindow(record->sdlWindow.get());
    windowList.push_back(record);
    if (activeWindowId == 0) activeWindowId = record->windowId;
    return true;
}

AppWindow* ZazOvadir::createMainWindow(const std::string& title, int x, int y, int w, int h,
                                       uint32_t flags, SDL_Color bgColor) {
    AppWindow* record = createWindow(title, x, y, w, h, flags);
    record->root = std::make_unique<GuiWindow>(record, -1, 0, 0, w, h, bgColor);
    if (!registerWindow(record, title, w, h)) {
        delete record;
        return nullptr;
    }
    return record;
}

AppWindow* ZazOvadir::createDialogWindow(const std::string& title, int x, int y, int w, int h,
                                         uint32_t flags, SDL_Color bgColor) {
    centreOnMainWindow(x, y, w, h);
    AppWindow* record = createWindow(title, x, y, w, h, flags);
    record->root = std::make_unique<GuiDialog>(record, -1, 0, 0, w, h, bgColor);
    if (!registerWindow(record, title, w, h)) {
        delete record;
        return nullptr;
    }
    setModalFor(record);
    return record;
}

AppWindow* ZazOvadir::findWindowById(uint32_t windowId) const {
    for (AppWindow* w : windowList)
        if (w->windowId == windowId) return w;
    return nullptr;
}

void ZazOvadir::releaseEditorsInto(GuiWindow* root) {
    auto pointsInto = [root](IEditable* ed) {
        auto* obj = dynamic_cast<GuiObject*>(ed);
        return obj && obj->window == root;
    };
    if (activeEditable && pointsInto(activeEditable)) activeEditable = nullptr;
    if (savedEditable && pointsInto(savedEditable)) savedEditable = nullptr;
}

bool ZazOvadir::destroyWindow(uint32_t windowId) {
    scheduleRedraw();
    auto it = windows.find(windowId);
    if (it == windows.end()) return false;
    AppWindow* record = it->second.get();

    if (activeWindowId == windowId) {
        activeWindowId = 0;
        for (AppWindow* other : windowList)
            if (other != record) {
                activeWindowId = other->windowId;
                break;
            }
        if (activeWindowId == 0) {
            SDL_Window* kb = SDL_GetKeyboardFocus();
            activeWindowId = (kb && kb != record->sdlWindow.get()) ? SDL_GetWindowID(kb) : 0;
        }
    }
    windowList.erase(std::remove(windowList.begin(), windowList.end(), record), windowList.end());
    if (mainWindow == record) mainWindow = nullptr;

    GuiWindow* root = record->root.get();
    if (root && root == modalRoot) {
        activeEditable = savedEditable;
        modalRoot = nullptr;
    }
    if (root) releaseEditorsInto(root);
    record->root.reset();
    if (record->renderer) TextureRetirement::retire(record->sdlRenderer(), record->backBuffer);
    DamageCheck::releaseScratch(record);

    SDL_Renderer* r = record->sdlRenderer();
    if (r) {
        TextureRetirement::flush(r);
        runRendererTeardownHooks(r);
    }
    SDL_SetWindowData(record->sdlWindow.get(), "AppWindow", nullptr);
    windows.erase(it);  // destroys cairo, surface, pixels, renderer and window in that order
    return true;
}

void ZazOvadir::handleResize(AppWindow* record, int w, int h) {
    damageWindow(record);
    if (w < 1 || h < 1 || (w == record->width && h == record->height)) return;
    record->width = w;
    record->height = h;
    if (record->hasCairoContext()) record->makeCairoContext();
    SDL_RenderSetLogicalSize(record->sdlRenderer(), w, h);
}

// ---------------------------------------------------------------------------------------------
// Dialogs

void ZazOvadir::setModal(GuiWindow* root) {
    // Nothing looks different for being modal: the dialog draws as a new window, and what the
    // move of focus changes (a caret) invalidates itself.
    scheduleRedraw();
    savedEditable = activeEditable;
    activeEditable = nullptr;
    modalRoot = root;
    for (AppWindow* w : windowList)
        if (w->root && w->root.get() != root) w->root->releaseCapture();
    // A popup closed by the dialog's opening must not leave text input off.
    SDL_StartTextInput();
}

void ZazOvadir::setModalFor(AppWindow* record) {
    if (!mainWindow || record == mainWindow) return;
    SDL_SetWindowModalFor(record->sdlWindow.get(), mainWindow->sdlWindow.get());
}

void ZazOvadir::centreOnMainWindow(int& x, int& y, int w, int h) const {
    if (!mainWindow) return;
    int px = 0, py = 0, pw = 0, ph = 0;
    SDL_GetWindowPosition(mainWindow->sdlWindow.get(), &px, &py);
    SDL_GetWindowSize(mainWindow->sdlWindow.get(), &pw, &ph);
    int cx = px + (pw - w) / 2;
    int cy = py + (ph - h) / 2;
    SDL_Rect bounds{0, 0, 0, 0};
    int display = SDL_GetWindowDisplayIndex(mainWindow->sdlWindow.get());
    bool haveBounds = display >= 0 && SDL_GetDisplayUsableBounds(display, &bounds) == 0;
    if (haveBounds && bounds.w > 0 && bounds.h > 0) {
        cx = std::max(std::min(cx, bounds.x + bounds.w - w), bounds.x);
        cy = std::max(std::min(cy, bounds.y + bounds.h - h), bounds.y);
    }
    if (SDL_WINDOWPOS_ISCENTERED(x)) x = cx;
    if (SDL_WINDOWPOS_ISCENTERED(y)) y = cy;
}

// ---------------------------------------------------------------------------------------------
// Redraw bookkeeping

void ZazOvadir::requestRedraw() {
    for (AppWindow* w : windowList)
        if (w->root) w->root->damageAll();
    scheduleRedraw();
}

void ZazOvadir::damageWindow(AppWindow* w) {
    if (w && w->root) w->root->damageAll();
    scheduleRedraw();
}

void ZazOvadir::scheduleRedraw() {
    redrawRequested = true;
    redrawNeeded = true;
    ++redrawSerial;
}

bool ZazOvadir::needsRedraw() const {
    if (!redrawOnDemand) return true;
    if (scriptRunner && scriptRunner->isRunning()) return true;
    return redrawNeeded;
}

bool ZazOvadir::rendererKeepsPixels(AppWindow* w) {
    // The software renderer draws into the window's surface, which keeps its pixels until the
    // window changes size (a full redraw then); other renderers swap buffers.
    if (w->keepsPixels < 0) {
        SDL_RendererInfo info;
        w->keepsPixels = SDL_GetRendererInfo(w->sdlRenderer(), &info) == 0 &&
                         (info.flags & SDL_RENDERER_SOFTWARE);
    }
    return w->keepsPixels == 1;
}

SDL_Texture* ZazOvadir::backBufferOf(AppWindow* w) {
    bool made = false;
    SDL_Texture* target = windowSizedTarget(w, w->backBuffer, &made);
    if (made) w->root->damageAll();  // a new back buffer holds nothing yet
    return target;
}

bool ZazOvadir::drawWindow(AppWindow* w) {
    GuiWindow* root = w->root.get();
    SDL_Renderer* r = w->sdlRenderer();
    w->drawnArea = SDL_Rect{0, 0, 0, 0};
    if (!root || !r) return false;
    if (!drawDamageOnly) {
        root->draw(r);
        w->drawnArea = SDL_Rect{0, 0, w->width, w->height};
        return true;
    }
    root->damageMovedChildren();
    root->damageOverlay();
    SDL_Rect moved{0, 0, 0, 0};
    if (root->hasPixelMoves()) {
        // Only where the window keeps its pixels; elsewhere the moved areas are drawn again.
        const bool keeps = rendererKeepsPixels(w);
        moved = root->makePixelMoves([&](const GuiWindow::PixelMove& m) {
            return keeps && moveSurfacePixels(w, m.area, m.dx, m.dy);
        });
    }
    if (!root->hasDamage()) {
        if (verifyDamage) verifyKeptPixels(w);
        return false;
    }
    SDL_Texture* target = nullptr;
    if (!rendererKeepsPixels(w)) {
        if (root->fullDamage) {
            // Everything changed (input, a resize): drawn straight to the window, which costs
            // no copy; the back buffer, stale now, is given up and rebuilt by the next partial
            // frame.
            TextureRetirement::retire(r, w->backBuffer);
        } else {
            target = backBufferOf(w);
            if (!target) root->damageAll();  // nothing keeps the pixels: draw everything
        }
    }
    root->frameTarget = target;
    if (target) SDL_SetRenderTarget(r, target);
    w->drawnArea = root->drawDamaged(r);
    SDL_UnionRect(&w->drawnArea, &moved, &w->drawnArea);  // either may be empty
    if (verifyDamage && root->drewPartially) DamageCheck::verifyFrame(*this, w, target);
    if (target) {
        SDL_SetRenderTarget(r, nullptr);
        root->frameTarget = nullptr;
        if (!SDL_RectEmpty(&w->drawnArea)) SDL_RenderCopy(r, target, nullptr, nullptr);
    }
    return !SDL_RectEmpty(&w->drawnArea);
}

void ZazOvadir::verifyKeptPixels(AppWindow* w) {
    // A frame without damage shows what it showed: that too must be what a full redraw shows.
    SDL_Texture* kept = nullptr;
    if (!rendererKeepsPixels(w)) {
        kept = w->backBuffer.get();  // given up after a frame drawn straight to the window
        int bw = 0, bh = 0;
        if (!kept || SDL_QueryTexture(kept, nullptr, nullptr, &bw, &bh) != 0 || bw != w->width ||
            bh != w->height)
            return;
        SDL_SetRenderTarget(w->sdlRenderer(), kept);
    }
    DamageCheck::verifyFrame(*this, w, kept);
    if (kept) SDL_SetRenderTarget(w->sdlRenderer(), nullptr);
}

void ZazOvadir::presentWindow(AppWindow* w) {
    SDL_Renderer* r = w->sdlRenderer();
    const SDL_Rect area = w->drawnArea;
    const bool part = area.w < w->width || area.h < w->height;
    if (presentDamageOnly && part && drawDamageOnly && rendererKeepsPixels(w)) {
        // The surface's pixels are the renderer's own only without scaling.
        if (surfaceDrawnInto(w) && SDL_UpdateWindowSurfaceRects(w->sdlWindow.get(), &area, 1) == 0)
            return;
    }
    SDL_RenderPresent(r);
}

// ---------------------------------------------------------------------------------------------
// Time

void ZazOvadir::setClock(IClock* c) {
    clock = c ? c : &sdlClock;
}

uint32_t ZazOvadir::addTimer(uint32_t ms, std::function<void()> fn, bool repeat) {
    return timers.add(ticks(), ms, std::move(fn), repeat);
}

bool ZazOvadir::cancelTimer(uint32_t id) {
    return timers.cancel(id);
}

uint32_t ZazOvadir::msUntilNextDeadline(uint32_t now) {
    uint32_t ms = timers.msUntilNext(now);
    for (AppWindow* w : windowList)
        if (w->root) ms = soonest(ms, msUntilDueOf(w->root.get(), now));
    return ms;
}

bool ZazOvadir::frameDue() const {
    return needsRedraw() || !injectedEvents.empty() || !pendingCloses.empty() ||
           (quitRequested && !quitDone);
}

// ---------------------------------------------------------------------------------------------
// The main loop

void ZazOvadir::run() {
    beginRun();
    while (!quitDone)
        runFrame();
    endRun();
}

void ZazOvadir::beginRun() {
    std::setlocale(LC_ALL, "");
    setenv("LANG", "de", 1);
#ifdef TAMBERGUI_HAVE_INTL
    bindtextdomain("tambergui", "./data/locale");
    textdomain("tambergui");
#endif
    SDL_Event discard;
    SDL_PollEvent(&discard);
    applyWindowMode();
    startTicks = ticks();
}

void ZazOvadir::runFrame() {
    uint32_t frameStart = ticks();
    ++frameNumber;
    SDL_Event e;
    if (takeEvent(e)) {
        routeEvent(e);
        destroyPendingWindows();
    }
    timers.fireDue(ticks());
    if (scriptRunner) {
        // The overlay follows the run: its frames draw what it and the run's events change.
        if (scriptRunner->isRunning()) scheduleRedraw();
        scriptRunner->tick(ticks());
    }
    if (quitRequested && !quitDone) {
        sendCloseNotifications();
        quitDone = true;
    }
    followWindowSizes();
    redrawNeeded = redrawRequested;
    redrawRequested = false;
    // Drawing on demand, a frame that drew after the last request leaves nothing to draw.
    if (redrawOnDemand && drewThisFrame && drawnSerial == redrawSerial) redrawNeeded = false;
    pacedFrame = drewThisFrame;
    drewThisFrame = false;
    waitForNextFrame(frameStart);
}

void ZazOvadir::waitForNextFrame(uint32_t frameStart) {
    uint32_t frameMs = framesPerSecond ? 1000 / framesPerSecond : 16;
    uint32_t elapsed = ticks() - frameStart;
    uint32_t rest = elapsed < frameMs ? frameMs - elapsed : 0;
    if (!redrawOnDemand || quitDone || frameDue()) {
        if (rest > 0) clock->delay(rest);
        return;
    }
    // After a frame that drew, its rest first, so that input arriving in a stream is drawn at
    // most at framesPerSecond. A frame that found no event (SDL's poll may report none once
    // while one is queued) goes straight to the wait, which returns at once for a queued event.
    if (pacedFrame && rest > 0) clock->delay(rest);
    // Nothing to draw: sleep until input arrives (at once, for the least latency) or something
    // falls due.
    uint32_t ms = msUntilNextDeadline(ticks());
    if (ms > 0) clock->waitForEvent(ms);
}

void ZazOvadir::endRun() {
    TextureRetirement::flushAll();
    SDL_StopTextInput();
}

void ZazOvadir::sendCloseNotifications() {
    // Copy: a dispatch may queue closes but must not invalidate this walk.
    std::vector<AppWindow*> list = windowList;
    for (AppWindow* w : list) {
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = w->windowId;
        GuiEvent ge = GuiEvent::makeInput(0, &close);
        dispatchEvent(w, ge);
    }
}

void ZazOvadir::followWindowSizes() {
    std::vector<AppWindow*> list = windowList;
    for (AppWindow* w : list) {
        int sw = 0, sh = 0;
        SDL_GetWindowSize(w->sdlWindow.get(), &sw, &sh);
        if (sw > 0 && sh > 0 && (sw != w->width || sh != w->height)) {
            handleResize(w, sw, sh);
            if (w->root) w->root->resize(w->sdlRenderer(), sw, sh);
        }
        renderWindow(w);
        if (w->renderer) TextureRetirement::advance(w->sdlRenderer());
    }
}

bool ZazOvadir::takeEvent(SDL_Event& out) {
    if (!injectedEvents.empty()) {
        out = injectedEvents.front();
        injectedEvents.pop_front();
        if (inputObserver) inputObserver->observeInput(out, true);
        return true;
    }
    for (;;) {
        if (!SDL_PollEvent(&out)) return false;
        if (scriptRunner && !scriptRunner->filterInput(out)) continue;
        break;
    }
    if (out.type == SDL_MOUSEMOTION) {
        SDL_Event next;
        while (SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION) == 1)
            out = next;
    }
    if (inputObserver) inputObserver->observeInput(out, false);
    return true;
}

uint32_t ZazOvadir::targetWindowOf(const SDL_Event& e) const {
    switch (e.type) {
        case SDL_WINDOWEVENT:
            return e.window.windowID;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return e.key.windowID;
        case SDL_TEXTEDITING:
            return e.edit.windowID;
        case SDL_TEXTINPUT:
            return e.text.windowID;
        case SDL_MOUSEMOTION:
            return e.motion.windowID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return e.button.windowID;
        case SDL_MOUSEWHEEL:
            return e.wheel.windowID;
        case SDL_DROPFILE:
        case SDL_DROPTEXT:
        case SDL_DROPBEGIN:
        case SDL_DROPCOMPLETE:
            return e.drop.windowID;
        default:
            return 0;
    }
}

void ZazOvadir::routeEvent(SDL_Event& e) {
    // An event damages only what it changes: the widgets invalidate themselves, the windows
    // what their routing changes (hover, focus, popups, the tooltip).
    if (e.type == SDL_WINDOWEVENT) {
        switch (e.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_MAXIMIZED:
            case SDL_WINDOWEVENT_RESIZED:
                // The system may have lost what the window showed.
                damageWindow(findWindowById(e.window.windowID));
                break;
            case SDL_WINDOWEVENT_CLOSE:
                quitRequested = true;
                e.window.event = SDL_WINDOWEVENT_NONE;
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED: {
                if (AppWindow* w = findWindowById(e.window.windowID)) {
                    handleResize(w, e.window.data1, e.window.data2);
                    if (w->root) w->root->resize(w->sdlRenderer(), w->width, w->height);
                }
                break;
            }
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                activeWindowId = e.window.windowID;
                break;
            default:
                break;
        }
    }
    if (e.type == SDL_MOUSEBUTTONDOWN) activeWindowId = e.button.windowID;
    if (activeWindowId == 0) {
        if (SDL_Window* kb = SDL_GetKeyboardFocus()) activeWindowId = SDL_GetWindowID(kb);
    }
    uint32_t eventWindow = targetWindowOf(e);
    uint32_t target = eventWindow ? eventWindow : activeWindowId;
    bool consumed = filterFullscreenKey(e);

    auto it = windows.find(target);
    if (it != windows.end() && !consumed) {
        GuiEvent ge = GuiEvent::makeInput(eventWindow, &e);
        dispatchEvent(it->second.get(), ge);
    }
    // A quit (Ctrl+C in the terminal, SIGTERM at logout) always ends the program, also when
    // it found a window and the application's routing dropped it.
    if (e.type == SDL_QUIT) quitRequested = true;
}

void ZazOvadir::destroyPendingWindows() {
    std::vector<uint32_t> closes;
    closes.swap(pendingCloses);
    for (uint32_t id : closes)
        destroyWindow(id);
}
