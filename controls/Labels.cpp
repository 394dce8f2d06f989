#include "controls/Labels.h"

#include "core/Draw.h"
#include "text/Utf8.h"

#include <algorithm>
#include <vector>

namespace {

constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr const char* kEllipsis = "\xE2\x80\xA6";  // U+2026

// Up to this many candidate starts are measured one by one, as the rule reads.
constexpr size_t kLinearSearchLimit = 256;

}  // namespace

// ---------------------------------------------------------------------------------------------
// GuiLabel

GuiLabel::GuiLabel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color,
                   const std::string& text, TTF_Font* font, uint32_t flags)
    : GuiObject(parent, id, x, y, w, h, color), text(text), font(font), flags(flags) {}

bool GuiLabel::getValue(std::string& out) {
    out = text;
    return true;
}

bool GuiLabel::setValue(const std::string& value) {
    setText(value);
    return true;
}

void GuiLabel::setText(const std::string& value) {
    if (value == text) return;
    text = value;
    invalidate();
}

const std::string& GuiLabel::displayText() {
    if (!(flags & LABEL_ELLIPSIS_START) || !font) return text;
    if (cachedWidth == width && cachedSource == text) return cachedDisplay;
    shorten();
    return cachedDisplay;
}

bool GuiLabel::tailFits(size_t start) const {
    const std::string candidate = kEllipsis + text.substr(start);
    int tw = 0, th = 0;
    return TTF_SizeUTF8(font, candidate.c_str(), &tw, &th) == 0 && tw <= width;
}

size_t GuiLabel::firstFittingTail() const {
    std::vector<size_t> starts;
    for (size_t i = 1; i < text.size(); ++i)
        if (!isUtf8Continuation(static_cast<unsigned char>(text[i]))) starts.push_back(i);
    if (starts.size() <= kLinearSearchLimit) {
        for (size_t start : starts)
            if (tailFits(start)) return start;
        return std::string::npos;
    }
    // Tails only get narrower as they start later: bisecting measures a long text's tails
    // a logarithmic number of times instead of once per character.
    size_t lo = 0, hi = starts.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (tailFits(starts[mid]))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo < starts.size() ? starts[lo] : std::string::npos;
}

void GuiLabel::shorten() {
    ++shortenings;
    cachedSource = text;
    cachedWidth = width;
    cachedDisplay = text;
    int tw = 0, th = 0;
    if (TTF_SizeUTF8(font, text.c_str(), &tw, &th) == 0 && tw <= width) return;
    cachedDisplay = kEllipsis;
    const size_t length = text.size();
    if (length < 2) return;
    size_t start = firstFittingTail();
    if (start == std::string::npos) return;
    // Let a path separator in the shown tail begin it.
    const size_t p = text.find_first_of("/\\", start);
    if (p != std::string::npos && p + 1 < length) start = p;
    cachedDisplay = kEllipsis + text.substr(start);
}

void GuiLabel::draw(SDL_Renderer* r) {
    const std::string& shown = displayText();
    int tw = 0, th = 0;
    SDL_Texture* t = textCache.get(r, font, shown, textColor, tw, th);
    if (!t) return;
    SDL_Rect dst{(flags & LABEL_LEFT) ? x : x + (width - tw) / 2, y + (height - th) / 2, tw, th};
    SDL_RenderCopy(r, t, nullptr, &dst);
}

// ---------------------------------------------------------------------------------------------
// GuiPanel

GuiPanel::GuiPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
                   const std::string& title, TTF_Font* font)
    : GuiObject(parent, id, x, y, w, h, bgColor),
      title(title),
      font(font),
      placedX(x),
      placedY(y) {}

// Children first, then the sizer that placed them.
GuiPanel::~GuiPanel() {
    kids.capture = kids.hover = nullptr;
    kids.children.clear();
    sizer.reset();
}

GuiObject* GuiPanel::addChild(GuiObject* child) {
    followPosition();
    return kids.add(this, child, x, y);
}

std::unique_ptr<GuiObject> GuiPanel::releaseChild(GuiObject* child) {
    // The sizer must not place a child that is being deleted.
    if (sizer) sizer->remove(child);
    return kids.detach(child);
}

void GuiPanel::followPosition() {
    const int dx = x - placedX, dy = y - placedY;
    placedX = x;
    placedY = y;
    if (dx != 0 || dy != 0) kids.moveBy(dx, dy);
}

void GuiPanel::relayout() {
    kids.attach(this);
    followPosition();
    relayoutSizer();
}

void GuiPanel::setSizer(GuiSizer* newSizer) {
    sizer.reset(newSizer);
    relayoutSizer();
    invalidate();  // the children moved
}

int GuiPanel::contentTop() const {
    if (title.empty() || !font) return y;
    return y + TTF_FontHeight(font) + 4;
}

void GuiPanel::relayoutSizer() {
    if (!sizer) return;
    const int top = contentTop();
    sizer->layout(x, top, width, y + height - top);
}

void GuiPanel::setGeometry(int nx, int ny, int w, int h) {
    x = nx;
    y = ny;
    width = w;
    height = h;
    followPosition();
    relayoutSizer();
    invalidate();
}

void GuiPanel::resize(SDL_Renderer*, int w, int h) {
    width = w;
    height = h;
    relayoutSizer();
    invalidate();
}

GuiObject* GuiPanel::tooltipTarget() {
    GuiObject* t = kids.tooltipTarget();
    return t ? t : this;
}

GuiObject* GuiPanel::findByName(const std::string& n) {
    if (GuiObject* self = GuiObject::findByName(n)) return self;
    return kids.findByName(n);
}

bool GuiPanel::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    if (kids.findItem(label, owner, out)) return true;
    return GuiObject::findItem(label, owner, out);
}

GuiObject* GuiPanel::hitTest(int px, int py) {
    if (GuiObject* hit = kids.hitTest(px, py)) return hit;
    return GuiObject::hitTest(px, py);
}

GuiObject* GuiPanel::wheelTarget(int px, int py) {
    return kids.wheelTarget(px, py);
}

void GuiPanel::update(uint32_t now) {
    kids.update(now);
}

void GuiPanel::handleEvent(GuiEvent& e) {
    kids.route(e);
}

void GuiPanel::mouseLeave() {
    if (GuiObject* h = kids.hover) {
        h->mouseLeave();
        h->invalidate();
    }
    kids.hover = nullptr;
}

void GuiPanel::drawFrame(SDL_Renderer* r) {
    const int fh = TTF_FontHeight(font);
    const int ly = y + fh / 2;
    SDL_SetRenderDrawColor(r, 120, 120, 120, 255);
    SDL_RenderDrawLine(r, x, ly, x + width - 1, ly);
    SDL_RenderDrawLine(r, x, ly, x, y + height - 1);
    SDL_RenderDrawLine(r, x + width - 1, ly, x + width - 1, y + height - 1);
    SDL_RenderDrawLine(r, x, y + height - 1, x + width - 1, y + height - 1);
    int tw = 0, th = 0;
    SDL_Texture* t = titleCache.get(r, font, title, kBlack, tw, th);
    if (!t) return;
    setColor(r, bgColor);
    SDL_Rect cut{x + 4, y, tw + 4, fh};
    SDL_RenderFillRect(r, &cut);
    SDL_Rect dst{x + 6, y, tw, th};
    SDL_RenderCopy(r, t, nullptr, &dst);
}

void GuiPanel::coverChildrenMeeting(SDL_Rect& area) const {
    kids.coverChildrenMeeting(rect(), area);
}

void GuiPanel::draw(SDL_Renderer* r) {
    SDL_Rect rc = rect();
    fillRect(r, rc, bgColor);
    if (!title.empty() && font) drawFrame(r);
    kids.draw(r, rc);
}

// ---------------------------------------------------------------------------------------------
// GuiStatusBar

GuiStatusBar::GuiStatusBar(GuiObject* parent, int id, SDL_Color bgColor, TTF_Font* font)
    : GuiObject(parent, id, 0, 0, 100, 22, bgColor), font(font) {
    panes.push_back(Pane{});
}

GuiStatusBar::~GuiStatusBar() = default;

void GuiStatusBar::relayout() {
    if (parent) width = parent->width;
    int64_t fixed = 0;
    int sharing = 0;
    for (const Pane& p : panes) {
        if (p.paneWidth >= 0)
            fixed += p.paneWidth;
        else
            ++sharing;
    }
    const int rest = static_cast<int>(std::max<int64_t>(width - fixed, 0));
    int lastSharing = -1;
    for (size_t i = 0; i < panes.size(); ++i)
        if (panes[i].paneWidth < 0) lastSharing = static_cast<int>(i);
    int px = 0;
    for (size_t i = 0; i < panes.size(); ++i) {
        Pane& p = panes[i];
        if (p.paneWidth >= 0)
            p.actualWidth = p.paneWidth;
        else
            p.actualWidth =
                rest / sharing + (static_cast<int>(i) == lastSharing ? rest % sharing : 0);
        p.paneX = px;
        px += p.actualWidth;
    }
    invalidate();
}

void GuiStatusBar::setText(const std::string& text, int pane) {
    if (pane < 0 || pane >= static_cast<int>(panes.size())) return;
    panes[pane].text = text;
    invalidate();
}

std::string GuiStatusBar::getText(int pane) const {
    if (pane < 0 || pane >= static_cast<int>(panes.size())) return {};
    return panes[pane].text;
}

void GuiStatusBar::setPaneCount(int n) {
    panes.resize(static_cast<size_t>(std::max(n, 0)));
    relayout();
}

void GuiStatusBar::setPanes(const std::vector<int>& widths) {
    panes.clear();
    for (int w : widths) {
        Pane p;
        p.paneWidth = w;
        panes.push_back(p);
    }
    relayout();
}

void GuiStatusBar::draw(SDL_Renderer* r) {
    setColor(r, bgColor);
    SDL_Rect rc = rect();
    SDL_RenderFillRect(r, &rc);
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderDrawLine(r, x, y, x + width - 1, y);
    SDL_SetRenderDrawColor(r, 160, 160, 160, 255);
    for (size_t i = 0; i + 1 < panes.size(); ++i) {
        const int sx = x + panes[i].paneX + panes[i].actualWidth - 1;
        SDL_RenderDrawLine(r, sx, y + 3, sx, y + height - 3);
    }
    while (paneCaches.size() < panes.size())
        paneCaches.push_back(std::make_unique<TextCache>());
    for (size_t i = 0; i < panes.size(); ++i) {
        const Pane& p = panes[i];
        int tw = 0, th = 0;
        SDL_Texture* t = paneCaches[i]->get(r, font, p.text, kBlack, tw, th);
        if (!t) continue;
        ClipScope clip(r, SDL_Rect{x + p.paneX, y, p.actualWidth, height});
        if (!clip.visible()) continue;
        SDL_Rect dst{x + p.paneX + 6, y + (height - th) / 2, tw, th};
        SDL_RenderCopy(r, t, nullptr, &dst);
    }
}
