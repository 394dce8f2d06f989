// Glyph metrics, coverage bitmaps and kerning per FreeType face, and glyph textures per
// renderer, so that laying out and drawing text does not ask FreeType again for what it
// already answered. Entries hold exactly what FT_Load_Glyph with FT_LOAD_RENDER produced.
#pragma once

#include "text/TtfLatin.h"

#include <SDL.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <climits>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

struct GlyphImage {
    bool loaded = false;  // FT_Load_Glyph succeeded
    int32_t advance = 0;  // pixels
    int32_t cellWidth = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t bitmapWidth = 0;
    int32_t bitmapRows = 0;
    bool gray = false;
    std::vector<uint8_t> coverage;  // bitmapRows * bitmapWidth, only for drawable grey bitmaps

    bool drawable() const { return loaded && gray && bitmapWidth > 0 && bitmapRows > 0; }
};

// Reads one glyph straight from FreeType (the uncached path and the cache's filler).
GlyphImage loadGlyphImage(FT_Face face, uint32_t glyphIndex, bool keepCoverage);
// The layout of glyph textures: the software renderer keeps it, and blends by it.
inline constexpr Uint32 kGlyphTextureFormat = SDL_PIXELFORMAT_ABGR8888;
// The pixel-exact texture the text control draws for one glyph: (c, c, c, coverage).
SDL_Texture* makeGlyphTexture(SDL_Renderer* r, const uint8_t* coverage, int pitch, int width,
                              int rows, uint8_t c);

class FaceCache {
public:
    // The cache of a face, created on first use and dropped when FreeType frees the face or
    // its pixel size changes. Null when the face is null or its slot for user data is taken.
    static FaceCache* of(FT_Face face);

    // The answers already known are inline: layout asks them once per code point.
    uint32_t charIndex(uint32_t codePoint) {
        if (codePoint < lowCharIndex.size() && lowCharIndex[codePoint] != kUnknownIndex)
            return lowCharIndex[codePoint];
        return lookUpCharIndex(codePoint);
    }
    const GlyphImage& glyph(uint32_t glyphIndex) {
        if (glyphIndex < images.size() && images[glyphIndex]) return *images[glyphIndex];
        return loadGlyph(glyphIndex);
    }
    // What layout needs of a glyph, packed: the same values as glyph() holds.
    struct Advance {
        int32_t advance = 0, cellWidth = 0, left = 0;
        bool loaded = false, known = false;
    };
    const Advance& advanceOf(uint32_t glyphIndex) {
        if (glyphIndex < advances.size() && advances[glyphIndex].known) return advances[glyphIndex];
        return learnAdvance(glyphIndex);
    }
    // Horizontal kerning in whole pixels (26.6 shifted right by 6).
    int32_t kerning(uint32_t left, uint32_t right) {
        if (left < kSmallKern && right < kSmallKern && smallKern[left] &&
            smallKern[left][right] != kUnknownSmallKern)
            return smallKern[left][right];
        return lookUpKerning(left, right);
    }
    bool hasKerning() const { return kerns; }
    uint32_t serial() const { return serialNumber; }
    // The texture of a glyph for renderer r in colour c (0 or 255); null when not drawable.
    SDL_Texture* texture(SDL_Renderer* r, uint32_t glyphIndex, uint8_t c);
    // The face's rasteriser of Latin lines as SDL_ttf draws them in font, which must be opened
    // from the face's file at its size (see TtfLatin.h): one for every list drawing in that
    // font, so that each glyph is loaded once. Null when the two do not match.
    std::shared_ptr<TtfLatinLines> latinLines(TTF_Font* font);

    explicit FaceCache(FT_Face face);
    ~FaceCache();

private:
    static constexpr uint32_t kUnknownIndex = UINT32_MAX;
    static constexpr int32_t kUnknownKerning = INT32_MIN;
    // Pairs of the first glyphs (where Latin text lives) in one flat table.
    static constexpr uint32_t kSmallKern = 256;
    static constexpr int16_t kUnknownSmallKern = INT16_MIN;

    uint32_t lookUpCharIndex(uint32_t codePoint);
    const GlyphImage& loadGlyph(uint32_t glyphIndex);
    int32_t lookUpKerning(uint32_t left, uint32_t right);
    const Advance& learnAdvance(uint32_t glyphIndex);
    static void finalize(void* object);
    bool sizeChanged() const;
    void reset();

    FT_Face face;
    uint32_t serialNumber = 0;
    bool kerns = false;
    FT_Size_Metrics sizeMetrics{};
    std::vector<uint32_t> lowCharIndex;  // code points below kLowChars; UINT32_MAX unknown
    std::unordered_map<uint32_t, uint32_t> highCharIndex;
    std::vector<std::unique_ptr<GlyphImage>> images;
    std::vector<Advance> advances;
    std::shared_ptr<TtfLatinLines> latin;
    std::vector<std::vector<int32_t>> kernRows;  // per left glyph, INT32_MIN unknown
    // Pairs of small glyph indices: a row per left glyph, made on first use.
    std::unique_ptr<int16_t[]> smallKern[kSmallKern];
};

// Destroys the glyph textures kept for r (the engine calls this while tearing r down).
void releaseGlyphTextures(SDL_Renderer* r);
size_t glyphTextureCount(SDL_Renderer* r);
