// The script parser: any bytes give either commands that the runner can play or one
// "Zeile N: ..." message, never a crash.
#include "demo/DemoRunner.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    DemoRunner runner(nullptr, DemoRunnerSettings{});
    if (!runner.parseScript(text)) {
        if (runner.error.rfind("Zeile ", 0) != 0 || !runner.commands.empty()) std::abort();
        return 0;
    }
    int32_t lastLine = 0;
    for (const ScriptCommand& c : runner.commands) {
        if (std::string(DemoScript::commandName(c.code)) == "?") std::abort();
        if (c.line <= lastLine) std::abort();
        lastLine = c.line;
        // Texts reach SDL and the controls whole: a NUL inside one would cut them.
        for (const std::string& a : c.args)
            if (a.find('\0') != std::string::npos) std::abort();
    }
    return 0;
}
