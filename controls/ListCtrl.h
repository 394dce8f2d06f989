// The single-column list control, the combo box and the combo box's drop-down list.
#pragma once

#include "controls/ListCtrlRows.h"
#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "core/Roles.h"
#include "text/ScrollBar.h"
#include "text/TtfLatin.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ListItem {
    uint32_t itemId = 0;
    std::string text;
};

// Rows live in fixed-size blocks: appending never copies the rows already there, so filling
// a million rows peaks at their own size instead of twice it. The blocks of big lists come from
// huge pages where the system has them (see ListCtrlRows.h).
using ListItems = std::deque<ListItem, RowAllocator<ListItem>>;

// Text widths of rows for the content width. Rows appended through noteAppended are summed up
// as they come (longest byte length, which characters occur): while few distinct non-ASCII
// characters occur, that alone bounds every row, so a list whose rows clearly fit is never
// walked. Otherwise every row
// gets a cheap upper bound from per-character widths when it is first seen; exact widths
// (TTF_SizeUTF8) are taken, once per row, only when the bounds cannot decide whether the
// horizontal bar shows. Rows change only through the list's own calls (addItem, setItemText,
// removeItem, clear); after editing the items directly, call itemsChanged.
class RowWidths {
public:
    // The content width as the list needs it: exact whenever it may exceed limit; otherwise
    // some value no greater than limit.
    int contentWidth(TTF_Font* font, const ListItems& items, int limit);
    // Takes in a row appended at the end of the items later passed to contentWidth.
    void noteAppended(const std::string& text);
    // Takes in a row whose text became text, or a row removed.
    void noteChanged(const std::string& text);
    void noteRemoved();
    void reset();
    // The bound used for one text; never below its exact width.
    int upperBound(TTF_Font* font, const std::string& text);
    // Measures Latin text in the font of fontLook with the rasteriser the list draws it with
    // (null: none), which gives SDL_ttf's widths without shaping and loads the glyphs the rows
    // need anyway. It is not used once the font, its look or its face's size changed.
    void useLatin(std::shared_ptr<TtfLatinLines> lines, const FontLook& fontLook) {
        latin = std::move(lines);
        latinLook = fontLook;
        latinUsable = false;  // until the next measuring call has checked it
    }

private:
    void useFont(TTF_Font* font);
    void forgetMeasurements();
    void forgetRowBounds();
    void summarize(const std::string& text);
    void summarizeOthers(const std::string& text);
    int boundOf(TTF_Font* font, const std::string& text);
    int charWidth(TTF_Font* font, const char* bytes, int len);
    int summaryBound(TTF_Font* font);
    void foldBounds(TTF_Font* font, const ListItems& items);
    int exactMax(TTF_Font* font, const ListItems& items);
    // TTF_SizeUTF8's width, from the rasteriser where it takes the text; false when unmeasurable.
    bool exactWidth(TTF_Font* font, std::string_view text, int& w);

    TTF_Font* font = nullptr;
    std::shared_ptr<TtfLatinLines> latin;
    FontLook latinLook;        // of the font latin was matched to
    bool latinUsable = false;  // latin still matches font and look (set by useFont)
    FontLook look;             // of font when measured
    // The summary of the rows noted so far; it bounds the items while their count is noted.
    size_t noted = 0;
    size_t maxBytes = 0;
    uint64_t asciiSeen[2] = {0, 0};  // bit c: character c occurs in some row
    // The non-ASCII characters that occur, cut as boundOf cuts them: up to 4 bytes and the
    // length, packed. Past kOtherKinds of them the summary gives up and rows are bounded one by
    // one.
    static constexpr size_t kOtherKinds = 64;
    std::vector<uint64_t> otherKinds;
    bool otherUnbounded = false;
    size_t folded = 0;  // rows whose bounds are in maxBound
    int maxBound = 0;
    int slack = 0;  // per character, for kerning and rounding
    int asciiWidth[128];
    std::unordered_map<std::string, int> otherWidth;
    size_t exactUpTo = 0;  // rows considered by exactCache
    int exactCache = -1;   // exact widest row over [0, exactUpTo), -1 when unknown
};

// Draws any part exactly, and paints every pixel of its rectangle over an opaque background:
// a scroll moves the pixels it keeps and draws only what comes into view.
class GuiListCtrl : public GuiObject, public IDrawsInParts, public IOpaque {
public:
    static constexpr int kBar = 14;

    GuiListCtrl(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
                TTF_Font* font);
    ~GuiListCtrl() override;

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool wantsWheel() override { return true; }
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiListCtrl"; }
    void draw(SDL_Renderer* r) override;
    void coverChildrenMeeting(SDL_Rect&) const override {}
    bool paintsEveryPixel() const override { return bgColor.a == 255; }
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    int addItem(uint32_t itemId, std::string text);
    // Replaces a row's text; false for an index out of range.
    bool setItemText(int index, std::string text);
    // Removes a row; a selection below it moves up with its row, a selection of it is cleared.
    // False for an index out of range.
    bool removeItem(int index);
    // After items were edited directly: forgets what was measured of them.
    void itemsChanged();
    void clear();
    ListItem* itemAt(int index);
    ListItem* selectedItem() { return itemAt(selected); }
    int selectedItemId() const;
    int itemCount() const { return static_cast<int>(items.size()); }
    void setSelection(int index);
    void ensureSelectionVisible();
    void scrollToTop();
    int rowAt(int px, int py) const;
    void updateScrollbars();
    int viewWidth() const { return width - (vScroll.visible ? kBar : 0); }
    int viewHeight() const { return height - (hScroll.visible ? kBar : 0); }

    ListItems items;
    SDL_Color textColor{0, 0, 0, 255};
    SDL_Color selectionColor{0, 120, 215, 255};
    SDL_Color selectedTextColor{255, 255, 255, 255};
    TTF_Font* font = nullptr;
    int rowHeight = 20;
    int scrollX = 0;
    int scrollY = 0;
    ScrollBar vScroll{0, 16};
    ScrollBar hScroll{1, 16};
    int selected = -1;
    bool layoutPending = true;

protected:
    void listEvent(GuiEvent& e);

private:
    struct RowTexture {
        SdlTexturePtr texture;  // released through texture retirement; the ink box only
        int w = 0, h = 0;       // of the whole rendering
        int inkLeft = 0, inkTop = 0, inkWidth = 0, inkHeight = 0;
        bool selected = false;
        std::string text;
        bool shows(const std::string& s, bool sel) const;
    };
    void computeRowHeight();
    int contentWidth();
    void handlePress(int px, int py);
    void handleDrag(int px, int py);
    void handleWheel(const SDL_Event& s);
    // The scroll position and the bars shown, taken before a scroll.
    struct ScrollState {
        int x, y;
        bool vBar, hBar;
    };
    ScrollState scrollState() const { return {scrollX, scrollY, vScroll.visible, hScroll.visible}; }
    // After a scroll from before with the same bars: moves the view's pixels where the
    // window keeps them and damages the bars; anything else invalidates the whole list.
    void showScroll(const ScrollState& before);
    // Whether the selected row meets a view of viewH pixels scrolled to atScrollY.
    bool selectionShown(int atScrollY, int viewH) const;
    void drawRows(SDL_Renderer* r, int viewW, int viewH);
    RowTexture renderRow(SDL_Renderer* r, int row, bool isSelected) const;
    // What SDL's blending gives for one text colour at each alpha over one opaque background.
    struct BlendTable {
        uint32_t text = 0;  // the text colour's RGB, as blended text renders it
        uint32_t out[256]{};
        bool valid = false;
        void make(SDL_Color textColor, SDL_Color background);
        // out in the pixel format of a surface written directly
        uint32_t mapped[256]{};
        Uint32 mappedFormat = SDL_PIXELFORMAT_UNKNOWN;
        void mapTo(const SDL_PixelFormat* format);
    };
    // The ink blended onto the row's opaque background, as copying it there would give; null
    // when the rendering is not plain text-coloured ink.
    SDL_Texture* opaqueInk(SDL_Renderer* r, const SDL_Surface* text, const SDL_Rect& ink,
                           const BlendTable& blend) const;
    const RowTexture* rowTexture(SDL_Renderer* r, int row, bool isSelected);
    // Draws a row's text straight into the window's pixels s (the row's background already
    // there): false, with nothing drawn, where it cannot be exactly what copying the row's
    // texture gives.
    bool drawRowDirectly(SDL_Renderer* r, SDL_Surface* s, int row, bool isSelected, int top,
                         const SDL_Rect& clip);
    // The rasteriser of Latin rows in the list's font (of look), where the toolkit holds the
    // same face.
    void useLatinLines(const FontLook& look);
    // The rows a view of viewH pixels shows at scrollY; false when none.
    bool visibleRows(int viewH, int& first, int& last) const;
    // Renders the rows the view may show before the layout measures them.
    void renderRowsAhead(SDL_Renderer* r);
    // Drops the row textures when the renderer or what they were rendered with changed.
    void useRendering(SDL_Renderer* r);
    void dropRowTextures();

    RowWidths widths;
    int lastCW = 0;
    // Textures of the rows drawn last time, by row, so that a scroll step renders only the
    // rows that came into view.
    std::unordered_map<int, RowTexture> rowTextures;
    std::unordered_map<int, RowTexture> nextTextures;
    SDL_Renderer* textureRenderer = nullptr;
    FontLook textureLook;  // font, colours the row textures were rendered with
    SDL_Color textureColors[4]{};
    // The software renderer blends a copy with SDL's own blitters, so the ink can be blended
    // onto an opaque row background once and then copied without blending in every frame.
    bool blendsOnce = false;
    BlendTable blends[2];  // plain and selected rows
    // Rows of plain Latin text over an opaque background are rasterised from FreeType and
    // blended through the table straight into the window's pixels: no shaping, no texture, no
    // memory per row.
    std::shared_ptr<TtfLatinLines> latinLines;  // the face's own, shared by lists in the font
    AlphaLine latinLine;
};

class GuiComboBoxDropDown;

class GuiComboBox : public GuiObject {
public:
    GuiComboBox(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
                SDL_Color textColor, TTF_Font* font, int dropDownHeight);
    ~GuiComboBox() override;

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiComboBox"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void focusLost(GuiObject* newFocus) override;

    int addItem(uint32_t itemId, std::string text);
    // Replaces a row's text; false for an index out of range.
    bool setItemText(int index, std::string text);
    // Removes a row; a selection below it moves up with its row, a selection of it is cleared.
    // False for an index out of range.
    bool removeItem(int index);
    // After items were edited directly: forgets what was measured of them.
    void itemsChanged();
    void clear();
    int selectedItemId() const;
    std::string selectedText() const;
    void setSelection(int index, bool notify);
    void selectById(uint32_t itemId, bool notify);
    void openDropDown();
    void closeDropDown();
    void chooseFromDropDown(int index);
    // Called by the drop-down as it is destroyed, so no pointer to it outlives it.
    void dropDownGone(GuiComboBoxDropDown* gone);

    ListItems items;
    int selected = -1;
    TTF_Font* font = nullptr;
    SDL_Color textColor{0, 0, 0, 255};
    SDL_Color borderColor{80, 80, 80, 255};
    bool dropDownOpen = false;
    GuiComboBoxDropDown* dropDown = nullptr;
    int dropDownHeight = 150;
    int arrowWidth = 18;

private:
    bool dropDownOnStack() const;
    void drawArrow(SDL_Renderer* r);

    TextCache textCache;  // the chosen entry as last drawn
};

class GuiComboBoxDropDown : public GuiListCtrl {
public:
    GuiComboBoxDropDown(GuiObject* parent, int id, int x, int y, int width, int height,
                        SDL_Color bgColor, TTF_Font* font);
    ~GuiComboBoxDropDown() override;
    const char* className() const override { return "GuiComboBoxDropDown"; }
    void handleEvent(GuiEvent& e) override;

    GuiComboBox* combo = nullptr;
};

// Destroys the combo arrow texture made for r (the engine calls it through its teardown hook).
void releaseArrowTexture(SDL_Renderer* r);
