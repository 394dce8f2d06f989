#include "text/ScrollBar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Nearest, halves away from zero, in single precision, saturated to the int range.
int32_t roundToInt(float v) {
    float r = std::round(v);
    if (!(r > -2147483520.0f)) return r != r ? 0 : INT32_MIN;
    if (r > 2147483520.0f) return INT32_MAX;
    return static_cast<int32_t>(r);
}

}  // namespace

void ScrollBar::setGeometry(int x, int y, int w, int h, int content, int view, int position,
                            int maximum) {
    track = SDL_Rect{x, y, w, h};
    const int length = trackLength();
    int thumbLen = content < 1
                       ? length
                       : roundToInt(static_cast<float>(length) *
                                    (static_cast<float>(view) / static_cast<float>(content)));
    thumbLen = std::max(thumbLen, minThumb);
    int offset = 0;
    if (length > thumbLen) {
        int64_t m = maximum < 0 ? int64_t(content) - view : maximum;
        m = std::max<int64_t>(m, 1);
        offset = roundToInt(static_cast<float>(position) / static_cast<float>(m) *
                            static_cast<float>(length - thumbLen));
    }
    thumb = orientation == 0 ? SDL_Rect{x, y + offset, w, thumbLen}
                             : SDL_Rect{x + offset, y, thumbLen, h};
}

void ScrollBar::draw(SDL_Renderer* r, uint32_t trackColor, uint32_t thumbColor) const {
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetRenderDrawBlendMode(r, &mode);
    auto fill = [r, mode](const SDL_Rect& rc, uint32_t c) {
        // An opaque colour replaces what lies below: without blending the software renderer
        // copies instead of mixing every pixel, with the same result.
        SDL_SetRenderDrawBlendMode(r, c >> 24 == 255 ? SDL_BLENDMODE_NONE : mode);
        SDL_SetRenderDrawColor(r, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, c >> 24);
        SDL_RenderFillRect(r, &rc);
    };
    fill(track, trackColor);
    fill(thumb, thumbColor);
    SDL_SetRenderDrawBlendMode(r, mode);
}

void ScrollBar::beginDrag(int pointer) {
    dragging = true;
    dragStartPointer = pointer;
    dragStartThumb = thumbStart();
}

int32_t ScrollBar::dragPosition(int pointer, int content, int view, int maximum) const {
    const int64_t start = trackStart();
    const int64_t length = trackLength();
    const int64_t thumbLen = thumbLength();
    int64_t newStart = int64_t(pointer) - dragStartPointer + dragStartThumb;
    newStart = std::min(newStart, start + length - thumbLen);
    newStart = std::max(newStart, start);  // the lower bound wins when the range is empty
    int64_t m = maximum < 0 ? int64_t(content) - view : maximum;
    m = std::max<int64_t>(m, 0);
    float fraction = static_cast<float>(newStart - start) /
                     static_cast<float>(std::max<int64_t>(length - thumbLen, 1));
    return roundToInt(fraction * static_cast<float>(m));
}

int32_t ScrollBar::pageTarget(int pointer, int position, int page) const {
    if (pointer < thumbStart())
        return static_cast<int32_t>(std::max<int64_t>(int64_t(position) - page, 0));
    if (pointer > thumbStart() + thumbLength())
        return static_cast<int32_t>(std::min<int64_t>(int64_t(position) + page, INT32_MAX));
    return position;
}
