#include "controls/Containers.h"

#include "core/Window.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

constexpr uint32_t kTrack = packColor(230, 230, 230);
constexpr uint32_t kThumb = packColor(160, 160, 160);
constexpr SDL_Color kCorner{230, 230, 230, 255};

int saturate(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

}  // namespace

GuiScrolledPanel::GuiScrolledPanel(GuiObject* parent, int id, int x, int y, int w, int h,
                                   SDL_Color bgColor)
    : GuiObject(parent, id, x, y, w, h, bgColor),
      virtualWidth(std::max(w, 0)),
      virtualHeight(std::max(h, 0)),
      placedX(x),
      placedY(y) {}

// Children first, then the sizer that placed them.
GuiScrolledPanel::~GuiScrolledPanel() {
    kids.capture = kids.hover = nullptr;
    kids.children.clear();
    sizer.reset();
}

int GuiScrolledPanel::viewWidth() const {
    return std::max(width - (vScroll.visible ? kBarThickness : 0), 0);
}

int GuiScrolledPanel::viewHeight() const {
    return std::max(height - (hScroll.visible ? kBarThickness : 0), 0);
}

// ---------------------------------------------------------------------------------------------
// Children and layout

GuiObject* GuiScrolledPanel::addChild(GuiObject* child) {
    followPosition();
    return kids.add(this, child, x - scrollX, y - scrollY);
}

std::unique_ptr<GuiObject> GuiScrolledPanel::releaseChild(GuiObject* child) {
    if (sizer) sizer->remove(child);
    return kids.detach(child);
}

void GuiScrolledPanel::setSizer(GuiSizer* newSizer) {
    sizer.reset(newSizer);
    layoutContent();
}

void GuiScrolledPanel::setVirtualSize(int w, int h) {
    virtualWidth = std::max(w, 0);
    virtualHeight = std::max(h, 0);
    layoutContent();
}

void GuiScrolledPanel::layoutContent() {
    if (sizer) {
        int w = 0, h = 0;
        sizer->calcMin(w, h);
        virtualWidth = std::max(w, 0);
        virtualHeight = std::max(h, 0);
    }
    updateScrollbars();
    if (sizer)
        sizer->layout(x - scrollX, y - scrollY, std::max(viewWidth(), virtualWidth),
                      std::max(viewHeight(), virtualHeight));
    invalidate();
}

void GuiScrolledPanel::followPosition() {
    const int dx = x - placedX, dy = y - placedY;
    placedX = x;
    placedY = y;
    if (dx != 0 || dy != 0) kids.moveBy(dx, dy);
}

void GuiScrolledPanel::relayout() {
    kids.attach(this);
    followPosition();
    layoutContent();
}

void GuiScrolledPanel::resize(SDL_Renderer*, int w, int h) {
    width = w;
    height = h;
    layoutContent();
}

void GuiScrolledPanel::updateScrollbars() {
    const int w = width, h = height;
    bool v = false, hz = false;
    if (virtualHeight > h) {
        v = true;
        hz = virtualWidth > w - kBarThickness;
    } else if (virtualWidth > w) {
        hz = true;
        v = virtualHeight > h - kBarThickness;
    }
    vScroll.visible = v;
    hScroll.visible = hz;
    if (!v) vScroll.dragging = false;
    if (!hz) hScroll.dragging = false;
    scrollTo(scrollX, scrollY);
}

void GuiScrolledPanel::scrollTo(int sx, int sy) {
    const int maxX = std::max(virtualWidth - viewWidth(), 0);
    const int maxY = std::max(virtualHeight - viewHeight(), 0);
    sx = std::clamp(sx, 0, maxX);
    sy = std::clamp(sy, 0, maxY);
    if (sx != scrollX || sy != scrollY) {
        const int dx = sx - scrollX, dy = sy - scrollY;
        scrollX = sx;
        scrollY = sy;
        kids.moveBy(-dx, -dy);
        invalidate();
    }
    placeBars();
}

void GuiScrolledPanel::placeBars() {
    const int vw = viewWidth(), vh = viewHeight();
    if (vScroll.visible)
        vScroll.setGeometry(x + vw, y, kBarThickness, vh, virtualHeight, vh, scrollY, -1);
    if (hScroll.visible)
        hScroll.setGeometry(x, y + vh, vw, kBarThickness, virtualWidth, vw, scrollX, -1);
}

GuiObject* GuiScrolledPanel::childAt(int px, int py) const {
    const SDL_Rect view = viewRect();
    if (px < view.x || px >= view.x + view.w || py < view.y || py >= view.y + view.h)
        return nullptr;
    return kids.topmostAt(px, py);
}

// ---------------------------------------------------------------------------------------------
// Lookup

GuiObject* GuiScrolledPanel::tooltipTarget() {
    return kids.hover ? kids.hover->tooltipTarget() : this;
}

GuiObject* GuiScrolledPanel::findByName(const std::string& n) {
    if (GuiObject* self = GuiObject::findByName(n)) return self;
    return kids.findByName(n);
}

bool GuiScrolledPanel::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    if (kids.findItem(label, owner, out)) return true;
    return GuiObject::findItem(label, owner, out);
}

GuiObject* GuiScrolledPanel::hitTest(int px, int py) {
    if (GuiObject* child = childAt(px, py))
        if (GuiObject* hit = child->hitTest(px, py)) return hit;
    return GuiObject::hitTest(px, py);
}

GuiObject* GuiScrolledPanel::wheelTarget(int px, int py) {
    if (GuiObject* child = childAt(px, py))
        if (GuiObject* target = child->wheelTarget(px, py)) return target;
    return this;
}

void GuiScrolledPanel::update(uint32_t now) {
    kids.update(now);
}

uint32_t GuiScrolledPanel::msUntilDue(uint32_t now) {
    return kids.msUntilDue(now);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void GuiScrolledPanel::coverChildrenMeeting(SDL_Rect& area) const {
    SDL_Rect rc = rect(), view = viewRect(), shown;
    if (SDL_IntersectRect(&view, &rc, &shown)) kids.coverChildrenMeeting(shown, area);
}

void GuiScrolledPanel::draw(SDL_Renderer* r) {
    // Bars of a panel narrower than themselves must not spill out of it.
    ClipScope own(r, rect());
    if (!own.visible()) return;
    fillRect(r, rect(), bgColor);
    const SDL_Rect view = viewRect();
    {
        ClipScope clip(r, view);
        if (clip.visible()) {
            // Only what the clip shows is drawn: the cost follows the visible rows.
            for (size_t i = 0; i < kids.children.size(); ++i) {
                GuiObject* c = kids.children[i].get();
                SDL_Rect cr = c->drawnRect();
                if (!SDL_HasIntersection(&cr, &clip.area())) continue;
                clip.reapply();
                SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
                c->draw(r);
            }
        }
    }
    own.reapply();
    // The bars' colours are opaque.
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    if (vScroll.visible) vScroll.draw(r, kTrack, kThumb);
    if (hScroll.visible) hScroll.draw(r, kTrack, kThumb);
    if (vScroll.visible && hScroll.visible)
        fillRect(r, {vScroll.track.x, hScroll.track.y, kBarThickness, kBarThickness}, kCorner);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
}

// ---------------------------------------------------------------------------------------------
// Events

void GuiScrolledPanel::deliver(GuiObject* child, GuiEvent& e, int px, int py) {
    e.target = child;
    e.targetId = child->id;
    e.localX = px - child->x;
    e.localY = py - child->y;
    child->handleEvent(e);
}

void GuiScrolledPanel::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_WINDOWEVENT:
            if (s.window.event == SDL_WINDOWEVENT_FOCUS_LOST) clearHover();
            // By index: a child may react by adding objects.
            for (size_t i = 0; i < kids.children.size(); ++i)
                kids.children[i]->handleEvent(e);
            return;
        case SDL_MOUSEMOTION:
            routeMotion(e, s.motion.x, s.motion.y);
            return;
        case SDL_MOUSEBUTTONDOWN:
            routeButtonDown(e, s.button.x, s.button.y);
            return;
        case SDL_MOUSEBUTTONUP:
            routeButtonUp(e, s.button.x, s.button.y);
            return;
        case SDL_MOUSEWHEEL:
            routeWheel(s);
            return;
        default:
            return;  // keys reach a focused child directly from the window
    }
}

void GuiScrolledPanel::routeMotion(GuiEvent& e, int px, int py) {
    if (vScroll.dragging) {
        scrollTo(scrollX, vScroll.dragPosition(py, virtualHeight, viewHeight(), -1));
        return;
    }
    if (hScroll.dragging) {
        scrollTo(hScroll.dragPosition(px, virtualWidth, viewWidth(), -1), scrollY);
        return;
    }
    if (GuiObject* pressed = kids.capture) {
        deliver(pressed, e, px, py);
        return;
    }
    if (GuiObject* hit = trackHover(px, py)) deliver(hit, e, px, py);
}

GuiObject* GuiScrolledPanel::trackHover(int px, int py) {
    GuiObject* hit = childAt(px, py);
    if (hit == kids.hover) return hit;
    clearHover();
    if (!hit) return nullptr;
    kids.hover = hit;
    hit->mouseEnter(px - hit->x, py - hit->y);
    hit->invalidate();
    return hit;
}

void GuiScrolledPanel::routeButtonDown(GuiEvent& e, int px, int py) {
    if (vScroll.visible && vScroll.thumbContains(px, py)) {
        vScroll.beginDrag(py);
        return;
    }
    if (vScroll.visible && vScroll.trackContains(px, py)) {
        scrollTo(scrollX, vScroll.pageTarget(py, scrollY, std::max(viewHeight(), 1)));
        return;
    }
    if (hScroll.visible && hScroll.thumbContains(px, py)) {
        hScroll.beginDrag(px);
        return;
    }
    if (hScroll.visible && hScroll.trackContains(px, py)) {
        scrollTo(hScroll.pageTarget(px, scrollX, std::max(viewWidth(), 1)), scrollY);
        return;
    }
    GuiObject* hit = childAt(px, py);
    if (!hit) return;
    if (window) window->setFocus(hit);
    kids.capture = hit;
    deliver(hit, e, px, py);
}

void GuiScrolledPanel::routeButtonUp(GuiEvent& e, int px, int py) {
    vScroll.dragging = false;
    hScroll.dragging = false;
    if (GuiObject* pressed = kids.capture) {
        kids.capture = nullptr;
        deliver(pressed, e, px, py);
    }
}

void GuiScrolledPanel::routeWheel(const SDL_Event& s) {
    int64_t v = s.wheel.y, h = s.wheel.x;
    if (s.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) {
        v = -v;
        h = -h;
    }
    if (v != 0) scrollTo(scrollX, saturate(int64_t(scrollY) - kWheelStep * v));
    if (h != 0) scrollTo(saturate(int64_t(scrollX) - kWheelStep * h), scrollY);
    // Another child now lies under the resting pointer: it is the hovered one (and tooltip).
    if (!kids.capture && contains(s.wheel.mouseX, s.wheel.mouseY))
        trackHover(s.wheel.mouseX, s.wheel.mouseY);
}

void GuiScrolledPanel::clearHover() {
    if (GuiObject* old = kids.hover) {
        old->mouseLeave();
        old->invalidate();
    }
    kids.hover = nullptr;
}

// The pointer left the panel: the child under it must not stay highlighted.
void GuiScrolledPanel::mouseLeave() {
    clearHover();
}
