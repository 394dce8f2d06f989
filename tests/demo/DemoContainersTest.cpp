// The demo's containers as built: every control inside them found by name (also on pages that
// are not shown), with its class and tooltip; the pages in order; the initial sash positions
// and the scrolled panel's virtual area.
#include "demo/Demo.h"

#include "controls/Containers.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DemoContainers, ControlsInsideContainersAreFoundWithTheirTooltips) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    GuiWindow* root = demo.mainRoot();
    struct Named {
        const char* name;
        const char* className;
        const char* tooltip;
    } controls[] = {
        {"scrolled", "GuiScrolledPanel", "Scrollbarer Bereich mit 10 Einträgen"},
        {"row0", "GuiButton", "Eintrag Nr. 0"},
        {"row9", "GuiButton", "Eintrag Nr. 9"},
        {"notebook", "GuiNotebook", ""},
        {"option_a", "GuiCheckBox", "Schaltet Option A um"},
        {"option_b", "GuiCheckBox", "Schaltet Option B um"},
        {"threshold", "GuiSlider", "Grenzwert einstellen (0-100)"},
        {"password", "GuiTextCtrl", "Zeigt Punkte, lässt sich nicht kopieren"},
        {"text_wrap", "GuiTextCtrl", "Mehrzeilig mit Wortumbruch"},
        {"cell1", "GuiButton", ""},
        {"cell6", "GuiButton", ""},
        {"stack_top", "GuiButton", ""},
        {"stack_bottom", "GuiButton", ""},
        {"splitter_horizontal", "GuiSplitterWindow", ""},
        {"split_top", "GuiButton", ""},
        {"split_bottom", "GuiButton", ""},
        {"splitter", "GuiSplitterWindow", ""},
        {"left", "GuiButton", "Button in der linken Pane"},
        {"right", "GuiButton", "Button in der rechten Pane"},
    };
    for (const Named& c : controls) {
        GuiObject* obj = root->findByName(c.name);
        ASSERT_NE(obj, nullptr) << c.name;
        EXPECT_STREQ(obj->className(), c.className) << c.name;
        EXPECT_EQ(obj->tooltip, c.tooltip) << c.name;
    }
    std::string value;
    ASSERT_TRUE(root->findByName("threshold")->getValue(value));
    EXPECT_EQ(value, "50");
    ASSERT_TRUE(root->findByName("password")->getValue(value));
    EXPECT_EQ(value, "wolken");
    EXPECT_EQ(root->findByName("text_wrap")->height, 124 - 42);
}

TEST(DemoContainers, PagesSashesAndVirtualArea) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    GuiWindow* root = demo.mainRoot();
    auto* book = dynamic_cast<GuiNotebook*>(root->findByName("notebook"));
    ASSERT_NE(book, nullptr);
    const char* const names[] = {"tab_general", "tab_advanced", "tab_info",
                                 "tab_input",   "tab_sizer",    "tab_split"};
    const char* const titles[] = {"Allgemein", "Erweitert", "Info", "Eingabe", "Sizer", "Splitter"};
    ASSERT_EQ(book->pages.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(book->pages[i].name, names[i]);
        EXPECT_EQ(book->pages[i].title, titles[i]);
        SDL_Rect tab{};
        GuiObject* owner = nullptr;
        ASSERT_TRUE(root->findItem(names[i], owner, tab)) << names[i];
        EXPECT_EQ(owner, book);
    }
    std::string value;
    ASSERT_TRUE(book->getValue(value));
    EXPECT_EQ(value, "tab_general");
    ASSERT_TRUE(root->findByName("splitter")->getValue(value));
    EXPECT_EQ(value, "310");
    ASSERT_TRUE(root->findByName("splitter_horizontal")->getValue(value));
    EXPECT_EQ(value, "62");
    // Ten rows of 25 + 2 x 4 border with gaps of 4: taller than the panel, narrower than its view.
    auto* scrolled = dynamic_cast<GuiScrolledPanel*>(root->findByName("scrolled"));
    ASSERT_NE(scrolled, nullptr);
    EXPECT_EQ(scrolled->virtualHeight, 10 * 33 + 9 * 4);
    EXPECT_EQ(scrolled->virtualWidth, 262);
    EXPECT_TRUE(scrolled->vScroll.visible);
    EXPECT_FALSE(scrolled->hScroll.visible);
    // The sizer page fills its page: the stack's buttons share the height beside the grid.
    GuiObject* top = root->findByName("stack_top");
    GuiObject* bottom = root->findByName("stack_bottom");
    EXPECT_EQ(top->x, bottom->x);
    EXPECT_EQ(bottom->y, top->y + top->height + 4);
    EXPECT_GT(top->x, root->findByName("cell3")->x);
}

}  // namespace
