// Entry point of the demo: build the catalogue, run the main loop, map the script's end to
// the exit code.
#include "demo/Demo.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitScriptFailed = 1;
constexpr int kExitBadOption = 2;
constexpr int kExitStartFailed = 3;

}  // namespace

int main(int argc, char** argv) {
    try {
        auto demo = std::make_unique<Demo>();
        if (!demo->parseOptions(argc, argv)) return kExitBadOption;
        if (!demo->build()) {
            SDL_Log("Demo: Hauptfenster konnte nicht angelegt werden");
            return kExitStartFailed;
        }
        demo->run();
        bool scriptFailed = false;
        demo.reset();
        return scriptFailed ? kExitScriptFailed : kExitOk;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tambergui-demo: %s\n", e.what());
        return kExitStartFailed;
    }
}
