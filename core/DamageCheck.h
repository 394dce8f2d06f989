// The damage verifier: after a damage-limited frame, the same window drawn whole into a scratch
// target must show exactly the same pixels. A difference is a stale pixel that a missing
// invalidation left behind; it is logged and counted, and what the frame presents is untouched.
#pragma once

#include <SDL.h>

struct AppWindow;
class ZazOvadir;

namespace DamageCheck {

// Turned on by TAMBERGUI_VERIFY_DAMAGE=1 in the environment.
bool requestedByEnvironment();

// Compares what the partial frame left in partialTarget (null: the window itself) with a full
// redraw of w; logs and counts a difference in engine. The render target is partialTarget again
// afterwards, and the damage and redraw bookkeeping are as the partial frame left them.
void verifyFrame(ZazOvadir& engine, AppWindow* w, SDL_Texture* partialTarget);

// Hands w's scratch target to texture retirement.
void releaseScratch(AppWindow* w);

}  // namespace DamageCheck
