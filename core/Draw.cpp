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

SDL_Surface* directPixels(SDL_Renderer* r) {
    SDL_RendererInfo info;
    if (!r || SDL_GetRenderTarget(r) || SDL_GetRendererInfo(r, &info) != 0 ||
        !(info.flags & SDL_RENDERER_SOFTWARE))
        return nullptr;
    SDL_Window* window = SDL_RenderGetWindow(r);
    SDL_Surface* s = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!s || !s->format || s->format->BytesPerPixel != 4 || SDL_MUSTLOCK(s)) return nullptr;
    float sx = 0, sy = 0;
    int ow = 0, oh = 0;
    SDL_Rect viewport;
    SDL_RenderGetScale(r, &sx, &sy);
    SDL_GetRendererOutputSize(r, &ow, &oh);
    SDL_RenderGetViewport(r, &viewport);
    if (sx != 1.0f || sy != 1.0f || ow != s->w || oh != s->h || viewport.x != 0 ||
        viewport.y != 0 || viewport.w != s->w || viewport.h != s->h)
        return nullptr;
    return SDL_RenderFlush(r) == 0 ? s : nullptr;
}
