#include "rich/HtmlBox.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "text/Utf8.h"
#include "util/Base64.h"

#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <unordered_set>

namespace {

constexpr int kFontSizes[4] = {14, 18, 22, 28};
constexpr int kParagraphAfter = 6;
constexpr int kHeadingBefore = 10;
constexpr int kHeadingAfter = 6;
constexpr int kListItemAfter = 2;
constexpr int kImageAfter = 6;
constexpr int kTableAfter = 8;
constexpr int kWheelStep = 40;
constexpr SDL_Color kSelectionColor{51, 153, 255, 90};
constexpr SDL_Color kBorderColor{180, 180, 180, 255};
constexpr SDL_Color kMarkerColor{0, 0, 0, 255};
constexpr uint32_t kTrackColor = packColor(230, 230, 230);
constexpr uint32_t kThumbColor = packColor(160, 160, 160);
constexpr int64_t kMaxImageSide = 16384;
constexpr size_t kExactPrefixes = 256;

int sizeSlot(int level) {
    return level == 1 ? 3 : level == 2 ? 2 : level == 3 ? 1 : 0;
}

int styleOf(const HtmlRun& run) {
    return (run.bold ? TTF_STYLE_BOLD : 0) | (run.italic ? TTF_STYLE_ITALIC : 0) |
           (run.underline ? TTF_STYLE_UNDERLINE : 0);
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | cp >> 6));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | cp >> 12));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | cp >> 18));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// The text as valid UTF-8: every byte that does not start a sequence becomes one U+FFFD, as in
// the text control, and NUL (which would cut the text short in SDL_ttf) too. Layout and
// drawing then never meet a malformed sequence.
std::string validUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80 && text[i] != '\0')
        ++i;
    if (i == text.size()) return text;
    std::string out(text, 0, i);
    out.reserve(text.size() + 16);
    while (i < text.size()) {
        Utf8Step step = decodeUtf8(text.data() + i, text.size() - i);
        uint32_t cp = step.codePoint;
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementChar;
        appendUtf8(out, cp);
        i += static_cast<size_t>(std::max(step.length, 1));
    }
    return out;
}

// Width and height of a PNG from its header, when the bytes are one.
bool pngSize(const uint8_t* bytes, size_t n, int64_t& w, int64_t& h) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n < 24 || std::memcmp(bytes, kSignature, 8) != 0) return false;
    auto be32 = [&](size_t at) {
        return int64_t(bytes[at]) << 24 | int64_t(bytes[at + 1]) << 16 |
               int64_t(bytes[at + 2]) << 8 | int64_t(bytes[at + 3]);
    };
    w = be32(16);
    h = be32(20);
    return true;
}

bool sizeAllowed(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide &&
           w * h <= GuiHtmlBox::kMaxImagePixels;
}

// Loads an image from a reader, refusing a PNG whose header promises an oversized picture
// before anything is decoded. Closes the reader.
SDL_Surface* loadChecked(SDL_RWops* rw) {
    if (!rw) return nullptr;
    uint8_t head[24];
    size_t got = SDL_RWread(rw, head, 1, sizeof head);
    int64_t w = 0, h = 0;
    if (pngSize(head, got, w, h) && !sizeAllowed(w, h)) {
        SDL_RWclose(rw);
        return nullptr;
    }
    if (SDL_RWseek(rw, 0, RW_SEEK_SET) != 0) {
        SDL_RWclose(rw);
        return nullptr;
    }
    SDL_Surface* s = IMG_Load_RW(rw, 1);
    if (s && !sizeAllowed(s->w, s->h)) {
        SDL_FreeSurface(s);
        return nullptr;
    }
    return s;
}

// Only plain files: a device or a pipe named by a document would block or never end.
bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

void fillSurface(SDL_Surface* s, const SDL_Rect& r, SDL_Color c) {
    SDL_FillRect(s, &r, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
}

std::unordered_set<GuiHtmlBox*>& liveBoxes() {
    static std::unordered_set<GuiHtmlBox*> boxes;
    return boxes;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction and the document

GuiHtmlBox::GuiHtmlBox(GuiObject* parent, int id, int x, int y, int width, int height,
                       SDL_Color bgColor, SDL_Renderer* renderer)
    : GuiObject(parent, id, x, y, width, height, bgColor), renderer(renderer) {
    liveBoxes().insert(this);
    addRendererTeardownHook([](SDL_Renderer* r) {
        for (GuiHtmlBox* box : liveBoxes()) {
            if (box->renderer != r) continue;
            // The renderer destroys its textures itself; only our pointers go.
            box->tiles.clear();
            box->renderer = nullptr;
        }
    });
}

GuiHtmlBox::~GuiHtmlBox() {
    dropTiles();
    liveBoxes().erase(this);
}

void GuiHtmlBox::setHtml(const std::string& html) {
    HtmlParser parser;
    blocks = parser.parse(validUtf8(html));
    imageCache.clear();
    imagePixels = 0;
    for (auto& slot : measures)
        for (auto& map : slot)
            map.clear();
    layoutDocument();
    renderedWidth = width;
    dropTiles();
    scrollY = 0;
    updateScrollbar();
    invalidate();
}

void GuiHtmlBox::relayout() {
    relayoutIfWidthChanged();
    updateScrollbar();
}

void GuiHtmlBox::relayoutIfWidthChanged() {
    if (width == renderedWidth) return;
    layoutDocument();
    renderedWidth = width;
    dropTiles();
    invalidate();
}

// ---------------------------------------------------------------------------------------------
// Layout

TTF_Font* GuiHtmlBox::fontFor(int level, int style) {
    const int slot = sizeSlot(level), variant = style & (TTF_STYLE_BOLD | TTF_STYLE_ITALIC);
    if (!fontTried[slot][variant]) {
        fontTried[slot][variant] = true;
        TTF_Font* f = nullptr;
        if (ZazOvadir* engine = ZazOvadir::current())
            f = engine->openFont(kFontSizes[slot]);
        else if (TTF_WasInit())
            f = TTF_OpenFont("data/fonts/Vera.ttf", kFontSizes[slot]);
        if (f) TTF_SetFontStyle(f, variant);
        fonts[slot][variant].reset(f);
    }
    if (fonts[slot][variant]) return fonts[slot][variant].get();
    return variant ? fontFor(level, 0) : nullptr;
}

GuiHtmlBox::Measure GuiHtmlBox::measure(TTF_Font* font, int style, std::string_view text) {
    int slot = 0;
    for (int s = 0; s < 4; ++s)
        for (const auto& f : fonts[s])
            if (f.get() == font) slot = s;
    auto& map = measures[slot][style & 7];
    std::string key(text);
    auto it = map.find(key);
    if (it != map.end()) return it->second;
    Measure m;
    TTF_SetFontStyle(font, style);
    if (TTF_SizeUTF8(font, key.c_str(), &m.w, &m.h) != 0) m = Measure{};
    TTF_SetFontStyle(font, style & (TTF_STYLE_BOLD | TTF_STYLE_ITALIC));
    map.emplace(std::move(key), m);
    return m;
}

void GuiHtmlBox::layoutDocument() {
    fragments.clear();
    images.clear();
    markers.clear();
    borders.clear();
    links.clear();
    prefixes.clear();
    scaledImages.clear();
    selStart = selEnd = HtmlPosition{};
    pressed = false;
    const int W = layoutWidth();
    int64_t y = 0;
    for (const HtmlBlock& block : blocks) {
        if (y > kMaxDocumentHeight) break;
        const int top = static_cast<int>(y);
        switch (block.kind) {
            case HtmlBlockKind::Paragraph:
                y += layoutRuns(block.runs, 0, top, W, 0) + kParagraphAfter;
                break;
            case HtmlBlockKind::Heading:
                y += kHeadingBefore;
                y += layoutRuns(block.runs, 0, static_cast<int>(y), W, block.level) + kHeadingAfter;
                break;
            case HtmlBlockKind::ListItem: {
                int h = layoutRuns(block.runs, kListIndent, top, std::max(W - kListIndent, 1), 0);
                markers.push_back(
                    ListMarker{kListIndent, top, kListIndent, h, block.ordered, block.number});
                y += h + kListItemAfter;
                break;
            }
            case HtmlBlockKind::Image:
                layoutImage(block, top, W, y);
                break;
            case HtmlBlockKind::Table:
                y += layoutTable(block.table, 0, top, W) + kTableAfter;
                break;
        }
    }
    docHeight = static_cast<int>(std::clamp<int64_t>(y, 1, kMaxDocumentHeight + INT16_MAX));
    prefixes.resize(fragments.size());
    indexTiles();
}

void GuiHtmlBox::layoutImage(const HtmlBlock& block, int y, int width, int64_t& advance) {
    SDL_Surface* original = loadImage(block.src);
    if (!original) return;  // takes no space
    int w = original->w, h = original->h;
    SDL_Surface* shown = original;
    if (w > width) {
        h = std::max(1, static_cast<int>(static_cast<double>(width) / w * h));
        w = width;
        shown = scaledImage(original, w, h);
        if (!shown) return;
    }
    images.push_back(ImageItem{SDL_Rect{0, y, w, h}, block.src, shown});
    advance += h + kImageAfter;
}

int GuiHtmlBox::layoutRuns(const std::vector<HtmlRun>& runs, int x, int y, int width, int level) {
    TTF_Font* base = fontFor(level, 0);
    if (!base) return 0;
    int lineSkip = TTF_FontLineSkip(base);
    if (lineSkip < 1) lineSkip = 16;
    if (runs.empty()) return lineSkip;
    int pen = x, lineY = y, lineHeight = 0;
    bool first = true;
    for (const HtmlRun& run : runs) {
        const int style = styleOf(run);
        TTF_Font* font = fontFor(level, style);
        const std::string& text = run.text;
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find(' ', at + 1);
            if (end == std::string::npos) end = text.size();
            std::string_view token(text.data() + at, end - at);
            at = end;
            if (pen == x && token.front() == ' ') token.remove_prefix(1);
            if (token.empty()) continue;
            Measure m = measure(font, style, token);
            bool wrapped = false;
            if (pen != x && int64_t(pen) + m.w > int64_t(x) + width) {
                lineY += lineHeight > 0 ? lineHeight : lineSkip;
                lineHeight = 0;
                pen = x;
                if (token.front() == ' ') token.remove_prefix(1);
                if (token.empty()) continue;
                m = measure(font, style, token);
                wrapped = true;
            }
            addFragment(token, SDL_Rect{pen, lineY, m.w, m.h}, font, style, run, first, wrapped);
            pen = static_cast<int>(std::min<int64_t>(int64_t(pen) + m.w, INT32_MAX / 2));
            lineHeight = std::max(lineHeight, m.h);
            first = false;
        }
    }
    return lineY + (lineHeight > 0 ? lineHeight : lineSkip) - y;
}

void GuiHtmlBox::addFragment(std::string_view token, const SDL_Rect& rect, TTF_Font* font,
                             int style, const HtmlRun& run, bool first, bool wrapped) {
    TextFragment f;
    f.rect = rect;
    f.text.assign(token);
    f.font = font;
    f.style = style;
    f.color = run.color;
    f.firstOfBlock = first;
    f.startsWrappedLine = wrapped;
    fragments.push_back(std::move(f));
    if (!run.href.empty()) links.push_back(LinkArea{rect, run.href});
}

int GuiHtmlBox::layoutTable(const HtmlTable& table, int x, int y, int width) {
    const int c = std::clamp(table.cellPadding, 0, HtmlTable::kMaxCellPadding);
    size_t columns = 0;
    for (const HtmlRow& row : table.rows)
        columns = std::max(columns, row.size());
    if (columns == 0) return 0;
    TTF_Font* base = fontFor(0, 0);
    std::vector<int64_t> widths(columns, 0);
    for (const HtmlRow& row : table.rows) {
        for (size_t k = 0; k < row.size(); ++k) {
            int64_t natural = 2 * c;
            if (base)
                for (const HtmlRun& run : row[k])
                    natural += measure(base, 0, run.text).w;
            widths[k] = std::max(widths[k], natural);
        }
    }
    int64_t sum = 0;
    for (int64_t w : widths)
        sum += w;
    if (sum > width) {
        std::fill(widths.begin(), widths.end(), std::max<int64_t>(width / int64_t(columns), 1));
        sum = 0;
        for (int64_t w : widths)
            sum += w;
    }
    const int total = static_cast<int>(std::min<int64_t>(sum, INT32_MAX / 2));
    std::vector<int> starts(columns);
    int64_t start = x;
    for (size_t k = 0; k < columns; ++k) {
        starts[k] = static_cast<int>(std::min<int64_t>(start, INT32_MAX / 2));
        start += widths[k];
    }
    int64_t rowTop = y;
    for (const HtmlRow& row : table.rows) {
        if (rowTop > kMaxDocumentHeight) break;
        int rowHeight = 0;
        for (size_t k = 0; k < row.size(); ++k) {
            int inner = static_cast<int>(std::max<int64_t>(widths[k] - 2 * c, 1));
            int h = layoutRuns(row[k], starts[k] + c, static_cast<int>(rowTop) + c, inner, 0);
            rowHeight = std::max(rowHeight, h + 2 * c);
        }
        if (rowHeight == 0) rowHeight = 2 * c;
        rowTop += rowHeight;
        if (table.border > 0) borders.push_back(SDL_Rect{x, static_cast<int>(rowTop), total, 1});
    }
    const int height = static_cast<int>(rowTop - y);
    if (table.border > 0) {
        borders.push_back(SDL_Rect{x, y, total, 1});
        borders.push_back(SDL_Rect{x, y, 1, height});
        borders.push_back(SDL_Rect{x + total - 1, y, 1, height});
        for (int s : starts)
            borders.push_back(SDL_Rect{s, y, 1, height});
    }
    return height;
}

// ---------------------------------------------------------------------------------------------
// Images

SDL_Surface* GuiHtmlBox::loadImage(const std::string& src) {
    auto cached = imageCache.find(src);
    if (cached != imageCache.end()) return cached->second.surface.get();
    SdlSurfacePtr surface;
    if (src.rfind("data:", 0) == 0) {
        size_t marker = src.find("base64,");
        if (marker != std::string::npos) {
            const char* payload = src.c_str() + marker + 7;
            size_t n = decodeBase64(payload, nullptr, 0);
            if (n > 0) {
                std::vector<uint8_t> bytes(n);
                if (decodeBase64(payload, bytes.data(), bytes.size()) == n)
                    surface.reset(loadChecked(SDL_RWFromConstMem(
                        bytes.data(), static_cast<int>(std::min<size_t>(n, INT_MAX)))));
            }
        }
    } else if (isRegularFile(src)) {
        surface.reset(loadChecked(SDL_RWFromFile(src.c_str(), "rb")));
    }
    // A document may not make the box hold more decoded pixels than a bound.
    if (surface) {
        int64_t pixels = int64_t(surface->w) * surface->h;
        if (imagePixels + pixels > kMaxDocumentImagePixels)
            surface.reset();
        else
            imagePixels += pixels;
    }
    SDL_Surface* result = surface.get();
    imageCache[src].surface = std::move(surface);
    return result;
}

// A copy of the image at the layout size, made once per layout so that tiles blit unscaled.
SDL_Surface* GuiHtmlBox::scaledImage(SDL_Surface* original, int w, int h) {
    SdlSurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
    SdlSurfacePtr source(SDL_ConvertSurfaceFormat(original, SDL_PIXELFORMAT_ARGB8888, 0));
    if (!scaled || !source) return nullptr;
    SDL_SetSurfaceBlendMode(source.get(), SDL_BLENDMODE_NONE);
    if (SDL_BlitScaled(source.get(), nullptr, scaled.get(), nullptr) != 0) return nullptr;
    SDL_SetSurfaceBlendMode(scaled.get(), SDL_BLENDMODE_BLEND);
    scaledImages.push_back(std::move(scaled));
    return scaledImages.back().get();
}

// ---------------------------------------------------------------------------------------------
// Tiles

void GuiHtmlBox::indexTiles() {
    tileRefs.assign(static_cast<size_t>((docHeight + tileHeight - 1) / tileHeight), {});
    for (size_t i = 0; i < fragments.size(); ++i)
        addToTiles(PaintKind::Fragment, i, fragments[i].rect.y, fragments[i].rect.h);
    TTF_Font* base = fontFor(0, 0);
    const int markerText = base ? TTF_FontHeight(base) : 0;
    for (size_t i = 0; i < markers.size(); ++i)
        addToTiles(PaintKind::Marker, i, markers[i].y, std::max(markers[i].h, markerText));
    for (size_t i = 0; i < images.size(); ++i)
        addToTiles(PaintKind::Image, i, images[i].rect.y, images[i].rect.h);
    for (size_t i = 0; i < borders.size(); ++i)
        addToTiles(PaintKind::Border, i, borders[i].y, borders[i].h);
}

void GuiHtmlBox::addToTiles(PaintKind kind, size_t index, int64_t top, int64_t height) {
    if (tileRefs.empty() || height <= 0) return;
    const int64_t last = static_cast<int64_t>(tileRefs.size()) - 1;
    const int64_t first = std::clamp<int64_t>(top / tileHeight, 0, last);
    const int64_t end = std::clamp<int64_t>((top + height - 1) / tileHeight, 0, last);
    for (int64_t t = first; t <= end; ++t)
        tileRefs[t].push_back(PaintRef{kind, static_cast<uint32_t>(index)});
}

void GuiHtmlBox::setTileHeight(int rows) {
    tileHeight = std::max(rows, 1);
    dropTiles();
    indexTiles();
}

void GuiHtmlBox::dropTiles() {
    for (auto& [index, texture] : tiles)
        if (texture && renderer) TextureRetirement::retire(renderer, texture);
    tiles.clear();
}

SdlSurfacePtr GuiHtmlBox::paintTile(int tile) {
    const int top = tile * tileHeight;
    const int h = std::min(tileHeight, docHeight - top);
    SdlSurfacePtr s(
        SDL_CreateRGBSurfaceWithFormat(0, std::max(width, 1), h, 32, SDL_PIXELFORMAT_ABGR8888));
    if (!s) return nullptr;
    fillSurface(s.get(), SDL_Rect{0, 0, s->w, s->h}, bgColor);
    if (tile >= 0 && static_cast<size_t>(tile) < tileRefs.size())
        for (const PaintRef& ref : tileRefs[tile])
            paintRef(s.get(), ref, top);
    return s;
}

void GuiHtmlBox::paintRef(SDL_Surface* s, const PaintRef& ref, int top) {
    switch (ref.kind) {
        case PaintKind::Fragment: {
            const TextFragment& f = fragments[ref.index];
            if (f.text.empty() || !f.font) return;
            TTF_SetFontStyle(f.font, f.style);
            SdlSurfacePtr text(TTF_RenderUTF8_Blended(f.font, f.text.c_str(), f.color));
            TTF_SetFontStyle(f.font, f.style & (TTF_STYLE_BOLD | TTF_STYLE_ITALIC));
            if (!text) return;
            SDL_Rect at{f.rect.x, f.rect.y - top, text->w, text->h};
            SDL_BlitSurface(text.get(), nullptr, s, &at);
            return;
        }
        case PaintKind::Marker: {
            const ListMarker& m = markers[ref.index];
            TTF_Font* font = fontFor(0, 0);
            if (m.ordered) {
                if (!font) return;
                std::string label = std::to_string(m.number) + ".";
                SdlSurfacePtr text(TTF_RenderUTF8_Blended(font, label.c_str(), kMarkerColor));
                if (!text) return;
                SDL_Rect at{m.x - text->w - 4, m.y - top, text->w, text->h};
                SDL_BlitSurface(text.get(), nullptr, s, &at);
            } else {
                fillSurface(s, SDL_Rect{m.x - 15, m.y + std::max(m.h / 2 - 3, 0) - top, 6, 6},
                            kMarkerColor);
            }
            return;
        }
        case PaintKind::Image: {
            const ImageItem& img = images[ref.index];
            SDL_Rect at{img.rect.x, img.rect.y - top, img.rect.w, img.rect.h};
            SDL_BlitSurface(img.surface, nullptr, s, &at);
            return;
        }
        case PaintKind::Border: {
            SDL_Rect b = borders[ref.index];
            b.y -= top;
            fillSurface(s, b, kBorderColor);
            return;
        }
    }
}

SDL_Texture* GuiHtmlBox::tileTexture(SDL_Renderer* r, int tile) {
    auto it = tiles.find(tile);
    if (it != tiles.end()) return it->second;
    SDL_Texture* texture = nullptr;
    if (SdlSurfacePtr surface = paintTile(tile)) {
        texture = SDL_CreateTextureFromSurface(r, surface.get());
        // Over an opaque background every tile pixel is opaque: copying without blending gives
        // the same pixels and spares the software renderer a per-pixel blend.
        if (texture)
            SDL_SetTextureBlendMode(texture,
                                    bgColor.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    }
    // A failed tile stays empty until the next layout instead of being retried every frame.
    tiles.emplace(tile, texture);
    return texture;
}

void GuiHtmlBox::retireTilesOutside(int first, int last) {
    for (auto it = tiles.begin(); it != tiles.end();) {
        if (it->first >= first && it->first <= last) {
            ++it;
            continue;
        }
        if (it->second && renderer) TextureRetirement::retire(renderer, it->second);
        it = tiles.erase(it);
    }
}

void GuiHtmlBox::drawTiles(SDL_Renderer* r) {
    const int visible = std::min(docHeight - scrollY, height);
    if (visible <= 0 || tileRefs.empty()) return;
    const int first = scrollY / tileHeight;
    const int last = (scrollY + visible - 1) / tileHeight;
    for (int t = first; t <= last; ++t) {
        const int top = t * tileHeight;
        const int from = std::max(scrollY, top);
        const int to = std::min({scrollY + visible, top + tileHeight, docHeight});
        if (to <= from) continue;
        SDL_Texture* texture = tileTexture(r, t);
        if (!texture) continue;
        SDL_Rect src{0, from - top, width, to - from};
        SDL_Rect dst{x, y + from - scrollY, width, to - from};
        SDL_RenderCopy(r, texture, &src, &dst);
    }
    // Neighbours stay for the next scroll steps; tiles further away give their memory back.
    retireTilesOutside(first - 1, last + 1);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void GuiHtmlBox::updateScrollbar() {
    vScroll.visible = docHeight > height;
    scrollY = std::clamp(scrollY, 0, std::max(0, docHeight - height));
    if (vScroll.visible)
        vScroll.setGeometry(x + width - kBar, y, kBar, height, docHeight, height, scrollY, -1);
    else
        vScroll.dragging = false;
}

void GuiHtmlBox::draw(SDL_Renderer* r) {
    // Also follows a move by a container: the bar is placed in window coordinates.
    relayoutIfWidthChanged();
    updateScrollbar();
    if (!r) return;
    if (r != renderer) {
        dropTiles();
        renderer = r;
    }
    SDL_Rect box = rect();
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, bgColor.r, bgColor.g, bgColor.b, bgColor.a);
    SDL_RenderFillRect(r, &box);
    drawTiles(r);
    drawSelection(r);
    if (vScroll.visible) vScroll.draw(r, kTrackColor, kThumbColor);
}

std::vector<uint32_t> GuiHtmlBox::fragmentsNear(int firstTile, int lastTile) const {
    std::vector<uint32_t> out;
    if (tileRefs.empty()) return out;
    const int last = static_cast<int>(tileRefs.size()) - 1;
    for (int t = std::max(firstTile, 0); t <= std::min(lastTile, last); ++t)
        for (const PaintRef& ref : tileRefs[t])
            if (ref.kind == PaintKind::Fragment) out.push_back(ref.index);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void GuiHtmlBox::drawSelection(SDL_Renderer* r) {
    if (!hasSelection()) return;
    HtmlPosition a = selStart, b = selEnd;
    if (std::make_pair(b.fragment, b.character) < std::make_pair(a.fragment, a.character))
        std::swap(a, b);
    ClipScope clip(r, rect());
    if (!clip.visible()) return;
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(r, kSelectionColor.r, kSelectionColor.g, kSelectionColor.b,
                           kSelectionColor.a);
    // Only fragments in view: the tiles under the view hold them all.
    const int firstTile = scrollY / tileHeight;
    const int lastTile = (scrollY + std::max(height, 1) - 1) / tileHeight;
    for (uint32_t i : fragmentsNear(firstTile, lastTile)) {
        if (static_cast<int>(i) < a.fragment || static_cast<int>(i) > b.fragment) continue;
        const std::vector<int>& prefix = prefixWidths(static_cast<int>(i));
        const int count = static_cast<int>(prefix.size()) - 1;
        const int from = static_cast<int>(i) == a.fragment ? std::clamp(a.character, 0, count) : 0;
        const int to =
            static_cast<int>(i) == b.fragment ? std::clamp(b.character, 0, count) : count;
        if (to <= from) continue;
        const TextFragment& f = fragments[i];
        int top = y + f.rect.y - scrollY, bottom = top + f.rect.h;
        top = std::max(top, y);
        bottom = std::min(bottom, y + height);
        if (bottom <= top) continue;
        SDL_Rect fill{x + f.rect.x + prefix[from], top, prefix[to] - prefix[from], bottom - top};
        SDL_RenderFillRect(r, &fill);
    }
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
}

// ---------------------------------------------------------------------------------------------
// Positions, links, selection

const std::vector<int>& GuiHtmlBox::prefixWidths(int index) {
    static const std::vector<int> kNone{0};
    if (index < 0 || static_cast<size_t>(index) >= fragments.size()) return kNone;
    std::vector<int>& prefix = prefixes[index];
    if (!prefix.empty()) return prefix;
    const TextFragment& f = fragments[index];
    prefix.push_back(0);
    if (f.font) TTF_SetFontStyle(f.font, f.style);
    std::string head;
    size_t i = 0;
    while (i < f.text.size()) {
        Utf8Step step = decodeUtf8(f.text.data() + i, f.text.size() - i);
        i += static_cast<size_t>(std::max(step.length, 1));
        int w = 0, h = 0;
        if (prefix.size() <= kExactPrefixes) {
            head.assign(f.text, 0, i);
            if (f.font && TTF_SizeUTF8(f.font, head.c_str(), &w, &h) != 0) w = 0;
        } else {
            // Measuring every prefix of a giant word is quadratic: past the first ones, add
            // glyph advances (kerning aside) so that a click on it stays instant.
            int advance = 0;
            if (f.font && TTF_GlyphMetrics32(f.font, step.codePoint, nullptr, nullptr, nullptr,
                                             nullptr, &advance) != 0)
                advance = 0;
            w = prefix.back() + advance;
        }
        prefix.push_back(w);
    }
    if (f.font) TTF_SetFontStyle(f.font, f.style & (TTF_STYLE_BOLD | TTF_STYLE_ITALIC));
    return prefix;
}

HtmlPosition GuiHtmlBox::positionAt(int px, int py) {
    if (fragments.empty() || tileRefs.empty()) return HtmlPosition{-1, 0};
    const int lx = px - x;
    const int64_t ly = int64_t(py) - y + scrollY;
    auto distance = [&](const TextFragment& f) -> int64_t {
        if (ly >= f.rect.y && ly < int64_t(f.rect.y) + f.rect.h) return 0;
        if (ly < f.rect.y) return f.rect.y - ly;
        return ly - (int64_t(f.rect.y) + f.rect.h) + 1;
    };
    // The nearest line: search the tiles outwards from the point's tile; a fragment first met
    // r tiles away is at least (r - 1) tiles of rows away, which bounds the search.
    const int tilesCount = static_cast<int>(tileRefs.size());
    const int home = static_cast<int>(std::clamp<int64_t>(ly / tileHeight, 0, tilesCount - 1));
    int best = -1;
    int64_t bestDistance = INT64_MAX;
    for (int ring = 0; ring < tilesCount; ++ring) {
        if (best >= 0 && bestDistance < int64_t(ring - 1) * tileHeight) break;
        for (int t : {home - ring, home + ring}) {
            if (t < 0 || t >= tilesCount || (ring == 0 && t != home)) continue;
            for (const PaintRef& ref : tileRefs[t]) {
                if (ref.kind != PaintKind::Fragment) continue;
                int64_t d = distance(fragments[ref.index]);
                if (d < bestDistance || (d == bestDistance && int(ref.index) < best)) {
                    bestDistance = d;
                    best = static_cast<int>(ref.index);
                }
            }
            if (ring == 0) break;
        }
    }
    if (best < 0) return HtmlPosition{-1, 0};
    // On that line, the first fragment reaching past the point, else the line's last.
    const int lineY = fragments[best].rect.y;
    const int lineTile = std::clamp(lineY / tileHeight, 0, tilesCount - 1);
    int chosen = -1, lastOnLine = -1;
    for (const PaintRef& ref : tileRefs[lineTile]) {
        if (ref.kind != PaintKind::Fragment) continue;
        const TextFragment& f = fragments[ref.index];
        if (f.rect.y != lineY) continue;
        lastOnLine = static_cast<int>(ref.index);
        if (chosen < 0 && int64_t(f.rect.x) + f.rect.w > lx) chosen = static_cast<int>(ref.index);
    }
    if (chosen < 0) chosen = lastOnLine;
    const std::vector<int>& prefix = prefixWidths(chosen);
    const int count = static_cast<int>(prefix.size()) - 1;
    const int rel = lx - fragments[chosen].rect.x;
    for (int k = 0; k < count; ++k)
        if (rel < (prefix[k] + prefix[k + 1]) / 2) return HtmlPosition{chosen, k};
    return HtmlPosition{chosen, count};
}

std::string GuiHtmlBox::linkAt(int px, int py) const {
    if (!contains(px, py) || links.empty() || tileRefs.empty()) return {};
    const int lx = px - x;
    const int64_t ly = int64_t(py) - y + scrollY;
    for (const LinkArea& link : links) {
        const SDL_Rect& r = link.rect;
        if (lx >= r.x && lx < r.x + r.w && ly >= r.y && ly < int64_t(r.y) + r.h) return link.href;
    }
    return {};
}

bool GuiHtmlBox::hasSelection() const {
    return selStart.fragment >= 0 && selEnd.fragment >= 0 && !(selStart == selEnd);
}

void GuiHtmlBox::setSelection(HtmlPosition start, HtmlPosition end) {
    auto valid = [&](HtmlPosition p) {
        return p.fragment >= 0 && static_cast<size_t>(p.fragment) < fragments.size();
    };
    selStart = valid(start) ? start : HtmlPosition{};
    selEnd = valid(end) ? end : HtmlPosition{};
    invalidate();
}

std::string GuiHtmlBox::selectedText() {
    if (!hasSelection()) return {};
    HtmlPosition a = selStart, b = selEnd;
    if (std::make_pair(b.fragment, b.character) < std::make_pair(a.fragment, a.character))
        std::swap(a, b);
    std::string out;
    for (int i = a.fragment; i <= b.fragment; ++i) {
        const TextFragment& f = fragments[i];
        if (i > a.fragment) {
            if (f.firstOfBlock)
                out += '\n';
            else if (f.startsWrappedLine)
                out += ' ';
        }
        const int count = countCodePoints(f.text);
        const int from = i == a.fragment ? std::clamp(a.character, 0, count) : 0;
        const int to = i == b.fragment ? std::clamp(b.character, 0, count) : count;
        if (to <= from) continue;
        const int begin = byteOffsetOf(f.text, from), end = byteOffsetOf(f.text, to);
        out.append(f.text, begin, end - begin);
    }
    return out;
}

SDL_Rect GuiHtmlBox::fragmentRect(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= fragments.size()) return SDL_Rect{0, 0, 0, 0};
    return fragments[index].rect;
}

std::string GuiHtmlBox::fragmentText(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= fragments.size()) return {};
    return fragments[index].text;
}

void GuiHtmlBox::scrollTo(int offset) {
    scrollY = offset;
    updateScrollbar();
    invalidate();
}

// ---------------------------------------------------------------------------------------------
// Events

void GuiHtmlBox::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            handlePress(s.button.x, s.button.y);
            break;
        case SDL_MOUSEMOTION:
            handleMotion(s.motion.x, s.motion.y);
            break;
        case SDL_MOUSEBUTTONUP:
            handleRelease(s.button.x, s.button.y);
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(s);
            break;
        case SDL_KEYDOWN:
            handleKey(s.key);
            break;
        default:
            break;
    }
}

void GuiHtmlBox::handlePress(int px, int py) {
    hasFocus = true;
    relayoutIfWidthChanged();
    updateScrollbar();
    if (vScroll.visible && vScroll.thumbContains(px, py)) {
        vScroll.beginDrag(py);
    } else if (vScroll.visible && vScroll.trackContains(px, py)) {
        scrollY = vScroll.pageTarget(py, scrollY, std::max(height - 20, 1));
        updateScrollbar();
    } else {
        pressX = px;
        pressY = py;
        pendingHref = linkAt(px, py);
        selStart = selEnd = positionAt(px, py);
        pressed = true;
    }
    invalidate();
}

void GuiHtmlBox::handleMotion(int px, int py) {
    if (vScroll.dragging) {
        scrollY = vScroll.dragPosition(py, docHeight, height, -1);
        updateScrollbar();
        invalidate();
    } else if (pressed) {
        HtmlPosition end = positionAt(px, py);
        if (end == selEnd) return;
        selEnd = end;
        invalidate();
    }
}

void GuiHtmlBox::handleRelease(int px, int py) {
    vScroll.dragging = false;
    if (!pressed) return;
    pressed = false;
    const int64_t dx = int64_t(px) - pressX, dy = int64_t(py) - pressY;
    std::string href = std::move(pendingHref);
    pendingHref.clear();
    if (dx * dx + dy * dy <= 9 && !href.empty() && onLinkClicked) onLinkClicked(href);
}

void GuiHtmlBox::handleWheel(const SDL_Event& s) {
    int steps = s.wheel.y;
    if (s.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
    const int64_t target = int64_t(scrollY) - int64_t(steps) * kWheelStep;
    scrollY = static_cast<int>(std::clamp<int64_t>(target, 0, INT32_MAX));
    updateScrollbar();
    invalidate();
}

void GuiHtmlBox::handleKey(const SDL_KeyboardEvent& k) {
    if (!hasFocus || !(k.keysym.mod & KMOD_CTRL) || k.keysym.sym != SDLK_c) return;
    if (!hasSelection()) return;
    std::string text = selectedText();
    SDL_SetClipboardText(text.c_str());
}
