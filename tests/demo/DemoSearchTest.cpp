// The demo's fruit search, list, combo box and menu bar as built: filtering on every change,
// case-blind queries, a kept selection, the status text, and Alt+D opening the file menu.
#include "demo/Demo.h"

#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "controls/Menus.h"
#include "support/TestApp.h"
#include "text/SearchCtrl.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class DemoCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(demo.build());
        demo.framesPerSecond = 1000;
        root = demo.mainRoot();
        search = dynamic_cast<GuiSearchCtrl*>(root->findByName("search"));
        results = dynamic_cast<GuiListCtrl*>(root->findByName("search_results"));
        ASSERT_NE(search, nullptr);
        ASSERT_NE(results, nullptr);
    }
    uint32_t wid() const { return demo.mainWindow->windowId; }
    void type(const char* text) { route(demo, textInput(wid(), text)); }
    void clickSearch() {
        route(demo, mouseButton(SDL_MOUSEBUTTONDOWN, wid(), 400, 293));
        route(demo, mouseButton(SDL_MOUSEBUTTONUP, wid(), 400, 293));
    }
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (const ListItem& item : results->items)
            out.push_back(item.text);
        return out;
    }

    Demo demo;
    GuiWindow* root = nullptr;
    GuiSearchCtrl* search = nullptr;
    GuiListCtrl* results = nullptr;
};

TEST_F(DemoCatalogue, TypingFiltersTheFruitsInOrder) {
    EXPECT_EQ(results->itemCount(), 20);
    clickSearch();
    type("a");
    type("n");
    const std::vector<std::string> an{"Banane", "Mango", "Orange", "Ananas", "Granatapfel"};
    EXPECT_EQ(rows(), an);
    ASSERT_NE(demo.statusBar, nullptr);
    EXPECT_EQ(demo.statusBar->panes.at(0).text, "Suche: an");
    search->setValue("AN");  // capitals give the same rows
    EXPECT_EQ(rows(), an);
    search->setValue("mel");
    EXPECT_EQ(rows(), (std::vector<std::string>{"Honigmelone", "Wassermelone"}));
    search->setValue("");
    EXPECT_EQ(results->itemCount(), 20);
    EXPECT_EQ(demo.statusBar->panes.at(0).text, "Suche: ");
}

TEST_F(DemoCatalogue, SelectedFruitStaysSelectedWhileItMatches) {
    search->setValue("a");
    ASSERT_TRUE(results->setValue("Mango"));
    search->setValue("an");
    ASSERT_NE(results->selectedItem(), nullptr);
    EXPECT_EQ(results->selectedItem()->text, "Mango");
    EXPECT_EQ(results->selected, 1);
    search->setValue("ana");  // Mango no longer matches
    EXPECT_EQ(results->selectedItem(), nullptr);
}

TEST_F(DemoCatalogue, ListComboAndMenuBarAsBuilt) {
    auto* list = dynamic_cast<GuiListCtrl*>(root->findByName("list"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->itemCount(), 10001);
    EXPECT_EQ(list->items.back().text, "Eintrag LAST");
    auto* combo = dynamic_cast<GuiComboBox*>(root->findByName("combo"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->items.size(), 1001u);
    EXPECT_EQ(combo->selectedText(), "Eintrag 0");
    ASSERT_NE(demo.menuBar, nullptr);
    ASSERT_EQ(demo.menuBar->entries.size(), 4u);
    route(demo, keyEvent(SDL_KEYDOWN, wid(), SDLK_d, KMOD_LALT));
    EXPECT_EQ(demo.menuBar->openIndex, 0);
    EXPECT_TRUE(root->isPopup(demo.menuBar->entries[0].menu));
    EXPECT_EQ(demo.menuBar->entries[0].menu->hoverIndex, -1);  // the key opened it, nothing more
    route(demo, keyEvent(SDL_KEYDOWN, wid(), SDLK_ESCAPE));
    route(demo, keyEvent(SDL_KEYDOWN, wid(), SDLK_d));  // without Alt: nothing opens
    EXPECT_FALSE(root->hasPopups());
}

}  // namespace
