#include "text/GlyphCache.h"

#include "core/Engine.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr uint32_t kLowChars = 0x3000;  // Latin, Greek, Cyrillic and general punctuation

uint32_t nextSerial() {
    static uint32_t serial = 0;
    return ++serial;
}

// Glyph textures of one renderer, keyed by face cache serial, glyph index and colour.
using TextureMap = std::unordered_map<uint64_t, SDL_Texture*>;

std::unordered_map<SDL_Renderer*, TextureMap>& textureMaps() {
    static std::unordered_map<SDL_Renderer*, TextureMap> maps;
    return maps;
}

uint64_t textureKey(uint32_t serial, uint32_t glyphIndex, uint8_t c) {
    return uint64_t(serial) << 32 | uint64_t(glyphIndex) << 1 | (c ? 1u : 0u);
}

// Forgets every texture made for a cache serial that no longer exists.
void retireTexturesOf(uint32_t serial) {
    for (auto& [renderer, map] : textureMaps()) {
        for (auto it = map.begin(); it != map.end();) {
            if (uint32_t(it->first >> 32) == serial) {
                TextureRetirement::retire(renderer, it->second);
                it = map.erase(it);
            } else {
                ++it;
            }
        }
    }
}

}  // namespace

GlyphImage loadGlyphImage(FT_Face face, uint32_t glyphIndex, bool keepCoverage) {
    GlyphImage img;
    if (!face || FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER) != 0) return img;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    img.loaded = true;
    img.advance = static_cast<int32_t>(slot->advance.x >> 6);
    img.bitmapWidth = static_cast<int32_t>(bm.width);
    img.bitmapRows = static_cast<int32_t>(bm.rows);
    img.cellWidth = std::max(img.advance, img.bitmapWidth);
    img.left = slot->bitmap_left;
    img.top = slot->bitmap_top;
    img.gray = bm.pixel_mode == FT_PIXEL_MODE_GRAY;
    if (keepCoverage && img.drawable() && bm.buffer) {
        img.coverage.resize(size_t(img.bitmapWidth) * size_t(img.bitmapRows));
        for (int row = 0; row < img.bitmapRows; ++row)
            std::memcpy(&img.coverage[size_t(row) * img.bitmapWidth], bm.buffer + row * bm.pitch,
                        size_t(img.bitmapWidth));
    }
    return img;
}

SDL_Texture* makeGlyphTexture(SDL_Renderer* r, const uint8_t* coverage, int pitch, int width,
                              int rows, uint8_t c) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, rows, 32, kGlyphTextureFormat);
    if (!s) return nullptr;
    for (int row = 0; row < rows; ++row) {
        auto* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + row * s->pitch);
        for (int col = 0; col < width; ++col)
            dst[col] = SDL_MapRGBA(s->format, c, c, c, coverage[row * pitch + col]);
    }
    SDL_Texture* t = SDL_CreateTextureFromSurface(r, s);
    SDL_FreeSurface(s);
    return t;
}

FaceCache* FaceCache::of(FT_Face face) {
    if (!face) return nullptr;
    if (face->generic.finalizer && face->generic.finalizer != &FaceCache::finalize) return nullptr;
    auto* cache = static_cast<FaceCache*>(face->generic.data);
    if (!cache) {
        cache = new FaceCache(face);  // owned by the face: freed by its finalizer
        face->generic.data = cache;
        face->generic.finalizer = &FaceCache::finalize;
    } else if (cache->sizeChanged()) {
        cache->reset();
    }
    return cache;
}

void FaceCache::finalize(void* object) {
    auto f = static_cast<FT_Face>(object);
    delete static_cast<FaceCache*>(f->generic.data);
    f->generic.data = nullptr;
}

FaceCache::FaceCache(FT_Face f) : face(f) {
    reset();
}

FaceCache::~FaceCache() {
    retireTexturesOf(serialNumber);
}

bool FaceCache::sizeChanged() const {
    if (!face->size) return false;
    const FT_Size_Metrics& m = face->size->metrics;
    return m.x_ppem != sizeMetrics.x_ppem || m.y_ppem != sizeMetrics.y_ppem ||
           m.x_scale != sizeMetrics.x_scale || m.y_scale != sizeMetrics.y_scale;
}

void FaceCache::reset() {
    if (serialNumber) retireTexturesOf(serialNumber);
    serialNumber = nextSerial();
    kerns = FT_HAS_KERNING(face);
    if (face->size) sizeMetrics = face->size->metrics;
    lowCharIndex.assign(kLowChars, kUnknownIndex);
    highCharIndex.clear();
    images.clear();
    images.resize(face->num_glyphs > 0 ? size_t(face->num_glyphs) : 0);
    advances.assign(images.size(), Advance{});
    kernRows.clear();
    kernRows.resize(images.size());
    for (auto& row : smallKern)
        row.reset();
    latin.reset();
}

std::shared_ptr<TtfLatinLines> FaceCache::latinLines(TTF_Font* font) {
    if (!latin || !latin->stillMatches(font, face)) latin = TtfLatinLines::matching(font, face);
    return latin;
}

uint32_t FaceCache::lookUpCharIndex(uint32_t codePoint) {
    if (codePoint < kLowChars) {
        uint32_t& slot = lowCharIndex[codePoint];
        if (slot == kUnknownIndex) slot = FT_Get_Char_Index(face, codePoint);
        return slot;
    }
    auto [it, inserted] = highCharIndex.try_emplace(codePoint, 0);
    if (inserted) it->second = FT_Get_Char_Index(face, codePoint);
    return it->second;
}

const GlyphImage& FaceCache::loadGlyph(uint32_t glyphIndex) {
    static const GlyphImage kMissing;
    if (glyphIndex >= images.size()) {
        // FreeType rejects indices past num_glyphs; remember that without growing the table.
        return kMissing;
    }
    auto& slot = images[glyphIndex];
    if (!slot) slot = std::make_unique<GlyphImage>(loadGlyphImage(face, glyphIndex, true));
    return *slot;
}

const FaceCache::Advance& FaceCache::learnAdvance(uint32_t glyphIndex) {
    static const Advance kMissing{0, 0, 0, false, true};
    if (glyphIndex >= advances.size()) return kMissing;
    const GlyphImage& img = glyph(glyphIndex);
    advances[glyphIndex] = {img.advance, img.cellWidth, img.left, img.loaded, true};
    return advances[glyphIndex];
}

int32_t FaceCache::lookUpKerning(uint32_t left, uint32_t right) {
    auto direct = [&] {
        FT_Vector delta{0, 0};
        if (FT_Get_Kerning(face, left, right, FT_KERNING_DEFAULT, &delta) != 0) return int32_t(0);
        return static_cast<int32_t>(delta.x >> 6);
    };
    if (left < kSmallKern && right < kSmallKern) {
        // A row per left glyph met: a text uses a few dozen of them, not the whole square.
        auto& row = smallKern[left];
        if (!row) {
            row = std::make_unique<int16_t[]>(kSmallKern);
            std::fill_n(row.get(), kSmallKern, kUnknownSmallKern);
        }
        // Values beyond the row's range (none at sizes text is read at) are asked each time.
        const int32_t k = direct();
        if (k > kUnknownSmallKern && k <= INT16_MAX) row[right] = int16_t(k);
        return k;
    }
    if (left >= kernRows.size() || right >= kernRows.size()) return direct();
    auto& row = kernRows[left];
    if (row.empty()) row.assign(kernRows.size(), kUnknownKerning);
    int32_t& k = row[right];
    if (k == kUnknownKerning) k = direct();
    return k;
}

SDL_Texture* FaceCache::texture(SDL_Renderer* r, uint32_t glyphIndex, uint8_t c) {
    static bool hookRegistered = false;
    if (!hookRegistered) {
        addRendererTeardownHook(&releaseGlyphTextures);
        hookRegistered = true;
    }
    TextureMap& map = textureMaps()[r];
    auto [it, inserted] = map.try_emplace(textureKey(serialNumber, glyphIndex, c), nullptr);
    if (!inserted) return it->second;
    const GlyphImage& img = glyph(glyphIndex);
    if (img.drawable() && !img.coverage.empty())
        it->second = makeGlyphTexture(r, img.coverage.data(), img.bitmapWidth, img.bitmapWidth,
                                      img.bitmapRows, c);
    return it->second;
}

void releaseGlyphTextures(SDL_Renderer* r) {
    auto& maps = textureMaps();
    auto it = maps.find(r);
    if (it == maps.end()) return;
    for (auto& [key, tex] : it->second)
        if (tex) SDL_DestroyTexture(tex);
    maps.erase(it);
}

size_t glyphTextureCount(SDL_Renderer* r) {
    auto it = textureMaps().find(r);
    return it == textureMaps().end() ? 0 : it->second.size();
}
