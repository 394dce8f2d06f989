// Small drawing helpers shared by every drawing subsystem.
#pragma once

#include <SDL.h>

inline void setColor(SDL_Renderer* r, SDL_Color c) {
    SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
}

// Narrows the renderer's clip to a rectangle within any clip already set, and restores the
// previous clip when it goes out of scope. Nothing is to be drawn when it is not visible().
// Widgets clip through this rather than resetting the clip, so that a window redrawing only a
// damaged part keeps every widget inside that part.
class ClipScope {
public:
    ClipScope(SDL_Renderer* r, const SDL_Rect& rect);
    ~ClipScope();
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    bool visible() const { return applied; }
    // The clip in force inside the scope (empty when not visible).
    const SDL_Rect& area() const { return mine; }
    // Sets the scope's clip again after a drawing step changed it.
    void reapply() const;

private:
    SDL_Renderer* renderer;
    bool hadClip = false;
    SDL_Rect outer{0, 0, 0, 0};
    SDL_Rect mine{0, 0, 0, 0};
    bool applied = false;
};

// The pixels the renderer draws into, for a widget that writes some of them itself: only where
// the software renderer draws straight into its window's surface one-to-one (no render target,
// no scaling, the whole window as viewport), with everything drawn so far flushed into it; null
// elsewhere. Writes must stay inside the renderer's clip, and whatever the renderer was asked to
// draw since must be flushed first (SDL_RenderFlush).
SDL_Surface* directPixels(SDL_Renderer* r);
