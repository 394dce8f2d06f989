#include "controls/ChildList.h"

#include "core/Timers.h"

#include "core/Window.h"

#include <algorithm>

GuiObject* ChildList::add(GuiObject* owner, GuiObject* child, int originX, int originY) {
    if (!child) return nullptr;
    child->parent = owner;
    child->window = owner->window;
    child->x = originX + child->relX;
    child->y = originY + child->relY;
    child->relayout();
    children.emplace_back(child);
    return child;
}

void ChildList::attach(GuiObject* owner) {
    for (auto& c : children) {
        if (c->window == owner->window) continue;
        c->window = owner->window;
        c->relayout();
    }
}

void ChildList::moveBy(int dx, int dy) {
    for (auto& c : children) {
        c->x += dx;
        c->y += dy;
        c->relayout();
    }
}

GuiObject* ChildList::topmostAt(int px, int py) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if ((*it)->contains(px, py)) return it->get();
    return nullptr;
}

void ChildList::deliver(GuiObject* child, GuiEvent& e, int px, int py) {
    e.target = child;
    e.targetId = child->id;
    e.localX = px - child->x;
    e.localY = py - child->y;
    child->handleEvent(e);
}

void ChildList::route(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            routeButtonDown(e, s.button.x, s.button.y);
            return;
        case SDL_MOUSEBUTTONUP:
            if (GuiObject* c = capture) {
                capture = nullptr;
                deliver(c, e, s.button.x, s.button.y);
            }
            return;
        case SDL_MOUSEMOTION:
            routeMotion(e, s.motion.x, s.motion.y);
            return;
        case SDL_WINDOWEVENT:
            if (s.window.event == SDL_WINDOWEVENT_FOCUS_LOST && hover) {
                hover->mouseLeave();
                hover = nullptr;
            }
            // By index: a child may react by adding objects.
            for (size_t i = 0; i < children.size(); ++i)
                children[i]->handleEvent(e);
            return;
        default:
            return;  // keys and text reach the focused object through the window
    }
}

void ChildList::routeButtonDown(GuiEvent& e, int px, int py) {
    GuiObject* hit = topmostAt(px, py);
    if (!hit) return;
    capture = hit;
    if (hit->window) hit->window->setFocus(hit);
    deliver(hit, e, px, py);
}

void ChildList::clearHover() {
    if (GuiObject* old = hover) {
        old->mouseLeave();
        old->invalidate();
    }
    hover = nullptr;
}

void ChildList::routeMotion(GuiEvent& e, int px, int py) {
    if (capture) {
        deliver(capture, e, px, py);
        return;
    }
    GuiObject* hit = topmostAt(px, py);
    if (!hit) {
        clearHover();
        return;
    }
    if (hit != hover) {
        clearHover();
        hover = hit;
        hit->mouseEnter(px - hit->x, py - hit->y);
        hit->invalidate();
    }
    deliver(hit, e, px, py);
}

void ChildList::update(uint32_t now) {
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->update(now);
}

uint32_t ChildList::msUntilDue(uint32_t now) const {
    uint32_t ms = kNoDeadline;
    for (const auto& child : children)
        ms = soonest(ms, msUntilDueOf(child.get(), now));
    return ms;
}

void fillRect(SDL_Renderer* r, const SDL_Rect& rect, SDL_Color color) {
    SDL_SetRenderDrawBlendMode(r, color.a == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_SetRenderDrawColor(r, color.r, color.g, color.b, color.a);
    SDL_RenderFillRect(r, &rect);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
}

void ChildList::draw(SDL_Renderer* r, const SDL_Rect& clip) {
    // Nested containers keep the clip of the ones around them.
    ClipScope scope(r, clip);
    if (!scope.visible()) return;
    for (size_t i = 0; i < children.size(); ++i) {
        const SDL_Rect rc = children[i]->drawnRect();
        if (!SDL_HasIntersection(&rc, &scope.area())) continue;
        scope.reapply();
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        children[i]->draw(r);
    }
}

void ChildList::coverChildrenMeeting(const SDL_Rect& shown, SDL_Rect& area) const {
    for (const auto& child : children)
        coverDrawingOf(child.get(), shown, area);
}

GuiObject* ChildList::findByName(const std::string& n) const {
    for (auto& c : children)
        if (GuiObject* hit = c->findByName(n)) return hit;
    return nullptr;
}

bool ChildList::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) const {
    for (auto& c : children)
        if (c->findItem(label, owner, out)) return true;
    return false;
}

GuiObject* ChildList::hitTest(int px, int py) const {
    GuiObject* c = topmostAt(px, py);
    return c ? c->hitTest(px, py) : nullptr;
}

GuiObject* ChildList::wheelTarget(int px, int py) const {
    GuiObject* c = topmostAt(px, py);
    return c ? c->wheelTarget(px, py) : nullptr;
}

GuiObject* ChildList::tooltipTarget() const {
    return hover ? hover->tooltipTarget() : nullptr;
}

std::unique_ptr<GuiObject> ChildList::detach(GuiObject* child) {
    auto it = std::find_if(children.begin(), children.end(),
                           [child](const auto& c) { return c.get() == child; });
    if (it == children.end()) return nullptr;
    std::unique_ptr<GuiObject> owned = std::move(*it);
    children.erase(it);
    if (capture == child) capture = nullptr;
    if (hover == child) hover = nullptr;
    return owned;
}
