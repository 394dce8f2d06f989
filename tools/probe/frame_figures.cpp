// The frame figures of a list and a text program in a real X server (SDL's x11 driver), run by
// tools/measure-frames.sh. One 800 x 600 window per run; each figure is the time from the
// change (an event pushed, rows added, a text set) until the main loop has nothing left to do
// and the X server has what was presented (XSync on SDL's own display returned). The loop runs
// its real frames with a clock that never sleeps, so a figure is the work, not the frame pacing.
//   frame_figures list ROWS          fill, first draw, scroll step (median of 50 wheel notches)
//   frame_figures text nowrap|wrap   set a 1 MB text of 11,011 lines and draw it
//   frame_figures append nowrap|wrap append a line to a 100,000-line text (median of 50)
//   frame_figures widgets            a window of 64 widgets, drawn
//   frame_figures empty              the same window without widgets (what the toolkit adds)
// Every run ends with the process's peak resident memory and what is resident by kind.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "controls/ValueControls.h"
#include "core/Application.h"
#include "text/TextCtrl.h"

// After the toolkit's headers: it pulls in Xlib's macros.
#include <SDL_syswm.h>
#include <dlfcn.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

long presents = 0;

}  // namespace

// Counted, so that a figure whose frame presented nothing is reported instead of trusted.
extern "C" void SDL_RenderPresent(SDL_Renderer* r) {
    using Present = void (*)(SDL_Renderer*);
    static Present real = reinterpret_cast<Present>(dlsym(RTLD_NEXT, "SDL_RenderPresent"));
    real(r);
    ++presents;
}

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

// The process's CPU time: on a loaded machine it says what a figure cost this process, apart
// from the time it waited for a core (the X server's own work is not in it).
double cpuMsNow() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// SDL's ticks, but the loop's pacing and idle waits return at once while measuring.
class MeasuringClock : public IClock {
public:
    uint32_t ticks() override { return SDL_GetTicks(); }
    void delay(uint32_t ms) override {
        if (pacing) SDL_Delay(ms);
    }
    void waitForEvent(uint32_t ms) override {
        if (pacing) SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(ms, 50)));
    }
    bool pacing = true;
};

class Program : public GuiApplication {
public:
    Program() {
        diagnostics = false;
        setClock(&clock);
        mainWindow = createMainWindow("frame_figures", 0, 0, 800, 600, SDL_WINDOW_SHOWN,
                                      {255, 255, 255, 255});
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(mainWindow->sdlWindow.get(), &info) &&
            info.subsystem == SDL_SYSWM_X11)
            display = info.info.x11.display;
        beginRun();
    }
    ~Program() override {
        endRun();
        setClock(nullptr);
    }

    GuiWindow* root() { return mainWindow->root.get(); }

    // Runs the loop with its usual pacing for a while: the window is mapped and shown.
    void settle(uint32_t ms) {
        clock.pacing = true;
        const uint32_t until = SDL_GetTicks() + ms;
        while (!SDL_TICKS_PASSED(SDL_GetTicks(), until))
            runFrame();
    }

    // Applies the change, then runs frames until nothing is due and no event waits; the time
    // until the X server has the result.
    double measure(const std::function<void()>& change, long& presented) {
        clock.pacing = false;
        const long before = presents;
        const double cpu0 = cpuMsNow();
        const Clock::time_point t0 = Clock::now();
        change();
        do {
            runFrame();
        } while (frameDue() ||
                 SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0);
        if (display) XSync(display, False);
        const double ms = msSince(t0);
        lastCpuMs = cpuMsNow() - cpu0;
        presented = presents - before;
        clock.pacing = true;
        return ms;
    }

    void pushWheel(int px, int py, int notches) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = mainWindow->windowId;
        e.wheel.y = notches;
        e.wheel.mouseX = px;
        e.wheel.mouseY = py;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&e);
    }

    MeasuringClock clock;
    Display* display = nullptr;
    double lastCpuMs = 0;  // of the last measure
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The peak, and what is resident at the end by kind: the process's own memory (anonymous),
// pages of mapped files (mostly shared libraries) and shared memory (the X server's image of
// the window on the software path).
void reportPeakMemory() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("peak-memory-mib %.1f", u.ru_maxrss / 1024.0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        const std::pair<const char*, const char*> kinds[] = {
            {"RssAnon:", "anon"}, {"RssFile:", "file"}, {"RssShmem:", "shmem"}};
        for (const auto& [field, name] : kinds) {
            if (line.rfind(field, 0) != 0) continue;
            const long kb = std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
            std::printf(" resident-%s-mib %.1f", name, kb / 1024.0);
        }
    }
    std::printf("\n");
}

// Measures one change and prints its figure.
void report(Program& app, const char* figure, const std::function<void()>& change) {
    long presented = 0;
    const double ms = app.measure(change, presented);
    std::printf("%s-ms %.3f %s-cpu-ms %.3f presents %ld\n", figure, ms, figure, app.lastCpuMs,
                presented);
    if (presented == 0) std::printf("warning: %s presented nothing\n", figure);
}

// Median of count scroll steps of one wheel notch (one row) down.
void scrollSteps(Program& app, int count) {
    std::vector<double> steps, cpu;
    long presented = 0, total = 0;
    for (int i = 0; i < count; ++i) {
        steps.push_back(app.measure([&] { app.pushWheel(400, 300, -1); }, presented));
        cpu.push_back(app.lastCpuMs);
        total += presented;
    }
    std::printf("scroll-step-ms %.3f scroll-step-cpu-ms %.3f presents-per-step %.2f\n",
                median(steps), median(cpu), static_cast<double>(total) / count);
}

int runList(Program& app, int rows) {
    auto* list =
        new GuiListCtrl(nullptr, 0, 0, 0, 800, 600, {255, 255, 255, 255}, app.getDefaultFont());
    app.root()->addChild(list);
    app.settle(300);
    const double cpu0 = cpuMsNow();
    const Clock::time_point t0 = Clock::now();
    for (int i = 0; i < rows; ++i)
        list->addItem(static_cast<uint32_t>(i), "Zeile " + std::to_string(i));
    std::printf("fill-ms %.3f fill-cpu-ms %.3f\n", msSince(t0), cpuMsNow() - cpu0);
    report(app, "first-draw", [] {});
    scrollSteps(app, 50);
    return 0;
}

// About 1 MB in lines of 48 to 131 characters: words of a fixed vocabulary, deterministic.
std::string makeText(int lines, size_t& bytes) {
    static const char* const words[] = {"Fenster",  "Zeile",   "und",  "die",  "Liste",
                                        "zeichnet", "schnell", "Text", "mit",  "Rollbalken",
                                        "der",      "Knopf",   "ein",  "Wort", "Absatz"};
    std::string text;
    text.reserve(static_cast<size_t>(lines) * 92);
    size_t w = 0;
    for (int i = 0; i < lines; ++i) {
        const size_t length = 48 + (static_cast<size_t>(i) * 37) % 84;
        const size_t start = text.size();
        while (text.size() - start < length) {
            if (text.size() > start) text += ' ';
            text += words[w++ % std::size(words)];
        }
        text += '\n';
    }
    bytes = text.size();
    return text;
}

int runText(Program& app, bool wrap) {
    const uint32_t flags = TEXT_MULTILINE | (wrap ? TEXT_WORDWRAP : 0u);
    auto* text =
        new GuiTextCtrl(nullptr, 0, 0, 0, 800, 600, {255, 255, 255, 255}, app.getFtFace(), flags);
    app.root()->addChild(text);
    app.settle(300);
    size_t bytes = 0;
    const std::string content = makeText(11011, bytes);
    std::printf("text-bytes %zu\n", bytes);
    report(app, "set-and-first-draw", [&] { text->setText(content); });
    return 0;
}

int runAppend(Program& app, bool wrap) {
    const uint32_t flags = TEXT_MULTILINE | (wrap ? TEXT_WORDWRAP : 0u);
    auto* text =
        new GuiTextCtrl(nullptr, 0, 0, 0, 800, 600, {255, 255, 255, 255}, app.getFtFace(), flags);
    app.root()->addChild(text);
    size_t bytes = 0;
    text->setText(makeText(100000, bytes));
    app.settle(300);
    std::vector<double> steps, cpu;
    long presented = 0, total = 0;
    for (int i = 0; i < 50; ++i) {
        steps.push_back(app.measure(
            [&] { text->appendText("Angehängte Zeile " + std::to_string(i) + "\n"); }, presented));
        cpu.push_back(app.lastCpuMs);
        total += presented;
    }
    std::printf("append-ms %.3f append-cpu-ms %.3f presents-per-append %.2f\n", median(steps),
                median(cpu), static_cast<double>(total) / 50);
    return 0;
}

// 64 widgets of the common kinds, as a form would have them.
int runWidgets(Program& app) {
    GuiWindow* root = app.root();
    TTF_Font* font = app.getDefaultFont();
    const SDL_Color grey{220, 220, 220, 255}, white{255, 255, 255, 255}, black{0, 0, 0, 255};
    for (int i = 0; i < 16; ++i) {
        const int col = i % 4, row = i / 4;
        root->addChild(new GuiLabel(nullptr, 0, 10 + col * 195, 10 + row * 36, 80, 20, black,
                                    "Feld " + std::to_string(i), font));
        root->addChild(new GuiButton(nullptr, 100 + i, 95 + col * 195, 6 + row * 36, 90, 28, grey,
                                     "Taste " + std::to_string(i), font, 0));
    }
    for (int i = 0; i < 8; ++i) {
        const int col = i % 4, row = i / 4;
        root->addChild(new GuiCheckBox(nullptr, 200 + i, 10 + col * 195, 160 + row * 30, 150, 24,
                                       grey, "Auswahl " + std::to_string(i), font));
        auto* field = new GuiTextCtrl(nullptr, 300 + i, 10 + col * 195, 230 + row * 34, 180, 28,
                                      white, app.getFtFace(), 0);
        field->setText("Eingabe " + std::to_string(i));
        root->addChild(field);
    }
    for (int i = 0; i < 4; ++i) {
        root->addChild(new GuiSlider(nullptr, 400 + i, 10 + i * 195, 310, 180, 24, grey,
                                     {160, 160, 160, 255}, {80, 80, 80, 255}, 0, 100, 25 * i, 0));
        root->addChild(new GuiGauge(nullptr, 500 + i, 10 + i * 195, 345, 180, 22, white,
                                    {0, 120, 215, 255}, black, font, 0));
        root->addChild(new GuiSpinBox(nullptr, 600 + i, 10 + i * 195, 380, 180, 26, white, black,
                                      black, font, 0, 100, 10 * i, 1));
    }
    for (int i = 0; i < 2; ++i) {
        auto* list = new GuiListCtrl(nullptr, 700 + i, 10 + i * 390, 420, 380, 120, white, font);
        for (int k = 0; k < 100; ++k)
            list->addItem(static_cast<uint32_t>(k), "Eintrag " + std::to_string(k));
        root->addChild(list);
        auto* combo =
            new GuiComboBox(nullptr, 800 + i, 10 + i * 390, 550, 380, 28, white, black, font, 150);
        for (int k = 0; k < 10; ++k)
            combo->addItem(static_cast<uint32_t>(k), "Wahl " + std::to_string(k));
        root->addChild(combo);
    }
    std::printf("widgets %zu\n", root->childList().size());
    app.settle(300);
    report(app, "redraw", [&] { root->invalidate(); });
    return 0;
}

int runEmpty(Program& app) {
    app.settle(300);
    report(app, "redraw", [&] { app.root()->invalidate(); });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::string arg = argc > 2 ? argv[2] : "";
    int rc = 2;
    {
        Program app;
        if (mode == "list" && !arg.empty())
            rc = runList(app, std::max(1, std::stoi(arg)));
        else if (mode == "text" && (arg == "nowrap" || arg == "wrap"))
            rc = runText(app, arg == "wrap");
        else if (mode == "append" && (arg == "nowrap" || arg == "wrap"))
            rc = runAppend(app, arg == "wrap");
        else if (mode == "widgets")
            rc = runWidgets(app);
        else if (mode == "empty")
            rc = runEmpty(app);
        else
            std::fprintf(stderr,
                         "usage: frame_figures list ROWS | text nowrap|wrap | append nowrap|wrap "
                         "| widgets | empty\n");
        // While the window stands: what it holds is part of the figure.
        if (rc == 0) reportPeakMemory();
    }
    return rc;
}
