#include "controls/Containers.h"

#include "core/Draw.h"
#include "core/Window.h"

#include <algorithm>

namespace {

constexpr SDL_Color kPageArea{255, 255, 255, 255};
constexpr SDL_Color kCurrentTab{255, 255, 255, 255};
constexpr SDL_Color kOtherTab{210, 210, 210, 255};
constexpr SDL_Color kEdge{120, 120, 120, 255};
constexpr SDL_Color kTitleInk{0, 0, 0, 255};

// A release at (-1, 0): a control pressed on a page that is switched away lets go without
// acting, as when another window becomes modal.
void releasePressed(GuiPanel* page) {
    if (!page || !page->kids.capture) return;
    SDL_Event up{};
    up.type = SDL_MOUSEBUTTONUP;
    up.button.button = SDL_BUTTON_LEFT;
    up.button.state = SDL_RELEASED;
    up.button.clicks = 1;
    up.button.x = -1;
    up.button.y = 0;
    GuiEvent ge = GuiEvent::makeInput(0, &up);
    page->handleEvent(ge);
}

}  // namespace

GuiNotebook::GuiNotebook(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color pageColor,
                         TTF_Font* font)
    : GuiObject(parent, id, x, y, w, h, pageColor), font(font), pageColor(pageColor) {}

GuiNotebook::~GuiNotebook() = default;

SDL_Rect GuiNotebook::pageArea() const {
    return SDL_Rect{x, y + kTabHeight, std::max(width, 0), std::max(height - kTabHeight, 1)};
}

std::unique_ptr<GuiPanel> GuiNotebook::makePage() const {
    const SDL_Rect a = pageArea();
    auto page = std::make_unique<GuiPanel>(const_cast<GuiNotebook*>(this), -1, a.x, a.y, a.w, a.h,
                                           pageColor, "", nullptr);
    page->window = window;
    return page;
}

GuiPanel* GuiNotebook::addPage(const std::string& title, const std::string& n) {
    NotebookPage p;
    p.title = title;
    p.name = n;
    p.page = makePage();
    pages.push_back(std::move(p));
    if (current == -1) current = 0;
    relayout();
    invalidate();
    return pages.back().page.get();
}

std::unique_ptr<GuiObject> GuiNotebook::releaseChild(GuiObject* child) {
    for (NotebookPage& p : pages) {
        if (p.page.get() != child) continue;
        // The tab stays; a page deleted from outside is replaced by an empty one.
        std::unique_ptr<GuiObject> old = std::move(p.page);
        p.page = makePage();
        relayout();
        invalidate();
        return old;
    }
    return nullptr;
}

GuiPanel* GuiNotebook::pageAt(int index) const {
    if (index < 0 || index >= static_cast<int>(pages.size())) return nullptr;
    return pages[index].page.get();
}

GuiPanel* GuiNotebook::currentPage() const {
    return pageAt(current);
}

void GuiNotebook::leavePage(GuiPanel* page) {
    if (!page) return;
    releasePressed(page);
    page->mouseLeave();
}

void GuiNotebook::setCurrentPage(int index) {
    if (index < 0 || index >= static_cast<int>(pages.size()) || index == current) return;
    leavePage(currentPage());
    current = index;
    // Moves the keyboard focus off any control of the page that is now hidden.
    if (window) window->setFocus(this);
    invalidate();
}

int GuiNotebook::pageIndexByName(const std::string& n) const {
    if (n.empty()) return -1;
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].name == n) return static_cast<int>(i);
    return -1;
}

int GuiNotebook::tabAt(int px, int py) const {
    if (py < y || py > y + kTabHeight - 1) return -1;
    for (size_t i = 0; i < pages.size(); ++i) {
        const int left = x + pages[i].tabOffset;
        if (px >= left && px < left + pages[i].tabWidth) return static_cast<int>(i);
    }
    return -1;
}

void GuiNotebook::relayout() {
    int offset = 0;
    const SDL_Rect a = pageArea();
    for (NotebookPage& p : pages) {
        int tw = 0, th = 0;
        if (font && TTF_SizeUTF8(font, p.title.c_str(), &tw, &th) != 0) tw = 0;
        p.tabWidth = tw + kTabPadding;
        p.tabOffset = offset;
        offset += p.tabWidth;
        GuiPanel* page = p.page.get();
        page->parent = this;
        page->window = window;
        page->kids.attach(page);
        // Through the panel's geometry, so that a moved notebook carries its pages' children.
        page->setGeometry(a.x, a.y, a.w, a.h);
    }
}

void GuiNotebook::resize(SDL_Renderer*, int w, int h) {
    width = w;
    height = h;
    relayout();
    invalidate();
}

// ---------------------------------------------------------------------------------------------
// Lookup and value

GuiObject* GuiNotebook::tooltipTarget() {
    GuiPanel* page = currentPage();
    return page ? page->tooltipTarget() : this;
}

GuiObject* GuiNotebook::findByName(const std::string& n) {
    if (GuiObject* self = GuiObject::findByName(n)) return self;
    for (NotebookPage& p : pages)
        if (GuiObject* hit = p.page->findByName(n)) return hit;
    return nullptr;
}

bool GuiNotebook::locateItem(const std::string& label, SDL_Rect& out) {
    const int index = pageIndexByName(label);
    if (index < 0) return false;
    out = SDL_Rect{x + pages[index].tabOffset, y, pages[index].tabWidth, kTabHeight};
    return true;
}

bool GuiNotebook::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    if (GuiObject::findItem(label, owner, out)) return true;
    for (NotebookPage& p : pages)
        if (p.page->findItem(label, owner, out)) return true;
    return false;
}

bool GuiNotebook::getValue(std::string& out) {
    out.clear();
    if (!currentPage()) return true;
    const NotebookPage& p = pages[current];
    out = p.name.empty() ? p.title : p.name;
    return true;
}

bool GuiNotebook::setValue(const std::string& value) {
    int index = pageIndexByName(value);
    for (size_t i = 0; index < 0 && i < pages.size(); ++i)
        if (pages[i].title == value) index = static_cast<int>(i);
    if (index < 0) return false;
    setCurrentPage(index);
    return true;
}

GuiObject* GuiNotebook::hitTest(int px, int py) {
    if (GuiPanel* page = currentPage())
        if (GuiObject* hit = page->hitTest(px, py)) return hit;
    return GuiObject::hitTest(px, py);
}

GuiObject* GuiNotebook::wheelTarget(int px, int py) {
    GuiPanel* page = currentPage();
    return page ? page->wheelTarget(px, py) : nullptr;
}

// Hidden pages need no time: nothing of them is shown or animated.
void GuiNotebook::update(uint32_t now) {
    if (GuiPanel* page = currentPage()) page->update(now);
}

uint32_t GuiNotebook::msUntilDue(uint32_t now) {
    GuiPanel* page = currentPage();
    return page ? page->msUntilDue(now) : kNoDeadline;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void GuiNotebook::drawTab(SDL_Renderer* r, NotebookPage& p, bool isCurrent) {
    const int left = x + p.tabOffset, right = left + p.tabWidth - 1;
    const int bottom = y + kTabHeight - 1;
    fillRect(r, {left, y, p.tabWidth, kTabHeight}, isCurrent ? kCurrentTab : kOtherTab);
    setColor(r, kEdge);
    SDL_RenderDrawLine(r, left, y, left, bottom);
    SDL_RenderDrawLine(r, left, y, right, y);
    SDL_RenderDrawLine(r, right, y, right, bottom);
    // The current tab opens into its page.
    if (!isCurrent) SDL_RenderDrawLine(r, left, bottom, right, bottom);
    int tw = 0, th = 0;
    SDL_Texture* t = p.titleCache->get(r, font, p.title, kTitleInk, tw, th);
    if (!t) return;
    SDL_Rect dst{left + (p.tabWidth - tw) / 2, y + (kTabHeight - th) / 2, tw, th};
    SDL_RenderCopy(r, t, nullptr, &dst);
}

void GuiNotebook::coverChildrenMeeting(SDL_Rect& area) const {
    if (GuiPanel* page = currentPage()) coverDrawingOf(page, rect(), area);
}

void GuiNotebook::draw(SDL_Renderer* r) {
    ClipScope own(r, rect());
    if (!own.visible()) return;
    GuiPanel* page = currentPage();
    // An opaque page covers the whole area: filling it first would only cost time.
    if (!page || page->bgColor.a != 255 || height - kTabHeight < 1) {
        SDL_Rect area{x, y + kTabHeight, width, std::max(height - kTabHeight, 0)};
        fillRect(r, area, kPageArea);
        setColor(r, kEdge);
        SDL_RenderDrawRect(r, &area);
    }
    for (size_t i = 0; i < pages.size(); ++i)
        drawTab(r, pages[i], static_cast<int>(i) == current);
    if (!page) return;
    const SDL_Rect pr = page->drawnRect();
    if (SDL_HasIntersection(&pr, &own.area())) page->draw(r);
}

// ---------------------------------------------------------------------------------------------
// Events

void GuiNotebook::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN: {
            if (s.button.button != SDL_BUTTON_LEFT) return;
            const int tab = tabAt(s.button.x, s.button.y);
            if (tab >= 0) {
                setCurrentPage(tab);
                return;
            }
            break;
        }
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONUP:
            break;
        default:
            return;  // keys go to the focused object, the wheel to the wheel target
    }
    if (GuiPanel* page = currentPage()) page->handleEvent(e);
}

// Clears hover state inside the page without sending it a motion that a pressed control
// would take for a drag.
void GuiNotebook::mouseLeave() {
    if (GuiPanel* page = currentPage()) page->mouseLeave();
}
