// The text control's event handling: mouse presses, drags and releases (text and scroll
// bars), the wheel, text input, and the plain and Ctrl key tables with the clipboard.
#include "text/TextCtrl.h"

#include "core/Engine.h"
#include "core/Window.h"
#include "text/Utf8.h"
#include "util/IntClamp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool ctrlHeld(uint16_t mod) {
    return (mod & KMOD_CTRL) != 0;
}

}  // namespace

void GuiTextCtrl::handleEvent(GuiEvent& e) {
    if (e.kind != GuiEvent::Input || !e.sdl) return;
    // The text is copied only when the event first changes it: a pointer moving over a long
    // log must not copy the whole log.
    inEvent = true;
    textBeforeEvent.reset();
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            handleMouseDown(s.button);
            break;
        case SDL_MOUSEMOTION:
            handleMouseMotion(s.motion);
            break;
        case SDL_MOUSEBUTTONUP:
            handleMouseUp(s.button);
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(s.wheel);
            break;
        case SDL_TEXTINPUT:
            handleTextInput(s.text);
            break;
        case SDL_KEYDOWN:
            handleKey(s.key);
            break;
        default:
            break;
    }
    inEvent = false;
    const bool changed = textBeforeEvent && *textBeforeEvent != text;
    textBeforeEvent.reset();
    if (changed && onChange) onChange();
}

void GuiTextCtrl::noteEdit() {
    if (inEvent && !textBeforeEvent) textBeforeEvent = text;
}

void GuiTextCtrl::caretReset() {
    caretResetTime = guiTicks();
    caretOn = true;
}

// ---------------------------------------------------------------------------------------------
// Mouse

void GuiTextCtrl::handleMouseDown(const SDL_MouseButtonEvent& b) {
    if (b.button != SDL_BUTTON_LEFT) return;
    hasFocus = true;
    ZazOvadir* engine = window && window->engine ? window->engine : ZazOvadir::current();
    if (engine) engine->activeEditable = this;
    if (pressOnScrollbar(b.x, b.y)) return;
    const uint32_t now = guiTicks();
    const bool doubleClick = now - lastClickTime <= 399 && std::abs(b.x - lastClickX) <= 3 &&
                             std::abs(b.y - lastClickY) <= 3;
    lastClickTime = now;
    lastClickX = b.x;
    lastClickY = b.y;
    const int32_t i = indexAt(b.x, b.y);
    if (doubleClick) {
        auto [start, end] = wordRangeAt(i);
        setSelectionIndices(start, end);
        cursor = end;
        wordSelecting = true;
        caretReset();
        normalizeSelection();
    } else {
        setSelectionIndices(i, i);
        cursor = i;
        wordSelecting = false;
        caretReset();
    }
    invalidate();
}

bool GuiTextCtrl::pressOnScrollbar(int px, int py) {
    const int32_t lh = metrics.height;
    if (vScroll.visible && vScroll.thumbContains(px, py)) {
        scrollbarPressed = true;
        vScroll.beginDrag(py);
        return true;
    }
    if (vScroll.visible && vScroll.trackContains(px, py)) {
        scrollbarPressed = true;
        const int32_t page = std::max(1, (hScroll.visible ? height - kBarThickness : height) - lh);
        scrollY = vScroll.pageTarget(py, scrollY, page);
        invalidate();
        updateScrollbars();
        return true;
    }
    if (hScroll.visible && hScroll.thumbContains(px, py)) {
        scrollbarPressed = true;
        hScroll.beginDrag(px);
        return true;
    }
    if (hScroll.visible && hScroll.trackContains(px, py)) {
        scrollbarPressed = true;
        const int32_t page =
            std::max(1, (vScroll.visible ? width - kBarThickness : width) - kTabAdvance);
        scrollX = hScroll.pageTarget(px, scrollX, page);
        invalidate();
        updateScrollbars();
        return true;
    }
    return false;
}

void GuiTextCtrl::handleMouseMotion(const SDL_MouseMotionEvent& m) {
    if (vScroll.dragging) {
        const int32_t H = contentExtent().second;
        const int32_t V = vScroll.track.h;
        const int32_t M = roundToLine(std::max(0, H - V));
        scrollY = roundToLine(vScroll.dragPosition(m.y, H, V, M));
        invalidate();
        updateScrollbars();
        return;
    }
    if (hScroll.dragging) {
        const int32_t viewW = hScroll.track.w;
        scrollX =
            hScroll.dragPosition(m.x, viewW + maxScrollX(contentExtent().first, viewW), viewW, -1);
        invalidate();
        updateScrollbars();
        return;
    }
    if (!hasFocus || !(m.state & SDL_BUTTON_LMASK)) return;
    autoScrollToPointer(m.x, m.y);
    selEnd = indexAt(m.x, m.y);
    selByteEnd = byteOf(selEnd);
    caretReset();
    invalidate();
}

void GuiTextCtrl::handleMouseUp(const SDL_MouseButtonEvent& b) {
    if (b.button == SDL_BUTTON_LEFT) {
        vScroll.dragging = hScroll.dragging = false;
        if (scrollbarPressed) {
            scrollbarPressed = false;
            return;
        }
    }
    if (wordSelecting) {
        wordSelecting = false;
        return;
    }
    selEnd = indexAt(b.x, b.y);
    selByteEnd = byteOf(selEnd);
    normalizeSelection();
    cursor = selEnd;
    invalidate();
}

void GuiTextCtrl::autoScrollToPointer(int px, int py) {
    const int32_t lh = metrics.height;
    if (lh < 1) return;
    auto [W, H] = contentExtent();
    const int32_t viewW = width - (vScroll.visible ? kBarThickness : 0);
    const int32_t viewH = height - (hScroll.visible ? kBarThickness : 0);
    const int32_t oldX = scrollX, oldY = scrollY;
    auto lineStep = [lh](int64_t d) {
        return int32_t(d > 7 ? std::min<int64_t>(d / 8, 4) : 1) * lh;
    };
    if (py <= y + 23) {
        scrollY = std::max(0, scrollY - lineStep(int64_t(y) + 24 - py));
    } else if (py >= y + viewH - 23) {
        const int32_t maxY =
            roundToLine(std::max(0, H + (hScroll.visible ? kBarThickness : 0) - height));
        scrollY =
            std::min(maxY, clampToInt(int64_t(scrollY) + lineStep(int64_t(py) - (y + viewH - 24))));
    }
    if (px <= x + 23) {
        const int64_t d = int64_t(x) + 24 - px;
        scrollX = std::max(0, scrollX - int32_t(d < 16 ? 4 : std::min<int64_t>(d / 4, 40)));
    } else if (px >= x + viewW - 23) {
        const int64_t d = int64_t(px) - (x + viewW - 24);
        const int32_t step = int32_t(d > 15 ? std::min<int64_t>(d / 4, 40) : 4);
        scrollX = std::min(maxScrollX(W, viewW), clampToInt(int64_t(scrollX) + step));
    }
    scrollY = roundToLine(scrollY);
    if (scrollX == oldX && scrollY == oldY) return;
    invalidate();
    if (multiline) updateScrollbars();
}

void GuiTextCtrl::handleWheel(const SDL_MouseWheelEvent& w) {
    if (!multiline) return;
    const ViewBefore before = viewBefore();
    const int64_t step = metrics.height < 1 ? 16 : metrics.height;
    scrollY = clampToInt(int64_t(scrollY) - int64_t(w.y) * step);
    if (w.x != 0)
        scrollX = clampToInt(int64_t(scrollX) + int64_t(w.x) * -40);
    else if (SDL_GetModState() & KMOD_SHIFT)
        scrollX = clampToInt(int64_t(scrollX) + int64_t(w.y) * -40);
    updateScrollbars();
    showChange(before, kNoRowChanged);
}

// ---------------------------------------------------------------------------------------------
// Text input and editing helpers

void GuiTextCtrl::insertAtCursor(const std::string& s) {
    const size_t at = static_cast<size_t>(byteOf(cursor));
    noteEdit();
    text.insert(at, s);
    noteSplice(at, 0, s.size());
    cursor = clampToInt(int64_t(cursor) + countCodePoints(s));
}

void GuiTextCtrl::eraseCodePointAt(int32_t index) {
    const size_t from = static_cast<size_t>(byteOf(index));
    if (from >= text.size()) return;
    const Utf8Step step = decodeUtf8(text.data() + from, text.size() - from);
    noteEdit();
    const size_t length = static_cast<size_t>(std::max(step.length, 1));
    text.erase(from, length);
    noteSplice(from, length, 0);
}

void GuiTextCtrl::handleTextInput(const SDL_TextInputEvent& t) {
    if (readOnly || !hasFocus || ctrlHeld(SDL_GetModState())) return;
    deleteSelection();
    insertAtCursor(std::string(t.text, strnlen(t.text, sizeof t.text)));
    layoutEdited();
    ensureCaretVisible();
    clearSelection();
    invalidate();
}

void GuiTextCtrl::paste() {
    char* clip = SDL_GetClipboardText();
    if (clip && *clip) {
        std::string s(clip);
        deleteSelection();
        if (!multiline) {
            std::replace(s.begin(), s.end(), '\n', ' ');
            std::replace(s.begin(), s.end(), '\r', ' ');
        }
        insertAtCursor(s);
        layoutEdited();
        clearSelection();
        invalidate();
    }
    SDL_free(clip);
}

// ---------------------------------------------------------------------------------------------
// Keys

void GuiTextCtrl::handleKey(const SDL_KeyboardEvent& k) {
    if (!hasFocus) return;
    // Caret moves and scrolls are damaged once the key is done: a scroll moves the view's
    // pixels. Edits and selections invalidate the whole control.
    const ViewBefore before = viewBefore();
    inKey = true;
    if (ctrlHeld(k.keysym.mod))
        handleCtrlKey(k.keysym.sym);
    else
        handlePlainKey(k.keysym.sym, (k.keysym.mod & KMOD_SHIFT) != 0);
    inKey = false;
    showChange(before, kNoRowChanged);
}

void GuiTextCtrl::handleCtrlKey(SDL_Keycode key) {
    const int32_t lh = metrics.height;
    switch (key) {
        case SDLK_c: {
            std::string s = selectedText();
            if (!s.empty()) SDL_SetClipboardText(s.c_str());
            return;
        }
        case SDLK_x: {
            if (readOnly) return;
            std::string s = selectedText();
            if (s.empty()) return;
            SDL_SetClipboardText(s.c_str());
            deleteSelection();
            return;
        }
        case SDLK_v:
            if (!readOnly) paste();
            return;
        case SDLK_a:
            if (text.empty()) return;
            selStart = selByteStart = 0;
            selEnd = cursor = textCodePoints;
            selByteEnd = static_cast<int32_t>(text.size());
            return;
        case SDLK_HOME:
            ensureCaretVisible();
            return;
        case SDLK_END:
            scrollX = scrollY = 0;
            break;
        case SDLK_RIGHT:
            scrollX = clampToInt(int64_t(scrollX) + 1);
            break;
        case SDLK_LEFT:
            scrollX = std::max(0, scrollX - 1);
            break;
        case SDLK_UP:
            if (lh < 1) return;
            scrollY = roundToLine(std::max(0, scrollY - lh));
            break;
        case SDLK_DOWN: {
            if (lh < 1) return;
            const int64_t lastY = glyphTotal == 0 ? 0 : lastGlyph().y;
            const int64_t limit = std::max<int64_t>(0, lastY - metrics.descender + 10 - height - y);
            scrollY = roundToLine(clampToInt(std::min(limit, int64_t(scrollY) + lh)));
            break;
        }
        default:
            return;
    }
    lookChanged();
    updateScrollbars();
}

void GuiTextCtrl::moveOrExtend(int32_t target, bool shift) {
    if (shift) {
        if (selStart == -1 || selEnd == -1) {
            selStart = cursor;
            selByteStart = byteOf(cursor);
        }
        cursor = selEnd = target;
        selByteEnd = byteOf(target);
        return;
    }
    cursor = target;
    clearSelection();
    lookChanged();
}

int32_t GuiTextCtrl::lineHomeTarget() const {
    const size_t caretIndex = std::min(static_cast<size_t>(cursor), size_t(glyphTotal) - 1);
    const int64_t caretY = glyphAt(int32_t(caretIndex)).y;
    const size_t first = firstGlyphAtOrBelow(caretY - 1);
    return first <= caretIndex ? static_cast<int32_t>(first) : 0;
}

int32_t GuiTextCtrl::lineEndTarget() const {
    const size_t caretIndex = std::min(static_cast<size_t>(cursor), size_t(glyphTotal) - 1);
    const int64_t caretY = glyphAt(int32_t(caretIndex)).y;
    const size_t past = firstGlyphAtOrBelow(caretY + 2);
    if (past == 0) return textCodePoints;
    const size_t k = past - 1;
    int64_t target;
    if (glyphAt(int32_t(k)).codePoint == 10)
        target = k;
    else if (wordWrap && k + 1 != size_t(glyphTotal))
        target = k;
    else
        target = k + 1;
    return static_cast<int32_t>(std::min<int64_t>(target, textCodePoints));
}

GuiTextCtrl::CaretPoint GuiTextCtrl::caretLinePoint() const {
    if (static_cast<size_t>(cursor) < size_t(glyphTotal)) {
        const Glyph g = glyphAt(cursor);
        return {g.x, g.y};
    }
    const Glyph last = lastGlyph();
    if (last.codePoint == 10) return {x + kInset, last.y + metrics.height};
    return {last.x + last.width, last.y};
}

int32_t GuiTextCtrl::targetOnLine(int32_t lineY, int32_t caretX) const {
    int32_t best = -1;
    int64_t bestDistance = INT64_MAX;
    forEachGlyphFrom(firstGlyphAtOrBelow(int64_t(lineY) - 1),
                     [&](size_t i, const Glyph& g, const Glyph*) {
                         if (int64_t(g.y) > int64_t(lineY) + 1) return false;
                         const int64_t d = std::llabs(int64_t(g.x) - caretX);
                         if (d < bestDistance) {
                             bestDistance = d;
                             best = static_cast<int32_t>(i);
                         }
                         return true;
                     });
    return best < 0 ? -1 : std::min(best, textCodePoints);
}

bool GuiTextCtrl::moveVertically(int32_t deltaY, bool shift) {
    const CaretPoint c = caretLinePoint();
    const int32_t target = targetOnLine(clampToInt(int64_t(c.y) + deltaY), c.x);
    if (target < 0) return false;
    moveOrExtend(target, shift);
    return true;
}

void GuiTextCtrl::pageMove(bool down, bool shift) {
    const int32_t lh = metrics.height;
    const int32_t n = height - 40 <= 0 ? 1 : std::max(1, (height - 40) / lh);
    const int32_t delta = clampToInt(int64_t(n) * lh);
    const CaretPoint c = caretLinePoint();
    int32_t target = targetOnLine(clampToInt(int64_t(c.y) + (down ? delta : -int64_t(delta))), c.x);
    if (target < 0) target = down ? textCodePoints : 0;
    moveOrExtend(target, shift);
    const int64_t limit =
        std::max<int64_t>(0, int64_t(lastGlyph().y) - metrics.descender + 10 - y - height);
    const int64_t moved = int64_t(scrollY) + (down ? delta : -int64_t(delta));
    scrollY = roundToLine(clampToInt(std::max<int64_t>(0, std::min(limit, moved))));
    ensureCaretVisible();
    caretReset();
}

void GuiTextCtrl::handlePlainKey(SDL_Keycode key, bool shift) {
    const int32_t lh = metrics.height;
    bool show = false;  // Show: ensureCaretVisible before the caret reset
    switch (key) {
        case SDLK_LEFT:
            moveOrExtend(std::max(0, cursor - 1), shift);
            show = true;
            break;
        case SDLK_RIGHT:
            if (cursor < textCodePoints) moveOrExtend(cursor + 1, shift);
            show = true;
            break;
        case SDLK_HOME:
            if (glyphTotal == 0) break;
            moveOrExtend(lineHomeTarget(), shift);
            show = true;
            break;
        case SDLK_END:
            if (glyphTotal == 0) break;
            moveOrExtend(lineEndTarget(), shift);
            show = true;
            break;
        case SDLK_UP:
        case SDLK_DOWN: {
            if (glyphTotal == 0) break;
            const bool up = key == SDLK_UP;
            if (moveVertically(up ? -lh : lh, shift)) caretReset();
            const Glyph g =
                glyphAt(int32_t(std::min(static_cast<size_t>(cursor), size_t(glyphTotal) - 1)));
            const int64_t top = int64_t(g.y) - metrics.ascender;
            if (up && top - scrollY <= y + 19) {
                scrollY = roundToLine(std::max(0, scrollY - lh));
            } else if (!up && int64_t(y) + height - 19 <= top + lh - scrollY) {
                const int64_t limit = std::max<int64_t>(
                    0, int64_t(lastGlyph().y) - metrics.descender + 10 - y - height);
                scrollY = roundToLine(clampToInt(std::min(int64_t(scrollY) + lh, limit)));
            }
            show = true;
            break;
        }
        case SDLK_PAGEUP:
        case SDLK_PAGEDOWN:
            if (glyphTotal == 0 || lh < 1) break;
            pageMove(key == SDLK_PAGEDOWN, shift);
            break;
        case SDLK_RETURN:
            if (!multiline || readOnly) break;
            deleteSelection();
            insertAtCursor("\n");
            layoutEdited();
            show = true;
            break;
        case SDLK_TAB:
            if (readOnly) break;
            deleteSelection();
            insertAtCursor("\t");
            layoutEdited();
            clearSelection();
            invalidate();
            show = true;
            break;
        case SDLK_BACKSPACE:
            if (readOnly || deleteSelection() || cursor <= 0) break;
            eraseCodePointAt(cursor - 1);
            --cursor;
            layoutEdited();
            ensureCaretVisible();
            clearSelection();
            invalidate();
            break;
        case SDLK_DELETE:
            if (readOnly) break;
            show = true;
            if (deleteSelection() || cursor >= textCodePoints) break;
            eraseCodePointAt(cursor);
            layoutEdited();
            clearSelection();
            invalidate();
            break;
        default:
            break;
    }
    if (show) ensureCaretVisible();
    caretReset();
}
