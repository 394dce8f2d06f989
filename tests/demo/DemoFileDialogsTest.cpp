// The demo's file dialogs: F7, F8 and the menu rows open them on HOME (or "/"), with the
// filter and default name of each row, and their end is logged with the path or
// "abgebrochen".
#include "demo/Demo.h"

#include "../dialogs/FileTree.h"
#include "controls/ListCtrl.h"
#include "dialogs/FileDialog.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class DemoFileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tree.file("brief.txt"));
        ASSERT_TRUE(tree.file("bild.png"));
        home = std::filesystem::canonical(tree.root).string();
        const char* old = std::getenv("HOME");
        oldHome = old ? old : "";
        hadHome = old != nullptr;
        setenv("HOME", tree.root.c_str(), 1);
        ASSERT_TRUE(demo.build());
    }
    void TearDown() override {
        if (hadHome)
            setenv("HOME", oldHome.c_str(), 1);
        else
            unsetenv("HOME");
    }
    AppWindow* dialogWindow() const {
        for (AppWindow* w : demo.windowList)
            if (w != demo.mainWindow) return w;
        return nullptr;
    }
    GuiFileDialog* dialog() const {
        AppWindow* w = dialogWindow();
        return w ? dynamic_cast<GuiFileDialog*>(w->root.get()) : nullptr;
    }
    void key(uint32_t windowId, SDL_Keycode k) { route(demo, keyEvent(SDL_KEYDOWN, windowId, k)); }
    std::string lastLog() const { return demo.logLines.empty() ? "" : demo.logLines.back(); }

    FileTree tree;
    std::string home, oldHome;
    bool hadHome = false;
    Demo demo;
};

TEST_F(DemoFileDialogsTest, KeysAndMenuRowsOpenTheirDialogs) {
    struct Case {
        uint32_t item;  // 0: the key instead
        SDL_Keycode key;
        const char* title;
        const char* className;
        std::vector<std::string> filters;
        const char* name;
    };
    const std::vector<Case> cases = {
        {0, SDLK_F7, "Datei öffnen", "GuiOpenFileDialog", {}, ""},
        {0, SDLK_F8, "Datei speichern", "GuiSaveFileDialog", {}, "unbenannt.txt"},
        {258, 0, "Datei öffnen", "GuiOpenFileDialog", {}, ""},
        {8192, 0, "Datei öffnen", "GuiOpenFileDialog", {}, ""},
        {8193, 0, "Datei öffnen", "GuiOpenFileDialog", {".png"}, ""},
        {259, 0, "Datei speichern", "GuiSaveFileDialog", {}, "unbenannt.txt"},
        {8194, 0, "Datei speichern", "GuiSaveFileDialog", {}, "unbenannt.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item ? std::to_string(c.item) : SDL_GetKeyName(c.key));
        if (c.item)
            ASSERT_TRUE(demo.handleMenuCommand(demo.mainWindow, c.item));
        else
            key(demo.mainWindow->windowId, c.key);
        GuiFileDialog* d = dialog();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(SDL_GetWindowTitle(dialogWindow()->sdlWindow.get()), std::string(c.title));
        EXPECT_STREQ(d->className(), c.className);
        EXPECT_EQ(d->width, 480);
        EXPECT_EQ(d->height, 420);
        EXPECT_EQ(d->currentDir, home);
        EXPECT_EQ(d->extensionFilters, c.filters);
        EXPECT_EQ(d->nameText(), c.name);
        EXPECT_EQ(demo.modalRoot, d);
        EXPECT_EQ(d->focus, nullptr);
        key(dialogWindow()->windowId, SDLK_ESCAPE);
        EXPECT_EQ(lastLog(), std::string(c.className) + ": abgebrochen");
        EXPECT_EQ(dialogWindow(), nullptr);
    }
}

TEST_F(DemoFileDialogsTest, AcceptedPathsAreLogged) {
    key(demo.mainWindow->windowId, SDLK_F7);
    ASSERT_NE(dialog(), nullptr);
    dialog()->setNameText("brief.txt");
    key(dialogWindow()->windowId, SDLK_RETURN);
    EXPECT_EQ(lastLog(), "GuiOpenFileDialog: " + home + "/brief.txt");

    key(demo.mainWindow->windowId, SDLK_F8);
    ASSERT_NE(dialog(), nullptr);
    key(dialogWindow()->windowId, SDLK_RETURN);
    EXPECT_EQ(lastLog(), "GuiSaveFileDialog: " + home + "/unbenannt.txt");
}

TEST_F(DemoFileDialogsTest, ANameWithALineFeedStaysOneLogLine) {
    ASSERT_TRUE(tree.file("zwei\nzeilen.txt"));
    key(demo.mainWindow->windowId, SDLK_F7);
    GuiFileDialog* d = dialog();
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->entries.size(), 4u);
    // A double click on the last row, "zwei\uFFFDzeilen.txt", opens the file by its bytes.
    const int x = d->fileList->x + 20, y = d->fileList->y + 3 * d->fileList->rowHeight + 5;
    SDL_Event press = mouseButton(SDL_MOUSEBUTTONDOWN, dialogWindow()->windowId, x, y);
    route(demo, press);
    press.button.clicks = 2;
    route(demo, press);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_EQ(lastLog(), "GuiOpenFileDialog: " + home + "/zwei\xEF\xBF\xBDzeilen.txt");
}

TEST_F(DemoFileDialogsTest, WithoutHomeTheDialogsStartAtTheRoot) {
    unsetenv("HOME");
    key(demo.mainWindow->windowId, SDLK_F7);
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->currentDir, "/");
}

}  // namespace
