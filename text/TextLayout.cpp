// Glyph layout of the text control (tabs, line breaks, kerning, password bullets, word
// wrap) and its drawing (visible whole lines, selection, glyphs, caret, scroll bars).
#include "text/TextCtrl.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "text/GlyphCache.h"
#include "text/Prefault.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

struct GlyphMetrics {
    bool loaded;
    int32_t advance;
    int32_t cellWidth;
    int32_t left;
};

struct GlyphOf {
    uint32_t index;
    GlyphMetrics metrics;
};

// Measures a line from flat tables when all its code points lie below U+0100 (ASCII and
// Latin-1 in one- and two-byte sequences): the glyph count, rows and right edge that laying it
// out glyph by glyph gives (layoutLine into an EdgeSink, or with word wrap into a scratch
// buffer), without storing glyphs or the general path's per-glyph decisions. Anything else
// (other scripts, broken or overlong sequences, kerning beyond the tables) is left to the
// general path.
//
// Without word wrap a line can also be bounded instead of measured: one table look-up per byte
// gives an upper bound of its right edge, so that finding the widest line needs exact measuring
// only of the lines whose bound beats the widest edge found so far.
class LatinMeasure {
public:
    struct Extent {
        int32_t glyphs, rows, maxRight;
    };
    explicit LatinMeasure(FaceCache& c) : cache(c) {
        std::fill(std::begin(pairs) + kNoPartner * kSlots, std::end(pairs), int16_t(0));
        std::fill(std::begin(weights), std::end(weights), kUnbounded);
    }

    // A line's glyph count and an upper bound of its right edge (maxRight of the Extent; rows
    // 1). Lines of ASCII take one look-up per byte; with Latin-1 letters they are decoded.
    std::optional<Extent> bound(const char* bytes, size_t n, int32_t left) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes);
        if (n == 0 || n > size_t(INT32_MAX)) return std::nullopt;
        for (;;) {
            // Two chains of sums, so that the look-ups do not wait for each other's adds.
            uint64_t sum = 0, sum2 = 0, flags = 0, flags2 = 0;
            size_t i = 0;
            for (; i + 4 <= n; i += 4) {
                const uint64_t a = weights[p[i]], b = weights[p[i + 1]];
                const uint64_t c = weights[p[i + 2]], d = weights[p[i + 3]];
                sum += a + c;
                sum2 += b + d;
                flags |= a | c;
                flags2 |= b | d;
            }
            for (; i < n; ++i) {
                sum += weights[p[i]];
                flags |= weights[p[i]];
            }
            sum += sum2;
            flags |= flags2;
            if (!(flags & kUnbounded)) return boundOf(int32_t(n), sum, left);
            const Stop stop = learnLine(p, n);
            if (stop == Stop::Foreign) return boundDecoded(p, n, left);
            if (stop == Stop::Unknown) return std::nullopt;
        }
    }

    std::optional<Extent> measure(const char* bytes, size_t n, int32_t left) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes);
        if (const std::optional<int32_t> edge = asciiRightEdge(p, n, left))
            return Extent{int32_t(n), 1, *edge};
        Pass pass{p, left, INT32_MIN, INT32_MIN, 0, kNoPartner};
        // The tables fill as characters and pairs are first met; the pass then goes on.
        for (;;) {
            const Stop stop = scan(pass, p + n);
            if (stop == Stop::Foreign) return std::nullopt;
            if (stop == Stop::End) break;
            if (!learn(pass)) return std::nullopt;
        }
        if (pass.glyphs == 0) return std::nullopt;
        return Extent{pass.glyphs, 1, std::max(pass.maxRight, pass.lastRight)};
    }

    // The same with word wrap at wrapLimit: also the rows the line takes.
    std::optional<Extent> measureWrapped(const char* bytes, size_t n, int32_t left,
                                         int32_t wrapLimit) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes);
        WrapPass pass;
        pass.p = p;
        pass.pen = left;
        for (;;) {
            const Stop stop = scanWrapped(pass, p + n, left, wrapLimit);
            if (stop == Stop::Foreign) return std::nullopt;
            if (stop == Stop::End) break;
            if (!learn(pass.p, pass.partner)) return std::nullopt;
        }
        if (pass.glyphs == 0) return std::nullopt;
        int32_t maxRight = std::max(pass.settled, pass.lastX + pass.lastReach);
        if (pass.breakIndex >= 0) maxRight = std::max({maxRight, pass.wordEdges, pass.wordX});
        return Extent{pass.glyphs, pass.lastRow + 1, maxRight};
    }

private:
    // Code points get slots in the order they are met; kerning is kept per pair of slots.
    static constexpr uint32_t kSlots = 128, kNoPartner = kSlots;
    static constexpr int16_t kUnknown = INT16_MIN;
    // A byte whose weight is not known (yet): not ASCII, not learned, or kerning before it
    // beyond the tables.
    static constexpr uint64_t kUnbounded = uint64_t(1) << 63;

    // What layout does with one code point: its pen advance and cell, and the slot that
    // kerning after it uses (none after a space, tab or line break, nor after a glyph the
    // font lacks). Kerning before a space, tab or line break is zero in the pair table.
    struct Cell {
        int32_t advance = 0, left = 0, reach = 1;  // reach: max(cell width, 1)
        uint32_t index = 0;
        uint32_t slot = kNoPartner;  // kNoPartner while unknown
        uint32_t partner = kNoPartner;
        bool kernsBefore = false;
        bool wraps = true;     // may move to the next row (not a space, tab or line break)
        bool breaks = false;   // a space or tab: the next word may move down without it
        int32_t kernInto = 0;  // largest kerning before it after any slot known, at least 0
        bool unbounded = false;
    };
    // Where a pass over a line stands.
    struct Pass {
        const unsigned char* p;
        int32_t pen, maxRight, lastRight, glyphs;
        uint32_t partner;
    };
    enum class Stop { End, Foreign, Unknown };
    // Where a pass with word wrap stands: the rows and right edges of the glyphs placed so
    // far, the word after the last space or tab (which may still move down a row with its
    // edges) and the glyph before it, whose edge depends on whether the word moves.
    struct WrapPass {
        const unsigned char* p = nullptr;
        int32_t pen = 0, row = 0, glyphs = 0;
        uint32_t partner = kNoPartner;
        int32_t lineStart = 0, breakIndex = -1, breakPen = 0;
        int32_t settled = INT32_MIN;    // largest edge that no move can change any more
        int32_t wordEdges = INT32_MIN;  // largest edge between glyphs of the word
        int32_t wordX = INT32_MIN;      // x of the word's first glyph, INT32_MIN before it
        int32_t breakRight = 0;         // x + reach of the glyph before the word
        int32_t lastX = 0, lastReach = 1, lastRow = 0;
    };

    // Decodes the code point at p; false when it is not one the tables take.
    static bool decodeLatin(const unsigned char* p, const unsigned char* end, uint32_t& cp,
                            uint32_t& length) {
        cp = *p;
        length = 1;
        if (cp < 0x80) return true;
        // Two-byte sequences of U+0080..U+00FF only; a sequence cut by the line's end is cut
        // by the text's end too (a line ends after a line break or there).
        if ((cp & 0xE0) != 0xC0 || p + 1 >= end || !isUtf8Continuation(p[1])) return false;
        cp = (cp & 0x1F) << 6 | (p[1] & 0x3F);
        length = 2;
        return cp >= 0x80 && cp <= 0xFF;
    }

    // Runs through the line while every cell and pair is known; no calls, so that the pass
    // keeps its state in registers.
    Stop scan(Pass& s, const unsigned char* end) const {
        const unsigned char* p = s.p;
        int32_t pen = s.pen, maxRight = s.maxRight, lastRight = s.lastRight, glyphs = s.glyphs;
        uint32_t partner = s.partner;
        Stop stop = Stop::End;
        while (p < end) {
            uint32_t cp, length;
            if (!decodeLatin(p, end, cp, length)) {
                stop = Stop::Foreign;
                break;
            }
            const Cell& c = cells[cp];
            const int16_t kern = c.slot == kNoPartner ? kUnknown : pairs[partner * kSlots + c.slot];
            if (kern == kUnknown) {
                stop = Stop::Unknown;
                break;
            }
            pen += kern;
            const int32_t x = pen + c.left;
            // A glyph's right edge is where the next one starts.
            if (glyphs) maxRight = std::max(maxRight, x);
            lastRight = x + c.reach;
            pen += c.advance;
            partner = c.partner;
            ++glyphs;
            p += length;
        }
        s = {p, pen, maxRight, lastRight, glyphs, partner};
        return stop;
    }

    // The word wrap of the general layout, glyph by glyph: a glyph that would pass the limit
    // takes the word it ends down a row (to the left margin), or itself when there is no
    // earlier break point on its row or the word is still too long.
    Stop scanWrapped(WrapPass& s, const unsigned char* end, int32_t left, int32_t wrapLimit) const {
        WrapPass w = s;
        Stop stop = Stop::End;
        while (w.p < end) {
            uint32_t cp, length;
            if (!decodeLatin(w.p, end, cp, length)) {
                stop = Stop::Foreign;
                break;
            }
            const Cell& c = cells[cp];
            const int16_t kern =
                c.slot == kNoPartner ? kUnknown : pairs[w.partner * kSlots + c.slot];
            if (kern == kUnknown) {
                stop = Stop::Unknown;
                break;
            }
            w.pen += kern;
            int32_t nextPen = w.pen + c.advance;
            if (c.wraps && nextPen > wrapLimit) {
                bool fits = false;
                if (w.lineStart < w.breakIndex && w.breakIndex <= w.glyphs) {
                    const int32_t shift = w.breakPen - left;
                    // The glyph before the word now ends its row; the word keeps its edges.
                    w.settled = std::max(w.settled, w.breakRight);
                    if (w.wordX != INT32_MIN) {
                        if (w.wordEdges != INT32_MIN)
                            w.settled = std::max(w.settled, w.wordEdges - shift);
                        w.lastX -= shift;
                        ++w.lastRow;
                    }
                    w.pen -= shift;
                    ++w.row;
                    nextPen = w.pen + c.advance;
                    w.lineStart = w.breakIndex;
                    w.breakIndex = -1;
                    w.wordEdges = w.wordX = INT32_MIN;
                    fits = nextPen <= wrapLimit;
                }
                if (!fits && w.glyphs > w.lineStart) {
                    w.pen = left;
                    ++w.row;
                    w.lineStart = w.glyphs;
                    w.breakIndex = -1;
                    nextPen = w.pen + c.advance;
                }
            }
            const int32_t x = w.pen + c.left;
            if (w.glyphs > 0) {
                // The right edge of the glyph before: this one's x on the same row.
                const int32_t edge = w.row == w.lastRow ? x : w.lastX + w.lastReach;
                if (w.breakIndex >= 0 && w.glyphs == w.breakIndex)
                    w.wordX = x;
                else if (w.breakIndex >= 0 && w.glyphs > w.breakIndex)
                    w.wordEdges = std::max(w.wordEdges, edge);
                else
                    w.settled = std::max(w.settled, edge);
            }
            w.lastX = x;
            w.lastReach = c.reach;
            w.lastRow = w.row;
            w.pen = nextPen;
            if (c.breaks) {
                // The word before can no longer move: its edges are final.
                if (w.breakIndex >= 0) w.settled = std::max({w.settled, w.wordEdges, w.wordX});
                w.breakPen = w.pen;
                w.breakIndex = w.glyphs + 1;
                w.wordEdges = w.wordX = INT32_MIN;
                w.breakRight = x + c.reach;
            }
            w.partner = c.partner;
            ++w.glyphs;
            w.p += length;
        }
        s = w;
        return stop;
    }

    // Learns the cell or the pair the pass stopped at; false when the tables cannot hold it.
    bool learn(const Pass& s) { return learn(s.p, s.partner); }
    bool learn(const unsigned char* at, uint32_t partner) {
        uint32_t cp = *at;
        if (cp >= 0x80) cp = (cp & 0x1F) << 6 | (at[1] & 0x3F);
        Cell& c = cells[cp];
        if (c.slot == kNoPartner) {
            if (usedSlots == kSlots) return false;
            learnCell(cp, c);
        }
        int16_t& k = pairs[partner * kSlots + c.slot];
        if (k != kUnknown) return true;
        const int32_t v = c.kernsBefore ? cache.kerning(slotIndex[partner], c.index) : 0;
        if (v <= kUnknown || v > INT16_MAX) return false;
        k = int16_t(v);
        return true;
    }

    void learnCell(uint32_t cp, Cell& c) {
        c.slot = usedSlots++;
        std::fill_n(std::begin(pairs) + c.slot * kSlots, kSlots, kUnknown);
        c.wraps = cp != ' ' && cp != '\t' && cp != '\n';
        c.breaks = cp == ' ' || cp == '\t';
        if (cp == '\t') {
            c.advance = c.reach = GuiTextCtrl::kTabAdvance;
        } else if (cp != '\n') {
            c.index = cache.charIndex(cp);
            const FaceCache::Advance& a = cache.advanceOf(c.index);
            if (a.loaded) {
                c.advance = a.advance;
                c.left = a.left;
                c.reach = std::max(a.cellWidth, 1);
            }
            const bool kerns = cache.hasKerning() && cp != ' ';
            c.kernsBefore = kerns;
            if (kerns && c.index != 0) c.partner = c.slot;
        }
        slotIndex[c.slot] = c.index;
        slotCode[c.slot] = cp;
        overhang = std::max<int64_t>(overhang, int64_t(c.left) + c.reach - std::max(c.advance, 0));
        // Every pair with the characters known so far, both ways: a line's bound needs the
        // largest kerning before each of its characters.
        for (uint32_t s = 0; s < usedSlots; ++s) {
            Cell& other = cells[slotCode[s]];
            if (other.partner != kNoPartner) learnPair(other, c);
            if (c.partner != kNoPartner) learnPair(c, other);
        }
        for (uint32_t s = 0; s < usedSlots; ++s) {
            Cell& other = cells[slotCode[s]];
            learnStep(other, c);
            learnStep(c, other);
        }
        weigh(cp, c);
    }

    // Kerning before `right` after `left` (a partner); out of the table's range it stays
    // unknown, so that measuring leaves such a line to the general path.
    void learnPair(const Cell& left, Cell& right) {
        int16_t& k = pairs[left.partner * kSlots + right.slot];
        if (k != kUnknown) return;
        const int32_t v = right.kernsBefore ? cache.kerning(left.index, right.index) : 0;
        if (v <= kUnknown || v > INT16_MAX) {
            right.unbounded = true;
        } else {
            k = int16_t(v);
            right.kernInto = std::max(right.kernInto, v);
        }
        weigh(slotCode[right.slot], right);
    }

    // The pen's step from an ASCII character to the next: its advance and their kerning.
    void learnStep(const Cell& left, Cell& right) {
        const uint32_t a = slotCode[left.slot], b = slotCode[right.slot];
        if (a >= 0x80 || b >= 0x80) return;
        const int32_t kern =
            left.partner == kNoPartner ? 0 : pairs[left.partner * kSlots + right.slot];
        if (kern == kUnknown) return;  // right is unbounded: its lines never read the step
        const int64_t step = int64_t(left.advance) + kern;
        if (step < INT16_MIN || step > INT16_MAX) {
            right.unbounded = true;
            weigh(b, right);
        } else {
            byteStep[a * 0x80 + b] = int16_t(step);
        }
    }

    // A character's share of a line's bound: its advance and the most kerning can add before it.
    void weigh(uint32_t cp, const Cell& c) {
        if (cp >= 0x80) return;
        weights[cp] =
            c.unbounded ? kUnbounded : uint64_t(std::max(c.advance, 0)) + uint64_t(c.kernInto);
        byteLeft[cp] = c.left;
        byteReach[cp] = c.reach;
    }

    // What scan() gives for a line of ASCII whose characters are all known, from tables
    // indexed by byte and without branches: a few times faster, for lines that may be widest.
    std::optional<int32_t> asciiRightEdge(const unsigned char* p, size_t n, int32_t left) const {
        if (n == 0 || n > size_t(INT32_MAX)) return std::nullopt;
        // Only tables of characters known are read.
        uint64_t flags = 0;
        for (size_t i = 0; i < n; ++i)
            flags |= weights[p[i]];
        if (flags & kUnbounded) return std::nullopt;
        // pen: where the glyph's cell starts before its left bearing, kerning applied.
        int32_t pen = left, x = left + byteLeft[p[0]], maxRight = INT32_MIN;
        for (size_t i = 1; i < n; ++i) {
            pen += byteStep[p[i - 1] * 0x80 + p[i]];
            x = pen + byteLeft[p[i]];
            maxRight = std::max(maxRight, x);  // the right edge of the glyph before
        }
        return std::max(maxRight, x + byteReach[p[n - 1]]);
    }

    // Learns the characters of an ASCII line that bound() does not know yet: End when it
    // knows them all, Foreign at the first byte that is not ASCII, Unknown when the tables
    // cannot take one.
    Stop learnLine(const unsigned char* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (p[i] >= 0x80) return Stop::Foreign;
            if (!learnBoundCell(p[i])) return Stop::Unknown;
        }
        return Stop::End;
    }

    bool learnBoundCell(uint32_t cp) {
        Cell& c = cells[cp];
        if (c.slot == kNoPartner) {
            if (usedSlots == kSlots) return false;
            learnCell(cp, c);
        }
        return !c.unbounded;
    }

    // The bound of a line with Latin-1 letters, one code point at a time. Kerning before a
    // character comes from one met before it, so the bound it has when summed holds that pair.
    std::optional<Extent> boundDecoded(const unsigned char* p, size_t n, int32_t left) {
        const unsigned char* end = p + n;
        uint64_t sum = 0;
        int32_t glyphs = 0;
        for (const unsigned char* q = p; q < end; ++glyphs) {
            uint32_t cp, length;
            if (!decodeLatin(q, end, cp, length) || !learnBoundCell(cp)) return std::nullopt;
            sum += uint64_t(std::max(cells[cp].advance, 0)) + uint64_t(cells[cp].kernInto);
            q += length;
        }
        return boundOf(glyphs, sum, left);
    }

    Extent boundOf(int32_t glyphs, uint64_t sum, int32_t left) const {
        const int64_t edge = int64_t(left) + int64_t(sum) + overhang;
        return Extent{glyphs, 1, int32_t(std::min<int64_t>(edge, INT32_MAX))};
    }

    FaceCache& cache;
    Cell cells[256];
    uint32_t usedSlots = 0;
    uint32_t slotIndex[kSlots] = {};
    uint32_t slotCode[kSlots] = {};
    // Per byte: advance plus the largest kerning before it, or kUnbounded.
    uint64_t weights[256];
    // Per ASCII byte known: its cell's left bearing and reach, and per pair of them the pen's
    // step from the first to the second.
    int32_t byteLeft[0x80] = {}, byteReach[0x80] = {};
    int16_t byteStep[0x80 * 0x80];
    // Largest reach of a cell past its advance (left bearing plus cell width minus advance).
    int64_t overhang = INT32_MIN;
    // Row per partner slot (the last row: no partner, all zero), column per slot.
    int16_t pairs[(kSlots + 1) * kSlots];
};

// Asks FreeType for every glyph, every time.
struct DirectSource {
    FT_Face face;
    GlyphOf glyphOf(uint32_t cp) {
        const uint32_t index = charIndex(cp);
        return {index, metrics(index)};
    }
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
    // Proves every glyph the long way.
    std::optional<LatinMeasure::Extent> measureLatin(const char*, size_t, int32_t,
                                                     std::optional<int32_t>) {
        return std::nullopt;
    }
    std::optional<LatinMeasure::Extent> boundLatin(const char*, size_t, int32_t) {
        return std::nullopt;
    }
};

// Answers from the face's cache; for Latin-1 from a table of its own, filled on first use.
struct CachedSource {
    struct Latin {
        uint32_t index;
        GlyphMetrics metrics;
        bool known;
    };
    FaceCache* cache;
    Latin latin[256] = {};
    uint32_t charIndex(uint32_t cp) { return cache->charIndex(cp); }
    GlyphOf glyphOf(uint32_t cp) {
        if (cp < 256 && latin[cp].known) return {latin[cp].index, latin[cp].metrics};
        const uint32_t index = cache->charIndex(cp);
        const GlyphOf g{index, metrics(index)};
        if (cp < 256) latin[cp] = {g.index, g.metrics, true};
        return g;
    }
    bool hasKerning() const { return cache->hasKerning(); }
    int32_t kerning(uint32_t a, uint32_t b) { return cache->kerning(a, b); }
    GlyphMetrics metrics(uint32_t index) {
        const FaceCache::Advance& a = cache->advanceOf(index);
        return {a.loaded, a.advance, a.cellWidth, a.left};
    }
    // A line's extent from the Latin tables; with a wrap limit, wrapped at it.
    std::optional<LatinMeasure::Extent> measureLatin(const char* bytes, size_t n, int32_t left,
                                                     std::optional<int32_t> wrapLimit) {
        if (!fast) fast.emplace(*cache);
        return wrapLimit ? fast->measureWrapped(bytes, n, left, *wrapLimit)
                         : fast->measure(bytes, n, left);
    }
    // A line's glyph count and an upper bound of its right edge, without wrap.
    std::optional<LatinMeasure::Extent> boundLatin(const char* bytes, size_t n, int32_t left) {
        if (!fast) fast.emplace(*cache);
        return fast->bound(bytes, n, left);
    }
    std::optional<LatinMeasure> fast = std::nullopt;
};

// Keeps every glyph layout places: for drawing and hit testing, and for measuring with word
// wrap, which moves glyphs already placed down to the next row.
struct GlyphSink {
    static constexpr bool kKeepsGlyphs = true;
    std::vector<Glyph>& out;
    size_t size() const { return out.size(); }
    void push(const Glyph& g) { out.push_back(g); }
    void moveDown(size_t from, int32_t shift, int32_t lineHeight) {
        for (size_t g = from; g < out.size(); ++g) {
            out[g].x -= shift;
            out[g].y += lineHeight;
        }
    }
};

// Measures a line without word wrap as it is laid out: its glyph count and right edge only.
struct EdgeSink {
    static constexpr bool kKeepsGlyphs = false;
    size_t count = 0;
    Glyph last{};
    int32_t maxRight = INT32_MIN;
    size_t size() const { return count; }
    void push(const Glyph& g) {
        if (count)
            maxRight =
                std::max(maxRight, GuiTextCtrl::rightEdge(last, last.y == g.y ? &g : nullptr));
        last = g;
        ++count;
    }
    void moveDown(size_t, int32_t, int32_t) {}  // never called: only word wrap moves glyphs
    int32_t finish() const {
        return count ? std::max(maxRight, GuiTextCtrl::rightEdge(last, nullptr)) : INT32_MIN;
    }
};

constexpr uint32_t kBullet = 0x2022;

size_t lineBreaksIn(const std::string& s) {
    // memchr is vectorised; a byte loop over a megabyte is not at -O2.
    size_t n = 0;
    for (const char *p = s.data(), *end = p + s.size();
         (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p)
        ++n;
    return n;
}

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
    pendingEdit = {};
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

bool GuiTextCtrl::basisStillHolds() {
    readMetrics();
    const Metrics& m = basis.metrics;
    return face && basis.valid && !lines.empty() && basis.x == x && basis.y == y &&
           basis.width == width && m.ascender == metrics.ascender &&
           m.descender == metrics.descender && m.height == metrics.height;
}

void GuiTextCtrl::appendLayout() {
    // Lines before the last keep their place and glyphs as long as nothing they depend on
    // changed; appending then costs the last line and the new ones only.
    if (!basisStillHolds() || pendingEdit.any) {
        layoutText(face, text);
        return;
    }
    measureFrom(lines.size() - 1);
    finishLayout(false);  // appendText damages only what the new rows change
}

void GuiTextCtrl::noteSplice(size_t at, size_t removed, size_t inserted) {
    PendingEdit& p = pendingEdit;
    if (!p.any) {
        p = {at, at + removed, int64_t(inserted) - int64_t(removed), true};
        return;
    }
    // The unchanged tail starts at oldEnd + delta in the text as it is now.
    const size_t tail = size_t(int64_t(p.oldEnd) + p.delta);
    p.oldEnd = size_t(int64_t(std::max(tail, at + removed)) - p.delta);
    p.from = std::min(p.from, at);
    p.delta += int64_t(inserted) - int64_t(removed);
}

void GuiTextCtrl::layoutEdited() {
    // Lines before the edit and lines after it keep their glyphs' shapes; only the lines the
    // edit touched are measured again, the ones below move by the change in glyphs and rows.
    const PendingEdit p = pendingEdit;
    pendingEdit = {};
    if (!p.any || password || !basisStillHolds()) {
        layoutText(face, text);
        return;
    }
    auto byByte = [](size_t b, const LineInfo& l) { return b < l.byte; };
    const size_t first =
        size_t(std::upper_bound(lines.begin(), lines.end(), p.from, byByte) - lines.begin()) - 1;
    // The first line starting after the changed bytes: a line break of the unchanged tail
    // ends the line before it, so it starts a line in the new text too.
    const size_t keep =
        size_t(std::upper_bound(lines.begin(), lines.end(), p.oldEnd, byByte) - lines.begin());
    if (keep >= lines.size()) {
        measureFrom(first);
        finishLayout();
        return;
    }
    const LineInfo start = lines[first];
    const size_t stop = size_t(int64_t(lines[keep].byte) + p.delta);
    for (size_t k = first; k < keep && widestKnown; ++k)
        if (lines[k].maxRight >= widest) widestKnown = false;
    std::vector<LineInfo> fresh;
    const Measured m = measureRange(start.byte, start.glyph, start.row, stop, fresh,
                                    widestKnown ? widest : INT32_MAX);
    const int32_t glyphShift = m.glyph - lines[keep].glyph;
    const int32_t rowShift = m.row - lines[keep].row;
    if (widestKnown) widest = std::max(widest, m.widest);
    for (size_t k = keep; k < lines.size(); ++k) {
        lines[k].byte = size_t(int64_t(lines[k].byte) + p.delta);
        lines[k].glyph += glyphShift;
        lines[k].row += rowShift;
    }
    lines.erase(lines.begin() + std::ptrdiff_t(first), lines.begin() + std::ptrdiff_t(keep));
    lines.insert(lines.begin() + std::ptrdiff_t(first), fresh.begin(), fresh.end());
    glyphTotal += glyphShift;
    rowTotal += rowShift;
    textCodePoints += glyphShift;  // the last line, with its trailing glyph, did not change
    forgetLaidLinesFrom(first);
    finishLayout();
}

void GuiTextCtrl::measureFrom(size_t line) {
    // Lines before `line` keep their place; everything from its first byte is measured anew.
    size_t byte = 0;
    int32_t glyph = 0, row = 0;
    const bool fromStart = line == 0 || lines.empty();
    if (line < lines.size()) {
        byte = lines[line].byte;
        glyph = lines[line].glyph;
        row = lines[line].row;
        for (size_t k = line; k < lines.size() && widestKnown; ++k)
            if (lines[k].maxRight >= widest) widestKnown = false;
    }
    forgetLaidLinesFrom(line, lines.size());
    lines.resize(std::min(line, lines.size()));
    // One allocation with room to append: growing by doubling would copy the records and
    // touch up to twice their memory.
    if (fromStart && !password) {
        const size_t count = lineBreaksIn(text) + 1;
        lines.reserve(count * 9 / 8 + 16);
        prefaultForWrite(lines.data() + lines.size(), count * sizeof(LineInfo));
    }
    // Lines that cannot beat the widest edge known are only bounded, not measured.
    const int32_t floor = fromStart ? INT32_MIN : widestKnown ? widest : INT32_MAX;
    const Measured m = measureRange(byte, glyph, row, SIZE_MAX, lines, floor);
    textCodePoints = m.codePoints;
    glyphTotal = m.glyph;
    rowTotal = m.row;
    // The widest line stays known where no line that could have been it was dropped.
    if (fromStart || widestKnown) {
        widest = fromStart ? m.widest : std::max(widest, m.widest);
        widestKnown = true;
    }
}

GuiTextCtrl::Measured GuiTextCtrl::measureRange(size_t byte, int32_t glyph, int32_t row,
                                                size_t stop, std::vector<LineInfo>& out,
                                                int32_t floor) {
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    if (cache) {
        CachedSource src{cache};
        return measureLines(src, byte, glyph, row, stop, out, floor);
    }
    DirectSource src{face};
    return measureLines(src, byte, glyph, row, stop, out, floor);
}

template <class Source>
GuiTextCtrl::Measured GuiTextCtrl::measureLines(Source& src, size_t byte, int32_t glyph,
                                                int32_t row, size_t stop,
                                                std::vector<LineInfo>& out, int32_t floor) {
    // Each line is laid out once to learn its rows and its right edge, then forgotten: only
    // lines that are shown or edited keep their glyphs. Without word wrap nothing needs
    // keeping even while measuring, and most lines need only a bound of their right edge;
    // with it, a line's glyphs pass through a scratch buffer.
    const int32_t lh = basis.metrics.height;
    const size_t firstNew = out.size();
    Measured m{glyph, row, glyph, INT32_MIN};
    std::vector<Glyph> scratch;
    for (;;) {
        size_t end = text.size();
        if (!password) {
            const void* nl = std::memchr(text.data() + byte, '\n', text.size() - byte);
            if (nl) end = size_t(static_cast<const char*>(nl) - text.data()) + 1;
        }
        int32_t rows = 0, maxRight = INT32_MIN, count = 0;
        const char* bytes = text.data() + byte;
        const int32_t left = basis.x + kInset;
        std::optional<LatinMeasure::Extent> latin;
        if (!password && !wordWrap) latin = src.boundLatin(bytes, end - byte, left);
        if (!latin && !password && !(wordWrap && lh < 1))
            latin = src.measureLatin(bytes, end - byte, left,
                                     wordWrap ? std::optional<int32_t>(wrapRight()) : std::nullopt);
        if (latin) {
            m.codePoints += latin->glyphs;
            count = latin->glyphs;
            rows = latin->rows;
            maxRight = latin->maxRight;
        } else if (wordWrap) {
            scratch.clear();
            GlyphSink sink{scratch};
            m.codePoints += layoutLine(src, byte, end, m.row, sink);
            if (!scratch.empty()) {
                rows = lh > 0 ? (scratch.back().y - scratch.front().y) / lh + 1 : 1;
                for (size_t k = 0; k < scratch.size(); ++k) {
                    const bool next = k + 1 < scratch.size() && scratch[k + 1].y == scratch[k].y;
                    maxRight =
                        std::max(maxRight, rightEdge(scratch[k], next ? &scratch[k + 1] : nullptr));
                }
            }
            count = static_cast<int32_t>(scratch.size());
        } else {
            EdgeSink sink;
            m.codePoints += layoutLine(src, byte, end, m.row, sink);
            count = static_cast<int32_t>(sink.count);
            rows = count > 0 ? 1 : 0;
            maxRight = sink.finish();
        }
        out.push_back({byte, m.glyph, m.row, rows, maxRight});
        m.glyph += count;
        m.row += rows;
        const bool brokeLine = !password && end > byte && text[end - 1] == '\n';
        if (!brokeLine || end >= stop) {
            m.widest = widestOf(src, out, firstNew, end, floor);
            break;
        }
        byte = end;
    }
    return m;
}

template <class Source>
int32_t GuiTextCtrl::widestOf(Source& src, const std::vector<LineInfo>& v, size_t from,
                              size_t lastEnd, int32_t floor) const {
    int32_t best = floor;
    if (from >= v.size()) return best;
    if (wordWrap || password) {
        // Measured exactly already.
        for (size_t k = from; k < v.size(); ++k)
            best = std::max(best, v[k].maxRight);
        return best;
    }
    auto settle = [&](size_t k) {
        // Clamped: a text changed behind the layout's back must not be read past its end.
        const size_t end = std::min(k + 1 < v.size() ? v[k + 1].byte : lastEnd, text.size());
        v[k].maxRight = exactRightEdge(src, std::min(v[k].byte, end), end, v[k].row);
        best = std::max(best, v[k].maxRight);
    };
    // The line with the largest bound first: its exact edge usually rules out all others.
    size_t top = from;
    for (size_t k = from + 1; k < v.size(); ++k)
        if (v[k].maxRight > v[top].maxRight) top = k;
    if (v[top].maxRight > best) settle(top);
    for (size_t k = from; k < v.size(); ++k)
        if (v[k].maxRight > best) settle(k);
    return best;
}

template <class Source>
int32_t GuiTextCtrl::exactRightEdge(Source& src, size_t from, size_t to, int32_t row) const {
    if (auto latin =
            src.measureLatin(text.data() + from, to - from, basis.x + kInset, std::nullopt))
        return latin->maxRight;
    EdgeSink sink;
    layoutLine(src, from, to, row, sink);
    return sink.finish();
}

template <class Source, class Sink>
int32_t GuiTextCtrl::layoutLine(Source& src, size_t from, size_t to, int32_t row, Sink& out) const {
    const char* bytes = text.data();
    const int32_t left = basis.x + kInset;
    const int32_t wrapLimit = wrapRight();
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
            out.push({pen, baseline, kTabAdvance, 9});
            pen += kTabAdvance;
            breakPen = pen;
            breakIndex = count + 1;
            afterBreak = true;
            prevGlyph = 0;
            continue;
        }
        if (!password && cp == '\n') {
            // A line break ends the line: the next line starts afresh (measureLines).
            out.push({pen, baseline, 0, 10});
            continue;
        }
        const bool space = !password && cp == ' ';
        const GlyphOf found = src.glyphOf(cp);
        const uint32_t index = found.index;
        const GlyphMetrics& gm = found.metrics;
        if (prevGlyph != 0 && kerns && !space && !afterBreak) pen += src.kerning(prevGlyph, index);
        const int32_t advance = gm.loaded ? gm.advance : 0;
        const int32_t cellWidth = gm.loaded ? gm.cellWidth : 0;
        int32_t nextPen = pen + advance;
        // Only a sink that keeps the glyphs can move a word down (measureLines).
        if (Sink::kKeepsGlyphs && wordWrap && !space && nextPen > wrapLimit) {
            bool fits = false;
            if (lineStart < breakIndex && breakIndex <= count) {
                const int32_t shift = breakPen - left;
                out.moveDown(static_cast<size_t>(breakIndex), shift, lh);
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
        out.push({pen + (gm.loaded ? gm.left : 0), baseline, cellWidth, space ? 32u : cp});
        if (space) {
            breakPen = nextPen;
            breakIndex = count + 1;
        }
        afterBreak = space;
        prevGlyph = index;
        pen = nextPen;
    }
    // The empty last line after a final line break holds a zero-width glyph for the caret.
    if (from == to && from > 0 && !password) out.push({pen, baseline, 0, 32});
    return codePoints;
}

void GuiTextCtrl::finishLayout(bool redraw) {
    // Inserted bytes may merge with broken neighbours into fewer code points.
    cursor = std::clamp(cursor, 0, textCodePoints);
    if (multiline) updateScrollbars();
    if (redraw) invalidate();
}

// ---------------------------------------------------------------------------------------------
// Lines laid out on demand

void GuiTextCtrl::layoutLineInto(size_t line, std::vector<Glyph>& out) const {
    const size_t from = lines[line].byte;
    const size_t to = line + 1 < lines.size() ? lines[line + 1].byte : text.size();
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    GlyphSink sink{out};
    if (cache) {
        CachedSource src{cache};
        layoutLine(src, from, to, lines[line].row, sink);
    } else {
        DirectSource src{face};
        layoutLine(src, from, to, lines[line].row, sink);
    }
}

const std::vector<Glyph>& GuiTextCtrl::lineGlyphs(size_t line) const {
    auto [it, inserted] = laidLines.try_emplace(line);
    it->second.lastUse = ++useClock;
    if (inserted) {
        // Its glyph count is known: one allocation of the right size.
        const int32_t end = line + 1 < lines.size() ? lines[line + 1].glyph : glyphTotal;
        it->second.glyphs.reserve(size_t(std::max(end - lines[line].glyph, 0)));
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

void GuiTextCtrl::forgetLaidLinesFrom(size_t line, size_t end) {
    // An append forgets a line or two: by key, instead of a pass over every line kept.
    if (end >= line && end - line < laidLines.size()) {
        for (size_t k = line; k < end; ++k) {
            auto it = laidLines.find(k);
            if (it == laidLines.end()) continue;
            laidGlyphs -= it->second.glyphs.size();
            laidLines.erase(it);
        }
        return;
    }
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
        FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
        if (cache) {
            CachedSource src{cache};
            widest = widestOf(src, lines, 0, text.size(), INT32_MIN);
        } else {
            DirectSource src{face};
            widest = widestOf(src, lines, 0, text.size(), INT32_MIN);
        }
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
    const SDL_Rect view = viewRect();
    {
        ClipScope clip(r, view);
        const auto [firstTop, lastTop] = drawnTops(scrollY, view.h);
        if (clip.visible() && firstTop <= lastTop) {
            if (hasFocus) drawSelection(r, view);
            // Rows whose ink cannot reach the clip would change no pixel.
            int64_t from = firstTop, to = lastTop;
            if (const InkReach ink = inkReach(); ink.known) {
                const SDL_Rect& c = clip.area();
                from =
                    std::max<int64_t>(from, int64_t(c.y) + scrollY - metrics.height - ink.down + 1);
                to = std::min<int64_t>(to, int64_t(c.y) + c.h + scrollY + ink.up - 1);
            }
            if (from <= to) drawGlyphs(r, view, int32_t(from), int32_t(to));
            drawCaret(r, firstTop, lastTop);
        }
    }
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

SDL_Surface* GuiTextCtrl::directGlyphPixels(SDL_Renderer* r) {
    SDL_Surface* s = directPixels(r);
    if (!s || !glyphInk[0].use(0x000000, kGlyphTextureFormat, s->format->format) ||
        !glyphInk[1].use(0xFFFFFF, kGlyphTextureFormat, s->format->format))
        return nullptr;
    return s;
}

namespace {

// A glyph's coverage blended into the window's pixels s at dst, inside clip.
void blendGlyph(SDL_Surface* s, const GlyphImage& img, const SDL_Rect& dst, const SDL_Rect& clip,
                InkBlender& ink) {
    SDL_Rect shown;
    if (!SDL_IntersectRect(&dst, &clip, &shown)) return;
    const auto rowAt = [&](int py) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                           static_cast<ptrdiff_t>(py) * s->pitch) +
               shown.x;
    };
    // The background was just filled past the cache: ask for every row at once, so that
    // the glyph waits for memory once instead of once per row.
    for (int py = shown.y; py < shown.y + shown.h; ++py) {
        __builtin_prefetch(rowAt(py), 1);
        __builtin_prefetch(rowAt(py) + shown.w - 1, 1);
    }
    for (int py = shown.y; py < shown.y + shown.h; ++py) {
        const uint8_t* a =
            img.coverage.data() + static_cast<ptrdiff_t>(py - dst.y) * dst.w + (shown.x - dst.x);
        uint32_t* px = rowAt(py);
        for (int i = 0; i < shown.w; ++i)
            if (a[i]) px[i] = ink.over(px[i], a[i]);
    }
}

}  // namespace

void GuiTextCtrl::drawGlyphs(SDL_Renderer* r, const SDL_Rect& view, int32_t firstTop,
                             int32_t lastTop) {
    const int32_t lh = metrics.height;
    const bool selected = hasFocus && hasSelection();
    const int32_t selLo = std::min(selStart, selEnd), selHi = std::max(selStart, selEnd);
    FaceCache* cache = useGlyphCache ? FaceCache::of(face) : nullptr;
    // After the selection's fills: they are flushed into the pixels first.
    SDL_Surface* direct = cache ? directGlyphPixels(r) : nullptr;
    SDL_Rect clip = view;
    if (direct) {
        SDL_Rect set = view, bounds{0, 0, direct->w, direct->h};
        if (SDL_RenderIsClipEnabled(r)) SDL_RenderGetClipRect(r, &set);
        if (!SDL_IntersectRect(&view, &set, &clip) || !SDL_IntersectRect(&clip, &bounds, &clip))
            return;
    }
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
                if (direct && !img.coverage.empty()) {
                    blendGlyph(direct, img, dst, clip, glyphInk[c ? 1 : 0]);
                    return true;
                }
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
    // The blink is update's: a draw shows the caret as it stands, so that a frame drawing only
    // what changed shows what a full redraw would.
    const int32_t top = cy - 3;
    if (top < firstTop || top > lastTop) return;
    if (caretOn)
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
