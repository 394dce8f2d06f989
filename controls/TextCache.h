// One rendered line of text kept as a texture until its text, font, colour or renderer change,
// so that controls drawn every frame do not rasterise the same text again.
#pragma once

#include "core/Handles.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

// What decides how a text renders besides the font object: one TTF_Font can change its size
// (TTF_SetFontSize), style, outline, hinting or kerning, and a rendering made under one look is
// stale under another. A size change shows in height, ascent or line skip.
struct FontLook {
    TTF_Font* font = nullptr;
    int height = 0, ascent = 0, lineSkip = 0, style = 0, outline = 0, hinting = 0, kerning = 0;
    static FontLook of(TTF_Font* f);
    bool operator==(const FontLook&) const = default;
};

class TextCache {
public:
    TextCache();
    ~TextCache();
    TextCache(const TextCache&) = delete;
    TextCache& operator=(const TextCache&) = delete;

    // The texture of text in font and colour (null for empty text, no font or a failed
    // rendering); w and h receive its size.
    SDL_Texture* get(SDL_Renderer* r, TTF_Font* font, const std::string& text, SDL_Color color,
                     int& w, int& h);
    // Draws the text with its top-left corner at (x, y); false when there is nothing to draw.
    bool drawAt(SDL_Renderer* r, TTF_Font* font, const std::string& text, SDL_Color color, int x,
                int y);
    void release();
    // Drops every cached texture of a renderer that is going away.
    static void forgetRenderer(SDL_Renderer* r);

private:
    SDL_Renderer* renderer = nullptr;
    SdlTexturePtr texture;  // released through texture retirement
    FontLook look;
    std::string text;
    SDL_Color color{0, 0, 0, 0};
    int width = 0;
    int height = 0;
    bool valid = false;  // the fields above describe the last rendering (even a failed one)
};
