#include "controls/TreeList.h"
#include "controls/RowMetrics.h"

#include "controls/ChildList.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "util/IntClamp.h"

#include <algorithm>
#include <climits>

namespace {

constexpr uint32_t kTrackColor = packColor(230, 230, 230);
constexpr uint32_t kThumbColor = packColor(160, 160, 160);
constexpr SDL_Color kCornerColor{230, 230, 230, 255};
constexpr int kHorizontalWheelStep = 40;
constexpr int kHorizontalPageInset = 40;
constexpr int kTextInset = 4;

// One path segment: "/" and "\" inside a cell are escaped with a backslash.
void appendEscaped(std::string& out, const std::string& cell) {
    for (char c : cell) {
        if (c == '/' || c == '\\') out += '\\';
        out += c;
    }
}

}  // namespace

GuiTreeListCtrl::GuiTreeListCtrl(GuiObject* parent, int id, int x, int y, int width, int height,
                                 SDL_Color rowBgColor, TTF_Font* font)
    : GuiObject(parent, id, x, y, width, height, rowBgColor), font(font) {
    computeRowHeight();
    updateScrollbars();
}

GuiTreeListCtrl::~GuiTreeListCtrl() {
    dropRowTextures();
}

void GuiTreeListCtrl::computeRowHeight() {
    if (!font) return;
    rowHeight = listRowHeight(font);
}

void GuiTreeListCtrl::relayout() {
    computeRowHeight();
    updateScrollbars();
}

// ---------------------------------------------------------------------------------------------
// Columns

int GuiTreeListCtrl::addColumn(const std::string& title, int width) {
    columns.push_back(TreeColumn{title, width});
    headerTexts.push_back(std::make_unique<TextCache>());
    updateScrollbars();
    invalidate();
    return columnCount() - 1;
}

void GuiTreeListCtrl::setColumnWidth(int column, int width) {
    if (column < 0 || column >= columnCount()) return;
    columns[column].width = width;
    updateScrollbars();
    invalidate();
}

TreeColumn* GuiTreeListCtrl::columnAt(int index) {
    if (index < 0 || index >= columnCount()) return nullptr;
    return &columns[index];
}

int GuiTreeListCtrl::totalColumnWidth() const {
    long long sum = 0;
    for (const TreeColumn& c : columns)
        sum += c.width;
    return clampToInt(sum);
}

// ---------------------------------------------------------------------------------------------
// Nodes and visible rows

int GuiTreeListCtrl::addNode(int parentIndex, uint32_t itemId, std::vector<std::string> cells) {
    const int index = nodeCount();
    TreeNode node;
    node.itemId = itemId;
    node.cells = std::move(cells);
    if (parentIndex < 0 || parentIndex >= index) {
        node.parentIndex = -1;
        node.depth = 0;
        rootIndices.push_back(index);
    } else {
        node.parentIndex = parentIndex;
        node.depth = nodes[parentIndex].depth + 1;
        nodes[parentIndex].childIndices.push_back(index);
    }
    nodes.push_back(std::move(node));
    noteAddedNode(index);
    // Stale rows wait for their next use: updating the bars now would rebuild them per node.
    if (!rowsStale) updateScrollbars();
    invalidate();
    return index;
}

bool GuiTreeListCtrl::nodeShown(int index) const {
    for (int p = nodes[index].parentIndex; p >= 0; p = nodes[p].parentIndex)
        if (!nodes[p].expanded) return false;
    return true;
}

int GuiTreeListCtrl::lastShownDescendant(int index) const {
    while (nodes[index].expanded && !nodes[index].childIndices.empty())
        index = nodes[index].childIndices.back();
    return index;
}

// Filling must stay linear: a new row that lands at the end of the displayed rows (the usual
// case while filling top to bottom) is appended; anything else marks the rows stale and they
// are rebuilt once, before their next use.
void GuiTreeListCtrl::noteAddedNode(int index) {
    if (rowsStale || !nodeShown(index)) return;
    const TreeNode& node = nodes[index];
    int before = -1;  // the node displayed right before the new one
    if (node.parentIndex < 0) {
        if (rootIndices.size() >= 2)
            before = lastShownDescendant(rootIndices[rootIndices.size() - 2]);
    } else {
        const auto& siblings = nodes[node.parentIndex].childIndices;
        before = siblings.size() >= 2 ? lastShownDescendant(siblings[siblings.size() - 2])
                                      : node.parentIndex;
    }
    const bool atEnd =
        before < 0 ? visibleRows.empty() : !visibleRows.empty() && visibleRows.back() == before;
    if (atEnd)
        visibleRows.push_back(index);
    else
        rowsStale = true;
}

void GuiTreeListCtrl::rebuildVisibleRows() {
    visibleRows.clear();
    std::vector<int> stack;  // depth-first without recursion: deep trees cannot overflow
    for (auto it = rootIndices.rbegin(); it != rootIndices.rend(); ++it)
        stack.push_back(*it);
    while (!stack.empty()) {
        int n = stack.back();
        stack.pop_back();
        visibleRows.push_back(n);
        const TreeNode& node = nodes[n];
        if (!node.expanded) continue;
        for (auto it = node.childIndices.rbegin(); it != node.childIndices.rend(); ++it)
            stack.push_back(*it);
    }
    rowsStale = false;
}

const std::vector<int>& GuiTreeListCtrl::rows() {
    if (rowsStale) rebuildVisibleRows();
    return visibleRows;
}

int GuiTreeListCtrl::visibleRowCount() {
    return static_cast<int>(rows().size());
}

int GuiTreeListCtrl::visibleNodeAt(int row) {
    const auto& v = rows();
    if (row < 0 || row >= static_cast<int>(v.size())) return -1;
    return v[row];
}

int GuiTreeListCtrl::rowOfNode(int index) {
    if (!nodeAt(index) || !nodeShown(index)) return -1;
    const auto& v = rows();
    auto it = std::find(v.begin(), v.end(), index);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void GuiTreeListCtrl::clear() {
    nodes.clear();
    rootIndices.clear();
    visibleRows.clear();
    rowsStale = false;
    dropRowTextures();
    selected = -1;
    scrollX = scrollY = 0;
    updateScrollbars();
    invalidate();
}

TreeNode* GuiTreeListCtrl::nodeAt(int index) {
    if (index < 0 || index >= nodeCount()) return nullptr;
    return &nodes[index];
}

int GuiTreeListCtrl::selectedItemId() const {
    if (selected < 0 || selected >= nodeCount()) return -1;
    return static_cast<int>(nodes[selected].itemId);
}

int GuiTreeListCtrl::nodeWithItemId(uint32_t itemId) const {
    for (int i = 0; i < nodeCount(); ++i)
        if (nodes[i].itemId == itemId) return i;
    return -1;
}

bool GuiTreeListCtrl::isExpanded(int index) const {
    return index >= 0 && index < nodeCount() && nodes[index].expanded;
}

void GuiTreeListCtrl::postCommand(uint32_t code, int node) {
    if (window) window->postCommand(code, static_cast<uint32_t>(id), nodes[node].itemId, this);
}

void GuiTreeListCtrl::setSelection(int index, bool notify) {
    if (!nodeAt(index)) {
        selected = -1;
        invalidate();
        return;
    }
    selected = index;
    ensureSelectionVisible();
    invalidate();
    if (notify) postCommand(CMD_TREE_SELECTED, index);
}

void GuiTreeListCtrl::setExpanded(int index, bool expanded, bool notify) {
    TreeNode* node = nodeAt(index);
    if (!node || node->expanded == expanded) return;
    node->expanded = expanded;
    if (!node->childIndices.empty()) rowsStale = true;
    updateScrollbars();
    invalidate();
    if (notify) postCommand(CMD_TREE_ITEM, index);
}

void GuiTreeListCtrl::ensureSelectionVisible() {
    updateScrollbars();
    int row = rowOfNode(selected);
    int viewH = viewHeight();
    if (row >= 0 && viewH >= 1) {
        long long top = static_cast<long long>(row) * rowHeight;
        long long bottom = top + rowHeight;
        if (top < scrollY)
            scrollY = clampToInt(top);
        else if (bottom > static_cast<long long>(scrollY) + viewH)
            scrollY = clampToInt(bottom - viewH);
    }
    updateScrollbars();
    invalidate();
}

void GuiTreeListCtrl::scrollToTop() {
    scrollY = 0;
    updateScrollbars();
    invalidate();
}

std::string GuiTreeListCtrl::nodePath(int index) const {
    if (index < 0 || index >= nodeCount()) return {};
    std::vector<int> chain;
    for (int n = index; n >= 0; n = nodes[n].parentIndex)
        chain.push_back(n);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) path += '/';
        const TreeNode& node = nodes[*it];
        if (!node.cells.empty()) appendEscaped(path, node.cells[0]);
    }
    return path;
}

bool GuiTreeListCtrl::getValue(std::string& out) {
    out = nodePath(selected);
    return true;
}

bool GuiTreeListCtrl::setValue(const std::string& value) {
    if (value.empty()) {
        setSelection(-1, false);
        return true;
    }
    for (int i = 0; i < nodeCount(); ++i) {
        if (nodePath(i) != value) continue;
        std::vector<int> ancestors;
        for (int p = nodes[i].parentIndex; p >= 0; p = nodes[p].parentIndex)
            ancestors.push_back(p);
        for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
            setExpanded(*it, true, true);
        setSelection(i, true);
        return true;
    }
    return false;
}

bool GuiTreeListCtrl::locateItem(const std::string& label, SDL_Rect& out) {
    const auto& v = rows();
    for (size_t row = 0; row < v.size(); ++row) {
        const TreeNode& node = nodes[v[row]];
        if (node.cells.empty() || node.cells[0] != label) continue;
        long long top = static_cast<long long>(y) + headerHeight() +
                        static_cast<long long>(row) * rowHeight - scrollY;
        out = SDL_Rect{x, clampToInt(top), viewWidth(), rowHeight};
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

int GuiTreeListCtrl::contentHeight() {
    return clampToInt(static_cast<long long>(rowHeight) * static_cast<long long>(rows().size()));
}

void GuiTreeListCtrl::updateScrollbars() {
    const int CH = contentHeight();
    const int CW = totalColumnWidth();
    const int W = width, H = height - headerHeight();
    bool v, h;
    if (CH <= H && CW <= W) {
        v = h = false;
    } else if (CW > W && CH <= H - kBar) {
        v = false;
        h = true;
    } else if (CH > H && CW <= W - kBar) {
        v = true;
        h = false;
    } else {
        v = h = true;
    }
    vScroll.visible = v;
    hScroll.visible = h;
    if (!v) vScroll.dragging = false;
    if (!h) hScroll.dragging = false;
    const int viewW = viewWidth(), viewH = viewHeight();
    scrollY = std::clamp(scrollY, 0, std::max(CH - viewH, 0));
    scrollX = std::clamp(scrollX, 0, std::max(CW - viewW, 0));
    const int top = y + headerHeight();
    vScroll.setGeometry(x + viewW, top, kBar, viewH, CH, viewH, scrollY, -1);
    hScroll.setGeometry(x, top + viewH, viewW, kBar, CW, viewW, scrollX, -1);
}

// ---------------------------------------------------------------------------------------------
// Events

int GuiTreeListCtrl::rowAt(int px, int py) {
    const int top = y + headerHeight();
    if (px < x || px >= x + viewWidth() || py < top || py >= top + viewHeight()) return -1;
    if (rowHeight < 1) return -1;
    long long row = (static_cast<long long>(py) - top + scrollY) / rowHeight;
    return row < visibleRowCount() ? static_cast<int>(row) : -1;
}

int GuiTreeListCtrl::expanderX(const TreeNode& node) const {
    return clampToInt(static_cast<long long>(x) - scrollX + kTextInset +
                      static_cast<long long>(kIndent) * node.depth);
}

void GuiTreeListCtrl::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            handlePress(s.button.x, s.button.y);
            break;
        case SDL_MOUSEMOTION:
            handleDrag(s.motion.x, s.motion.y);
            break;
        case SDL_MOUSEBUTTONUP:
            vScroll.dragging = false;
            hScroll.dragging = false;
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(s);
            break;
        case SDL_KEYDOWN:
            handleKey(s.key.keysym.sym);
            break;
        default:
            break;
    }
}

void GuiTreeListCtrl::handlePress(int px, int py) {
    hasFocus = true;
    updateScrollbars();
    if (vScroll.visible && vScroll.thumbContains(px, py)) {
        vScroll.beginDrag(py);
    } else if (vScroll.visible && vScroll.trackContains(px, py)) {
        scrollY = vScroll.pageTarget(py, scrollY, std::max(vScroll.track.h - rowHeight, 1));
        updateScrollbars();
    } else if (hScroll.visible && hScroll.thumbContains(px, py)) {
        hScroll.beginDrag(px);
    } else if (hScroll.visible && hScroll.trackContains(px, py)) {
        scrollX =
            hScroll.pageTarget(px, scrollX, std::max(hScroll.track.w - kHorizontalPageInset, 1));
        updateScrollbars();
    } else {
        int row = rowAt(px, py);
        if (row < 0) return;
        int n = visibleNodeAt(row);
        const TreeNode& node = nodes[n];
        const int boxX = expanderX(node);
        if (!columns.empty() && !node.childIndices.empty() && px >= boxX && px <= boxX + kBox - 1)
            setExpanded(n, !node.expanded, true);
        else
            setSelection(n, true);
    }
    invalidate();
}

void GuiTreeListCtrl::handleDrag(int px, int py) {
    if (!vScroll.dragging && !hScroll.dragging) return;
    if (vScroll.dragging) scrollY = vScroll.dragPosition(py, contentHeight(), vScroll.track.h, -1);
    if (hScroll.dragging)
        scrollX = hScroll.dragPosition(px, totalColumnWidth(), hScroll.track.w, -1);
    updateScrollbars();
    invalidate();
}

void GuiTreeListCtrl::handleWheel(const SDL_Event& s) {
    int v = s.wheel.y, hAmount = s.wheel.x;
    if (s.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
        v = -v;
        hAmount = -hAmount;
    }
    int step = rowHeight < 1 ? 16 : rowHeight;
    scrollY = clampToInt(static_cast<long long>(scrollY) - static_cast<long long>(v) * step);
    if (hAmount == 0 && (SDL_GetModState() & KMOD_SHIFT)) hAmount = v;
    scrollX = clampToInt(static_cast<long long>(scrollX) -
                         static_cast<long long>(hAmount) * kHorizontalWheelStep);
    updateScrollbars();
    invalidate();
}

void GuiTreeListCtrl::moveSelectionBy(int delta) {
    const int count = visibleRowCount();
    if (count == 0) return;
    int row = rowOfNode(selected);
    long long target =
        row < 0 ? 0 : std::clamp<long long>(static_cast<long long>(row) + delta, 0, count - 1);
    if (row >= 0 && target == row) return;
    setSelection(visibleNodeAt(static_cast<int>(target)), true);
}

// A tree that a user can reach with the mouse only is no tree for keyboard users: the arrows,
// Home, End and the page keys move the selection; Left and Right collapse and expand, or step
// to the parent and the first child.
void GuiTreeListCtrl::handleKey(SDL_Keycode key) {
    const int page = std::max(viewHeight() / std::max(rowHeight, 1), 1);
    TreeNode* node = selectedNode();
    switch (key) {
        case SDLK_DOWN:
            moveSelectionBy(1);
            break;
        case SDLK_UP:
            moveSelectionBy(node ? -1 : 0);
            break;
        case SDLK_HOME:
            moveSelectionBy(INT_MIN / 2);
            break;
        case SDLK_END:
            moveSelectionBy(INT_MAX / 2);
            break;
        case SDLK_PAGEDOWN:
            moveSelectionBy(page);
            break;
        case SDLK_PAGEUP:
            moveSelectionBy(-page);
            break;
        case SDLK_RIGHT:
            if (!node || node->childIndices.empty()) break;
            if (!node->expanded)
                setExpanded(selected, true, true);
            else
                setSelection(node->childIndices.front(), true);
            break;
        case SDLK_LEFT:
            if (!node) break;
            if (node->expanded && !node->childIndices.empty())
                setExpanded(selected, false, true);
            else if (node->parentIndex >= 0)
                setSelection(node->parentIndex, true);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing

void GuiTreeListCtrl::dropRowTextures() {
    for (auto* map : {&drawnRows, &nextRows}) {
        for (auto& [node, row] : *map)
            for (CellTexture& cell : row.cells)
                if (cell.texture && textureRenderer)
                    TextureRetirement::retire(textureRenderer, cell.texture);
        map->clear();
    }
}

GuiTreeListCtrl::RowTextures& GuiTreeListCtrl::rowTextures(SDL_Renderer* r, int n,
                                                           bool isSelected) {
    const TreeNode& node = nodes[n];
    const size_t cellCount = columns.empty() ? 1 : columns.size();
    auto it = drawnRows.find(n);
    if (it != drawnRows.end() && it->second.selected == isSelected &&
        it->second.cells.size() == cellCount) {
        bool same = true;
        for (size_t c = 0; c < cellCount && same; ++c)
            same = it->second.cells[c].text == (c < node.cells.size() ? node.cells[c] : "");
        if (same) {
            auto placed = nextRows.emplace(n, std::move(it->second));
            drawnRows.erase(it);
            return placed.first->second;
        }
    }
    RowTextures row;
    row.selected = isSelected;
    row.cells.resize(cellCount);
    const SDL_Color ink = isSelected ? selectedTextColor : textColor;
    for (size_t c = 0; c < cellCount; ++c) {
        CellTexture& cell = row.cells[c];
        if (c < node.cells.size()) cell.text = node.cells[c];
        if (cell.text.empty()) continue;
        SdlSurfacePtr surface(TTF_RenderUTF8_Blended(font, cell.text.c_str(), ink));
        if (!surface) continue;
        cell.texture = SDL_CreateTextureFromSurface(r, surface.get());
        cell.w = surface->w;
        cell.h = surface->h;
    }
    auto placed = nextRows.insert_or_assign(n, std::move(row));
    return placed.first->second;
}

void GuiTreeListCtrl::drawHeader(SDL_Renderer* r, int viewW) {
    if (columns.empty()) return;
    SDL_Rect header{x, y, viewW, rowHeight};
    ClipScope clip(r, header);
    if (!clip.visible()) return;
    fillRect(r, header, headerBgColor);
    long long left = static_cast<long long>(x) - scrollX;
    for (size_t c = 0; c < columns.size(); ++c) {
        const TreeColumn& col = columns[c];
        int tw = 0, th = 0;
        SDL_Texture* t = font && !col.title.empty()
                             ? headerTexts[c]->get(r, font, col.title, headerTextColor, tw, th)
                             : nullptr;
        if (t) {
            SDL_Rect dst{clampToInt(left + kTextInset), y + (rowHeight - th) / 2, tw, th};
            SDL_RenderCopy(r, t, nullptr, &dst);
        }
        left += col.width;
        setColor(r, gridColor);
        SDL_RenderDrawLine(r, clampToInt(left - 1), y, clampToInt(left - 1), y + rowHeight - 1);
    }
    setColor(r, gridColor);
    SDL_RenderDrawLine(r, x, y + rowHeight - 1, x + viewW, y + rowHeight - 1);
}

void GuiTreeListCtrl::drawExpander(SDL_Renderer* r, int boxX, int rowTop, bool expanded) {
    const int boxY = rowTop + (rowHeight - kBox) / 2;
    setColor(r, expanderColor);
    SDL_Rect box{boxX, boxY, kBox, kBox};
    SDL_RenderDrawRect(r, &box);
    SDL_RenderDrawLine(r, boxX + 2, boxY + 4, boxX + 6, boxY + 4);
    if (!expanded) SDL_RenderDrawLine(r, boxX + 4, boxY + 2, boxX + 4, boxY + 6);
}

void GuiTreeListCtrl::drawCell(SDL_Renderer* r, const CellTexture& cell, SDL_Rect cellRect,
                               int textX, int rowTop, const SDL_Rect& view) {
    if (!cell.texture) return;
    SDL_Rect cellInView;
    if (!SDL_IntersectRect(&cellRect, &view, &cellInView)) return;
    ClipScope clip(r, cellInView);
    if (!clip.visible()) return;
    SDL_Rect dst{textX, rowTop + (rowHeight - cell.h) / 2, cell.w, cell.h};
    SDL_RenderCopy(r, cell.texture, nullptr, &dst);
}

void GuiTreeListCtrl::drawVisibleRows(SDL_Renderer* r, const SDL_Rect& view) {
    ClipScope scope(r, view);
    const auto& v = rows();
    const int viewW = view.w, viewH = view.h;
    if (!scope.visible()) return;
    if (!v.empty() && rowHeight >= 1 && viewH >= 1) {
        const int first = scrollY / rowHeight;
        const int last = static_cast<int>(
            std::min<long long>((static_cast<long long>(scrollY) + viewH) / rowHeight,
                                static_cast<long long>(v.size()) - 1));
        int top = view.y - scrollY % rowHeight;
        for (int row = first; row <= last; ++row, top += rowHeight) {
            const int n = v[row];
            const TreeNode& node = nodes[n];
            const bool isSelected = n == selected;
            SDL_Rect fill{x, top, viewW, rowHeight};
            fillRect(r, fill, isSelected ? selectionColor : bgColor);
            const RowTextures* textures = font ? &rowTextures(r, n, isSelected) : nullptr;
            // Without columns the whole row is one cell, which does not scroll sideways.
            const size_t cellCount = columns.empty() ? 1 : columns.size();
            long long left = static_cast<long long>(x) - (columns.empty() ? 0 : scrollX);
            for (size_t c = 0; c < cellCount; ++c) {
                const int cellW = columns.empty() ? viewW : columns[c].width;
                SDL_Rect cellRect{clampToInt(left), top, cellW, rowHeight};
                int textX = clampToInt(left + kTextInset);
                if (c == 0) {
                    const int boxX = expanderX(node);
                    SDL_Rect box;
                    if (!node.childIndices.empty() && SDL_IntersectRect(&cellRect, &view, &box)) {
                        ClipScope clip(r, box);
                        if (clip.visible()) drawExpander(r, boxX, top, node.expanded);
                    }
                    textX = boxX + kIndent;
                }
                if (textures) drawCell(r, textures->cells[c], cellRect, textX, top, view);
                left += cellW;
            }
        }
    }
    if (!columns.empty()) {
        setColor(r, gridColor);
        long long left = static_cast<long long>(x) - scrollX;
        for (const TreeColumn& col : columns) {
            left += col.width;
            int lx = clampToInt(left - 1);
            SDL_RenderDrawLine(r, lx, view.y, lx, view.y + viewH - 1);
        }
    }
}

void GuiTreeListCtrl::drawRows(SDL_Renderer* r, int viewW, int viewH) {
    if (textureRenderer != r) {
        dropRowTextures();
        textureRenderer = r;
    }
    const SDL_Rect view{x, y + headerHeight(), viewW, viewH};
    drawVisibleRows(r, view);
    // Rows that left the view give their textures back.
    for (auto& [node, row] : drawnRows)
        for (CellTexture& cell : row.cells)
            if (cell.texture) TextureRetirement::retire(r, cell.texture);
    drawnRows.clear();
    drawnRows.swap(nextRows);
}

void GuiTreeListCtrl::draw(SDL_Renderer* r) {
    if (!r) return;
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetRenderDrawBlendMode(r, &mode);
    fillRect(r, rect(), bgColor);
    updateScrollbars();
    const int viewW = viewWidth(), viewH = viewHeight();
    drawHeader(r, viewW);
    drawRows(r, viewW, viewH);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);  // the bars' colours are opaque
    if (vScroll.visible) vScroll.draw(r, kTrackColor, kThumbColor);
    if (hScroll.visible) hScroll.draw(r, kTrackColor, kThumbColor);
    if (vScroll.visible && hScroll.visible)
        fillRect(r, SDL_Rect{vScroll.track.x, hScroll.track.y, kBar, kBar}, kCornerColor);
    SDL_SetRenderDrawBlendMode(r, mode);
}
