#include "core/WindowTarget.h"

#include "core/Engine.h"

SDL_Texture* windowSizedTarget(AppWindow* w, SdlTexturePtr& slot, bool* made) {
    if (made) *made = false;
    SDL_Renderer* r = w->sdlRenderer();
    if (slot) {
        int bw = 0, bh = 0;
        SDL_QueryTexture(slot.get(), nullptr, nullptr, &bw, &bh);
        if (bw == w->width && bh == w->height) return slot.get();
        TextureRetirement::retire(r, slot);
    }
    if (!SDL_RenderTargetSupported(r) || w->width < 1 || w->height < 1) return nullptr;
    slot.reset(SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, w->width,
                                 w->height));
    if (!slot) return nullptr;
    SDL_SetTextureBlendMode(slot.get(), SDL_BLENDMODE_NONE);
    if (made) *made = true;
    return slot.get();
}
