// The property grid and its in-place editor: values per kind, the user's changes by mouse and
// keyboard, editing through real events, the editor's lifetime, scrolling, and the pixels of
// category rows, the selection, the separator and fitted names.
#include "controls/PropertyGrid.h"
#include "controls/ControlsFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255};

class PropertyGrid : public ControlsTest {
protected:
    GuiPropertyGrid* makeGrid(int gridId = 5, SDL_Rect r = {10, 10, 300, 200}) {
        grid = add(new GuiPropertyGrid(nullptr, gridId, r.x, r.y, r.w, r.h, kWhite, font,
                                       app.getFtFace()));
        return grid;
    }
    // Shape, Name, Width, Ratio, Show, Flow, Fixed (read-only), Mode (read-only choice)
    void fillSample() {
        grid->addCategory("Shape");
        grid->addText("Name", "KORVELT");
        grid->addInt("Width", 120);
        grid->addFloat("Ratio", 1.5);
        grid->addBool("Show", true);
        grid->addChoice("Flow", {"None", "Constant", "Pulse"}, 1);
        grid->addText("Fixed", "fest", true);
        grid->addChoice("Mode", {"A", "B"}, 0, true);
    }
    int rowMid(int row) const {
        return grid->y + row * grid->rowHeight - grid->scrollY + grid->rowHeight / 2;
    }
    int valueX() const { return grid->x + grid->nameColumnWidth + 40; }
    void key(SDL_Keycode k) { route(app, keyEvent(SDL_KEYDOWN, id(), k)); }
    void type(const char* text) { route(app, textInput(id(), text)); }
    void rightClick(int x, int y) {
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id(), x, y, SDL_BUTTON_RIGHT));
        route(app, mouseButton(SDL_MOUSEBUTTONUP, id(), x, y, SDL_BUTTON_RIGHT));
    }
    std::string prop(const std::string& name) {
        std::string out;
        EXPECT_TRUE(grid->getProperty(name, out)) << name;
        return out;
    }
    // Starts editing a row with a click into its value cell and puts the caret at the end.
    void clickToEdit(int row) {
        click(valueX(), rowMid(row));
        ASSERT_NE(grid->editor, nullptr);
        key(SDLK_END);
    }

    GuiPropertyGrid* grid = nullptr;
};

TEST_F(PropertyGrid, RowsStartWithTheirKindsValues) {
    makeGrid();
    fillSample();
    grid->addInt("Neg", -7);
    grid->addChoice("Clamped", {"x", "y", "z"}, 7);
    grid->addChoice("Empty", {}, 2);
    EXPECT_EQ(grid->rowAt(0)->readOnly, true);
    EXPECT_EQ(grid->valueOf("Width"), "120");
    EXPECT_EQ(grid->valueOf("Ratio"), "1.500000");
    EXPECT_EQ(grid->valueOf("Show"), "true");
    EXPECT_EQ(grid->valueOf("Neg"), "-7");
    EXPECT_EQ(grid->valueOf("Clamped"), "z");
    EXPECT_EQ(grid->rowAt(9)->choiceIndex, 2);
    EXPECT_EQ(grid->valueOf("Empty"), "");
    EXPECT_EQ(grid->rowAt(10)->choiceIndex, -1);
    EXPECT_EQ(grid->valueOf("Shape"), "");  // categories are not properties
    EXPECT_EQ(grid->contentHeight, 11 * grid->rowHeight);
    EXPECT_GE(grid->rowHeight, TTF_FontHeight(font) + 6);
}

TEST_F(PropertyGrid, SetAndGetPropertyPerKind) {
    makeGrid();
    fillSample();
    struct Case {
        const char* name;
        const char* text;
        bool ok;
        const char* stored;  // the row's value text afterwards
        const char* read;    // getProperty afterwards
    };
    const Case cases[] = {
        {"Width", "3.0", true, "3", "3"},
        {"Width", "3.5", false, "3", "3"},
        {"Width", "1,5", false, "3", "3"},
        {"Width", "-40", true, "-40", "-40"},
        {"Width", "abc", false, "-40", "-40"},
        {"Width", "", false, "-40", "-40"},
        {"Ratio", "2.25", true, "2.25", "2.25"},
        {"Ratio", "2,25", false, "2.25", "2.25"},
        {"Ratio", "1e3", true, "1000", "1000"},
        {"Show", "0", true, "false", "0"},
        {"Show", "true", true, "true", "1"},
        {"Show", "yes", false, "true", "1"},
        {"Flow", "Pulse", true, "Pulse", "Pulse"},
        {"Flow", "pulse", false, "Pulse", "Pulse"},
        {"Name", "a, b / c", true, "a, b / c", "a, b / c"},
        {"Fixed", "neu", false, "fest", "fest"},
        {"Mode", "B", false, "A", "A"},
        {"Shape", "x", false, nullptr, nullptr},
        {"Nirgends", "x", false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " <- " + c.text);
        const size_t before = commandsWithCode(CMD_PROPERTY_CHANGED);
        EXPECT_EQ(grid->setProperty(c.name, c.text), c.ok);
        EXPECT_EQ(commandsWithCode(CMD_PROPERTY_CHANGED), before + (c.ok ? 1 : 0));
        std::string out;
        if (!c.stored) {
            EXPECT_FALSE(grid->getProperty(c.name, out));
            continue;
        }
        EXPECT_EQ(grid->valueOf(c.name), c.stored);
        EXPECT_EQ(prop(c.name), c.read);
    }
    EXPECT_EQ(grid->rowAt(5)->choiceIndex, 2);
    // The command carries the row index; an unchanged value is still reported.
    EXPECT_TRUE(grid->setProperty("Flow", "Pulse"));
    EXPECT_EQ(app.commands.back().value, 5);
    EXPECT_EQ(app.commands.back().id, 5u);
}

TEST_F(PropertyGrid, GetPropertyReadsStoredTextLeniently) {
    makeGrid();
    fillSample();
    struct Case {
        const char* name;
        const char* stored;
        const char* read;
    };
    const Case cases[] = {
        {"Ratio", "1,5", "1.5"}, {"Width", "0012", "12"},     {"Width", "zwölf", "zwölf"},
        {"Show", "yes", "1"},    {"Show", "1", "1"},          {"Show", "TRUE", "0"},
        {"Ratio", "", ""},       {"Width", "1,2,3", "1,2,3"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(grid->setValueOf(c.name, c.stored));
        EXPECT_EQ(prop(c.name), c.read) << c.stored;
    }
    EXPECT_FALSE(grid->setValueOf("Shape", "x"));
    // Toggling "yes" gives "false".
    grid->setValueOf("Show", "yes");
    rightClick(valueX(), rowMid(4));
    EXPECT_EQ(grid->valueOf("Show"), "false");
}

TEST_F(PropertyGrid, MouseChangesBooleansAndChoicesOnlyWithTheRightButton) {
    makeGrid();
    fillSample();
    click(valueX(), rowMid(4));  // left on a boolean: selects only
    EXPECT_EQ(grid->selected, 4);
    EXPECT_EQ(grid->valueOf("Show"), "true");
    rightClick(valueX(), rowMid(4));
    EXPECT_EQ(grid->valueOf("Show"), "false");
    rightClick(grid->x + 20, rowMid(4));  // name column: selects only
    EXPECT_EQ(grid->valueOf("Show"), "false");
    for (const char* expected : {"Pulse", "None", "Constant"}) {
        rightClick(valueX(), rowMid(5));
        EXPECT_EQ(grid->valueOf("Flow"), expected);
    }
    rightClick(valueX(), rowMid(7));  // read-only choice: selected, unchanged
    EXPECT_EQ(grid->selected, 7);
    EXPECT_EQ(grid->valueOf("Mode"), "A");
    EXPECT_EQ(commandsWithCode(CMD_PROPERTY_CHANGED), 4u);
    EXPECT_EQ(app.commands.back().value, 5);
    click(valueX(), rowMid(8));  // below the last row
    EXPECT_EQ(grid->selected, -1);
}

TEST_F(PropertyGrid, KeyboardSelectsTogglesCyclesAndOpensTheEditor) {
    makeGrid();
    fillSample();
    click(grid->x + 20, rowMid(0));  // focus the grid on the category
    key(SDLK_DOWN);
    EXPECT_EQ(grid->selected, 1);
    key(SDLK_END);
    EXPECT_EQ(grid->selected, 7);
    key(SDLK_DOWN);
    EXPECT_EQ(grid->selected, 7);
    key(SDLK_HOME);
    key(SDLK_UP);
    EXPECT_EQ(grid->selected, 0);
    key(SDLK_RETURN);  // category: nothing
    EXPECT_EQ(grid->editor, nullptr);
    for (int i = 0; i < 4; ++i)
        key(SDLK_DOWN);
    key(SDLK_RETURN);
    EXPECT_EQ(grid->valueOf("Show"), "false");
    key(SDLK_DOWN);
    key(SDLK_KP_ENTER);
    EXPECT_EQ(grid->valueOf("Flow"), "Pulse");
    key(SDLK_PAGEUP);  // would pass row 0: stays
    EXPECT_EQ(grid->selected, 5);
    key(SDLK_HOME);
    key(SDLK_DOWN);
    key(SDLK_RETURN);  // a text row: the editor opens and takes the keys
    ASSERT_NE(grid->editor, nullptr);
    EXPECT_EQ(root->focus, grid->editor);
    key(SDLK_DOWN);
    EXPECT_EQ(grid->selected, 1);
}

TEST_F(PropertyGrid, EditingCommitsOnReturnAndEnterAndDiscardsOnEscape) {
    makeGrid();
    fillSample();
    struct Case {
        SDL_Keycode key;
        const char* typed;
        const char* value;
        size_t commands;
    };
    const Case cases[] = {
        {SDLK_RETURN, "X", "KORVELTX", 1},
        {SDLK_KP_ENTER, "Y", "KORVELTXY", 1},
        {SDLK_ESCAPE, "Z", "KORVELTXY", 0},
        {SDLK_RETURN, "", "KORVELTXY", 0},  // unchanged text posts nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SDL_GetKeyName(c.key));
        app.commands.clear();
        clickToEdit(1);
        EXPECT_EQ(grid->editingRow, 1);
        if (*c.typed) type(c.typed);
        key(c.key);
        EXPECT_EQ(grid->editor, nullptr);
        EXPECT_EQ(grid->editingRow, -1);
        EXPECT_EQ(root->focus, grid);  // the focus is back on the grid
        EXPECT_EQ(grid->valueOf("Name"), c.value);
        EXPECT_EQ(commandsWithCode(CMD_PROPERTY_CHANGED), c.commands);
        app.frames(1);
        // The editor is gone from the window after the event.
        for (auto& child : root->children)
            EXPECT_STRNE(child->className(), "GuiPGTextEditor");
    }
}

TEST_F(PropertyGrid, EditorSitsOverTheValueCellWithItsId) {
    makeGrid(5);
    fillSample();
    clickToEdit(3);
    GuiPGTextEditor* ed = grid->editor;
    EXPECT_EQ(ed->id, 5903);
    EXPECT_EQ(ed->x, grid->x + grid->nameColumnWidth + 2);
    EXPECT_EQ(ed->y, grid->y + 3 * grid->rowHeight + 2);
    EXPECT_EQ(ed->width, 300 - 14 - 160 - 4);
    EXPECT_EQ(ed->height, grid->rowHeight - 4);
    EXPECT_EQ(ed->text, "1.500000");
    EXPECT_TRUE(sameColor(ed->bgColor, SDL_Color{240, 240, 240, 255}));
}

TEST_F(PropertyGrid, PressElsewhereCommitsTheTypedText) {
    makeGrid();
    fillSample();
    auto* other = add(new ProbeWidget(10, 215, 50, 20));
    clickToEdit(2);
    type("5");
    click(other->x + 5, other->y + 5);
    EXPECT_EQ(grid->editor, nullptr);
    EXPECT_EQ(grid->valueOf("Width"), "1205");
    EXPECT_EQ(commandsWithCode(CMD_PROPERTY_CHANGED), 1u);
    // A press on another grid row commits too, and then edits that row.
    clickToEdit(1);
    type("!");
    click(valueX(), rowMid(3));
    EXPECT_EQ(grid->valueOf("Name"), "KORVELT!");
    ASSERT_NE(grid->editor, nullptr);
    EXPECT_EQ(grid->editingRow, 3);
}

TEST_F(PropertyGrid, NumberRowKeepsTypedTextThatDoesNotParse) {
    makeGrid();
    fillSample();
    clickToEdit(2);
    type("x");
    key(SDLK_RETURN);
    EXPECT_EQ(grid->valueOf("Width"), "120x");
    EXPECT_EQ(prop("Width"), "120x");  // read back raw, no crash
    EXPECT_TRUE(grid->setProperty("Width", "7"));
    EXPECT_EQ(prop("Width"), "7");
}

TEST_F(PropertyGrid, WheelOverTheEditorScrollsTheGridAndCommits) {
    makeGrid(5, {10, 10, 300, 100});
    fillSample();
    for (int i = 0; i < 10; ++i)
        grid->addText("Eintrag " + std::to_string(i), "Dummy");
    clickToEdit(1);
    type("Q");
    GuiPGTextEditor* ed = grid->editor;
    route(app, mouseWheel(id(), ed->x + 5, ed->y + 5, -1));
    EXPECT_EQ(grid->scrollY, grid->rowHeight);
    EXPECT_EQ(grid->editor, nullptr);
    EXPECT_EQ(grid->valueOf("Name"), "KORVELTQ");
    EXPECT_EQ(root->focus, grid);
    // Clamped at both ends.
    route(app, mouseWheel(id(), 50, 50, -1000));
    EXPECT_EQ(grid->scrollY, grid->contentHeight - 100);
    route(app, mouseWheel(id(), 50, 50, 1000));
    EXPECT_EQ(grid->scrollY, 0);
    // End scrolls the last row flush with the bottom.
    click(grid->x + 20, rowMid(0));
    key(SDLK_END);
    EXPECT_EQ(grid->scrollY, grid->contentHeight - 100);
}

TEST_F(PropertyGrid, EditorNeverOutlivesItsRowOrItsGrid) {
    // clear, setProperty on the row, a new edit, the grid's own deletion: each leaves no
    // pointer to a dead editor and no commit into a row that is gone.
    makeGrid();
    fillSample();
    auto* other = add(new ProbeWidget(10, 215, 50, 20));
    clickToEdit(1);
    type("A");
    grid->clear();
    EXPECT_EQ(grid->editor, nullptr);
    EXPECT_EQ(commandsWithCode(CMD_PROPERTY_CHANGED), 0u);
    app.frames(2);
    key(SDLK_RETURN);  // the focus lost its editor: nothing happens

    fillSample();
    clickToEdit(1);
    type("B");
    EXPECT_TRUE(grid->setProperty("Name", "neu"));
    EXPECT_EQ(grid->editor, nullptr);
    click(other->x + 5,
          other->y + 5);  // the discarded editor loses the focus: it must not commit "B"
    EXPECT_EQ(grid->valueOf("Name"), "neu");

    clickToEdit(1);
    type("C");
    grid->beginEdit(2, nullptr);  // a second edit while the first editor has the focus
    EXPECT_EQ(grid->editingRow, 2);
    EXPECT_EQ(grid->valueOf("Name"), "neu");
    EXPECT_EQ(grid->valueOf("Width"), "120");
    type("9");  // opened without a press: the caret starts at the end
    key(SDLK_RETURN);
    EXPECT_EQ(grid->valueOf("Width"), "1209");

    clickToEdit(1);
    grid->destroy();
    root->runPendingDeletes();  // grid and editor both go; typing afterwards reaches nothing
    type("D");
    key(SDLK_RETURN);
    for (auto& child : root->children) {
        EXPECT_STRNE(child->className(), "GuiPGTextEditor");
        EXPECT_STRNE(child->className(), "GuiPropertyGrid");
    }
}

TEST_F(PropertyGrid, ClosingTheWindowWhileEditingIsSafe) {
    makeGrid();
    fillSample();
    clickToEdit(1);
    type("E");
    EXPECT_TRUE(app.destroyWindow(id()));
    app.frames(1);
}

TEST_F(PropertyGrid, CategorySelectionSeparatorAndFittedNamePixels) {
    makeGrid();
    grid->addCategory("Kategorie");
    grid->addText("Ein viel zu langer Eigenschaftsname", "v");
    grid->addText("kurz", "v");
    grid->addBool("b", true);
    grid->setNameColumnWidth(100);
    click(grid->x + 20, rowMid(2));
    const int rh = grid->rowHeight;
    auto px = pixels({
        {grid->x + 3, grid->y + 3},             // category fill
        {grid->x + 3, grid->y + 2 * rh + 3},    // selected fill
        {grid->x + 3, grid->y + 3 * rh + 3},    // plain row
        {grid->x + 50, grid->y + 3 * rh - 1},   // line along a row's bottom
        {grid->x + 100, grid->y + 3 * rh + 3},  // column separator
        {grid->x + 100, grid->y + 190},         // ... down to the bottom
        {grid->x, grid->y + 100},               // outline
    });
    EXPECT_TRUE(colorIs(px[0], SDL_Color{210, 210, 210, 255}));
    EXPECT_TRUE(colorIs(px[1], SDL_Color{190, 220, 255, 255}));
    EXPECT_TRUE(colorIs(px[2], kWhite));
    EXPECT_TRUE(colorIs(px[3], SDL_Color{200, 200, 200, 255}));
    EXPECT_TRUE(colorIs(px[4], SDL_Color{120, 120, 120, 255}));
    EXPECT_TRUE(colorIs(px[5], SDL_Color{120, 120, 120, 255}));
    EXPECT_TRUE(colorIs(px[6], SDL_Color{80, 80, 80, 255}));
    // The long name fits into 100 - 16 pixels from x + 6: no ink right of x + 90, and the
    // ellipsis' dots sit just before that edge.
    EXPECT_EQ(firstInkRow({grid->x + 91, grid->y + rh + 1, 8, rh - 2}, 200), -1);
    EXPECT_NE(firstInkRow({grid->x + 75, grid->y + rh + 1, 16, rh - 2}, 200), -1);
}

TEST_F(PropertyGrid, ScrollBarShowsWhenRowsOverflowAndPagesOnTrackPress) {
    makeGrid(5, {10, 10, 300, 100});
    fillSample();
    app.frames(1);
    ASSERT_TRUE(grid->vScroll.visible);
    const int barX = grid->x + 300 - 7;
    press(barX, grid->y + 95);  // below the thumb: one page down, clamped
    release(barX, grid->y + 95);
    EXPECT_EQ(grid->scrollY, std::min(100, grid->contentHeight - 100));
    EXPECT_TRUE(colorIs(pixel(grid->x + 300 - 14, grid->y + 50), SDL_Color{140, 140, 140, 255}));
    grid->clear();
    grid->addText("a", "b");
    app.frames(1);
    EXPECT_FALSE(grid->vScroll.visible);
}

}  // namespace
