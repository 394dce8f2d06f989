// Glyph layout of the text control (tabs, line breaks, kerning, password bullets, word
// wrap) and its drawing (visible whole lines, selection, glyphs, caret, scroll bars).
#include "text/TextCtrl.h"

#include "core/Engine.h"
#include "text/GlyphCache.h"
#include "text/Utf8.h"

#include <algorithm>

namespace {

struct GlyphMetrics {
    bool loaded;
    int32_t advance;
    int32_t cellWidth;
    int32_t left;
};

// Asks FreeType for every glyph, every time.
struct DirectSource {
    FT_Face face;
    uint32_t charIndex(uint32_t cp) { return FT_Get_Char_Index(face, cp); }
    bool hasKerning() const { return FT_HAS_KERNING(face); }
    int32_t kerning(uint32_t a, uint32_t b) {
        FT_Vector d{0, 0};
        if (FT_Get_Kerning(face, a, b, FT_KERNING_DEFAULT, &d) != 0) return 0;
        return static_cast<int32_t>(d.x >> 6);
    }
    GlyphMetrics metrics(uint32_t index) {
        GlyphImage img = loadGlyphImage(face, index, false);
        return {img.loaded, img.advance, img.cellWidth, img.left};
    }
};

// Answers from the face's cache.
struct CachedSource {
    FaceCache* cache;
    uint32_t charIndex(uint32_t cp) { return cache->charIndex(cp); }
    bool hasKerning() const { return cache->hasKerning(); }
    int32_t kerning(uint32_t a, uint32_t b) { return cache->kerning(a, b); }
    GlyphMetrics metrics(uint32_t index) {
        const GlyphImage& img = cache->glyph(index);
        return {img.loaded, img.advance, img.cellWidth, img.left};
    }
};

constexpr uint32_t kBullet = 0x2022;

}  // namespace

void GuiTextCtrl::readMetrics() {
    metrics = {};
    if (!face || !face->size) return;
    const FT_Size_Metrics& m = face->size->metrics;
    metrics.ascender = static_cast<int32_t>(m.ascender >> 6);
    metrics.descender = static_cast<int32_t>(m.descender >> 6);
    metrics.height = static_cast<int32_t>(m.height >> 6);
}

void GuiTextCtrl::layoutText(FT_Face f, const std::string& t) {
    face = f;
    glyphs.clear();
    readMetrics();
    layoutState = LayoutState{};
    if (!face) {
        // Without a face there is nothing to lay out; the text itself is kept.
        textCodePoints = countCodePoints(t);
        glyphsChanged(true);
        finishLayout();
        return;
    }
    textCodePoints = 0;
    LayoutState& s = layoutState;
    s.pen = x + kInset;
    s.baseline = y + metrics.ascender + kInset;
    s.originX = x;
    s.originY = y;
    s.valid = true;
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    if (cache) {
        CachedSource src{cache};
        s.passwordChar = src.charIndex(kBullet) ? kBullet : '*';
        glyphs.reserve(t.size() + 1);
        layoutFrom(src, t.data(), t.size());
    } else {
        DirectSource src{face};
        s.passwordChar = src.charIndex(kBullet) ? kBullet : '*';
        layoutFrom(src, t.data(), t.size());
    }
    glyphsChanged(true);
    finishLayout();
}

void GuiTextCtrl::resumeLayout(const std::string& appended) {
    // Laying out is a left-to-right state machine: carrying on from where the last layout
    // stopped gives exactly the glyphs a full layout would, for a fraction of the work.
    const LayoutState& s = layoutState;
    Metrics before = metrics;
    readMetrics();
    const bool sameGeometry = s.valid && s.originX == x && s.originY == y &&
                              before.ascender == metrics.ascender &&
                              before.height == metrics.height && lastLayoutWidth == width;
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    if (!face || !cache || !sameGeometry) {
        layoutText(face, text);
        return;
    }
    if (layoutState.trailingSpace) glyphs.pop_back();
    layoutState.trailingSpace = false;
    CachedSource src{cache};
    if (glyphs.capacity() < glyphs.size() + appended.size() + 1)
        glyphs.reserve(std::max(glyphs.capacity() * 2, glyphs.size() + appended.size() + 1));
    layoutFrom(src, appended.data(), appended.size());
    glyphsChanged(false);
    finishLayout();
}

template <class Source>
void GuiTextCtrl::layoutFrom(Source& src, const char* bytes, size_t length) {
    LayoutState& s = layoutState;
    lastLayoutWidth = width;
    const int32_t left = x + kInset;
    const int32_t wrapLimit = x + kInset + std::max(width - 22, 1);
    const int32_t lh = metrics.height;
    const bool kerns = src.hasKerning();
    size_t i = 0;
    while (i < length) {
        Utf8Step step = decodeUtf8(bytes + i, length - i);
        i += static_cast<size_t>(step.length);
        ++textCodePoints;
        uint32_t cp = password ? s.passwordChar : step.codePoint;
        const int32_t count = static_cast<int32_t>(glyphs.size());
        if (!password && cp == '\t') {
            glyphs.push_back({s.pen, s.baseline, kTabAdvance, 9});
            s.pen += kTabAdvance;
            s.breakPen = s.pen;
            s.breakIndex = count + 1;
            s.afterBreak = true;
            s.prevGlyph = 0;
            continue;
        }
        if (!password && cp == '\n') {
            glyphs.push_back({s.pen, s.baseline, 0, 10});
            s.breakIndex = -1;
            s.baseline += lh;
            s.lineStart = count + 1;
            s.pen = left;
            s.afterBreak = true;
            s.prevGlyph = 0;
            continue;
        }
        const bool space = !password && cp == ' ';
        const uint32_t index = src.charIndex(cp);
        if (s.prevGlyph != 0 && kerns && !space && !s.afterBreak)
            s.pen += src.kerning(s.prevGlyph, index);
        const GlyphMetrics gm = src.metrics(index);
        const int32_t advance = gm.loaded ? gm.advance : 0;
        const int32_t cellWidth = gm.loaded ? gm.cellWidth : 0;
        int32_t nextPen = s.pen + advance;
        if (wordWrap && !space && nextPen > wrapLimit) {
            bool fits = false;
            if (s.lineStart < s.breakIndex && s.breakIndex <= count) {
                const int32_t shift = s.breakPen - left;
                for (size_t g = static_cast<size_t>(s.breakIndex); g < glyphs.size(); ++g) {
                    glyphs[g].x -= shift;
                    glyphs[g].y += lh;
                }
                s.pen -= shift;
                s.baseline += lh;
                nextPen = s.pen + advance;
                s.lineStart = s.breakIndex;
                s.breakIndex = -1;
                fits = nextPen <= wrapLimit;
            }
            if (!fits && count > s.lineStart) {
                s.pen = left;
                s.baseline += lh;
                s.lineStart = count;
                s.breakIndex = -1;
                nextPen = s.pen + advance;
            }
        }
        glyphs.push_back(
            {s.pen + (gm.loaded ? gm.left : 0), s.baseline, cellWidth, space ? 32u : cp});
        if (space) {
            s.breakPen = nextPen;
            s.breakIndex = count + 1;
        }
        s.afterBreak = space;
        s.prevGlyph = index;
        s.pen = nextPen;
    }
}

void GuiTextCtrl::finishLayout() {
    if (face && !password && !text.empty() && text.back() == '\n') {
        glyphs.push_back({layoutState.pen, layoutState.baseline, 0, 32});
        layoutState.trailingSpace = true;
    }
    // Inserted bytes may merge with broken neighbours into fewer code points.
    cursor = std::clamp(cursor, 0, textCodePoints);
    invalidate();
    if (multiline) updateScrollbars();
    invalidate();
}

void GuiTextCtrl::glyphsChanged(bool fromScratch) {
    if (fromScratch) extentPrefix = ExtentPrefix{};
}

// ---------------------------------------------------------------------------------------------
// Drawing

namespace {

// Opaque fills replace what lies below; without blending the software renderer copies
// instead of mixing every pixel, with the same result.
void fillRect(SDL_Renderer* r, const SDL_Rect& rc, uint8_t red, uint8_t g, uint8_t b) {
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetRenderDrawBlendMode(r, &mode);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, red, g, b, 255);
    SDL_RenderFillRect(r, &rc);
    SDL_SetRenderDrawBlendMode(r, mode);
}

bool spansOverlap(int64_t a, int64_t aLen, int64_t b, int64_t bLen) {
    return a < b + bLen && b < a + aLen;
}

constexpr uint32_t kTrackColor = packColor(230, 230, 230);
constexpr uint32_t kThumbColor = packColor(160, 160, 160);

}  // namespace

void GuiTextCtrl::draw(SDL_Renderer* r) {
    fillRect(r, rect(), 255, 255, 255);
    if (metrics.height < 1) {
        drawScrollbars(r);
        return;
    }
    const SDL_Rect view{x, y, width - (vScroll.visible ? kBarThickness : 0),
                        height - (hScroll.visible ? kBarThickness : 0)};
    SDL_RenderSetClipRect(r, &view);
    const int32_t lh = metrics.height;
    const int32_t up = std::max(0, scrollY - 2);
    const int32_t firstTop = y + 2 + (up + lh - 1) / lh * lh;
    const int32_t down = std::max(0, view.h + scrollY - lh - 2);
    const int32_t lastTop = y + 2 + down / lh * lh;
    if (firstTop <= lastTop) {
        if (hasFocus) drawSelection(r, view);
        drawGlyphs(r, view, firstTop, lastTop);
        drawCaret(r, firstTop, lastTop);
    }
    SDL_RenderSetClipRect(r, nullptr);
    drawScrollbars(r);
}

void GuiTextCtrl::drawSelection(SDL_Renderer* r, const SDL_Rect& view) {
    if (!hasSelection()) return;
    const int32_t lh = metrics.height;
    const size_t lo = static_cast<size_t>(std::max(0, std::min(selStart, selEnd)));
    const size_t hi = std::min(glyphs.size(), static_cast<size_t>(std::max(selStart, selEnd)));
    // Only lines that reach into the view can leave a mark; the clip hides the rest anyway.
    const size_t from = std::max(lo, firstGlyphWithTopAtLeast(int64_t(view.y) + scrollY - lh + 1));
    const size_t to = std::min(hi, firstGlyphWithTopAtLeast(int64_t(view.y) + view.h + scrollY));
    for (size_t i = from; i < to; ++i) {
        const Glyph& g = glyphs[i];
        fillRect(r, {g.x - scrollX, lineTop(g.y) - scrollY, std::max(1, rightEdge(i) - g.x), lh}, 0,
                 0, 255);
    }
}

void GuiTextCtrl::drawGlyphs(SDL_Renderer* r, const SDL_Rect& view, int32_t firstTop,
                             int32_t lastTop) {
    const int32_t lh = metrics.height;
    const bool selected = hasFocus && hasSelection();
    const int32_t selLo = std::min(selStart, selEnd), selHi = std::max(selStart, selEnd);
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    for (size_t i = firstGlyphWithTopAtLeast(firstTop); i < glyphs.size(); ++i) {
        const Glyph& g = glyphs[i];
        const int32_t top = lineTop(g.y);
        if (top > lastTop) break;
        if (g.codePoint == 9 || g.codePoint == 10) continue;
        const int32_t cellX = g.x - scrollX;
        if (!spansOverlap(cellX, std::max(1, rightEdge(i) - g.x), view.x, view.w) ||
            !spansOverlap(top - scrollY, lh, view.y, view.h))
            continue;
        const uint8_t c =
            selected && int32_t(i) >= selLo && int32_t(i) < selHi ? uint8_t(255) : uint8_t(0);
        if (cache) {
            const uint32_t index = cache->charIndex(g.codePoint);
            const GlyphImage& img = cache->glyph(index);
            if (!img.drawable()) continue;
            SDL_Rect dst{cellX, g.y - scrollY - img.top - 3, img.bitmapWidth, img.bitmapRows};
            if (!SDL_HasIntersection(&dst, &view)) continue;
            if (SDL_Texture* t = cache->texture(r, index, c)) SDL_RenderCopy(r, t, nullptr, &dst);
            continue;
        }
        if (FT_Load_Glyph(face, FT_Get_Char_Index(face, g.codePoint), FT_LOAD_RENDER) != 0)
            continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) continue;
        SDL_Rect dst{cellX, g.y - scrollY - face->glyph->bitmap_top - 3, int(bm.width),
                     int(bm.rows)};
        if (!SDL_HasIntersection(&dst, &view)) continue;
        if (SDL_Texture* t =
                makeGlyphTexture(r, bm.buffer, bm.pitch, int(bm.width), int(bm.rows), c)) {
            SDL_RenderCopy(r, t, nullptr, &dst);
            TextureRetirement::retire(r, t);
        }
    }
}

void GuiTextCtrl::drawCaret(SDL_Renderer* r, int32_t firstTop, int32_t lastTop) {
    if (!caretActive || selStart != selEnd) return;
    int32_t cx = x + kInset, cy = y + kInset;
    if (!glyphs.empty()) {
        const CaretPoint p = caretGlyphPoint();
        cx = p.x;
        cy = p.y - metrics.ascender;
    }
    // The blink keeps time also while the caret is out of view, so that update does not ask
    // for a redraw every frame in the hope of a toggle.
    const uint32_t now = guiTicks();
    bool show = true;
    if (now - caretResetTime > 999) {
        if (now - caretToggleTime > 499) {
            caretOn = !caretOn;
            caretToggleTime = now;
        }
        show = caretOn;
    } else {
        caretOn = true;
    }
    const int32_t top = cy - 3;
    if (top < firstTop || top > lastTop) return;
    if (show)
        fillRect(r, SDL_Rect{cx - scrollX, top - scrollY, kCaretWidth, metrics.height}, 0, 0, 0);
}

void GuiTextCtrl::drawScrollbars(SDL_Renderer* r) const {
    if (!multiline) return;
    if (vScroll.visible) vScroll.draw(r, kTrackColor, kThumbColor);
    if (hScroll.visible) hScroll.draw(r, kTrackColor, kThumbColor);
    if (vScroll.visible && hScroll.visible)
        fillRect(r, SDL_Rect{vScroll.track.x, hScroll.track.y, kBarThickness, kBarThickness}, 230,
                 230, 230);
}
