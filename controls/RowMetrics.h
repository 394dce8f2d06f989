// Row height shared by the list-like controls, so their rows line up with the same font.
#pragma once

#include <SDL_ttf.h>

// The font's line skip plus 4; its height plus 4 when the skip is unusable; 24 as a last resort.
inline int listRowHeight(TTF_Font* font) {
    int skip = TTF_FontLineSkip(font);
    if (skip >= 1) return skip + 4;
    if (TTF_FontHeight(font) >= 1) return TTF_FontHeight(font) + 4;
    return 24;
}
