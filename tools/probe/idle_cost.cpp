// What an application drawing on demand costs while nothing changes, run in a real X server
// (SDL's x11 driver) by tools/measure-idle.sh. A window of about 60 widgets; after a second of
// settling, the process's CPU time and voluntary context switches (wake-ups) are read over the
// measured period.
//   idle_cost idle SECONDS     nothing changes
//   idle_cost caret SECONDS    a focused text field blinks its caret
//   idle_cost latency COUNT    COUNT typed characters, each from an idle loop: the time from
//                              the event entering SDL's queue to its frame being presented and
//                              seen by the X server (SDL_RenderPresent and XSync returned)
//   idle_cost scroll COUNT     the same for COUNT wheel steps over the list
// Idle and caret also print the median time a drawn frame takes (draw, present, XSync).
// PROBE_FULL_DRAW=1 draws every change as a full redraw; PROBE_FULL_PRESENT=1 presents the
// whole window also when only a part was drawn.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "core/Application.h"
#include "text/TextCtrl.h"

// After the toolkit's headers: it pulls in Xlib's macros.
#include <SDL_syswm.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Usage {
    double cpuMs;
    long wakeups;
};

Usage usageNow() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(u.ru_utime) + ms(u.ru_stime), u.ru_nvcsw};
}

class Probe : public GuiApplication {
public:
    Probe() {
        diagnostics = false;
        drawDamageOnly = !std::getenv("PROBE_FULL_DRAW");
        presentDamageOnly = !std::getenv("PROBE_FULL_PRESENT");
        mainWindow =
            createMainWindow("idle_cost", 0, 0, 800, 600, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
        GuiWindow* root = mainWindow->root.get();
        TTF_Font* font = getDefaultFont();
        for (int i = 0; i < 28; ++i) {
            const int col = i % 4, row = i / 4;
            root->addChild(new GuiLabel(nullptr, 0, 20 + col * 190, 20 + row * 50, 80, 20,
                                        {0, 0, 0, 255}, "Feld " + std::to_string(i), font));
            root->addChild(new GuiButton(nullptr, 100 + i, 100 + col * 190, 16 + row * 50, 90, 28,
                                         {200, 200, 200, 255}, "Taste", font, 0));
        }
        field = new GuiTextCtrl(nullptr, 0, 20, 380, 360, 28, {255, 255, 255, 255}, getFtFace(), 0);
        root->addChild(field);
        list = new GuiListCtrl(nullptr, 0, 400, 380, 380, 200, {255, 255, 255, 255}, font);
        for (uint32_t i = 0; i < 10000; ++i)
            list->addItem(i, "Zeile " + std::to_string(i));
        root->addChild(list);
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(mainWindow->sdlWindow.get(), &info) &&
            info.subsystem == SDL_SYSWM_X11)
            display = info.info.x11.display;
    }

    void renderWindow(AppWindow* window) override {
        if (!window->root) return;
        window->root->update(ticks());
        if (!needsRedraw()) return;
        noteDrawing();
        const Clock::time_point start = Clock::now();
        if (!drawWindow(window)) return;
        presentWindow(window);
        if (display) XSync(display, False);
        ++presents;
        frameUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        lastPresent = Clock::now().time_since_epoch().count();
        if (field->text.size() != seenLength) {
            seenLength = field->text.size();
            presentedAt = Clock::now().time_since_epoch().count();
        }
    }

    void focusField() {
        mainWindow->root->setFocus(field);
        keyboardFocused = true;
    }

    GuiTextCtrl* field = nullptr;
    Display* display = nullptr;
    int presents = 0;
    size_t seenLength = 0;
    std::atomic<Clock::rep> presentedAt{0};  // read by the typing thread
    std::atomic<Clock::rep> lastPresent{0};
    std::vector<double> frameUs;
    GuiListCtrl* list = nullptr;
};

int measureIdle(Probe& app, bool caret, double seconds) {
    if (caret) app.focusField();
    Usage start{};
    int presentsAtStart = 0;
    app.addTimer(1000, [&] {
        start = usageNow();
        presentsAtStart = app.presents;
    });
    app.addTimer(1000 + static_cast<uint32_t>(seconds * 1000), [&] {
        Usage end = usageNow();
        std::vector<double> us = app.frameUs;
        std::sort(us.begin(), us.end());
        std::printf("%s %.0f s: cpu-ms %.2f wakeups %ld (%.1f/s) presents %d frame-us %.0f\n",
                    caret ? "caret" : "idle", seconds, end.cpuMs - start.cpuMs,
                    end.wakeups - start.wakeups, (end.wakeups - start.wakeups) / seconds,
                    app.presents - presentsAtStart, us.empty() ? 0.0 : us[us.size() / 2]);
        app.quitRequested = true;
    });
    app.run();
    return 0;
}

int measureLatency(Probe& app, int count) {
    app.focusField();
    const uint32_t windowId = app.mainWindow->windowId;
    std::vector<double> us;
    // Typed from another thread, as input arrives while the loop sleeps.
    std::thread typist([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (int i = 0; i < count; ++i) {
            SDL_Event e{};
            e.type = SDL_TEXTINPUT;
            e.text.windowID = windowId;
            std::strcpy(e.text.text, "a");
            const Clock::time_point sent = Clock::now();
            SDL_PushEvent(&e);
            // Long enough for the loop to be idle again (and off the caret's own frames).
            std::this_thread::sleep_for(std::chrono::milliseconds(310));
            const Clock::time_point seen{Clock::duration{app.presentedAt.load()}};
            us.push_back(std::chrono::duration<double, std::micro>(seen - sent).count());
        }
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    app.run();
    typist.join();
    std::sort(us.begin(), us.end());
    std::printf("latency over %zu keys: median %.0f us, min %.0f us, max %.0f us\n", us.size(),
                us[us.size() / 2], us.front(), us.back());
    return 0;
}

int measureScroll(Probe& app, int count) {
    const uint32_t windowId = app.mainWindow->windowId;
    const SDL_Rect at = app.list->rect();
    std::vector<double> us;
    std::thread scroller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (int i = 0; i < count; ++i) {
            SDL_Event e{};
            e.type = SDL_MOUSEWHEEL;
            e.wheel.windowID = windowId;
            e.wheel.y = i % 40 < 20 ? -1 : 1;
            e.wheel.mouseX = at.x + at.w / 2;
            e.wheel.mouseY = at.y + at.h / 2;
            const Clock::time_point sent = Clock::now();
            SDL_PushEvent(&e);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            const Clock::time_point seen{Clock::duration{app.lastPresent.load()}};
            if (seen > sent)
                us.push_back(std::chrono::duration<double, std::micro>(seen - sent).count());
        }
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    // The pointer rests over the list, as when a user scrolls.
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = windowId;
    motion.motion.x = at.x + at.w / 2;
    motion.motion.y = at.y + at.h / 2;
    SDL_PushEvent(&motion);
    app.run();
    scroller.join();
    std::sort(us.begin(), us.end());
    if (us.empty()) return 1;
    std::printf("scroll over %zu steps: median %.0f us, min %.0f us, max %.0f us\n", us.size(),
                us[us.size() / 2], us.front(), us.back());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: idle_cost idle|caret SECONDS | latency|scroll COUNT\n");
        return 2;
    }
    const std::string mode = argv[1];
    Probe app;
    if (mode == "idle" || mode == "caret")
        return measureIdle(app, mode == "caret", std::stod(argv[2]));
    if (mode == "latency") return measureLatency(app, std::max(1, std::stoi(argv[2])));
    if (mode == "scroll") return measureScroll(app, std::max(1, std::stoi(argv[2])));
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
