// The search field: every change reported once, the clear zone, focus handed to the embedded
// editor, and the drawn magnifier, clear mark and frame.
#include "support/TestApp.h"
#include "text/SearchCtrl.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SearchCtrl : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(400, 200);
        ASSERT_NE(rec, nullptr);
        win = rec->root.get();
        search = new GuiSearchCtrl(nullptr, 5001, 10, 20, 280, 24, {240, 240, 240, 255},
                                   app.getFtFace());
        win->addChild(search);
        search->onChange = [this] { seen.push_back(search->text()); };
    }
    uint32_t wid() const { return rec->windowId; }
    void click(int x, int y) {
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), x, y));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), x, y));
    }
    void type(const char* chars) { route(app, textInput(wid(), chars)); }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* win = nullptr;
    GuiSearchCtrl* search = nullptr;
    std::vector<std::string> seen;
};

TEST_F(SearchCtrl, EditorSitsBetweenIconAndClearZone) {
    GuiTextCtrl* ed = search->editorCtrl();
    EXPECT_EQ(ed->x, 30);
    EXPECT_EQ(ed->y, 22);
    EXPECT_EQ(ed->width, 240);
    EXPECT_EQ(ed->height, 20);
    EXPECT_EQ(ed->parent, search);
    EXPECT_EQ(ed->window, win);
    GuiSearchCtrl tiny(nullptr, 1, 0, 0, 30, 3, {0, 0, 0, 255}, app.getFtFace());
    EXPECT_EQ(tiny.editorCtrl()->width, 1);
    EXPECT_EQ(tiny.editorCtrl()->height, 1);
}

TEST_F(SearchCtrl, TypingReportsEveryChangeOnce) {
    click(100, 30);
    EXPECT_EQ(win->focus, search->editorCtrl());
    type("a");
    type("n");
    route(app, keyEvent(SDL_KEYDOWN, wid(), SDLK_BACKSPACE));
    route(app, keyEvent(SDL_KEYDOWN, wid(), SDLK_LEFT));  // no change, no report
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "an", "a"}));
    std::string v;
    EXPECT_TRUE(search->getValue(v));
    EXPECT_EQ(v, "a");
    EXPECT_TRUE(search->setValue("Kiwi"));
    EXPECT_TRUE(search->setValue("Kiwi"));  // same text: nothing to report
    EXPECT_EQ(seen.back(), "Kiwi");
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(SearchCtrl, ClearZoneEmptiesOnceAndIsPlainTextOtherwise) {
    // Empty field: the clear zone is an ordinary click into the text.
    click(285, 30);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(win->focus, search->editorCtrl());
    search->setValue("Apfel");
    win->setFocus(nullptr);
    seen.clear();
    click(289, 43);  // last pixel of the zone
    EXPECT_EQ(seen, std::vector<std::string>{""});
    EXPECT_EQ(search->text(), "");
    EXPECT_EQ(win->focus, search->editorCtrl());
    search->setValue("Apfel");
    seen.clear();
    click(269, 30);  // one pixel left of the zone: into the text
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(search->text(), "Apfel");
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), 285, 30, SDL_BUTTON_RIGHT));
    EXPECT_EQ(search->text(), "Apfel");  // other buttons are ignored
}

TEST_F(SearchCtrl, DrawsMagnifierClearMarkAndFrame) {
    search->setValue("x");
    const int cy = 20 + 12;
    std::vector<SDL_Point> points{{25, cy},  {24, cy + 4}, {29, cy + 9}, {10 + 10, cy}, {276, 26},
                                  {284, 38}, {280, 32},    {10, 20},     {289, 43},     {12, 22}};
    std::vector<SDL_Color> px;
    app.beforePresent = [&](AppWindow* w) {
        for (SDL_Point p : points)
            px.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
    };
    app.frames(1);
    ASSERT_EQ(px.size(), points.size());
    const SDL_Color ink{100, 100, 100, 255}, frame{80, 80, 80, 255}, white{255, 255, 255, 255};
    EXPECT_TRUE(sameColor(px[0], ink));    // circle's start point (x + 15, cy)
    EXPECT_TRUE(sameColor(px[1], ink));    // handle from (x + 14, cy + 4)
    EXPECT_TRUE(sameColor(px[2], ink));    // to (x + 19, cy + 9)
    EXPECT_TRUE(sameColor(px[3], white));  // centre of the lens
    EXPECT_TRUE(sameColor(px[4], ink));    // clear mark from (right - 14, y + 6)
    EXPECT_TRUE(sameColor(px[5], ink));    // to (right - 6, y + height - 6)
    EXPECT_TRUE(sameColor(px[6], ink));    // the crossing
    EXPECT_TRUE(sameColor(px[7], frame));
    EXPECT_TRUE(sameColor(px[8], frame));
    EXPECT_TRUE(sameColor(px[9], white));
    search->setValue("");
    px.clear();
    app.frames(1);
    EXPECT_TRUE(sameColor(px[6], white));  // no clear mark without text
}

}  // namespace
