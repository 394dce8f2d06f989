// Latin lines rasterised from FreeType must be exactly what SDL_ttf's blended rendering gives:
// the same size and the same alpha in every pixel, for the project's font and the other faces
// of its family, at many sizes, with an opaque and a translucent text colour.
// What the rasteriser cannot copy without shaping it must decline.
#include "core/Handles.h"
#include "support/TestApp.h"
#include "text/TtfLatin.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string utf8(uint32_t cp) {
    if (cp < 0x80) return std::string(1, char(cp));
    return {char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))};
}

// Lines that put every printable ASCII character before and after every other, Latin-1,
// kerning pairs, overhangs at both ends, lone spaces and a very long line.
std::vector<std::string> sampleLines() {
    std::vector<std::string> lines = {
        "Zeile 0",   "Größe 12",  "AVAVA To Wa Yo. Tr. F, L' r.", "jfj", " ", "  x  ",
        "ÄÖÜ äöü ß", "ÿ¡¿«»±µ¶·", "\xC2\xA0nbsp\xC2\xA0",         "T",   "f", "{[(|)]}"};
    for (int c = 0x20; c < 0x7F; ++c) {
        std::string line;
        for (int d = 0x20; d < 0x7F; ++d) {
            line += char(c);
            line += char(d);
        }
        lines.push_back(line);
    }
    std::string latin1;
    for (uint32_t c = 0xA0; c <= 0xFF; ++c)
        if (c != 0xAD) latin1 += utf8(c) + "T" + utf8(c);
    lines.push_back(latin1);
    lines.push_back(std::string(3000, 'W'));
    return lines;
}

class TtfLatin : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(app.getFtFace(), nullptr); }

    FtFacePtr faceOf(const std::string& file, int pixels) {
        FT_Face f = nullptr;
        if (FT_New_Face(app.getFtFace()->glyph->library, file.c_str(), 0, &f) != 0) return nullptr;
        FT_Select_Charmap(f, FT_ENCODING_UNICODE);
        FT_Set_Pixel_Sizes(f, 0, FT_UInt(pixels));
        return FtFacePtr(f);
    }

    // Every line rasterised both ways; the count of lines that differ, the first one reported.
    static int differences(TTF_Font* font, TtfLatinLines& lines, SDL_Color color,
                           const std::vector<std::string>& texts, const std::string& what) {
        int bad = 0;
        AlphaLine mine;
        for (const std::string& text : texts) {
            SdlSurfacePtr theirs(TTF_RenderUTF8_Blended(font, text.c_str(), color));
            EXPECT_TRUE(theirs && theirs->format->format == SDL_PIXELFORMAT_ARGB8888) << what;
            if (!theirs) return bad + 1;
            int measured = -1;
            EXPECT_TRUE(lines.measure(text, measured) && measured == theirs->w)
                << what << ": measured " << measured << " [" << text << "]";
            if (!lines.rasterise(text, color.a, mine)) {
                ADD_FAILURE() << what << ": declined [" << text << "]";
                return bad + 1;
            }
            bool same = mine.width == theirs->w && mine.height == theirs->h && mine.left == 0 &&
                        mine.columns == mine.width;
            // The whole line, then its middle third alone.
            for (int part = 0; part < 2 && same; ++part) {
                if (part == 1 &&
                    !lines.rasterise(text, color.a, mine, theirs->w / 3, 2 * theirs->w / 3 + 1))
                    return bad + 1;
                same = mine.left == part * (theirs->w / 3) &&
                       mine.columns == (part ? 2 * theirs->w / 3 + 1 - mine.left : theirs->w);
                for (int y = 0; same && y < mine.height; ++y) {
                    const auto* row = reinterpret_cast<const uint32_t*>(
                        static_cast<const uint8_t*>(theirs->pixels) + y * theirs->pitch);
                    for (int x = 0; same && x < mine.columns; ++x)
                        same =
                            (row[mine.left + x] >> 24) == mine.alpha[size_t(y) * mine.columns + x];
                }
            }
            if (!same && bad++ == 0)
                ADD_FAILURE() << what << ": differs [" << text << "] theirs " << theirs->w << "x"
                              << theirs->h << ", mine " << mine.width << "x" << mine.height;
        }
        return bad;
    }

    TestApp app;
};

TEST_F(TtfLatin, LinesAreSdlTtfsBlendedRenderingPixelForPixel) {
    // The project's font at every size a list is read at, its family's other faces at some.
    const std::string family = "/usr/share/fonts/truetype/ttf-bitstream-vera/";
    struct Case {
        std::string file;
        std::vector<int> sizes;
    };
    std::vector<int> every;
    for (int s = 6; s <= 40; ++s)
        every.push_back(s);
    const std::vector<int> some = {8, 11, 14, 17, 23, 32};
    const std::vector<Case> cases = {{"data/fonts/Vera.ttf", every},  {family + "VeraBd.ttf", some},
                                     {family + "VeraIt.ttf", some},   {family + "VeraBI.ttf", some},
                                     {family + "VeraMono.ttf", some}, {family + "VeraSe.ttf", some},
                                     {family + "VeraMoBI.ttf", some}};
    const std::vector<std::string> texts = sampleLines();
    for (const Case& c : cases) {
        ASSERT_TRUE(std::filesystem::exists(c.file)) << c.file << " (package ttf-bitstream-vera)";
        for (int size : c.sizes) {
            TtfFontPtr font(TTF_OpenFont(c.file.c_str(), size));
            FtFacePtr face = faceOf(c.file, size);
            ASSERT_TRUE(font && face) << c.file;
            auto lines = TtfLatinLines::matching(font.get(), face.get());
            ASSERT_NE(lines, nullptr) << c.file << " " << size;
            const std::string what = c.file + " " + std::to_string(size) + " px";
            EXPECT_EQ(differences(font.get(), *lines, {20, 40, 60, 255}, texts, what), 0);
            EXPECT_EQ(differences(font.get(), *lines, {200, 0, 0, 100}, texts, what), 0);
        }
    }
}

TEST_F(TtfLatin, DeclinesWhatOnlyShapingOrAnotherLookRendersRight) {
    TtfFontPtr font(TTF_OpenFont("data/fonts/Vera.ttf", 14));
    FtFacePtr face = faceOf("data/fonts/Vera.ttf", 14);
    ASSERT_TRUE(font && face);
    auto lines = TtfLatinLines::matching(font.get(), face.get());
    ASSERT_NE(lines, nullptr);
    AlphaLine out;
    // Empty, control characters, the soft hyphen, other scripts, signs beyond Latin-1, broken
    // and overlong UTF-8.
    for (const char* text :
         {"", "a\tb", "a\nb", "Silben\xC2\xADtrennung", "\xCE\xB1", "\xE2\x82\xAC", "a\xC3",
          "\xC3(", "\xC1\x81", "\xF0\x9F\x98\x80", "\x7F"}) {
        int w = 0;
        EXPECT_FALSE(lines->rasterise(text, 255, out)) << "[" << text << "]";
        EXPECT_FALSE(lines->measure(text, w)) << "[" << text << "]";
    }

    // A face at another size, or a font drawn in another look, does not match.
    FtFacePtr bigger = faceOf("data/fonts/Vera.ttf", 15);
    EXPECT_EQ(TtfLatinLines::matching(font.get(), bigger.get()), nullptr);
    EXPECT_FALSE(lines->stillMatches(font.get(), bigger.get()));
    const std::vector<std::pair<const char*, std::function<void(TTF_Font*)>>> looks = {
        {"bold", [](TTF_Font* f) { TTF_SetFontStyle(f, TTF_STYLE_BOLD); }},
        {"underline", [](TTF_Font* f) { TTF_SetFontStyle(f, TTF_STYLE_UNDERLINE); }},
        {"outline", [](TTF_Font* f) { TTF_SetFontOutline(f, 1); }},
        {"light hinting", [](TTF_Font* f) { TTF_SetFontHinting(f, TTF_HINTING_LIGHT); }},
        {"no kerning", [](TTF_Font* f) { TTF_SetFontKerning(f, 0); }},
        {"size", [](TTF_Font* f) { TTF_SetFontSize(f, 16); }},
    };
    for (const auto& [what, change] : looks) {
        TtfFontPtr other(TTF_OpenFont("data/fonts/Vera.ttf", 14));
        auto matched = TtfLatinLines::matching(other.get(), face.get());
        ASSERT_NE(matched, nullptr) << what;
        change(other.get());
        EXPECT_FALSE(matched->stillMatches(other.get(), face.get())) << what;
        EXPECT_EQ(TtfLatinLines::matching(other.get(), face.get()), nullptr) << what;
    }
}

}  // namespace
