// A focused text field in an application that draws on demand: the caret's blink wakes the loop
// twice a second and nothing else does, also while the caret is scrolled out of view.
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CaretIdle : public testing::Test {
protected:
    void SetUp() override {
        win = app.openMain(300, 200);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(app.getFtFace(), nullptr);
        app.clock.fix(20000);
    }
    GuiTextCtrl* focused(int flags, const std::string& text) {
        auto* t = new GuiTextCtrl(nullptr, 5, 10, 10, 280, 60, {255, 255, 255, 255},
                                  app.getFtFace(), flags);
        win->root->addChild(t);
        t->setText(text);
        win->root->setFocus(t);
        app.keyboardFocused = true;
        // The caret comes on 50 ms after the focus; then a second passes before it blinks.
        app.runFor(1100);
        app.presents = 0;
        return t;
    }

    TestApp app;
    AppWindow* win = nullptr;
};

TEST_F(CaretIdle, BlinkingCaretDrawsTwiceASecondAndSleepsBetween) {
    GuiTextCtrl* t = focused(0, "Hallo");
    ASSERT_TRUE(t->caretActive);
    int toggles = 0;
    bool on = t->caretOn;
    for (int step = 0; step < 50; ++step) {  // 5 s in tenths, watching the phase
        app.runFor(100);
        if (t->caretOn != on) ++toggles, on = t->caretOn;
    }
    EXPECT_EQ(toggles, 10);
    EXPECT_EQ(app.presents, 10);  // each toggle drawn once
}

TEST_F(CaretIdle, ABlinkRedrawsOnlyTheCaretsCells) {
    GuiTextCtrl* t = focused(TEXT_MULTILINE, "Hallo Welt\nzweite Zeile");
    for (int blink = 0; blink < 2; ++blink) {
        const bool on = t->caretOn;
        app.clock.advance(500);
        t->update(app.clock.ticks());
        ASSERT_NE(t->caretOn, on);
        ASSERT_EQ(win->root->damageParts.size(), 1u);
        const SDL_Rect damaged = win->root->damageParts[0];
        EXPECT_EQ(damaged.w, GuiTextCtrl::kCaretWidth);
        EXPECT_EQ(damaged.h, t->lineHeight());
        app.runFor(1);  // the verifier compares the frame with a full redraw
    }
}

TEST_F(CaretIdle, CaretOutOfViewDoesNotKeepTheLoopAwake) {
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "Zeile " + std::to_string(i) + "\n";
    GuiTextCtrl* t = focused(TEXT_MULTILINE, lines);
    t->cursor = t->codePointCount();
    t->scrollY = 0;  // the caret at the end, far below the view
    t->invalidate();
    app.frames(2);
    app.presents = 0;
    int frames = app.runFor(5000);
    EXPECT_LE(frames, 60);
    EXPECT_LE(app.presents, 20);
}

}  // namespace

namespace {

// Drawing shows the caret as the last update left it: a frame that draws only what changed, and
// leaves the field alone, must show what a full redraw at that moment would show.
TEST_F(CaretIdle, ADrawLaterThanItsUpdateShowsTheCaretTheUpdateLeft) {
    GuiTextCtrl* t = focused(0, "");
    SDL_Renderer* r = win->sdlRenderer();
    // Inside the caret of an empty field, which starts 3 px above the text inset.
    const int cx = 10 + GuiTextCtrl::kInset, cy = 10 + GuiTextCtrl::kInset + 3;
    auto caretShownWhenDrawnAt = [&](uint32_t ms) {
        app.clock.advance(ms);  // drawn this much after the frame's update
        win->root->draw(r);
        return sameColor(readPixel(r, cx, cy), {0, 0, 0, 255});
    };
    const bool on = t->caretOn;
    for (uint32_t ms : {0u, 499u, 600u, 1200u})
        EXPECT_EQ(caretShownWhenDrawnAt(ms), on) << ms << " ms after the update";
}

}  // namespace
