// Glyph layout against the real face: tabs, line breaks, password bullets, word wrap, and
// the cached layout compared with the uncached one.
#include "support/TestApp.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class TextLayout : public testing::Test {
protected:
    void SetUp() override {
        face = app.getFtFace();
        ASSERT_NE(face, nullptr) << "font missing from the run directory";
    }
    std::unique_ptr<GuiTextCtrl> make(int flags, int w = 300, int h = 100, int x = 10, int y = 20) {
        return std::make_unique<GuiTextCtrl>(nullptr, 1, x, y, w, h, SDL_Color{255, 255, 255, 255},
                                             face, flags);
    }
    int advance(uint32_t cp) {
        FT_Load_Glyph(face, FT_Get_Char_Index(face, cp), FT_LOAD_RENDER);
        return int(face->glyph->advance.x >> 6);
    }
    TestApp app;
    FT_Face face = nullptr;
};

TEST_F(TextLayout, TabsLineBreaksAndTheTrailingLineGlyph) {
    auto t = make(TEXT_MULTILINE);
    const int asc = t->ascender(), lh = t->lineHeight();
    t->setText("a\tb\n");
    ASSERT_EQ(t->glyphCount(), 5) << "one glyph per code point plus the empty last line";
    const Glyph tab = t->glyphAt(1);
    EXPECT_EQ(tab.codePoint, 9u);
    EXPECT_EQ(tab.width, 40);
    EXPECT_EQ(tab.x, 10 + 5 + advance('a'));
    EXPECT_EQ(tab.y, 20 + asc + 5);
    FT_Load_Glyph(face, FT_Get_Char_Index(face, 'b'), FT_LOAD_RENDER);
    EXPECT_EQ(t->glyphAt(2).x, tab.x + 40 + face->glyph->bitmap_left) << "no kerning after a tab";
    EXPECT_EQ(t->glyphAt(3).codePoint, 10u);
    EXPECT_EQ(t->glyphAt(3).width, 0);
    EXPECT_EQ(t->glyphAt(4), (Glyph{15, 20 + asc + 5 + lh, 0, 32}));

    t->setText("\n");
    ASSERT_EQ(t->glyphCount(), 2);
    EXPECT_EQ(t->glyphAt(0).codePoint, 10u);
    EXPECT_EQ(t->glyphAt(1).y, t->glyphAt(0).y + lh);
}

TEST_F(TextLayout, PasswordShowsBulletsForEverything) {
    auto t = make(TEXT_PASSWORD | TEXT_MULTILINE);
    EXPECT_FALSE(t->multiline);
    t->setText("a\tb\nc");
    ASSERT_EQ(t->glyphCount(), 5);
    for (const Glyph& g : t->allGlyphs()) {
        EXPECT_EQ(g.codePoint, 0x2022u);
        EXPECT_EQ(g.y, t->glyphAt(0).y) << "line breaks are never honoured";
    }
    std::string out;
    t->getValue(out);
    EXPECT_EQ(out, "a\tb\nc");
}

TEST_F(TextLayout, InvalidBytesGiveOneGlyphEach) {
    auto t = make(0);
    t->setText("\xC3\x28z\xE2\x82");
    ASSERT_EQ(t->glyphCount(), 5);
    EXPECT_EQ(t->glyphAt(0).codePoint, 0xFFFDu);
    EXPECT_EQ(t->glyphAt(1).codePoint, uint32_t('('));
    EXPECT_EQ(t->codePointCount(), 5);
}

// Lines of a layout as strings of code points (ASCII only), split where the baseline changes.
std::vector<std::string> linesOf(const GuiTextCtrl& t) {
    std::vector<std::string> lines;
    int lastY = INT32_MIN;
    for (const Glyph& g : t.allGlyphs()) {
        if (g.y != lastY) lines.emplace_back(), lastY = g.y;
        lines.back() += char(g.codePoint);
    }
    return lines;
}

TEST_F(TextLayout, WordWrapCases) {
    const int aw = advance('a');
    const int space = advance(' ');
    struct Case {
        const char* what;
        std::string text;
        int width;  // control width; wrap limit is x + 5 + width - 22
        std::vector<std::string> lines;
    };
    // The wrap limit lies inside the second word: it moves down whole.
    const int twoWords = 22 + 2 * aw + space + aw + aw / 2;
    // Room for exactly three letters per line.
    const int three = 22 + 3 * aw;
    const Case cases[] = {
        {"second word moves down", "aa aa", twoWords, {"aa ", "aa"}},
        {"long word is broken at every limit", "aaaaaaaa", three, {"aaa", "aaa", "aa"}},
        {"long word after a short one moves down, then breaks",
         "a aaaaaaa",
         three,
         {"a ", "aaa", "aaa", "a"}},
        {"spaces never wrap and overhang", "aaa      a", three, {"aaa      ", "a"}},
        {"line breaks start new lines", "aa\naa", three, {"aa\n", "aa"}},
    };
    for (const auto& c : cases) {
        auto t = make(TEXT_MULTILINE | TEXT_WORDWRAP, c.width);
        t->setText(c.text);
        EXPECT_EQ(linesOf(*t), c.lines) << c.what;
        // Every line starts at the left inset (moved words are shifted to it).
        int lastY = INT32_MIN;
        for (const Glyph& g : t->allGlyphs())
            if (g.y != lastY) {
                EXPECT_LE(g.x, 10 + 5 + 2) << c.what;
                lastY = g.y;
            }
    }
}

TEST_F(TextLayout, CachedLayoutEqualsDirectLayout) {
    const std::string sample =
        "Größere Übungen\tmit Kerning: AVAWAY Ta To Te \xC3\x28 und \xE2\x82\xAC.\n"
        "Zweite Zeile, die lang genug ist, um umzubrechen, wenn das Feld schmal ist.\n";
    for (int flags : {0, 1, 4, 9}) {
        auto cached = make(flags, 180);
        cached->setText(sample);
        GuiTextCtrl::useGlyphCache = false;
        auto direct = make(flags, 180);
        direct->setText(sample);
        GuiTextCtrl::useGlyphCache = true;
        EXPECT_EQ(cached->allGlyphs(), direct->allGlyphs()) << "flags " << flags;
    }
}

TEST_F(TextLayout, AppendingEqualsLayingOutEverything) {
    for (int flags : {3, 9 | 2}) {
        auto appended = make(flags, 200);
        auto whole = make(flags, 200);
        std::string all;
        const char* parts[] = {"Button: button1",
                               "\nZeile mit einigen Worten, die umbrechen",
                               " und weiter",
                               "\n",
                               "\n",
                               "letzte"};
        for (const char* p : parts) {
            appended->appendText(p);
            all += p;
            whole->setText(all);
            ASSERT_EQ(appended->allGlyphs(), whole->allGlyphs()) << "after appending " << p;
            EXPECT_EQ(appended->contentExtent(), whole->contentExtent());
        }
        EXPECT_EQ(appended->cursor, appended->codePointCount());
    }
}

TEST_F(TextLayout, TextHandedOverLaysOutAsACopy) {
    const std::string sample = "Zeile mit AVAWAY, die umbricht\n\xC3\xA4 zweite\tZeile\n";
    auto copied = make(9, 120);
    copied->setText(sample);
    auto moved = make(9, 120);
    int changes = 0;
    moved->onChange = [&] { ++changes; };
    std::string handed = sample;
    moved->setText(std::move(handed));
    EXPECT_EQ(moved->text, sample);
    EXPECT_EQ(moved->allGlyphs(), copied->allGlyphs());
    EXPECT_EQ(moved->contentExtent(), copied->contentExtent());
    EXPECT_EQ(moved->rowCount(), copied->rowCount());
    EXPECT_EQ(changes, 1);
    moved->setText(std::string(sample));  // the same text once more is no change
    EXPECT_EQ(changes, 1);
}

TEST_F(TextLayout, DebugLines) {
    auto t = make(0);
    t->setText("ab");
    t->cursor = 1;
    t->selStart = 0;
    t->selEnd = 1;
    t->selByteStart = 0;
    t->selByteEnd = 1;
    auto [one, two] = t->debugLines();
    EXPECT_STREQ(one, "CursorIndex 1   SelIndex 0:1   SelByte 0:1");
    EXPECT_STREQ(two, "Scroll 0:0   CP 98");
    t->cursor = 2;
    EXPECT_STREQ(t->debugLines().second, "Scroll 0:0   CP invalid");
}

TEST_F(TextLayout, WithoutAFaceNothingIsLaidOut) {
    GuiTextCtrl t(nullptr, 1, 0, 0, 100, 50, SDL_Color{255, 255, 255, 255}, nullptr, 1);
    t.setText("abc\ndef");
    t.appendText("\nmehr");
    EXPECT_EQ(t.glyphCount(), 0);
    EXPECT_EQ(t.indexAt(5, 5), t.codePointCount());
    t.ensureCaretVisible();
    t.updateScrollbars();
    EXPECT_FALSE(t.vScroll.visible);
    EXPECT_EQ(t.scrollY, 0);
}

}  // namespace
