#include "core/Sizer.h"

#include "core/GuiObject.h"

#include <algorithm>

void GuiSizer::add(GuiObject* object, int proportion, int flags, int border) {
    Item item;
    item.object = object;
    item.proportion = proportion;
    item.flags = flags;
    item.border = border;
    items.push_back(std::move(item));
}

void GuiSizer::addSizer(GuiSizer* sizer, int proportion, int flags, int border) {
    Item item;
    item.sizer.reset(sizer);
    item.proportion = proportion;
    item.flags = flags;
    item.border = border;
    items.push_back(std::move(item));
}

void GuiSizer::remove(GuiObject* object) {
    if (!object) return;
    std::erase_if(items, [object](const Item& item) { return item.object == object; });
    for (Item& item : items)
        if (item.sizer) item.sizer->remove(object);
}

void GuiSizer::itemMin(Item& item, int& w, int& h) {
    int iw = 0, ih = 0;
    if (item.object) {
        iw = item.object->width;
        ih = item.object->height;
    } else if (item.sizer) {
        item.sizer->calcMin(iw, ih);
    }
    w = iw + ((item.flags & SIZER_LEFT) ? item.border : 0) +
        ((item.flags & SIZER_RIGHT) ? item.border : 0);
    h = ih + ((item.flags & SIZER_TOP) ? item.border : 0) +
        ((item.flags & SIZER_BOTTOM) ? item.border : 0);
}

void GuiSizer::place(Item& item, int x, int y, int w, int h, bool expandH, bool expandV) {
    if (item.flags & SIZER_LEFT) {
        x += item.border;
        w -= item.border;
    }
    if (item.flags & SIZER_RIGHT) w -= item.border;
    if (item.flags & SIZER_TOP) {
        y += item.border;
        h -= item.border;
    }
    if (item.flags & SIZER_BOTTOM) h -= item.border;
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (item.sizer) {
        item.sizer->layout(x, y, w, h);
        return;
    }
    GuiObject* obj = item.object;
    if (!obj) return;
    if (!expandH) {
        x += (w - obj->width) / 2;
        w = obj->width;
    }
    if (!expandV) {
        y += (h - obj->height) / 2;
        h = obj->height;
    }
    obj->x = x;
    obj->y = y;
    obj->width = w;
    obj->height = h;
    obj->relayout();
}

// ---------------------------------------------------------------------------------------------
// Box

void GuiBoxSizer::calcMin(int& w, int& h) {
    int sum = 0, largest = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        int iw = 0, ih = 0;
        itemMin(items[i], iw, ih);
        int main = orientation == 0 ? iw : ih;
        int cross = orientation == 0 ? ih : iw;
        sum += main + (i > 0 ? gap : 0);
        largest = std::max(largest, cross);
    }
    w = orientation == 0 ? sum : largest;
    h = orientation == 0 ? largest : sum;
}

void GuiBoxSizer::layout(int x, int y, int w, int h) {
    if (items.empty()) return;
    const bool row = orientation == 0;
    const int main = row ? w : h;
    const int cross = row ? h : w;
    std::vector<int> mins(items.size());
    int minSum = 0, totalProp = 0, lastProp = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        int iw = 0, ih = 0;
        itemMin(items[i], iw, ih);
        mins[i] = row ? iw : ih;
        minSum += mins[i];
        if (items[i].proportion >= 1) {
            totalProp += items[i].proportion;
            lastProp = static_cast<int>(i);
        }
    }
    const int count = static_cast<int>(items.size());
    const int extra = std::max(main - ((count - 1) * gap + minSum), 0);
    int pos = row ? x : y;
    int handedOut = 0;
    for (int i = 0; i < count; ++i) {
        Item& item = items[i];
        int size = mins[i];
        if (totalProp >= 1 && item.proportion >= 1) {
            int share = 0;
            if (i == lastProp) {
                share = extra - handedOut;
            } else {
                share = item.proportion * extra / totalProp;
                handedOut += share;
            }
            size += share;
        }
        const bool expand = (item.flags & SIZER_EXPAND) != 0;
        if (row)
            place(item, pos, y, size, cross, true, expand);
        else
            place(item, x, pos, cross, size, expand, true);
        pos += size + gap;
    }
}

// ---------------------------------------------------------------------------------------------
// Grid

int GuiGridSizer::columnCount() const {
    const int n = static_cast<int>(items.size());
    if (cols > 0) return cols;
    const int r = std::max(rows, 1);
    return std::max((n + r - 1) / r, 1);
}

int GuiGridSizer::rowCount() const {
    const int n = static_cast<int>(items.size());
    if (rows > 0) return rows;
    if (cols > 0) return std::max((n + cols - 1) / cols, 1);
    return 1;
}

void GuiGridSizer::trackSizes(std::vector<int>& widths, std::vector<int>& heights) {
    const int columns = columnCount();
    const int rowsUsed = rowCount();
    widths.assign(columns, 0);
    heights.assign(rowsUsed, 0);
    for (size_t i = 0; i < items.size(); ++i) {
        const int r = static_cast<int>(i) / columns;
        const int c = static_cast<int>(i) % columns;
        if (r >= rowsUsed) continue;
        int iw = 0, ih = 0;
        itemMin(items[i], iw, ih);
        widths[c] = std::max(widths[c], iw);
        heights[r] = std::max(heights[r], ih);
    }
}

void GuiGridSizer::calcMin(int& w, int& h) {
    std::vector<int> widths, heights;
    trackSizes(widths, heights);
    w = h = 0;
    for (int cw : widths)
        w += cw;
    for (int rh : heights)
        h += rh;
    w += (static_cast<int>(widths.size()) - 1) * hgap;
    h += (static_cast<int>(heights.size()) - 1) * vgap;
}

namespace {

// Hands the spare space out evenly, the first (spare mod count) tracks one pixel more.
void spreadSpare(std::vector<int>& tracks, int available, int gap) {
    const int count = static_cast<int>(tracks.size());
    int used = std::max(count - 1, 0) * gap;
    for (int t : tracks)
        used += t;
    const int spare = std::max(available - used, 0);
    for (int i = 0; i < count; ++i)
        tracks[i] += spare / count + (i < spare % count ? 1 : 0);
}

}  // namespace

void GuiGridSizer::layout(int x, int y, int w, int h) {
    if (items.empty()) return;
    std::vector<int> widths, heights;
    trackSizes(widths, heights);
    spreadSpare(widths, w, hgap);
    spreadSpare(heights, h, vgap);
    const int columns = static_cast<int>(widths.size());
    const int rowsUsed = static_cast<int>(heights.size());
    std::vector<int> colX(columns), rowY(rowsUsed);
    for (int c = 0, px = x; c < columns; px += widths[c] + hgap, ++c)
        colX[c] = px;
    for (int r = 0, py = y; r < rowsUsed; py += heights[r] + vgap, ++r)
        rowY[r] = py;
    for (size_t i = 0; i < items.size(); ++i) {
        const int r = static_cast<int>(i) / columns;
        const int c = static_cast<int>(i) % columns;
        if (r >= rowsUsed) continue;
        const bool expand = (items[i].flags & SIZER_EXPAND) != 0;
        place(items[i], colX[c], rowY[r], widths[c], heights[r], expand, expand);
    }
}
