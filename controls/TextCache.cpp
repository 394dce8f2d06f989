#include "controls/TextCache.h"

#include "core/Engine.h"
#include "core/Handles.h"

#include <unordered_set>

namespace {

std::unordered_set<TextCache*>& liveCaches() {
    static std::unordered_set<TextCache*> caches;
    return caches;
}

bool sameColor(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

}  // namespace

FontLook FontLook::of(TTF_Font* f) {
    if (!f) return {};
    return {f,
            TTF_FontHeight(f),
            TTF_FontAscent(f),
            TTF_FontLineSkip(f),
            TTF_GetFontStyle(f),
            TTF_GetFontOutline(f),
            TTF_GetFontHinting(f),
            TTF_GetFontKerning(f)};
}

TextCache::TextCache() {
    addRendererTeardownHook(&TextCache::forgetRenderer);
    liveCaches().insert(this);
}

TextCache::~TextCache() {
    release();
    liveCaches().erase(this);
}

void TextCache::release() {
    TextureRetirement::retire(renderer, texture);
    renderer = nullptr;
    valid = false;
}

void TextCache::forgetRenderer(SDL_Renderer* r) {
    for (TextCache* cache : liveCaches()) {
        if (cache->renderer != r) continue;
        // The renderer destroys its textures itself; only our pointer goes.
        (void)cache->texture.release();
        cache->renderer = nullptr;
        cache->valid = false;
    }
}

SDL_Texture* TextCache::get(SDL_Renderer* r, TTF_Font* f, const std::string& s, SDL_Color c, int& w,
                            int& h) {
    w = h = 0;
    if (!r || !f || s.empty()) return nullptr;
    const FontLook now = FontLook::of(f);
    if (!(valid && r == renderer && now == look && sameColor(c, color) && s == text)) {
        release();
        renderer = r;
        look = now;
        text = s;
        color = c;
        valid = true;
        SdlSurfacePtr surface(TTF_RenderUTF8_Blended(f, s.c_str(), c));
        if (surface) {
            texture.reset(SDL_CreateTextureFromSurface(r, surface.get()));
            width = surface->w;
            height = surface->h;
        }
    }
    if (!texture) return nullptr;
    w = width;
    h = height;
    return texture.get();
}

bool TextCache::drawAt(SDL_Renderer* r, TTF_Font* f, const std::string& s, SDL_Color c, int x,
                       int y) {
    int w = 0, h = 0;
    SDL_Texture* t = get(r, f, s, c, w, h);
    if (!t) return false;
    SDL_Rect dst{x, y, w, h};
    SDL_RenderCopy(r, t, nullptr, &dst);
    return true;
}
