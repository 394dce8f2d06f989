// The text control lays out only the lines it shows or edits and knows the rest by their
// extent: scroll bars, edits, caret movement and selections far from what was laid out must
// behave exactly as with the whole text laid out.
#include "support/GlyphExtent.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <random>
#include <string>

namespace {

// Lines "Zeile N" with every seventh one long enough to wrap and tabs in between.
std::string numberedLines(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        s += "Zeile " + std::to_string(i);
        if (i % 7 == 3) s += "\tmit einem langen Anhang, der im schmalen Feld umbrechen muss";
        s += '\n';
    }
    return s;
}

class LazyLayout : public testing::Test {
protected:
    void SetUp() override {
        SDL_SetModState(KMOD_NONE);
        win = app.openMain(700, 400);
        ASSERT_NE(win, nullptr);
        ASSERT_NE(app.getFtFace(), nullptr);
    }
    GuiTextCtrl* make(uint32_t flags, const std::string& text, int w = 300, int h = 100) {
        auto* t = new GuiTextCtrl(nullptr, 5, 20, 30, w, h, SDL_Color{255, 255, 255, 255},
                                  app.getFtFace(), flags);
        win->root->addChild(t);
        t->setText(text);
        win->root->setFocus(t);
        return t;
    }
    // A control laid out from scratch with the same text, size and scroll position.
    std::unique_ptr<GuiTextCtrl> fresh(const GuiTextCtrl& t, uint32_t flags) {
        auto f =
            std::make_unique<GuiTextCtrl>(nullptr, 6, t.x, t.y, t.width, t.height,
                                          SDL_Color{255, 255, 255, 255}, app.getFtFace(), flags);
        f->setText(t.text);
        f->scrollX = t.scrollX;
        f->scrollY = t.scrollY;
        f->updateScrollbars();
        return f;
    }
    void expectSameAsFresh(const GuiTextCtrl& t, uint32_t flags, const char* what) {
        auto f = fresh(t, flags);
        EXPECT_EQ(t.allGlyphs(), f->allGlyphs()) << what;
        EXPECT_EQ(t.contentExtent(), extentOf(t)) << what;
        EXPECT_EQ(t.contentExtent(), f->contentExtent()) << what;
        EXPECT_EQ(t.rowCount(), f->rowCount()) << what;
        EXPECT_EQ(t.vScroll.visible, f->vScroll.visible) << what;
        EXPECT_EQ(t.hScroll.visible, f->hScroll.visible) << what;
        if (t.vScroll.visible) {
            EXPECT_TRUE(SDL_RectEquals(&t.vScroll.track, &f->vScroll.track)) << what;
            EXPECT_TRUE(SDL_RectEquals(&t.vScroll.thumb, &f->vScroll.thumb)) << what;
        }
        if (t.hScroll.visible) EXPECT_TRUE(SDL_RectEquals(&t.hScroll.thumb, &f->hScroll.thumb));
    }
    void key(SDL_Keycode k, uint16_t mod = 0) {
        route(app, keyEvent(SDL_KEYDOWN, win->windowId, k, mod));
    }
    void type(const char* s) { route(app, textInput(win->windowId, s)); }
    // Index of the first code point of line n of numberedLines.
    static int32_t lineStart(const GuiTextCtrl& t, int n) {
        size_t at = 0;
        for (int i = 0; i < n; ++i)
            at = t.text.find('\n', at) + 1;
        return int32_t(at);  // the sample is ASCII: bytes are code points
    }

    TestApp app;
    AppWindow* win = nullptr;
};

constexpr uint32_t kPlain = TEXT_MULTILINE;
constexpr uint32_t kWrap = TEXT_MULTILINE | TEXT_WORDWRAP;

TEST_F(LazyLayout, FirstDrawLaysOutOnlyTheVisibleLines) {
    for (uint32_t flags : {kPlain, kWrap}) {
        GuiTextCtrl* t = make(flags, numberedLines(5000), 400, 200);
        EXPECT_EQ(t->laidOutLines().first, 0u) << "setting the text lays out nothing";
        EXPECT_TRUE(t->vScroll.visible);
        t->draw(win->sdlRenderer());
        const size_t visible = size_t(200 / t->lineHeight()) + 1;
        EXPECT_GT(t->laidOutLines().first, 0u);
        EXPECT_LE(t->laidOutLines().first, visible) << "flags " << flags;
        // Scrolling through everything keeps only a bounded set of lines laid out.
        for (int step = 0; step < 600; ++step) {
            route(app, mouseWheel(win->windowId, 100, 80, -10));
            t->draw(win->sdlRenderer());
        }
        EXPECT_GT(t->scrollY, 4000 * t->lineHeight());
        EXPECT_LE(t->laidOutLines().first, 1024u);
        EXPECT_LE(t->laidOutLines().second, size_t(1) << 17);
        t->destroy();
        app.frames(1);
    }
}

TEST_F(LazyLayout, ExtentAndScrollBarsStayExactThroughSetAppendAndEdits) {
    for (uint32_t flags : {kPlain, kWrap}) {
        GuiTextCtrl* t = make(flags, numberedLines(300));
        expectSameAsFresh(*t, flags, "after set");
        // The last line becomes the widest, then narrower by a pixel: Vera's '!' reaches two
        // pixels past its advance until the line break after it takes over the right edge.
        t->appendText(std::string(120, '!'));
        expectSameAsFresh(*t, flags, "after appending the widest line");
        const int32_t widest = t->contentExtent().first;
        t->appendText("\n");
        expectSameAsFresh(*t, flags, "after ending the widest line");
        if (flags == kPlain) EXPECT_EQ(t->contentExtent().first, widest - 1);
        t->appendText("\n\nneue Zeile\n");
        expectSameAsFresh(*t, flags, "after appending lines");
        // Typing and deleting far below anything laid out so far.
        t->cursor = lineStart(*t, 250);
        type("Eingefügt und lang genug, dass die Zeile im schmalen Feld umbricht");
        expectSameAsFresh(*t, flags, "after typing far down");
        for (int i = 0; i < 3; ++i)
            key(SDLK_RETURN);
        key(SDLK_BACKSPACE);
        expectSameAsFresh(*t, flags, "after breaking the line");
        t->selStart = lineStart(*t, 10);
        t->selEnd = lineStart(*t, 200);
        key(SDLK_DELETE);
        expectSameAsFresh(*t, flags, "after deleting 190 lines");
        t->setText("");
        expectSameAsFresh(*t, flags, "after emptying");
        EXPECT_EQ(t->contentExtent(), std::make_pair(0, 0));
        t->destroy();
        app.frames(1);
    }
}

TEST_F(LazyLayout, CaretAndSelectionMoveAcrossLinesNeverLaidOut) {
    GuiTextCtrl* t = make(kPlain, numberedLines(3000));
    t->draw(win->sdlRenderer());
    t->cursor = lineStart(*t, 2000);
    key(SDLK_DOWN);
    key(SDLK_DOWN);
    EXPECT_EQ(t->cursor, lineStart(*t, 2002));
    EXPECT_GT(t->scrollY, 1900 * t->lineHeight()) << "the caret was scrolled into view";
    key(SDLK_END);
    EXPECT_EQ(t->cursor, lineStart(*t, 2003) - 1) << "before the line break";
    key(SDLK_HOME);
    key(SDLK_DOWN, KMOD_LSHIFT);
    key(SDLK_DOWN, KMOD_LSHIFT);
    EXPECT_EQ(t->selectedText(), "Zeile 2002\nZeile 2003\n");
    key(SDLK_PAGEDOWN);
    const int32_t page = (t->height - 40) / t->lineHeight();
    EXPECT_EQ(t->glyphAt(t->cursor).y, t->glyphAt(lineStart(*t, 2004)).y + page * t->lineHeight());
    // A click on the second visible line lands on that line, laid out or not.
    const int32_t firstShown = t->scrollY / t->lineHeight();
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, win->windowId, 22, t->y + 2 + t->lineHeight() + 5));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, win->windowId, 22, t->y + 2 + t->lineHeight() + 5));
    EXPECT_EQ(t->cursor, lineStart(*t, firstShown + 1));
    // A double click selects the word under the pointer.
    for (int i = 0; i < 2; ++i)
        route(app, mouseButton(SDL_MOUSEBUTTONDOWN, win->windowId, 30, t->y + 2 + 5));
    EXPECT_EQ(t->selectedText(), "Zeile");
}

TEST_F(LazyLayout, CaretMovesByRowsThroughWrappedLines) {
    GuiTextCtrl* t = make(kWrap, numberedLines(2000));
    t->cursor = lineStart(*t, 1004);
    int32_t rows = 0;
    int32_t lastY = t->glyphAt(t->cursor).y;
    while (t->cursor < lineStart(*t, 1005)) {
        key(SDLK_DOWN);
        const int32_t y = t->glyphAt(t->cursor).y;
        ASSERT_EQ(y, lastY + t->lineHeight()) << "one row at a time";
        lastY = y;
        ++rows;
    }
    EXPECT_GE(rows, 3) << "the long line wraps into at least three rows";
    EXPECT_EQ(t->cursor, lineStart(*t, 1005));
    expectSameAsFresh(*t, kWrap, "after moving");
}

TEST_F(LazyLayout, ResizeChangesTheWrapWidthOnlyOnRelayout) {
    GuiTextCtrl* t = make(kWrap, numberedLines(400), 400, 150);
    const auto wide = fresh(*t, kWrap);
    t->draw(win->sdlRenderer());
    t->resize(win->sdlRenderer(), 200, 150);
    // Until relayout the glyphs keep the width they were laid out for, also lines that are
    // laid out only now.
    const int32_t wrappedEnd = lineStart(*t, 396) - 1;  // line 395 is long enough to wrap
    EXPECT_EQ(t->glyphAt(wrappedEnd), wide->glyphAt(wrappedEnd));
    t->relayout();
    expectSameAsFresh(*t, kWrap, "after narrowing");
    EXPECT_GT(t->rowCount(), wide->rowCount());
    t->resize(win->sdlRenderer(), 600, 150);
    t->relayout();
    expectSameAsFresh(*t, kWrap, "after widening");
    EXPECT_LT(t->rowCount(), wide->rowCount());
}

// Random edits at random places, some in lines laid out before, most in lines never laid
// out, each compared with the whole text laid out afresh.
TEST_F(LazyLayout, RandomEditsMatchAFreshLayout) {
    const char* pieces[] = {"a",    "Wort ", "\n", "\t",         "\xC3\xA4",
                            "\xC3", "\xA4",  "!",  "\n\nzwei\n", "lang genug zum Umbrechen "};
    std::mt19937 rng(7);
    for (uint32_t flags : {kPlain, kWrap}) {
        GuiTextCtrl* t = make(flags, numberedLines(80));
        std::string model = t->text;
        for (int step = 0; step < 150; ++step) {
            t->draw(win->sdlRenderer());
            t->cursor = int32_t(rng() % uint32_t(t->codePointCount() + 1));
            const int32_t c = t->cursor, n = t->codePointCount();
            // What the edit does to the text, from offsets counted from its start.
            auto eraseAt = [&](int32_t index) {
                const size_t from = size_t(byteOffsetOf(model, index));
                model.erase(from,
                            size_t(std::max(
                                decodeUtf8(model.data() + from, model.size() - from).length, 1)));
            };
            const char* piece = pieces[rng() % std::size(pieces)];
            switch (rng() % 5) {
                case 0:
                case 1:
                    type(piece);
                    model.insert(size_t(byteOffsetOf(model, c)), piece);
                    break;
                case 2:
                    key(SDLK_BACKSPACE);
                    if (c > 0) eraseAt(c - 1);
                    break;
                case 3:
                    key(SDLK_DELETE);
                    if (c < n) eraseAt(c);
                    break;
                default: {
                    const int32_t end = std::min(n, c + int32_t(rng() % 300));
                    t->selStart = c;
                    t->selEnd = end;
                    type(piece);
                    const size_t from = size_t(byteOffsetOf(model, c));
                    if (end > c) model.erase(from, size_t(byteOffsetOf(model, end)) - from);
                    model.insert(from, piece);
                    break;
                }
            }
            ASSERT_EQ(t->text, model) << "step " << step;
            auto f = fresh(*t, flags);
            ASSERT_EQ(t->allGlyphs(), f->allGlyphs()) << "step " << step << " flags " << flags;
            ASSERT_EQ(t->codePointCount(), f->codePointCount()) << "step " << step;
            ASSERT_EQ(t->rowCount(), f->rowCount()) << "step " << step;
            ASSERT_EQ(t->contentExtent(), f->contentExtent()) << "step " << step;
            ASSERT_EQ(t->contentExtent(), extentOf(*t)) << "step " << step;
        }
        t->destroy();
        app.frames(1);
    }
}

}  // namespace
