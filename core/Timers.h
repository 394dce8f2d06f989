// Time for the main loop and the widgets: the clock the loop reads and sleeps on (SDL's, or one
// a test advances by hand), the application's timers, and the deadline query over a widget tree.
#pragma once

#include "core/Roles.h"

#include <cstdint>
#include <functional>
#include <vector>

class GuiObject;

// Where the main loop reads the time and sleeps. Tests install their own so that an idle period
// of seconds runs in no real time.
class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t ticks() = 0;
    // Frame pacing: sleeps ms.
    virtual void delay(uint32_t ms) = 0;
    // Sleeps until an event is queued or ms have passed (kNoDeadline: until an event). The event
    // stays queued for the loop to take.
    virtual void waitForEvent(uint32_t ms) = 0;
};

// SDL's tick count, SDL_Delay and SDL_WaitEventTimeout.
class SdlClock : public IClock {
public:
    uint32_t ticks() override;
    void delay(uint32_t ms) override;
    void waitForEvent(uint32_t ms) override;
};

// The tick count widgets use: the running engine's clock, else SDL's.
uint32_t guiTicks();

// How long obj may wait before its update has work: its own answer when it is ITimed,
// otherwise kNoDeadline (it changes only on input).
uint32_t msUntilDueOf(GuiObject* obj, uint32_t now);

// Callbacks due at ticks, fired in the order they fall due, each on the main loop. Callbacks may
// add and cancel timers, their own included.
class TimerQueue {
public:
    // Calls fn once after ms, or every ms with repeat (a repeat of 0 ms runs every frame).
    // Returns the timer's id, never 0.
    uint32_t add(uint32_t now, uint32_t ms, std::function<void()> fn, bool repeat);
    // False when id is not (or no longer) pending.
    bool cancel(uint32_t id);
    // Runs every timer due at now; a repeating timer that fell behind runs once, not once per
    // missed interval.
    void fireDue(uint32_t now);
    uint32_t msUntilNext(uint32_t now) const;
    size_t size() const { return timers.size(); }

private:
    struct Timer {
        uint32_t id;
        uint32_t due;
        uint32_t interval;
        bool repeat;
        std::function<void()> fn;
    };
    std::vector<Timer> timers;
    uint32_t lastId = 0;
};
