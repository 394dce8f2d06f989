// The file dialog on a directory of 100,000 files: refreshListing with filling the list, the
// same followed by the first draw, and one wheel step with the list's redraw; and F7 on the
// home directory to the dialog's first presented frame.
#include "controls/ListCtrl.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "dialogs/FileDialog.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kEntries = 100000;

class BenchApp : public ZazOvadir {
public:
    BenchApp() {
        framesPerSecond = 1000;
        mainWindow = createMainWindow("Bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 1900,
                                      960, SDL_WINDOW_SHOWN, {200, 200, 200, 255});
    }
    void renderWindow(AppWindow* w) override {
        if (!w->root) return;
        w->root->update(SDL_GetTicks());
        w->root->draw(w->sdlRenderer());
        SDL_RenderPresent(w->sdlRenderer());
        if (w != mainWindow && !dialogPresented) {
            dialogPresented = true;
            presentedAt = Clock::now();
        }
    }
    void dispatchEvent(AppWindow* w, GuiEvent& e) override {
        if (e.kind == GuiEvent::Command) {
            if (e.code == CMD_DIALOG_ENDED) closeWindowLater(e.windowId);
            return;
        }
        if (modalRoot) {
            GuiDialog::routeModal(w, e);
            return;
        }
        if (e.sdl && e.sdl->type == SDL_KEYDOWN && e.sdl->key.keysym.sym == SDLK_F7) {
            const char* home = std::getenv("HOME");
            showOpenFileDialog("Datei öffnen", 480, 420, home && *home ? home : "/", {});
        }
    }
    void queueKey(uint32_t windowId, SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = windowId;
        e.key.keysym.sym = key;
        e.key.state = SDL_PRESSED;
        injectedEvents.push_back(e);
    }

    bool dialogPresented = false;
    Clock::time_point presentedAt;
};

// A directory of kEntries empty files on a memory file system, made once per process.
const std::string& bigDirectory() {
    static std::string dir = [] {
        const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string path = base + "/tambergui-bench-XXXXXX";
        if (!mkdtemp(path.data())) return std::string();
        char name[32];
        for (int i = 0; i < kEntries; ++i) {
            std::snprintf(name, sizeof name, "/datei-%06d.txt", i);
            const int fd = ::open((path + name).c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0) ::close(fd);
        }
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(bigDirectory(), ec);
        });
        return path;
    }();
    return dir;
}

struct BigDialog {
    BenchApp app;
    GuiOpenFileDialog* dialog = nullptr;
    BigDialog() {
        if (!app.mainWindow || bigDirectory().empty()) return;
        dialog = showOpenFileDialog("Datei öffnen", 480, 420, bigDirectory(), {});
    }
    SDL_Renderer* renderer() const { return dialog->appWindow->sdlRenderer(); }
};

void BM_RefreshListing100k(benchmark::State& state) {
    BigDialog big;
    if (!big.dialog) return state.SkipWithError("no dialog");
    for (auto _ : state) {
        big.dialog->refreshListing();
        benchmark::DoNotOptimize(big.dialog->fileList->itemCount());
    }
    state.counters["rows"] = static_cast<double>(big.dialog->fileList->itemCount());
}

void BM_RefreshListingAndDraw100k(benchmark::State& state) {
    BigDialog big;
    if (!big.dialog) return state.SkipWithError("no dialog");
    for (auto _ : state) {
        big.dialog->refreshListing();
        big.dialog->draw(big.renderer());
    }
}

void BM_WheelStep100k(benchmark::State& state) {
    BigDialog big;
    if (!big.dialog) return state.SkipWithError("no dialog");
    GuiListCtrl* list = big.dialog->fileList;
    SDL_Renderer* r = big.renderer();
    big.dialog->draw(r);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = big.dialog->appWindow->windowId;
    wheel.wheel.mouseX = list->x + 50;
    wheel.wheel.mouseY = list->y + 50;
    int step = -1;
    for (auto _ : state) {
        // Down through the middle of the listing and back, one step at a time.
        if (list->scrollY > 40000 * list->rowHeight) step = 1;
        if (list->scrollY == 0) step = -1;
        wheel.wheel.y = step;
        GuiEvent e = GuiEvent::makeInput(wheel.wheel.windowID, &wheel);
        big.dialog->handleEvent(e);
        list->draw(r);
    }
}

void BM_OpenHomeToFirstFrame(benchmark::State& state) {
    BenchApp app;
    if (!app.mainWindow) return state.SkipWithError("no main window");
    app.runFrame();
    for (auto _ : state) {
        app.dialogPresented = false;
        app.queueKey(app.mainWindow->windowId, SDLK_F7);
        const auto start = Clock::now();
        while (!app.dialogPresented)
            app.runFrame();
        state.SetIterationTime(std::chrono::duration<double>(app.presentedAt - start).count());
        // Close it again outside the measured span.
        app.queueKey(app.modalRoot ? app.modalRoot->appWindow->windowId : 0, SDLK_ESCAPE);
        app.runFrame();
    }
}

BENCHMARK(BM_RefreshListing100k)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_RefreshListingAndDraw100k)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_WheelStep100k)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenHomeToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
