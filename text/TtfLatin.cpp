#include "text/TtfLatin.h"

#include <freetype/tttables.h>
#include <freetype/tttags.h>

#include <algorithm>
#include <climits>

namespace {

// SDL_ttf's rounding of 26.6 values to pixels.
int floor26(int64_t v) {
    return static_cast<int>((v & -64) / 64);
}
int ceil26(int64_t v) {
    return static_cast<int>(((v + 63) & -64) / 64);
}

bool hasTable(FT_Face face, FT_ULong tag) {
    FT_ULong length = 0;
    return FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0;
}

// Tables through which the shaper would substitute or move glyphs; without them it only maps
// characters and applies the kerning table.
bool needsShaping(FT_Face face) {
    const FT_ULong tags[] = {
        TTAG_GSUB, TTAG_GPOS, TTAG_morx, TTAG_mort, FT_MAKE_TAG('k', 'e', 'r', 'x'), TTAG_trak};
    return std::any_of(std::begin(tags), std::end(tags),
                       [&](FT_ULong t) { return hasTable(face, t); });
}

// Code points whose glyph the shaper places as the font says: printable ASCII and Latin-1
// (the soft hyphen is hidden by the shaper, control characters have no glyph).
bool plainLatin(uint32_t c) {
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xFF && c != 0xAD);
}

}  // namespace

bool TtfLatinLines::lookOf(TTF_Font* font, FT_Face face, Look& look) {
    if (!font || !face || !face->size || !FT_IS_SCALABLE(face) || FT_HAS_COLOR(face)) return false;
    // A bold or italic face reports its own style; SDL_ttf only adds what the face lacks.
    const int ownStyle = (face->style_flags & FT_STYLE_FLAG_BOLD ? TTF_STYLE_BOLD : 0) |
                         (face->style_flags & FT_STYLE_FLAG_ITALIC ? TTF_STYLE_ITALIC : 0);
    if (TTF_GetFontStyle(font) != ownStyle || TTF_GetFontOutline(font) != 0 ||
        TTF_GetFontHinting(font) != TTF_HINTING_NORMAL || TTF_GetFontSDF(font) ||
        !TTF_GetFontKerning(font))
        return false;
    const FT_Size_Metrics& m = face->size->metrics;
    look.xScale = m.x_scale;
    look.yScale = m.y_scale;
    look.ascent = TTF_FontAscent(font);
    look.height = TTF_FontHeight(font);
    look.lineSkip = TTF_FontLineSkip(font);
    // The same file at the same size gives the same rounded metrics as SDL_ttf computes them.
    return look.ascent == ceil26(FT_MulFix(face->ascender, m.y_scale)) &&
           look.height == ceil26(FT_MulFix(face->ascender - face->descender, m.y_scale)) &&
           look.lineSkip == ceil26(FT_MulFix(face->height, m.y_scale)) &&
           TTF_FontFaceFamilyName(font) && face->family_name &&
           std::string_view(TTF_FontFaceFamilyName(font)) == face->family_name &&
           TTF_FontFaceStyleName(font) && face->style_name &&
           std::string_view(TTF_FontFaceStyleName(font)) == face->style_name;
}

std::unique_ptr<TtfLatinLines> TtfLatinLines::matching(TTF_Font* font, FT_Face face) {
    Look look;
    if (!lookOf(font, face, look) || needsShaping(face)) return nullptr;
    if (!face->charmap || face->charmap->encoding != FT_ENCODING_UNICODE) return nullptr;
    return std::unique_ptr<TtfLatinLines>(new TtfLatinLines(face, look));
}

bool TtfLatinLines::stillMatches(TTF_Font* font, FT_Face f) const {
    Look now;
    return f == face && lookOf(font, f, now) && now == look;
}

TtfLatinLines::TtfLatinLines(FT_Face f, const Look& l) : face(f), look(l) {
    std::fill(std::begin(charIndex), std::end(charIndex), UINT32_MAX);
    // The shaper scales kerning by its own scale of the face, rounded to 26.6 per em.
    const int64_t upem = std::max<int64_t>(1, face->units_per_EM);
    const int64_t scale = static_cast<int64_t>(
        (static_cast<uint64_t>(face->size->metrics.x_scale) * static_cast<uint64_t>(upem) +
         (1u << 15)) >>
        16);
    kernMultiplier = (scale << 16) / upem;
    glyphs.resize(static_cast<size_t>(std::max<FT_Long>(0, face->num_glyphs)));
}

uint32_t TtfLatinLines::glyphIndex(uint32_t c) {
    if (charIndex[c] == UINT32_MAX) charIndex[c] = FT_Get_Char_Index(face, c);
    return charIndex[c];
}

const TtfLatinLines::Glyph& TtfLatinLines::glyph(uint32_t index) {
    Glyph& g = glyphs[index];
    if (g.known) return g;
    g.known = true;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    const FT_Glyph_Metrics& m = slot->metrics;
    g.advance = static_cast<int32_t>(slot->advance.x);
    g.boxLeft = floor26(m.horiBearingX);
    g.boxTop = ceil26(m.horiBearingY);
    g.boxWidth = ceil26(m.width);
    g.boxRows = ceil26(m.height);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_GRAY || b.num_grays != 256) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(b.width);
    g.rows = static_cast<int>(b.rows);
    g.coverage.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.rows));
    for (int y = 0; y < g.rows; ++y)
        std::copy_n(b.buffer + static_cast<ptrdiff_t>(y) * b.pitch, g.width,
                    g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
    return g;
}

int32_t TtfLatinLines::kerning(uint32_t left, uint32_t right) const {
    FT_Vector v{0, 0};
    if (FT_Get_Kerning(face, left, right, FT_KERNING_UNSCALED, &v) != 0 || v.x == 0) return 0;
    return static_cast<int32_t>((static_cast<int64_t>(v.x) * kernMultiplier + 32768) >> 16);
}

// Places the glyphs as SDL_ttf does after shaping: pens in 26.6 from hinted advances and
// kerning, each glyph at its pen floored; the line spans every glyph's hinted box, the pen's
// end and the font's height, and starts where no box is cut off.
bool TtfLatinLines::layOut(std::string_view text) {
    lineGlyphs.clear();
    linePens.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        uint32_t c = p[i];
        if (c >= 0x80) {
            // Latin-1 takes two bytes, C2 or C3 and a continuation; anything else is declined.
            if ((c != 0xC2 && c != 0xC3) || i + 1 >= n || (p[i + 1] & 0xC0) != 0x80) return false;
            c = (c & 0x1F) << 6 | (p[i + 1] & 0x3F);
            i += 2;
        } else {
            ++i;
        }
        if (!plainLatin(c)) return false;
        const uint32_t index = glyphIndex(c);
        if (index == 0 || index >= glyphs.size()) return false;
        lineGlyphs.push_back(index);
    }
    if (lineGlyphs.empty()) return false;
    int64_t pen = 0;
    int minX = 0, maxX = 0, minY = 0, maxY = look.height;
    for (size_t k = 0; k < lineGlyphs.size(); ++k) {
        const Glyph& g = glyph(lineGlyphs[k]);
        if (!g.known) return false;
        linePens.push_back(static_cast<int32_t>(pen));
        const int boxX = floor26(pen) + g.boxLeft;
        const int boxY = look.ascent - g.boxTop;
        minX = std::min(minX, boxX);
        minY = std::min(minY, boxY);
        maxX = std::max(maxX, boxX + g.boxWidth);
        maxY = std::max(maxY, boxY + g.boxRows);
        pen += g.advance;
        if (k + 1 < lineGlyphs.size()) pen += kerning(lineGlyphs[k], lineGlyphs[k + 1]);
        if (pen > INT32_MAX / 2) return false;
    }
    maxX = std::max(maxX, floor26(pen));
    xStart = minX < 0 ? -minX : 0;
    yStart = minY < 0 ? -minY : 0;
    lineWidth = maxX - minX;
    lineHeight = maxY - minY;
    return lineWidth > 0 && lineHeight > 0;
}

// Glyphs overlap by OR-ing their alpha, the colour's alpha applied first with SDL_ttf's
// division by 255.
void TtfLatinLines::compose(uint8_t colorAlpha, int fromX, int toX, AlphaLine& out) const {
    out.width = lineWidth;
    out.height = lineHeight;
    out.left = std::clamp(fromX, 0, lineWidth);
    out.columns = std::clamp(toX, out.left, lineWidth) - out.left;
    out.alpha.assign(static_cast<size_t>(out.columns) * static_cast<size_t>(lineHeight), 0);
    uint8_t scaled[256];
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t t = v * colorAlpha;
        scaled[v] = static_cast<uint8_t>((t + 1 + (t >> 8)) >> 8);
    }
    for (size_t k = 0; k < lineGlyphs.size(); ++k) {
        const Glyph& g = glyphs[lineGlyphs[k]];
        // The glyph's columns in the held part.
        const int gx = xStart + floor26(linePens[k]) + g.left - out.left;
        const int x0 = std::max(0, -gx), x1 = std::min(g.width, out.columns - gx);
        if (x0 >= x1) continue;
        const int gy = yStart + look.ascent - g.top;
        for (int y = 0; y < g.rows; ++y) {
            const int ty = gy + y;
            if (ty < 0 || ty >= lineHeight) continue;
            const uint8_t* from = g.coverage.data() + static_cast<ptrdiff_t>(y) * g.width;
            uint8_t* to = out.alpha.data() + static_cast<ptrdiff_t>(ty) * out.columns;
            for (int x = x0; x < x1; ++x)
                to[gx + x] |= scaled[from[x]];
        }
    }
}

bool TtfLatinLines::rasterise(std::string_view text, uint8_t colorAlpha, AlphaLine& out, int fromX,
                              int toX) {
    if (!layOut(text)) return false;
    compose(colorAlpha, fromX, toX, out);
    return true;
}

bool TtfLatinLines::measure(std::string_view text, int& width) {
    if (!layOut(text)) return false;
    width = lineWidth;
    return true;
}
