// The combo box and its drop-down: selection by keyboard and mouse, wheel scrolling, value
// text, the drop-down's lifetime when the window closes every popup, and the drawn arrow.
#include "controls/ListCtrl.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr SDL_Color kFieldBg{240, 240, 240, 255};

class ComboBox : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(400, 400);
        ASSERT_NE(rec, nullptr);
        win = rec->root.get();
        combo = new GuiComboBox(nullptr, 100, 10, 26, 280, 24, kFieldBg, {0, 0, 0, 255},
                                app.getDefaultFont(), 150);
        win->addChild(combo);
        other = new ProbeWidget(300, 300, 50, 30);
        win->addChild(other);
    }
    void fill(int n) {
        for (int i = 0; i < n; ++i)
            combo->addItem(1000 + i, "Eintrag " + std::to_string(i));
    }
    uint32_t wid() const { return rec->windowId; }
    void click(int x, int y) {
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), x, y));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), x, y));
    }
    void key(SDL_Keycode k) { route(app, keyEvent(SDL_KEYDOWN, wid(), k)); }
    std::vector<int64_t> selections() const {
        std::vector<int64_t> v;
        for (auto& c : app.commands)
            if (c.code == CMD_COMBO_SELECTED && c.id == 100) v.push_back(c.value);
        return v;
    }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* win = nullptr;
    GuiComboBox* combo = nullptr;
    ProbeWidget* other = nullptr;
};

TEST_F(ComboBox, FirstEntrySelectedSilentlyAndEmptyComboDoesNotOpen) {
    click(50, 30);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
    fill(3);
    EXPECT_EQ(combo->selected, 0);
    EXPECT_EQ(combo->selectedText(), "Eintrag 0");
    EXPECT_EQ(combo->selectedItemId(), 1000);
    EXPECT_TRUE(selections().empty());
    combo->selectById(1002, false);
    EXPECT_EQ(combo->selected, 2);
    combo->selectById(7, true);  // unknown id: nothing
    EXPECT_EQ(combo->selected, 2);
    EXPECT_TRUE(selections().empty());
}

TEST_F(ComboBox, ClickOpensDropDownAndAClickOnARowChoosesIt) {
    fill(20);
    combo->setSelection(4, false);
    click(50, 30);
    GuiComboBoxDropDown* dd = combo->dropDown;
    ASSERT_NE(dd, nullptr);
    EXPECT_TRUE(win->isPopup(dd));
    EXPECT_EQ(dd->x, 10);
    EXPECT_EQ(dd->y, 50);
    EXPECT_EQ(dd->width, 280);
    EXPECT_EQ(dd->height, 150);
    EXPECT_EQ(dd->selected, 4);
    EXPECT_STREQ(dd->className(), "GuiComboBoxDropDown");
    const int rh = dd->rowHeight;
    int row4y = dd->y + 4 * rh - dd->scrollY + 2;
    click(40, row4y);  // the row already chosen keeps the list open
    EXPECT_TRUE(combo->dropDownOpen);
    EXPECT_TRUE(selections().empty());
    click(40, row4y + rh);  // row 5
    EXPECT_EQ(selections(), std::vector<int64_t>{1005});
    EXPECT_EQ(combo->selected, 5);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_EQ(combo->dropDown, nullptr);
    EXPECT_FALSE(win->hasPopups());
    // A second click on the combo while open closes it without choosing.
    click(50, 30);
    ASSERT_TRUE(combo->dropDownOpen);
    click(50, 30);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
    EXPECT_EQ(selections().size(), 1u);
}

TEST_F(ComboBox, KeyboardOpensChoosesAndCancels) {
    fill(5);
    win->setFocus(combo);
    key(SDLK_UP);  // already at the first entry
    EXPECT_TRUE(selections().empty());
    combo->setSelection(3, false);
    key(SDLK_UP);
    EXPECT_EQ(selections(), std::vector<int64_t>{1002});
    key(SDLK_DOWN);  // opens
    ASSERT_TRUE(combo->dropDownOpen);
    GuiComboBoxDropDown* dd = combo->dropDown;
    ASSERT_NE(dd, nullptr);
    key(SDLK_UP);  // goes to the drop-down, which has no key handling of its own
    EXPECT_EQ(combo->selected, 2);
    key(SDLK_ESCAPE);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_EQ(combo->selected, 2);
    key(SDLK_SPACE);
    ASSERT_TRUE(combo->dropDownOpen);
    combo->dropDown->setSelection(4);
    key(SDLK_KP_ENTER);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_EQ(selections(), (std::vector<int64_t>{1002, 1004}));
    key(SDLK_RETURN);
    EXPECT_TRUE(combo->dropDownOpen);
    // Losing the focus closes it.
    click(310, 310);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
}

TEST_F(ComboBox, WheelScrollsTheDropDown) {
    fill(1001);
    click(50, 30);
    GuiComboBoxDropDown* dd = combo->dropDown;
    ASSERT_NE(dd, nullptr);
    EXPECT_EQ(dd->itemCount(), 1001);
    route(app, mouseWheel(wid(), 50, 100, -3));
    EXPECT_EQ(dd->scrollY, 3 * dd->rowHeight);
    route(app, mouseWheel(wid(), 50, 100, -1000000));
    EXPECT_EQ(dd->scrollY, 1001 * dd->rowHeight - dd->viewHeight());
    EXPECT_EQ(combo->selected, 0);  // scrolling chooses nothing
    EXPECT_TRUE(combo->dropDownOpen);
}

TEST_F(ComboBox, ValueTextSelectsClearsAndRejects) {
    fill(3);
    std::string v;
    EXPECT_TRUE(combo->getValue(v));
    EXPECT_EQ(v, "Eintrag 0");
    EXPECT_TRUE(combo->setValue("Eintrag 2"));
    EXPECT_EQ(selections(), std::vector<int64_t>{1002});  // with notify
    EXPECT_FALSE(combo->setValue("Eintrag 9"));
    EXPECT_EQ(combo->selected, 2);
    EXPECT_TRUE(combo->setValue(""));
    EXPECT_EQ(combo->selected, -1);
    EXPECT_TRUE(combo->getValue(v));
    EXPECT_EQ(v, "");
    EXPECT_EQ(selections().size(), 1u);
    combo->clear();
    EXPECT_EQ(combo->selectedItemId(), -1);
}

TEST_F(ComboBox, DropDownClosedByTheWindowLeavesNoDanglingPointer) {
    fill(10);
    // Open, click another widget, click the combo twice (the widget takes the focus, so the
    // combo forgets its drop-down; the first click opens again, the second closes).
    click(50, 30);
    ASSERT_NE(combo->dropDown, nullptr);
    click(310, 310);
    EXPECT_EQ(combo->dropDown, nullptr);
    EXPECT_FALSE(win->hasPopups());
    click(50, 30);
    EXPECT_TRUE(combo->dropDownOpen);
    EXPECT_TRUE(win->isPopup(combo->dropDown));
    click(50, 30);
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
    // A press on empty window space closes the drop-down but leaves the focus: the combo still
    // believes it is open, yet holds no pointer to the deleted list.
    click(50, 30);
    ASSERT_NE(combo->dropDown, nullptr);
    click(200, 380);
    EXPECT_EQ(combo->dropDown, nullptr);
    EXPECT_TRUE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
    click(50, 30);  // only resets the state
    EXPECT_FALSE(combo->dropDownOpen);
    EXPECT_FALSE(win->hasPopups());
    click(50, 30);
    EXPECT_TRUE(combo->dropDownOpen);
    ASSERT_NE(combo->dropDown, nullptr);
    EXPECT_TRUE(win->isPopup(combo->dropDown));
    // Closing never takes another popup off the stack.
    auto* foreign = new ProbeWidget(0, 300, 20, 20);
    win->openPopup(foreign);
    win->closeAllPopups(false);
    win->runPendingDeletes();
    win->openPopup(new ProbeWidget(0, 300, 20, 20));
    combo->closeDropDown();
    EXPECT_EQ(win->popupStack().size(), 1u);
}

TEST_F(ComboBox, DrawsFieldTextAreaAndArrow) {
    fill(2);
    std::vector<SDL_Color> px;
    // Arrow area (272, 26, 18, 24); the 9 x 9 image is centred on (281, 38): rows 34..42.
    std::vector<SDL_Point> points{{11, 27},  {10, 26},  {273, 30}, {272, 30}, {277, 35},
                                  {285, 35}, {281, 38}, {277, 37}, {276, 35}};
    app.beforePresent = [&](AppWindow* w) {
        for (SDL_Point p : points)
            px.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
    };
    app.frames(1);
    ASSERT_EQ(px.size(), points.size());
    EXPECT_TRUE(sameColor(px[0], kFieldBg));
    EXPECT_TRUE(sameColor(px[1], {80, 80, 80, 255}));     // border
    EXPECT_TRUE(sameColor(px[2], {225, 225, 225, 255}));  // darkened arrow area
    EXPECT_TRUE(sameColor(px[3], {80, 80, 80, 255}));     // its left edge
    EXPECT_TRUE(sameColor(px[4], {0, 0, 0, 255}));        // top row of the triangle
    EXPECT_TRUE(sameColor(px[5], {0, 0, 0, 255}));
    EXPECT_TRUE(sameColor(px[6], {0, 0, 0, 255}));        // its tip column
    EXPECT_TRUE(sameColor(px[7], {225, 225, 225, 255}));  // transparent beside the point
    EXPECT_TRUE(sameColor(px[8], {225, 225, 225, 255}));  // left of the image
}

TEST_F(ComboBox, LongTextIsCutBeforeTheArrow) {
    combo->addItem(1, std::string(60, 'W'));
    // Text from x + 3, at most width - arrowWidth - 6 = 256 pixels: columns 13..268.
    int inkLeft = 0, inkGap = 0;
    app.beforePresent = [&](AppWindow* w) {
        for (int py = 28; py < 48; ++py) {
            for (int px = 240; px < 269; ++px)
                if (!sameColor(readPixel(w->sdlRenderer(), px, py), kFieldBg)) ++inkLeft;
            for (int px = 269; px < 272; ++px)
                if (!sameColor(readPixel(w->sdlRenderer(), px, py), kFieldBg)) ++inkGap;
        }
    };
    app.frames(1);
    EXPECT_GT(inkLeft, 0);
    EXPECT_EQ(inkGap, 0);
}

TEST(ComboArrow, ReleasedWithItsWindow) {
    TestApp app;
    for (int round = 0; round < 2; ++round) {
        AppWindow* rec = app.openMain(200, 100);
        ASSERT_NE(rec, nullptr);
        auto* combo = new GuiComboBox(nullptr, 1, 0, 0, 100, 24, kFieldBg, {0, 0, 0, 255},
                                      app.getDefaultFont(), 50);
        rec->root->addChild(combo);
        SDL_Color tip{};
        app.beforePresent = [&](AppWindow* w) { tip = readPixel(w->sdlRenderer(), 91, 12); };
        app.frames(1);
        app.beforePresent = nullptr;
        // A new renderer may reuse the old one's address: a stale entry would draw nothing.
        EXPECT_TRUE(sameColor(tip, {0, 0, 0, 255})) << round;
        EXPECT_TRUE(app.destroyWindow(rec->windowId));
    }
}

}  // namespace
