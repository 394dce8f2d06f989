// A minimal application and probe widgets for tests that need real windows and renderers.
#pragma once

#include "core/Engine.h"
#include "core/Window.h"

#include <functional>
#include <string>
#include <vector>

// The test application's clock. Until a test fixes the time it reads SDL's ticks and paces with
// SDL_Delay; an idle wait never blocks. Once fixed, time moves only through pacing, idle waits
// and advance(): an idle period of seconds runs in no real time.
class TestClock : public IClock {
public:
    uint32_t ticks() override { return fixed ? now : SDL_GetTicks(); }
    void delay(uint32_t ms) override;
    void waitForEvent(uint32_t ms) override;
    void fix(uint32_t t) {
        fixed = true;
        now = t;
    }
    void advance(uint32_t ms) { now += ms; }

    bool fixed = false;
    uint32_t now = 0;
    // While a scripted period runs (runFor), waits end at its end, the horizon, at the latest.
    // Outside one, a wait lasts until its deadline, and a wait with none ends at once.
    uint32_t horizon = 0;
    bool inPeriod = false;
    // Every idle wait the loop asked for, in ms (kNoDeadline: until input).
    std::vector<uint32_t> waits;
};

// An application that does what the engine asks of every application and records commands.
// It draws on demand: a window is drawn and presented only in frames that need a redraw. The
// damage verifier is on: a test fails when a damage-limited frame differed from a full redraw.
class TestApp : public ZazOvadir {
public:
    struct Recorded {
        uint32_t windowId, code, id;
        int64_t value;
        GuiObject* source;
    };

    TestApp();
    ~TestApp() override;
    void renderWindow(AppWindow* window) override;
    void dispatchEvent(AppWindow* window, GuiEvent& e) override;

    // Opens a main window of the given size (becomes mainWindow).
    AppWindow* openMain(int w = 320, int h = 240, SDL_Color bg = {200, 200, 200, 255});
    // Runs n frames of the main loop without pacing delays worth mentioning.
    void frames(int n);
    // Runs the loop for ms on the fixed clock (fixed now if it was not) and returns the frames
    // run; presents counts the frames drawn.
    int runFor(uint32_t ms);

    std::vector<Recorded> commands;
    int renders = 0;  // renderWindow calls, drawn or not
    int presents = 0;
    TestClock clock;
    // GuiEvent::windowId of every window-close notification received.
    std::vector<uint32_t> closeNotices;
    // Called in renderWindow after drawing and before presenting (pixels are readable then).
    std::function<void(AppWindow*)> beforePresent;
};

// A widget that records what reaches it and draws itself in one colour.
class ProbeWidget : public GuiObject {
public:
    ProbeWidget(int x, int y, int w, int h, SDL_Color c = {255, 0, 0, 255}, bool cacheable = false)
        : GuiObject(nullptr, 7, x, y, w, h, c), cacheable(cacheable) {}
    void handleEvent(GuiEvent& e) override;
    bool isCacheable() override { return cacheable; }
    bool wantsWheel() override { return wheel; }
    void draw(SDL_Renderer* r) override {
        ++draws;
        GuiObject::draw(r);
    }
    void mouseEnter(int, int) override { ++enters; }
    void mouseLeave() override { ++leaves; }
    void focusLost(GuiObject*) override { ++focusLosses; }
    const char* className() const override { return "ProbeWidget"; }

    bool cacheable;
    bool wheel = false;
    std::vector<uint32_t> types;  // SDL event types in arrival order
    std::vector<SDL_Point> locals;
    int draws = 0, enters = 0, leaves = 0, focusLosses = 0;
    std::function<void(ProbeWidget*, GuiEvent&)> onEvent;
};

// Asks for the OpenGL renderer (render targets, so the texture caches run). Mesa's driver
// keeps allocations that LeakSanitizer would report at exit; they are not ours, so leak
// checking stops for the rest of this test process.
void useOpenGlRenderer();

// Builders for SDL events addressed to a window.
SDL_Event mouseButton(uint32_t type, uint32_t windowId, int x, int y,
                      uint8_t button = SDL_BUTTON_LEFT);
SDL_Event mouseMotion(uint32_t windowId, int x, int y);
SDL_Event mouseWheel(uint32_t windowId, int x, int y, int steps);
SDL_Event keyEvent(uint32_t type, uint32_t windowId, SDL_Keycode key, uint16_t mod = 0,
                   bool repeat = false);
// Typed text; cut to what one SDL text event holds (31 bytes).
SDL_Event textInput(uint32_t windowId, const std::string& text);
// Delivers an event straight through the engine's routing (as the main loop does).
void route(ZazOvadir& app, SDL_Event e);
// Reads one pixel of the current render target.
SDL_Color readPixel(SDL_Renderer* r, int x, int y);
bool sameColor(SDL_Color a, SDL_Color b);

// Sends SDL's log into memory (emptied first), so tests can check the exact lines written.
void captureSdlLog();
// How often exactly this line was logged since captureSdlLog.
int countLogged(const std::string& line);
