// The demo's dialogs: what the menu commands and function keys open, what is logged when a
// dialog ends, and that the main window gets no input while a dialog is modal.
#include "demo/Demo.h"

#include "controls/Buttons.h"
#include "controls/Menus.h"
#include "dialogs/InputDialog.h"
#include "dialogs/MessageBox.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class DemoDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo.build());
        demo.framesPerSecond = 1000;
        mainId = demo.mainWindow->windowId;
        // A probe on top of everything in the main window tells whether input reached it.
        probe = new ProbeWidget(0, 0, Demo::kWidth, Demo::kHeight);
        demo.mainRoot()->addChild(probe);
    }

    AppWindow* dialogWindow() const {
        for (AppWindow* w : demo.windowList)
            if (w != demo.mainWindow) return w;
        return nullptr;
    }
    uint32_t dialogId() const { return dialogWindow() ? dialogWindow()->windowId : 0; }
    void key(uint32_t windowId, SDL_Keycode k, uint16_t mod = 0) {
        route(demo, keyEvent(SDL_KEYDOWN, windowId, k, mod));
    }
    void type(uint32_t windowId, const char* text) { route(demo, textInput(windowId, text)); }
    void click(AppWindow* window, const GuiObject* obj) {
        ASSERT_NE(obj, nullptr);
        const int cx = obj->x + obj->width / 2, cy = obj->y + obj->height / 2;
        route(demo, mouseButton(SDL_MOUSEBUTTONDOWN, window->windowId, cx, cy));
        route(demo, mouseButton(SDL_MOUSEBUTTONUP, window->windowId, cx, cy));
    }
    void frames(int n = 1) {
        for (int i = 0; i < n; ++i)
            demo.runFrame();
    }
    std::string lastLog() const { return demo.logLines.empty() ? "" : demo.logLines.back(); }

    Demo demo;
    uint32_t mainId = 0;
    ProbeWidget* probe = nullptr;
};

TEST_F(DemoDialogsTest, MenuCommandsOpenTheirDialogsAndLogTheEnd) {
    struct Case {
        uint32_t item;
        const char* title;
        uint32_t flags;  // message boxes; input dialogs: INPUT_MULTILINE or 0
        SDL_Keycode key;
        const char* logged;
    };
    const Case cases[] = {
        {8197, "Meldung", 0x1100, SDLK_RETURN, "Dialog: OK"},
        {8198, "Bestätigung", 0x21203, SDLK_RETURN, "Dialog: Abbrechen"},
        {8199, "Frage", 0x180C, SDLK_ESCAPE, "Dialog: Nein"},
        {8199, "Frage", 0x180C, SDLK_RETURN, "Dialog: Ja"},
        {8200, "Frage", 0x4140E, SDLK_RETURN, "Dialog: Abbrechen"},
        {8201, "Im Vordergrund", 0x3100, SDLK_ESCAPE, "Dialog: OK"},
        {8202, "Eingabe", 0, SDLK_RETURN, "GuiInputDialog: Rechteck"},
        {8203, "Eingabe, mehrzeilig", INPUT_MULTILINE, SDLK_ESCAPE, "GuiInputDialog: abgebrochen"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(demo.handleMenuCommand(demo.mainWindow, c.item)) << c.item;
        AppWindow* w = dialogWindow();
        ASSERT_NE(w, nullptr) << c.item;
        EXPECT_EQ(SDL_GetWindowTitle(w->sdlWindow.get()), std::string(c.title));
        EXPECT_EQ(demo.modalRoot, w->root.get());
        if (auto* box = dynamic_cast<GuiMessageBoxDialog*>(w->root.get())) {
            EXPECT_EQ(box->flags, c.flags) << c.item;
        } else {
            auto* input = dynamic_cast<GuiInputDialog*>(w->root.get());
            ASSERT_NE(input, nullptr) << c.item;
            EXPECT_EQ(input->flags, c.flags);
            EXPECT_EQ(input->textCtrl->multiline, c.flags == INPUT_MULTILINE);
        }
        frames();
        key(w->windowId, c.key);
        EXPECT_EQ(lastLog(), c.logged) << c.item;
        EXPECT_EQ(dialogWindow(), nullptr) << "closed after the event";
        EXPECT_EQ(demo.modalRoot, nullptr);
    }
    EXPECT_FALSE(demo.handleMenuCommand(demo.mainWindow, 8204));
    EXPECT_EQ(dialogWindow(), nullptr);
}

TEST_F(DemoDialogsTest, MultiLineInputLogsItsLinesJoinedByBars) {
    ASSERT_TRUE(demo.handleMenuCommand(demo.mainWindow, 8203));
    auto* input = dynamic_cast<GuiInputDialog*>(dialogWindow()->root.get());
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->value(), "Erste Zeile");
    key(dialogId(), SDLK_END);
    key(dialogId(), SDLK_RETURN);
    type(dialogId(), "Zweite Zeile");
    key(dialogId(), SDLK_RETURN);
    type(dialogId(), "Dritte");
    click(dialogWindow(), input->okButton);
    EXPECT_EQ(lastLog(), "GuiInputDialog: Erste Zeile|Zweite Zeile|Dritte");
    EXPECT_EQ(dialogWindow(), nullptr);
}

TEST_F(DemoDialogsTest, F4ShowsTheCentredCaptionBox) {
    key(mainId, SDLK_F4);
    AppWindow* w = dialogWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SDL_GetWindowTitle(w->sdlWindow.get()), std::string("Caption"));
    auto* box = dynamic_cast<GuiMessageBoxDialog*>(w->root.get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->flags, static_cast<uint32_t>(MB_CENTER));
    EXPECT_NE(box->findByName("ok"), nullptr);
    EXPECT_EQ(box->findByName("cancel"), nullptr);
    // Five lines: 5 x 20 + 75.
    EXPECT_EQ(box->height, 175);
    int mx = 0, my = 0, x = 0, y = 0;
    SDL_GetWindowPosition(demo.mainWindow->sdlWindow.get(), &mx, &my);
    SDL_GetWindowPosition(w->sdlWindow.get(), &x, &y);
    EXPECT_EQ(x, mx + (Demo::kWidth - box->width) / 2);
    click(w, box->findByName("ok"));
    EXPECT_EQ(lastLog(), "Dialog: OK");
}

TEST_F(DemoDialogsTest, FunctionKeysWithoutDialogOpenNothing) {
    for (SDL_Keycode k : {SDLK_F1, SDLK_F2, SDLK_F5, SDLK_F6}) {
        key(mainId, k);
        EXPECT_EQ(dialogWindow(), nullptr) << k;
        EXPECT_EQ(demo.modalRoot, nullptr);
    }
    // The keys still reach the main window's focused widget.
    demo.mainRoot()->setFocus(probe);
    key(mainId, SDLK_F5);
    EXPECT_EQ(probe->types.size(), 1u);
}

TEST_F(DemoDialogsTest, F3OpensTheTestDialogOnlyOnce) {
    key(mainId, SDLK_F3);
    AppWindow* w = dialogWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(SDL_GetWindowTitle(w->sdlWindow.get()), std::string("ZazOvadir 2"));
    int ww = 0, wh = 0;
    SDL_GetWindowSize(w->sdlWindow.get(), &ww, &wh);
    EXPECT_EQ(ww, 640);
    EXPECT_EQ(wh, 480);
    EXPECT_TRUE(SDL_GetWindowFlags(w->sdlWindow.get()) & SDL_WINDOW_RESIZABLE);
    GuiWindow* root = w->root.get();
    EXPECT_EQ(demo.modalRoot, root);
    auto* text = dynamic_cast<GuiTextCtrl*>(root->findByName("text"));
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->multiline);
    EXPECT_EQ(root->focus, text);
    EXPECT_EQ(demo.activeEditable, static_cast<IEditable*>(text));
    EXPECT_EQ(root->findByName("ok")->tooltip, "Übernehmen und schließen");
    EXPECT_EQ(root->findByName("cancel")->tooltip, "Verwerfen und schließen");
    GuiObject* owner = nullptr;
    SDL_Rect rect{};
    EXPECT_TRUE(root->findItem("file", owner, rect));
    EXPECT_TRUE(root->findItem("edit", owner, rect));
    // The recent-files submenu is refilled from scratch every time it opens.
    GuiMenuBar* bar = nullptr;
    for (auto& child : root->children)
        if (auto* b = dynamic_cast<GuiMenuBar*>(child.get())) bar = b;
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->entries.size(), 2u);
    EXPECT_EQ(bar->entries[0].title, "&Datei");
    EXPECT_EQ(bar->entries[1].title, "&Bearbeiten");
    GuiMenu* file = bar->entries[0].menu;
    ASSERT_EQ(file->rowCount(), 3);
    MenuItem* recent = file->items[2].get();
    EXPECT_EQ(recent->name, "file_recent");
    ASSERT_TRUE(recent->hasSubmenu && recent->onOpenSubmenu);
    GuiMenu submenu(nullptr, -1, 0, 0, 220, 0, {255, 255, 255, 255}, "", nullptr);
    submenu.addItem(9, "alt");
    recent->onOpenSubmenu(&submenu);
    recent->onOpenSubmenu(&submenu);
    ASSERT_EQ(submenu.rowCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(submenu.items[i]->id, 1100u + i);
        EXPECT_EQ(submenu.items[i]->label, "Didel &" + std::to_string(i + 1));
        EXPECT_EQ(submenu.items[i]->name, "recent" + std::to_string(i + 1));
    }

    // F3 again, to the dialog and to the main window: still one dialog.
    key(w->windowId, SDLK_F3);
    key(mainId, SDLK_F3);
    EXPECT_EQ(demo.windowList.size(), 2u);
    EXPECT_EQ(dialogWindow(), w);

    key(w->windowId, SDLK_ESCAPE);
    EXPECT_EQ(lastLog(), "Dialog: Abbrechen");
    EXPECT_EQ(dialogWindow(), nullptr);
    EXPECT_EQ(demo.activeEditable, static_cast<IEditable*>(demo.multiLineText));

    key(mainId, SDLK_F3);
    ASSERT_NE(dialogWindow(), nullptr);
    type(dialogId(), "Hallo");
    EXPECT_EQ(dynamic_cast<GuiTextCtrl*>(dialogWindow()->root->findByName("text"))->text, "Hallo");
    click(dialogWindow(), dialogWindow()->root->findByName("ok"));
    EXPECT_EQ(lastLog(), "Dialog: OK");
    EXPECT_EQ(dialogWindow(), nullptr);
}

TEST_F(DemoDialogsTest, MainRecentFilesSubmenuHoldsExactlyThreeRowsEveryTimeItOpens) {
    ASSERT_NE(demo.menuBar, nullptr);
    ASSERT_TRUE(demo.menuBar->openMenuByTitle("&Datei"));
    GuiMenu* file = demo.menuBar->entries[0].menu;
    int recentRow = -1;
    for (int r = 0; r < file->rowCount(); ++r)
        if (file->items[r] && file->items[r]->name == "file_recent") recentRow = r;
    ASSERT_GE(recentRow, 0);
    for (int opening = 1; opening <= 3; ++opening) {
        file->openSubmenuAt(recentRow, false);
        GuiMenu* sub = file->liveSubmenu();
        ASSERT_NE(sub, nullptr);
        ASSERT_EQ(sub->rowCount(), 3) << "opening " << opening;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sub->items[i]->id, 1100u + i);
            EXPECT_EQ(sub->items[i]->name, "recent" + std::to_string(i + 1));
        }
    }
}

TEST_F(DemoDialogsTest, TheMainWindowGetsNoInputWhileADialogIsModal) {
    key(mainId, SDLK_F4);
    ASSERT_NE(dialogWindow(), nullptr);
    const size_t logged = demo.logLines.size();
    probe->types.clear();
    route(demo, mouseButton(SDL_MOUSEBUTTONDOWN, mainId, 100, 100));
    route(demo, mouseButton(SDL_MOUSEBUTTONUP, mainId, 100, 100));
    route(demo, mouseMotion(mainId, 120, 120));
    key(mainId, SDLK_a);
    key(mainId, SDLK_d, KMOD_LALT);
    key(mainId, SDLK_RETURN);
    key(mainId, SDLK_ESCAPE);
    EXPECT_TRUE(probe->types.empty());
    if (demo.menuBar) EXPECT_FALSE(demo.menuBar->hasOpenMenu());
    // Alt+d in the dialog does nothing to the main window either.
    key(dialogId(), SDLK_d, KMOD_LALT);
    if (demo.menuBar) EXPECT_FALSE(demo.menuBar->hasOpenMenu());
    EXPECT_NE(dialogWindow(), nullptr) << "keys for the main window do not end the dialog";
    // Commands from the main window are dropped, and nothing is logged.
    demo.mainRoot()->postCommand(CMD_ACTIVATED, 5001, 0, probe);
    GuiEvent direct = GuiEvent::makeCommand(mainId, CMD_ACTIVATED, 7, 0, probe);
    demo.logEvent(direct);
    EXPECT_EQ(demo.logLines.size(), logged);
    EXPECT_EQ(demo.clickCounter, 0u);

    key(dialogId(), SDLK_RETURN);
    route(demo, mouseButton(SDL_MOUSEBUTTONDOWN, mainId, 100, 100));
    EXPECT_EQ(probe->types.size(), 1u) << "input flows again once the dialog ended";
}

TEST_F(DemoDialogsTest, ClosingAnyWindowThroughTheWindowManagerEndsTheProgram) {
    key(mainId, SDLK_F3);
    ASSERT_NE(dialogWindow(), nullptr);
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = dialogId();
    route(demo, close);
    EXPECT_TRUE(demo.quitRequested);
    frames(2);
    EXPECT_TRUE(demo.quitDone);
}

}  // namespace
