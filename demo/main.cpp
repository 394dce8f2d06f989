// Entry point of the demo: build the catalogue, run the main loop, map the script's end to
// the exit code.
#include "controls/ValueControls.h"
#include "demo/Demo.h"
#include "demo/DemoRecorder.h"
#include "demo/DemoRunner.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitScriptFailed = 1;
constexpr int kExitBadOption = 2;
constexpr int kExitStartFailed = 3;
constexpr int kExitDamageMismatch = 4;

// The script named by GUI_DEMO_SCRIPT; empty means no scripted run.
std::string scriptPath() {
    const char* path = std::getenv("GUI_DEMO_SCRIPT");
    return path ? path : "";
}

// Says that every frame is checked against a full redraw, and on which renderer.
void announceDamageCheck(Demo& demo) {
    SDL_RendererInfo info{};
    if (!demo.mainWindow || SDL_GetRendererInfo(demo.mainWindow->sdlRenderer(), &info) != 0)
        info.name = "?";
    SDL_Log("Demo: Schadenprüfung an, Renderer %s", info.name);
}

}  // namespace

int main(int argc, char** argv) {
    // Declared first so they outlive the demo: the engine's destructor ends the runner's run,
    // and the recorder writes what it has even when the demo ends by an exception.
    std::unique_ptr<DemoRecorder> recorder;
    std::unique_ptr<DemoRunner> runner;
    try {
        auto demo = std::make_unique<Demo>();
        runner = std::make_unique<DemoRunner>(demo.get());
        demo->runner = runner.get();
        if (!demo->parseOptions(argc, argv)) return kExitBadOption;
        const std::string script = scriptPath();
        // A bad script ends the program before any window opens.
        if (!script.empty() && !runner->loadScript(script)) {
            SDL_Log("%s", runner->error.c_str());
            return kExitScriptFailed;
        }
        const std::string recordPath = DemoRecorder::pathFromEnvironment();
        // An unwritable file is reported now; the demo runs on without it.
        if (!recordPath.empty()) recorder = std::make_unique<DemoRecorder>(demo.get(), recordPath);
        if (!demo->build()) {
            SDL_Log("Demo: Hauptfenster konnte nicht angelegt werden");
            return kExitStartFailed;
        }
        if (demo->verifyDamage) announceDamageCheck(*demo);
        if (!script.empty()) runner->attach();
        if (recorder && recorder->fileOpen()) {
            demo->recorder = recorder.get();
            // The gauges move with the animation, not with the user.
            recorder->exclude(demo->gaugeH);
            recorder->exclude(demo->gaugeV);
            if (!script.empty()) recorder->followScript();
            recorder->attach();
        }
        demo->run();
        // Every way the loop ends (window closed, "Beenden", SIGTERM) comes here with the
        // windows still open, so the final values can be checked.
        if (recorder) recorder->finish();
        const uint32_t mismatches = demo->damageMismatches;
        demo.reset();
        // With TAMBERGUI_VERIFY_DAMAGE=1 every frame was checked against a full redraw.
        if (mismatches > 0) {
            SDL_Log("Demo: %u Bilder weichen vom vollständigen Zeichnen ab", mismatches);
            return kExitDamageMismatch;
        }
        return runner->state == DemoRunner::Failed ? kExitScriptFailed : kExitOk;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tambergui-demo: %s\n", e.what());
        return kExitStartFailed;
    }
}
