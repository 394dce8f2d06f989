// Start-up options (--window-size) and the desktop-fullscreen hot key.
#include "core/Engine.h"
#include "core/Window.h"

#include <cstring>
#include <locale>
#include <sstream>

namespace {

constexpr const char* kSizeOption = "--window-size";
constexpr int kMaxWindowSide = 8192;
// Shift, Ctrl, Alt and GUI; Num Lock, Caps Lock and Mode do not block the hot key.
constexpr uint16_t kBlockingModifiers = 0xFC3;

}  // namespace

bool ZazOvadir::parseWindowSize(const std::string& text, int& w, int& h, bool& fullscreen) {
    if (text == "fullscreen") {
        w = h = 0;
        fullscreen = true;
        return true;
    }
    if (text.find_first_not_of("0123456789x") != std::string::npos) return false;
    std::istringstream is(text);
    is.imbue(std::locale::classic());
    long long pw = 0, ph = 0;
    char sep = 0;
    if (!(is >> pw) || !(is >> sep) || !(is >> ph)) return false;
    char extra = 0;
    if (sep != 'x' || (is >> extra)) return false;
    if (pw < 1 || ph < 1 || pw > kMaxWindowSide || ph > kMaxWindowSide) return false;
    w = static_cast<int>(pw);
    h = static_cast<int>(ph);
    fullscreen = false;
    return true;
}

bool ZazOvadir::parseOptions(int& argc, char** argv) {
    if (argc < 2) {
        argc = 1;
        argv[1] = nullptr;
        return true;
    }
    int kept = 1;
    bool seen = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kSizeOption) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        if (seen) {
            SDL_Log("--window-size darf nur einmal angegeben werden");
            return false;
        }
        seen = true;
        int w = 0, h = 0;
        bool fullscreen = false;
        if (i + 1 >= argc || !parseWindowSize(argv[i + 1], w, h, fullscreen)) {
            SDL_Log("--window-size braucht BREITExHOEHE (1 bis 8192) oder fullscreen");
            return false;
        }
        requestedWidth = w;
        requestedHeight = h;
        fullscreenRequested = fullscreen;
        ++i;
    }
    argc = kept;
    argv[kept] = nullptr;
    return true;
}

void ZazOvadir::applyWindowMode() {
    if (!mainWindow) return;
    windowModeApplied = true;
    SDL_Window* sw = mainWindow->sdlWindow.get();
    bool applied = false;
    if (fullscreenRequested) {
        if (SDL_SetWindowFullscreen(sw, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            SDL_Log("Desktop-Vollbild fehlgeschlagen: %s", SDL_GetError());
        applied = true;
    } else if (requestedWidth >= 1 && requestedHeight >= 1) {
        SDL_SetWindowSize(sw, requestedWidth, requestedHeight);
        int display = SDL_GetWindowDisplayIndex(sw);
        if (display < 0) display = 0;
        SDL_SetWindowPosition(sw, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
        applied = true;
    }
    if (!applied) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(sw, &w, &h);
    handleResize(mainWindow, w, h);
    if (mainWindow->root) mainWindow->root->resize(mainWindow->sdlRenderer(), w, h);
}

void ZazOvadir::toggleFullscreen() {
    if (!mainWindow) return;
    SDL_Window* sw = mainWindow->sdlWindow.get();
    bool isFullscreen = (SDL_GetWindowFlags(sw) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    if (SDL_SetWindowFullscreen(sw, isFullscreen ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        SDL_Log("Fenstermodus konnte nicht gewechselt werden: %s", SDL_GetError());
}

bool ZazOvadir::filterFullscreenKey(const SDL_Event& e) {
    if (e.type != SDL_KEYDOWN) return false;
    if (fullscreenKey == 0 || e.key.keysym.sym != fullscreenKey) return false;
    if (e.key.keysym.mod & kBlockingModifiers) return false;
    if (!mainWindow || e.key.windowID != mainWindow->windowId) return false;
    if (modalRoot || scriptRunner) return false;
    if (!e.key.repeat) toggleFullscreen();
    return true;
}
