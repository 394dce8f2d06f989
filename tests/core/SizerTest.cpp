#include "core/Sizer.h"

#include "core/GuiObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kAll = SIZER_LEFT | SIZER_RIGHT | SIZER_TOP | SIZER_BOTTOM;

class Box : public GuiObject {
public:
    Box(int w, int h) : GuiObject(nullptr, 0, 0, 0, w, h, {0, 0, 0, 255}) {}
    void handleEvent(GuiEvent&) override {}
    void relayout() override { ++relayouts; }
    void resize(SDL_Renderer*, int, int) override { ++resizes; }
    int relayouts = 0, resizes = 0;
};

struct Rect {
    int x, y, w, h;
};

void expectRect(const Box& b, Rect r, const char* what) {
    EXPECT_EQ(b.x, r.x) << what;
    EXPECT_EQ(b.y, r.y) << what;
    EXPECT_EQ(b.width, r.w) << what;
    EXPECT_EQ(b.height, r.h) << what;
}

TEST(BoxSizer, LastProportionalItemTakesTheRemainder) {
    Box a(10, 10), b(10, 10), c(10, 10);
    GuiBoxSizer row(0, 0);
    row.add(&a, 1, SIZER_EXPAND, 0);
    row.add(&b, 1, SIZER_EXPAND, 0);
    row.add(&c, 1, SIZER_EXPAND, 0);
    row.layout(0, 0, 40, 20);  // 10 spare pixels
    expectRect(a, {0, 0, 13, 20}, "a");
    expectRect(b, {13, 0, 13, 20}, "b");
    expectRect(c, {26, 0, 14, 20}, "c");
    EXPECT_EQ(a.relayouts, 1);
    EXPECT_EQ(a.resizes, 0);  // placed with relayout, never resize
}

TEST(BoxSizer, WithoutProportionsSpareSpaceStaysAtTheEnd) {
    Box a(10, 8), b(20, 8);
    GuiBoxSizer row(0, 5);
    row.add(&a, 0, 0, 0);
    row.add(&b, 0, 0, 0);
    row.layout(100, 50, 300, 20);
    expectRect(a, {100, 56, 10, 8}, "a centred across");
    expectRect(b, {115, 56, 20, 8}, "b after the gap");
}

TEST(BoxSizer, TallWidgetIsCentredWithNegativeOffset) {
    Box tall(10, 31);
    GuiBoxSizer row(0, 0);
    row.add(&tall, 0, 0, 0);
    row.layout(0, 100, 50, 20);
    // (20 - 31) / 2 truncates toward zero: -5.
    expectRect(tall, {0, 95, 10, 31}, "tall");
}

TEST(BoxSizer, ColumnWithBordersAndNestedSizer) {
    Box a(30, 10), b(40, 10), c(20, 12);
    GuiBoxSizer column(1, 2);
    column.add(&a, 0, kAll | SIZER_EXPAND, 3);
    auto* inner = new GuiBoxSizer(0, 4);
    inner->add(&b, 1, 0, 0);
    inner->add(&c, 0, 0, 0);
    column.addSizer(inner, 1, SIZER_LEFT, 5);
    int w = 0, h = 0;
    column.calcMin(w, h);
    EXPECT_EQ(w, 69);           // inner row 40 + 4 + 20, plus the left border
    EXPECT_EQ(h, 16 + 2 + 12);  // bordered a, gap, inner row
    column.layout(0, 0, 100, 60);
    expectRect(a, {3, 3, 94, 10}, "a expands across inside its border");
    // The inner row gets y 18 and height 60 - 30 + 12 = 42; its x starts after the border.
    expectRect(b, {5, 18 + (42 - 10) / 2, 95 - 4 - 20, 10}, "b grows in the nested row");
    expectRect(c, {5 + 71 + 4, 18 + (42 - 12) / 2, 20, 12}, "c");
}

TEST(BoxSizer, EmptySizerDoesNothing) {
    GuiBoxSizer row(0, 7);
    int w = -1, h = -1;
    row.calcMin(w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    row.layout(0, 0, 10, 10);
}

TEST(Sizer, BordersLargerThanTheCellGiveZeroSize) {
    Box a(10, 10);
    GuiBoxSizer row(0, 0);
    row.add(&a, 0, SIZER_TOP | SIZER_BOTTOM | SIZER_EXPAND, 20);
    row.layout(0, 0, 100, 30);  // 30 - 2 * 20 across
    expectRect(a, {0, 20, 10, 0}, "a");
}

TEST(GridSizer, CountsFromRowsAndColumns) {
    struct Case {
        int rows, cols, items, expectRows, expectCols;
    } cases[] = {
        {0, 0, 5, 1, 5},  // everything in one row
        {2, 0, 5, 2, 3}, {0, 2, 5, 3, 2}, {2, 2, 5, 2, 2}, {0, 3, 0, 1, 3}, {3, 0, 0, 3, 1},
    };
    for (const Case& c : cases) {
        std::vector<std::unique_ptr<Box>> boxes;
        GuiGridSizer grid(c.rows, c.cols, 0, 0);
        for (int i = 0; i < c.items; ++i) {
            boxes.push_back(std::make_unique<Box>(5, 5));
            grid.add(boxes.back().get(), 0, 0, 0);
        }
        EXPECT_EQ(grid.rowCount(), c.expectRows) << c.rows << "x" << c.cols << " n=" << c.items;
        EXPECT_EQ(grid.columnCount(), c.expectCols) << c.rows << "x" << c.cols << " n=" << c.items;
    }
}

TEST(GridSizer, FifthItemOfATwoByTwoGridIsIgnored) {
    std::vector<std::unique_ptr<Box>> boxes;
    GuiGridSizer grid(2, 2, 1, 1);
    for (int i = 0; i < 5; ++i) {
        boxes.push_back(std::make_unique<Box>(10, 10 + 10 * (i == 4)));
        boxes.back()->x = boxes.back()->y = -99;
        grid.add(boxes.back().get(), 0, SIZER_EXPAND, 0);
    }
    int w = 0, h = 0;
    grid.calcMin(w, h);
    EXPECT_EQ(w, 21);
    EXPECT_EQ(h, 21);  // the taller fifth item counts for no row
    grid.layout(0, 0, 21, 21);
    expectRect(*boxes[3], {11, 11, 10, 10}, "fourth");
    EXPECT_EQ(boxes[4]->x, -99);
    EXPECT_EQ(boxes[4]->relayouts, 0);
}

TEST(GridSizer, SpareSpaceGoesToTheFirstTracksFirst) {
    Box a(10, 10), b(10, 10), c(10, 10);
    GuiGridSizer grid(1, 3, 0, 2);
    grid.add(&a, 0, SIZER_EXPAND, 0);
    grid.add(&b, 0, SIZER_EXPAND, 0);
    grid.add(&c, 0, 0, 0);
    grid.layout(0, 0, 30 + 4 + 7, 10);  // seven spare pixels
    expectRect(a, {0, 0, 13, 10}, "a");
    expectRect(b, {15, 0, 12, 10}, "b");
    expectRect(c, {29 + 1, 0, 10, 10}, "c centred in its 12-pixel column");
}

}  // namespace
