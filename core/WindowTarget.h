// A render target the size of a window, kept in one of the window's texture slots.
#pragma once

#include "core/Handles.h"

#include <SDL.h>

struct AppWindow;

// The target in slot while it still has the window's size, else a new one in its place (the old
// one retired), copied without blending. made tells whether it is new and so holds nothing yet.
// Null where the renderer has no render targets or the window no area.
SDL_Texture* windowSizedTarget(AppWindow* w, SdlTexturePtr& slot, bool* made = nullptr);
