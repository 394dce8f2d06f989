// The input dialog: layout, the initial focus and text, Return in single- and multi-line
// fields, the buttons, Escape, and the value after the end.
#include "DialogTestApp.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "dialogs/InputDialog.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

namespace {

class InputDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(app.openMain(800, 600), nullptr);
        app.onEnded = [](GuiDialog* dialog, DialogTestApp::Ended& end) {
            if (auto* input = dynamic_cast<GuiInputDialog*>(dialog)) {
                end.value = input->value();
                end.className += input->accepted ? " accepted" : " not accepted";
            }
        };
    }
    GuiInputDialog* open(uint32_t flags, const std::string& initial = "Rechteck") {
        GuiInputDialog* dialog = showInputDialog("Neuer Name:", "Eingabe", initial, flags);
        EXPECT_NE(dialog, nullptr);
        EXPECT_EQ(app.modalRoot, dialog);
        return dialog;
    }
    // Moves the caret to the end of the (first) line.
    void toEnd() { app.key(SDLK_END); }

    DialogTestApp app;
};

TEST_F(InputDialogTest, LayoutFocusAndInitialText) {
    for (uint32_t flags : {0u, static_cast<uint32_t>(INPUT_MULTILINE)}) {
        const bool multi = flags & INPUT_MULTILINE;
        GuiInputDialog* dialog = open(flags);
        ASSERT_NE(dialog, nullptr);
        const int h = multi ? 213 : 117;
        int ww = 0, wh = 0;
        SDL_GetWindowSize(app.dialogWindow()->sdlWindow.get(), &ww, &wh);
        EXPECT_EQ(ww, 420);
        EXPECT_EQ(wh, h);

        GuiTextCtrl* field = dialog->textCtrl;
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(dialog->findByName("input"), field);
        EXPECT_EQ(field->multiline, multi);
        EXPECT_EQ(field->rect().x, 12);
        EXPECT_EQ(field->rect().y, 40);
        EXPECT_EQ(field->width, 396);
        EXPECT_EQ(field->height, multi ? 120 : 24);
        EXPECT_EQ(dialog->value(), "Rechteck");
        EXPECT_TRUE(field->hasFocus);
        EXPECT_EQ(dialog->focus, field);
        EXPECT_EQ(app.activeEditable, static_cast<IEditable*>(field));

        auto* ok = dynamic_cast<GuiButton*>(dialog->findByName("ok"));
        auto* cancel = dynamic_cast<GuiButton*>(dialog->findByName("cancel"));
        ASSERT_TRUE(ok && cancel);
        EXPECT_EQ(ok, dialog->okButton);
        EXPECT_EQ(cancel, dialog->cancelButton);
        EXPECT_EQ(ok->label, "OK");
        EXPECT_EQ(cancel->label, "Abbrechen");
        EXPECT_EQ(ok->id, 1);
        EXPECT_EQ(cancel->id, 0);
        EXPECT_EQ(ok->x, 200);
        EXPECT_EQ(ok->y, h - 37);
        EXPECT_EQ(cancel->x, 308);
        EXPECT_EQ(cancel->y, h - 37);

        GuiLabel* prompt = nullptr;
        for (auto& child : dialog->children)
            if (auto* label = dynamic_cast<GuiLabel*>(child.get())) prompt = label;
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->text, "Neuer Name:");
        EXPECT_EQ(prompt->rect().x, 12);
        EXPECT_EQ(prompt->rect().y, 12);
        EXPECT_EQ(prompt->width, 396);
        app.key(SDLK_ESCAPE);
    }
}

TEST_F(InputDialogTest, SingleLineReturnAcceptsTheTypedText) {
    open(0);
    toEnd();
    app.type("eck");
    app.key(SDLK_RETURN);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].className, "GuiInputDialog accepted");
    EXPECT_EQ(app.ended[0].value, "Rechteckeck");
    EXPECT_EQ(app.modalRoot, nullptr);
    EXPECT_EQ(app.dialogWindow(), nullptr);
}

TEST_F(InputDialogTest, MultiLineReturnBreaksTheLineUntilOkIsClicked) {
    GuiInputDialog* dialog = open(INPUT_MULTILINE, "Erste Zeile");
    toEnd();
    app.key(SDLK_RETURN);
    app.type("Zweite");
    EXPECT_TRUE(app.ended.empty());
    EXPECT_EQ(dialog->value(), "Erste Zeile\nZweite");
    app.click(app.dialogWindow(), dialog->okButton);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].className, "GuiInputDialog accepted");
    EXPECT_EQ(app.ended[0].value, "Erste Zeile\nZweite");
}

TEST_F(InputDialogTest, MultiLineReturnAcceptsWhenTheFieldLostTheFocus) {
    GuiInputDialog* dialog = open(INPUT_MULTILINE);
    dialog->setFocus(dialog->cancelButton);
    app.key(SDLK_RETURN);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].value, "Rechteck");
}

TEST_F(InputDialogTest, EscapeAndAbbrechenCancelAndKeepTheText) {
    for (uint32_t flags : {0u, static_cast<uint32_t>(INPUT_MULTILINE)}) {
        open(flags);
        toEnd();
        app.type("X");
        app.key(SDLK_ESCAPE);
        ASSERT_FALSE(app.ended.empty());
        EXPECT_EQ(app.ended.back().result, 2u);
        EXPECT_EQ(app.ended.back().className, "GuiInputDialog not accepted");
        EXPECT_EQ(app.ended.back().value, "RechteckX");
    }
    GuiInputDialog* dialog = open(0);
    app.click(app.dialogWindow(), dialog->cancelButton);
    EXPECT_EQ(app.ended.back().result, 2u);
    EXPECT_EQ(app.ended.size(), 3u);
}

TEST_F(InputDialogTest, AcceptAfterTheEndDoesNothing) {
    GuiInputDialog* dialog = open(0);
    app.activeEditable = nullptr;
    dialog->cancel();
    ASSERT_EQ(app.ended.size(), 1u);
    // The window is closed only after the event; a late accept must not post a second end.
    dialog->accept();
    EXPECT_EQ(app.ended.size(), 1u);
    app.destroyPendingWindows();
}

TEST(InputDialogWithoutMainWindow, ReturnsNull) {
    DialogTestApp app;
    EXPECT_EQ(showInputDialog("a", "b", "c", 0), nullptr);
    EXPECT_EQ(app.modalRoot, nullptr);
}

}  // namespace
