#include "controls/Containers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

constexpr SDL_Color kSashFill{200, 200, 200, 255};
constexpr SDL_Color kSashEdge{120, 120, 120, 255};

}  // namespace

GuiSplitterWindow::GuiSplitterWindow(GuiObject* parent, int id, int x, int y, int w, int h,
                                     SDL_Color bgColor, int vertical)
    : GuiObject(parent, id, x, y, w, h, bgColor), vertical(vertical) {
    firstPane = makePane();
    secondPane = makePane();
    relayout();
}

GuiSplitterWindow::~GuiSplitterWindow() {
    pressedPane = hoveredPane = nullptr;
}

std::unique_ptr<GuiPanel> GuiSplitterWindow::makePane() const {
    return std::make_unique<GuiPanel>(const_cast<GuiSplitterWindow*>(this), -1, x, y, width, height,
                                      bgColor, "", nullptr);
}

std::unique_ptr<GuiObject> GuiSplitterWindow::releaseChild(GuiObject* child) {
    std::unique_ptr<GuiPanel>* slot = child == firstPane.get()    ? &firstPane
                                      : child == secondPane.get() ? &secondPane
                                                                  : nullptr;
    if (!slot) return nullptr;
    // Both panes always exist: a pane deleted from outside is replaced by an empty one.
    if (pressedPane == child) pressedPane = nullptr;
    if (hoveredPane == child) hoveredPane = nullptr;
    std::unique_ptr<GuiObject> old = std::move(*slot);
    *slot = makePane();
    relayout();
    return old;
}

// ---------------------------------------------------------------------------------------------
// Sash and panes

void GuiSplitterWindow::clampSash() {
    const int length = splitLength();
    if (sashPosition <= kMinPane - 1)
        sashPosition = kMinPane;
    else
        sashPosition =
            std::min(sashPosition, std::max(length - kMinPane - kSashThickness, kMinPane));
    // A splitter too short for two minimum panes still keeps its sash inside itself.
    sashPosition = std::min(sashPosition, std::max(length - kSashThickness, 0));
}

void GuiSplitterWindow::placePanes() {
    const int w = std::max(width, 0), h = std::max(height, 0);
    const int after = sashPosition + kSashThickness;
    if (vertical) {
        firstPane->setGeometry(x, y, w, sashPosition);
        secondPane->setGeometry(x, y + after, w, std::max(h - after, 0));
    } else {
        firstPane->setGeometry(x, y, sashPosition, h);
        secondPane->setGeometry(x + after, y, std::max(w - after, 0), h);
    }
}

void GuiSplitterWindow::relayout() {
    for (GuiPanel* pane : {firstPane.get(), secondPane.get()}) {
        pane->parent = this;
        pane->window = window;
        pane->kids.attach(pane);
    }
    if (!sashInitialized) {
        sashPosition = splitLength() / 2;
        sashInitialized = true;
    }
    clampSash();
    placePanes();
    invalidate();
}

void GuiSplitterWindow::setSashPosition(int pos) {
    sashPosition = pos;
    relayout();
}

void GuiSplitterWindow::resize(SDL_Renderer*, int w, int h) {
    width = w;
    height = h;
    relayout();
}

SDL_Rect GuiSplitterWindow::sashRect() const {
    return vertical ? SDL_Rect{x, y + sashPosition, width, kSashThickness}
                    : SDL_Rect{x + sashPosition, y, kSashThickness, height};
}

bool GuiSplitterWindow::onSash(int px, int py) const {
    const SDL_Rect s = sashRect();
    return px >= s.x && px < s.x + s.w && py >= s.y && py < s.y + s.h;
}

GuiPanel* GuiSplitterWindow::paneAt(int px, int py) const {
    const bool before = vertical ? py < y + sashPosition : px < x + sashPosition;
    return before ? firstPane.get() : secondPane.get();
}

// ---------------------------------------------------------------------------------------------
// Lookup and value

GuiObject* GuiSplitterWindow::tooltipTarget() {
    return hoveredPane ? hoveredPane->tooltipTarget() : this;
}

GuiObject* GuiSplitterWindow::findByName(const std::string& n) {
    if (GuiObject* self = GuiObject::findByName(n)) return self;
    if (GuiObject* hit = firstPane->findByName(n)) return hit;
    return secondPane->findByName(n);
}

bool GuiSplitterWindow::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    return firstPane->findItem(label, owner, out) || secondPane->findItem(label, owner, out);
}

bool GuiSplitterWindow::getValue(std::string& out) {
    out = formatNumber(sashPosition);
    return true;
}

bool GuiSplitterWindow::setValue(const std::string& value) {
    double v = 0;
    if (!parseNumber(value, v) || std::isnan(v)) return false;
    // Saturated first: rounding a value beyond the int range would be undefined.
    v = std::clamp(std::round(v), double(INT_MIN), double(INT_MAX));
    sashPosition = static_cast<int32_t>(v);
    relayout();
    return true;
}

GuiObject* GuiSplitterWindow::hitTest(int px, int py) {
    if (GuiObject* hit = paneAt(px, py)->hitTest(px, py)) return hit;
    return GuiObject::hitTest(px, py);
}

GuiObject* GuiSplitterWindow::wheelTarget(int px, int py) {
    return paneAt(px, py)->wheelTarget(px, py);
}

void GuiSplitterWindow::update(uint32_t now) {
    firstPane->update(now);
    secondPane->update(now);
}

uint32_t GuiSplitterWindow::msUntilDue(uint32_t now) {
    return soonest(firstPane->msUntilDue(now), secondPane->msUntilDue(now));
}

// ---------------------------------------------------------------------------------------------
// Drawing and events

void GuiSplitterWindow::coverChildrenMeeting(SDL_Rect& area) const {
    coverDrawingOf(firstPane.get(), rect(), area);
    coverDrawingOf(secondPane.get(), rect(), area);
}

void GuiSplitterWindow::draw(SDL_Renderer* r) {
    ClipScope own(r, rect());
    if (!own.visible()) return;
    for (GuiPanel* pane : {firstPane.get(), secondPane.get()}) {
        const SDL_Rect pr = pane->drawnRect();
        if (!SDL_HasIntersection(&pr, &own.area())) continue;
        own.reapply();
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        pane->draw(r);
    }
    own.reapply();
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    const SDL_Rect sash = sashRect();
    fillRect(r, sash, kSashFill);
    SDL_SetRenderDrawColor(r, kSashEdge.r, kSashEdge.g, kSashEdge.b, kSashEdge.a);
    SDL_RenderDrawRect(r, &sash);
}

void GuiSplitterWindow::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN: {
            if (s.button.button != SDL_BUTTON_LEFT) return;
            if (onSash(s.button.x, s.button.y)) {
                draggingSash = true;
                dragStartPointer = vertical ? s.button.y : s.button.x;
                dragStartSash = sashPosition;
                return;
            }
            pressedPane = paneAt(s.button.x, s.button.y);
            pressedPane->handleEvent(e);
            return;
        }
        case SDL_MOUSEBUTTONUP: {
            if (draggingSash) {
                draggingSash = false;
                return;
            }
            GuiPanel* pane = pressedPane;
            pressedPane = nullptr;
            if (pane) pane->handleEvent(e);
            return;
        }
        case SDL_MOUSEMOTION: {
            const int px = s.motion.x, py = s.motion.y;
            if (draggingSash) {
                const int64_t along = vertical ? py : px;
                const int64_t pos = along - dragStartPointer + dragStartSash;
                sashPosition = static_cast<int32_t>(std::clamp<int64_t>(pos, INT_MIN, INT_MAX));
                relayout();
                return;
            }
            if (pressedPane) {
                pressedPane->handleEvent(e);
                return;
            }
            GuiPanel* under = paneAt(px, py);
            GuiPanel* far = under == firstPane.get() ? secondPane.get() : firstPane.get();
            // The far pane sees the pointer outside its children and clears its hover.
            far->handleEvent(e);
            under->handleEvent(e);
            hoveredPane = under;
            return;
        }
        default:
            return;  // keys go to the focused object, the wheel to the wheel target
    }
}

// Clears hover state inside the pane without sending it a motion that a pressed control
// would take for a drag.
void GuiSplitterWindow::mouseLeave() {
    if (hoveredPane) hoveredPane->mouseLeave();
    hoveredPane = nullptr;
}
