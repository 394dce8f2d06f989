// The harness side of the script runner: window-id report, start gate, scenes, trace lines,
// the drawn pointer with its click highlight, and the scene caption.
#include "demo/DemoRunner.h"

#include "core/Draw.h"
#include "core/Window.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

namespace {

constexpr int kPointerRows = 15;
constexpr int kPointerCols = 10;
constexpr int kPointerCell = 2;
constexpr const char* kPointerBitmap[kPointerRows] = {
    "X.........", "XX........", "XOX.......", "XOOX......", "XOOOX.....",
    "XOOOOX....", "XOOOOOX...", "XOOOOOOX..", "XOOOOOOOX.", "XOOOOXXXXX",
    "XOOXOOX...", "XOX.XOOX..", "XX..XOOX..", "X....XOOX.", "......XX..",
};
constexpr SDL_Color kPointerOutline{7, 12, 15, 255};
constexpr SDL_Color kPointerFill{245, 250, 243, 255};
constexpr SDL_Color kFlashColor{240, 208, 91, 255};
constexpr int kCaptionFadeMs = 300;
constexpr double kCaptionBackdropAlpha = 153;

// The cells of one kind, as rectangles relative to the hot spot.
std::vector<SDL_Rect> pointerCells(char kind) {
    std::vector<SDL_Rect> cells;
    for (int i = 0; i < kPointerRows; ++i)
        for (int j = 0; j < kPointerCols; ++j)
            if (kPointerBitmap[i][j] == kind)
                cells.push_back({j * kPointerCell, i * kPointerCell, kPointerCell, kPointerCell});
    return cells;
}

void fillCells(SDL_Renderer* r, const std::vector<SDL_Rect>& cells, int x, int y, SDL_Color c) {
    std::array<SDL_Rect, kPointerRows * kPointerCols> placed;
    size_t n = 0;
    for (const SDL_Rect& cell : cells)
        placed[n++] = {x + cell.x, y + cell.y, cell.w, cell.h};
    setColor(r, c);
    SDL_RenderFillRects(r, placed.data(), static_cast<int>(n));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Before the run: window-id report and start gate

void DemoRunner::reportWindowId() {
    if (windowIdFilePath.empty() || windowIdReported || !engine) return;
    if (!engine->mainWindow && !engine->findWindowById(engine->activeWindowId)) return;
    windowIdReported = true;
    SDL_Log("Demo: X11-Fenster-ID nicht verfügbar (%s)", windowIdFilePath.c_str());
}

bool DemoRunner::startGateOpen() const {
    if (startGatePath.empty()) return true;
    std::ifstream gate(startGatePath);
    return gate.is_open();
}

// ---------------------------------------------------------------------------------------------
// Scenes

void DemoRunner::startScene(const std::string& caption) {
    SDL_Log("Demo-Szene: %s", caption.c_str());
    if (scenesPath.empty()) {
        sceneName = caption;
        sceneStartTicks = lastTicks;
        return;
    }
    std::ofstream out(scenesPath, std::ios::app);
    out << (lastTicks - startTicks) << '\t' << caption << '\n';
    out.close();
    if (out.fail()) SDL_Log("Demo: Szenendatei %s nicht schreibbar", scenesPath.c_str());
}

// ---------------------------------------------------------------------------------------------
// Trace

std::string DemoRunner::describeObjectAt(AppWindow* w, int px, int py) const {
    GuiWindow* root = w ? w->root.get() : nullptr;
    GuiObject* hit = objectAt(root, px, py);
    if (!hit) return "-";
    std::string text = hit->className();
    if (!hit->name.empty()) text += " \"" + hit->name + "\"";
    if (root->isPopup(hit)) text += ", offenes Popup";
    return text;
}

std::string DemoRunner::describeUnreachable(AppWindow* w, const SDL_Rect& rect) const {
    int cx = rect.x + rect.w / 2;
    int cy = rect.y + rect.h / 2;
    std::string text = " (Mitte " + std::to_string(cx) + "," + std::to_string(cy) + " ";
    bool outside = !w || cx < 0 || cy < 0 || cx >= w->width || cy >= w->height;
    if (outside) return text + "liegt außerhalb des Fensters)";
    return text + "trifft " + describeObjectAt(w, cx, cy) + ")";
}

void DemoRunner::traceCommand(const ScriptCommand& c) {
    std::string text = DemoScript::commandName(c.code);
    for (const std::string& arg : c.args)
        text += " " + arg;
    AppWindow* w = currentWindow();
    if (!w) {
        SDL_Log("Demo-Trace Zeile %d: %s | kein Fenster", c.line, text.c_str());
        return;
    }
    int wx = 0, wy = 0, ww = 0, wh = 0;
    windowPosition(w, wx, wy);
    SDL_GetWindowSize(w->sdlWindow.get(), &ww, &wh);
    int px = static_cast<int>(std::lround(pointerX)) - wx;
    int py = static_cast<int>(std::lround(pointerY)) - wy;
    std::string under = describeObjectAt(w, px, py);
    SDL_Log("Demo-Trace Zeile %d: %s | Frame %u, %u ms | Fenster %d,%d %dx%d | Cursor %d,%d auf %s",
            c.line, text.c_str(), frameCount, lastTicks, wx, wy, ww, wh, px, py, under.c_str());
}

// ---------------------------------------------------------------------------------------------
// Drawing

SDL_Point DemoRunner::pointerIn(AppWindow* window) const {
    int wx = 0, wy = 0;
    windowPosition(window, wx, wy);
    return SDL_Point{static_cast<int>(std::lround(pointerX)) - wx,
                     static_cast<int>(std::lround(pointerY)) - wy};
}

SDL_Rect DemoRunner::overlayArea(AppWindow* window) {
    SDL_Rect area{0, 0, 0, 0};
    if (state != Running || !window) return area;
    auto add = [&area](const SDL_Rect& part) {
        if (SDL_RectEmpty(&area))
            area = part;
        else
            SDL_UnionRect(&area, &part, &area);
    };
    const SDL_Point p = pointerIn(window);
    add({p.x, p.y, kPointerCols * kPointerCell, kPointerRows * kPointerCell});
    SDL_Rect part;
    if (clickFlashSquare(p.x, p.y, part)) add(part);
    if (window->windowId == windowId && captionBackdrop(window, part)) add(part);
    return area;
}

void DemoRunner::drawPointer(AppWindow* window, SDL_Renderer* r) {
    if (state != Running || !window || !r) return;
    const SDL_Point p = pointerIn(window);
    const int x = p.x, y = p.y;
    if (window->windowId == windowId) drawSceneCaption(window, r);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    drawClickFlash(r, x, y);
    static const std::vector<SDL_Rect> outline = pointerCells('X');
    static const std::vector<SDL_Rect> fill = pointerCells('O');
    fillCells(r, outline, x, y, kPointerOutline);
    fillCells(r, fill, x, y, kPointerFill);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
}

bool DemoRunner::clickFlashSquare(int x, int y, SDL_Rect& square) const {
    if (clickFlash <= 0) return false;
    int radius = static_cast<int>((kClickFlashSeconds - clickFlash) * 28) + 12;
    square = SDL_Rect{x - radius, y - radius, 2 * radius, 2 * radius};
    return true;
}

void DemoRunner::drawClickFlash(SDL_Renderer* r, int x, int y) const {
    const double t = clickFlash;
    SDL_Rect square;
    if (!clickFlashSquare(x, y, square)) return;
    auto alpha = static_cast<uint8_t>(std::clamp(t * 255 / kClickFlashSeconds, 0.0, 255.0));
    SDL_SetRenderDrawColor(r, kFlashColor.r, kFlashColor.g, kFlashColor.b, alpha);
    SDL_RenderDrawRect(r, &square);
}

int DemoRunner::captionFontSizeFor(int w, int h) {
    double fit = std::min(static_cast<double>(w) / 18.0, static_cast<double>(h) / 22.0);
    return std::max(16, static_cast<int>(std::lround(fit)));
}

SDL_Rect DemoRunner::captionTextRect(int w, int h, int tw, int th) {
    return SDL_Rect{(w - tw) / 2, static_cast<int>(0.85 * h) - th, tw, th};
}

namespace {

std::vector<DemoRunner*>& liveRunners() {
    static std::vector<DemoRunner*> runners;
    return runners;
}

}  // namespace

void DemoRunner::trackForTeardown(bool live) {
    auto& runners = liveRunners();
    runners.erase(std::remove(runners.begin(), runners.end(), this), runners.end());
    if (!live) return;
    runners.push_back(this);
    addRendererTeardownHook(&DemoRunner::forgetRenderer);
}

void DemoRunner::forgetRenderer(SDL_Renderer* r) {
    // The renderer destroys its textures itself.
    for (DemoRunner* runner : liveRunners())
        if (runner->captionRenderer == r) {
            (void)runner->captionTexture.release();
            runner->captionRenderer = nullptr;
            runner->captionTextureText.clear();
        }
}

void DemoRunner::dropCaptionTexture() {
    TextureRetirement::retire(captionRenderer, captionTexture);
    captionRenderer = nullptr;
    captionTextureText.clear();
}

void DemoRunner::closeCaption() {
    sceneName.clear();
    captionFont.reset();
    captionFontSize = 0;
    dropCaptionTexture();
}

bool DemoRunner::captionShown() const {
    return !sceneName.empty() && lastTicks - sceneStartTicks <= kCaptionMs - 1;
}

bool DemoRunner::openCaptionFont(AppWindow* window) {
    int size = captionFontSizeFor(window->width, window->height);
    if (size != captionFontSize) {
        // A font that cannot be opened stays missing until the size changes again.
        captionFont.reset(engine ? engine->openFont(size) : nullptr);
        captionFontSize = size;
        dropCaptionTexture();
    }
    return captionFont != nullptr;
}

bool DemoRunner::captionBackdrop(AppWindow* window, SDL_Rect& backdrop) {
    if (!captionShown() || !openCaptionFont(window)) return false;
    int tw = captionTextW, th = captionTextH;
    if (captionTextureText != sceneName &&
        TTF_SizeUTF8(captionFont.get(), sceneName.c_str(), &tw, &th) != 0)
        return false;
    const SDL_Rect text = captionTextRect(window->width, window->height, tw, th);
    const int pad = captionFontSize / 2;
    backdrop = SDL_Rect{text.x - pad, text.y - pad, text.w + 2 * pad, text.h + 2 * pad};
    return true;
}

void DemoRunner::drawSceneCaption(AppWindow* window, SDL_Renderer* r) {
    if (sceneName.empty()) return;
    if (!captionShown()) {
        closeCaption();
        return;
    }
    if (!openCaptionFont(window)) return;
    if (captionTexture && (captionRenderer != r || captionTextureText != sceneName))
        dropCaptionTexture();
    if (!captionTexture && !makeCaptionTexture(r)) return;
    SDL_Rect backdrop;
    if (!captionBackdrop(window, backdrop)) return;
    SDL_Rect text = captionTextRect(window->width, window->height, captionTextW, captionTextH);
    const uint32_t age = lastTicks - sceneStartTicks;
    double a = std::min(static_cast<double>(kCaptionMs - age) / kCaptionFadeMs,
                        std::min(static_cast<double>(age) / kCaptionFadeMs, 1.0));
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(r, 0, 0, 0,
                           static_cast<uint8_t>(std::lround(kCaptionBackdropAlpha * a)));
    SDL_RenderFillRect(r, &backdrop);
    SDL_SetTextureAlphaMod(captionTexture.get(), static_cast<uint8_t>(std::lround(255 * a)));
    SDL_RenderCopy(r, captionTexture.get(), nullptr, &text);
}

bool DemoRunner::makeCaptionTexture(SDL_Renderer* r) {
    SdlSurfacePtr surface(
        TTF_RenderUTF8_Blended(captionFont.get(), sceneName.c_str(), {255, 255, 255, 255}));
    if (!surface) return false;
    captionTexture.reset(SDL_CreateTextureFromSurface(r, surface.get()));
    if (!captionTexture) return false;
    SDL_SetTextureBlendMode(captionTexture.get(), SDL_BLENDMODE_BLEND);
    captionRenderer = r;
    captionTextureText = sceneName;
    captionTextW = surface->w;
    captionTextH = surface->h;
    return true;
}
