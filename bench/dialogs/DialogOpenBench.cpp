// From the key press to the dialog's first presented frame: the key is queued, the main loop
// runs frames until the new dialog window has been presented once; frames and time are
// counted up to that present. The main window is demo-sized.
#include "core/Engine.h"
#include "core/Window.h"
#include "dialogs/InputDialog.h"
#include "dialogs/MessageBox.h"

#include "support/Headless.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

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
        if (!e.sdl || e.sdl->type != SDL_KEYDOWN) return;
        auto* dialog = dynamic_cast<GuiDialog*>(w->root.get());
        if (modalRoot) {
            if (dialog == modalRoot && e.sdl->key.keysym.sym == SDLK_ESCAPE) dialog->cancel();
            return;
        }
        if (e.sdl->key.keysym.sym == SDLK_F4)
            showMessageBox(
                "Das ist nur eine simple MessageBox mit einem sehr langen Text um zu sehen ob "
                "die Zeilentrennung gut funktioniert!\n\nHier geht es weiter!",
                "Caption", MB_CENTER | MB_ICON_QUESTION | MB_YES | MB_NO, 200, 800);
        else if (e.sdl->key.keysym.sym == SDLK_F5)
            showInputDialog("Beschriftung:", "Eingabe", "Erste Zeile", INPUT_MULTILINE);
    }
    void queueKey(SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = mainWindow->windowId;
        e.key.keysym.sym = key;
        e.key.state = SDL_PRESSED;
        injectedEvents.push_back(e);
    }

    bool dialogPresented = false;
    Clock::time_point presentedAt;
};

void openToFirstFrame(benchmark::State& state, SDL_Keycode key) {
    BenchApp app;
    if (!app.mainWindow) {
        state.SkipWithError("no main window");
        return;
    }
    app.runFrame();
    int64_t frames = 0;
    for (auto _ : state) {
        app.dialogPresented = false;
        app.queueKey(key);
        const auto start = Clock::now();
        while (!app.dialogPresented) {
            app.runFrame();
            ++frames;
        }
        state.SetIterationTime(std::chrono::duration<double>(app.presentedAt - start).count());
        // Close it again outside the measured span.
        SDL_Event esc{};
        esc.type = SDL_KEYDOWN;
        esc.key.windowID = app.modalRoot ? app.modalRoot->appWindow->windowId : 0;
        esc.key.keysym.sym = SDLK_ESCAPE;
        app.injectedEvents.push_back(esc);
        app.runFrame();
    }
    state.counters["frames"] =
        benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kAvgIterations);
}

void BM_MessageBoxKeyToFirstFrame(benchmark::State& state) {
    openToFirstFrame(state, SDLK_F4);
}
void BM_InputDialogKeyToFirstFrame(benchmark::State& state) {
    openToFirstFrame(state, SDLK_F5);
}

BENCHMARK(BM_MessageBoxKeyToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InputDialogKeyToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runHeadlessBenchmarks(argc, argv, BenchRenderer::Software);
}
