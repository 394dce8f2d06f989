// Header-only, so that every dialog test program can include it.
// A test application that routes dialogs the way an application must: Return and Escape to
// accept and cancel, button ids 1 and 0 to accept and cancel, other commands to onCommand,
// and that remembers what an ending dialog had to say before its window closes.
#pragma once

#include "support/TestApp.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

class DialogTestApp : public TestApp {
public:
    struct Ended {
        uint32_t result;
        std::string className;
        std::string value;  // the input dialog's text at the end
    };

    void dispatchEvent(AppWindow* window, GuiEvent& e) override;

    // The window of the modal dialog, or null.
    AppWindow* dialogWindow() const;
    uint32_t dialogId() const;
    void key(SDL_Keycode k, uint16_t mod = 0);
    void type(const std::string& text);
    // Presses and releases the left button in the middle of the object.
    void click(AppWindow* window, const GuiObject* obj);

    std::vector<Ended> ended;
    std::function<void(GuiDialog*, Ended&)> onEnded;
};

inline void DialogTestApp::dispatchEvent(AppWindow* window, GuiEvent& e) {
    auto* dialog = dynamic_cast<GuiDialog*>(window->root.get());
    if (e.kind == GuiEvent::Command) {
        commands.push_back({e.windowId, e.code, e.id, e.value, e.source});
        if (e.code == CMD_DIALOG_ENDED) {
            Ended end{e.id, e.source ? e.source->className() : "", ""};
            if (onEnded && dialog) onEnded(dialog, end);
            ended.push_back(end);
            closeWindowLater(e.windowId);
            return;
        }
        if (modalRoot) GuiDialog::routeModal(window, e);
        return;
    }
    if (!modalRoot) {
        if (window->root) window->root->handleEvent(e);
        return;
    }
    GuiDialog::routeModal(window, e);
}

inline AppWindow* DialogTestApp::dialogWindow() const {
    for (AppWindow* w : windowList)
        if (w->root && w->root.get() == modalRoot) return w;
    return nullptr;
}

inline uint32_t DialogTestApp::dialogId() const {
    AppWindow* w = dialogWindow();
    return w ? w->windowId : 0;
}

inline void DialogTestApp::key(SDL_Keycode k, uint16_t mod) {
    route(*this, keyEvent(SDL_KEYDOWN, dialogId(), k, mod));
}

inline void DialogTestApp::type(const std::string& text) {
    route(*this, textInput(dialogId(), text));
}

inline void DialogTestApp::click(AppWindow* window, const GuiObject* obj) {
    const int cx = obj->x + obj->width / 2, cy = obj->y + obj->height / 2;
    const uint32_t id = window->windowId;
    route(*this, mouseButton(SDL_MOUSEBUTTONDOWN, id, cx, cy));
    route(*this, mouseButton(SDL_MOUSEBUTTONUP, id, cx, cy));
}
