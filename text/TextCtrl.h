// The toolkit's editable text widget: single-line field, multi-line editor (optionally with
// word wrap), read-only log or password field. It lays its text out itself with FreeType,
// one glyph per code point, and keeps the caret, the selection and the scroll offsets.
#pragma once

#include "core/GuiObject.h"
#include "core/InkBlender.h"
#include "core/Roles.h"
#include "text/ScrollBar.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// One laid-out code point, in window pixels with the scroll offsets not applied. Only the
// lines in use are kept laid out; the rest are known by their place and extent alone.
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

class GuiTextCtrl : public GuiObject,
                    public IEditable,
                    public ITimed,
                    public IDrawsInParts,
                    public IOpaque {
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
    // Any part draws exactly under a clip; there are no children to cover.
    void coverChildrenMeeting(SDL_Rect&) const override {}
    // The white field fills the whole rectangle.
    bool paintsEveryPixel() const override { return true; }
    void handleEvent(GuiEvent& e) override;
    void focusLost(GuiObject* newFocus) override;
    void relayout() override;

    void setText(const std::string& value);
    // Takes the string over instead of copying it (a large text costs no copy).
    void setText(std::string&& value);
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
    // One glyph per code point, plus a zero-width one on the empty last line after a final
    // line break; none without a face.
    int32_t glyphCount() const { return glyphTotal; }
    // Glyph i (0 <= i < glyphCount()), laid out on demand.
    Glyph glyphAt(int32_t i) const;
    // The whole layout at once (for checks; drawing and editing never need it).
    std::vector<Glyph> allGlyphs() const;
    // Visual lines: one per line of the text, more where word wrap breaks it.
    int32_t rowCount() const { return rowTotal; }
    // Lines of the text currently held laid out, and their glyphs.
    std::pair<size_t, size_t> laidOutLines() const;
    bool hasSelection() const { return selStart != -1 && selEnd != -1 && selStart != selEnd; }
    // Where a glyph's cell ends: at the next glyph of its row, else after its own width.
    static int32_t rightEdge(const Glyph& g, const Glyph* nextOnRow) {
        return nextOnRow ? nextOnRow->x : g.x + std::max(g.width, 1);
    }
    // Content extent (width, height) in pixels, as the scroll bars see it.
    std::pair<int32_t, int32_t> contentExtent() const;

    // Drawing and layout through the glyph cache (true) or straight from FreeType on every
    // call (false); both give the same glyphs and pixels, the switch exists to prove that.
    static bool useGlyphCache;

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

private:
    // Black and white glyph ink blended straight into the window's pixels on the software
    // renderer: one SDL copy per glyph was a third of a big text's first draw.
    InkBlender glyphInk[2];
    struct Metrics {
        int32_t ascender = 0, descender = 0, height = 0;
    };
    // A line of the text (up to and including its line break) as the scroll bars and the
    // row arithmetic see it; its glyphs are laid out only when something asks for them.
    struct LineInfo {
        size_t byte;    // offset of its first byte in text
        int32_t glyph;  // index of its first glyph
        int32_t row;    // visual row of its first glyph
        int32_t rows;   // visual rows it takes (more than one only with word wrap)
        // Largest right edge of its glyphs (INT32_MIN without glyphs). Without word wrap it
        // may be an upper bound instead, made exact when it could hold the widest line.
        mutable int32_t maxRight;
    };
    // What layout positions depend on, as it was when the lines were measured.
    struct LayoutBasis {
        int32_t x = 0, y = 0, width = 0;
        Metrics metrics;
        uint32_t passwordChar = '*';
        bool valid = false;
    };
    struct LaidLine {
        std::vector<Glyph> glyphs;
        uint64_t lastUse = 0;
    };

    // After setText put a new text in place: lay it out, tell onChange if it differs.
    void textReplaced(bool same);
    void readMetrics();
    void printCharmaps() const;
    // Settles the caret and the bars after a layout; redraw: damage the whole control.
    void finishLayout(bool redraw = true);
    // Lays out what appendText added: only the last line is measured again.
    void appendLayout();
    // Totals of measured lines: where the next line starts and their widest edge.
    struct Measured {
        int32_t glyph, row, codePoints, widest;
    };
    // Text bytes before `from`, and from `oldEnd` of the text before the edits on (now at
    // oldEnd + delta), are unchanged since the last layout.
    struct PendingEdit {
        size_t from = 0, oldEnd = 0;
        int64_t delta = 0;
        bool any = false;
    };
    bool basisStillHolds();
    void noteSplice(size_t at, size_t removed, size_t inserted);
    // Lays out again after the edits noted since the last layout: only the lines they touched.
    void layoutEdited();
    void measureFrom(size_t line);
    // Measures lines from `byte` on into out; the widest of them exactly where it beats floor.
    Measured measureRange(size_t byte, int32_t glyph, int32_t row, size_t stop,
                          std::vector<LineInfo>& out, int32_t floor);
    template <class Source>
    Measured measureLines(Source& src, size_t byte, int32_t glyph, int32_t row, size_t stop,
                          std::vector<LineInfo>& out, int32_t floor);
    // The widest right edge of lines v[from..] (the last ending at lastEnd) and floor,
    // measuring exactly only lines whose bound beats it.
    template <class Source>
    int32_t widestOf(Source& src, const std::vector<LineInfo>& v, size_t from, size_t lastEnd,
                     int32_t floor) const;
    template <class Source>
    int32_t exactRightEdge(Source& src, size_t from, size_t to, int32_t row) const;
    // Lays out bytes [from, to) of the text, one line starting on visual row `row`, into the
    // sink; returns the code points read.
    template <class Source, class Sink>
    int32_t layoutLine(Source& src, size_t from, size_t to, int32_t row, Sink& out) const;
    void layoutLineInto(size_t line, std::vector<Glyph>& out) const;
    // The glyphs of line `line`; the reference stays valid across the next call.
    const std::vector<Glyph>& lineGlyphs(size_t line) const;
    // Forgets the glyphs of lines from `line` on; `end`: past the last line that may be kept.
    void forgetLaidLinesFrom(size_t line, size_t end = SIZE_MAX);
    void trimLaidLines() const;
    size_t lineOfGlyph(size_t glyph) const;
    size_t lineOfRow(int64_t row) const;
    int64_t rowBaseline(int64_t row) const;
    // First visual row whose baseline is at least b.
    int64_t firstRowAtOrBelow(int64_t b) const;
    size_t firstGlyphOfRow(int64_t row) const;
    int32_t widestRightEdge() const;
    Glyph lastGlyph() const { return glyphAt(glyphTotal - 1); }
    // Calls f(index, glyph, the next glyph when it is on the same row, else null) for the
    // glyphs from `from` on while it returns true.
    template <class F>
    void forEachGlyphFrom(size_t from, F&& f) const;
    int32_t lineTop(int32_t baseline) const { return baseline - metrics.ascender - 3; }
    // Where word wrap breaks rows, for the geometry the lines were measured with.
    int32_t wrapRight() const { return basis.x + kInset + std::max(basis.width - 22, 1); }
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
    // The text area: the rectangle less the scroll bars shown.
    SDL_Rect viewRect() const;
    // Tops (content coordinates) of the first and last row draw() shows at vertical offset s in
    // a view of height viewH: the rows wholly inside it. None when first > last.
    struct TopSpan {
        int32_t first, last;
    };
    TopSpan drawnTops(int32_t s, int32_t viewH) const;
    // How far glyph ink may reach beyond a row's band (above, below) and beyond a cell to the
    // right, from the face's bounding box; unknown for faces without one.
    struct InkReach {
        int32_t up = 0, down = 0, across = 0;
        bool known = false;
    };
    InkReach inkReach() const;
    // What the view showed before a change that scrolls it (see showChange).
    struct ViewBefore {
        int32_t scrollX, scrollY;
        SDL_Rect view;
        SDL_Rect caret;  // content coordinates
        bool caretShown;
        bool selectionShown;
        int32_t selStart, selEnd;
    };
    ViewBefore viewBefore() const;
    SDL_Rect caretContentRect() const;
    static constexpr int64_t kNoRowChanged = INT64_MAX;
    // Damages what changed since before when the text changed only in the rows from the content
    // top changedTop on: the view's pixels move with the scroll, and only what comes into view,
    // the changed rows, the caret and the bars are drawn again; everything where that cannot be.
    void showChange(const ViewBefore& before, int64_t changedTop);
    // Ensures the caret is visible without asking for a redraw.
    void scrollToCaret();
    // The blink showed or hid the caret: damages its cells.
    void caretShownOrHidden();
    // Damages where a rectangle of content coordinates shows now, within the view.
    void damageShown(const SDL_Rect& content);
    // A caret move or scroll: damaged by the key's showChange while a key is handled, else the
    // whole control.
    void lookChanged();
    void drawSelection(SDL_Renderer* r, const SDL_Rect& view);
    void drawGlyphs(SDL_Renderer* r, const SDL_Rect& view, int32_t firstTop, int32_t lastTop);
    // The window's pixels where glyphs can be blended into them directly, with the ink of both
    // glyph colours ready for their format; null where glyphs are copied as textures.
    SDL_Surface* directGlyphPixels(SDL_Renderer* r);
    void drawCaret(SDL_Renderer* r, int32_t firstTop, int32_t lastTop);
    void drawScrollbars(SDL_Renderer* r) const;
    void caretReset();
    void setSelectionIndices(int32_t start, int32_t end);
    // Code-point index <-> byte offset in text, decoding only from the start of the line.
    int32_t byteOf(int32_t index) const;
    int32_t indexOfByte(size_t byte) const;
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
    bool inEvent = false;
    bool inKey = false;  // handleKey damages what the key changed when it is done
    std::optional<std::string> textBeforeEvent;
    std::vector<LineInfo> lines;
    int32_t glyphTotal = 0;
    int32_t rowTotal = 0;
    LayoutBasis basis;
    PendingEdit pendingEdit;
    mutable std::unordered_map<size_t, LaidLine> laidLines;
    mutable size_t laidGlyphs = 0;
    mutable uint64_t useClock = 0;
    mutable int32_t widest = INT32_MIN;  // largest maxRight of all lines
    mutable bool widestKnown = false;
};

template <class F>
void GuiTextCtrl::forEachGlyphFrom(size_t from, F&& f) const {
    for (size_t line = lineOfGlyph(from); from < size_t(glyphTotal) && line < lines.size();
         ++line) {
        const std::vector<Glyph>& g = lineGlyphs(line);
        const size_t base = size_t(lines[line].glyph);
        for (size_t k = from - base; k < g.size(); ++k) {
            const bool sameRow = k + 1 < g.size() && g[k + 1].y == g[k].y;
            if (!f(base + k, g[k], sameRow ? &g[k + 1] : nullptr)) return;
        }
        from = base + g.size();
    }
}
