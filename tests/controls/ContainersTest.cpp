// The scrolled panel, the notebook and the splitter window: geometry tables, routing with real
// SDL events, and the pixels of tabs and sash.
#include "controls/Buttons.h"
#include "controls/Containers.h"

#include "ControlsFixture.h"

namespace {

using Containers = ControlsTest;

constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kPaneGrey{230, 230, 230, 255};
constexpr SDL_Color kEdge{120, 120, 120, 255};

int textWidth(TTF_Font* font, const std::string& s) {
    int w = 0, h = 0;
    TTF_SizeUTF8(font, s.c_str(), &w, &h);
    return w;
}

// ---------------------------------------------------------------------------------------------
// Scrolled panel

TEST_F(Containers, ScrollBarsAppearAtTheExactThresholds) {
    struct Case {
        int vw, vh;
        bool vertical, horizontal;
        int viewW, viewH;
    } cases[] = {
        {200, 100, false, false, 200, 100},  // fits exactly
        {0, 0, false, false, 200, 100},
        {201, 86, false, true, 200, 86},  // one pixel wider, height leaves room for the bar
        {201, 87, true, true, 186, 86},   // ... height within 14 of the panel: both
        {186, 101, true, false, 186, 100},
        {187, 101, true, true, 186, 86},
        {200, 101, true, true, 186, 86},
        {201, 100, true, true, 186, 86},
    };
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    for (const Case& c : cases) {
        panel->setVirtualSize(c.vw, c.vh);
        SCOPED_TRACE(std::to_string(c.vw) + "x" + std::to_string(c.vh));
        EXPECT_EQ(panel->vScroll.visible, c.vertical);
        EXPECT_EQ(panel->hScroll.visible, c.horizontal);
        EXPECT_EQ(panel->viewWidth(), c.viewW);
        EXPECT_EQ(panel->viewHeight(), c.viewH);
        if (c.vertical) {
            EXPECT_EQ(panel->vScroll.track.x, 10 + c.viewW);
            EXPECT_EQ(panel->vScroll.track.h, c.viewH);
        }
        if (c.horizontal) {
            EXPECT_EQ(panel->hScroll.track.y, 20 + c.viewH);
            EXPECT_EQ(panel->hScroll.track.w, c.viewW);
        }
    }
}

TEST_F(Containers, ScrollingClampsAndMovesChildrenByTheClampedAmount) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* probe = new ProbeWidget(5, 250, 50, 30);
    panel->addChild(probe);
    EXPECT_EQ(probe->x, 15);
    EXPECT_EQ(probe->y, 270);
    panel->setVirtualSize(186, 300);  // vertical bar only: view 186 x 100, at most 200 down
    struct Step {
        int sx, sy;
        int expectX, expectY;
    } steps[] = {{0, 150, 0, 150}, {50, 1000, 0, 200}, {-5, -5, 0, 0}, {0, 200, 0, 200}};
    for (const Step& s : steps) {
        panel->scrollTo(s.sx, s.sy);
        EXPECT_EQ(panel->scrollX, s.expectX);
        EXPECT_EQ(panel->scrollY, s.expectY);
        // The invariant: absolute = panel - scroll + virtual position.
        EXPECT_EQ(probe->x, 10 - panel->scrollX + 5);
        EXPECT_EQ(probe->y, 20 - panel->scrollY + 250);
    }
    // Wheel past the end stops at the maximum.
    moveTo(100, 60);
    route(app, mouseWheel(id(), 100, 60, -30));
    EXPECT_EQ(panel->scrollY, 200);
    route(app, mouseWheel(id(), 100, 60, 1));
    EXPECT_EQ(panel->scrollY, 160);
    EXPECT_EQ(probe->y, 20 - 160 + 250);
    // A negative virtual size becomes 0 x 0: offsets back to 0, children back in place.
    panel->setVirtualSize(-10, -3);
    EXPECT_EQ(panel->virtualWidth, 0);
    EXPECT_EQ(panel->virtualHeight, 0);
    EXPECT_EQ(panel->scrollY, 0);
    EXPECT_EQ(probe->y, 270);
    EXPECT_FALSE(panel->vScroll.visible);
}

TEST_F(Containers, ChildAtUsesHalfOpenViewBounds) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* under = new ProbeWidget(0, 0, 300, 300);
    auto* over = new ProbeWidget(20, 20, 10, 10);
    panel->addChild(under);
    panel->addChild(over);
    panel->setVirtualSize(300, 300);  // both bars: view 186 x 86
    struct Probe {
        int px, py;
        GuiObject* expected;
    } probes[] = {
        {10, 20, under},  {195, 105, under}, {196, 50, nullptr},  {50, 106, nullptr},
        {9, 50, nullptr}, {50, 19, nullptr}, {205, 110, nullptr},  // corner
        {30, 40, over},   {39, 49, over},    {40, 50, under},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(panel->childAt(p.px, p.py), p.expected) << p.px << "," << p.py;
    // In the bar area the panel itself is hit, and it takes the wheel there.
    EXPECT_EQ(panel->hitTest(200, 50), panel);
    EXPECT_EQ(panel->hitTest(50, 50), under);
}

TEST_F(Containers, WheelGoesToAChildThatTakesItElseScrollsThePanel) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* wheelChild = new ProbeWidget(0, 0, 60, 40);
    wheelChild->wheel = true;
    auto* plain = new ProbeWidget(100, 0, 60, 40);
    panel->addChild(wheelChild);
    panel->addChild(plain);
    panel->setVirtualSize(186, 500);
    route(app, mouseWheel(id(), 30, 30, -1));  // over the child that wants the wheel
    EXPECT_EQ(panel->scrollY, 0);
    ASSERT_EQ(wheelChild->types.size(), 1u);
    EXPECT_EQ(wheelChild->types[0], SDL_MOUSEWHEEL);
    route(app, mouseWheel(id(), 130, 30, -1));  // over a child that does not
    EXPECT_EQ(panel->scrollY, 40);
    EXPECT_TRUE(plain->types.empty());
    route(app, mouseWheel(id(), 100, 110, -2));  // empty area
    EXPECT_EQ(panel->scrollY, 120);
    EXPECT_EQ(wheelChild->y, 20 - 120);
}

TEST_F(Containers, WheelMovesTheHoverToTheChildNowUnderThePointer) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* upper = new ProbeWidget(0, 0, 100, 40);
    auto* lower = new ProbeWidget(0, 40, 100, 40);
    upper->setTooltip("oben");
    lower->setTooltip("unten");
    panel->addChild(upper);
    panel->addChild(lower);
    panel->setVirtualSize(186, 300);
    moveTo(30, 30);
    EXPECT_EQ(panel->hoveredChild(), upper);
    route(app, mouseWheel(id(), 30, 30, -1));  // 40 down: the lower one is under the pointer
    EXPECT_EQ(panel->hoveredChild(), lower);
    EXPECT_EQ(upper->leaves, 1);
    EXPECT_EQ(lower->enters, 1);
    EXPECT_EQ(panel->tooltipTarget(), lower);
    EXPECT_TRUE(lower->types.empty());         // no motion is made up for it
    route(app, mouseWheel(id(), 30, 30, -5));  // past both
    EXPECT_EQ(panel->hoveredChild(), nullptr);
    EXPECT_EQ(panel->tooltipTarget(), panel);
}

TEST_F(Containers, ScrolledPanelRoutesPressDragAndHover) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* probe = new ProbeWidget(0, 100, 60, 40);  // starts below the view
    panel->addChild(probe);
    panel->setVirtualSize(186, 400);
    press(30, 130);  // where it would be without scrolling: beyond the view
    release(30, 130);
    EXPECT_TRUE(probe->types.empty());
    route(app, mouseWheel(id(), 100, 60, -2));  // 80 down: the probe is at window y 40
    moveTo(30, 50);
    EXPECT_EQ(probe->enters, 1);
    EXPECT_EQ(panel->hoveredChild(), probe);
    press(30, 50);
    EXPECT_EQ(root->focus, probe);
    EXPECT_EQ(panel->pressedChild(), probe);
    moveTo(300, 230);  // outside the panel and the window's children: still the probe's drag
    release(300, 230);
    ASSERT_GE(probe->types.size(), 4u);
    EXPECT_EQ(probe->types.back(), SDL_MOUSEBUTTONUP);
    EXPECT_EQ(probe->locals.back().x, 300 - 10);
    EXPECT_EQ(panel->pressedChild(), nullptr);
    // Leaving the panel clears the hovered child.
    moveTo(30, 50);
    const int leavesBefore = probe->leaves;
    moveTo(300, 230);
    EXPECT_EQ(probe->leaves, leavesBefore + 1);
    EXPECT_EQ(panel->hoveredChild(), nullptr);
}

TEST_F(Containers, ScrollBarThumbDragAndTrackPaging) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    panel->setVirtualSize(186, 400);  // thumb 25 long on a 100 track, 300 to scroll
    const SDL_Rect thumb = panel->vScroll.thumb;
    EXPECT_EQ(thumb.h, 25);
    press(thumb.x + 3, thumb.y + 5);
    moveTo(thumb.x + 3, thumb.y + 5 + 75);  // the whole free track
    EXPECT_EQ(panel->scrollY, 300);
    release(thumb.x + 3, thumb.y + 80);
    EXPECT_FALSE(panel->vScroll.dragging);
    press(thumb.x + 3, 25);  // track above the thumb: one page (the view height) up
    EXPECT_EQ(panel->scrollY, 200);
}

TEST_F(Containers, ScrolledPanelClipsChildrenToTheView) {
    const SDL_Color red{255, 0, 0, 255};
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    panel->addChild(new ProbeWidget(-20, 50, 400, 200, red));
    panel->setVirtualSize(186, 300);
    auto px = pixels({{5, 80}, {15, 80}, {195, 80}, {203, 50}, {203, 115}, {100, 125}, {100, 19}});
    EXPECT_TRUE(colorIs(px[0], kWindowGrey));  // left of the panel
    EXPECT_TRUE(colorIs(px[1], red));
    EXPECT_TRUE(colorIs(px[2], red));
    EXPECT_TRUE(colorIs(px[3], {160, 160, 160, 255}));  // the thumb, not the child
    EXPECT_TRUE(colorIs(px[4], {230, 230, 230, 255}));  // the track
    EXPECT_TRUE(colorIs(px[5], kWindowGrey));           // below the panel
    EXPECT_TRUE(colorIs(px[6], kWindowGrey));
}

TEST_F(Containers, ScrolledPanelSmallerThanItsBarsStaysInside) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 50, 50, 10, 8, kWhite));
    panel->setVirtualSize(100, 100);
    EXPECT_EQ(panel->viewWidth(), 0);
    EXPECT_EQ(panel->viewHeight(), 0);
    EXPECT_EQ(panel->childAt(52, 52), nullptr);
    auto px = pixels({{49, 52}, {61, 52}, {52, 59}});
    for (SDL_Color c : px)
        EXPECT_TRUE(colorIs(c, kWindowGrey));
    route(app, mouseWheel(id(), 52, 52, -3));  // nothing to scroll into
    EXPECT_EQ(panel->scrollY, 100);
}

TEST_F(Containers, DeletedSizedChildLeavesTheSizer) {
    auto* panel = add(new GuiScrolledPanel(nullptr, -1, 10, 20, 200, 100, kWhite));
    auto* sizer = new GuiBoxSizer(1, 4);
    std::vector<GuiButton*> rows;
    for (int i = 0; i < 5; ++i) {
        auto* b = new GuiButton(nullptr, 0, 0, 0, 150, 25, kPaneGrey, "Zeile", font, 0);
        panel->addChild(b);
        sizer->add(b, 0, 15, 4);
        rows.push_back(b);
    }
    panel->setSizer(sizer);
    EXPECT_EQ(panel->virtualHeight, 5 * 33 + 4 * 4);
    EXPECT_EQ(rows[1]->y, 20 + 33 + 4 + 4);
    press(rows[2]->x + 5, rows[2]->y + 5);
    EXPECT_EQ(root->focus, rows[2]);
    rows[2]->destroy();
    root->runPendingDeletes();
    EXPECT_EQ(root->focus, nullptr);
    EXPECT_EQ(panel->children().size(), 4u);
    panel->layoutContent();  // must not touch the deleted button
    EXPECT_EQ(panel->virtualHeight, 4 * 33 + 3 * 4);
    EXPECT_EQ(rows[3]->y, 20 + 2 * 37 + 4);
}

TEST_F(Containers, DegenerateSizesDrawNothingOutsideAndSurviveInput) {
    const SDL_Color red{255, 0, 0, 255};
    for (SDL_Point size : {SDL_Point{0, 0}, SDL_Point{-5, -5}, SDL_Point{5, 20}}) {
        SCOPED_TRACE(std::to_string(size.x) + "x" + std::to_string(size.y));
        auto* scrolled = add(new GuiScrolledPanel(nullptr, -1, 20, 20, size.x, size.y, red));
        scrolled->addChild(new ProbeWidget(0, 0, 50, 50, red));
        scrolled->setVirtualSize(100, 100);
        auto* book = add(new GuiNotebook(nullptr, -1, 100, 20, size.x, size.y, red, font));
        book->addPage("Seite", "seite")->addChild(new ProbeWidget(0, 0, 50, 50, red));
        auto* split = add(new GuiSplitterWindow(nullptr, -1, 180, 20, size.x, size.y, red, 0));
        split->secondPane->addChild(new ProbeWidget(0, 0, 50, 50, red));
        for (int px : {22, 102, 182}) {
            click(px, 22);
            route(app, mouseWheel(id(), px, 22, -1));
        }
        auto px = pixels({{21 + std::max(size.x, 0), 30},
                          {101 + std::max(size.x, 0), 30},
                          {181 + std::max(size.x, 0), 30},
                          {30, 50},
                          {110, 50},
                          {190, 50}});
        for (SDL_Color c : px)
            EXPECT_TRUE(colorIs(c, kWindowGrey));
        for (GuiObject* obj : std::initializer_list<GuiObject*>{scrolled, book, split})
            obj->destroy();
        root->runPendingDeletes();
    }
}

// ---------------------------------------------------------------------------------------------
// Notebook

struct NotebookSetup {
    GuiNotebook* book;
    ProbeWidget* first;   // on page 0
    ProbeWidget* second;  // on page 1
};

NotebookSetup makeNotebook(GuiWindow* root, TTF_Font* font) {
    auto* book = new GuiNotebook(nullptr, -1, 10, 10, 300, 150, kWhite, font);
    root->addChild(book);
    GuiPanel* p0 = book->addPage("Allgemein", "tab_general");
    GuiPanel* p1 = book->addPage("Erweitert", "tab_advanced");
    book->addPage("Info", "");
    auto* first = new ProbeWidget(10, 10, 60, 30);
    first->setName("erste");
    p0->addChild(first);
    auto* second = new ProbeWidget(10, 10, 60, 30, {0, 0, 255, 255});
    second->setName("zweite");
    p1->addChild(second);
    return {book, first, second};
}

TEST_F(Containers, TabGeometryAndTabHits) {
    auto [book, first, second] = makeNotebook(root, font);
    const int w0 = textWidth(font, "Allgemein") + 20, w1 = textWidth(font, "Erweitert") + 20;
    EXPECT_EQ(book->pages[0].tabOffset, 0);
    EXPECT_EQ(book->pages[0].tabWidth, w0);
    EXPECT_EQ(book->pages[1].tabOffset, w0);
    EXPECT_EQ(book->pages[1].tabWidth, w1);
    EXPECT_EQ(book->pages[2].tabOffset, w0 + w1);
    const SDL_Rect area = book->pageAt(1)->rect();
    EXPECT_EQ(area.y, 36);
    EXPECT_EQ(area.h, 124);
    EXPECT_EQ(first->y, 46);  // page-relative (10, 10)
    struct Hit {
        int px, py, tab;
    } hits[] = {{10, 10, 0},       {10 + w0 - 1, 35, 0}, {10 + w0, 35, 1},
                {10 + w0, 36, -1}, {10, 9, -1},          {10 + w0 + w1 + 200, 20, -1}};
    for (const Hit& h : hits)
        EXPECT_EQ(book->tabAt(h.px, h.py), h.tab) << h.px << "," << h.py;
    SDL_Rect tab{};
    GuiObject* owner = nullptr;
    ASSERT_TRUE(root->findItem("tab_advanced", owner, tab));
    EXPECT_EQ(owner, book);
    EXPECT_EQ(tab.x, 10 + w0);
    EXPECT_EQ(tab.w, w1);
    EXPECT_EQ(tab.h, 26);
    EXPECT_FALSE(root->findItem("Info", owner, tab));  // found by name only, and it has none
    // Controls of hidden pages are still found by name; the page panels have no name.
    EXPECT_EQ(root->findByName("zweite"), second);
    EXPECT_EQ(root->findByName("tab_advanced"), nullptr);
}

TEST_F(Containers, TabClicksSwitchPagesAndOnlyTheCurrentPageIsHit) {
    auto [book, first, second] = makeNotebook(root, font);
    const int w0 = book->pages[0].tabWidth;
    EXPECT_EQ(root->hitTest(30, 60), first);
    click(10 + w0 + 5, 10 + 25);  // the last row of the tab strip
    EXPECT_EQ(book->current, 1);
    EXPECT_EQ(root->hitTest(30, 60), second);
    std::string value;
    ASSERT_TRUE(book->getValue(value));
    EXPECT_EQ(value, "tab_advanced");
    // Right button on a tab: no switch.
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id(), 15, 35, SDL_BUTTON_RIGHT));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id(), 15, 35, SDL_BUTTON_RIGHT));
    EXPECT_EQ(book->current, 1);
    click(30, 46 + 5);  // on the page's control
    EXPECT_TRUE(first->types.empty());
    ASSERT_EQ(second->types.size(), 2u);
    EXPECT_EQ(second->types[0], SDL_MOUSEBUTTONDOWN);
    // By title, by name; a name beats another page's title; the unnamed page answers its title.
    EXPECT_FALSE(book->setValue("Nichts"));
    EXPECT_TRUE(book->setValue("Info"));
    ASSERT_TRUE(book->getValue(value));
    EXPECT_EQ(value, "Info");
    book->pages[0].title = "tab_advanced";
    EXPECT_TRUE(book->setValue("tab_advanced"));
    EXPECT_EQ(book->current, 1);
}

TEST_F(Containers, FocusAndHoverLeaveAHiddenPage) {
    auto [book, first, second] = makeNotebook(root, font);
    moveTo(30, 60);
    press(30, 60);
    EXPECT_EQ(root->focus, first);
    EXPECT_TRUE(first->hasFocus);
    EXPECT_EQ(book->currentPage()->capture(), first);
    // The page switches while the control is still held down (a script's "set").
    ASSERT_TRUE(book->setValue("tab_advanced"));
    EXPECT_EQ(root->focus, book);
    EXPECT_FALSE(first->hasFocus);
    EXPECT_EQ(first->focusLosses, 1);
    EXPECT_EQ(first->leaves, 1);
    ASSERT_FALSE(first->types.empty());
    EXPECT_EQ(first->types.back(), SDL_MOUSEBUTTONUP);  // let go without acting
    EXPECT_EQ(first->locals.back().x, -1 - first->x);
    EXPECT_EQ(book->pageAt(0)->capture(), nullptr);
    EXPECT_EQ(book->pageAt(0)->hover(), nullptr);
    const size_t seen = first->types.size();
    release(30, 60);
    moveTo(32, 60);
    EXPECT_EQ(first->types.size(), seen);  // the hidden page hears nothing more
    EXPECT_EQ(second->types.back(), SDL_MOUSEMOTION);
}

TEST_F(Containers, LeavingTheNotebookDoesNotDragAPressedControl) {
    auto [book, first, second] = makeNotebook(root, font);
    moveTo(30, 60);
    press(30, 60);
    SDL_Event lost{};
    lost.type = SDL_WINDOWEVENT;
    lost.window.windowID = id();
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    route(app, lost);
    EXPECT_EQ(first->leaves, 1);
    EXPECT_EQ(first->types.back(), SDL_MOUSEBUTTONDOWN);  // no motion to (-1, 0)
}

TEST_F(Containers, DeletedPageIsReplacedAndForgetsItsFocus) {
    auto [book, first, second] = makeNotebook(root, font);
    press(30, 60);
    release(30, 60);
    EXPECT_EQ(root->focus, first);
    book->pageAt(0)->destroy();
    root->runPendingDeletes();  // takes the focused probe with it
    EXPECT_EQ(root->focus, nullptr);
    ASSERT_NE(book->pageAt(0), nullptr);
    EXPECT_TRUE(book->pageAt(0)->children().empty());
    EXPECT_EQ(root->findByName("erste"), nullptr);
    click(30, 60);
    pixels({});
}

TEST_F(Containers, TabRowPixels) {
    auto [book, first, second] = makeNotebook(root, font);
    const int w0 = book->pages[0].tabWidth;
    const int mid1 = 10 + w0 + book->pages[1].tabWidth / 2;
    auto px = pixels({{10, 20},           // left edge of the current tab
                      {12, 10},           // top edge
                      {12, 13},           // inside the current tab, above the text
                      {12, 35},           // its bottom row: open into the page
                      {mid1, 12},         // the other tab's fill
                      {mid1, 35},         // its bottom edge
                      {10 + w0 - 1, 20},  // right edge of the current tab
                      {280, 20},          // beyond the tabs: the window
                      {100, 100}});       // page
    EXPECT_TRUE(colorIs(px[0], kEdge));
    EXPECT_TRUE(colorIs(px[1], kEdge));
    EXPECT_TRUE(colorIs(px[2], kWhite));
    EXPECT_TRUE(colorIs(px[3], kWhite));
    EXPECT_TRUE(colorIs(px[4], {210, 210, 210, 255}));
    EXPECT_TRUE(colorIs(px[5], kEdge));
    EXPECT_TRUE(colorIs(px[6], kEdge));
    EXPECT_TRUE(colorIs(px[7], kWindowGrey));
    EXPECT_TRUE(colorIs(px[8], kWhite));
    // The title's ink lies centred in its tab.
    const int ink = firstInkRow({12, 10, w0 - 4, 25});
    EXPECT_GE(ink, 10 + (26 - TTF_FontHeight(font)) / 2);
    EXPECT_LT(ink, 36);
}

TEST_F(Containers, EmptyNotebook) {
    auto* book = add(new GuiNotebook(nullptr, -1, 10, 10, 100, 60, kPaneGrey, font));
    std::string value = "x";
    EXPECT_TRUE(book->getValue(value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(book->wheelTarget(50, 50), nullptr);
    click(50, 50);
    auto px = pixels({{10, 36}, {50, 50}, {50, 20}});
    EXPECT_TRUE(colorIs(px[0], kEdge));
    EXPECT_TRUE(colorIs(px[1], kWhite));
    EXPECT_TRUE(colorIs(px[2], kWindowGrey));  // no tabs
}

// ---------------------------------------------------------------------------------------------
// Splitter

TEST_F(Containers, SashLimitsInBothOrientations) {
    struct Case {
        int vertical, w, h;
        std::string value;
        int expected;
    } cases[] = {
        {0, 300, 100, "", 150},     {0, 300, 100, "0", 20},     {0, 300, 100, "19", 20},
        {0, 300, 100, "21", 21},    {0, 300, 100, "274", 274},  {0, 300, 100, "275", 274},
        {0, 300, 100, "99.5", 100}, {0, 300, 100, "-0.5", 20},  {0, 300, 100, "1e300", 274},
        {1, 100, 300, "", 150},     {1, 100, 300, "1000", 274}, {1, 100, 300, "-1e300", 20},
        {0, 40, 100, "", 20},       {0, 40, 100, "35", 20},     {1, 100, 40, "5", 20},
        {0, 10, 100, "", 4},        {1, 100, 0, "", 0},         {0, -5, 100, "30", 0},
    };
    for (const Case& c : cases) {
        auto splitter =
            std::make_unique<GuiSplitterWindow>(nullptr, -1, 0, 0, c.w, c.h, kPaneGrey, c.vertical);
        if (!c.value.empty()) EXPECT_TRUE(splitter->setValue(c.value));
        std::string value;
        ASSERT_TRUE(splitter->getValue(value));
        EXPECT_EQ(value, std::to_string(c.expected))
            << c.vertical << " " << c.w << "x" << c.h << " " << c.value;
        // Nothing of the panes reaches outside the splitter.
        for (GuiPanel* p : {splitter->firstPane.get(), splitter->secondPane.get()}) {
            EXPECT_GE(p->width, 0);
            EXPECT_GE(p->height, 0);
            if (p->width == 0 || p->height == 0) continue;
            EXPECT_LE(p->x + p->width, c.w);
            EXPECT_LE(p->y + p->height, c.h);
        }
    }
    GuiSplitterWindow splitter(nullptr, -1, 0, 0, 300, 100, kPaneGrey, 0);
    EXPECT_FALSE(splitter.setValue("links"));
    EXPECT_EQ(splitter.sashPosition, 150);
    EXPECT_EQ(splitter.firstPane->width, 150);
    EXPECT_EQ(splitter.secondPane->x, 156);
    EXPECT_EQ(splitter.secondPane->width, 144);
}

TEST_F(Containers, SashDragWithCaptureAndPaneRouting) {
    auto* splitter = add(new GuiSplitterWindow(nullptr, -1, 10, 10, 300, 100, kPaneGrey, 0));
    auto* left = new ProbeWidget(10, 10, 60, 30);
    auto* right = new ProbeWidget(10, 10, 60, 30, {0, 0, 255, 255});
    splitter->firstPane->addChild(left);
    splitter->secondPane->addChild(right);
    EXPECT_EQ(right->x, 10 + 156 + 10);
    EXPECT_EQ(root->hitTest(162, 50), splitter);  // the sash
    EXPECT_EQ(root->hitTest(30, 30), left);
    press(162, 50);
    EXPECT_TRUE(splitter->draggingSash);
    moveTo(400, 50);  // past the right end and out of the splitter: clamped
    EXPECT_EQ(splitter->sashPosition, 274);
    moveTo(-50, 50);
    EXPECT_EQ(splitter->sashPosition, 20);
    moveTo(112, 50);  // 50 left of where the drag began
    EXPECT_EQ(splitter->sashPosition, 100);
    release(112, 50);
    EXPECT_FALSE(splitter->draggingSash);
    EXPECT_TRUE(left->types.empty() || left->types.back() != SDL_MOUSEBUTTONUP);
    EXPECT_TRUE(right->types.empty() || right->types.back() != SDL_MOUSEBUTTONUP);
    EXPECT_EQ(right->x, 10 + 106 + 10);  // the second pane's child moved with the pane
    EXPECT_EQ(splitter->secondPane->width, 300 - 106);
    // Hover moves from one pane to the other; leaving the splitter clears it.
    moveTo(30, 30);
    EXPECT_EQ(left->enters, 1);
    moveTo(130, 30);
    EXPECT_EQ(left->leaves, 1);
    EXPECT_EQ(right->enters, 1);
    moveTo(315, 200);
    EXPECT_EQ(right->leaves, 1);
    // A press in a pane goes to its child; the release follows it even across the sash.
    press(130, 30);
    moveTo(20, 30);
    release(20, 30);
    EXPECT_EQ(right->types.back(), SDL_MOUSEBUTTONUP);
    EXPECT_EQ(root->focus, right);
}

TEST_F(Containers, SashPixelsAndPanesInBothOrientations) {
    add(new GuiSplitterWindow(nullptr, -1, 10, 10, 140, 100, kPaneGrey, 0));
    add(new GuiSplitterWindow(nullptr, -1, 160, 10, 140, 100, {255, 255, 0, 255}, 1));
    auto px = pixels({{80, 50},
                      {81, 50},
                      {85, 50},
                      {86, 50},
                      {80, 10},
                      {30, 30},
                      {230, 60},
                      {230, 61},
                      {230, 65},
                      {230, 66},
                      {230, 30}});
    const SDL_Color fill{200, 200, 200, 255};
    EXPECT_TRUE(colorIs(px[0], kEdge));  // left column of the sash at x 10 + 70
    EXPECT_TRUE(colorIs(px[1], fill));
    EXPECT_TRUE(colorIs(px[2], kEdge));
    EXPECT_TRUE(colorIs(px[3], kPaneGrey));  // second pane
    EXPECT_TRUE(colorIs(px[4], kEdge));
    EXPECT_TRUE(colorIs(px[5], kPaneGrey));
    EXPECT_TRUE(colorIs(px[6], kEdge));  // top row of the horizontal sash at y 10 + 50
    EXPECT_TRUE(colorIs(px[7], fill));
    EXPECT_TRUE(colorIs(px[8], kEdge));
    EXPECT_TRUE(colorIs(px[9], {255, 255, 0, 255}));
    EXPECT_TRUE(colorIs(px[10], {255, 255, 0, 255}));
}

TEST_F(Containers, DeletedPaneIsReplacedWhilePressed) {
    auto* splitter = add(new GuiSplitterWindow(nullptr, -1, 10, 10, 300, 100, kPaneGrey, 0));
    auto* left = new ProbeWidget(10, 10, 60, 30);
    splitter->firstPane->addChild(left);
    press(30, 30);
    GuiPanel* old = splitter->firstPane.get();
    old->destroy();
    root->runPendingDeletes();
    EXPECT_NE(splitter->firstPane.get(), nullptr);
    EXPECT_EQ(splitter->pressedPane, nullptr);
    EXPECT_EQ(root->focus, nullptr);
    moveTo(40, 30);
    release(40, 30);
    EXPECT_EQ(splitter->firstPane->width, 150);
}

TEST_F(Containers, ContainersNestAndClipInsideEachOther) {
    auto [book, first, second] = makeNotebook(root, font);
    auto* split = new GuiSplitterWindow(nullptr, -1, 0, 0, 300, 124, kPaneGrey, 1);
    book->pageAt(2)->addChild(split);
    auto* bottom = new GuiButton(nullptr, 9, 10, 8, 100, 25, kPaneGrey, "Unten", font, 0);
    bottom->setName("split_bottom");
    split->secondPane->addChild(bottom);
    EXPECT_EQ(bottom->y, 36 + 62 + 6 + 8);
    SDL_Rect screen{};
    SDL_Point centre{};
    EXPECT_FALSE(root->visibleRect(bottom, screen, centre));  // hidden page
    ASSERT_TRUE(book->setValue("Info"));
    ASSERT_TRUE(root->visibleRect(bottom, screen, centre));
    click(centre.x, centre.y);
    ASSERT_EQ(commandsWithCode(CMD_ACTIVATED), 1u);
    EXPECT_EQ(app.commands.back().source, bottom);
}

}  // namespace
