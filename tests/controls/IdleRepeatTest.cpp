// Held repeat buttons and spin arrows keep repeating on time in an application that draws on
// demand: they tell the loop when the next step falls due, and nothing else wakes it.
#include "controls/Buttons.h"
#include "controls/Containers.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "ControlsFixture.h"

namespace {

constexpr SDL_Color kFace{192, 192, 192, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

class IdleRepeat : public ControlsTest {};

TEST_F(IdleRepeat, HeldRepeatButtonStepsAtItsDeadlinesOnly) {
    add(new GuiButton(nullptr, 5001, 20, 20, 100, 25, kFace, "+", font, BUTTON_REPEAT));
    app.clock.fix(50000);
    press(60, 30);
    int frames = app.runFor(1000);
    // Repeats at +400, +460, ... +940; the period ends at +1000.
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 10u);
    EXPECT_LE(frames, 40);
    release(60, 30);
    app.runFor(2000);
    EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 10u);
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

TEST_F(IdleRepeat, HeldSpinArrowStepsAtItsDeadlinesOnly) {
    auto* s = add(
        new GuiSpinBox(nullptr, 3, 50, 100, 100, 24, kWhite, kBlack, kBlack, font, 0, 100, 0, 1));
    app.clock.fix(50000);
    press(140, 105);  // "+"
    int frames = app.runFor(1000);
    EXPECT_EQ(s->numericValue(), 11);  // the press, then 10 repeats
    EXPECT_LE(frames, 40);
    EXPECT_GE(app.presents, 10);  // every step is drawn
    release(140, 105);
    const double released = s->numericValue();
    app.runFor(2000);
    EXPECT_EQ(s->numericValue(), released);
    EXPECT_EQ(app.clock.waits.back(), kNoDeadline);
}

TEST_F(IdleRepeat, ContainersPassTheirChildrensDeadlinesOn) {
    struct Case {
        const char* name;
        std::function<GuiObject*(GuiButton*)> wrap;  // puts the button into a container
    } cases[] = {
        {"panel",
         [&](GuiButton* b) {
             auto* p = new GuiPanel(nullptr, 1, 10, 10, 300, 200, kWhite, "", font);
             p->addChild(b);
             return p;
         }},
        {"scrolled panel",
         [&](GuiButton* b) {
             auto* p = new GuiScrolledPanel(nullptr, 1, 10, 10, 300, 200, kWhite);
             p->addChild(b);
             return p;
         }},
        {"notebook page",
         [&](GuiButton* b) {
             auto* n = new GuiNotebook(nullptr, 1, 10, 10, 300, 200, kWhite, font);
             n->addPage("Seite", "seite")->addChild(b);
             return n;
         }},
        {"splitter pane",
         [&](GuiButton* b) {
             auto* s = new GuiSplitterWindow(nullptr, 1, 10, 10, 300, 200, kWhite, 0);
             s->secondPane->addChild(b);
             return s;
         }},
    };
    for (const Case& c : cases) {
        auto* b = new GuiButton(nullptr, 5001, 5, 30, 60, 25, kFace, "+", font, BUTTON_REPEAT);
        GuiObject* container = add(c.wrap(b));
        app.clock.fix(50000);
        app.commands.clear();
        press(b->x + 10, b->y + 10);
        ASSERT_TRUE(b->pressed) << c.name;
        int frames = app.runFor(1000);
        EXPECT_EQ(commandsWithCode(CMD_ACTIVATED), 10u) << c.name;
        EXPECT_LE(frames, 40) << c.name;
        release(b->x + 10, b->y + 10);
        container->destroy();
        app.frames(2);
    }
}

}  // namespace
