// Menus and the menu bar: mnemonic parsing, keyboard and mouse handling, submenu lifetime,
// lookup by name, and the drawn highlight and underline read back from the renderer.
#include "controls/Menus.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <SDL_ttf.h>

namespace {

TEST(Mnemonic, ParsesMarkersAsLabelsUseThem) {
    struct Case {
        const char* label;
        const char* text;
        int pos, len;
    };
    const Case cases[] = {
        {"&Datei", "Datei", 0, 1},
        {"Ö&ffnen...", "Öffnen...", 2, 1},  // Ö is two bytes
        {"Zu&letzt verwendet", "Zuletzt verwendet", 2, 1},
        {"A&&B", "A&B", -1, 0},       // doubled marker is a literal ampersand
        {"Ende&", "Ende", -1, 0},     // trailing marker marks nothing
        {"&a&b", "ab", 1, 1},         // the last marker counts
        {"x&Ürger", "xÜrger", 1, 2},  // a marked multi-byte character
        {"&&&x", "&x", 1, 1},
        {"", "", -1, 0},
        {"&", "", -1, 0},
        {"Beenden", "Beenden", -1, 0},
        {"\xE2\x82", "\xE2\x82", -1, 0},  // truncated UTF-8 at the end stays in bounds
        {"&\xF0", "\xF0", 0, 1},
    };
    for (const Case& c : cases) {
        Mnemonic m = parseMnemonic(c.label);
        EXPECT_EQ(m.text, c.text) << c.label;
        EXPECT_EQ(m.pos, c.pos) << c.label;
        EXPECT_EQ(m.len, c.len) << c.label;
    }
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        rec = app.openMain(640, 400);
        ASSERT_NE(rec, nullptr);
        win = rec->root.get();
        font = app.getDefaultFont();
        ASSERT_NE(font, nullptr);
        bar = new GuiMenuBar(nullptr, -1, {192, 192, 192, 255}, "MenuBar", font);
        win->addChild(bar);
        file = makeMenu("file", 220);
        file->addItem(257, "&Neu")->name = "file_new";
        file->addItem(258, "Ö&ffnen...")->name = "file_open";
        file->addItem(0, "Zu&letzt verwendet", true,
                      [this](GuiMenu* sub) {
                          ++submenuFills;
                          sub->items.clear();
                          sub->addItem(1100, "Didel &1")->name = "recent1";
                          sub->addItem(1101, "Didel &2")->name = "recent2";
                          sub->addItem(1102, "Didel &3")->name = "recent3";
                      })
            ->name = "file_recent";
        file->items.push_back(nullptr);  // an empty row
        file->addItem(65534, "Beenden")->name = "file_quit";
        edit = makeMenu("edit", 220);
        edit->addItem(2001, "Rückgängig");
        help = makeMenu("help", 220);
        help->addItem(2003, "Hilfe");
        bar->addMenu("&Datei", std::unique_ptr<GuiMenu>(file));
        bar->addMenu("&Bearbeiten", std::unique_ptr<GuiMenu>(edit));
        bar->addMenu("&Hilfe", std::unique_ptr<GuiMenu>(help));
        h = file->rowHeight();
    }

    GuiMenu* makeMenu(const char* name, int w) {
        auto* m = new GuiMenu(nullptr, -1, 0, 0, w, 0, {255, 255, 255, 255}, name, font);
        m->setName(name);
        m->setKeepAlive(true);
        return m;
    }
    uint32_t wid() const { return rec->windowId; }
    void key(SDL_Keycode k, uint16_t mod = 0) { route(app, keyEvent(SDL_KEYDOWN, wid(), k, mod)); }
    void move(int x, int y) { route(app, mouseMotion(wid(), x, y)); }
    void press(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), x, y)); }
    void release(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONUP, wid(), x, y)); }
    // Centre of row r of the file menu as opened from the bar.
    SDL_Point fileRow(int r) const { return {file->x + 20, file->y + r * h + h / 2}; }
    std::vector<uint32_t> menuIds() const {
        std::vector<uint32_t> ids;
        for (auto& c : app.commands)
            if (c.code == CMD_MENU_ITEM) ids.push_back(c.id);
        return ids;
    }

    TestApp app;
    AppWindow* rec = nullptr;
    GuiWindow* win = nullptr;
    TTF_Font* font = nullptr;
    GuiMenuBar* bar = nullptr;
    GuiMenu *file = nullptr, *edit = nullptr, *help = nullptr;
    int h = 0;
    int submenuFills = 0;
};

TEST_F(Menus, BarLaysOutTitlesAndOpensBelowThem) {
    EXPECT_EQ(bar->width, 640);
    int w = 0, th = 0;
    TTF_SizeUTF8(font, "Datei", &w, &th);
    EXPECT_EQ(bar->entries[0].offset, 0);
    EXPECT_EQ(bar->entries[0].width, w + 24);
    EXPECT_EQ(bar->entries[1].offset, w + 24);
    EXPECT_EQ(bar->entryAt(bar->entries[1].offset, 5), 1);
    EXPECT_EQ(bar->entryAt(bar->entries[1].offset, 25), -1);  // below the bar
    EXPECT_FALSE(bar->openMenuByTitle("Datei"));              // markers are part of the title
    EXPECT_FALSE(bar->openMenu(3));
    press(bar->entries[1].offset + 3, 10);
    EXPECT_EQ(bar->openIndex, 1);
    EXPECT_TRUE(win->isPopup(edit));
    EXPECT_EQ(edit->x, bar->entries[1].offset);
    EXPECT_EQ(edit->y, 25);
    EXPECT_FALSE(SDL_IsTextInputActive());
    // Moving over another title while a menu is open switches to it.
    move(bar->entries[2].offset + 3, 10);
    EXPECT_EQ(bar->openIndex, 2);
    EXPECT_FALSE(win->isPopup(edit));
    EXPECT_TRUE(win->isPopup(help));
    // A press outside every popup closes them, resets the bar and restarts text input.
    press(600, 300);
    EXPECT_FALSE(win->hasPopups());
    EXPECT_EQ(bar->openIndex, -1);
    EXPECT_EQ(help->parent, nullptr);  // kept alive, no longer a child
    EXPECT_TRUE(SDL_IsTextInputActive());
}

TEST_F(Menus, KeyboardNavigationWrapsAndMovesAlongTheBar) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    key(SDLK_UP);  // nothing highlighted: the last row
    EXPECT_EQ(file->hoverIndex, 4);
    key(SDLK_DOWN);  // wraps from the last row to the first
    EXPECT_EQ(file->hoverIndex, 0);
    key(SDLK_UP);
    EXPECT_EQ(file->hoverIndex, 4);
    key(SDLK_UP);  // null rows are not skipped
    EXPECT_EQ(file->hoverIndex, 3);
    key(SDLK_RETURN);  // a null row does nothing
    EXPECT_TRUE(win->isPopup(file));
    EXPECT_TRUE(menuIds().empty());
    // Right on a row without submenu moves along the bar; from the last menu to the first.
    key(SDLK_RIGHT);
    EXPECT_EQ(bar->openIndex, 1);
    key(SDLK_RIGHT);
    key(SDLK_RIGHT);
    EXPECT_EQ(bar->openIndex, 0);
    key(SDLK_LEFT);  // Left on the first opens the last
    EXPECT_EQ(bar->openIndex, 2);
    key(SDLK_ESCAPE);
    EXPECT_FALSE(win->hasPopups());
    EXPECT_EQ(bar->openIndex, -1);
}

TEST_F(Menus, MnemonicsActivateWithoutModifiersOnly) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    key(SDLK_f, KMOD_LCTRL);  // Ctrl+F is not a mnemonic
    EXPECT_TRUE(menuIds().empty());
    EXPECT_TRUE(win->isPopup(file));
    key(SDLK_f);
    EXPECT_EQ(menuIds(), std::vector<uint32_t>{258});
    EXPECT_EQ(app.commands.back().source, file);
    EXPECT_FALSE(win->hasPopups());
    EXPECT_EQ(bar->openIndex, -1);
    // A mnemonic on a submenu row opens it without a highlight inside and marks the row.
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    key(SDLK_l);
    GuiMenu* sub = file->liveSubmenu();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(file->hoverIndex, 2);
    EXPECT_EQ(sub->hoverIndex, -1);
    key(SDLK_2);
    EXPECT_EQ(menuIds(), (std::vector<uint32_t>{258, 1101}));
    EXPECT_EQ(app.commands.back().source, sub);
}

TEST_F(Menus, SubmenuByKeyboardHighlightsFirstRowAndLeftGoesBack) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    key(SDLK_DOWN);
    key(SDLK_DOWN);
    key(SDLK_DOWN);  // "Zu&letzt verwendet"
    key(SDLK_RIGHT);
    GuiMenu* sub = file->liveSubmenu();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->hoverIndex, 0);
    EXPECT_EQ(sub->x, file->x + file->width - 2);
    EXPECT_EQ(sub->y, file->y + 2 * h);
    EXPECT_EQ(sub->parentMenu, file);
    EXPECT_EQ(sub->parentIndex, 2);
    EXPECT_STREQ(sub->title.c_str(), "submenu");
    key(SDLK_LEFT);
    EXPECT_EQ(file->liveSubmenu(), nullptr);
    EXPECT_EQ(win->popupStack().back(), file);
    key(SDLK_SPACE);  // Space opens it again, first row highlighted
    ASSERT_NE(file->liveSubmenu(), nullptr);
    key(SDLK_DOWN);
    key(SDLK_RETURN);
    EXPECT_EQ(menuIds(), std::vector<uint32_t>{1101});
    EXPECT_FALSE(win->hasPopups());
}

TEST_F(Menus, SubmenuLivesWhileHoveredAndIsRebuiltEachTime) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    SDL_Point recent = fileRow(2);
    move(recent.x, recent.y);
    GuiMenu* first = file->liveSubmenu();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->rowCount(), 3);
    EXPECT_EQ(first->hoverIndex, -1);  // opened by hover: no highlight inside
    move(recent.x + 5, recent.y + 1);  // same row again: not recreated
    EXPECT_EQ(file->liveSubmenu(), first);
    EXPECT_EQ(submenuFills, 1);
    EXPECT_EQ(win->popupStack().size(), 2u);
    SDL_Point other = fileRow(1);
    move(other.x, other.y);  // another row closes it
    EXPECT_EQ(file->liveSubmenu(), nullptr);
    EXPECT_EQ(win->popupStack().size(), 1u);
    for (int i = 0; i < 3; ++i) {
        move(recent.x, recent.y);
        ASSERT_NE(file->liveSubmenu(), nullptr);
        EXPECT_EQ(file->liveSubmenu()->rowCount(), 3);
        move(other.x, other.y);
    }
    EXPECT_EQ(submenuFills, 4);
    // A click on the submenu row itself does nothing; a press activates on the way down.
    move(recent.x, recent.y);
    press(recent.x, recent.y);
    EXPECT_TRUE(menuIds().empty());
    GuiMenu* sub = file->liveSubmenu();
    ASSERT_NE(sub, nullptr);
    const SDL_Point second{sub->x + 10, sub->y + h + 3};
    move(second.x, second.y);
    EXPECT_EQ(sub->hoverIndex, 1);
    press(second.x, second.y);  // the submenu is gone after this event
    EXPECT_EQ(menuIds(), std::vector<uint32_t>{1101});
    EXPECT_FALSE(win->hasPopups());
    release(second.x, second.y);  // the stray release reaches nobody
    EXPECT_EQ(menuIds().size(), 1u);
}

TEST_F(Menus, ClickOnNullRowDoesNothingAndEmptyMenuIgnoresInput) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    SDL_Point empty = fileRow(3);
    press(empty.x, empty.y);
    EXPECT_TRUE(menuIds().empty());
    EXPECT_TRUE(win->isPopup(file));
    SDL_Point quit = fileRow(4);
    press(quit.x, quit.y);
    EXPECT_EQ(menuIds(), std::vector<uint32_t>{65534});
    auto* bare = new GuiMenu(nullptr, -1, 100, 100, 100, 0, {255, 255, 255, 255}, "x", font);
    win->openPopup(bare);
    key(SDLK_DOWN);
    key(SDLK_RETURN);
    EXPECT_EQ(bare->hoverIndex, -1);
    EXPECT_TRUE(win->isPopup(bare));
    EXPECT_EQ(bare->height, 0);
}

TEST_F(Menus, LocateItemFindsNamedRowsAndMenus) {
    SDL_Rect r{};
    EXPECT_TRUE(bar->locateItem("edit", r));
    EXPECT_EQ(r.x, bar->entries[1].offset);
    EXPECT_EQ(r.w, bar->entries[1].width);
    EXPECT_EQ(r.h, 25);
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    EXPECT_TRUE(file->locateItem("file_quit", r));
    EXPECT_EQ(r.y, file->y + 4 * h);
    EXPECT_EQ(r.h, h);
    EXPECT_EQ(r.w, 220);
    edit->items[0]->name.clear();
    EXPECT_FALSE(edit->locateItem("", r));  // an empty name is never found
    EXPECT_FALSE(file->locateItem("nothing", r));
    GuiObject* owner = nullptr;
    EXPECT_TRUE(win->findItem("file_open", owner, r));
    EXPECT_EQ(owner, file);
}

TEST_F(Menus, DrawsHighlightUnderlineAndChevron) {
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    SDL_Point newRow = fileRow(0);
    move(newRow.x, newRow.y);  // highlight "&Neu"
    int th = TTF_FontHeight(font);
    int ty = file->y + (h - th) / 2;
    int nw = 0, dummy = 0;
    TTF_SizeUTF8(font, "N", &nw, &dummy);
    int cy = file->y + 2 * h + h / 2;
    SDL_Point tip{file->x + file->width - 10, cy};
    std::vector<SDL_Color> px;
    app.beforePresent = [&](AppWindow* w) {
        SDL_Renderer* r = w->sdlRenderer();
        for (SDL_Point p : {SDL_Point{file->x + 1, file->y + 3},        // highlight fill
                            SDL_Point{file->x + 100, file->y},          // its top edge
                            SDL_Point{file->x + 100, file->y + h - 1},  // its bottom edge
                            SDL_Point{file->x, file->y + 3},            // left column stays white
                            SDL_Point{file->x + 8, ty + th - 2},        // underline under N
                            SDL_Point{file->x + 8 + nw - 1, ty + th - 2},
                            SDL_Point{file->x + 8 + nw + 1, ty + th - 2},         // past the N
                            SDL_Point{file->x + 50, file->y + file->height - 1},  // bottom line
                            tip, SDL_Point{tip.x + 1, cy},
                            SDL_Point{bar->entries[0].offset + 2, 3},   // open title
                            SDL_Point{bar->entries[1].offset + 2, 3}})  // closed title
            px.push_back(readPixel(r, p.x, p.y));
    };
    app.frames(1);
    ASSERT_EQ(px.size(), 12u);
    EXPECT_TRUE(sameColor(px[0], {0, 0, 150, 255}));
    EXPECT_TRUE(sameColor(px[1], {160, 160, 200, 255}));
    EXPECT_TRUE(sameColor(px[2], {160, 160, 200, 255}));
    EXPECT_TRUE(sameColor(px[3], {255, 255, 255, 255}));
    EXPECT_TRUE(sameColor(px[4], {0, 0, 0, 255}));  // underline is black on the highlight too
    EXPECT_TRUE(sameColor(px[5], {0, 0, 0, 255}));
    EXPECT_TRUE(sameColor(px[6], {0, 0, 150, 255}));
    EXPECT_EQ(file->height, 5 * h);
    EXPECT_TRUE(sameColor(px[7], {0, 0, 0, 255}));
    EXPECT_TRUE(sameColor(px[8], {0, 0, 0, 255}));
    EXPECT_TRUE(sameColor(px[9], {255, 255, 255, 255}));
    EXPECT_TRUE(sameColor(px[10], {0, 0, 150, 255}));
    EXPECT_TRUE(sameColor(px[11], {255, 255, 255, 255}));
}

TEST_F(Menus, OpenMenuSurvivesWindowTeardown) {
    // The bar owns its menus; an open one belongs to the window's children until it closes.
    ASSERT_TRUE(bar->openMenuByTitle("&Datei"));
    SDL_Point recent = fileRow(2);
    move(recent.x, recent.y);
    ASSERT_NE(file->liveSubmenu(), nullptr);
    uint32_t id = rec->windowId;
    EXPECT_TRUE(app.destroyWindow(id));  // must neither leak nor free twice (ASan)
    EXPECT_EQ(app.findWindowById(id), nullptr);
}

}  // namespace
