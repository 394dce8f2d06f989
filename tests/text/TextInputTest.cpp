// Keyboard, mouse, wheel and clipboard handling of the text control, driven by real SDL
// events through a headless window.
#include "support/TestApp.h"
#include "text/TextCtrl.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

std::string clipboard() {
    char* c = SDL_GetClipboardText();
    std::string s = c ? c : "";
    SDL_free(c);
    return s;
}

class TextInput : public testing::Test {
protected:
    void SetUp() override {
        SDL_SetModState(KMOD_NONE);
        win = app.openMain(700, 400);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(app.getFtFace(), nullptr);
    }
    GuiTextCtrl* make(int flags, const std::string& text, SDL_Rect r = {20, 30, 300, 100}) {
        auto* t = new GuiTextCtrl(nullptr, 5, r.x, r.y, r.w, r.h, SDL_Color{255, 255, 255, 255},
                                  app.getFtFace(), flags);
        win->root->addChild(t);
        t->setText(text);
        t->onChange = [this] { ++changes; };
        win->root->setFocus(t);
        return t;
    }
    void key(SDL_Keycode k, uint16_t mod = 0) {
        route(app, keyEvent(SDL_KEYDOWN, win->windowId, k, mod));
    }
    void type(const char* s) { route(app, textInput(win->windowId, s)); }
    void press(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONDOWN, win->windowId, x, y)); }
    void release(int x, int y) { route(app, mouseButton(SDL_MOUSEBUTTONUP, win->windowId, x, y)); }
    void drag(int x, int y) {
        SDL_Event e = mouseMotion(win->windowId, x, y);
        e.motion.state = SDL_BUTTON_LMASK;
        route(app, e);
    }
    // Window point in the middle of glyph i.
    static SDL_Point at(const GuiTextCtrl* t, size_t i) {
        const Glyph g = t->glyphAt(i);
        return {g.x + g.width / 2 - 1 - t->scrollX, g.y - 4 - t->scrollY};
    }

    TestApp app;
    AppWindow* win = nullptr;
    int changes = 0;
};

TEST_F(TextInput, TypingAndEditingKeys) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, "abc");
    t->cursor = 1;
    type("X\xC3\xA4");  // one event, two code points
    EXPECT_EQ(t->text,
              "aX\xC3\xA4"
              "bc");
    EXPECT_EQ(t->cursor, 3);
    EXPECT_EQ(changes, 1);
    key(SDLK_BACKSPACE);
    EXPECT_EQ(t->text, "aXbc");
    key(SDLK_DELETE);
    EXPECT_EQ(t->text, "aXc");
    key(SDLK_RETURN);
    key(SDLK_TAB);
    EXPECT_EQ(t->text, "aX\n\tc");
    EXPECT_EQ(t->cursor, 4);
    EXPECT_EQ(changes, 5) << "once per changing event";
    // Broken bytes typed in stay one code point each and keep indices in step.
    type("\xE2\x82");
    EXPECT_EQ(t->cursor, 6);
    EXPECT_EQ(t->glyphCount(), t->codePointCount());
    key(SDLK_BACKSPACE);
    key(SDLK_BACKSPACE);
    EXPECT_EQ(t->text, "aX\n\tc");
}

TEST_F(TextInput, ReadOnlyAndUnfocusedControlsTakeNoEdits) {
    GuiTextCtrl* t = make(TEXT_MULTILINE | TEXT_READONLY, "log");
    t->cursor = 3;
    type("x");
    for (SDL_Keycode k : {SDLK_RETURN, SDLK_TAB, SDLK_BACKSPACE, SDLK_DELETE})
        key(k);
    key(SDLK_a, KMOD_LCTRL);
    SDL_SetClipboardText("paste");
    key(SDLK_v, KMOD_LCTRL);
    key(SDLK_x, KMOD_LCTRL);
    EXPECT_EQ(t->text, "log");
    EXPECT_EQ(t->selEnd, 3) << "Ctrl+A works in a read-only control";
    GuiTextCtrl* other = make(0, "abc", {20, 200, 200, 22});
    win->root->setFocus(t);
    route(app, textInput(win->windowId, "z"));
    EXPECT_EQ(other->text, "abc");
    EXPECT_EQ(changes, 0);
}

TEST_F(TextInput, MovementKeysAndSelectionEdges) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, "abc\ndefgh\nij");
    t->cursor = 0;
    key(SDLK_LEFT, KMOD_LSHIFT);
    EXPECT_EQ(t->selStart, 0);
    EXPECT_EQ(t->selEnd, 0) << "Shift+Left at 0 makes the empty selection";
    key(SDLK_RIGHT, KMOD_LSHIFT);
    key(SDLK_RIGHT, KMOD_LSHIFT);
    EXPECT_EQ(t->selectedText(), "ab");
    key(SDLK_LEFT);
    EXPECT_EQ(t->cursor, 1);
    EXPECT_EQ(t->selStart, -1);
    key(SDLK_END);
    EXPECT_EQ(t->cursor, 3) << "End stops before the line break";
    key(SDLK_DOWN);
    EXPECT_EQ(t->cursor, 7) << "nearest glyph on the next line";
    key(SDLK_HOME, KMOD_RSHIFT);
    EXPECT_EQ(t->selectedText(), "def");
    key(SDLK_DOWN);
    key(SDLK_DOWN);
    const int32_t onLast = t->cursor;
    EXPECT_GE(onLast, 10);
    key(SDLK_DOWN);
    EXPECT_EQ(t->cursor, onLast) << "Down on the last line stays";
    key(SDLK_UP);
    key(SDLK_PAGEDOWN);
    EXPECT_EQ(t->cursor, 12) << "Page Down without a line below goes to the end";
    key(SDLK_LEFT, KMOD_LSHIFT);
    key(SDLK_RIGHT, KMOD_LSHIFT);
    EXPECT_EQ(t->selStart, 12);
    EXPECT_EQ(t->selEnd, 12);
    t->selStart = 9;
    t->selByteStart = 9;
    key(SDLK_RIGHT);
    EXPECT_EQ(t->selStart, 9) << "Right at the end keeps the selection";
    key(SDLK_PAGEUP);
    EXPECT_EQ(t->cursor, 0);
    EXPECT_EQ(changes, 0) << "movement never reports a change";
}

TEST_F(TextInput, ClipboardKeys) {
    GuiTextCtrl* t = make(0, "eins zwei");
    key(SDLK_a, KMOD_LCTRL);
    key(SDLK_c, KMOD_LCTRL);
    EXPECT_EQ(clipboard(), "eins zwei");
    EXPECT_EQ(changes, 0) << "copying is no change";
    key(SDLK_x, KMOD_RCTRL);
    EXPECT_EQ(t->text, "");
    EXPECT_EQ(changes, 1);
    key(SDLK_v, KMOD_LCTRL);
    key(SDLK_v, KMOD_LCTRL);
    EXPECT_EQ(t->text, "eins zweieins zwei");
    EXPECT_EQ(t->cursor, 18);
    EXPECT_EQ(changes, 3);
    SDL_SetClipboardText("");
    key(SDLK_v, KMOD_LCTRL);
    EXPECT_EQ(changes, 3) << "an empty clipboard pastes nothing";
}

TEST_F(TextInput, PastingCarriageReturnLineFeed) {
    struct Case {
        int flags;
        std::string expected;
    };
    for (const Case& c : {Case{0, "a  b"}, Case{TEXT_MULTILINE, "a\r\nb"}}) {
        GuiTextCtrl* t = make(c.flags, "");
        SDL_SetClipboardText("a\r\nb");
        key(SDLK_v, KMOD_LCTRL);
        EXPECT_EQ(t->text, c.expected) << "flags " << c.flags;
        EXPECT_EQ(t->cursor, 4);
    }
}

TEST_F(TextInput, PasswordFieldsCopyNothing) {
    GuiTextCtrl* t = make(TEXT_PASSWORD, "geheim");
    SDL_SetClipboardText("vorher");
    key(SDLK_a, KMOD_LCTRL);
    key(SDLK_c, KMOD_LCTRL);
    key(SDLK_x, KMOD_LCTRL);
    EXPECT_EQ(clipboard(), "vorher");
    EXPECT_EQ(t->text, "geheim");
    EXPECT_FALSE(t->deleteSelection());
    // Typing over a selection does not delete it; the text goes in at the caret.
    t->cursor = 2;
    t->selStart = 0;
    t->selEnd = 6;
    type("X");
    EXPECT_EQ(t->text, "geXheim");
    EXPECT_EQ(t->selStart, -1);
}

TEST_F(TextInput, TypingOverASelectionReplacesIt) {
    GuiTextCtrl* t = make(0, "Hallo Welt");
    t->cursor = 6;
    key(SDLK_END, KMOD_LSHIFT);
    type("Mond");
    EXPECT_EQ(t->text, "Hallo Mond");
    EXPECT_EQ(changes, 1);
}

TEST_F(TextInput, DoubleClickSelectsAWordAndReleaseKeepsIt) {
    GuiTextCtrl* t = make(0, "eins, zwei  drei");
    // The time between clicks is set through the control's record of the last click, so a
    // loaded machine cannot stretch a double click or shorten a pause.
    auto lastClickAgo = [&](uint32_t ms) { t->lastClickTime = SDL_GetTicks() - ms; };
    const SDL_Point p = at(t, 7);  // inside "zwei"
    press(p.x, p.y);
    release(p.x, p.y);
    EXPECT_EQ(t->cursor, 7);
    lastClickAgo(0);
    press(p.x, p.y);
    release(p.x, p.y);
    EXPECT_EQ(t->selectedText(), "zwei");
    EXPECT_EQ(t->cursor, 10);
    lastClickAgo(400);  // one millisecond too late: a single click
    press(p.x, p.y);
    release(p.x, p.y);
    EXPECT_EQ(t->selectedText(), "");
    EXPECT_EQ(t->cursor, 7);
    // On the run of spaces after a word, the word before is taken.
    const SDL_Point q = at(t, 11);
    press(q.x, q.y);
    lastClickAgo(0);
    press(q.x, q.y);
    release(q.x, q.y);
    EXPECT_EQ(t->selectedText(), "zwei");
    type("vier");
    EXPECT_EQ(t->text, "eins, vier  drei");
}

TEST_F(TextInput, WordRanges) {
    GuiTextCtrl* t = make(0, ", a#b-cd  ");
    struct Case {
        int32_t index, start, end;
    };
    const Case cases[] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 5},  {4, 2, 5}, {5, 2, 5},
                          {6, 6, 8}, {9, 6, 8}, {99, 6, 8}, {-1, 0, 0}};
    for (const Case& c : cases) {
        auto [s, e] = t->wordRangeAt(c.index);
        EXPECT_EQ(s, c.start) << c.index;
        EXPECT_EQ(e, c.end) << c.index;
    }
}

TEST_F(TextInput, IndexAtPoints) {
    GuiTextCtrl* t = make(TEXT_MULTILINE, "ab\ncd");
    const Glyph a = t->glyphAt(0);
    const Glyph b = t->glyphAt(1);
    const int lh = t->lineHeight();
    struct Case {
        const char* what;
        int x, y;
        int32_t index;
    };
    const Case cases[] = {
        {"left of the first glyph", 0, a.y - 2, 0},
        {"right half of a", (a.x + b.x) / 2 + 1, a.y - 2, 1},
        {"past the line end: before the break", 290, a.y - 2, 2},
        {"second line end", 290, a.y + lh - 2, 5},
        {"above the text", 25, 0, 5},
        {"below the text", 25, 129, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t->indexAt(c.x, c.y), c.index) << c.what;
}

TEST_F(TextInput, DragSelectionScrollsAtTheEdge) {
    std::string many;
    for (int i = 0; i < 30; ++i)
        many += "Zeile " + std::to_string(i) + "\n";
    GuiTextCtrl* t = make(TEXT_MULTILINE, many);
    ASSERT_TRUE(t->vScroll.visible);
    const SDL_Point p = at(t, 0);
    press(p.x, p.y);
    for (int i = 0; i < 5; ++i)
        drag(p.x + 30, t->y + t->height - 14);
    EXPECT_GT(t->scrollY, 0) << "dragging at the bottom edge scrolls";
    EXPECT_EQ(t->scrollY % t->lineHeight(), 0);
    release(p.x + 30, t->y + t->height - 14);
    EXPECT_EQ(t->selStart, 0);
    EXPECT_GT(t->selEnd, 10);
    EXPECT_EQ(t->cursor, t->selEnd);
}

TEST_F(TextInput, ScrollBarTrackPagesWithoutTouchingTheSelection) {
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "Zeile\n";
    GuiTextCtrl* t = make(TEXT_MULTILINE, many);
    t->cursor = 3;
    t->selStart = 1;
    t->selEnd = 3;
    ASSERT_TRUE(t->vScroll.visible);
    const SDL_Rect track = t->vScroll.track;
    press(track.x + 5, track.y + track.h - 3);
    EXPECT_EQ(t->scrollY, t->height - t->lineHeight()) << "one page, the thumb lay above";
    release(track.x + 5, track.y + track.h - 3);
    EXPECT_EQ(t->selStart, 1);
    EXPECT_EQ(t->selEnd, 3);
    EXPECT_EQ(t->cursor, 3);
    // Dragging the thumb to the end reaches the largest offset, never more.
    const SDL_Rect thumb = t->vScroll.thumb;
    press(thumb.x + 5, thumb.y + 2);
    drag(thumb.x + 5, thumb.y + 5000);
    const auto [w, h] = t->contentExtent();
    const int maxY = (h - t->height) / t->lineHeight() * t->lineHeight();
    EXPECT_EQ(t->scrollY, maxY);
    release(thumb.x + 5, thumb.y + 5000);
    EXPECT_FALSE(t->vScroll.dragging);
}

TEST_F(TextInput, WheelScrollsAndWordWrapUndoesSideways) {
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "Zeile\n";
    GuiTextCtrl* t = make(TEXT_MULTILINE | TEXT_WORDWRAP, many);
    route(app, mouseWheel(win->windowId, 50, 50, -2));
    EXPECT_EQ(t->scrollY, 2 * t->lineHeight());
    SDL_Event side = mouseWheel(win->windowId, 50, 50, 0);
    side.wheel.x = -3;
    route(app, side);
    key(SDLK_RIGHT, KMOD_LCTRL);
    EXPECT_EQ(t->scrollX, 0) << "word wrap keeps the view at the left";
    route(app, mouseWheel(win->windowId, 50, 50, 1000000000));
    EXPECT_EQ(t->scrollY, 0) << "huge wheel steps are clamped";
    EXPECT_EQ(changes, 0);
}

// Typing at the end of a line wider than the field scrolls so far that the caret and the last
// glyph stay inside the field, single- and multi-line.
TEST_F(TextInput, CaretStaysInsideAtTheEndOfALongLine) {
    int top = 30;
    for (int flags : {0, int(TEXT_MULTILINE)}) {
        SCOPED_TRACE(flags);
        GuiTextCtrl* t = make(flags, "", {20, top, 120, 40});
        top += 60;
        for (int i = 0; i < 40; ++i)
            type("W");
        ASSERT_GT(t->scrollX, 0);
        const Glyph last = t->glyphAt(t->glyphCount() - 1);
        const int caretX = last.x + last.width - t->scrollX;
        const int viewRight = t->x + t->width - (t->vScroll.visible ? 12 : 0);
        EXPECT_LE(caretX + GuiTextCtrl::kCaretWidth, viewRight);
        // Drawn: the caret's two columns are black at the height of the line.
        t->caretActive = true;
        t->caretResetTime = SDL_GetTicks();
        std::vector<SDL_Color> px;
        app.beforePresent = [&](AppWindow* w) {
            for (int dx : {0, 1})
                px.push_back(readPixel(w->sdlRenderer(), caretX + dx, last.y - 4 - t->scrollY));
        };
        app.renderWindow(win);
        app.beforePresent = nullptr;
        ASSERT_EQ(px.size(), 2u);
        for (SDL_Color c : px)
            EXPECT_TRUE(sameColor(c, SDL_Color{0, 0, 0, 255}));
        // Home scrolls back to the start as before.
        key(SDLK_HOME);
        EXPECT_EQ(t->scrollX, 0);
    }
}

TEST_F(TextInput, CaretFollowsTheEngineAfterADebounce) {
    GuiTextCtrl* t = make(0, "abc");
    app.keyboardFocused = true;
    ASSERT_EQ(app.activeEditable, static_cast<IEditable*>(t));
    const uint32_t now = 5000;
    t->update(now);
    EXPECT_FALSE(t->caretActive) << "the change waits 50 ms";
    t->update(now + 49);
    EXPECT_FALSE(t->caretActive);
    t->update(now + 50);
    EXPECT_TRUE(t->caretActive);
    EXPECT_EQ(t->caretResetTime, now + 50 - 1000) << "blinking starts at once";
    app.keyboardFocused = false;
    t->update(now + 100);
    t->update(now + 150);
    EXPECT_FALSE(t->caretActive);
    // A flicker shorter than the debounce changes nothing.
    app.keyboardFocused = true;
    t->update(now + 200);
    app.keyboardFocused = false;
    t->update(now + 260);
    EXPECT_FALSE(t->caretActive);
    EXPECT_EQ(t->caretPendingSince, 0u);
}

TEST_F(TextInput, ChangesInsideOneEventReportOnceOrNotAtAll) {
    GuiTextCtrl* t = make(0, "abc");
    key(SDLK_a, KMOD_LCTRL);
    SDL_SetClipboardText("abc");
    key(SDLK_v, KMOD_LCTRL);  // replaces the text with the same bytes
    EXPECT_EQ(t->text, "abc");
    EXPECT_EQ(changes, 0);
    SDL_SetClipboardText("xyz");
    key(SDLK_a, KMOD_LCTRL);
    key(SDLK_v, KMOD_LCTRL);  // a deletion and an insertion: one report
    EXPECT_EQ(changes, 1);
    for (int i = 0; i < 3; ++i)
        drag(30 + i, 40);
    EXPECT_EQ(changes, 1);
}

// Random keys, broken bytes, clicks, drags and huge wheel turns in every mode: indices,
// glyphs and byte offsets must stay in step and nothing may read past the text.
TEST_F(TextInput, RandomInputKeepsTheModelConsistent) {
    std::mt19937 rng(7);
    const SDL_Keycode keys[] = {SDLK_LEFT,   SDLK_RIGHT, SDLK_UP,        SDLK_DOWN,
                                SDLK_HOME,   SDLK_END,   SDLK_PAGEUP,    SDLK_PAGEDOWN,
                                SDLK_RETURN, SDLK_TAB,   SDLK_BACKSPACE, SDLK_DELETE,
                                SDLK_a,      SDLK_c,     SDLK_x,         SDLK_v};
    const uint16_t mods[] = {0, KMOD_LSHIFT, KMOD_LCTRL, KMOD_LCTRL | KMOD_LSHIFT};
    const uint32_t flagSets[] = {0, TEXT_MULTILINE, TEXT_MULTILINE | TEXT_READONLY, TEXT_PASSWORD,
                                 TEXT_MULTILINE | TEXT_WORDWRAP};
    for (uint32_t flags : flagSets) {
        GuiTextCtrl* t =
            make(flags, "Anfang \xC3\x28 \xE2\x82\n\tzweite Zeile mit Wörtern", {20, 30, 160, 60});
        for (int step = 0; step < 1500; ++step) {
            switch (rng() % 6) {
                case 0:
                    key(keys[rng() % std::size(keys)], mods[rng() % std::size(mods)]);
                    break;
                case 1: {
                    char bytes[8];
                    const int n = 1 + int(rng() % 7);
                    for (int i = 0; i < n; ++i)
                        bytes[i] = char(1 + rng() % 255);  // NUL ends the text
                    bytes[n] = 0;
                    type(bytes);
                    break;
                }
                case 2:
                    press(int(rng() % 260) - 30, int(rng() % 160));
                    break;
                case 3:
                    drag(int(rng() % 300) - 60, int(rng() % 200) - 40);
                    break;
                case 4:
                    release(int(rng() % 260) - 30, int(rng() % 160));
                    break;
                default: {
                    SDL_Event w =
                        mouseWheel(win->windowId, 60, 50, rng() % 2 ? INT32_MAX : -int(rng() % 5));
                    w.wheel.x = rng() % 3 ? 0 : INT32_MIN;
                    route(app, w);
                }
            }
            const int32_t n = t->codePointCount();
            ASSERT_EQ(n, countCodePoints(t->text));
            const size_t trailing = !t->password && !t->text.empty() && t->text.back() == '\n';
            ASSERT_EQ(size_t(t->glyphCount()), size_t(n) + trailing) << "flags " << flags;
            ASSERT_GE(t->cursor, 0);
            ASSERT_LE(t->cursor, n);
            ASSERT_GE(t->scrollX, 0);
            ASSERT_GE(t->scrollY, 0);
            ASSERT_LE(t->selByteStart, int32_t(t->text.size()));
            ASSERT_LE(t->selByteEnd, int32_t(t->text.size()));
            t->selectedText();
            t->draw(win->sdlRenderer());
        }
    }
}

}  // namespace
