// The tree list: a tree of nodes shown as rows under a header of columns, with expander
// boxes, indentation by depth, single selection and both scroll bars.
#pragma once

#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "text/ScrollBar.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct TreeColumn {
    std::string title;
    int width = 0;
};

struct TreeNode {
    uint32_t itemId = 0;
    std::vector<std::string> cells;
    int parentIndex = -1;
    std::vector<int> childIndices;
    bool expanded = true;
    int depth = 0;
};

class GuiTreeListCtrl : public GuiObject {
public:
    static constexpr int kBar = 14;
    static constexpr int kIndent = 16;
    static constexpr int kBox = 8;

    GuiTreeListCtrl(GuiObject* parent, int id, int x, int y, int width, int height,
                    SDL_Color rowBgColor, TTF_Font* font);
    ~GuiTreeListCtrl() override;

    bool locateItem(const std::string& label, SDL_Rect& out) override;
    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool wantsWheel() override { return true; }
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiTreeListCtrl"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    int addColumn(const std::string& title, int width);
    void setColumnWidth(int column, int width);
    TreeColumn* columnAt(int index);
    int totalColumnWidth() const;
    int columnCount() const { return static_cast<int>(columns.size()); }

    int addNode(int parentIndex, uint32_t itemId, std::vector<std::string> cells);
    void clear();
    TreeNode* nodeAt(int index);
    TreeNode* selectedNode() { return nodeAt(selected); }
    int selectedItemId() const;
    int nodeCount() const { return static_cast<int>(nodes.size()); }
    // The first node (by index) carrying itemId, -1 when none does.
    int nodeWithItemId(uint32_t itemId) const;
    bool isExpanded(int index) const;
    int visibleNodeAt(int row);
    int visibleRowCount();
    void setSelection(int index, bool notify);
    void setExpanded(int index, bool expanded, bool notify);
    void ensureSelectionVisible();
    void scrollToTop();
    std::string nodePath(int index) const;
    void updateScrollbars();

    int headerHeight() const { return columns.empty() ? 0 : rowHeight; }
    int viewWidth() const { return width - (vScroll.visible ? kBar : 0); }
    int viewHeight() const { return height - headerHeight() - (hScroll.visible ? kBar : 0); }
    // The row under a window point inside the view, -1 when none.
    int rowAt(int px, int py);
    // Left edge of the expander box of a node shown in the first column.
    int expanderX(const TreeNode& node) const;

    std::vector<TreeColumn> columns;
    std::deque<TreeNode> nodes;  // blocks: appending never moves the nodes already there
    std::vector<int> rootIndices;
    SDL_Color textColor{0, 0, 0, 255};
    SDL_Color selectionColor{0, 120, 215, 255};
    SDL_Color selectedTextColor{255, 255, 255, 255};
    SDL_Color headerBgColor{225, 225, 225, 255};
    SDL_Color headerTextColor{0, 0, 0, 255};
    SDL_Color gridColor{210, 210, 210, 255};
    SDL_Color expanderColor{90, 90, 90, 255};
    TTF_Font* font = nullptr;
    int rowHeight = 20;
    int scrollX = 0;
    int scrollY = 0;
    ScrollBar vScroll{0, 16};
    ScrollBar hScroll{1, 16};
    int selected = -1;

private:
    struct CellTexture {
        SDL_Texture* texture = nullptr;
        int w = 0, h = 0;
        std::string text;
    };
    struct RowTextures {
        bool selected = false;
        std::vector<CellTexture> cells;
    };

    // The node of each displayed row, top to bottom, rebuilt only when a change made it stale.
    const std::vector<int>& rows();
    void rebuildVisibleRows();
    bool nodeShown(int index) const;
    int lastShownDescendant(int index) const;
    void noteAddedNode(int index);
    int rowOfNode(int index);
    void computeRowHeight();
    int contentHeight();
    void moveSelectionBy(int delta);
    void handlePress(int px, int py);
    void handleDrag(int px, int py);
    void handleWheel(const SDL_Event& s);
    void handleKey(SDL_Keycode key);
    void drawHeader(SDL_Renderer* r, int viewW);
    void drawRows(SDL_Renderer* r, int viewW, int viewH);
    void drawVisibleRows(SDL_Renderer* r, const SDL_Rect& view);
    void drawExpander(SDL_Renderer* r, int boxX, int rowTop, bool expanded);
    void drawCell(SDL_Renderer* r, const CellTexture& cell, SDL_Rect cellRect, int textX,
                  int rowTop, const SDL_Rect& view);
    RowTextures& rowTextures(SDL_Renderer* r, int node, bool isSelected);
    void dropRowTextures();
    void postCommand(uint32_t code, int node);

    std::vector<int> visibleRows;
    bool rowsStale = false;
    // Textures of the rows drawn last time, by node, so a scroll step renders only new rows.
    std::unordered_map<int, RowTextures> drawnRows;
    std::unordered_map<int, RowTextures> nextRows;
    SDL_Renderer* textureRenderer = nullptr;
    std::vector<std::unique_ptr<TextCache>> headerTexts;
};
