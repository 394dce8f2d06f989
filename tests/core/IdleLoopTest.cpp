// An application that draws on demand costs nothing while nothing changes: the loop sleeps until
// input or the next deadline (timers, tooltip delay, widgets that implement ITimed), and wakes
// for exactly those. Time comes from the test application's clock, so idle seconds are free.
#include "core/Timers.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------------------------------------
// The timer queue alone

TEST(TimerQueue, FiresInDueOrderOnceAndRepeatsWithoutDrift) {
    TimerQueue q;
    std::vector<std::string> fired;
    q.add(
        1000, 300, [&] { fired.push_back("once300"); }, false);
    q.add(
        1000, 100, [&] { fired.push_back("every100"); }, true);
    EXPECT_EQ(q.msUntilNext(1000), 100u);
    q.fireDue(1099);
    EXPECT_TRUE(fired.empty());
    q.fireDue(1105);  // 5 ms late: the next repeat still falls at 1200, not 1205
    EXPECT_EQ(q.msUntilNext(1105), 95u);
    q.fireDue(1300);  // both due; the one due earlier runs first
    EXPECT_EQ(fired, (std::vector<std::string>{"every100", "every100", "once300"}));
    EXPECT_EQ(q.size(), 1u);
    q.fireDue(2000);  // fell far behind: runs once, then counts from now
    EXPECT_EQ(fired.size(), 4u);
    EXPECT_EQ(q.msUntilNext(2000), 100u);
}

TEST(TimerQueue, CallbacksMayCancelAndAddTimers) {
    TimerQueue q;
    int a = 0, b = 0, added = 0;
    uint32_t idB = 0, self = 0;
    q.add(
        0, 10, [&] { ++a, q.cancel(idB); }, false);
    idB = q.add(
        0, 20, [&] { ++b; }, false);
    self = q.add(
        0, 10,
        [&] {
            q.cancel(self);  // a repeating timer ends itself
            q.add(
                10, 0, [&] { ++added; }, false);
        },
        true);
    q.fireDue(30);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);      // cancelled by an earlier callback in the same pass
    EXPECT_EQ(added, 0);  // added during the pass: waits for the next one
    EXPECT_EQ(q.msUntilNext(30), 0u);
    q.fireDue(30);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(q.size(), 0u);
    EXPECT_EQ(q.msUntilNext(30), kNoDeadline);
    EXPECT_FALSE(q.cancel(self));
}

TEST(TimerQueue, DeadlinesSurviveTheTickWrap) {
    TimerQueue q;
    int n = 0;
    q.add(
        UINT32_MAX - 5, 10, [&] { ++n; }, false);
    EXPECT_EQ(q.msUntilNext(UINT32_MAX - 5), 10u);
    q.fireDue(UINT32_MAX);
    EXPECT_EQ(n, 0);
    q.fireDue(4);
    EXPECT_EQ(n, 1);
}

// ---------------------------------------------------------------------------------------------
// The loop

// A widget with a deadline of its own: it changes colour every period ms.
class Blinker : public ProbeWidget, public ITimed {
public:
    Blinker(uint32_t period) : ProbeWidget(0, 0, 20, 20), period(period) {}
    void update(uint32_t now) override {
        if (msUntilDue(now) > 0) return;
        last = now;
        ++blinks;
        invalidate();
    }
    uint32_t msUntilDue(uint32_t now) override { return msUntil(last + period, now); }
    uint32_t period;
    uint32_t last = 0;
    int blinks = 0;
};

class IdleLoop : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(200, 100);
        ASSERT_NE(rec, nullptr);
        probe = new ProbeWidget(0, 0, 200, 100);
        rec->root->addChild(probe);
        app.clock.fix(10000);
        settle();
    }
    // Lets start-up events and the redraws they ask for pass.
    void settle() {
        app.frames(5);
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        app.frames(3);
        app.presents = 0;
        app.clock.waits.clear();
    }
    void push(SDL_Event e) { SDL_PushEvent(&e); }
    // The probe holds the focus and changes its look with every event it receives.
    void probeChangesOnInput() {
        probe->onEvent = [](ProbeWidget* p, GuiEvent&) { p->invalidate(); };
        rec->root->setFocus(probe);
        settle();
    }

    TestApp app;
    AppWindow* rec = nullptr;
    ProbeWidget* probe = nullptr;
};

TEST_F(IdleLoop, NothingChangingDrawsNothingAndSleepsUntilInput) {
    int frames = app.runFor(5000);
    EXPECT_EQ(app.presents, 0);
    EXPECT_LE(frames, 2);
    ASSERT_FALSE(app.clock.waits.empty());
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

TEST_F(IdleLoop, InputWakesTheLoopAndIsDrawnInTheNextFrame) {
    probeChangesOnInput();
    app.runFor(1000);
    push(keyEvent(SDL_KEYDOWN, rec->windowId, SDLK_a));
    uint32_t before = app.clock.now;
    app.frames(1);
    EXPECT_EQ(app.clock.now - before, 1u);  // only the frame's own pacing, no waiting
    EXPECT_EQ(app.presents, 1);
}

TEST_F(IdleLoop, AnEventQueuedInAFrameThatDrewNothingIsTakenWithoutAFramesDelay) {
    probeChangesOnInput();
    app.runFor(1000);
    // SDL's poll can report no event once while one is queued; a timer pushing one after the
    // frame took its event stands for that.
    app.addTimer(0, [&] { push(keyEvent(SDL_KEYDOWN, rec->windowId, SDLK_a)); });
    const uint32_t before = app.clock.now;
    app.frames(1);
    EXPECT_EQ(app.presents, 0);
    EXPECT_EQ(app.clock.now, before);  // no pacing after a frame that drew nothing
    app.frames(1);
    EXPECT_EQ(app.presents, 1);
}

TEST_F(IdleLoop, DrawingEveryFrameStaysTheDefault) {
    app.redrawOnDemand = false;
    app.drawDamageOnly = false;  // a frame without change would present nothing
    int frames = app.runFor(100);
    EXPECT_EQ(app.presents, frames);
    EXPECT_GE(frames, 100);  // paced at framesPerSecond (1000 here), never sleeping longer
    EXPECT_TRUE(app.clock.waits.empty());
}

TEST_F(IdleLoop, TimersWakeTheLoopOnTimeAndStopWhenCancelled) {
    std::vector<uint32_t> once, every;
    uint32_t start = app.clock.now;
    app.addTimer(300, [&] { once.push_back(app.ticks() - start); });
    uint32_t id = app.addTimer(
        250,
        [&] {
            every.push_back(app.ticks() - start);
            probe->invalidate();
        },
        true);
    int frames = app.runFor(1000);
    EXPECT_EQ(once, (std::vector<uint32_t>{300}));
    EXPECT_EQ(every, (std::vector<uint32_t>{250, 500, 750}));
    EXPECT_LE(frames, 20);
    EXPECT_EQ(app.presents, 3);  // what a timer invalidates is drawn, once
    EXPECT_TRUE(app.cancelTimer(id));
    app.presents = 0;
    app.runFor(2000);
    EXPECT_EQ(every.size(), 3u);  // the one due at 1000 was cancelled before it fell due
    EXPECT_EQ(app.presents, 0);
}

TEST_F(IdleLoop, WindowsAskTheirChildrenForDeadlines) {
    auto* blinker = new Blinker(500);
    rec->root->addChild(blinker);
    settle();
    blinker->blinks = 0;
    blinker->last = app.clock.now;
    int frames = app.runFor(5000);
    EXPECT_EQ(blinker->blinks, 9);  // at +500 ... +4500; the period ends at +5000
    EXPECT_LE(frames, 40);
    EXPECT_EQ(app.presents, 9);  // each blink drawn once
}

// A widget that asks for another frame, a given number of times, while it draws (as one that
// finds its layout stale does) or, for another widget, in its update.
class Reinvalidating : public ProbeWidget {
public:
    explicit Reinvalidating(GuiObject* other = nullptr) : ProbeWidget(0, 0, 20, 20), other(other) {}
    void update(uint32_t) override {
        if (other) askAgain();
    }
    void draw(SDL_Renderer* r) override {
        ProbeWidget::draw(r);
        if (!other) askAgain();
    }
    void askAgain() {
        if (again <= 0) return;
        --again;
        (other ? other : this)->invalidate();
    }
    GuiObject* other;
    int again = 0;
};

TEST_F(IdleLoop, EachChangeIsDrawnOnceAndARequestMadeWhileDrawingGetsTheNextFrame) {
    app.verifyDamage = false;  // its reference draws would count and ask again
    auto* w = new Reinvalidating;
    rec->root->addChild(w);
    settle();
    w->invalidate();
    app.runFor(1000);
    EXPECT_EQ(app.presents, 1);
    EXPECT_EQ(w->draws, 1);

    app.presents = 0;
    w->again = 2;
    w->invalidate();
    app.runFor(1000);
    EXPECT_EQ(app.presents, 3);  // the change, then each request made while drawing
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

TEST_F(IdleLoop, AChangeAskedForByALaterWindowReachesAnEarlierOneInTheNextFrame) {
    app.verifyDamage = false;  // its reference draws would count and ask again
    AppWindow* second =
        app.createDialogWindow("Zweites", 0, 0, 100, 100, SDL_WINDOW_SHOWN, {90, 90, 90, 255});
    ASSERT_NE(second, nullptr);
    auto* remote = new Reinvalidating(probe);
    second->root->addChild(remote);
    settle();
    probe->draws = 0;
    remote->again = 1;
    remote->invalidate();  // frame 1: the main window draws, then the second changes it
    app.runFor(1000);
    EXPECT_EQ(probe->draws, 1);  // in frame 2: frame 1 drew only the second window
    EXPECT_EQ(app.presents, 2);
}

TEST_F(IdleLoop, TooltipDelayWakesTheLoopWhenItEnds) {
    probe->setTooltip("Hilfe");
    push(mouseMotion(rec->windowId, 50, 50));
    app.runFor(1);  // the motion's frame (a bare frame would sleep on to the deadline)
    ASSERT_EQ(rec->root->tooltipObject, probe);
    app.runFor(450);

    EXPECT_FALSE(rec->root->tooltipVisible);
    app.presents = 0;
    int frames = app.runFor(100);
    EXPECT_TRUE(rec->root->tooltipVisible);
    EXPECT_LE(frames, 4);
    EXPECT_EQ(app.presents, 1);
    app.presents = 0;
    app.runFor(5000);  // shown: nothing more to wait for
    EXPECT_EQ(app.presents, 0);
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

}  // namespace
