// The scroll-bar record embedded by every scrolling control. It converts between pointer
// coordinates and scroll positions; the owner places it, draws it, clamps and stores offsets.
#pragma once

#include <SDL.h>

#include <cstdint>

struct ScrollBar {
    bool visible = false;
    int32_t orientation = 0;  // 0 vertical, 1 horizontal
    int32_t minThumb = 16;
    SDL_Rect track{0, 0, 0, 0};
    SDL_Rect thumb{0, 0, 0, 0};
    bool dragging = false;
    int32_t dragStartPointer = 0;
    int32_t dragStartThumb = 0;

    ScrollBar() = default;
    ScrollBar(int32_t orientation, int32_t minThumb)
        : orientation(orientation), minThumb(minThumb) {}

    // A negative maximum stands for content - view.
    void setGeometry(int x, int y, int w, int h, int content, int view, int position, int maximum);
    // Colours are packed with red in the lowest byte, then green, blue, alpha.
    void draw(SDL_Renderer* r, uint32_t trackColor, uint32_t thumbColor) const;
    bool thumbContains(int x, int y) const { return inside(thumb, x, y); }
    bool trackContains(int x, int y) const { return inside(track, x, y); }
    void beginDrag(int pointer);
    int32_t dragPosition(int pointer, int content, int view, int maximum) const;
    int32_t pageTarget(int pointer, int position, int page) const;

    int trackStart() const { return orientation == 0 ? track.y : track.x; }
    int trackLength() const { return orientation == 0 ? track.h : track.w; }
    int thumbStart() const { return orientation == 0 ? thumb.y : thumb.x; }
    int thumbLength() const { return orientation == 0 ? thumb.h : thumb.w; }

private:
    static bool inside(const SDL_Rect& r, int x, int y) {
        return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
    }
};

// Packs an SDL colour the way ScrollBar::draw expects it.
constexpr uint32_t packColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16 | uint32_t(a) << 24;
}
