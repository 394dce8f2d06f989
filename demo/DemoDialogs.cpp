// The dialogs reached from the menus and the function keys.
#include "demo/Demo.h"

void Demo::handleFunctionKey(AppWindow*, SDL_Keycode) {
    // F3, F4, F7, F8 and F9 open their dialogs once those exist; F1, F2, F5, F6 do nothing.
}

void Demo::showOpenDialog(AppWindow*, const std::vector<std::string>&) {}
void Demo::showSaveDialog(AppWindow*) {}
void Demo::showColorDialog(AppWindow*) {}
void Demo::openTestDialog(AppWindow*) {}
