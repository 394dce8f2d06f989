#include "core/Application.h"

GuiApplication::GuiApplication() {
    redrawOnDemand = true;
}

void GuiApplication::renderWindow(AppWindow* window) {
    if (!window->root) return;
    window->root->update(ticks());
    if (!needsRedraw()) return;
    noteDrawing();
    if (drawWindow(window)) presentWindow(window);
}

void trackKeyboardFocus(ZazOvadir& app, const SDL_Event& s) {
    if (s.type != SDL_WINDOWEVENT) return;
    if (s.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        app.keyboardFocused = true;
        app.activeWindowId = s.window.windowID;
    } else if (s.window.event == SDL_WINDOWEVENT_FOCUS_LOST &&
               s.window.windowID == app.activeWindowId) {
        app.keyboardFocused = false;
        app.activeWindowId = 0;
    }
}

void GuiApplication::dispatchEvent(AppWindow* window, GuiEvent& e) {
    if (e.kind == GuiEvent::Command) {
        if (e.code == CMD_DIALOG_ENDED) {
            closeWindowLater(e.windowId);
            onCommand(window, e);
        } else if (modalRoot && window->root.get() == modalRoot) {
            GuiDialog::routeModal(window, e);
        } else {
            onCommand(window, e);
        }
        return;
    }
    const SDL_Event* s = e.sdl;
    if (s && s->type == SDL_WINDOWEVENT) {
        // The engine has already asked to quit; nothing else to do for a close.
        if (s->window.event == SDL_WINDOWEVENT_CLOSE) return;
        trackKeyboardFocus(*this, *s);
    }
    if (modalRoot) {
        GuiDialog::routeModal(window, e);
        return;
    }
    onInput(window, e);
}

void GuiApplication::onCommand(AppWindow*, GuiEvent&) {}

void GuiApplication::onInput(AppWindow* window, GuiEvent& e) {
    if (window->root) window->root->handleEvent(e);
}
