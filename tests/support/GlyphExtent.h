// The text control's content extent worked out from its whole glyph list: the reference the
// lazy measuring is checked against (by the tests and the measuring fuzz target).
#pragma once

#include "text/TextCtrl.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

// The rule the scroll bars follow: the right edge of a glyph is the next glyph's x on its line,
// else its x plus its width (at least 1); the extent reaches the widest edge and the lowest
// baseline.
inline std::pair<int32_t, int32_t> extentOf(const GuiTextCtrl& t, const std::vector<Glyph>& g) {
    if (g.empty()) return {0, 0};
    int64_t right = INT64_MIN, bottom = INT64_MIN;
    for (size_t i = 0; i < g.size(); ++i) {
        const bool next = i + 1 < g.size() && g[i + 1].y == g[i].y;
        right = std::max<int64_t>(right, next ? g[i + 1].x : g[i].x + std::max(g[i].width, 1));
        bottom = std::max<int64_t>(bottom, g[i].y);
    }
    return {int32_t(std::max<int64_t>(0, right - t.x)),
            int32_t(std::max<int64_t>(0, bottom - t.descender() + 10 - t.y))};
}

inline std::pair<int32_t, int32_t> extentOf(const GuiTextCtrl& t) {
    return extentOf(t, t.allGlyphs());
}
