// The application most programs want: it draws a window only when something in it changed,
// keeps the focus bookkeeping, routes modal dialogs, closes a dialog's window when it ends and
// hands every command to onCommand.
#pragma once

#include "core/Engine.h"
#include "core/Window.h"

// Follows the window focus events into the engine's keyboardFocused and activeWindowId, as every
// application's dispatchEvent keeps them.
void trackKeyboardFocus(ZazOvadir& app, const SDL_Event& s);

class GuiApplication : public ZazOvadir {
public:
    // Draws on demand (redrawOnDemand): an unchanged window costs nothing.
    GuiApplication();
    // Updates the root; draws and presents only when a redraw is needed.
    void renderWindow(AppWindow* window) override;
    void dispatchEvent(AppWindow* window, GuiEvent& e) override;

protected:
    // The commands widgets post (CMD_ACTIVATED, CMD_MENU_ITEM, ...) and CMD_DIALOG_ENDED, whose
    // id is the dialog's result; the dialog's window is closed after the event. Commands of a
    // modal dialog's own buttons go to the dialog instead.
    virtual void onCommand(AppWindow* window, GuiEvent& e);
    // Input for a window when no dialog is modal; the default hands it to the root.
    virtual void onInput(AppWindow* window, GuiEvent& e);
};
