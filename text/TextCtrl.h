// The toolkit's editable text widget: single-line field, multi-line editor (optionally with
// word wrap), read-only log or password field. It lays its text out itself with FreeType,
// one glyph per code point, and keeps the caret, the selection and the scroll offsets.
#pragma once

#include "core/GuiObject.h"
#include "core/Roles.h"
#include "text/ScrollBar.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One laid-out code point, in window pixels with the scroll offsets not applied.
struct Glyph {
    int32_t x;           // left edge of the cell: pen plus left bearing
    int32_t y;           // baseline of the glyph's line
    int32_t width;       // max(advance, bitmap width); 40 for a tab, 0 for a line break
    uint32_t codePoint;  // what is shown (the bullet in password mode)

    bool operator==(const Glyph&) const = default;
};

// Option flags of GuiTextCtrl.
enum : uint32_t {
    TEXT_MULTILINE = 0x1,
    TEXT_READONLY = 0x2,
    TEXT_PASSWORD = 0x4,
    TEXT_WORDWRAP = 0x8,
};

class GuiTextCtrl : public GuiObject, public IEditable, public ITimed {
public:
    static constexpr int kBarThickness = 12;
    static constexpr int kInset = 5;
    static constexpr int kCaretWidth = 2;
    static constexpr int kTabAdvance = 40;

    GuiTextCtrl(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
                FT_Face face, uint32_t flags);
    ~GuiTextCtrl() override;

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool wantsWheel() override { return multiline; }
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiTextCtrl"; }
    void update(uint32_t now) override;
    // The caret's next activation change or blink.
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void focusLost(GuiObject* newFocus) override;
    void relayout() override;

    void setText(const std::string& value);
    void appendText(const std::string& value);
    std::string selectedText() const;
    bool deleteSelection();
    // Two status lines (cursor and selection; scroll and code point) in static buffers.
    std::pair<const char*, const char*> debugLines() const;

    // Layout, scrolling and hit testing.
    void layoutText(FT_Face f, const std::string& t);
    void updateScrollbars();
    void ensureCaretVisible();
    int32_t indexAt(int px, int py) const;
    std::pair<int32_t, int32_t> wordRangeAt(int32_t index) const;
    void normalizeSelection();
    void clearSelection();
    void autoScrollToPointer(int px, int py);

    int32_t lineHeight() const { return metrics.height; }
    int32_t ascender() const { return metrics.ascender; }
    int32_t descender() const { return metrics.descender; }
    int32_t codePointCount() const { return textCodePoints; }
    bool hasSelection() const { return selStart != -1 && selEnd != -1 && selStart != selEnd; }
    // Content extent (width, height) in pixels, as the scroll bars see it.
    std::pair<int32_t, int32_t> contentExtent() const;

    // Drawing and layout through the glyph cache (true) or straight from FreeType on every
    // call (false); both give the same glyphs and pixels, the switch exists to prove that.
    static bool useGlyphCache;

    std::vector<Glyph> glyphs;
    int32_t cursor = 0;
    int32_t selStart = -1;
    int32_t selEnd = -1;
    uint32_t caretResetTime = 0;
    uint32_t caretToggleTime = 0;
    bool caretOn = true;
    bool caretActive = false;
    uint32_t caretPendingSince = 0;
    int32_t selByteStart = -1;
    int32_t selByteEnd = -1;
    uint32_t lastClickTime = 0;
    int32_t lastClickX = -1;
    int32_t lastClickY = -1;
    bool wordSelecting = false;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    ScrollBar vScroll{0, 20};
    ScrollBar hScroll{1, 20};
    bool scrollbarPressed = false;
    bool multiline = false;
    bool readOnly = false;
    bool password = false;
    bool wordWrap = false;
    std::string text;
    std::function<void()> onChange;
    FT_Face face = nullptr;

    // Where layout stopped, so that appending can carry on from there.
    struct LayoutState {
        int32_t pen = 0;
        int32_t baseline = 0;
        int32_t lineStart = 0;
        int32_t breakIndex = -1;
        int32_t breakPen = 0;
        bool afterBreak = false;
        uint32_t prevGlyph = 0;
        uint32_t passwordChar = '*';
        bool trailingSpace = false;  // the zero-width glyph after a final line break
        int32_t originX = 0, originY = 0;
        bool valid = false;
    };

private:
    struct Metrics {
        int32_t ascender = 0, descender = 0, height = 0;
    };
    // Largest right edge and baseline over glyphs [0, upTo); glyphs before the last line
    // never move again, so this prefix only ever grows while text is appended.
    struct ExtentPrefix {
        int32_t upTo = 0;
        int64_t maxRight = INT64_MIN;
        int64_t maxY = INT64_MIN;
    };

    void readMetrics();
    void printCharmaps() const;
    template <class Source>
    void layoutFrom(Source& src, const char* bytes, size_t length);
    void resumeLayout(const std::string& appended);
    void finishLayout();
    void glyphsChanged(bool fromScratch);
    int32_t rightEdge(size_t i) const;
    int32_t lineTop(int32_t baseline) const { return baseline - metrics.ascender - 3; }
    int32_t roundToLine(int32_t v) const;
    // Largest horizontal offset for a content width in a view width: the content's end plus
    // a caret's width, so that the caret after the last glyph stays inside the view.
    static int32_t maxScrollX(int32_t contentWidth, int32_t viewWidth);
    size_t firstGlyphWithTopAtLeast(int64_t top) const;
    // First glyph whose baseline is at least y.
    size_t firstGlyphAtOrBelow(int64_t baseline) const;
    struct CaretPoint {
        int32_t x, y;
    };
    CaretPoint caretGlyphPoint() const;
    void drawSelection(SDL_Renderer* r, const SDL_Rect& view);
    void drawGlyphs(SDL_Renderer* r, const SDL_Rect& view, int32_t firstTop, int32_t lastTop);
    void drawCaret(SDL_Renderer* r, int32_t firstTop, int32_t lastTop);
    void drawScrollbars(SDL_Renderer* r) const;
    void caretReset();
    void setSelectionIndices(int32_t start, int32_t end);
    void insertAtCursor(const std::string& s);
    // Keeps the text as it was when the current event arrived, before its first change.
    void noteEdit();
    void eraseCodePointAt(int32_t index);

    // Input handling, one step each.
    void handleMouseDown(const SDL_MouseButtonEvent& b);
    bool pressOnScrollbar(int px, int py);
    void handleMouseMotion(const SDL_MouseMotionEvent& m);
    void handleMouseUp(const SDL_MouseButtonEvent& b);
    void handleWheel(const SDL_MouseWheelEvent& w);
    void handleTextInput(const SDL_TextInputEvent& t);
    void handleKey(const SDL_KeyboardEvent& k);
    void handleCtrlKey(SDL_Keycode key);
    void handlePlainKey(SDL_Keycode key, bool shift);
    void moveOrExtend(int32_t target, bool shift);
    bool moveVertically(int32_t deltaY, bool shift);
    int32_t lineHomeTarget() const;
    int32_t lineEndTarget() const;
    int32_t targetOnLine(int32_t lineY, int32_t caretX) const;
    CaretPoint caretLinePoint() const;
    void pageMove(bool down, bool shift);
    void paste();

    Metrics metrics;
    int32_t textCodePoints = 0;
    int32_t lastLayoutWidth = 0;
    bool inEvent = false;
    std::optional<std::string> textBeforeEvent;
    LayoutState layoutState;
    mutable ExtentPrefix extentPrefix;
};
