// Glyph layout of the text control (tabs, line breaks, kerning, password bullets, word
// wrap) and its drawing (visible whole lines, selection, glyphs, caret, scroll bars).
#include "text/TextCtrl.h"

#include "core/Engine.h"
#include "text/GlyphCache.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstring>

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
    readMetrics();
    lines.clear();
    laidLines.clear();
    laidGlyphs = 0;
    widestKnown = false;
    glyphTotal = rowTotal = 0;
    basis = LayoutBasis{};
    if (!face) {
        // Without a face there is nothing to lay out; the text itself is kept.
        textCodePoints = countCodePoints(t);
        finishLayout();
        return;
    }
    basis = {x, y, width, metrics, '*', true};
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    const uint32_t bullet = cache ? cache->charIndex(kBullet) : FT_Get_Char_Index(face, kBullet);
    basis.passwordChar = bullet ? kBullet : '*';
    if (&t != &text) text = t;
    measureFrom(0);
    finishLayout();
}

void GuiTextCtrl::appendLayout() {
    // Lines before the last keep their place and glyphs as long as nothing they depend on
    // changed; appending then costs the last line and the new ones only.
    readMetrics();
    const Metrics& m = basis.metrics;
    const bool sameBasis = basis.valid && basis.x == x && basis.y == y && basis.width == width &&
                           m.ascender == metrics.ascender && m.descender == metrics.descender &&
                           m.height == metrics.height;
    if (!face || !sameBasis || lines.empty()) {
        layoutText(face, text);
        return;
    }
    measureFrom(lines.size() - 1);
    finishLayout();
}

void GuiTextCtrl::measureFrom(size_t line) {
    // Lines before `line` keep their place; everything from its first byte is measured anew.
    size_t byte = 0;
    int32_t glyph = 0, row = 0;
    if (line < lines.size()) {
        byte = lines[line].byte;
        glyph = lines[line].glyph;
        row = lines[line].row;
        for (size_t k = line; k < lines.size() && widestKnown; ++k)
            if (lines[k].maxRight >= widest) widestKnown = false;
        lines.resize(line);
    }
    forgetLaidLinesFrom(line);
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    if (cache) {
        CachedSource src{cache};
        measureLines(src, byte, glyph, row);
    } else {
        DirectSource src{face};
        measureLines(src, byte, glyph, row);
    }
}

template <class Source>
void GuiTextCtrl::measureLines(Source& src, size_t byte, int32_t glyph, int32_t row) {
    // Each line is laid out once into a scratch buffer to learn its rows and its right edge,
    // then forgotten: only lines that are shown or edited keep their glyphs.
    const int32_t lh = basis.metrics.height;
    int32_t codePoints = glyph;
    const bool fromStart = lines.empty();
    int32_t lineMax = INT32_MIN;
    std::vector<Glyph> scratch;
    for (;;) {
        size_t end = text.size();
        if (!password) {
            const void* nl = std::memchr(text.data() + byte, '\n', text.size() - byte);
            if (nl) end = size_t(static_cast<const char*>(nl) - text.data()) + 1;
        }
        scratch.clear();
        codePoints += layoutLine(src, byte, end, row, scratch);
        int32_t rows = 0, maxRight = INT32_MIN;
        if (!scratch.empty()) {
            rows = lh > 0 ? (scratch.back().y - scratch.front().y) / lh + 1 : 1;
            for (size_t k = 0; k < scratch.size(); ++k)
                maxRight = std::max(
                    maxRight,
                    rightEdge(scratch[k], k + 1 < scratch.size() && scratch[k + 1].y == scratch[k].y
                                              ? &scratch[k + 1]
                                              : nullptr));
        }
        lines.push_back({byte, glyph, row, rows, maxRight});
        lineMax = std::max(lineMax, maxRight);
        glyph += static_cast<int32_t>(scratch.size());
        row += rows;
        const bool brokeLine = !password && end > byte && text[end - 1] == '\n';
        if (!brokeLine) break;
        byte = end;
    }
    textCodePoints = codePoints;
    glyphTotal = glyph;
    rowTotal = row;
    // The widest line stays known where no line that could have been it was dropped.
    if (fromStart || widestKnown) {
        widest = fromStart ? lineMax : std::max(widest, lineMax);
        widestKnown = true;
    }
}

template <class Source>
int32_t GuiTextCtrl::layoutLine(Source& src, size_t from, size_t to, int32_t row,
                                std::vector<Glyph>& out) const {
    const char* bytes = text.data();
    const int32_t left = basis.x + kInset;
    const int32_t wrapLimit = basis.x + kInset + std::max(basis.width - 22, 1);
    const int32_t lh = basis.metrics.height;
    const bool kerns = src.hasKerning();
    int32_t pen = left;
    int32_t baseline = static_cast<int32_t>(rowBaseline(row));
    int32_t lineStart = 0, breakIndex = -1, breakPen = 0;
    bool afterBreak = false;
    uint32_t prevGlyph = 0;
    int32_t codePoints = 0;
    size_t i = from;
    while (i < to) {
        uint32_t cp = static_cast<unsigned char>(bytes[i]);
        if (cp < 0x80) {
            ++i;
        } else {
            const Utf8Step step = decodeUtf8(bytes + i, text.size() - i);
            i += static_cast<size_t>(step.length);
            cp = step.codePoint;
        }
        ++codePoints;
        if (password) cp = basis.passwordChar;
        const int32_t count = static_cast<int32_t>(out.size());
        if (!password && cp == '\t') {
            out.push_back({pen, baseline, kTabAdvance, 9});
            pen += kTabAdvance;
            breakPen = pen;
            breakIndex = count + 1;
            afterBreak = true;
            prevGlyph = 0;
            continue;
        }
        if (!password && cp == '\n') {
            // A line break ends the line: the next line starts afresh (measureLines).
            out.push_back({pen, baseline, 0, 10});
            continue;
        }
        const bool space = !password && cp == ' ';
        const uint32_t index = src.charIndex(cp);
        if (prevGlyph != 0 && kerns && !space && !afterBreak) pen += src.kerning(prevGlyph, index);
        const GlyphMetrics gm = src.metrics(index);
        const int32_t advance = gm.loaded ? gm.advance : 0;
        const int32_t cellWidth = gm.loaded ? gm.cellWidth : 0;
        int32_t nextPen = pen + advance;
        if (wordWrap && !space && nextPen > wrapLimit) {
            bool fits = false;
            if (lineStart < breakIndex && breakIndex <= count) {
                const int32_t shift = breakPen - left;
                for (size_t g = static_cast<size_t>(breakIndex); g < out.size(); ++g) {
                    out[g].x -= shift;
                    out[g].y += lh;
                }
                pen -= shift;
                baseline += lh;
                nextPen = pen + advance;
                lineStart = breakIndex;
                breakIndex = -1;
                fits = nextPen <= wrapLimit;
            }
            if (!fits && count > lineStart) {
                pen = left;
                baseline += lh;
                lineStart = count;
                breakIndex = -1;
                nextPen = pen + advance;
            }
        }
        out.push_back({pen + (gm.loaded ? gm.left : 0), baseline, cellWidth, space ? 32u : cp});
        if (space) {
            breakPen = nextPen;
            breakIndex = count + 1;
        }
        afterBreak = space;
        prevGlyph = index;
        pen = nextPen;
    }
    // The empty last line after a final line break holds a zero-width glyph for the caret.
    if (from == to && from > 0 && !password) out.push_back({pen, baseline, 0, 32});
    return codePoints;
}

void GuiTextCtrl::finishLayout() {
    // Inserted bytes may merge with broken neighbours into fewer code points.
    cursor = std::clamp(cursor, 0, textCodePoints);
    invalidate();
    if (multiline) updateScrollbars();
    invalidate();
}

// ---------------------------------------------------------------------------------------------
// Lines laid out on demand

void GuiTextCtrl::layoutLineInto(size_t line, std::vector<Glyph>& out) const {
    const size_t from = lines[line].byte;
    const size_t to = line + 1 < lines.size() ? lines[line + 1].byte : text.size();
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    if (cache) {
        CachedSource src{cache};
        layoutLine(src, from, to, lines[line].row, out);
    } else {
        DirectSource src{face};
        layoutLine(src, from, to, lines[line].row, out);
    }
}

const std::vector<Glyph>& GuiTextCtrl::lineGlyphs(size_t line) const {
    auto [it, inserted] = laidLines.try_emplace(line);
    it->second.lastUse = ++useClock;
    if (inserted) {
        layoutLineInto(line, it->second.glyphs);
        laidGlyphs += it->second.glyphs.size();
        trimLaidLines();
    }
    return it->second.glyphs;
}

void GuiTextCtrl::trimLaidLines() const {
    // A view needs a few dozen lines at a time; keep those used most recently.
    constexpr size_t kMaxLines = 1024, kMaxGlyphs = size_t(1) << 17, kKeep = 128;
    if (laidLines.size() <= kMaxLines && laidGlyphs <= kMaxGlyphs) return;
    for (auto it = laidLines.begin(); it != laidLines.end();) {
        if (it->second.lastUse + kKeep <= useClock) {
            laidGlyphs -= it->second.glyphs.size();
            it = laidLines.erase(it);
        } else {
            ++it;
        }
    }
}

void GuiTextCtrl::forgetLaidLinesFrom(size_t line) {
    for (auto it = laidLines.begin(); it != laidLines.end();) {
        if (it->first >= line) {
            laidGlyphs -= it->second.glyphs.size();
            it = laidLines.erase(it);
        } else {
            ++it;
        }
    }
}

std::pair<size_t, size_t> GuiTextCtrl::laidOutLines() const {
    return {laidLines.size(), laidGlyphs};
}

size_t GuiTextCtrl::lineOfGlyph(size_t glyph) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), glyph,
                               [](size_t g, const LineInfo& l) { return g < size_t(l.glyph); });
    return it == lines.begin() ? 0 : size_t(it - lines.begin()) - 1;
}

size_t GuiTextCtrl::lineOfRow(int64_t row) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), row,
                               [](int64_t r, const LineInfo& l) { return r < l.row; });
    return it == lines.begin() ? 0 : size_t(it - lines.begin()) - 1;
}

int64_t GuiTextCtrl::rowBaseline(int64_t row) const {
    const Metrics& m = basis.metrics;
    return int64_t(basis.y) + m.ascender + 5 + row * m.height;
}

int64_t GuiTextCtrl::firstRowAtOrBelow(int64_t b) const {
    const int64_t first = rowBaseline(0), lh = basis.metrics.height;
    if (b <= first) return 0;
    if (lh < 1) return rowTotal;
    return (b - first + lh - 1) / lh;
}

size_t GuiTextCtrl::firstGlyphOfRow(int64_t row) const {
    if (row <= 0) return 0;
    if (row >= rowTotal) return size_t(glyphTotal);
    const size_t line = lineOfRow(row);
    const LineInfo& l = lines[line];
    if (row == l.row) return size_t(l.glyph);
    const std::vector<Glyph>& g = lineGlyphs(line);
    const int64_t baseline = rowBaseline(row);
    auto it = std::partition_point(g.begin(), g.end(),
                                   [&](const Glyph& q) { return int64_t(q.y) < baseline; });
    return size_t(l.glyph) + size_t(it - g.begin());
}

Glyph GuiTextCtrl::glyphAt(int32_t i) const {
    const size_t line = lineOfGlyph(size_t(i));
    return lineGlyphs(line)[size_t(i) - size_t(lines[line].glyph)];
}

std::vector<Glyph> GuiTextCtrl::allGlyphs() const {
    std::vector<Glyph> all;
    all.reserve(size_t(glyphTotal));
    for (size_t line = 0; line < lines.size(); ++line)
        layoutLineInto(line, all);
    return all;
}

int32_t GuiTextCtrl::widestRightEdge() const {
    if (!widestKnown) {
        widest = INT32_MIN;
        for (const LineInfo& l : lines)
            widest = std::max(widest, l.maxRight);
        widestKnown = true;
    }
    return widest;
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
    const size_t hi = std::min(size_t(glyphTotal), static_cast<size_t>(std::max(selStart, selEnd)));
    // Only lines that reach into the view can leave a mark; the clip hides the rest anyway.
    const size_t from = std::max(lo, firstGlyphWithTopAtLeast(int64_t(view.y) + scrollY - lh + 1));
    const size_t to = std::min(hi, firstGlyphWithTopAtLeast(int64_t(view.y) + view.h + scrollY));
    if (from >= to) return;
    forEachGlyphFrom(from, [&](size_t i, const Glyph& g, const Glyph* next) {
        if (i >= to) return false;
        fillRect(r,
                 {g.x - scrollX, lineTop(g.y) - scrollY, std::max(1, rightEdge(g, next) - g.x), lh},
                 0, 0, 255);
        return true;
    });
}

void GuiTextCtrl::drawGlyphs(SDL_Renderer* r, const SDL_Rect& view, int32_t firstTop,
                             int32_t lastTop) {
    const int32_t lh = metrics.height;
    const bool selected = hasFocus && hasSelection();
    const int32_t selLo = std::min(selStart, selEnd), selHi = std::max(selStart, selEnd);
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    forEachGlyphFrom(
        firstGlyphWithTopAtLeast(firstTop), [&](size_t i, const Glyph& g, const Glyph* next) {
            const int32_t top = lineTop(g.y);
            if (top > lastTop) return false;
            if (g.codePoint == 9 || g.codePoint == 10) return true;
            const int32_t cellX = g.x - scrollX;
            if (!spansOverlap(cellX, std::max(1, rightEdge(g, next) - g.x), view.x, view.w) ||
                !spansOverlap(top - scrollY, lh, view.y, view.h))
                return true;
            const uint8_t c =
                selected && int32_t(i) >= selLo && int32_t(i) < selHi ? uint8_t(255) : uint8_t(0);
            if (cache) {
                const uint32_t index = cache->charIndex(g.codePoint);
                const GlyphImage& img = cache->glyph(index);
                if (!img.drawable()) return true;
                SDL_Rect dst{cellX, g.y - scrollY - img.top - 3, img.bitmapWidth, img.bitmapRows};
                if (!SDL_HasIntersection(&dst, &view)) return true;
                if (SDL_Texture* t = cache->texture(r, index, c))
                    SDL_RenderCopy(r, t, nullptr, &dst);
                return true;
            }
            if (FT_Load_Glyph(face, FT_Get_Char_Index(face, g.codePoint), FT_LOAD_RENDER) != 0)
                return true;
            const FT_Bitmap& bm = face->glyph->bitmap;
            if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return true;
            SDL_Rect dst{cellX, g.y - scrollY - face->glyph->bitmap_top - 3, int(bm.width),
                         int(bm.rows)};
            if (!SDL_HasIntersection(&dst, &view)) return true;
            if (SDL_Texture* t =
                    makeGlyphTexture(r, bm.buffer, bm.pitch, int(bm.width), int(bm.rows), c)) {
                SDL_RenderCopy(r, t, nullptr, &dst);
                TextureRetirement::retire(r, t);
            }
            return true;
        });
}

void GuiTextCtrl::drawCaret(SDL_Renderer* r, int32_t firstTop, int32_t lastTop) {
    if (!caretActive || selStart != selEnd) return;
    int32_t cx = x + kInset, cy = y + kInset;
    if (glyphTotal > 0) {
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
