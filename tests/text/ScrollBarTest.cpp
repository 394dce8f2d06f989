#include "text/ScrollBar.h"

#include <gtest/gtest.h>

namespace {

TEST(ScrollBar, ThumbGeometry) {
    struct Case {
        const char* what;
        int orientation, minThumb, x, y, w, h, content, view, position, maximum;
        SDL_Rect thumb;
    };
    const Case cases[] = {
        {"half view at top", 0, 20, 100, 10, 12, 200, 400, 200, 0, 200, {100, 10, 12, 100}},
        {"position at maximum ends at track end",
         0,
         20,
         100,
         10,
         12,
         200,
         400,
         200,
         200,
         200,
         {100, 110, 12, 100}},
        {"negative maximum means content - view",
         1,
         20,
         0,
         50,
         300,
         12,
         900,
         300,
         600,
         -1,
         {200, 50, 100, 12}},
        {"content 0 fills the track", 0, 20, 0, 0, 12, 90, 0, 90, 0, 0, {0, 0, 12, 90}},
        {"short track: thumb keeps minimum and overhangs",
         0,
         20,
         5,
         5,
         12,
         10,
         1000,
         10,
         500,
         990,
         {5, 5, 12, 20}},
        {"tiny ratio is lifted to the minimum",
         0,
         16,
         0,
         0,
         14,
         100,
         100000,
         100,
         0,
         99900,
         {0, 0, 14, 16}},
        {"rounding is half away from zero", 0, 1, 0, 0, 12, 5, 10, 5, 0, 5, {0, 0, 12, 3}},
    };
    for (const auto& c : cases) {
        ScrollBar bar(c.orientation, c.minThumb);
        bar.setGeometry(c.x, c.y, c.w, c.h, c.content, c.view, c.position, c.maximum);
        EXPECT_EQ(bar.thumb.x, c.thumb.x) << c.what;
        EXPECT_EQ(bar.thumb.y, c.thumb.y) << c.what;
        EXPECT_EQ(bar.thumb.w, c.thumb.w) << c.what;
        EXPECT_EQ(bar.thumb.h, c.thumb.h) << c.what;
        EXPECT_TRUE(bar.track.x == c.x && bar.track.y == c.y && bar.track.w == c.w &&
                    bar.track.h == c.h)
            << c.what;
    }
}

TEST(ScrollBar, DragPositionClampsToTheRange) {
    ScrollBar bar(0, 20);
    bar.setGeometry(0, 0, 12, 200, 400, 200, 0, 200);  // thumb 100 long at 0
    bar.beginDrag(50);
    EXPECT_TRUE(bar.dragging);
    EXPECT_EQ(bar.dragStartThumb, 0);
    struct Case {
        int pointer;
        int expected;
    };
    const Case cases[] = {{50, 0}, {100, 100}, {150, 200}, {100000, 200}, {-100000, 0}, {75, 50}};
    for (const auto& c : cases)
        EXPECT_EQ(bar.dragPosition(c.pointer, 400, 200, 200), c.expected) << c.pointer;
    // With a negative maximum the range is content - view; never below 0.
    EXPECT_EQ(bar.dragPosition(150, 400, 200, -1), 200);
    EXPECT_EQ(bar.dragPosition(150, 100, 200, -1), 0);
    // A thumb as long as the track: the lower bound wins.
    ScrollBar full(1, 20);
    full.setGeometry(0, 0, 10, 12, 1000, 10, 0, 990);
    full.beginDrag(3);
    EXPECT_EQ(full.dragPosition(500, 1000, 10, 990), 0);
}

TEST(ScrollBar, PageTargetAndHitTests) {
    ScrollBar bar(0, 20);
    bar.setGeometry(0, 0, 12, 200, 400, 200, 100, 200);  // thumb y 50..150
    ASSERT_EQ(bar.thumb.y, 50);
    EXPECT_EQ(bar.pageTarget(10, 100, 80), 20);
    EXPECT_EQ(bar.pageTarget(10, 30, 80), 0);
    EXPECT_EQ(bar.pageTarget(190, 100, 80), 180);
    EXPECT_EQ(bar.pageTarget(150, 100, 80), 100) << "exactly at the thumb end does not page";
    EXPECT_EQ(bar.pageTarget(50, 100, 80), 100);
    EXPECT_TRUE(bar.thumbContains(0, 50));
    EXPECT_FALSE(bar.thumbContains(12, 60)) << "right edge exclusive";
    EXPECT_FALSE(bar.thumbContains(5, 150)) << "bottom edge exclusive";
    EXPECT_TRUE(bar.trackContains(11, 199));
    EXPECT_FALSE(bar.trackContains(11, 200));
}

}  // namespace
