// Lines are measured from flat tables where their characters allow it (ASCII and Latin-1),
// with and without word wrap: the scroll bars' extent and the rows must be exactly what laying
// out every glyph gives, on the real font at several sizes, and lines the tables cannot take
// go the general way.
#include "core/Handles.h"
#include "support/GlyphExtent.h"
#include "support/TestApp.h"
#include "text/TextCtrl.h"
#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string utf8(uint32_t cp) {
    if (cp < 0x80) return std::string(1, char(cp));
    return {char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))};
}

constexpr uint32_t kWrap = TEXT_MULTILINE | TEXT_WORDWRAP;

class Measure : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(app.getFtFace(), nullptr); }

    // The font the toolkit uses, at another pixel size.
    FtFacePtr faceAt(int pixels) {
        FT_Face f = nullptr;
        if (FT_New_Face(app.getFtFace()->glyph->library, "data/fonts/Vera.ttf", 0, &f) != 0)
            return nullptr;
        FT_Select_Charmap(f, FT_ENCODING_UNICODE);
        FT_Set_Pixel_Sizes(f, 0, FT_UInt(pixels));
        return FtFacePtr(f);
    }
    static std::unique_ptr<GuiTextCtrl> editor(FT_Face face, uint32_t flags = TEXT_MULTILINE,
                                               int width = 300) {
        return std::make_unique<GuiTextCtrl>(nullptr, 1, 10, 20, width, 100,
                                             SDL_Color{255, 255, 255, 255}, face, flags);
    }
    // The text measured through the tables and laid out glyph by glyph gives the same extent
    // and counts; and so does a control that asks FreeType directly for every glyph.
    static void expectExact(GuiTextCtrl& t, const std::string& s, bool direct, const char* what) {
        t.setText(s);
        ASSERT_EQ(t.contentExtent(), extentOf(t)) << what << " [" << s << "]";
        EXPECT_EQ(t.codePointCount(), countCodePoints(s)) << what;
        if (!direct) return;
        GuiTextCtrl::useGlyphCache = false;
        auto d = editor(t.face, t.wordWrap ? kWrap : TEXT_MULTILINE, t.width);
        d->setText(s);
        GuiTextCtrl::useGlyphCache = true;
        EXPECT_EQ(t.contentExtent(), d->contentExtent()) << what << " [" << s << "]";
        EXPECT_EQ(t.rowCount(), d->rowCount()) << what << " [" << s << "]";
        EXPECT_EQ(t.glyphCount(), d->glyphCount()) << what;
    }

    TestApp app;
};

TEST_F(Measure, EveryPrintablePairMeasuresAsLaidOut) {
    // Printable ASCII at the toolkit's size and others; Latin-1 as well at the toolkit's size.
    std::vector<uint32_t> ascii, latin;
    for (uint32_t c = 32; c < 127; ++c)
        ascii.push_back(c);
    latin = ascii;
    for (uint32_t c = 0xA0; c <= 0xFF; ++c)
        latin.push_back(c);
    struct Size {
        FT_Face face;
        const std::vector<uint32_t>* chars;
    };
    std::vector<FtFacePtr> own;
    std::vector<Size> sizes{{app.getFtFace(), &latin}};
    for (int px : {9, 11, 20, 32}) {
        own.push_back(faceAt(px));
        ASSERT_NE(own.back(), nullptr) << "data/fonts/Vera.ttf is staged for the tests";
        sizes.push_back({own.back().get(), &ascii});
    }
    for (const Size& size : sizes) {
        auto t = editor(size.face);
        for (uint32_t a : *size.chars) {
            for (uint32_t b : *size.chars)
                expectExact(*t, utf8(a) + utf8(b), false, "pair");
            if (HasFailure()) return;
        }
    }
}

TEST_F(Measure, MixedLinesMeasureAsLaidOut) {
    std::string everyLatin;  // more distinct characters than the tables hold
    for (uint32_t c = 32; c <= 0xFF; ++c)
        if (c < 127 || c >= 0xA0) everyLatin += utf8(c);
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"kerning pairs", "AVAWAY Ta To Te LT Yo"},
        {"no kerning across a space or tab", "A V\tA\tV"},
        {"umlauts and sharp s", "Größe über Äpfel Weiß"},
        {"no-break space and Latin-1 signs", "A\xC2\xA0V \xC2\xAB\xC2\xBB \xC3\x97"},
        {"euro sign: general path", "Preis 5 \xE2\x82\xAC AV"},
        {"broken lead byte", "AV \xC3( Te"},
        {"stray continuation byte", "To\x80Te"},
        {"overlong line break keeps kerning", "A\xC0\x8AV"},
        {"lead byte at the end of the text", "AV\xC3"},
        {"control characters", "A\rV\x01T"},
        {"tab at the start and the end", "\tTo\t"},
        {"every printable Latin-1 character", everyLatin},
        {"several lines, the widest in the middle", "kurz\nAVAVAVAV WWWW\xC3\xA4\nTo\n"},
        {"final line break", "Te\n"},
        {"words wrap", "Ein Satz aus Worten, die umbrechen, mit AVAWAY und To Te."},
        {"a word longer than a row breaks", "Donaudampfschifffahrtsgesellschaft ja"},
        {"spaces overhang the limit", "Wort            Wort\tWort\t\t\tWort"},
        {"a tab before a long word", "a\tWWWWWWWWWWWWWWWW b"},
        {"umlauts across rows",
         "\xC3\x9C"
         "bergr\xC3\xB6\xC3\x9F"
         "e \xC3\xA4\xC3\xB6\xC3\xBC "
         "\xC3\x84\xC3\x96\xC3\x9C \xC3\x9F\xC3\x9F\xC3\x9F"},
    };
    // Without wrap, and wrapped at several widths (the narrowest holds a few glyphs a row).
    for (int width : {0, 40, 60, 120}) {
        auto e = width ? editor(app.getFtFace(), kWrap, width) : editor(app.getFtFace());
        for (const auto& c : cases)
            expectExact(*e, c.text, true, c.what);
    }
}

TEST_F(Measure, TheWidestLineIsFoundAmongBoundedLines) {
    // Without word wrap most lines are only bounded; the widest must still be the exact one.
    // Each case puts a line whose bound misleads first, so that it is tried first.
    const FtFacePtr own = faceAt(24);  // a size where some pairs kern apart
    ASSERT_NE(own, nullptr);
    FT_Face face = own.get();
    auto kerning = [&](char a, char b) {
        FT_Vector d{0, 0};
        FT_Get_Kerning(face, FT_Get_Char_Index(face, FT_ULong(a)),
                       FT_Get_Char_Index(face, FT_ULong(b)), FT_KERNING_DEFAULT, &d);
        return d.x >> 6;
    };
    ASSERT_GT(kerning('-', 'O'), 0) << "the cases need pairs that kern apart";
    ASSERT_GT(kerning('O', '-'), 0);
    FT_Vector dashUmlaut{0, 0};
    FT_Get_Kerning(face, FT_Get_Char_Index(face, '-'), FT_Get_Char_Index(face, 0xD6),
                   FT_KERNING_DEFAULT, &dashUmlaut);
    ASSERT_GT(dashUmlaut.x >> 6, 0);
    ASSERT_EQ(kerning('F', 'o'), -1) << "one line one pixel narrower than the other";
    ASSERT_EQ(kerning('o', 'F'), 0);
    auto times = [](const std::string& s, int n) {
        std::string r;
        for (int i = 0; i < n; ++i)
            r += s;
        return r;
    };
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"negative kerning: the largest bound is not the widest",
         times("AV", 12) + "\n" + times("A", 12) + times("V", 12) + "\n"},
        {"positive kerning: widest only by kerning",
         times("-", 12) + times("O", 12) + "\n" + times("-O", 12) + "\nkurz"},
        {"more bytes, narrower", times("i", 40) + "\n" + times("W", 14) + "\n" + times("l", 30)},
        {"positive kerning with Latin-1 letters",
         times("-", 12) + times("\xC3\x96", 12) + "\n" + times("-\xC3\x96", 12) + "\n"},
        {"the same glyphs one kerning pixel apart; the line break reaches past its pen",
         "Fo\noF\n"},
        {"tabs", "xxxxxxxx\n\t\t\tx\n\t\txx"},
        {"equal lines", "Fenster Zeile\nFenster Zeile\n"},
        {"the widest line last, without a line break", "abc\nabcd\nabcde"},
        {"only line breaks", "\n\n\n"},
        {"umlauts and broken UTF-8 measured exactly among bounded lines",
         "aaaaaaaaaaa\n\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\nWW\xC3(WWW\n"
         "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\nTo\x80Te"},
        {"a glyph reaching past its advance ends the widest line", "ff\nf\xC2\xA0\nfj\nj"},
    };
    auto t = editor(face);
    for (const auto& c : cases) {
        expectExact(*t, c.text, true, c.what);
        // Appending lines measures only those that can beat the widest edge known.
        t->appendText("\n" + times("-O", 13));
        EXPECT_EQ(t->contentExtent(), extentOf(*t)) << c.what << " and appended";
        t->appendText("\nkurz");
        EXPECT_EQ(t->contentExtent(), extentOf(*t)) << c.what << " and appended";
    }
}

TEST_F(Measure, RandomLinesMeasureAsLaidOut) {
    const char* pieces[] = {"A",
                            "V",
                            "T",
                            "o",
                            "e",
                            "W",
                            "a",
                            "y",
                            ".",
                            ",",
                            "!",
                            "1",
                            " ",
                            "\t",
                            "f",
                            "j",
                            "\r",
                            "\n",
                            "\xC3\xA4",
                            "\xC3\x9F",
                            "\xC2\xA0",
                            "\xC2\xBF",
                            "\xE2\x82\xAC",
                            "\xC3",
                            "\x80",
                            "\xC0\x8A"};
    std::mt19937 rng(18);
    for (int width : {0, 40, 60, 120}) {
        auto t = width ? editor(app.getFtFace(), kWrap, width) : editor(app.getFtFace());
        std::string all;
        for (int round = 0; round < 300; ++round) {
            std::string s;
            const int n = 1 + int(rng() % 32);
            for (int k = 0; k < n; ++k)
                s += pieces[rng() % std::size(pieces)];
            expectExact(*t, s, round % 10 == 0, "random text");
            all += s;
        }
        expectExact(*t, all, true, "all random texts at once");
    }
}

}  // namespace
