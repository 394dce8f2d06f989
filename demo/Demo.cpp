#include "demo/Demo.h"

#include <SDL.h>

Demo::Demo() = default;

// The engine's destructor tears the windows down.
Demo::~Demo() = default;

GuiWindow* Demo::mainRoot() const {
    return mainWindow ? mainWindow->root.get() : nullptr;
}

bool Demo::build() {
    mainWindow =
        createMainWindow("ZazOvadir", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth,
                         kHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE, kWindowColor);
    if (!mainWindow) return false;
    buildMenuBar();
    buildColumn1();
    buildColumn2();
    buildColumn3();
    buildColumn4();
    checkLayout(kLayoutColumnEnds);
    buildStatusBar();
    focusInitialEditor();
    return true;
}

int Demo::checkLayout(const std::array<int, 4>& columnEnds) {
    // The status bar's top edge is the threshold; the content area's end is what is printed.
    constexpr int kThreshold = 938;
    constexpr int kContentEnd = 928;
    int written = 0;
    for (int end : columnEnds) {
        if (end <= kThreshold) continue;
        SDL_Log("Demo-Layout: Spalte endet bei y=%d, unter dem Inhaltsbereich (%d)", end,
                kContentEnd);
        ++written;
    }
    return written;
}
