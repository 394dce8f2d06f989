// What a program showing a megabyte of text costs: peak resident memory (ru_maxrss) and the
// time to set the text and present the first frame, in an 800 x 600 window holding one
// multi-line text control.
//   text_memory [wrap]
#include "core/Engine.h"
#include "core/Window.h"
#include "text/TextCtrl.h"

#include "support/GermanText.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

class Probe : public ZazOvadir {
public:
    void renderWindow(AppWindow*) override {}
    void dispatchEvent(AppWindow*, GuiEvent&) override {}
};

double peakMiB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool wrap = argc > 1 && std::strcmp(argv[1], "wrap") == 0;
    Probe app;
    app.diagnostics = false;
    app.mainWindow =
        app.createMainWindow("text_memory", 0, 0, 800, 600, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
    SDL_Renderer* r = app.mainWindow->sdlRenderer();
    const uint32_t flags = TEXT_MULTILINE | (wrap ? TEXT_WORDWRAP : 0);
    GuiTextCtrl field(nullptr, 1, 0, 0, 800, 600, {255, 255, 255, 255}, app.getFtFace(), flags);
    SDL_RenderPresent(r);
    std::string text = germanMegabyte();
    const double before = peakMiB();
    const auto start = std::chrono::steady_clock::now();
    field.setValue(text);
    field.draw(r);
    SDL_RenderPresent(r);
    const auto end = std::chrono::steady_clock::now();
    std::printf(
        "%s: peak %.1f MiB (%.1f MiB before the text was set), set and first draw %.2f ms\n",
        wrap ? "word wrap" : "no wrap", peakMiB(), before,
        std::chrono::duration<double, std::milli>(end - start).count());
    return 0;
}
