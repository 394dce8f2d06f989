// The engine a fuzz target runs its input through: headless SDL, the project's font, no drawing
// and no events.
#pragma once

#include "core/Engine.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

class FuzzApp : public ZazOvadir {
public:
    FuzzApp() { diagnostics = false; }
    void renderWindow(AppWindow*) override {}
    void dispatchEvent(AppWindow*, GuiEvent&) override {}
};

// Starts the engine for the whole run. The font comes from the system package when the run
// directory does not hold it.
inline FuzzApp* startFuzzEngine() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    static std::string fontBytes;
    for (const char* path :
         {"data/fonts/Vera.ttf", "/usr/share/fonts/truetype/ttf-bitstream-vera/Vera.ttf"}) {
        std::ifstream in(path, std::ios::binary);
        if (!in) continue;
        fontBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        break;
    }
    if (!fontBytes.empty()) ZazOvadir::setFontData(fontBytes.data(), fontBytes.size());
    return new FuzzApp();
}
