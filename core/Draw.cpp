#include "core/Draw.h"

ClipScope::ClipScope(SDL_Renderer* r, const SDL_Rect& rect) : renderer(r) {
    hadClip = SDL_RenderIsClipEnabled(r);
    SDL_RenderGetClipRect(r, &outer);
    SDL_Rect clip = rect;
    if (hadClip && !SDL_IntersectRect(&rect, &outer, &clip)) return;
    if (clip.w <= 0 || clip.h <= 0) return;
    mine = clip;
    SDL_RenderSetClipRect(r, &mine);
    applied = true;
}

ClipScope::~ClipScope() {
    if (applied) SDL_RenderSetClipRect(renderer, hadClip ? &outer : nullptr);
}

void ClipScope::reapply() const {
    if (applied) SDL_RenderSetClipRect(renderer, &mine);
}
