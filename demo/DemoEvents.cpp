// The demo at run time: drawing each window, routing events, modal dialogs, the event log.
#include "demo/Demo.h"
#include "demo/DemoRecorder.h"

#include "core/Application.h"

#include "controls/Menus.h"

#include "controls/Labels.h"
#include "controls/ValueControls.h"

#include "dialogs/ColorPicker.h"
#include "dialogs/InputDialog.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kMainWindowId = 1;
constexpr uint32_t kQuitItem = 65534;
constexpr uint32_t kCounterId = 5001;

}  // namespace

void Demo::renderWindow(AppWindow* window) {
    uint32_t now = SDL_GetTicks();
    if (window->root) window->root->update(now);
    animate(window);
    // Every frame runs; each draws and presents only what changed since the one before.
    if (drawWindow(window)) presentWindow(window);
}

void Demo::animate(AppWindow*) {
    const double s = std::sin(static_cast<double>(SDL_GetTicks() - startTicks) / 300.0);
    if (gaugeV) gaugeV->setPercent(animPercent);
    if (gaugeH) gaugeH->setPercent(animPercent);
    animPercent += 1;
    if (animPercent > 100) animPercent = 0;
    animatePanels(s);
}

bool Demo::trackWindowState(const GuiEvent& e) {
    if (!e.sdl) return true;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_WINDOWEVENT) {
        if (s.window.event == SDL_WINDOWEVENT_CLOSE) return false;
        trackKeyboardFocus(*this, s);
    } else if (s.type == SDL_MOUSEBUTTONDOWN) {
        activeWindowId = s.button.windowID;
    }
    return true;
}

void Demo::dispatchEvent(AppWindow* window, GuiEvent& e) {
    if (e.kind == GuiEvent::Command)
        dispatchCommand(window, e);
    else if (modalRoot)
        dispatchModal(window, e);
    else
        dispatchInput(window, e);
}

void Demo::dispatchCommand(AppWindow* window, GuiEvent& e) {
    if (recorder) recorder->observeCommand(e);
    logEvent(e);
    if (e.code == CMD_DIALOG_ENDED) {
        handleDialogEnded(window, e);
        return;
    }
    if (e.code == CMD_ACTIVATED && e.id == kCounterId) {
        ++clickCounter;
        if (counterLabel) counterLabel->setText(std::to_string(clickCounter));
    }
    if (modalRoot) {
        dispatchModal(window, e);
        return;
    }
    if (!e.source) return;
    if (e.windowId == kMainWindowId) {
        if (e.code == CMD_MENU_ITEM && handleMenuCommand(window, e.id)) return;
        if ((e.id & 0xFFFF) == kQuitItem) quitRequested = true;
        return;
    }
    if ((e.id & 0xFFFF) == kQuitItem) closeWindowLater(e.windowId);
}

void Demo::dispatchInput(AppWindow* window, GuiEvent& e) {
    if (!trackWindowState(e)) return;
    if (e.sdl && e.sdl->type == SDL_KEYDOWN) {
        SDL_Keycode key = e.sdl->key.keysym.sym;
        if (key >= SDLK_F1 && key <= SDLK_F12) handleFunctionKey(window, key);
        // Alt+D opens the file menu; the key then goes on to the open menu, which ignores it.
        if (key == SDLK_d && (e.sdl->key.keysym.mod & KMOD_ALT) && menuBar)
            menuBar->openMenuByTitle("&Datei");
    }
    if (window->root) window->root->handleEvent(e);
}

void Demo::dispatchModal(AppWindow* window, GuiEvent& e) {
    if (!trackWindowState(e)) return;
    GuiDialog::routeModal(window, e);
}

void Demo::handleDialogEnded(AppWindow* window, GuiEvent& e) {
    static const char* const kWords[] = {"Abbrechen", "OK", "Abbrechen", "Ja", "Nein"};
    const char* word = e.id <= 4 ? kWords[e.id] : "Abbrechen";
    if (logFileDialogEnded(e)) {
        // the file dialogs' line is written
    } else if (auto* picker = dynamic_cast<GuiColorPickerDialog*>(e.source)) {
        const bool chosen = e.id == 1 && picker->accepted;
        appendLog(std::string(picker->className()) + ": " +
                  (chosen ? formatHexColor(picker->color) : "abgebrochen"));
    } else if (auto* input = dynamic_cast<GuiInputDialog*>(e.source)) {
        std::string text = input->value();
        std::replace(text.begin(), text.end(), '\n', '|');
        const bool entered = e.id == 1 && input->accepted;
        appendLog(std::string(input->className()) + ": " + (entered ? text : "abgebrochen"));
    } else {
        appendLog(std::string("Dialog: ") + word);
    }
    if (window->root && window->root.get() == modalRoot) {
        modalRoot = nullptr;
        scheduleRedraw();
        window->root->postCommand(CMD_DIALOG_ENDED, 4711, 0, window->root.get());
        activeEditable = savedEditable;
    }
    closeWindowLater(e.windowId);
}
