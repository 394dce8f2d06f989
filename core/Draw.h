// Small drawing helpers shared by every drawing subsystem.
#pragma once

#include <SDL.h>

inline void setColor(SDL_Renderer* r, SDL_Color c) {
    SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
}
