// Lines of Latin text rasterised straight from FreeType exactly as SDL_ttf's blended rendering
// rasterises them, pixel for pixel. SDL_ttf shapes every line with HarfBuzz, whose first use
// in a process costs more than drawing a whole list; for a font without shaping tables and text
// of printable ASCII and Latin-1, shaping only looks glyphs up and applies the kerning table,
// which this does without it. Anything else is declined and left to SDL_ttf.
#pragma once

#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <climits>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// What a blended rendering of a line holds in its alpha channel, and its size; only the columns
// asked for are held.
struct AlphaLine {
    int width = 0, height = 0;   // of the whole rendering
    int left = 0, columns = 0;   // the columns held: [left, left + columns)
    std::vector<uint8_t> alpha;  // columns * height, reused from line to line
};

class TtfLatinLines {
public:
    // A rasteriser for font from face, which must be opened from the same file at the same
    // size. Null unless the two agree on their metrics, font is drawn plainly (no added style, no
    // outline, normal hinting, kerning on, no signed distance field) and the face has no tables
    // that shaping would apply beyond kerning. SDL_ttf cannot tell a font's direction or
    // script: they are taken to be its defaults, which the toolkit never changes.
    static std::unique_ptr<TtfLatinLines> matching(TTF_Font* font, FT_Face face);

    // Whether the font and face still look as they did when matched (either may change its
    // size or look later).
    bool stillMatches(TTF_Font* font, FT_Face face) const;
    bool stillMatches(TTF_Font* font) const { return stillMatches(font, face); }

    // The line's alpha as TTF_RenderUTF8_Blended holds it for a text colour of alpha
    // colorAlpha, in the columns [fromX, toX) of the rendering (a long line is composed only
    // where it shows). False when the text holds anything but printable ASCII and Latin-1 with
    // glyphs in the face, or is empty.
    bool rasterise(std::string_view text, uint8_t colorAlpha, AlphaLine& out, int fromX = 0,
                   int toX = INT_MAX);
    // The width TTF_SizeUTF8 gives the text; false where rasterise would decline it.
    bool measure(std::string_view text, int& width);

private:
    struct Glyph {
        bool known = false;
        int32_t advance = 0;                                     // 26.6, hinted
        int boxLeft = 0, boxTop = 0, boxWidth = 0, boxRows = 0;  // hinted metrics, pixels
        int left = 0, top = 0, width = 0, rows = 0;              // the coverage bitmap
        std::vector<uint8_t> coverage;                           // rows * width
    };
    struct Look {
        FT_Fixed xScale = 0, yScale = 0;
        int ascent = 0, height = 0, lineSkip = 0;
        bool operator==(const Look&) const = default;
    };
    TtfLatinLines(FT_Face face, const Look& look);
    static bool lookOf(TTF_Font* font, FT_Face face, Look& look);
    uint32_t glyphIndex(uint32_t codePoint);
    const Glyph& glyph(uint32_t index);
    int32_t kerning(uint32_t left, uint32_t right) const;
    bool layOut(std::string_view text);
    void compose(uint8_t colorAlpha, int fromX, int toX, AlphaLine& out) const;

    FT_Face face;
    Look look;
    int64_t kernMultiplier = 0;  // font units to 26.6, as the shaper scales them
    uint32_t charIndex[256];     // Latin-1 code point to glyph index; UINT32_MAX unknown
    std::vector<Glyph> glyphs;   // by glyph index
    // The line laid out last: glyph indices and pen positions (26.6).
    std::vector<uint32_t> lineGlyphs;
    std::vector<int32_t> linePens;
    int lineWidth = 0, lineHeight = 0, xStart = 0, yStart = 0;
};
