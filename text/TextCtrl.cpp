// The text control's model: construction, content changes, selection, scrolling, hit
// testing, word boundaries and the caret's activation and blink.
#include "text/TextCtrl.h"

#include "core/Engine.h"
#include "core/Window.h"
#include "text/Prefault.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

bool GuiTextCtrl::useGlyphCache = true;

GuiTextCtrl::GuiTextCtrl(GuiObject* parent, int id, int x, int y, int width, int height,
                         SDL_Color bgColor, FT_Face face, uint32_t flags)
    : GuiObject(parent, id, x, y, width, height, bgColor), face(face) {
    password = (flags & TEXT_PASSWORD) != 0;
    multiline = !password && (flags & TEXT_MULTILINE) != 0;
    readOnly = (flags & TEXT_READONLY) != 0;
    wordWrap = multiline && (flags & TEXT_WORDWRAP) != 0;
    printCharmaps();
    caretResetTime = caretToggleTime = guiTicks();
    caretOn = true;
    layoutText(face, text);
    invalidate();
    if (multiline) updateScrollbars();
}

GuiTextCtrl::~GuiTextCtrl() = default;

void GuiTextCtrl::printCharmaps() const {
    if (!face) return;
    for (int i = 0; i < face->num_charmaps; ++i)
        diagnostic("Charmap %d: platform_id = %d, encoding_id = %d\n", i,
                   face->charmaps[i]->platform_id, face->charmaps[i]->encoding_id);
}

bool GuiTextCtrl::getValue(std::string& out) {
    out = text;
    return true;
}

bool GuiTextCtrl::setValue(const std::string& value) {
    setText(value);
    return true;
}

void GuiTextCtrl::focusLost(GuiObject*) {
    clearSelection();
    invalidate();
}

void GuiTextCtrl::relayout() {
    layoutText(face, text);
    invalidate();
    if (multiline) updateScrollbars();
}

// ---------------------------------------------------------------------------------------------
// Content

void GuiTextCtrl::setText(const std::string& value) {
    const bool same = value == text;
    if (!same) noteEdit();
    // Room to append without moving the whole text; pages not written yet cost nothing.
    if (value.size() > text.capacity()) {
        text.reserve(value.size() + value.size() / 8);
        prefaultForWrite(text.data(), value.size());
    }
    text = value;
    textReplaced(same);
}

void GuiTextCtrl::setText(std::string&& value) {
    const bool same = value == text;
    if (!same) noteEdit();
    if (&value != &text) text = std::move(value);
    textReplaced(same);
}

void GuiTextCtrl::textReplaced(bool same) {
    // Layout counts the code points and keeps the caret within them.
    clearSelection();
    invalidate();
    layoutText(face, text);
    invalidate();
    if (!same && onChange) onChange();
}

void GuiTextCtrl::appendText(const std::string& value) {
    if (value.empty()) return;
    noteEdit();
    const ViewBefore before = viewBefore();
    // Rows before the line that grows keep their glyphs: only from its first row on they change.
    const int64_t changedTop =
        lines.empty() || metrics.height < 1
            ? int64_t(INT64_MIN / 2)
            : int64_t(lineTop(static_cast<int32_t>(rowBaseline(lines.back().row))));
    text += value;
    appendLayout();
    cursor = textCodePoints;
    clearSelection();
    scrollToCaret();
    showChange(before, changedTop);
    if (onChange) onChange();
}

std::string GuiTextCtrl::selectedText() const {
    if (password) return {};
    // normalizeSelection on a copy: reading the selection must not change it.
    int32_t a = selStart, b = selEnd;
    if (a == -1 && b == -1) return {};
    if (a == -1) a = 0;
    a = std::max(a, 0);
    b = std::max(b, 0);
    if (a > b) std::swap(a, b);
    if (a == b) return {};
    size_t from = static_cast<size_t>(byteOf(a));
    size_t to = static_cast<size_t>(byteOf(b));
    return text.substr(from, to - from);
}

bool GuiTextCtrl::deleteSelection() {
    if (selectedText().empty()) return false;
    normalizeSelection();
    size_t from = static_cast<size_t>(std::min(selByteStart, selByteEnd));
    size_t to = static_cast<size_t>(std::max(selByteStart, selByteEnd));
    to = std::min(to, text.size());
    noteEdit();
    text.erase(from, to - from);
    noteSplice(from, to - from, 0);
    layoutEdited();
    cursor = indexOfByte(from);
    clearSelection();
    invalidate();
    return true;
}

std::pair<const char*, const char*> GuiTextCtrl::debugLines() const {
    static char line1[160];
    static char line2[160];
    std::snprintf(line1, sizeof line1, "CursorIndex %ld   SelIndex %d:%d   SelByte %d:%d",
                  static_cast<long>(cursor), selStart, selEnd, selByteStart, selByteEnd);
    if (cursor >= 0 && cursor < glyphTotal)
        std::snprintf(line2, sizeof line2, "Scroll %d:%d   CP %lu", scrollX, scrollY,
                      static_cast<unsigned long>(glyphAt(cursor).codePoint));
    else
        std::snprintf(line2, sizeof line2, "Scroll %d:%d   CP invalid", scrollX, scrollY);
    return {line1, line2};
}

// ---------------------------------------------------------------------------------------------
// Selection

void GuiTextCtrl::clearSelection() {
    selStart = selEnd = selByteStart = selByteEnd = -1;
}

void GuiTextCtrl::setSelectionIndices(int32_t start, int32_t end) {
    selStart = start;
    selEnd = end;
    selByteStart = byteOf(start);
    selByteEnd = byteOf(end);
}

void GuiTextCtrl::normalizeSelection() {
    if (selStart == -1) {
        if (selEnd == -1) return;
        selStart = 0;
    }
    int32_t a = std::max(selStart, 0), b = std::max(selEnd, 0);
    if (a > b) std::swap(a, b);
    setSelectionIndices(a, b);
    invalidate();
}

int32_t GuiTextCtrl::byteOf(int32_t index) const {
    // Every line starts a decoding step and knows its first code point (its first glyph).
    if (pendingEdit.any || glyphTotal == 0 || index <= 0) return byteOffsetOf(text, index);
    const LineInfo& l = lines[lineOfGlyph(size_t(std::min(index, glyphTotal - 1)))];
    return byteOffsetFrom(text, l.byte, index - l.glyph);
}

int32_t GuiTextCtrl::indexOfByte(size_t byte) const {
    byte = std::min(byte, text.size());
    if (pendingEdit.any || glyphTotal == 0) return countCodePoints(text.data(), byte);
    auto it = std::upper_bound(lines.begin(), lines.end(), byte,
                               [](size_t b, const LineInfo& l) { return b < l.byte; });
    const LineInfo& l = *(it - 1);
    return l.glyph + countCodePoints(text.data() + l.byte, byte - l.byte);
}

// ---------------------------------------------------------------------------------------------
// Extent and scrolling

std::pair<int32_t, int32_t> GuiTextCtrl::contentExtent() const {
    if (glyphTotal == 0) return {0, 0};
    // The last row holds the lowest baseline; every line knows its own widest edge.
    const int64_t maxRight = widestRightEdge();
    const int64_t maxY = rowBaseline(rowTotal - 1);
    int64_t w = std::max<int64_t>(0, maxRight - x);
    int64_t h = std::max<int64_t>(0, maxY - metrics.descender + 10 - y);
    return {static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX)),
            static_cast<int32_t>(std::min<int64_t>(h, INT32_MAX))};
}

int32_t GuiTextCtrl::maxScrollX(int32_t contentWidth, int32_t viewWidth) {
    // Content that fits needs no scrolling; the extra room exists only where there is a range.
    if (contentWidth <= viewWidth) return 0;
    return static_cast<int32_t>(
        std::min<int64_t>(int64_t(contentWidth) + kCaretWidth - viewWidth, INT32_MAX));
}

int32_t GuiTextCtrl::roundToLine(int32_t v) const {
    if (metrics.height < 1) return v;
    return v - v % metrics.height;
}

void GuiTextCtrl::updateScrollbars() {
    if (!multiline) return;
    auto [W, H] = contentExtent();
    const int w = width, h = height, t = kBarThickness;
    vScroll.visible = H > h || (W > w && H > h - t);
    hScroll.visible = !wordWrap && (W > w || (H > h && W > w - t));
    const int viewW = vScroll.visible ? w - t : w;
    const int viewH = hScroll.visible ? h - t : h;
    const int maxY = roundToLine(std::max(0, H - viewH));
    scrollX = wordWrap ? 0 : std::clamp(scrollX, 0, maxScrollX(W, viewW));
    scrollY = std::clamp(scrollY, 0, maxY);
    if (vScroll.visible)
        vScroll.setGeometry(x + viewW, y, t, viewH, H, viewH, scrollY, maxY);
    else
        vScroll.dragging = false;
    if (hScroll.visible)
        hScroll.setGeometry(x, y + viewH, viewW, t, viewW + maxScrollX(W, viewW), viewW, scrollX,
                            -1);
    else
        hScroll.dragging = false;
}

GuiTextCtrl::CaretPoint GuiTextCtrl::caretGlyphPoint() const {
    if (cursor >= 0 && cursor < glyphTotal) {
        const Glyph g = glyphAt(cursor);
        return {g.x, g.y};
    }
    const Glyph last = lastGlyph();
    return {last.x + last.width, last.y};
}

void GuiTextCtrl::ensureCaretVisible() {
    scrollToCaret();
    lookChanged();
}

void GuiTextCtrl::lookChanged() {
    if (inKey)
        dirty = true;
    else
        invalidate();
}

void GuiTextCtrl::scrollToCaret() {
    if (glyphTotal == 0 || metrics.height < 1) return;
    const CaretPoint c = caretGlyphPoint();
    const int32_t top = lineTop(c.y);
    const int32_t vBar = vScroll.visible ? kBarThickness : 0;
    const int32_t hBar = hScroll.visible ? kBarThickness : 0;
    if (x + 20 > c.x - scrollX) {
        scrollX = std::max(0, c.x - (x + 20));
    } else {
        const int32_t right = x + width - 20 - vBar;
        if (right < c.x - scrollX) scrollX = std::max(0, c.x - right);
    }
    if (y + 20 > top - scrollY) {
        scrollY = std::max(0, top - (y + 20));
    } else {
        const int32_t bottom = y + height - 20 - hBar;
        if (bottom < top + metrics.height - scrollY)
            scrollY = std::max(0, top + metrics.height - bottom);
    }
    scrollY = roundToLine(scrollY);
    if (wordWrap) scrollX = 0;
    auto [W, H] = contentExtent();
    scrollX = std::clamp(scrollX, 0, maxScrollX(W, width - vBar));
    scrollY = std::clamp(scrollY, 0, roundToLine(std::max(0, H + hBar - height)));
    if (multiline) updateScrollbars();
}

// ---------------------------------------------------------------------------------------------
// Scrolling by moving pixels

SDL_Rect GuiTextCtrl::viewRect() const {
    return {x, y, width - (vScroll.visible ? kBarThickness : 0),
            height - (hScroll.visible ? kBarThickness : 0)};
}

GuiTextCtrl::TopSpan GuiTextCtrl::drawnTops(int32_t s, int32_t viewH) const {
    const int32_t lh = metrics.height;
    const int32_t up = std::max(0, s - 2);
    const int32_t down = std::max(0, viewH + s - lh - 2);
    return {y + 2 + (up + lh - 1) / lh * lh, y + 2 + down / lh * lh};
}

GuiTextCtrl::InkReach GuiTextCtrl::inkReach() const {
    InkReach reach;
    if (!face || !face->size || !FT_IS_SCALABLE(face) || metrics.height < 1) return reach;
    const FT_Size_Metrics& m = face->size->metrics;
    // Hinting may put a bitmap a pixel beyond the outline's box: two pixels to spare.
    constexpr int64_t kSpare = 2;
    const int64_t above = ((FT_MulFix(face->bbox.yMax, m.y_scale) + 63) >> 6) + kSpare;
    const int64_t below = ((FT_MulFix(-face->bbox.yMin, m.y_scale) + 63) >> 6) + kSpare;
    const int64_t wide = ((FT_MulFix(face->bbox.xMax - face->bbox.xMin, m.x_scale) + 63) >> 6);
    // A row's band runs from ascender above the baseline to height - ascender below it.
    reach.up = static_cast<int32_t>(std::clamp<int64_t>(above - metrics.ascender, 0, INT16_MAX));
    reach.down = static_cast<int32_t>(
        std::clamp<int64_t>(metrics.ascender + below - metrics.height, 0, INT16_MAX));
    reach.across = static_cast<int32_t>(std::clamp<int64_t>(wide + kSpare, 0, INT16_MAX));
    reach.known = true;
    return reach;
}

SDL_Rect GuiTextCtrl::caretContentRect() const {
    int32_t cx = x + kInset, cy = y + kInset;
    if (glyphTotal > 0) {
        const CaretPoint p = caretGlyphPoint();
        cx = p.x;
        cy = p.y - metrics.ascender;
    }
    return {cx, cy - 3, kCaretWidth, metrics.height};
}

GuiTextCtrl::ViewBefore GuiTextCtrl::viewBefore() const {
    return {
        scrollX,  scrollY, viewRect(), caretContentRect(), caretActive, hasFocus && hasSelection(),
        selStart, selEnd};
}

void GuiTextCtrl::showChange(const ViewBefore& b, int64_t changedTop) {
    const SDL_Rect view = viewRect();
    const InkReach ink = inkReach();
    const int32_t lh = metrics.height;
    const bool selectionShown = hasFocus && hasSelection();
    const bool sameSelection = selectionShown == b.selectionShown &&
                               (!selectionShown || (selStart == b.selStart && selEnd == b.selEnd));
    // Moving needs the window's coordinates (a child of the window itself), an unchanged view
    // and a face whose ink is known.
    ZazOvadir* engine = ZazOvadir::current();
    if (!multiline || !window || parent != window || !engine || lh < 1 || !ink.known ||
        !sameSelection || !SDL_RectEquals(&b.view, &view) || view.w < 1 || view.h < 1) {
        invalidate();
        return;
    }
    dirty = true;
    engine->scheduleRedraw();
    GuiWindow* win = window;
    win->movePixels(this, view, b.scrollX - scrollX, b.scrollY - scrollY);
    // Screen rows [top, bottom) across the view.
    const auto band = [&](int64_t top, int64_t bottom) {
        top = std::max<int64_t>(top, view.y);
        bottom = std::min<int64_t>(bottom, int64_t(view.y) + view.h);
        if (top < bottom)
            win->addDamage({view.x, static_cast<int>(top), view.w, static_cast<int>(bottom - top)});
    };
    // The rows whose content tops lie in [t0, t1], with all their ink. Row tops lie on a grid
    // of line heights from the first row's.
    const int64_t grid = int64_t(y) + 2;
    const auto rows = [&](int64_t t0, int64_t t1) {
        t0 += ((grid - t0) % lh + lh) % lh;
        t1 -= ((t1 - grid) % lh + lh) % lh;
        if (t0 <= t1) band(t0 - scrollY - ink.up, t1 + lh + ink.down - scrollY);
    };
    // Only rows wholly inside the view are drawn: those shown before or now but not both differ
    // from what moved.
    const TopSpan was = drawnTops(b.scrollY, view.h), now = drawnTops(scrollY, view.h);
    rows(was.first, std::min<int64_t>(was.last, int64_t(now.first) - 1));
    rows(std::max<int64_t>(was.first, int64_t(now.last) + 1), was.last);
    rows(now.first, std::min<int64_t>(now.last, int64_t(was.first) - 1));
    rows(std::max<int64_t>(now.first, int64_t(was.last) + 1), now.last);
    if (changedTop != kNoRowChanged) band(changedTop - scrollY - ink.up, INT64_MAX);
    // Glyphs are drawn while their cell meets the view: one leaving it on the left may have
    // reached right beyond its cell into what moved.
    if (b.scrollX != scrollX)
        win->addDamage({view.x, view.y, std::min(ink.across, view.w), view.h});
    // The caret where it was, moved along, and where it is.
    if (b.caretShown) damageShown(b.caret);
    if (caretActive) damageShown(caretContentRect());
    // The bars and their corner, apart: damage that meets is joined into the box around it.
    win->addDamage({x + view.w, y, width - view.w, view.h});
    win->addDamage({x, y + view.h, width, height - view.h});
}

// ---------------------------------------------------------------------------------------------
// Hit testing and words

size_t GuiTextCtrl::firstGlyphWithTopAtLeast(int64_t top) const {
    return firstGlyphAtOrBelow(top + metrics.ascender + 3);
}

size_t GuiTextCtrl::firstGlyphAtOrBelow(int64_t baseline) const {
    // Baselines never decrease along the text, so rows follow from arithmetic.
    return firstGlyphOfRow(firstRowAtOrBelow(baseline));
}

int32_t GuiTextCtrl::indexAt(int px, int py) const {
    const int32_t total = textCodePoints;
    if (glyphTotal == 0) return total;
    const int64_t qx = int64_t(px) + scrollX, qy = int64_t(py) + scrollY;
    const size_t first = firstGlyphWithTopAtLeast(qy - metrics.height);
    if (first >= size_t(glyphTotal)) return total;
    const Glyph firstGlyph = glyphAt(int32_t(first));
    if (lineTop(firstGlyph.y) > qy) return total;
    const int32_t lineY = firstGlyph.y;
    // The first glyph whose midpoint lies right of the point; else the line's last glyph.
    int64_t hit = -1;
    size_t k = first;
    Glyph last = firstGlyph;
    forEachGlyphFrom(first, [&](size_t i, const Glyph& g, const Glyph* next) {
        if (g.y != lineY) return false;
        const int64_t mid = next ? (int64_t(g.x) + next->x) / 2 : int64_t(g.x) + g.width / 2;
        if (mid > qx) {
            hit = int64_t(i);
            return false;
        }
        k = i;
        last = g;
        return true;
    });
    if (hit >= 0) return static_cast<int32_t>(std::min<int64_t>(hit, total));
    int64_t answer;
    if (last.codePoint == 10)
        answer = int64_t(k);
    else if (!wordWrap || k + 1 == size_t(glyphTotal))
        answer = int64_t(k) + 1;
    else
        answer = int64_t(k);
    return static_cast<int32_t>(std::min<int64_t>(answer, total));
}

namespace {

bool isSeparator(uint32_t cp) {
    constexpr uint64_t kMask = 0x8C007387FFFFFFFFull;
    return cp < 64 && ((kMask >> cp) & 1u);
}

}  // namespace

std::pair<int32_t, int32_t> GuiTextCtrl::wordRangeAt(int32_t index) const {
    if (glyphTotal == 0 || index < 0) return {0, 0};
    const int32_t count = glyphTotal;
    const int32_t i = std::min(index, count - 1);
    int32_t w = i;
    while (w >= 0 && isSeparator(glyphAt(w).codePoint))
        --w;
    if (w < 0) return {i, i};
    int32_t start = w;
    while (start > 0 && !isSeparator(glyphAt(start - 1).codePoint))
        --start;
    int32_t end = w + 1;
    while (end < count && !isSeparator(glyphAt(end).codePoint))
        ++end;
    return {start, end};
}

// ---------------------------------------------------------------------------------------------
// Caret

void GuiTextCtrl::update(uint32_t now) {
    ZazOvadir* engine = window ? window->engine : nullptr;
    if (!engine) return;
    const bool target =
        engine->activeEditable == static_cast<IEditable*>(this) && engine->keyboardFocused;
    if (target == caretActive) {
        caretPendingSince = 0;
    } else if (caretPendingSince == 0) {
        caretPendingSince = now ? now : 1;
    } else if (now - caretPendingSince >= 50) {
        caretActive = target;
        caretPendingSince = 0;
        if (caretActive) {
            caretOn = true;
            caretToggleTime = now;
            caretResetTime = now - 1000;
        }
        invalidate();
    }
    if (!caretActive || selStart != selEnd) return;
    // Blinking resumes a second after the last activity, then toggles every 500 ms; the blink
    // keeps time also while the caret is out of view.
    if (now - caretResetTime > 999) {
        if (now - caretToggleTime < 500) return;
        caretOn = !caretOn;
        caretToggleTime = now;
        caretShownOrHidden();
    } else if (!caretOn) {
        caretOn = true;
        caretShownOrHidden();
    }
}

void GuiTextCtrl::caretShownOrHidden() {
    // Only the caret's cells change: the control draws any part of itself exactly.
    ZazOvadir* engine = ZazOvadir::current();
    if (!window || !engine || metrics.height < 1) {
        invalidate();
        return;
    }
    dirty = true;
    damageShown(caretContentRect());
    engine->scheduleRedraw();
}

void GuiTextCtrl::damageShown(const SDL_Rect& content) {
    const SDL_Rect view = viewRect();
    const SDL_Rect shown{content.x - scrollX, content.y - scrollY, content.w, content.h};
    SDL_Rect part;
    if (SDL_IntersectRect(&shown, &view, &part)) window->addDamage(part);
}

uint32_t GuiTextCtrl::msUntilDue(uint32_t now) {
    ZazOvadir* engine = window ? window->engine : nullptr;
    if (!engine) return kNoDeadline;
    const bool target =
        engine->activeEditable == static_cast<IEditable*>(this) && engine->keyboardFocused;
    if (target != caretActive)
        return caretPendingSince == 0 ? 0 : msUntil(caretPendingSince + 50, now);
    if (!caretActive || selStart != selEnd) return kNoDeadline;
    if (now - caretResetTime <= 999 && !caretOn) return 0;
    // Blinking resumes a second after the last activity, then toggles every 500 ms.
    return std::max(msUntil(caretResetTime + 1000, now), msUntil(caretToggleTime + 500, now));
}
