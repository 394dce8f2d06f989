// The tree list: displayed rows after adds and expand/collapse sequences, paths and their
// escaping, value text, scroll clamping, mouse (expander versus row), keyboard, and the pixels
// of the header and the expander box.
#include "controls/TreeList.h"
#include "controls/ControlsFixture.h"

#include <string>
#include <vector>

namespace {

constexpr SDL_Color kTreeBg{240, 240, 240, 255};
constexpr SDL_Color kExpander{90, 90, 90, 255};
constexpr SDL_Color kHeaderBg{225, 225, 225, 255};
constexpr SDL_Color kGrid{210, 210, 210, 255};

class TreeList : public ControlsTest {
protected:
    GuiTreeListCtrl* makeTree(bool withColumns = true, SDL_Rect r = {10, 10, 300, 200}) {
        tree = add(new GuiTreeListCtrl(nullptr, 4001, r.x, r.y, r.w, r.h, kTreeBg, font));
        if (withColumns) {
            tree->addColumn("Name", 150);
            tree->addColumn("Typ", 100);
        }
        return tree;
    }
    // The sample tree: a(b(c), d), e
    void fillSample() {
        a = tree->addNode(-1, 1, {"a", "Ordner"});
        b = tree->addNode(a, 2, {"b"});
        c = tree->addNode(b, 3, {"c"});
        d = tree->addNode(a, 4, {"d"});
        e = tree->addNode(-1, 5, {"e"});
    }
    std::string shown() {
        std::string out;
        for (int row = 0; row < tree->visibleRowCount(); ++row)
            out += tree->nodeAt(tree->visibleNodeAt(row))->cells[0];
        return out;
    }
    int rowTop(int row) const { return tree->y + tree->headerHeight() + row * tree->rowHeight; }
    int rowMid(int row) const { return rowTop(row) + tree->rowHeight / 2; }
    void key(SDL_Keycode k) { route(app, keyEvent(SDL_KEYDOWN, id(), k)); }

    GuiTreeListCtrl* tree = nullptr;
    int a = -1, b = -1, c = -1, d = -1, e = -1;
};

TEST_F(TreeList, DisplayedRowsFollowAddsAndExpandCollapseSequences) {
    struct Step {
        const char* node;  // "a".."e", or "+x" to add a child x under the named parent
        bool expand;
        const char* rows;
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"nothing changed", {}},
        {"collapse a hides b, c, d", {{"a", false, "ae"}}},
        {"collapse b, then a, expand a: b stays collapsed",
         {{"b", false, "abde"}, {"a", false, "ae"}, {"a", true, "abde"}}},
        {"collapse a then expand it", {{"a", false, "ae"}, {"a", true, "abcde"}}},
        {"childless node: no change", {{"e", false, "abcde"}, {"e", true, "abcde"}}},
        {"child under collapsed b shows after expanding b",
         {{"b", false, "abde"}, {"+b", false, "abde"}, {"b", true, "abcxde"}}},
        {"child under expanded b lands after c", {{"+b", false, "abcxde"}}},
        {"child under the last node is appended", {{"+e", false, "abcdex"}}},
        {"child under collapsed a stays hidden", {{"a", false, "ae"}, {"+d", false, "ae"}}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        root->children.clear();
        makeTree();
        fillSample();
        ASSERT_EQ(shown(), "abcde");
        const int byName[] = {a, b, c, d, e};
        for (const Step& s : cs.steps) {
            if (s.node[0] == '+') {
                tree->addNode(byName[s.node[1] - 'a'], 9, {"x"});
            } else {
                tree->setExpanded(byName[s.node[0] - 'a'], s.expand, false);
            }
            EXPECT_EQ(shown(), s.rows);
        }
    }
}

TEST_F(TreeList, AddingOutOfOrderGivesTheSameRowsAsAFreshWalk) {
    makeTree();
    // Children of earlier nodes arrive after later ones: rows must still be depth-first.
    int r1 = tree->addNode(-1, 0, {"1"});
    int r2 = tree->addNode(-1, 0, {"2"});
    tree->addNode(r1, 0, {"1a"});
    int r2a = tree->addNode(r2, 0, {"2a"});
    tree->addNode(r1, 0, {"1b"});
    tree->addNode(r2a, 0, {"2a1"});
    tree->addNode(99, 0, {"3"});  // an invalid parent makes a top-level node
    std::vector<std::string> rows;
    for (int row = 0; row < tree->visibleRowCount(); ++row)
        rows.push_back(tree->nodeAt(tree->visibleNodeAt(row))->cells[0]);
    EXPECT_EQ(rows, (std::vector<std::string>{"1", "1a", "1b", "2", "2a", "2a1", "3"}));
    EXPECT_EQ(tree->nodeAt(tree->visibleNodeAt(5))->depth, 2);
    EXPECT_EQ(tree->visibleNodeAt(7), -1);
}

TEST_F(TreeList, PathsEscapeSlashesAndBackslashes) {
    makeTree();
    struct Case {
        std::vector<std::string> chain;  // first cells from the top-level node down
        const char* path;
    };
    const Case cases[] = {
        {{"r", "a/b"}, "r/a\\/b"},
        {{"r", "a\\b"}, "r/a\\\\b"},
        {{"x/", "\\"}, "x\\//\\\\"},
        {{"", "leer"}, "/leer"},
        {{"Dokumente", "Archiv", "alt.docx"}, "Dokumente/Archiv/alt.docx"},
    };
    for (const Case& cs : cases) {
        int parent = -1;
        for (const std::string& cell : cs.chain)
            parent = tree->addNode(parent, 0, {cell});
        EXPECT_EQ(tree->nodePath(parent), cs.path);
        // setValue finds the node by the same text.
        ASSERT_TRUE(tree->setValue(cs.path));
        EXPECT_EQ(tree->selected, parent);
    }
    int cellless = tree->addNode(-1, 0, {});
    EXPECT_EQ(tree->nodePath(cellless), "");
    EXPECT_EQ(tree->nodePath(-1), "");
    EXPECT_EQ(tree->nodePath(100000), "");
}

TEST_F(TreeList, SetValueExpandsCollapsedAncestorsTopFirstThenSelects) {
    makeTree();
    fillSample();
    tree->setExpanded(b, false, false);
    tree->setExpanded(a, false, false);
    app.commands.clear();
    ASSERT_TRUE(tree->setValue("a/b/c"));
    ASSERT_EQ(app.commands.size(), 3u);
    EXPECT_EQ(app.commands[0].code, CMD_TREE_ITEM);
    EXPECT_EQ(app.commands[0].value, 1);  // a's item id first
    EXPECT_EQ(app.commands[1].code, CMD_TREE_ITEM);
    EXPECT_EQ(app.commands[1].value, 2);
    EXPECT_EQ(app.commands[2].code, CMD_TREE_SELECTED);
    EXPECT_EQ(app.commands[2].value, 3);
    EXPECT_EQ(app.commands[2].id, 4001u);
    std::string value;
    ASSERT_TRUE(tree->getValue(value));
    EXPECT_EQ(value, "a/b/c");
    // Nothing matches: false, selection kept; empty text clears without a command.
    EXPECT_FALSE(tree->setValue("a/c"));
    EXPECT_EQ(tree->selected, c);
    app.commands.clear();
    EXPECT_TRUE(tree->setValue(""));
    EXPECT_EQ(tree->selected, -1);
    EXPECT_TRUE(app.commands.empty());
}

TEST_F(TreeList, ScrollOffsetsClampAtBothEnds) {
    makeTree(true, {10, 10, 200, 120});  // columns 250 wide: both bars
    for (int i = 0; i < 40; ++i)
        tree->addNode(-1, i, {"Zeile " + std::to_string(i), "x"});
    ASSERT_TRUE(tree->vScroll.visible);
    ASSERT_TRUE(tree->hScroll.visible);
    const int maxY = 40 * tree->rowHeight - tree->viewHeight();
    const int maxX = 250 - tree->viewWidth();
    struct Case {
        int wheel;
        bool shift;
        int scrollY, scrollX;
    };
    const Case cases[] = {
        {+3, false, 0, 0},  // already at the top
        {-1, false, tree->rowHeight, 0},
        {-1000, false, maxY, 0},  // far past the end
        {+1000, true, 0, 0},      // Shift: both offsets, clamped at the start
        {-1000, true, maxY, maxX},
    };
    for (const Case& cs : cases) {
        SDL_SetModState(cs.shift ? KMOD_LSHIFT : KMOD_NONE);
        route(app, mouseWheel(id(), 50, 50, cs.wheel));
        EXPECT_EQ(tree->scrollY, cs.scrollY) << cs.wheel;
        EXPECT_EQ(tree->scrollX, cs.scrollX) << cs.wheel;
    }
    SDL_SetModState(KMOD_NONE);
    // The last row sits flush with the bottom of the view.
    SDL_Rect r{};
    ASSERT_TRUE(tree->locateItem("Zeile 39", r));
    EXPECT_EQ(r.y + r.h, tree->y + tree->headerHeight() + tree->viewHeight());
}

TEST_F(TreeList, ThumbDragsAndTrackPressesScroll) {
    makeTree(true, {10, 10, 200, 120});
    for (int i = 0; i < 40; ++i)
        tree->addNode(-1, i, {"Zeile " + std::to_string(i), "x"});
    const int maxY = 40 * tree->rowHeight - tree->viewHeight();
    const SDL_Rect thumb = tree->vScroll.thumb;
    // Dragging the thumb past the track's end scrolls to the end, and back to the start.
    press(thumb.x + 2, thumb.y + 2);
    moveTo(thumb.x + 2, thumb.y + 500);
    EXPECT_EQ(tree->scrollY, maxY);
    moveTo(thumb.x + 2, thumb.y - 500);
    EXPECT_EQ(tree->scrollY, 0);
    release(thumb.x + 2, thumb.y - 500);
    // A press on the track below the thumb pages by the track height less one row.
    const SDL_Rect track = tree->vScroll.track;
    click(track.x + 2, track.y + track.h - 2);
    EXPECT_EQ(tree->scrollY, track.h - tree->rowHeight);
    // The horizontal track pages sideways by its width less 40, clamped to the content.
    const SDL_Rect hTrack = tree->hScroll.track;
    click(hTrack.x + hTrack.w - 2, hTrack.y + 2);
    EXPECT_EQ(tree->scrollX, std::min(hTrack.w - 40, 250 - tree->viewWidth()));
    EXPECT_EQ(tree->selected, -1);  // no press reached a row
}

TEST_F(TreeList, ExpanderPressTogglesAndRowPressSelects) {
    makeTree();
    fillSample();
    const int boxX = tree->x + 4;  // a at depth 0
    // On the box: a collapses (one command, no selection).
    press(boxX, rowMid(0));
    release(boxX, rowMid(0));
    EXPECT_FALSE(tree->isExpanded(a));
    EXPECT_EQ(tree->selected, -1);
    ASSERT_EQ(app.commands.size(), 1u);
    EXPECT_EQ(app.commands[0].code, CMD_TREE_ITEM);
    // The box's right end (box x + 7) still toggles; one pixel further selects.
    click(boxX + 7, rowMid(0));
    EXPECT_TRUE(tree->isExpanded(a));
    click(boxX + 8, rowMid(0));
    EXPECT_EQ(tree->selected, a);
    EXPECT_EQ(app.commands.back().code, CMD_TREE_SELECTED);
    // The box of childless c (depth 2) selects it; a press on the selected row posts again.
    click(tree->x + 4 + 32, rowMid(2));
    EXPECT_EQ(tree->selected, c);
    const size_t before = commandsWithCode(CMD_TREE_SELECTED);
    click(tree->x + 100, rowMid(2));
    EXPECT_EQ(commandsWithCode(CMD_TREE_SELECTED), before + 1);
    // Below the last row: nothing.
    click(tree->x + 100, rowMid(8));
    EXPECT_EQ(tree->selected, c);
}

TEST_F(TreeList, WithoutColumnsThereIsNoHeaderAndTheBoxSelects) {
    makeTree(false);
    fillSample();
    EXPECT_EQ(tree->headerHeight(), 0);
    click(tree->x + 4, tree->y + tree->rowHeight / 2);
    EXPECT_TRUE(tree->isExpanded(a));
    EXPECT_EQ(tree->selected, a);
}

TEST_F(TreeList, KeyboardMovesSelectionAndExpandsAndCollapses) {
    makeTree();
    fillSample();
    click(tree->x + 100, rowMid(0));  // focus and select a
    struct Step {
        SDL_Keycode key;
        const char* selected;
        const char* rows;
    };
    const Step steps[] = {
        {SDLK_DOWN, "b", "abcde"},  {SDLK_LEFT, "b", "abde"},  // collapse b
        {SDLK_LEFT, "a", "abde"},                              // to the parent
        {SDLK_LEFT, "a", "ae"},     {SDLK_DOWN, "e", "ae"},        {SDLK_DOWN, "e", "ae"},
        {SDLK_HOME, "a", "ae"},     {SDLK_RIGHT, "a", "abde"},  // expand a
        {SDLK_RIGHT, "b", "abde"},                              // to the first child
        {SDLK_RIGHT, "b", "abcde"}, {SDLK_END, "e", "abcde"},      {SDLK_PAGEUP, "a", "abcde"},
        {SDLK_UP, "a", "abcde"},    {SDLK_PAGEDOWN, "e", "abcde"},
    };
    for (const Step& s : steps) {
        key(s.key);
        ASSERT_NE(tree->selectedNode(), nullptr);
        EXPECT_EQ(tree->selectedNode()->cells[0], s.selected) << SDL_GetKeyName(s.key);
        EXPECT_EQ(shown(), s.rows) << SDL_GetKeyName(s.key);
    }
    // Each move and each toggle told the application.
    EXPECT_GE(commandsWithCode(CMD_TREE_ITEM), 4u);
}

TEST_F(TreeList, HeaderAndExpanderBoxPixels) {
    makeTree();
    fillSample();
    tree->setExpanded(b, false, false);
    const int rh = tree->rowHeight;
    const int aBoxX = tree->x + 4, aBoxY = rowTop(0) + (rh - 8) / 2;
    const int bBoxX = tree->x + 20, bBoxY = rowTop(1) + (rh - 8) / 2;
    auto px = pixels({
        {tree->x + 1, tree->y + 1},         // header fill
        {tree->x + 149, tree->y + 3},       // separator at column right - 1
        {tree->x + 120, tree->y + rh - 1},  // header bottom line
        {tree->x + 149, rowMid(3)},         // separator through the rows
        {aBoxX, aBoxY},                     // box outline corner
        {aBoxX + 7, aBoxY + 7},
        {aBoxX + 1, aBoxY + 1},  // inside the box
        {aBoxX + 3, aBoxY + 4},  // horizontal stroke
        {aBoxX + 4, aBoxY + 2},  // no vertical stroke: a is expanded
        {bBoxX + 4, bBoxY + 2},  // vertical stroke: b is collapsed
        {bBoxX + 4, bBoxY + 6},
        {bBoxX + 4, bBoxY + 7},  // bottom outline
        {bBoxX + 8, bBoxY + 4},  // right of the box
    });
    EXPECT_TRUE(colorIs(px[0], kHeaderBg));
    EXPECT_TRUE(colorIs(px[1], kGrid));
    EXPECT_TRUE(colorIs(px[2], kGrid));
    EXPECT_TRUE(colorIs(px[3], kGrid));
    EXPECT_TRUE(colorIs(px[4], kExpander));
    EXPECT_TRUE(colorIs(px[5], kExpander));
    EXPECT_TRUE(colorIs(px[6], kTreeBg));
    EXPECT_TRUE(colorIs(px[7], kExpander));
    EXPECT_TRUE(colorIs(px[8], kTreeBg));
    EXPECT_TRUE(colorIs(px[9], kExpander));
    EXPECT_TRUE(colorIs(px[10], kExpander));
    EXPECT_TRUE(colorIs(px[11], kExpander));
    EXPECT_TRUE(colorIs(px[12], kTreeBg));
}

TEST_F(TreeList, SelectedRowIsFilledAndTextStaysInItsCell) {
    makeTree();
    tree->addNode(-1, 1, {"kurz", "Typ"});
    tree->addNode(-1, 2, {"Ein sehr langer Name, der nicht in die Spalte passt", "Typ"});
    tree->setSelection(0, false);
    auto px = pixels({{tree->x + 2, rowTop(0) + 1}, {tree->x + 152, rowTop(0) + 1}});
    EXPECT_TRUE(colorIs(px[0], SDL_Color{0, 120, 215, 255}));
    EXPECT_TRUE(colorIs(px[1], SDL_Color{0, 120, 215, 255}));
    // The long first cell is cut at its column: no ink between the separator and the second
    // cell's text inset, while the first cell has ink right up to the separator.
    EXPECT_EQ(firstInkRow({tree->x + 150, rowTop(1), 4, tree->rowHeight}, 200), -1);
    EXPECT_NE(firstInkRow({tree->x + 120, rowTop(1), 28, tree->rowHeight}, 200), -1);
}

TEST_F(TreeList, ClearKeepsColumnsAndInvalidIndicesAreIgnored) {
    makeTree();
    fillSample();
    tree->setSelection(c, false);
    tree->clear();
    EXPECT_EQ(tree->columnCount(), 2);
    EXPECT_EQ(tree->visibleRowCount(), 0);
    EXPECT_EQ(tree->selected, -1);
    EXPECT_EQ(tree->nodeAt(0), nullptr);
    EXPECT_FALSE(tree->isExpanded(0));
    tree->setExpanded(5, false, true);
    tree->setColumnWidth(7, 10);
    tree->setSelection(3, true);
    EXPECT_EQ(tree->selectedItemId(), -1);
    EXPECT_EQ(commandsWithCode(CMD_TREE_SELECTED), 0u);
    pixels({{0, 0}});  // drawing an empty tree is fine
}

}  // namespace
