// Small interfaces through which core asks widgets above it about their special roles.
// Core never includes a control header: menu bars, status bars, stretching panels, text
// editors and the demo's script runner implement these instead.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

struct AppWindow;
class GuiObject;
struct GuiEvent;

// Marks objects that take keyboard text (the text control and its relatives).
class IEditable {
public:
    virtual ~IEditable() = default;
};

// The window's menu bar: relaid out on resize, reset when all popups close, and able to
// switch its open menu when the pointer moves over another title.
class IMenuBarRole {
public:
    virtual ~IMenuBarRole() = default;
    virtual bool hasOpenMenu() const = 0;
    // Opens the menu whose title lies under (px, py) if it is not the open one; true if it did.
    virtual bool switchToTitleAt(int px, int py) = 0;
    virtual void resetOpenMenu() = 0;
};

// The window's status bar: kept at the bottom edge on resize.
class IStatusBarRole {
public:
    virtual ~IStatusBarRole() = default;
};

// A container that owns its children: gives one up when the window deletes it after an event.
class IContainerRole {
public:
    virtual ~IContainerRole() = default;
    // Ownership of child, or null when it is not one of this container's children.
    virtual std::unique_ptr<GuiObject> releaseChild(GuiObject* child) = 0;
};

// An object that draws any part of itself exactly under a clip (a container also skips the
// children the clip does not meet): a change inside it redraws only what that change needs.
class IDrawsInParts {
public:
    virtual ~IDrawsInParts() = default;
    // Grows area over what drawing this object's part inside area needs: for a container every
    // child it shows that area meets (see coverDrawingOf); nothing for an object without any.
    virtual void coverChildrenMeeting(SDL_Rect& area) const = 0;
};

// An object that paints every pixel of its drawn rectangle opaquely on every draw: what lies
// below it there need not be drawn first.
class IOpaque {
public:
    virtual ~IOpaque() = default;
    virtual bool paintsEveryPixel() const = 0;
};

// A child that grows with the window on resize (the cairo panel).
class IStretchRole {
public:
    virtual ~IStretchRole() = default;
    virtual bool stretchesHorizontally() const = 0;
    virtual bool stretchesVertically() const = 0;
};

// A push button: inside a modal dialog, its ids 1 and 0 accept and cancel the dialog. Other
// sources with those ids (a colour swatch with palette index 0 or 1) only reach onCommand.
class IDialogButton {
public:
    virtual ~IDialogButton() = default;
    virtual bool endsDialog() const = 0;
};

// A popup that is owned elsewhere and survives being closed (menus with keepAlive).
class IKeepAlivePopup {
public:
    virtual ~IKeepAlivePopup() = default;
    virtual bool keepAlive() const = 0;
};

// Objects whose rows carry their own names (menus): lets the script runner name a posted
// command after the row that sent it. Empty when no row has the id.
class IItemNames {
public:
    virtual ~IItemNames() = default;
    // The name of the last row whose id equals id.
    virtual std::string itemNameForId(uint32_t id) const = 0;
};

// Time-driven behaviour (a caret blink, an auto-repeat, a tooltip delay, an animation, a frame
// interval): an object that will change by itself with time tells the main loop how long it may
// sleep before the object's update(now) has work to do, so an idle application wakes only then.
// Nothing but time counts here: input always wakes the loop. Windows and containers answer for
// their children with msUntilDueOf (core/Timers.h); a container implements this interface and
// returns the soonest of its children's answers and its own.
class ITimed {
public:
    virtual ~ITimed() = default;
    // Milliseconds from now until update() next has work: 0 = at the next frame,
    // kNoDeadline = nothing pending (the object waits for input).
    virtual uint32_t msUntilDue(uint32_t now) = 0;
};

// "Nothing pending" for ITimed::msUntilDue and the engine's idle wait.
constexpr uint32_t kNoDeadline = UINT32_MAX;

// Milliseconds from now until the tick due, 0 once it has come; safe across the tick wrap.
inline uint32_t msUntil(uint32_t due, uint32_t now) {
    const int32_t d = static_cast<int32_t>(due - now);
    return d > 0 ? static_cast<uint32_t>(d) : 0;
}

inline uint32_t soonest(uint32_t a, uint32_t b) {
    return a < b ? a : b;
}

// Watches every event the main loop takes, before it is routed (a recorder of user actions).
// injected is true for the application's own events (injectedEvents), false for SDL's.
class IInputObserver {
public:
    virtual ~IInputObserver() = default;
    virtual void observeInput(const SDL_Event& e, bool injected) = 0;
};

// The engine's view of a script runner: ticked every frame, allowed to filter real input,
// told about every posted command and given a chance to draw over each window.
class IScriptRunner {
public:
    virtual ~IScriptRunner() = default;
    virtual bool isRunning() const = 0;
    virtual void tick(uint32_t now) = 0;
    // False drops the event.
    virtual bool filterInput(const SDL_Event& e) = 0;
    virtual void observeCommand(const GuiEvent& e) = 0;
    virtual void drawOverlay(AppWindow* window, SDL_Renderer* r) = 0;
    // The part of window that drawOverlay paints now (empty when it paints nothing there): a
    // frame drawing only what changed redraws where the overlay was and where it is.
    virtual SDL_Rect overlayArea(AppWindow* window) = 0;
    // The engine is going away: end the run and release what the runner holds.
    virtual void engineShutdown() = 0;
};
