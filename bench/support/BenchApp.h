// The engine most benchmarks need: it draws nothing by itself (the benchmark draws what it
// measures) and hands input to the window's root.
#pragma once

#include "core/Engine.h"
#include "core/Window.h"

#include <sys/resource.h>

class BenchApp : public ZazOvadir {
public:
    void renderWindow(AppWindow*) override {}
    void dispatchEvent(AppWindow* w, GuiEvent& e) override {
        if (e.kind == GuiEvent::Input && w->root) w->root->handleEvent(e);
    }
};

// The program's one engine with a hidden main window of w x h, made on first use and kept
// to the end (the benchmarks share it).
inline BenchApp& hiddenBenchApp(int w, int h) {
    static BenchApp* instance = [w, h] {
        auto* a = new BenchApp();
        a->mainWindow = a->createMainWindow("bench", 0, 0, w, h, SDL_WINDOW_HIDDEN,
                                            SDL_Color{200, 200, 200, 255});
        return a;
    }();
    return *instance;
}

// Peak resident memory of this process so far.
inline double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;  // kilobytes on Linux
}
