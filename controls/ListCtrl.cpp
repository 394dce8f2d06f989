#include "controls/ListCtrl.h"
#include "controls/RowMetrics.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "text/GlyphCache.h"
#include "text/Utf8.h"
#include "util/IntClamp.h"

#include <SDL_image.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr uint32_t kTrackColor = packColor(230, 230, 230);
constexpr uint32_t kThumbColor = packColor(160, 160, 160);
constexpr SDL_Color kCornerColor{230, 230, 230, 255};
constexpr int kHorizontalWheelStep = 40;
constexpr int kHorizontalPageInset = 40;

// An opaque fill gives the same pixels without blending, which the software renderer would
// otherwise do for every pixel.
void fill(SDL_Renderer* r, const SDL_Rect& area, SDL_Color c) {
    setColor(r, c);
    if (c.a != 255) {
        SDL_RenderFillRect(r, &area);
        return;
    }
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetRenderDrawBlendMode(r, &mode);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_RenderFillRect(r, &area);
    SDL_SetRenderDrawBlendMode(r, mode);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// RowWidths

void RowWidths::reset() {
    noted = 0;
    maxBytes = 0;
    asciiSeen[0] = asciiSeen[1] = 0;
    otherKinds.clear();
    otherUnbounded = false;
    forgetMeasurements();
}

// What depends on the font; the summary of the rows does not.
void RowWidths::forgetMeasurements() {
    font = nullptr;
    otherWidth.clear();
    forgetRowBounds();
}

void RowWidths::forgetRowBounds() {
    folded = 0;
    maxBound = 0;
    exactUpTo = 0;
    exactCache = -1;
}

bool RowWidths::exactWidth(TTF_Font* f, std::string_view text, int& w) {
    if (latinUsable && latin->measure(text, w)) return true;
    int h = 0;
    return TTF_SizeUTF8(f, std::string(text).c_str(), &w, &h) == 0;
}

int RowWidths::charWidth(TTF_Font* f, const char* bytes, int len) {
    unsigned char lead = static_cast<unsigned char>(bytes[0]);
    if (len == 1 && lead < 128 && asciiWidth[lead] >= 0) return asciiWidth[lead];
    if (len == 1 && lead < 128 && latinUsable &&
        latin->measure(std::string_view(bytes, 1), asciiWidth[lead]))
        return asciiWidth[lead];
    if (len == 1 && lead < 128) {
        // The glyph's own box and advance span what measuring it alone spans, without shaping
        // a string: a list's first draw measures every character its rows use this way.
        int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
        if (TTF_GlyphMetrics32(f, lead, &minX, &maxX, &minY, &maxY, &advance) == 0) {
            asciiWidth[lead] = std::max(advance, maxX) - std::min(0, minX);
            return asciiWidth[lead];
        }
    }
    std::string one(bytes, len);
    if (len > 1) {
        auto it = otherWidth.find(one);
        if (it != otherWidth.end()) return it->second;
    }
    int w = 0;
    // A character that cannot be measured alone gets a generous stand-in.
    if (!exactWidth(f, one, w) || w < 0) w = TTF_FontHeight(f) * 2;
    if (len == 1 && lead < 128)
        asciiWidth[lead] = w;
    else
        otherWidth.emplace(std::move(one), w);
    return w;
}

int RowWidths::boundOf(TTF_Font* f, const std::string& text) {
    const char* p = text.data();
    const size_t n = text.size();
    long long sum = slack;
    size_t chars = 0;
    for (size_t i = 0; i < n; ++chars) {
        unsigned char lead = static_cast<unsigned char>(p[i]);
        // Plain ASCII from the table: this loop runs over every row of the list once.
        if (lead < 128 && asciiWidth[lead] >= 0) {
            sum += asciiWidth[lead];
            ++i;
            continue;
        }
        int len = static_cast<int>(std::min<size_t>(utf8SequenceLength(lead), n - i));
        sum += charWidth(f, p + i, len);
        i += len;
    }
    return clampToInt(sum + static_cast<long long>(chars) * slack);
}

void RowWidths::noteAppended(const std::string& text) {
    ++noted;
    summarize(text);
}

// The summary only grows: after a change or a removal it still bounds every row, if less tightly.
void RowWidths::noteChanged(const std::string& text) {
    summarize(text);
    forgetRowBounds();
}

void RowWidths::noteRemoved() {
    if (noted > 0) --noted;
    forgetRowBounds();
}

void RowWidths::summarize(const std::string& text) {
    maxBytes = std::max(maxBytes, text.size());
    // Runs for every row as it is added: two words in registers, no table.
    uint64_t low = 0, high = 0, other = 0;
    for (unsigned char c : text) {
        const uint64_t bit = uint64_t{1} << (c & 63);
        low |= c < 64 ? bit : 0;
        high |= c >= 64 && c < 128 ? bit : 0;
        other |= c & 0x80;
    }
    asciiSeen[0] |= low;
    asciiSeen[1] |= high;
    if (other && !otherUnbounded) summarizeOthers(text);
}

void RowWidths::summarizeOthers(const std::string& text) {
    const char* p = text.data();
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char lead = static_cast<unsigned char>(p[i]);
        if (lead < 128) {
            ++i;
            continue;
        }
        const size_t len = std::min<size_t>(utf8SequenceLength(lead), n - i);
        uint64_t kind = len;
        for (size_t k = 0; k < len; ++k)
            kind |= uint64_t{static_cast<unsigned char>(p[i + k])} << (8 * (k + 1));
        i += len;
        if (std::find(otherKinds.begin(), otherKinds.end(), kind) != otherKinds.end()) continue;
        if (otherKinds.size() == kOtherKinds) {
            otherUnbounded = true;
            otherKinds.clear();
            return;
        }
        otherKinds.push_back(kind);
    }
}

// Every noted row has at most maxBytes bytes. A character of n bytes adds its width and the
// slack to the per-character bound, which is at most n times (its width per byte, rounded up,
// plus the slack); so the bound of any row is at most this.
int RowWidths::summaryBound(TTF_Font* f) {
    long long widestPerByte = 0;
    for (int c = 0; c < 128; ++c) {
        if (!(asciiSeen[c / 64] >> (c % 64) & 1)) continue;
        const char ch = static_cast<char>(c);
        widestPerByte = std::max<long long>(widestPerByte, charWidth(f, &ch, 1));
    }
    for (uint64_t kind : otherKinds) {
        const int len = static_cast<int>(kind & 0xFF);
        char bytes[4];
        for (int k = 0; k < len; ++k)
            bytes[k] = static_cast<char>(kind >> (8 * (k + 1)) & 0xFF);
        widestPerByte =
            std::max<long long>(widestPerByte, (charWidth(f, bytes, len) + len - 1) / len);
    }
    return clampToInt(slack + static_cast<long long>(maxBytes) * (widestPerByte + slack));
}

void RowWidths::foldBounds(TTF_Font* f, const ListItems& items) {
    for (; folded < items.size(); ++folded)
        maxBound = std::max(maxBound, boundOf(f, items[folded].text));
}

int RowWidths::exactMax(TTF_Font* f, const ListItems& items) {
    for (; exactUpTo < items.size(); ++exactUpTo) {
        const std::string& text = items[exactUpTo].text;
        // A row whose bound cannot beat the widest so far needs no exact measurement.
        if (exactCache >= 0 && boundOf(f, text) <= exactCache) continue;
        int w = 0;
        if (!exactWidth(f, text, w)) continue;  // unmeasurable rows are skipped
        exactCache = std::max(exactCache, w);
    }
    return std::max(exactCache, 0);
}

void RowWidths::useFont(TTF_Font* f) {
    // The same font object measures differently after a change of size or style.
    const FontLook now = FontLook::of(f);
    if (f != font || !(now == look)) {
        forgetMeasurements();
        font = f;
        look = now;
        slack = std::max(2, TTF_FontHeight(f) / 4);
        std::fill(std::begin(asciiWidth), std::end(asciiWidth), -1);
    }
    // Once per measuring call, not per row: the face's size may have changed since the last.
    latinUsable = latin && latinLook == look && latin->stillMatches(f);
}

int RowWidths::contentWidth(TTF_Font* f, const ListItems& items, int limit) {
    if (!f) return 0;
    // Rows are only appended or all cleared; fewer rows than seen means a clear we missed.
    if (items.size() < folded || items.size() < exactUpTo || items.size() < noted) reset();
    useFont(f);
    if (noted == items.size() && !otherUnbounded) {
        const int bound = summaryBound(f);
        if (bound <= limit) return bound;
    }
    foldBounds(f, items);
    if (maxBound <= limit) return maxBound;
    return exactMax(f, items);
}

int RowWidths::upperBound(TTF_Font* f, const std::string& text) {
    if (!f) return 0;
    useFont(f);
    return boundOf(f, text);
}

// ---------------------------------------------------------------------------------------------
// GuiListCtrl

GuiListCtrl::GuiListCtrl(GuiObject* parent, int id, int x, int y, int width, int height,
                         SDL_Color bgColor, TTF_Font* font)
    : GuiObject(parent, id, x, y, width, height, bgColor), font(font) {
    computeRowHeight();
    updateScrollbars();
}

GuiListCtrl::~GuiListCtrl() {
    dropRowTextures();
}

void GuiListCtrl::computeRowHeight() {
    if (!font) return;
    rowHeight = listRowHeight(font);
}

int GuiListCtrl::addItem(uint32_t itemId, std::string text) {
    widths.noteAppended(text);
    items.push_back(ListItem{itemId, std::move(text)});
    layoutPending = true;
    invalidate();
    return static_cast<int>(items.size()) - 1;
}

bool GuiListCtrl::setItemText(int index, std::string text) {
    if (index < 0 || index >= itemCount()) return false;
    widths.noteChanged(text);
    items[index].text = std::move(text);
    layoutPending = true;
    invalidate();
    return true;
}

bool GuiListCtrl::removeItem(int index) {
    if (index < 0 || index >= itemCount()) return false;
    items.erase(items.begin() + index);
    widths.noteRemoved();
    if (selected == index)
        selected = -1;
    else if (selected > index)
        --selected;
    layoutPending = true;
    invalidate();
    return true;
}

void GuiListCtrl::itemsChanged() {
    widths.reset();
    for (const ListItem& item : items)
        widths.noteAppended(item.text);
    layoutPending = true;
    invalidate();
}

void GuiListCtrl::clear() {
    items.clear();
    widths.reset();
    dropRowTextures();
    selected = -1;
    scrollX = scrollY = 0;
    layoutPending = true;
    updateScrollbars();
    invalidate();
}

ListItem* GuiListCtrl::itemAt(int index) {
    if (index < 0 || index >= itemCount()) return nullptr;
    return &items[index];
}

int GuiListCtrl::selectedItemId() const {
    if (selected < 0 || selected >= itemCount()) return -1;
    return static_cast<int>(items[selected].itemId);
}

void GuiListCtrl::setSelection(int index) {
    if (index < 0 || index >= itemCount()) {
        selected = -1;
    } else {
        selected = index;
        ensureSelectionVisible();
    }
    invalidate();
}

void GuiListCtrl::ensureSelectionVisible() {
    if (layoutPending) {
        // The bars decide the view height; added rows may not have been laid out yet.
        updateScrollbars();
        layoutPending = false;
    }
    int viewH = viewHeight();
    if (selected < 0 || selected >= itemCount() || viewH < 1) return;
    long long top = static_cast<long long>(selected) * rowHeight;
    long long bottom = top + rowHeight;
    if (top < scrollY)
        scrollY = clampToInt(top);
    else if (bottom > static_cast<long long>(scrollY) + viewH)
        scrollY = clampToInt(bottom - viewH);
    updateScrollbars();
    invalidate();
}

void GuiListCtrl::scrollToTop() {
    scrollY = 0;
    updateScrollbars();
    invalidate();
}

int GuiListCtrl::rowAt(int px, int py) const {
    if (px < x || px >= x + viewWidth() || py < y || py >= y + viewHeight()) return -1;
    if (rowHeight < 1) return -1;
    long long row = (static_cast<long long>(py) - y + scrollY) / rowHeight;
    return row < itemCount() ? static_cast<int>(row) : -1;
}

bool GuiListCtrl::getValue(std::string& out) {
    out = selected >= 0 && selected < itemCount() ? items[selected].text : std::string();
    return true;
}

bool GuiListCtrl::setValue(const std::string& value) {
    if (value.empty()) {
        setSelection(-1);
        return true;
    }
    for (int i = 0; i < itemCount(); ++i) {
        if (items[i].text == value) {
            setSelection(i);
            return true;
        }
    }
    return false;
}

void GuiListCtrl::relayout() {
    computeRowHeight();
    updateScrollbars();
}

int GuiListCtrl::contentWidth() {
    // Exact whenever it can matter: above width - 14 the horizontal bar may show.
    lastCW = widths.contentWidth(font, items, width - kBar);
    return lastCW;
}

void GuiListCtrl::updateScrollbars() {
    computeRowHeight();
    long long ch = static_cast<long long>(rowHeight) * static_cast<long long>(items.size());
    int CH = clampToInt(ch);
    int CW = contentWidth();
    int W = width, H = height;
    bool v, h;
    if (CH <= H && CW <= W) {
        v = h = false;
    } else if (CW > W && CH <= H - kBar) {
        v = false;
        h = true;
    } else if (CH > H && CW <= W - kBar) {
        v = true;
        h = false;
    } else {
        v = h = true;
    }
    vScroll.visible = v;
    hScroll.visible = h;
    if (!v) vScroll.dragging = false;
    if (!h) hScroll.dragging = false;
    int viewW = viewWidth(), viewH = viewHeight();
    scrollY = std::clamp(scrollY, 0, std::max(CH - viewH, 0));
    scrollX = std::clamp(scrollX, 0, std::max(CW - viewW, 0));
    vScroll.setGeometry(x + viewW, y, kBar, viewH, CH, viewH, scrollY, -1);
    hScroll.setGeometry(x, y + viewH, viewW, kBar, CW, viewW, scrollX, -1);
}

void GuiListCtrl::handleEvent(GuiEvent& e) {
    listEvent(e);
}

void GuiListCtrl::listEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            handlePress(s.button.x, s.button.y);
            break;
        case SDL_MOUSEMOTION:
            handleDrag(s.motion.x, s.motion.y);
            break;
        case SDL_MOUSEBUTTONUP:
            vScroll.dragging = false;
            hScroll.dragging = false;
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(s);
            break;
        default:
            break;
    }
}

void GuiListCtrl::handlePress(int px, int py) {
    hasFocus = true;
    const bool laidOutNow = layoutPending;
    if (layoutPending) {
        updateScrollbars();
        layoutPending = false;
    }
    const ScrollState before = scrollState();
    bool paged = false;
    if (vScroll.visible && vScroll.thumbContains(px, py)) {
        vScroll.beginDrag(py);
    } else if (vScroll.visible && vScroll.trackContains(px, py)) {
        scrollY = vScroll.pageTarget(py, scrollY, std::max(vScroll.track.h - rowHeight, 1));
        updateScrollbars();
        paged = true;
    } else if (hScroll.visible && hScroll.thumbContains(px, py)) {
        hScroll.beginDrag(px);
    } else if (hScroll.visible && hScroll.trackContains(px, py)) {
        scrollX =
            hScroll.pageTarget(px, scrollX, std::max(hScroll.track.w - kHorizontalPageInset, 1));
        updateScrollbars();
        paged = true;
    } else {
        int row = rowAt(px, py);
        if (row < 0) return;
        selected = row;
        ensureSelectionVisible();
    }
    // A page step of a list shown as laid out before this press moves the view's pixels.
    if (paged && !laidOutNow)
        showScroll(before);
    else
        invalidate();
}

void GuiListCtrl::handleDrag(int px, int py) {
    if (!vScroll.dragging && !hScroll.dragging) return;
    const ScrollState before = scrollState();
    if (vScroll.dragging) {
        int CH = clampToInt(static_cast<long long>(rowHeight) * items.size());
        scrollY = vScroll.dragPosition(py, CH, vScroll.track.h, -1);
    }
    if (hScroll.dragging) scrollX = hScroll.dragPosition(px, contentWidth(), hScroll.track.w, -1);
    updateScrollbars();
    showScroll(before);
}

void GuiListCtrl::handleWheel(const SDL_Event& s) {
    int v = s.wheel.y, hAmount = s.wheel.x;
    if (s.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
        v = -v;
        hAmount = -hAmount;
    }
    int step = rowHeight < 1 ? 16 : rowHeight;
    const ScrollState before = scrollState();
    scrollY = clampToInt(static_cast<long long>(scrollY) - static_cast<long long>(v) * step);
    if (hAmount == 0 && (SDL_GetModState() & KMOD_SHIFT)) hAmount = v;
    scrollX = clampToInt(static_cast<long long>(scrollX) -
                         static_cast<long long>(hAmount) * kHorizontalWheelStep);
    updateScrollbars();
    showScroll(before);
}

bool GuiListCtrl::selectionShown(int atScrollY, int viewH) const {
    if (selected < 0 || selected >= itemCount()) return false;
    const long long top = static_cast<long long>(selected) * rowHeight - atScrollY;
    return top < viewH && top + rowHeight > 0;
}

void GuiListCtrl::showScroll(const ScrollState& before) {
    // Moving needs the window's coordinates (a child of the window itself), a laid-out list with
    // the same bars and an opaque background under every row.
    if (!window || parent != window || !ZazOvadir::current() || layoutPending ||
        before.vBar != vScroll.visible || before.hBar != hScroll.visible || !paintsEveryPixel()) {
        invalidate();
        return;
    }
    if (before.x == scrollX && before.y == scrollY) return;
    dirty = true;
    const int viewW = viewWidth(), viewH = viewHeight();
    // Right of every row's rendering the view is only background, before the scroll and after,
    // unless a selected row spans it: a vertical scroll moves only the columns rows can reach.
    int moveW = viewW;
    if (before.x == scrollX && !selectionShown(before.y, viewH) && !selectionShown(scrollY, viewH))
        moveW = std::clamp(4 - scrollX + lastCW, 1, viewW);
    window->movePixels(this, SDL_Rect{x, y, moveW, viewH}, before.x - scrollX, before.y - scrollY);
    if (vScroll.visible) window->addDamage(SDL_Rect{x + viewW, y, kBar, viewH});
    if (hScroll.visible) window->addDamage(SDL_Rect{x, y + viewH, viewW, kBar});
}

void GuiListCtrl::dropRowTextures() {
    for (auto* map : {&rowTextures, &nextTextures}) {
        for (auto& [row, rt] : *map) {
            if (textureRenderer)
                TextureRetirement::retire(textureRenderer, rt.texture);
            else
                (void)rt.texture.release();  // no renderer known: nothing to hand over
        }
        map->clear();
    }
}

bool GuiListCtrl::RowTexture::shows(const std::string& s, bool sel) const {
    return selected == sel && text == s;
}

namespace {

// The smallest box of a rendered text that holds all its ink; what lies outside it is fully
// transparent. Only for 32-bit ARGB surfaces (what blended text renders to); the whole surface
// otherwise.
SDL_Rect inkBox(const SDL_Surface* s) {
    SDL_Rect all{0, 0, s->w, s->h};
    if (s->format->format != SDL_PIXELFORMAT_ARGB8888 || SDL_MUSTLOCK(s)) return all;
    const auto line = [s](int y) {
        return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(s->pixels) +
                                                 static_cast<size_t>(y) * s->pitch);
    };
    int top = s->h, bottom = 0, left = s->w, right = 0;
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* px = line(y);
        int first = 0;
        while (first < s->w && !(px[first] >> 24))
            ++first;
        if (first == s->w) continue;
        int last = s->w;
        while (!(px[last - 1] >> 24))
            --last;
        top = std::min(top, y);
        bottom = y + 1;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (bottom <= top) return SDL_Rect{0, 0, 0, 0};
    return SDL_Rect{left, top, right - left, bottom - top};
}

bool opaque(SDL_Color c) {
    return c.a == 255;
}

}  // namespace

// SDL blends with its own integer steps; blending every alpha once through SDL itself gives
// exactly its results without blending every row.
void GuiListCtrl::BlendTable::make(SDL_Color textColor, SDL_Color background) {
    valid = false;
    SdlSurfacePtr ramp(SDL_CreateRGBSurfaceWithFormat(0, 256, 1, 32, SDL_PIXELFORMAT_ARGB8888));
    SdlSurfacePtr under(SDL_CreateRGBSurfaceWithFormat(0, 256, 1, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!ramp || !under) return;
    text = SDL_MapRGB(ramp->format, textColor.r, textColor.g, textColor.b) & 0xFFFFFFu;
    auto* in = static_cast<uint32_t*>(ramp->pixels);
    for (uint32_t a = 0; a < 256; ++a)
        in[a] = a << 24 | text;
    SDL_FillRect(under.get(), nullptr,
                 SDL_MapRGBA(under->format, background.r, background.g, background.b, 255));
    SDL_SetSurfaceBlendMode(ramp.get(), SDL_BLENDMODE_BLEND);
    if (SDL_BlitSurface(ramp.get(), nullptr, under.get(), nullptr) != 0) return;
    std::copy_n(static_cast<const uint32_t*>(under->pixels), 256, out);
    mappedFormat = SDL_PIXELFORMAT_UNKNOWN;
    valid = true;
}

void GuiListCtrl::BlendTable::mapTo(const SDL_PixelFormat* format) {
    if (mappedFormat == format->format) return;
    for (int a = 0; a < 256; ++a)
        mapped[a] = SDL_MapRGB(format, out[a] >> 16 & 0xFF, out[a] >> 8 & 0xFF, out[a] & 0xFF);
    mappedFormat = format->format;
}

SDL_Texture* GuiListCtrl::opaqueInk(SDL_Renderer* r, const SDL_Surface* text, const SDL_Rect& ink,
                                    const BlendTable& blend) const {
    if (!blend.valid || text->format->format != SDL_PIXELFORMAT_ARGB8888 || SDL_MUSTLOCK(text))
        return nullptr;
    SdlTexturePtr texture(
        SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, ink.w, ink.h));
    void* pixels = nullptr;
    int pitch = 0;
    if (!texture || SDL_LockTexture(texture.get(), nullptr, &pixels, &pitch) != 0) return nullptr;
    bool plain = true;
    for (int y = 0; y < ink.h && plain; ++y) {
        const auto* from =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(text->pixels) +
                                              static_cast<size_t>(ink.y + y) * text->pitch) +
            ink.x;
        auto* to = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) +
                                               static_cast<size_t>(y) * pitch);
        for (int x = 0; x < ink.w; ++x) {
            const uint32_t alpha = from[x] >> 24;
            // Only ink of the text colour blends as the table says; other ink is left to SDL.
            plain = plain && (alpha == 0 || (from[x] & 0xFFFFFFu) == blend.text);
            to[x] = blend.out[alpha];
        }
    }
    SDL_UnlockTexture(texture.get());
    if (!plain) return nullptr;
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);
    return texture.release();
}

// Only the ink box goes into the texture: a transparent pixel changes nothing where it is
// copied, and leaving it out saves its memory and its blending in every frame. On an opaque
// background that the box stays inside, the texture holds the blended pixels and is copied
// without blending.
GuiListCtrl::RowTexture GuiListCtrl::renderRow(SDL_Renderer* r, int row, bool isSelected) const {
    RowTexture rt;
    rt.selected = isSelected;
    rt.text = items[row].text;
    SdlSurfacePtr surface(
        TTF_RenderUTF8_Blended(font, rt.text.c_str(), isSelected ? selectedTextColor : textColor));
    if (!surface) return rt;
    rt.w = surface->w;
    rt.h = surface->h;
    const SDL_Rect ink = inkBox(surface.get());
    rt.inkLeft = ink.x;
    rt.inkTop = ink.y;
    rt.inkWidth = ink.w;
    rt.inkHeight = ink.h;
    if (ink.w <= 0 || ink.h <= 0) return rt;
    const SDL_Color background = isSelected ? selectionColor : bgColor;
    const int inkY = (rowHeight - rt.h) / 2 + ink.y;
    if (blendsOnce && opaque(background) && inkY >= 0 && inkY + ink.h <= rowHeight) {
        rt.texture.reset(opaqueInk(r, surface.get(), ink, blends[isSelected ? 1 : 0]));
        if (rt.texture) return rt;
    }
    SdlSurfacePtr inkOnly(SDL_CreateRGBSurfaceWithFormatFrom(
        static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(ink.y) * surface->pitch +
            static_cast<size_t>(ink.x) * 4,
        ink.w, ink.h, 32, surface->pitch, surface->format->format));
    if (!inkOnly) return rt;
    SDL_SetSurfaceBlendMode(inkOnly.get(), SDL_BLENDMODE_BLEND);
    rt.texture.reset(SDL_CreateTextureFromSurface(r, inkOnly.get()));
    return rt;
}

const GuiListCtrl::RowTexture* GuiListCtrl::rowTexture(SDL_Renderer* r, int row, bool isSelected) {
    auto it = rowTextures.find(row);
    if (it != rowTextures.end() && it->second.shows(items[row].text, isSelected)) {
        auto placed = nextTextures.emplace(row, std::move(it->second));
        rowTextures.erase(it);
        return &placed.first->second;
    }
    auto placed = nextTextures.insert_or_assign(row, renderRow(r, row, isSelected));
    return &placed.first->second;
}

void GuiListCtrl::useLatinLines(const FontLook& look) {
    ZazOvadir* engine = ZazOvadir::current();
    FT_Face face =
        engine && font && font == engine->getDefaultFont() ? engine->getFtFace() : nullptr;
    FaceCache* cache = FaceCache::of(face);
    latinLines = cache ? cache->latinLines(font) : nullptr;
    widths.useLatin(latinLines, look);
}

bool GuiListCtrl::drawRowDirectly(SDL_Renderer* r, SDL_Surface* s, int row, bool isSelected,
                                  int top, const SDL_Rect& clip) {
    BlendTable& blend = blends[isSelected ? 1 : 0];
    const SDL_Color color = isSelected ? selectedTextColor : textColor;
    // Only the columns inside the clip are composed: a long row shows a little of itself.
    const int lineLeft = x + 4 - scrollX;
    const int fromX = std::max(0, clip.x - lineLeft),
              toX = std::max(fromX, clip.x + clip.w - lineLeft);
    if (!blend.valid || !latinLines->rasterise(items[row].text, color.a, latinLine, fromX, toX))
        return false;
    const AlphaLine& line = latinLine;
    int inkTop = line.height, inkBottom = 0;
    for (int y = 0; y < line.height; ++y) {
        const uint8_t* a = line.alpha.data() + static_cast<ptrdiff_t>(y) * line.columns;
        if (std::none_of(a, a + line.columns, [](uint8_t v) { return v != 0; })) continue;
        inkTop = std::min(inkTop, y);
        inkBottom = y + 1;
    }
    if (inkBottom <= inkTop) return true;  // no ink shows: the background is the row
    // Only over the row's own background does the table say what blending gives.
    const int lineTop = top + (rowHeight - line.height) / 2;
    if (lineTop + inkTop < top || lineTop + inkBottom > top + rowHeight) return false;
    if (SDL_RenderFlush(r) != 0) return false;  // the selection's fill goes first
    blend.mapTo(s->format);
    const SDL_Rect ink{lineLeft + line.left, lineTop + inkTop, line.columns, inkBottom - inkTop};
    const SDL_Rect bounds{0, 0, s->w, s->h};
    SDL_Rect inClip, shown;
    if (!SDL_IntersectRect(&ink, &clip, &inClip) || !SDL_IntersectRect(&inClip, &bounds, &shown))
        return true;
    for (int py = shown.y; py < shown.y + shown.h; ++py) {
        const uint8_t* a = line.alpha.data() + static_cast<ptrdiff_t>(py - lineTop) * line.columns +
                           (shown.x - ink.x);
        auto* px = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) +
                                               static_cast<ptrdiff_t>(py) * s->pitch) +
                   shown.x;
        for (int i = 0; i < shown.w; ++i)
            if (a[i]) px[i] = blend.mapped[a[i]];
    }
    return true;
}

void GuiListCtrl::useRendering(SDL_Renderer* r) {
    const FontLook look = FontLook::of(font);
    useLatinLines(look);
    const auto same = [](SDL_Color a, SDL_Color b) {
        return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
    };
    const SDL_Color colors[4] = {textColor, selectedTextColor, bgColor, selectionColor};
    if (textureRenderer == r && look == textureLook &&
        std::equal(std::begin(colors), std::end(colors), std::begin(textureColors), same))
        return;
    dropRowTextures();
    textureRenderer = r;
    textureLook = look;
    std::copy(std::begin(colors), std::end(colors), std::begin(textureColors));
    SDL_RendererInfo info;
    blendsOnce = SDL_GetRendererInfo(r, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    blends[0].valid = blends[1].valid = false;
    if (!blendsOnce) return;
    if (opaque(bgColor)) blends[0].make(textColor, bgColor);
    if (opaque(selectionColor)) blends[1].make(selectedTextColor, selectionColor);
}

bool GuiListCtrl::visibleRows(int viewH, int& first, int& last) const {
    if (!font || items.empty() || rowHeight < 1 || scrollY < 0) return false;
    first = scrollY / rowHeight;
    long long lastRow = (static_cast<long long>(scrollY) + viewH) / rowHeight;
    last = static_cast<int>(std::min<long long>(itemCount() - 1, lastRow));
    return first <= last;
}

void GuiListCtrl::renderRowsAhead(SDL_Renderer* r) {
    useRendering(r);
    computeRowHeight();
    if (blendsOnce && latinLines) return;  // rows will most likely be drawn directly
    int first = 0, last = -1;
    // The tallest view the bars can leave; scrollY is clamped only by the layout that follows.
    if (!visibleRows(height, first, last)) return;
    for (int k = first; k <= last; ++k) {
        const bool isSelected = k == selected;
        auto it = rowTextures.find(k);
        if (it != rowTextures.end() && it->second.shows(items[k].text, isSelected)) continue;
        if (it != rowTextures.end()) TextureRetirement::retire(r, it->second.texture);
        rowTextures.insert_or_assign(k, renderRow(r, k, isSelected));
    }
}

void GuiListCtrl::drawRows(SDL_Renderer* r, int viewW, int viewH) {
    useRendering(r);
    SDL_Rect clip{x, y, viewW, viewH};
    if (SDL_RenderIsClipEnabled(r)) SDL_RenderGetClipRect(r, &clip);
    SDL_Surface* direct = blendsOnce && latinLines ? directPixels(r) : nullptr;
    int first = 0, last = -1;
    if (visibleRows(viewH, first, last)) {
        int top = y - scrollY % rowHeight;
        for (int k = first; k <= last; ++k, top += rowHeight) {
            bool isSelected = k == selected;
            const SDL_Rect row{x, top, viewW, rowHeight};
            if (!SDL_HasIntersection(&row, &clip)) {
                // Not drawn this time (a part of the list is): a texture it has stays kept.
                auto it = rowTextures.find(k);
                if (it != rowTextures.end() && it->second.shows(items[k].text, isSelected)) {
                    nextTextures.emplace(k, std::move(it->second));
                    rowTextures.erase(it);
                }
                continue;
            }
            // An opaque background is already under the row.
            if (isSelected || bgColor.a != 255)
                fill(r, SDL_Rect{x, top, viewW, rowHeight}, isSelected ? selectionColor : bgColor);
            if (direct && drawRowDirectly(r, direct, k, isSelected, top, clip)) continue;
            const RowTexture* rt = rowTexture(r, k, isSelected);
            if (!rt->texture) continue;
            SDL_Rect dst{x + 4 - scrollX + rt->inkLeft, top + (rowHeight - rt->h) / 2 + rt->inkTop,
                         rt->inkWidth, rt->inkHeight};
            SDL_RenderCopy(r, rt->texture.get(), nullptr, &dst);
        }
    }
    // Rows that left the view give their textures back.
    for (auto& [row, rt] : rowTextures)
        TextureRetirement::retire(r, rt.texture);
    rowTextures.clear();
    rowTextures.swap(nextTextures);
}

void GuiListCtrl::draw(SDL_Renderer* r) {
    if (!r) return;
    fill(r, rect(), bgColor);
    if (layoutPending) {
        // Rows first: measuring for the bars then finds their glyphs loaded, not loads them twice.
        renderRowsAhead(r);
        updateScrollbars();
        layoutPending = false;
    }
    int viewW = viewWidth(), viewH = viewHeight();
    {
        ClipScope clip(r, SDL_Rect{x, y, viewW, viewH});
        if (clip.visible()) drawRows(r, viewW, viewH);
    }
    if (vScroll.visible) vScroll.draw(r, kTrackColor, kThumbColor);
    if (hScroll.visible) hScroll.draw(r, kTrackColor, kThumbColor);
    if (vScroll.visible && hScroll.visible) {
        SDL_Rect corner{vScroll.track.x, hScroll.track.y, kBar, kBar};
        setColor(r, kCornerColor);
        SDL_RenderFillRect(r, &corner);
    }
}

// ---------------------------------------------------------------------------------------------
// The combo arrow, one texture per renderer

namespace {

const char* const kArrowXpm[] = {
    "9 9 2 1",   ". c None",  "# c #000000", ".........", "#########", ".#######.",
    "..#####..", "...###...", "....#....",   ".........", ".........", ".........",
};

struct ArrowTexture {
    SdlTexturePtr texture;
    int w = 0, h = 0;
};

std::unordered_map<SDL_Renderer*, ArrowTexture>& arrowTextures() {
    static std::unordered_map<SDL_Renderer*, ArrowTexture> map;
    return map;
}

const ArrowTexture& arrowFor(SDL_Renderer* r) {
    static bool hookAdded = false;
    if (!hookAdded) {
        addRendererTeardownHook(&releaseArrowTexture);
        hookAdded = true;
    }
    auto& map = arrowTextures();
    auto it = map.find(r);
    if (it != map.end()) return it->second;
    ArrowTexture entry;  // a failure is remembered as an empty entry and not retried
    SDL_Surface* surface = IMG_ReadXPMFromArray(const_cast<char**>(kArrowXpm));
    if (!surface) {
        SDL_Log("IMG_ReadXPMFromArray failed: %s", SDL_GetError());
    } else {
        entry.texture.reset(SDL_CreateTextureFromSurface(r, surface));
        if (!entry.texture) {
            SDL_Log("SDL_CreateTextureFromSurface failed: %s", SDL_GetError());
        } else {
            entry.w = surface->w;
            entry.h = surface->h;
        }
        SDL_FreeSurface(surface);
    }
    return map.emplace(r, std::move(entry)).first->second;
}

}  // namespace

void releaseArrowTexture(SDL_Renderer* r) {
    auto& map = arrowTextures();
    auto it = map.find(r);
    if (it == map.end()) return;
    map.erase(it);  // destroys the texture while its renderer still stands
}

// ---------------------------------------------------------------------------------------------
// GuiComboBox

GuiComboBox::GuiComboBox(GuiObject* parent, int id, int x, int y, int width, int height,
                         SDL_Color bgColor, SDL_Color textColor, TTF_Font* font, int dropDownHeight)
    : GuiObject(parent, id, x, y, width, height, bgColor),
      font(font),
      textColor(textColor),
      dropDownHeight(dropDownHeight) {}

GuiComboBox::~GuiComboBox() {
    if (dropDown) dropDown->combo = nullptr;
}

int GuiComboBox::addItem(uint32_t itemId, std::string text) {
    items.push_back(ListItem{itemId, std::move(text)});
    if (selected < 0) selected = static_cast<int>(items.size()) - 1;
    invalidate();
    return static_cast<int>(items.size()) - 1;
}

void GuiComboBox::clear() {
    items.clear();
    selected = -1;
    invalidate();
}

int GuiComboBox::selectedItemId() const {
    if (selected < 0 || selected >= static_cast<int>(items.size())) return -1;
    return static_cast<int>(items[selected].itemId);
}

std::string GuiComboBox::selectedText() const {
    if (selected < 0 || selected >= static_cast<int>(items.size())) return {};
    return items[selected].text;
}

void GuiComboBox::setSelection(int index, bool notify) {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        selected = -1;
        invalidate();
        return;
    }
    selected = index;
    invalidate();
    if (notify && window) window->postCommand(CMD_COMBO_SELECTED, id, items[index].itemId, this);
}

void GuiComboBox::selectById(uint32_t itemId, bool notify) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].itemId == itemId) {
            setSelection(static_cast<int>(i), notify);
            return;
        }
    }
}

bool GuiComboBox::getValue(std::string& out) {
    out = selectedText();
    return true;
}

bool GuiComboBox::setValue(const std::string& value) {
    if (value.empty()) {
        setSelection(-1, false);
        return true;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].text == value) {
            setSelection(static_cast<int>(i), true);
            return true;
        }
    }
    return false;
}

bool GuiComboBox::dropDownOnStack() const {
    return dropDown && window && window->isPopup(dropDown);
}

void GuiComboBox::openDropDown() {
    if (dropDownOpen || !window || items.empty()) return;
    auto* dd =
        new GuiComboBoxDropDown(parent, id, x, y + height, width, dropDownHeight, bgColor, font);
    dd->combo = this;
    for (const ListItem& item : items)
        dd->addItem(item.itemId, item.text);
    GuiWindow* win = window;
    if (selected >= 0) dd->setSelection(selected);
    win->addChild(dd);
    win->openPopup(dd);
    dd->hasFocus = true;
    dropDownOpen = true;
    dropDown = dd;
}

void GuiComboBox::closeDropDown() {
    if (!dropDownOpen || !window) return;
    // Only our own drop-down is ever closed, and only while the window still shows it.
    if (dropDownOnStack()) {
        window->closePopupsAbove(dropDown);
        window->closeTopPopup();
    }
    dropDownOpen = false;
    dropDown = nullptr;
    invalidate();
}

void GuiComboBox::chooseFromDropDown(int index) {
    setSelection(index, true);
    closeDropDown();
}

void GuiComboBox::dropDownGone(GuiComboBoxDropDown* gone) {
    // The flag stays: the next click on the combo only resets it, as before.
    if (dropDown == gone) dropDown = nullptr;
}

void GuiComboBox::focusLost(GuiObject*) {
    closeDropDown();
}

void GuiComboBox::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_MOUSEBUTTONDOWN) {
        if (s.button.button != SDL_BUTTON_LEFT) return;
        if (!contains(s.button.x, s.button.y)) {
            hasFocus = false;
            return;
        }
        hasFocus = true;
        if (!dropDownOpen)
            openDropDown();
        else
            closeDropDown();
        invalidate();
        return;
    }
    if (s.type != SDL_KEYDOWN || !hasFocus || dropDownOpen) return;
    switch (s.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_SPACE:
        case SDLK_DOWN:
            openDropDown();
            break;
        case SDLK_UP:
            if (selected > 0) setSelection(selected - 1, true);
            break;
        default:
            break;
    }
}

void GuiComboBox::drawArrow(SDL_Renderer* r) {
    const ArrowTexture& arrow = arrowFor(r);
    if (!arrow.texture || arrow.w <= 0 || arrow.h <= 0) return;
    int spaceW = arrowWidth - 4, spaceH = height - 4;
    if (spaceW < 1 || spaceH < 1) return;
    double s = std::min(
        {1.0, static_cast<double>(spaceW) / arrow.w, static_cast<double>(spaceH) / arrow.h});
    int dw = static_cast<int>(std::floor(arrow.w * s + 0.5));
    int dh = static_cast<int>(std::floor(arrow.h * s + 0.5));
    int cx = x + width - arrowWidth + arrowWidth / 2;
    int cy = y + height / 2;
    SDL_Rect dst{cx - dw / 2, cy - dh / 2, dw, dh};
    SDL_RenderCopy(r, arrow.texture.get(), nullptr, &dst);
}

void GuiComboBox::draw(SDL_Renderer* r) {
    if (!r) return;
    SDL_Rect box = rect();
    setColor(r, bgColor);
    SDL_RenderFillRect(r, &box);
    setColor(r, borderColor);
    SDL_RenderDrawRect(r, &box);
    if (font && selected >= 0 && selected < static_cast<int>(items.size())) {
        int tw = 0, th = 0;
        SDL_Texture* t = textCache.get(r, font, items[selected].text, textColor, tw, th);
        int w = std::min(tw, width - arrowWidth - 6);
        if (t && w > 0) {
            // Cut, not scaled, to the space left of the arrow.
            SDL_Rect src{0, 0, w, th};
            SDL_Rect dst{x + 3, y + (height - th) / 2, w, th};
            SDL_RenderCopy(r, t, &src, &dst);
        }
    }
    SDL_Rect area{x + width - arrowWidth, y, arrowWidth, height};
    SDL_Color dark{static_cast<uint8_t>(std::max(bgColor.r - 15, 0)),
                   static_cast<uint8_t>(std::max(bgColor.g - 15, 0)),
                   static_cast<uint8_t>(std::max(bgColor.b - 15, 0)), bgColor.a};
    setColor(r, dark);
    SDL_RenderFillRect(r, &area);
    setColor(r, borderColor);
    SDL_RenderDrawLine(r, area.x, y, area.x, y + height - 1);
    drawArrow(r);
}

// ---------------------------------------------------------------------------------------------
// GuiComboBoxDropDown

GuiComboBoxDropDown::GuiComboBoxDropDown(GuiObject* parent, int id, int x, int y, int width,
                                         int height, SDL_Color bgColor, TTF_Font* font)
    : GuiListCtrl(parent, id, x, y, width, height, bgColor, font) {}

GuiComboBoxDropDown::~GuiComboBoxDropDown() {
    if (combo) combo->dropDownGone(this);
}

void GuiComboBoxDropDown::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_KEYDOWN) {
        SDL_Keycode key = s.key.keysym.sym;
        if (key == SDLK_ESCAPE) {
            if (combo) combo->closeDropDown();
            return;
        }
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
            if (combo && selected >= 0 && selected < itemCount())
                combo->chooseFromDropDown(selected);
            return;
        }
        listEvent(e);
        return;
    }
    if (s.type == SDL_MOUSEBUTTONDOWN && s.button.button == SDL_BUTTON_LEFT) {
        int before = selected;
        listEvent(e);
        if (combo && selected >= 0 && selected < itemCount() && selected != before)
            combo->chooseFromDropDown(selected);
        return;
    }
    listEvent(e);
}
