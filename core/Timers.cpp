#include "core/Timers.h"

#include "core/Engine.h"
#include "core/GuiObject.h"

#include <algorithm>
#include <climits>

uint32_t SdlClock::ticks() {
    return SDL_GetTicks();
}

void SdlClock::delay(uint32_t ms) {
    SDL_Delay(ms);
}

void SdlClock::waitForEvent(uint32_t ms) {
    if (ms == 0) return;
    // SDL blocks in the video driver's own wait (X11: select on the connection), not in a poll.
    if (ms == kNoDeadline)
        SDL_WaitEvent(nullptr);
    else
        SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(ms, INT_MAX)));
}

uint32_t guiTicks() {
    ZazOvadir* engine = ZazOvadir::current();
    return engine ? engine->ticks() : SDL_GetTicks();
}

uint32_t msUntilDueOf(GuiObject* obj, uint32_t now) {
    auto* timed = dynamic_cast<ITimed*>(obj);
    return timed ? timed->msUntilDue(now) : kNoDeadline;
}

uint32_t TimerQueue::add(uint32_t now, uint32_t ms, std::function<void()> fn, bool repeat) {
    if (++lastId == 0) ++lastId;
    timers.push_back({lastId, now + ms, ms, repeat, std::move(fn)});
    return lastId;
}

bool TimerQueue::cancel(uint32_t id) {
    auto it =
        std::find_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; });
    if (it == timers.end()) return false;
    timers.erase(it);
    return true;
}

void TimerQueue::fireDue(uint32_t now) {
    // Chosen before any callback runs: timers added by a callback wait for the next frame.
    std::vector<std::pair<uint32_t, uint32_t>> due;  // (lateness order key, id)
    for (const Timer& t : timers)
        if (msUntil(t.due, now) == 0) due.emplace_back(now - t.due, t.id);
    std::stable_sort(due.begin(), due.end(), [](auto& a, auto& b) { return a.first > b.first; });
    for (auto& [late, id] : due) {
        auto it = std::find_if(timers.begin(), timers.end(),
                               [id = id](const Timer& t) { return t.id == id; });
        if (it == timers.end()) continue;   // cancelled by an earlier callback
        std::function<void()> fn = it->fn;  // the callback may cancel its own timer
        if (it->repeat) {
            it->due += it->interval;
            if (msUntil(it->due, now) == 0) it->due = now + it->interval;
        } else {
            timers.erase(it);
        }
        if (fn) fn();
    }
}

uint32_t TimerQueue::msUntilNext(uint32_t now) const {
    uint32_t ms = kNoDeadline;
    for (const Timer& t : timers)
        ms = soonest(ms, msUntil(t.due, now));
    return ms;
}
