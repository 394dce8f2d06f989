// A widget that scrolls by moving its pixels: the frame draws only the band that comes into view
// and what else changed, and the window shows exactly what a full redraw shows; where a move
// cannot give that (something drawn over the area, a whole frame, a renderer that keeps no
// pixels), the whole area is drawn instead.
#include "core/Draw.h"
#include "core/Roles.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr SDL_Color kGrey{200, 200, 200, 255};
constexpr int kCell = 4;

// Content of a plane of cells, shown through a window onto it at (offX, offY); one cell can be
// marked in another colour. Every pixel is painted opaquely, and any part draws exactly under a
// clip, so a scroll may move the pixels.
class ScrollingPlane : public GuiObject, public IOpaque, public IDrawsInParts {
public:
    ScrollingPlane(int x, int y, int w, int h) : GuiObject(nullptr, 3, x, y, w, h, kGrey) {}
    void handleEvent(GuiEvent&) override {}
    bool paintsEveryPixel() const override { return true; }
    void coverChildrenMeeting(SDL_Rect&) const override {}
    static SDL_Color colourAt(int cx, int cy, bool marked) {
        if (marked) return {255, 0, 255, 255};
        const int v = (cx * 37 + cy * 91) & 0xff;
        return {uint8_t(v), uint8_t(255 - v), uint8_t((cx * 13) & 0xff), 255};
    }
    // The colour the plane shows at window pixel (px, py).
    SDL_Color expectedAt(int px, int py) const {
        const int cx = (px - x + offX) / kCell, cy = (py - y + offY) / kCell;
        return colourAt(cx, cy, mark && cx == markX && cy == markY);
    }
    void draw(SDL_Renderer* r) override {
        SDL_Rect clip{0, 0, 10000, 10000};
        if (SDL_RenderIsClipEnabled(r)) SDL_RenderGetClipRect(r, &clip);
        drawnIn.push_back(clip);
        ClipScope scope(r, rect());
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        const int c0 = offX / kCell, r0 = offY / kCell;
        for (int cy = r0; (cy * kCell) - offY < height; ++cy)
            for (int cx = c0; (cx * kCell) - offX < width; ++cx) {
                setColor(r, colourAt(cx, cy, mark && cx == markX && cy == markY));
                const SDL_Rect cell{x + cx * kCell - offX, y + cy * kCell - offY, kCell, kCell};
                SDL_RenderFillRect(r, &cell);
            }
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    }
    // Shows the plane (dx, dy) further on: its pixels move the other way.
    void scrollBy(int dx, int dy) {
        offX += dx;
        offY += dy;
        dirty = true;
        window->movePixels(this, rect(), -dx, -dy);
    }
    // Marks a cell (or unmarks it) and damages only that cell.
    void setMark(bool on) {
        mark = on;
        window->addDamage({x + markX * kCell - offX, y + markY * kCell - offY, kCell, kCell});
        window->engine->scheduleRedraw();
    }

    int offX = 40, offY = 40;
    bool mark = false;
    int markX = 14, markY = 16;
    std::vector<SDL_Rect> drawnIn;  // the clip of every draw
};

struct MoveCase {
    const char* name;
    std::function<void(TestApp&, GuiWindow*, ScrollingPlane*)> before;  // set-up, then drawn
    std::function<void(GuiWindow*, ScrollingPlane*)> change;
    int drawnRows;     // rows of the plane drawn by the frame (its height: the whole area)
    int drawnColumns;  // columns likewise
};

void PrintTo(const MoveCase& c, std::ostream* os) {
    *os << c.name;
}

class PixelMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(PixelMove, TheFrameDrawsOnlyWhatAMoveCannotShowAndShowsAFullRedrawsPixels) {
    const MoveCase& c = GetParam();
    TestApp app;
    AppWindow* rec = app.openMain(200, 150, kGrey);
    ASSERT_NE(rec, nullptr);
    auto* plane = new ScrollingPlane(20, 20, 120, 100);
    rec->root->addChild(plane);
    app.clock.fix(10000);
    app.runFor(50);
    if (c.before) c.before(app, rec->root.get(), plane);
    app.runFor(50);
    plane->drawnIn.clear();
    const uint32_t mismatches = app.damageMismatches;

    c.change(rec->root.get(), plane);
    std::vector<uint32_t> shown(200 * 150);
    app.beforePresent = [&](AppWindow* w) {
        SDL_RenderReadPixels(w->sdlRenderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, shown.data(),
                             200 * 4);
    };
    app.verifyDamage = false;  // its reference draw would count as a draw here
    app.runFor(1);
    app.beforePresent = nullptr;

    // What the plane drew: the box around its clips, within its rectangle.
    SDL_Rect drawn{0, 0, 0, 0};
    for (const SDL_Rect& clip : plane->drawnIn) {
        SDL_Rect part;
        const SDL_Rect rc = plane->rect();
        if (!SDL_IntersectRect(&clip, &rc, &part)) continue;
        if (SDL_RectEmpty(&drawn))
            drawn = part;
        else
            SDL_UnionRect(&drawn, &part, &drawn);
    }
    EXPECT_EQ(drawn.h, c.drawnRows);
    EXPECT_EQ(drawn.w, c.drawnColumns);
    int wrong = 0, lx = 0, ly = 0;
    for (int py = plane->y; py < plane->y + plane->height; ++py)
        for (int px = plane->x; px < plane->x + plane->width; ++px) {
            if (rec->root->childAt(px, py, lx, ly) != plane) continue;  // a sibling over it
            const SDL_Color e = plane->expectedAt(px, py);
            const uint32_t want = 0xff000000u | (uint32_t(e.r) << 16) | (uint32_t(e.g) << 8) | e.b;
            if (shown[size_t(py) * 200 + size_t(px)] != want && wrong++ == 0)
                ADD_FAILURE() << "first wrong pixel at (" << px << ", " << py << ")";
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(app.damageMismatches, mismatches);
}

const MoveCase kMoves[] = {
    {"down", nullptr, [](GuiWindow*, ScrollingPlane* p) { p->scrollBy(0, 7); }, 7, 120},
    {"up", nullptr, [](GuiWindow*, ScrollingPlane* p) { p->scrollBy(0, -5); }, 5, 120},
    {"sideways", nullptr, [](GuiWindow*, ScrollingPlane* p) { p->scrollBy(6, 0); }, 100, 6},
    {"two moves in one frame are one", nullptr,
     [](GuiWindow*, ScrollingPlane* p) {
         p->scrollBy(0, 3);
         p->scrollBy(0, 4);
     },
     7, 120},
    // The marked cell's old pixels were stale when the move came: they move along, and the
    // place they move to is drawn again too.
    {"damage before the move moves along", nullptr,
     [](GuiWindow*, ScrollingPlane* p) {
         p->setMark(true);
         p->scrollBy(0, 8);
     },
     100 - (16 * kCell - 40 - 8) /* from the marked cell's new place to the bottom */, 120},
    {"a sibling over the area: all drawn",
     [](TestApp&, GuiWindow* root, ScrollingPlane*) {
         root->addChild(new ProbeWidget(100, 60, 60, 30));
     },
     [](GuiWindow*, ScrollingPlane* p) { p->scrollBy(0, 5); }, 100, 120},
    {"a renderer that keeps no pixels: all drawn",
     // Drawn through the back buffer; a partial frame first, so that it holds the last frame.
     [](TestApp& app, GuiWindow* root, ScrollingPlane* p) {
         root->appWindow->keepsPixels = 0;
         p->setMark(true);
         app.runFor(50);
         p->setMark(false);
     },
     [](GuiWindow*, ScrollingPlane* p) { p->scrollBy(0, 5); }, 100, 120},
};

INSTANTIATE_TEST_SUITE_P(Cases, PixelMove, ::testing::ValuesIn(kMoves), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name;
});

}  // namespace
