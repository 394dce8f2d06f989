#include "support/TestApp.h"

#include "core/Application.h"

#include <gtest/gtest.h>

#include <algorithm>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

void TestClock::delay(uint32_t ms) {
    if (fixed)
        now += ms;
    else
        SDL_Delay(ms);
}

void TestClock::waitForEvent(uint32_t ms) {
    waits.push_back(ms);
    if (!fixed || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    // A real wait would end at the deadline; this one also ends at the scripted period's end.
    if (inPeriod)
        now += std::min(ms, msUntil(horizon, now));
    else if (ms != kNoDeadline)
        now += ms;
}

TestApp::TestApp() {
    framesPerSecond = 1000;
    redrawOnDemand = true;
    // Every test checks each damage-limited frame against a full redraw.
    verifyDamage = true;
    setClock(&clock);
}

TestApp::~TestApp() {
    setClock(nullptr);
    EXPECT_EQ(damageMismatches, 0u)
        << "frames differing from a full redraw; the first: " << firstDamageMismatch;
}

void TestApp::renderWindow(AppWindow* window) {
    ++renders;
    if (!window->root) return;
    window->root->update(ticks());
    if (!needsRedraw()) return;
    noteDrawing();
    if (!drawWindow(window)) return;
    if (beforePresent) beforePresent(window);
    presentWindow(window);
    ++presents;
}

void TestApp::dispatchEvent(AppWindow* window, GuiEvent& e) {
    if (e.kind == GuiEvent::Command) {
        commands.push_back({e.windowId, e.code, e.id, e.value, e.source});
        if (e.code == CMD_DIALOG_ENDED)
            closeWindowLater(e.windowId);
        else if (modalRoot)
            GuiDialog::routeModal(window, e);
        return;
    }
    const SDL_Event* s = e.sdl;
    if (s && s->type == SDL_WINDOWEVENT) {
        if (s->window.event == SDL_WINDOWEVENT_CLOSE) {
            closeNotices.push_back(e.windowId);
            return;
        }
        trackKeyboardFocus(*this, *s);
    }
    if (modalRoot) {
        GuiDialog::routeModal(window, e);
        return;
    }
    if (window->root) window->root->handleEvent(e);
}

AppWindow* TestApp::openMain(int w, int h, SDL_Color bg) {
    mainWindow = createMainWindow("Test", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                  SDL_WINDOW_SHOWN, bg);
    return mainWindow;
}

void TestApp::frames(int n) {
    for (int i = 0; i < n && !quitDone; ++i)
        runFrame();
}

int TestApp::runFor(uint32_t ms) {
    if (!clock.fixed) clock.fix(SDL_GetTicks());
    clock.horizon = clock.now + ms;
    clock.inPeriod = true;
    int n = 0;
    // The cap only stops a loop that no longer advances the time.
    while (msUntil(clock.horizon, clock.now) > 0 && !quitDone && n < 1000000) {
        runFrame();
        ++n;
    }
    clock.inPeriod = false;
    return n;
}

void ProbeWidget::handleEvent(GuiEvent& e) {
    if (e.sdl) {
        types.push_back(e.sdl->type);
        locals.push_back({e.localX, e.localY});
    }
    if (onEvent) onEvent(this, e);
}

SDL_Event mouseButton(uint32_t type, uint32_t windowId, int x, int y, uint8_t button) {
    SDL_Event e{};
    e.type = type;
    e.button.windowID = windowId;
    e.button.button = button;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event mouseMotion(uint32_t windowId, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = windowId;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event mouseWheel(uint32_t windowId, int x, int y, int steps) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = windowId;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

SDL_Event keyEvent(uint32_t type, uint32_t windowId, SDL_Keycode key, uint16_t mod, bool repeat) {
    SDL_Event e{};
    e.type = type;
    e.key.windowID = windowId;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event textInput(uint32_t windowId, const std::string& text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = windowId;
    SDL_strlcpy(e.text.text, text.c_str(), sizeof e.text.text);
    return e;
}

void route(ZazOvadir& app, SDL_Event e) {
    app.routeEvent(e);
    app.destroyPendingWindows();
}

SDL_Color readPixel(SDL_Renderer* r, int x, int y) {
    SDL_Rect rc{x, y, 1, 1};
    uint32_t px = 0;
    SDL_RenderReadPixels(r, &rc, SDL_PIXELFORMAT_ARGB8888, &px, 4);
    return SDL_Color{static_cast<uint8_t>(px >> 16), static_cast<uint8_t>(px >> 8),
                     static_cast<uint8_t>(px), static_cast<uint8_t>(px >> 24)};
}

bool sameColor(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void useOpenGlRenderer() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan_disable();
#endif
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "opengl", SDL_HINT_OVERRIDE);
}

namespace {
std::vector<std::string>& capturedLines() {
    static std::vector<std::string> lines;
    return lines;
}
void appendLogLine(void*, int, SDL_LogPriority, const char* message) {
    capturedLines().push_back(message);
}
}  // namespace

void captureSdlLog() {
    capturedLines().clear();
    SDL_LogSetOutputFunction(appendLogLine, nullptr);
}

int countLogged(const std::string& line) {
    int n = 0;
    for (const std::string& l : capturedLines())
        n += l == line;
    return n;
}
