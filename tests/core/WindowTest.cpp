// Routing inside a window: capture, hover, focus, popups, wheel targets, deferred deletion,
// tooltips and modality, driven with real SDL events through the engine.
#include "support/TestApp.h"

#include <gtest/gtest.h>

namespace {

class WindowRouting : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(400, 300);
        ASSERT_NE(rec, nullptr);
        root = rec->root.get();
        id = rec->windowId;
        a = new ProbeWidget(10, 10, 100, 50);
        b = new ProbeWidget(200, 10, 100, 50);
        root->addChild(a);
        root->addChild(b);
    }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* root = nullptr;
    uint32_t id = 0;
    ProbeWidget* a = nullptr;
    ProbeWidget* b = nullptr;
};

// A popup that stays open until the window closes it.
class ProbePopup : public ProbeWidget {
public:
    using ProbeWidget::ProbeWidget;
    static int alive;
    ProbePopup(int x, int y, int w, int h) : ProbeWidget(x, y, w, h) { ++alive; }
    ~ProbePopup() override { --alive; }
};
int ProbePopup::alive = 0;

TEST_F(WindowRouting, PressFocusesAndCapturesReleaseFollowsCapture) {
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 20, 30));
    EXPECT_EQ(root->focus, a);
    EXPECT_EQ(root->capture, a);
    EXPECT_TRUE(a->hasFocus);
    ASSERT_EQ(a->locals.size(), 1u);
    EXPECT_EQ(a->locals[0].x, 10);
    EXPECT_EQ(a->locals[0].y, 20);
    // The pointer left the button; the release still goes to it.
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id, 250, 30));
    ASSERT_EQ(a->types.size(), 2u);
    EXPECT_EQ(a->types[1], SDL_MOUSEBUTTONUP);
    EXPECT_TRUE(b->types.empty());
    EXPECT_EQ(root->capture, nullptr);
}

TEST_F(WindowRouting, ReleaseWithoutCaptureIsDropped) {
    root->setFocus(a);
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id, 20, 30));
    EXPECT_TRUE(a->types.empty());
}

TEST_F(WindowRouting, HoverEnterAndLeave) {
    route(app, mouseMotion(id, 20, 20));
    EXPECT_EQ(root->hover, a);
    EXPECT_EQ(a->enters, 1);
    route(app, mouseMotion(id, 30, 20));
    EXPECT_EQ(a->enters, 1);  // same child: no new enter
    route(app, mouseMotion(id, 210, 20));
    EXPECT_EQ(a->leaves, 1);
    EXPECT_EQ(b->enters, 1);
    route(app, mouseMotion(id, 150, 200));
    EXPECT_EQ(b->leaves, 1);
    EXPECT_EQ(root->hover, nullptr);
}

TEST_F(WindowRouting, FocusChangeCallsFocusLostOnceAndSameFocusChangesNothing) {
    root->setFocus(a);
    root->setFocus(a);
    EXPECT_EQ(a->focusLosses, 0);
    root->setFocus(b);
    EXPECT_EQ(a->focusLosses, 1);
    EXPECT_FALSE(a->hasFocus);
    EXPECT_TRUE(b->hasFocus);
    // Keys go to the focus.
    route(app, keyEvent(SDL_KEYDOWN, id, SDLK_a));
    ASSERT_EQ(b->types.size(), 1u);
    EXPECT_EQ(b->types[0], SDL_KEYDOWN);
}

TEST_F(WindowRouting, WheelGoesToWantingChildElseFocus) {
    b->wheel = true;
    root->setFocus(a);
    route(app, mouseWheel(id, 210, 20, 1));
    EXPECT_EQ(b->types.size(), 1u);
    route(app, mouseWheel(id, 150, 200, -1));  // over nothing: the focus
    EXPECT_EQ(a->types.size(), 1u);
    route(app, mouseWheel(id, 20, 20, -1));  // over a child that does not want it: the focus
    EXPECT_EQ(a->types.size(), 2u);
}

TEST_F(WindowRouting, ClickOutsidePopupsClosesThemAndReachesTheWidget) {
    auto* popup = new ProbePopup(50, 100, 80, 80);
    root->openPopup(popup);
    EXPECT_EQ(root->popupCapture, popup);
    EXPECT_EQ(ProbePopup::alive, 1);
    // Keys go to the popup while it is open.
    route(app, keyEvent(SDL_KEYDOWN, id, SDLK_DOWN));
    EXPECT_EQ(popup->types.size(), 1u);
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 210, 20));
    EXPECT_EQ(ProbePopup::alive, 0);
    EXPECT_TRUE(root->popups.empty());
    EXPECT_EQ(root->popupCapture, nullptr);
    EXPECT_EQ(root->focus, b);
    EXPECT_EQ(b->types.size(), 1u);
}

TEST_F(WindowRouting, ClickInsidePopupGoesToPopupCapture) {
    auto* popup = new ProbePopup(50, 100, 80, 80);
    root->openPopup(popup);
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 60, 110));
    EXPECT_EQ(ProbePopup::alive, 1);
    ASSERT_EQ(popup->types.size(), 1u);
    EXPECT_EQ(popup->locals[0].x, 10);
    root->closeAllPopups(false);
    root->runPendingDeletes();
    EXPECT_EQ(ProbePopup::alive, 0);
}

TEST_F(WindowRouting, ClosingTopPopupOnEmptyStackIsHarmlessAndRestartsTextInput) {
    root->closeTopPopup();
    auto* popup = new ProbePopup(50, 100, 80, 80);
    root->openPopup(popup);
    EXPECT_FALSE(SDL_IsTextInputActive());
    root->closeTopPopup();
    EXPECT_TRUE(SDL_IsTextInputActive());
    root->runPendingDeletes();
}

TEST_F(WindowRouting, OpeningAModalDialogRestartsTextInput) {
    root->openPopup(new ProbePopup(50, 100, 80, 80));
    ASSERT_FALSE(SDL_IsTextInputActive());
    AppWindow* dlg =
        app.createDialogWindow("Dialog", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 100,
                               SDL_WINDOW_SHOWN, {200, 200, 200, 255});
    ASSERT_NE(dlg, nullptr);
    app.setModal(dlg->root.get());
    EXPECT_TRUE(SDL_IsTextInputActive());
}

TEST_F(WindowRouting, DeletingFocusedChildDuringItsOwnEvent) {
    a->onEvent = [](ProbeWidget* self, GuiEvent&) { self->destroy(); };
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 20, 20));
    EXPECT_EQ(root->focus, nullptr);
    EXPECT_EQ(root->capture, nullptr);
    EXPECT_EQ(root->childList().size(), 1u);
    // The release has no capture left and is dropped safely.
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id, 20, 20));
}

TEST_F(WindowRouting, ModalDialogDropsCommandsFromOtherWindowsAndReleasesCapture) {
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 20, 20));
    ASSERT_EQ(root->capture, a);
    AppWindow* dlg =
        app.createDialogWindow("Dialog", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 200, 100,
                               SDL_WINDOW_SHOWN, {200, 200, 200, 255});
    ASSERT_NE(dlg, nullptr);
    app.setModal(dlg->root.get());
    // The held button was released without a click, at (-1, 0).
    EXPECT_EQ(root->capture, nullptr);
    ASSERT_EQ(a->types.back(), SDL_MOUSEBUTTONUP);
    root->postCommand(CMD_ACTIVATED, 7, 0, a);
    EXPECT_TRUE(app.commands.empty());
    // Input for the main window is not delivered while the dialog is modal.
    size_t before = b->types.size();
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 210, 20));
    EXPECT_EQ(b->types.size(), before);
    // The dialog ends with Escape: CMD_DIALOG_ENDED with result 2, window closed after.
    uint32_t dlgId = dlg->windowId;
    route(app, keyEvent(SDL_KEYDOWN, dlgId, SDLK_ESCAPE));
    ASSERT_EQ(app.commands.size(), 1u);
    EXPECT_EQ(app.commands[0].code, CMD_DIALOG_ENDED);
    EXPECT_EQ(app.commands[0].id, 2u);
    EXPECT_EQ(app.findWindowById(dlgId), nullptr);
    EXPECT_EQ(app.modalRoot, nullptr);
    root->postCommand(CMD_ACTIVATED, 7, 0, a);
    EXPECT_EQ(app.commands.size(), 2u);
}

TEST_F(WindowRouting, CloseEventFromAnyWindowRequestsQuit) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = id;
    route(app, e);
    EXPECT_TRUE(app.quitRequested);
}

TEST_F(WindowRouting, QuitAlwaysEndsTheProgram) {
    // The application's routing drops the quit; the engine still ends the run.
    SDL_Event e{};
    e.type = SDL_QUIT;
    route(app, e);
    EXPECT_TRUE(app.quitRequested);
    app.frames(2);
    EXPECT_TRUE(app.quitDone);
}

TEST_F(WindowRouting, VisibleRectClipsByAncestorsAndChecksHits) {
    SDL_Rect screen{};
    SDL_Point centre{};
    ASSERT_TRUE(root->visibleRect(a, screen, centre));
    EXPECT_EQ(centre.x, 60);
    EXPECT_EQ(centre.y, 35);
    EXPECT_EQ(screen.w, 100);
    // Covered by a later child at its centre: not reachable.
    root->addChild(new ProbeWidget(40, 20, 50, 30));
    EXPECT_FALSE(root->visibleRect(a, screen, centre));
    // Entirely outside the window.
    auto* out = new ProbeWidget(500, 500, 10, 10);
    root->addChild(out);
    EXPECT_FALSE(root->visibleRect(out, screen, centre));
}

TEST_F(WindowRouting, TooltipTimerStartsWhenTheHoveredWidgetChanges) {
    a->setTooltip("Hinweis A");
    b->setTooltip("Hinweis B");
    route(app, mouseMotion(id, 20, 20));
    root->update(1000);  // a new candidate starts the timer
    EXPECT_EQ(root->tooltipObject, a);
    root->update(1499);
    EXPECT_FALSE(root->tooltipVisible);
    root->update(1500);
    EXPECT_TRUE(root->tooltipVisible);
    // Another widget hides it and times afresh from the update that sees the change.
    route(app, mouseMotion(id, 210, 20));
    root->update(3000);
    EXPECT_EQ(root->tooltipObject, b);
    EXPECT_FALSE(root->tooltipVisible);
    root->update(3499);
    EXPECT_FALSE(root->tooltipVisible);
    root->update(3500);
    EXPECT_TRUE(root->tooltipVisible);
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 210, 20));
    EXPECT_FALSE(root->tooltipVisible);
}

// A press that opens a popup (a menu bar title) hands its release to the popup; once the
// popup is gone, tooltips must time again without waiting for another release.
TEST_F(WindowRouting, TooltipAppearsAfterAPopupOpenedByAPressCloses) {
    b->setTooltip("Hinweis");
    ProbePopup* popup = nullptr;
    a->onEvent = [&](ProbeWidget*, GuiEvent& e) {
        if (e.sdl && e.sdl->type == SDL_MOUSEBUTTONDOWN && !popup) {
            popup = new ProbePopup(10, 60, 80, 80);
            root->openPopup(popup);
            popup->onEvent = [&](ProbeWidget*, GuiEvent& k) {
                if (k.sdl && k.sdl->type == SDL_KEYDOWN && k.sdl->key.keysym.sym == SDLK_ESCAPE)
                    root->closeAllPopups(true);
            };
        }
    };
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 20, 20));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id, 20, 20));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->types.size(), 1u);  // the release went to the popup
    route(app, keyEvent(SDL_KEYDOWN, id, SDLK_ESCAPE));
    ASSERT_TRUE(root->popups.empty());
    EXPECT_EQ(root->capture, nullptr);
    route(app, mouseMotion(id, 220, 20));
    root->update(5000);
    root->update(5600);
    EXPECT_TRUE(root->tooltipVisible);
    EXPECT_EQ(root->tooltipObject, b);
}

}  // namespace
