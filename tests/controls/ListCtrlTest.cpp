// The list control: scroll-bar thresholds, scrolling to the end, selection by mouse, wheel and
// Shift+wheel, thumb drags and paging, value text, and the content-width bound.
#include "controls/ListCtrl.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

constexpr SDL_Color kListBg{240, 240, 240, 255};

class ListCtrl : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(640, 480);
        ASSERT_NE(rec, nullptr);
        font = app.getDefaultFont();
        ASSERT_NE(font, nullptr);
    }
    GuiListCtrl* makeList(int x, int y, int w, int h, int rows,
                          const std::string& prefix = "Eintrag ") {
        auto* list = new GuiListCtrl(nullptr, 42, x, y, w, h, kListBg, font);
        for (int i = 0; i < rows; ++i)
            list->addItem(i, prefix + std::to_string(i));
        rec->root->addChild(list);
        return list;
    }
    int textWidth(const std::string& s) {
        int w = 0, h = 0;
        TTF_SizeUTF8(font, s.c_str(), &w, &h);
        return w;
    }
    uint32_t wid() const { return rec->windowId; }
    void press(int x, int y, uint8_t button = SDL_BUTTON_LEFT) {
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), x, y, button));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), x, y, button));
    }
    std::vector<SDL_Color> pixels(std::vector<SDL_Point> points) {
        std::vector<SDL_Color> out;
        app.beforePresent = [&](AppWindow* w) {
            for (SDL_Point p : points)
                out.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
        };
        app.frames(1);
        app.beforePresent = nullptr;
        return out;
    }

    TestApp app;
    AppWindow* rec = nullptr;
    TTF_Font* font = nullptr;
};

TEST_F(ListCtrl, RowHeightFollowsTheFont) {
    GuiListCtrl* list = makeList(0, 0, 100, 100, 0);
    EXPECT_EQ(list->rowHeight, TTF_FontLineSkip(font) + 4);
    GuiListCtrl bare(nullptr, 1, 0, 0, 100, 100, kListBg, nullptr);
    EXPECT_EQ(bare.rowHeight, 20);
}

TEST_F(ListCtrl, ScrollBarsAppearAtTheExactThresholds) {
    const std::string wide = "Ein recht breiter Eintrag, breiter als alles";
    const int tw = textWidth(wide);
    int rh = 0;
    {
        GuiListCtrl probe(nullptr, 1, 0, 0, 10, 10, kListBg, font);
        rh = probe.rowHeight;
    }
    struct Case {
        const char* what;
        int rows;       // short rows "x"
        int heightAdd;  // control height = rows * rh + heightAdd
        int widthAdd;   // control width = tw + widthAdd (the wide row is one of the rows)
        bool v, h;
    };
    const Case cases[] = {
        {"rows exactly as tall as the control", 4, 0, 0, false, false},
        {"one pixel taller", 4, -1, 100, true, false},
        {"taller, text exactly fits the narrowed view", 4, -1, 14, true, false},
        {"taller, text one pixel wider than the narrowed view", 4, -1, 13, true, true},
        {"text exactly as wide as the control", 2, 20, 0, false, false},
        {"text one pixel wider, room for the bar", 2, 14, -1, false, true},
        {"text wider, bar would cover the last row", 2, 13, -1, true, true},
    };
    for (const Case& c : cases) {
        int h = c.rows * rh + c.heightAdd;
        int w = tw + c.widthAdd;
        auto* list = new GuiListCtrl(nullptr, 1, 0, 0, w, h, kListBg, font);
        list->addItem(0, wide);
        for (int i = 1; i < c.rows; ++i)
            list->addItem(i, "x");
        list->updateScrollbars();
        EXPECT_EQ(list->vScroll.visible, c.v) << c.what;
        EXPECT_EQ(list->hScroll.visible, c.h) << c.what;
        EXPECT_EQ(list->viewWidth(), w - (c.v ? 14 : 0)) << c.what;
        EXPECT_EQ(list->viewHeight(), h - (c.h ? 14 : 0)) << c.what;
        if (c.v) {
            EXPECT_EQ(list->vScroll.track.x, w - 14) << c.what;
            EXPECT_EQ(list->vScroll.track.h, list->viewHeight()) << c.what;
        }
        delete list;
    }
}

TEST_F(ListCtrl, LastOfManyRowsEndsFlushWithTheView) {
    GuiListCtrl* list = makeList(20, 30, 280, 200, 10000);
    list->addItem(10000, "Eintrag LAST");
    app.frames(1);
    for (int i = 0; i < 3; ++i)
        route(app, mouseWheel(wid(), 100, 100, -100000));
    const int rh = list->rowHeight;
    const int viewH = list->viewHeight();
    EXPECT_EQ(list->scrollY, 10001 * rh - viewH);
    // The thumb's end sits at the track's end.
    EXPECT_EQ(list->vScroll.thumb.y + list->vScroll.thumb.h, 30 + viewH);
    press(100, 30 + viewH - 2);
    ASSERT_NE(list->selectedItem(), nullptr);
    EXPECT_EQ(list->selectedItem()->text, "Eintrag LAST");
    const int bottom = 30 + viewH;
    auto px = pixels({{22, bottom - 1}, {22, bottom - rh}, {22, bottom - rh - 1}, {22, bottom}});
    EXPECT_TRUE(sameColor(px[0], {0, 120, 215, 255}));  // the last row reaches the bottom
    EXPECT_TRUE(sameColor(px[1], {0, 120, 215, 255}));  // and is a full row tall
    EXPECT_TRUE(sameColor(px[2], kListBg));
    EXPECT_TRUE(sameColor(px[3], {200, 200, 200, 255}));  // window below the list
}

TEST_F(ListCtrl, ClickSelectsAndDrawsRowsClickBelowKeepsSelection) {
    GuiListCtrl* list = makeList(10, 10, 200, 150, 3);
    const int rh = list->rowHeight;
    press(50, 10 + rh + 2, SDL_BUTTON_RIGHT);  // any button selects
    EXPECT_EQ(list->selected, 1);
    EXPECT_TRUE(list->hasFocus);
    press(50, 10 + 3 * rh + 5);  // below the last row
    EXPECT_EQ(list->selected, 1);
    EXPECT_EQ(list->selectedItemId(), 1);
    auto px = pixels({{12, 10 + rh + 1}, {12, 10 + 2}, {209, 10 + rh + 1}, {210, 10 + rh + 1}});
    EXPECT_TRUE(sameColor(px[0], {0, 120, 215, 255}));
    EXPECT_TRUE(sameColor(px[1], kListBg));
    EXPECT_TRUE(sameColor(px[2], {0, 120, 215, 255}));  // the fill spans the view width
    EXPECT_TRUE(sameColor(px[3], {200, 200, 200, 255}));
    EXPECT_EQ(app.commands.size(), 0u);  // the list posts nothing
}

TEST_F(ListCtrl, WheelAndShiftWheel) {
    GuiListCtrl* list = makeList(0, 0, 120, 100, 50, "Ein ziemlich langer Eintrag Nummer ");
    app.frames(1);
    ASSERT_TRUE(list->vScroll.visible);
    ASSERT_TRUE(list->hScroll.visible);
    route(app, mouseWheel(wid(), 10, 10, -2));
    EXPECT_EQ(list->scrollY, 2 * list->rowHeight);
    EXPECT_EQ(list->scrollX, 0);
    SDL_SetModState(KMOD_LSHIFT);
    route(app, mouseWheel(wid(), 10, 10, -1));
    SDL_SetModState(KMOD_NONE);
    EXPECT_EQ(list->scrollY, 3 * list->rowHeight);  // Shift moves both offsets
    EXPECT_EQ(list->scrollX, 40);
    route(app, mouseWheel(wid(), 10, 10, 100));
    EXPECT_EQ(list->scrollY, 0);  // clamped at the top
    EXPECT_EQ(list->scrollX, 40);
}

TEST_F(ListCtrl, ThumbDragAndTrackPaging) {
    GuiListCtrl* list = makeList(0, 0, 200, 100, 100);
    app.frames(1);
    const int CH = 100 * list->rowHeight;
    const int viewH = list->viewHeight();
    SDL_Rect thumb = list->vScroll.thumb;
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), thumb.x + 3, thumb.y + 3));
    route(app, mouseMotion(wid(), thumb.x + 3, 5000));  // far past the end
    EXPECT_EQ(list->scrollY, CH - viewH);
    route(app, mouseMotion(wid(), thumb.x + 3, -5000));
    EXPECT_EQ(list->scrollY, 0);
    route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), thumb.x + 3, -5000));
    EXPECT_FALSE(list->vScroll.dragging);
    // A press on the track below the thumb pages by the track height less one row.
    press(thumb.x + 3, viewH - 2);
    EXPECT_EQ(list->scrollY, viewH - list->rowHeight);
    EXPECT_EQ(list->selected, -1);
}

TEST_F(ListCtrl, ValueTextSelectsClearsAndRejects) {
    GuiListCtrl* list = makeList(0, 0, 200, 100, 500);
    std::string v = "x";
    EXPECT_TRUE(list->getValue(v));
    EXPECT_EQ(v, "");
    EXPECT_TRUE(list->setValue("Eintrag 321"));
    EXPECT_EQ(list->selected, 321);
    // Scrolled so that the row's bottom is the view's bottom.
    EXPECT_EQ(list->scrollY, 322 * list->rowHeight - list->viewHeight());
    EXPECT_FALSE(list->setValue("Eintrag 5000"));
    EXPECT_FALSE(list->setValue("eintrag 3"));  // exact text only
    EXPECT_EQ(list->selected, 321);
    EXPECT_TRUE(list->getValue(v));
    EXPECT_EQ(v, "Eintrag 321");
    EXPECT_TRUE(list->setValue("Eintrag 0"));
    EXPECT_EQ(list->scrollY, 0);  // row above the view: its top becomes the view's top
    EXPECT_TRUE(list->setValue(""));
    EXPECT_EQ(list->selected, -1);
    EXPECT_EQ(list->selectedItem(), nullptr);
    list->setSelection(7000);  // out of range clears
    EXPECT_EQ(list->selected, -1);
    list->clear();
    EXPECT_EQ(list->itemCount(), 0);
    EXPECT_EQ(list->scrollY, 0);
    EXPECT_FALSE(list->vScroll.visible);
}

TEST_F(ListCtrl, RowAtUsesHalfOpenViewBounds) {
    GuiListCtrl* list = makeList(10, 10, 100, 60, 20);
    list->updateScrollbars();
    ASSERT_TRUE(list->vScroll.visible);
    EXPECT_EQ(list->rowAt(10, 10), 0);
    EXPECT_EQ(list->rowAt(9, 10), -1);
    EXPECT_EQ(list->rowAt(10 + 100 - 14 - 1, 10), 0);
    EXPECT_EQ(list->rowAt(10 + 100 - 14, 10), -1);  // on the vertical bar
    EXPECT_EQ(list->rowAt(10, 10 + 60), -1);
    EXPECT_EQ(list->rowAt(10, 10 + list->rowHeight), 1);
}

TEST_F(ListCtrl, RememberedWidthsFollowAppendsClearsAndFonts) {
    GuiListCtrl* list = makeList(0, 0, 150, 300, 3);
    app.frames(1);
    EXPECT_FALSE(list->hScroll.visible);
    const std::string wide = "Eine Zeile, die viel breiter ist als die Liste selbst";
    list->addItem(9, wide);  // appended after the widths were taken
    app.frames(1);
    ASSERT_TRUE(list->hScroll.visible);
    // The 150-pixel view over the 334-pixel row (Vera at the default size): a thumb of
    // round(150 × 150 / 334) = 67 pixels on the 150-pixel track.
    ASSERT_EQ(textWidth(wide), 334);
    EXPECT_EQ(list->hScroll.track.w, 150);
    EXPECT_EQ(list->hScroll.thumb.w, 67);
    list->clear();
    list->addItem(0, "kurz");
    app.frames(1);
    EXPECT_FALSE(list->hScroll.visible);
    list->addItem(1, wide);
    TTF_Font* big = app.openFont(40);
    ASSERT_NE(big, nullptr);
    list->font = big;
    list->relayout();
    int bigW = 0, bigH = 0;
    TTF_SizeUTF8(big, wide.c_str(), &bigW, &bigH);
    // Scrolled fully right, the view ends exactly at the widest row's end.
    route(app, mouseWheel(wid(), 10, 10, 0));
    SDL_Event e = mouseWheel(wid(), 10, 10, 0);
    e.wheel.x = -1000;
    route(app, e);
    EXPECT_EQ(list->scrollX, bigW - list->viewWidth());
    list->font = app.getDefaultFont();
    list->relayout();
    TTF_CloseFont(big);
}

// Scrolled fully right, the view ends at the widest row's end; 0 when nothing is wider.
int rightmostScroll(TestApp& app, GuiListCtrl* list, uint32_t windowId) {
    app.frames(1);
    SDL_Event e = mouseWheel(windowId, 10, 10, 0);
    e.wheel.x = -100000;
    route(app, e);
    return list->scrollX;
}

// Lists in the toolkit's font measure rows with the face's own rasteriser. When the face
// changes size under them (its owner may do that), the rasteriser they hold no longer matches:
// rows are measured by SDL_ttf again, and drawn as SDL_ttf draws them.
TEST_F(ListCtrl, AFaceResizedUnderTheListIsNoLongerUsedToMeasureIt) {
    ASSERT_EQ(font, app.getDefaultFont());
    GuiListCtrl* list = makeList(0, 0, 150, 300, 3);
    app.frames(1);
    FT_Face face = app.getFtFace();
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 20), 0);
    // Characters no row has shown yet: a stale rasteriser would load them at the new size.
    const std::string wide = "QQQ XXX www mmm MMM ### @@@ %%%";
    list->addItem(9, wide);
    list->relayout();
    const int rightmost = rightmostScroll(app, list, wid());
    ASSERT_EQ(FT_Set_Pixel_Sizes(face, 0, 14), 0);
    EXPECT_EQ(rightmost, textWidth(wide) - list->viewWidth());
    EXPECT_EQ(app.damageMismatches, 0u);
}

TEST_F(ListCtrl, HorizontalRangeFollowsAddedChangedAndRemovedRows) {
    GuiListCtrl* list = makeList(0, 0, 150, 300, 4);
    const std::string wide = "Eine Zeile, die viel breiter ist als die Liste selbst";
    const std::string wider = wide + " und noch etwas";
    app.frames(1);
    EXPECT_FALSE(list->hScroll.visible);
    ASSERT_TRUE(list->setItemText(1, wide));
    EXPECT_EQ(rightmostScroll(app, list, wid()), textWidth(wide) - list->viewWidth());
    list->addItem(4, wider);
    EXPECT_EQ(rightmostScroll(app, list, wid()), textWidth(wider) - list->viewWidth());
    list->setSelection(3);
    ASSERT_TRUE(list->removeItem(4));  // the widest row goes: the range shrinks to the next
    list->addItem(5, "kurz");          // (as many rows as before: nothing measured is reused)
    EXPECT_EQ(rightmostScroll(app, list, wid()), textWidth(wide) - list->viewWidth());
    ASSERT_TRUE(list->setItemText(1, "kurz"));  // the wide row becomes short: no bar at all
    EXPECT_EQ(rightmostScroll(app, list, wid()), 0);
    EXPECT_FALSE(list->hScroll.visible);
    // The selection follows its row and goes with it.
    ASSERT_TRUE(list->removeItem(0));
    EXPECT_EQ(list->selected, 2);
    EXPECT_EQ(list->selectedItem()->text, "Eintrag 3");
    ASSERT_TRUE(list->removeItem(2));
    EXPECT_EQ(list->selected, -1);
    EXPECT_FALSE(list->removeItem(3));
    EXPECT_FALSE(list->setItemText(-1, wide));
    EXPECT_EQ(list->itemCount(), 3);
    // Rows edited directly count once the list is told.
    list->itemAt(0)->text = wider;
    list->itemsChanged();
    EXPECT_EQ(rightmostScroll(app, list, wid()), textWidth(wider) - list->viewWidth());
}

TEST_F(ListCtrl, ChangedRowIsDrawnWithItsNewText) {
    GuiListCtrl* list = makeList(0, 0, 200, 100, 3);
    const int mid = list->rowHeight / 2;
    std::vector<SDL_Point> strip;
    for (int x = 0; x < 80; ++x)
        strip.push_back({x, mid});
    auto ink = [&] {
        int n = 0;
        for (SDL_Color c : pixels(strip))
            n += !sameColor(c, kListBg);
        return n;
    };
    EXPECT_GT(ink(), 0);
    list->setItemText(0, "");
    EXPECT_EQ(ink(), 0);
    list->setItemText(0, "Eintrag 0");
    EXPECT_GT(ink(), 0);
    list->removeItem(0);  // the row below moves up: its text, not the removed one's
    list->setItemText(0, "");
    EXPECT_EQ(ink(), 0);
}

TEST_F(ListCtrl, RowsSummedUpAsAddedBoundTheWidestRow) {
    // Rows noted as added: the summary alone decides when they clearly fit, and never claims
    // less than the widest row; when it cannot decide, the width is exact. Wide characters of
    // several bytes, broken sequences and more distinct characters than the summary keeps too.
    std::string manyKinds;
    for (char32_t c = 0x3041; c < 0x3041 + 80; ++c)  // 80 characters of three bytes
        manyKinds += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                      static_cast<char>(0x80 | (c & 0x3F))};
    const std::vector<std::vector<std::string>> sets = {
        {"AVAVAVAVAV", "WAWAWA To Ty", "jjjjj"},
        {"iiiiiiiiiiiiiiiiiiii", "mmmmmmmmmm", "Eintrag 999999"},
        {"\t\tTab", "@@@", "W"},
        {"Größe", "ÄÄÄÄÄÄ", "iii€€€"},
        {"\xC3", "\xE2\x82 \xFF\x80", "W\xF0\x9F\x98\x80W"},
        {manyKinds, "Öl", "ii"},
    };
    for (const auto& texts : sets) {
        RowWidths widths;
        ListItems rows;
        int exact = 0;
        for (const std::string& t : texts) {
            rows.push_back({0, t});
            widths.noteAppended(t);
            exact = std::max(exact, textWidth(t));
        }
        EXPECT_GE(widths.contentWidth(font, rows, 100000), exact) << texts[0];
        EXPECT_EQ(widths.contentWidth(font, rows, exact - 1), exact) << texts[0];
        // A row the summary has not seen (pushed directly) is measured, not assumed to fit.
        rows.push_back({0, texts[0] + texts[1] + texts[2]});
        EXPECT_EQ(widths.contentWidth(font, rows, exact), textWidth(rows.back().text)) << texts[0];
    }
    // Umlaut rows that clearly fit are not walked: a row changed behind the summary's back
    // (which the list never does) goes unseen.
    RowWidths widths;
    ListItems rows{{0, "Ärger über Öl"}, {1, "€ 中文"}};
    for (const ListItem& row : rows)
        widths.noteAppended(row.text);
    rows[1].text = std::string(300, 'W');
    EXPECT_LT(widths.contentWidth(font, rows, 2000), textWidth(rows[1].text));
}

TEST_F(ListCtrl, WidthBoundNeverBelowTheMeasuredWidth) {
    RowWidths widths;
    const char* texts[] = {"AVAVAVAVAV",
                           "WAWAWA To Ty",
                           "ffiffl",
                           "Ärger über Öl",
                           "jjjjj",
                           "\t\tTab",
                           "Eintrag 999999",
                           "\xC3\x28 kaputt \xE2\x82",
                           "iiiiiiiiiiiiiiiiiiii",
                           "mmmmmmmmmm",
                           "€€€ 中文"};
    for (const char* t : texts) {
        int w = 0, h = 0;
        if (TTF_SizeUTF8(font, t, &w, &h) != 0) continue;
        EXPECT_GE(widths.upperBound(font, t), w) << t;
    }
    // Rows that clearly fit are never measured one by one, yet the decision is the same.
    ListItems rows{{0, "kurz"}, {1, "auch kurz"}};
    EXPECT_LE(widths.contentWidth(font, rows, 400), 400);
    rows.push_back({2, "ein Eintrag, der deutlich breiter ist als die Grenze"});
    int exact = textWidth(rows[2].text);
    EXPECT_EQ(widths.contentWidth(font, rows, 50), exact);
}

std::vector<uint8_t> readArea(SDL_Renderer* r, SDL_Rect area) {
    std::vector<uint8_t> out(static_cast<size_t>(area.w) * area.h * 4);
    SDL_RenderReadPixels(r, &area, SDL_PIXELFORMAT_ARGB8888, out.data(), area.w * 4);
    return out;
}

// The list's view as the plain way draws it: its opaque background, then every row rendered
// afresh and blended to its place, cut to the view.
std::vector<uint8_t> plainRows(SDL_Renderer* r, const GuiListCtrl& l) {
    const SDL_Rect view{l.x, l.y, l.viewWidth(), l.viewHeight()};
    SDL_RenderSetClipRect(r, &view);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, l.bgColor.r, l.bgColor.g, l.bgColor.b, 255);
    SDL_RenderFillRect(r, &view);
    for (int k = 0; k < static_cast<int>(l.items.size()); ++k) {
        const int top = l.y + k * l.rowHeight - l.scrollY;
        if (top + l.rowHeight <= view.y || top >= view.y + view.h) continue;
        const bool sel = k == l.selected;
        if (sel) {
            const SDL_Rect row{l.x, top, view.w, l.rowHeight};
            const SDL_Color c = l.selectionColor;
            SDL_SetRenderDrawBlendMode(r, c.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
            SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
            SDL_RenderFillRect(r, &row);
            SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        }
        SDL_Surface* s = TTF_RenderUTF8_Blended(l.font, l.items[k].text.c_str(),
                                                sel ? l.selectedTextColor : l.textColor);
        if (!s) continue;
        SDL_Texture* t = SDL_CreateTextureFromSurface(r, s);
        const SDL_Rect dst{l.x + 4 - l.scrollX, top + (l.rowHeight - s->h) / 2, s->w, s->h};
        SDL_RenderCopy(r, t, nullptr, &dst);
        SDL_DestroyTexture(t);
        SDL_FreeSurface(s);
    }
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    SDL_RenderSetClipRect(r, nullptr);
    return readArea(r, view);
}

// The list's view as the next frame draws it, and as the plain way draws it over that frame.
struct ViewPixels {
    std::vector<uint8_t> drawn, plain;
};
ViewPixels drawnAndPlainRows(TestApp& app, const GuiListCtrl& l) {
    ViewPixels out;
    app.beforePresent = [&](AppWindow* w) {
        const SDL_Rect view{l.x, l.y, l.viewWidth(), l.viewHeight()};
        out.drawn = readArea(w->sdlRenderer(), view);
        out.plain = plainRows(w->sdlRenderer(), l);
    };
    app.frames(1);
    app.beforePresent = nullptr;
    return out;
}

// The rows kept as textures between frames show exactly what rendering them afresh shows,
// through scrolling, selection and every change of text, colour, font size and style.
TEST_F(ListCtrl, KeptRowsDrawExactlyAsRowsRenderedAfresh) {
    TTF_Font* own = app.openFont(14);
    ASSERT_NE(own, nullptr);
    auto* list = new GuiListCtrl(nullptr, 42, 10, 10, 220, 200, kListBg, own);
    for (int i = 0; i < 40; ++i)
        list->addItem(i, "Eintrag " + std::to_string(i));
    list->addItem(40, "Eine Zeile, die viel breiter ist als die Liste selbst");
    rec->root->addChild(list);
    struct Step {
        const char* what;
        std::function<void()> change;
    } steps[] = {
        {"first draw", [] {}},
        {"scrolled by part of a row",
         [&] {
             list->scrollY = list->rowHeight / 2 + 3;
             list->scrollX = 7;
         }},
        {"selection", [&] { list->setSelection(3); }},
        {"text", [&] { list->setItemText(4, "Größe geändert"); }},
        {"scrolled by a row", [&] { route(app, mouseWheel(wid(), 20, 20, -1)); }},
        {"colour",
         [&] {
             list->textColor = {160, 20, 20, 255};
         }},
        {"font size",
         [&] {
             TTF_SetFontSize(own, 19);
             list->relayout();
         }},
        {"font style", [&] { TTF_SetFontStyle(own, TTF_STYLE_BOLD); }},
    };
    for (const Step& step : steps) {
        step.change();
        list->invalidate();
        const auto [drawn, plain] = drawnAndPlainRows(app, *list);
        ASSERT_FALSE(drawn.empty()) << step.what;
        EXPECT_TRUE(drawn == plain) << step.what;
    }
    EXPECT_TRUE(list->hScroll.visible);
    EXPECT_TRUE(list->vScroll.visible);
    list->font = font;  // nothing may use the font after it is closed
    list->relayout();
    TTF_CloseFont(own);
}

// Every printable ASCII pair, then rows of what else lists show: umlauts, digits, pairs that
// kern in many fonts, glyphs this font lacks, scripts it has no shaping for, controls.
std::vector<std::string> sampleRows(int pairsPerRow) {
    std::vector<std::string> rows;
    std::string row;
    int pairs = 0;
    for (char a = 32; a < 127; ++a) {
        for (char b = 32; b < 127; ++b) {
            row += a;
            row += b;
            if (++pairs % pairsPerRow == 0) rows.push_back(std::move(row)), row.clear();
        }
    }
    if (!row.empty()) rows.push_back(row);
    for (const char* more :
         {"Größe Äpfel Öl Übermaß ÄÖÜäöüß", "0123456789 1.000.000,00 €", "Zeile 10000",
          "AV AT LT To Ty Ya Wa P. F, VA \"A\" 'y' ff fi", "jgpqy ÅÉÌÑ çø",
          "Ελληνικά Кириллица 漢字", "\t Tab\tund\x7f", "", " ", "W"})
        rows.push_back(more);
    return rows;
}

// Rows blended onto their opaque background once and then copied, and rows of the toolkit's
// own font drawn straight into the window's pixels, show exactly what blending them in every
// frame shows: for the sizes the toolkit opens, styles, colours, a translucent selection and
// a view scrolled sideways, through every printable ASCII pair and the other sample rows, page
// by page.
TEST_F(ListCtrl, RowsBlendedOnceShowWhatBlendingInEveryFrameShows) {
    constexpr int kDefault = 0;  // the toolkit's own font, whose Latin rows are drawn directly
    struct Case {
        int size;
        int style;
        SDL_Color text, selectedText, background, selection;
        int scrollX = 0;
        int rowHeight = 0;  // the font's unless set: ink then reaches into the next rows
    } cases[] = {
        {kDefault,
         TTF_STYLE_NORMAL,
         {0, 0, 0, 255},
         {255, 255, 255, 255},
         kListBg,
         {0, 120, 215, 255},
         5},
        {kDefault,
         TTF_STYLE_NORMAL,
         {10, 200, 90, 128},
         {250, 240, 10, 255},
         {30, 40, 50, 255},
         {0, 120, 215, 100}},
        {kDefault,
         TTF_STYLE_NORMAL,
         {0, 0, 0, 255},
         {255, 255, 255, 255},
         kListBg,
         {0, 120, 215, 255},
         0,
         9},
        {14, TTF_STYLE_NORMAL, {0, 0, 0, 255}, {255, 255, 255, 255}, kListBg, {0, 120, 215, 255}},
        {11,
         TTF_STYLE_NORMAL,
         {0, 0, 0, 255},
         {255, 255, 255, 255},
         {255, 255, 255, 255},
         {0, 120, 215, 255}},
        {18,
         TTF_STYLE_BOLD,
         {160, 20, 20, 255},
         {250, 240, 10, 255},
         {30, 40, 50, 255},
         {200, 200, 200, 255}},
        {22,
         TTF_STYLE_ITALIC | TTF_STYLE_UNDERLINE,
         {10, 200, 90, 128},
         {0, 0, 0, 255},
         {255, 255, 255, 255},
         {0, 120, 215, 100}},
        {28,
         TTF_STYLE_STRIKETHROUGH,
         {0, 0, 0, 255},
         {255, 255, 255, 255},
         kListBg,
         {0, 120, 215, 255}},
        {40,
         TTF_STYLE_NORMAL,
         {90, 90, 90, 255},
         {255, 255, 255, 255},
         {250, 250, 250, 255},
         {0, 0, 0, 255}},
    };
    for (const Case& c : cases) {
        TtfFontPtr own(c.size == kDefault ? nullptr : app.openFont(c.size));
        TTF_Font* f = c.size == kDefault ? app.getDefaultFont() : own.get();
        ASSERT_NE(f, nullptr);
        TTF_SetFontStyle(f, c.style);
        auto* list = new GuiListCtrl(nullptr, 42, 10, 10, 600, 440, c.background, f);
        list->textColor = c.text;
        list->selectedTextColor = c.selectedText;
        list->selectionColor = c.selection;
        int i = 0;
        const int size = c.size == kDefault ? 14 : c.size;
        for (std::string& row : sampleRows(std::max(1, 460 / (size + size / 4))))
            list->addItem(i++, std::move(row));
        rec->root->addChild(list);
        app.frames(1);
        const int page = list->viewHeight() - list->rowHeight / 3;
        int differing = 0;
        for (int top = 0; differing < 3; top += page) {
            list->scrollY = top;
            list->scrollX = c.scrollX;
            // A selection on every page, one row into it.
            list->selected = list->rowAt(list->x + 1, list->y + list->rowHeight + 1);
            list->updateScrollbars();
            ASSERT_EQ(list->scrollX, c.scrollX);
            if (c.rowHeight) list->rowHeight = c.rowHeight;
            list->invalidate();
            const auto [drawn, plain] = drawnAndPlainRows(app, *list);
            ASSERT_FALSE(drawn.empty());
            if (drawn != plain)
                ADD_FAILURE() << "size " << c.size << " style " << c.style << ", rows from "
                              << top / list->rowHeight << " differ",
                    ++differing;
            if (list->scrollY < top) break;  // the last page
        }
        // Before its font closes: nothing may draw with it afterwards.
        rec->root->deleteLater(list);
        rec->root->runPendingDeletes();
    }
}

// A wheel step or a thumb drag moves the view's pixels: the frame draws only the rows that come
// into view and the bars, and shows exactly what a full redraw shows (the damage verifier compares
// every frame). A translucent background cannot be moved: the whole list is drawn again.
TEST_F(ListCtrl, AWheelStepDrawsOnlyWhatComesIntoView) {
    struct Case {
        const char* what;
        SDL_Color background;
        std::function<void(GuiListCtrl*)> step;
        bool moves;
        bool shortRows = false;  // every row ends far left of the view's right edge
    } cases[] = {
        {"down one notch", kListBg,
         [&](GuiListCtrl*) { route(app, mouseWheel(wid(), 60, 60, -1)); }, true},
        {"up one notch", kListBg, [&](GuiListCtrl*) { route(app, mouseWheel(wid(), 60, 60, 1)); },
         true},
        {"three down, two up, with the selection in view", kListBg,
         [&](GuiListCtrl* l) {
             l->setSelection(12);
             app.frames(1);
             route(app, mouseWheel(wid(), 60, 60, -3));
             route(app, mouseWheel(wid(), 60, 60, 2));
         },
         true},
        {"sideways", kListBg,
         [&](GuiListCtrl*) {
             SDL_Event e = mouseWheel(wid(), 60, 60, 0);
             e.wheel.x = 1;
             route(app, e);
         },
         true},
        {"thumb dragged", kListBg,
         [&](GuiListCtrl* l) {
             const SDL_Rect thumb = l->vScroll.thumb;
             const int tx = thumb.x + thumb.w / 2, ty = thumb.y + thumb.h / 2;
             route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), tx, ty));
             app.frames(1);
             route(app, mouseMotion(wid(), tx, ty + 3));  // a third of the view's height
             route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), tx, ty + 3));
         },
         true},
        {"translucent background",
         {240, 240, 240, 200},
         [&](GuiListCtrl*) { route(app, mouseWheel(wid(), 60, 60, -1)); },
         false},
        // Only the columns the rows reach move, unless a selected row spans the view.
        {"short rows, three down", kListBg,
         [&](GuiListCtrl*) { route(app, mouseWheel(wid(), 60, 60, -3)); }, true, true},
        {"short rows, the selection coming into view", kListBg,
         [&](GuiListCtrl* l) {
             l->setSelection(l->scrollY / l->rowHeight + l->viewHeight() / l->rowHeight + 1);
             app.frames(1);
             route(app, mouseWheel(wid(), 60, 60, -3));
         },
         true, true},
        {"short rows, the selection leaving the view", kListBg,
         [&](GuiListCtrl* l) {
             l->setSelection(l->scrollY / l->rowHeight + 1);
             app.frames(1);
             route(app, mouseWheel(wid(), 60, 60, -3));
         },
         true, true},
    };
    for (const Case& c : cases) {
        auto* list = new GuiListCtrl(nullptr, 42, 10, 10, 300, 200, c.background, font);
        for (int i = 0; i < 100; ++i)
            list->addItem(
                i, "Eintrag " + std::to_string(i) +
                       (i % 7 || c.shortRows ? "" : " gjpqy ÄÖÜ, und breiter als die Liste"));
        rec->root->addChild(list);
        list->scrollY = 5 * list->rowHeight + 3;  // part of a row above the view
        list->scrollX = 40;
        list->invalidate();
        app.frames(2);
        const int y0 = list->scrollY, x0 = list->scrollX;
        c.step(list);
        EXPECT_TRUE(list->scrollY != y0 || list->scrollX != x0) << c.what;
        const SDL_Point middle{list->x + list->viewWidth() / 2, list->y + list->viewHeight() / 2};
        bool middleDamaged = rec->root->fullDamage;
        for (const SDL_Rect& part : rec->root->damageParts)
            middleDamaged = middleDamaged || SDL_PointInRect(&middle, &part);
        EXPECT_EQ(middleDamaged, !c.moves) << c.what;
        app.frames(2);
        EXPECT_EQ(app.damageMismatches, 0u) << c.what;
        rec->root->deleteLater(list);
        rec->root->runPendingDeletes();
        app.frames(1);
    }
}

}  // namespace
