// The demo's event log and text fields as built: initial contents and focus, the 200/150
// trim, the lines written for commands, and a demo without its font.
#include "demo/Demo.h"

#include "controls/Buttons.h"
#include "controls/PropertyGrid.h"
#include "controls/TreeList.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "Zeile first" to "Zeile last", one per line: what the log must show.
std::string zeilen(int first, int last) {
    std::string s;
    for (int i = first; i <= last; ++i)
        s += (i > first ? "\nZeile " : "Zeile ") + std::to_string(i);
    return s;
}

TEST(DemoLog, FieldsStartWithTheirTextsAndTheFocus) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    ASSERT_NE(demo.singleLineText, nullptr);
    EXPECT_EQ(demo.singleLineText->text, "Das ist ein Text mit einem\tTab");
    EXPECT_EQ(demo.multiLineText->name, "text_multiline");
    EXPECT_TRUE(demo.multiLineText->multiline);
    EXPECT_TRUE(demo.eventLog->readOnly && demo.eventLog->multiline);
    EXPECT_EQ(demo.activeEditable, static_cast<IEditable*>(demo.multiLineText));
    EXPECT_TRUE(demo.multiLineText->hasFocus);
}

TEST(DemoLog, KeepsTheNewest150WhenPassing200) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    for (int i = 1; i <= 200; ++i)
        demo.appendLog("Zeile " + std::to_string(i));
    EXPECT_EQ(demo.logLines.size(), 200u);
    EXPECT_EQ(demo.eventLog->text, zeilen(1, 200));
    demo.appendLog("Zeile 201");
    ASSERT_EQ(demo.logLines.size(), 150u);
    EXPECT_EQ(demo.logLines.front(), "Zeile 52");
    for (int i = 202; i <= 205; ++i)
        demo.appendLog("Zeile " + std::to_string(i));
    EXPECT_EQ(demo.logLines.size(), 154u);
    EXPECT_EQ(demo.logLines.back(), "Zeile 205");
    EXPECT_EQ(demo.eventLog->text, zeilen(52, 205));
    EXPECT_EQ(demo.eventLog->cursor, demo.eventLog->codePointCount()) << "caret at the newest";
    EXPECT_GT(demo.eventLog->scrollY, 0) << "scrolled to show the newest line";
}

TEST(DemoLog, CommandLines) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    GuiObject* button1 = demo.mainRoot()->findByName("button1");
    GuiObject* slider = demo.mainRoot()->findByName("slider");
    ASSERT_NE(button1, nullptr);
    ASSERT_NE(slider, nullptr);
    demo.logEvent(GuiEvent::makeCommand(1, CMD_ACTIVATED, 1, 0, button1));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_SLIDER_CHANGED, 2001, -1, slider));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_IMAGE_CLICKED, 0, 0, button1));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_ACTIVATED, 1, 0, nullptr));
    const std::string before = button1->name;
    button1->name.clear();
    demo.logEvent(GuiEvent::makeCommand(1, CMD_ACTIVATED, 1, 0, button1));
    button1->name = before;
    const std::deque<std::string> expected{"Button: button1", "slider = 25",
                                           std::string("Button: ") + button1->className()};
    EXPECT_EQ(demo.logLines, expected);
}

TEST(DemoLog, TreeAndPropertyLines) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    auto* tree = dynamic_cast<GuiTreeListCtrl*>(demo.mainRoot()->findByName("tree"));
    auto* grid = dynamic_cast<GuiPropertyGrid*>(demo.mainRoot()->findByName("properties"));
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowCount(), 105);
    EXPECT_EQ(grid->rowAt(104)->name, "Eintrag 99");
    tree->setExpanded(tree->nodeWithItemId(13), false, true);  // Archiv, logged through the demo
    tree->setExpanded(tree->nodeWithItemId(13), true, true);
    tree->setSelection(tree->nodeWithItemId(3), true);
    ASSERT_TRUE(grid->setProperty("Width", "150"));
    // Rows and items that do not exist, and sources of another class, write nothing.
    demo.logEvent(GuiEvent::makeCommand(1, CMD_TREE_ITEM, 4001, 999, tree));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_TREE_ITEM, 4001, -1, tree));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_TREE_ITEM, 4001, 13, grid));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_PROPERTY_CHANGED, 0, 105, grid));
    demo.logEvent(GuiEvent::makeCommand(1, CMD_PROPERTY_CHANGED, 0, 2, tree));
    const std::deque<std::string> expected{"Archiv: eingeklappt", "Archiv: aufgeklappt",
                                           "tree = readme.txt", "properties.Width = 150"};
    EXPECT_EQ(demo.logLines, expected);
}

TEST(DemoLog, InvalidUtf8InALogLineStaysInStep) {
    Demo demo;
    ASSERT_TRUE(demo.build());
    demo.appendLog("kaputt \xC3\x28 \xFF");
    demo.appendLog("weiter");
    GuiTextCtrl* log = demo.eventLog;
    EXPECT_EQ(log->codePointCount(), log->glyphCount());
    EXPECT_EQ(log->text, "kaputt \xC3\x28 \xFF\nweiter");
}

}  // namespace
