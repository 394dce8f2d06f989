// Input redraws only what it changes: hovering or clicking a button redraws that button, a key
// typed into the focused text field redraws the field, a wheel step over the list redraws the
// list, a focus change redraws the two controls it moves between, and input that changes
// nothing draws nothing at all. Counted per control in a window drawn on demand.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "controls/PropertyGrid.h"
#include "core/Sizer.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A control that counts how often it is drawn.
template <typename Control>
class Counted : public Control {
public:
    using Control::Control;
    void draw(SDL_Renderer* r) override {
        ++draws;
        Control::draw(r);
    }
    int draws = 0;
};

class InputDamage : public ::testing::Test {
protected:
    void SetUp() override {
        app.verifyDamage = false;  // its reference draws would count as draws here
        rec = app.openMain(400, 240, {210, 210, 210, 255});
        ASSERT_NE(rec, nullptr);
        id = rec->windowId;
        TTF_Font* font = app.getDefaultFont();
        const SDL_Color white{255, 255, 255, 255}, grey{190, 190, 190, 255};
        first = add(new Counted<GuiButton>(nullptr, 1, 10, 10, 80, 24, grey, "Eins", font, 0));
        second = add(new Counted<GuiButton>(nullptr, 2, 100, 10, 80, 24, grey, "Zwei", font, 0));
        field =
            add(new Counted<GuiTextCtrl>(nullptr, 3, 10, 50, 170, 26, white, app.getFtFace(), 0));
        list = add(new Counted<GuiListCtrl>(nullptr, 4, 200, 10, 180, 150, white, font));
        for (uint32_t i = 0; i < 100; ++i)
            list->addItem(i, "Zeile " + std::to_string(i));
        apart = add(new ProbeWidget(10, 190, 60, 30));
        app.clock.fix(10000);
        settle();
    }
    template <typename T>
    T* add(T* obj) {
        rec->root->addChild(obj);
        return obj;
    }
    // Lets start-up pass and forgets what it drew.
    void settle() {
        app.runFor(100);
        app.presents = 0;
        first->draws = second->draws = field->draws = list->draws = apart->draws = 0;
    }
    void send(SDL_Event e) {
        SDL_PushEvent(&e);
        app.runFor(1);
    }
    void click(int x, int y) {
        send(mouseButton(SDL_MOUSEBUTTONDOWN, id, x, y));
        send(mouseButton(SDL_MOUSEBUTTONUP, id, x, y));
    }
    // Draws of: first button, second button, text field, list, the widget standing apart.
    std::vector<int> draws() const {
        return {first->draws, second->draws, field->draws, list->draws, apart->draws};
    }
    // Only the controls whose flag is set were drawn, each at least once.
    void expectDrawnOnly(std::vector<bool> expected) {
        const std::vector<int> d = draws();
        for (size_t i = 0; i < d.size(); ++i)
            EXPECT_EQ(d[i] > 0, expected[i]) << "control " << i << " drawn " << d[i] << " times";
    }

    TestApp app;
    AppWindow* rec = nullptr;
    uint32_t id = 0;
    Counted<GuiButton>* first = nullptr;
    Counted<GuiButton>* second = nullptr;
    Counted<GuiTextCtrl>* field = nullptr;
    Counted<GuiListCtrl>* list = nullptr;
    ProbeWidget* apart = nullptr;
};

TEST_F(InputDamage, HoveringAButtonRedrawsThatButtonAndMovingOverItNothing) {
    send(mouseMotion(id, 40, 20));
    expectDrawnOnly({true, false, false, false, false});
    settle();
    send(mouseMotion(id, 45, 22));   // still over it: nothing changed, nothing drawn
    send(mouseMotion(id, 50, 120));  // onto the bare window: the button loses the hover
    EXPECT_EQ(draws(), (std::vector<int>{1, 0, 0, 0, 0}));
    settle();
    send(mouseMotion(id, 55, 125));
    EXPECT_EQ(app.presents, 0);
}

TEST_F(InputDamage, ClickingAButtonRedrawsOnlyThatButton) {
    click(130, 20);
    expectDrawnOnly({false, true, false, false, false});
}

TEST_F(InputDamage, AKeyTypedIntoTheFocusedFieldRedrawsOnlyTheField) {
    click(50, 60);
    settle();
    send(textInput(id, "x"));
    expectDrawnOnly({false, false, true, false, false});
    settle();
    send(keyEvent(SDL_KEYDOWN, id, SDLK_LEFT));
    expectDrawnOnly({false, false, true, false, false});
}

TEST_F(InputDamage, AWheelStepOverTheListRedrawsOnlyTheList) {
    send(mouseWheel(id, 290, 80, -1));
    expectDrawnOnly({false, false, false, true, false});
    EXPECT_GT(list->scrollY, 0);
}

TEST_F(InputDamage, MovingTheFocusRedrawsTheControlItLeavesAndTheOneItReaches) {
    click(50, 60);
    settle();
    click(290, 80);  // the list takes the focus (and selects a row)
    expectDrawnOnly({false, false, true, true, false});
}

TEST_F(InputDamage, InputThatChangesNothingDrawsNothing) {
    send(keyEvent(SDL_KEYDOWN, id, SDLK_a));  // nothing has the focus
    send(mouseMotion(id, 300, 200));          // the bare window
    send(mouseWheel(id, 300, 200, 1));
    EXPECT_EQ(app.presents, 0);
    EXPECT_EQ(draws(), (std::vector<int>{0, 0, 0, 0, 0}));
}

// A modal dialog comes and goes in its own window: nothing in the main window looks different
// for it, so nothing there is drawn again (a caret leaving with the focus invalidates itself).
TEST_F(InputDamage, AModalDialogComingAndGoingRedrawsNothingInTheMainWindow) {
    AppWindow* dialog =
        app.createDialogWindow("Dialog", 0, 0, 200, 100, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
    ASSERT_NE(dialog, nullptr);
    auto* modal = dynamic_cast<GuiDialog*>(dialog->root.get());
    ASSERT_NE(modal, nullptr);
    auto* inside = new ProbeWidget(10, 10, 50, 20);
    modal->addChild(inside);
    app.setModal(modal);
    app.runFor(50);
    EXPECT_GT(inside->draws, 0);
    expectDrawnOnly({false, false, false, false, false});
    settle();
    modal->cancel();
    app.runFor(50);
    expectDrawnOnly({false, false, false, false, false});
}

// A setter that changes a control's look is drawn in the next frame, also when no input came
// (the application changes controls from its commands and timers).
TEST_F(InputDamage, SettersThatChangeALookDrawTheirControl) {
    TTF_Font* font = app.getDefaultFont();
    auto* grid = add(new Counted<GuiPropertyGrid>(nullptr, 5, 80, 180, 110, 50,
                                                  {255, 255, 255, 255}, font, app.getFtFace()));
    grid->addText("Name", "alt");
    auto* panel =
        add(new Counted<GuiPanel>(nullptr, 6, 200, 170, 120, 60, {230, 230, 230, 255}, "", font));
    auto* inside = panel->addChild(new ProbeWidget(0, 0, 20, 20));
    settle();
    grid->draws = panel->draws = 0;
    grid->setValueOf("Name", "neu");
    app.runFor(10);
    EXPECT_EQ(grid->draws, 1);
    auto* column = new GuiBoxSizer(1, 0);
    column->add(inside, 0, SIZER_LEFT | SIZER_TOP, 10);
    panel->setSizer(column);  // moves the child inside the panel
    app.runFor(10);
    EXPECT_EQ(panel->draws, 1);
    EXPECT_EQ(app.presents, 2);
}

}  // namespace
