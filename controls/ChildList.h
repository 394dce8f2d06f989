// The owned children of a container and the routing a container repeats among them: capture
// on button-down, hover tracking, focus through the window, drawing under a clip.
#pragma once

#include "core/Draw.h"
#include "core/GuiObject.h"

#include <memory>
#include <string>
#include <vector>

// Fills rect with color. An opaque colour replaces the pixels without blending: the same result,
// which the software renderer reaches many times faster. Leaves the blend mode at blend.
void fillRect(SDL_Renderer* r, const SDL_Rect& rect, SDL_Color color);

class ChildList {
public:
    // Takes ownership; the child's absolute position becomes (originX, originY) plus its own.
    GuiObject* add(GuiObject* owner, GuiObject* child, int originX, int originY);
    // Gives every child (and, through their relayout, their children) the owner's window.
    void attach(GuiObject* owner);
    void moveBy(int dx, int dy);

    GuiObject* topmostAt(int px, int py) const;
    // Routes one input event among the children; the pointer rules of the window.
    void route(GuiEvent& e);
    void update(uint32_t now);
    // The soonest deadline among the children (ITimed).
    uint32_t msUntilDue(uint32_t now) const;
    // Draws the children in order, clipped to clip within any clip already set; a child the
    // clip does not meet is not drawn.
    void draw(SDL_Renderer* r, const SDL_Rect& clip);
    // Grows area over every child shown within `shown` that it meets (see coverDrawingOf).
    void coverChildrenMeeting(const SDL_Rect& shown, SDL_Rect& area) const;

    GuiObject* findByName(const std::string& n) const;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) const;
    GuiObject* hitTest(int px, int py) const;
    GuiObject* wheelTarget(int px, int py) const;
    GuiObject* tooltipTarget() const;
    // Forgets a child without deleting it (it is being deleted elsewhere).
    std::unique_ptr<GuiObject> detach(GuiObject* child);

    std::vector<std::unique_ptr<GuiObject>> children;
    GuiObject* capture = nullptr;
    GuiObject* hover = nullptr;

private:
    void deliver(GuiObject* child, GuiEvent& e, int px, int py);
    void routeButtonDown(GuiEvent& e, int px, int py);
    void routeMotion(GuiEvent& e, int px, int py);
    void clearHover();
};
