#include "core/Window.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Roles.h"
#include "core/Timers.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <typeinfo>
#include <utility>

namespace {

constexpr int kWarmupFramesAfterResize = 15;
constexpr size_t kMaxDamageParts = 8;
constexpr uint32_t kTooltipDelayMs = 499;  // visible on the first update after more than this
constexpr SDL_Color kTooltipFill{255, 255, 225, 255};
constexpr SDL_Color kTooltipInk{0, 0, 0, 255};

bool isPointerEvent(uint32_t type) {
    return type == SDL_MOUSEMOTION || type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP;
}

void pointerOf(const SDL_Event& e, int& px, int& py) {
    if (e.type == SDL_MOUSEMOTION) {
        px = e.motion.x;
        py = e.motion.y;
    } else {
        px = e.button.x;
        py = e.button.y;
    }
}

SDL_Rect shifted(SDL_Rect rc, int dx, int dy) {
    rc.x += dx;
    rc.y += dy;
    return rc;
}

bool containsRect(const SDL_Rect& outer, const SDL_Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

}  // namespace

GuiWindow::GuiWindow(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor)
    : GuiObject(nullptr, id, x, y, w, h, bgColor),
      appWindow(appWindow),
      engine(appWindow ? appWindow->engine : ZazOvadir::current()) {
    window = this;
}

GuiWindow::~GuiWindow() {
    focus = capture = hover = popupCapture = lastPopup = tooltipObject = nullptr;
    popups.clear();
    // Pending deletions that are no longer children still belong to us.
    for (GuiObject* obj : pendingDeletes) {
        auto it = std::find_if(children.begin(), children.end(),
                               [obj](const auto& c) { return c.get() == obj; });
        if (it == children.end()) delete obj;
    }
    pendingDeletes.clear();
    children.clear();
    if (appWindow && appWindow->renderer)
        TextureRetirement::retire(appWindow->sdlRenderer(), scratch);
    else
        (void)scratch.release();  // its renderer is gone and took the texture along
}

// ---------------------------------------------------------------------------------------------
// Lookup

GuiObject* GuiWindow::findByName(const std::string& n) {
    if (GuiObject* self = GuiObject::findByName(n)) return self;
    for (auto& child : children)
        if (GuiObject* hit = child->findByName(n)) return hit;
    return nullptr;
}

bool GuiWindow::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    for (auto it = popups.rbegin(); it != popups.rend(); ++it)
        if ((*it)->findItem(label, owner, out)) return true;
    for (auto& child : children)
        if (child->findItem(label, owner, out)) return true;
    return GuiObject::findItem(label, owner, out);
}

GuiObject* GuiWindow::hitTest(int px, int py) {
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if ((*it)->contains(px, py)) return (*it)->hitTest(px, py);
    return GuiObject::hitTest(px, py);
}

GuiObject* GuiWindow::childAt(int px, int py, int& localX, int& localY) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        GuiObject* c = it->get();
        if (c->contains(px, py)) {
            localX = px - c->x;
            localY = py - c->y;
            return c;
        }
    }
    return nullptr;
}

GuiObject* GuiWindow::popupAt(int px, int py) {
    for (auto it = popups.rbegin(); it != popups.rend(); ++it)
        if ((*it)->contains(px, py)) return *it;
    return nullptr;
}

bool GuiWindow::isPopup(const GuiObject* obj) const {
    return std::find(popups.begin(), popups.end(), obj) != popups.end();
}

GuiObject* GuiWindow::findMenuBar() const {
    for (auto& child : children)
        if (dynamic_cast<IMenuBarRole*>(child.get())) return child.get();
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Children, popups, focus, deletion

GuiObject* GuiWindow::addChild(GuiObject* obj) {
    if (!obj) return nullptr;
    obj->parent = this;
    obj->window = this;
    obj->x = x + obj->relX;
    obj->y = y + obj->relY;
    obj->relayout();
    children.emplace_back(obj);
    addDamage(obj->drawnRect());
    return obj;
}

std::unique_ptr<GuiObject> GuiWindow::detachChild(GuiObject* obj) {
    auto it = std::find_if(children.begin(), children.end(),
                           [obj](const auto& c) { return c.get() == obj; });
    if (it == children.end()) return nullptr;
    std::unique_ptr<GuiObject> owned = std::move(*it);
    children.erase(it);
    addDamage(owned->drawnRect());
    return owned;
}

void GuiWindow::openPopup(GuiObject* popup) {
    if (!popup) return;
    SDL_StopTextInput();
    popup->parent = this;
    bool isChild = std::any_of(children.begin(), children.end(),
                               [popup](const auto& c) { return c.get() == popup; });
    if (!isChild) {
        // Popups keep the position they were given in window coordinates.
        popup->window = this;
        children.emplace_back(popup);
    }
    popups.push_back(popup);
    popupCapture = lastPopup = popup;
    popup->invalidate();
}

void GuiWindow::closeTopPopup() {
    if (popups.empty()) return;
    GuiObject* top = popups.back();
    damageAndSchedule(top->drawnRect());
    popups.pop_back();
    auto* keep = dynamic_cast<IKeepAlivePopup*>(top);
    if (keep && keep->keepAlive()) {
        if (hover == top) hover = nullptr;
        if (focus == top) focus = nullptr;
        if (capture == top) capture = nullptr;
        if (tooltipObject == top) tooltipObject = nullptr;
        top->releaseCacheTexture();
        detachChild(top).release();  // owned by whoever keeps it alive
        top->parent = nullptr;
    } else {
        deleteLater(top);
    }
    popupCapture = lastPopup = popups.empty() ? nullptr : popups.back();
    // Text fields must hear the keyboard again as soon as no popup is left.
    if (popups.empty()) SDL_StartTextInput();
}

void GuiWindow::closeAllPopups(bool resetMenuBar) {
    while (!popups.empty())
        closeTopPopup();
    if (resetMenuBar) {
        if (GuiObject* bar = findMenuBar()) {
            dynamic_cast<IMenuBarRole*>(bar)->resetOpenMenu();
            bar->invalidate();
        }
    }
    SDL_StartTextInput();
}

void GuiWindow::closePopupsAbove(GuiObject* popup) {
    while (!popups.empty() && popups.back() != popup)
        closeTopPopup();
}

void GuiWindow::setFocus(GuiObject* obj) {
    if (obj == focus) return;
    if (GuiObject* old = focus) {
        old->hasFocus = false;
        old->focusLost(obj);
        old->invalidate();
    }
    for (auto& child : children)
        if (std::exchange(child->hasFocus, false)) child->invalidate();
    focus = obj;
    if (obj) {
        obj->hasFocus = true;
        obj->invalidate();
    }
    if (engine) engine->activeEditable = dynamic_cast<IEditable*>(obj);
}

void GuiWindow::deleteLater(GuiObject* obj) {
    if (!obj) return;
    if (std::find(pendingDeletes.begin(), pendingDeletes.end(), obj) == pendingDeletes.end())
        pendingDeletes.push_back(obj);
}

void GuiWindow::runPendingDeletes() {
    while (!pendingDeletes.empty()) {
        std::vector<GuiObject*> batch;
        batch.swap(pendingDeletes);
        for (GuiObject* obj : batch) {
            // A deleted container takes its children along: pointers into it go too.
            for (GuiObject** p :
                 {&focus, &hover, &capture, &popupCapture, &lastPopup, &tooltipObject})
                if (isDescendantOf(*p, obj)) *p = nullptr;
            popups.erase(std::remove(popups.begin(), popups.end(), obj), popups.end());
            damageAndSchedule(obj->drawnRect());
            if (engine && engine->activeEditable &&
                isDescendantOf(dynamic_cast<GuiObject*>(engine->activeEditable), obj))
                engine->activeEditable = nullptr;
            std::unique_ptr<GuiObject> owned = detachChild(obj);
            // A container's child leaves its container first, so that it is deleted once.
            if (auto* container = dynamic_cast<IContainerRole*>(obj->parent); !owned && container)
                owned = container->releaseChild(obj);
            if (!owned) owned.reset(obj);  // deleted objects that live below a container
        }
    }
}

void GuiWindow::releaseCapture() {
    GuiObject* holder = capture;
    if (!holder) return;
    capture = nullptr;
    SDL_Event up{};
    up.type = SDL_MOUSEBUTTONUP;
    up.button.windowID = appWindow ? appWindow->windowId : 0;
    up.button.button = SDL_BUTTON_LEFT;
    up.button.state = SDL_RELEASED;
    up.button.clicks = 1;
    up.button.x = -1;
    up.button.y = 0;
    GuiEvent ge = GuiEvent::makeInput(up.button.windowID, &up);
    holder->handleEvent(ge);
    runPendingDeletes();
}

void GuiWindow::postCommand(uint32_t code, uint32_t id, int64_t value, GuiObject* source) {
    if (!engine || !appWindow) return;
    if (engine->modalRoot && engine->modalRoot != this) return;
    GuiEvent e =
        GuiEvent::makeCommand(appWindow->windowId, code, id, value, source ? source : this);
    if (engine->scriptRunner) engine->scriptRunner->observeCommand(e);
    engine->dispatchEvent(appWindow, e);
}

bool GuiWindow::visibleRect(GuiObject* obj, SDL_Rect& screenRect, SDL_Point& centre) {
    if (!obj) return false;
    SDL_Rect r = obj->rect();
    for (GuiObject* a = obj->parent; a; a = a->parent) {
        SDL_Rect ar = a->rect();
        SDL_Rect clipped;
        if (!SDL_IntersectRect(&r, &ar, &clipped)) return false;
        r = clipped;
    }
    if (r.w <= 0 || r.h <= 0) return false;
    int cx = r.x + r.w / 2;
    int cy = r.y + r.h / 2;
    GuiObject* hit = hitTest(cx, cy);
    if (!hit || !isDescendantOf(hit, obj)) return false;
    int wx = 0, wy = 0;
    if (appWindow && appWindow->sdlWindow)
        SDL_GetWindowPosition(appWindow->sdlWindow.get(), &wx, &wy);
    screenRect = SDL_Rect{r.x + wx, r.y + wy, r.w, r.h};
    centre = SDL_Point{cx, cy};
    return true;
}

// ---------------------------------------------------------------------------------------------
// Routing

void GuiWindow::deliver(GuiObject* obj, GuiEvent& e) {
    e.target = obj;
    e.targetId = obj->id;
    if (e.sdl && isPointerEvent(e.sdl->type)) {
        int px = 0, py = 0;
        pointerOf(*e.sdl, px, py);
        e.localX = px - obj->x;
        e.localY = py - obj->y;
    }
    obj->handleEvent(e);
}

void GuiWindow::handleEvent(GuiEvent& e) {
    if (e.kind == GuiEvent::Input && e.sdl) {
        if (popupCapture)
            routeWithPopups(e);
        else
            routeWithoutPopups(e);
    }
    runPendingDeletes();
    damageMovedTooltip();
}

void GuiWindow::routeWithPopups(GuiEvent& e) {
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
        case SDL_TEXTEDITING:
        case SDL_TEXTINPUT:
        case SDL_MOUSEWHEEL:
            popupCapture->handleEvent(e);
            return;
        case SDL_MOUSEMOTION: {
            mouseX = s.motion.x;
            mouseY = s.motion.y;
            GuiObject* under = popupAt(mouseX, mouseY);
            if (under && under != popupCapture) popupCapture = lastPopup = under;
            if (GuiObject* bar = findMenuBar()) {
                auto* role = dynamic_cast<IMenuBarRole*>(bar);
                if (role->hasOpenMenu() && role->switchToTitleAt(mouseX, mouseY)) return;
            }
            if (popupCapture) popupCapture->handleEvent(e);
            return;
        }
        case SDL_MOUSEBUTTONUP:
            // The popup takes the release that ends the press which opened it: that press's
            // capture is over, and a stale one would stop the tooltip timer after the popup.
            capture = nullptr;
            deliver(popupCapture, e);
            return;
        case SDL_MOUSEBUTTONDOWN:
            if (popupAt(s.button.x, s.button.y)) {
                deliver(popupCapture, e);
                return;
            }
            routeButtonDown(e);
            return;
        default:
            routeWithoutPopups(e);
            return;
    }
}

void GuiWindow::routeWithoutPopups(GuiEvent& e) {
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            routeButtonDown(e);
            return;
        case SDL_MOUSEBUTTONUP:
            // Without a capture the release has no press to end: dropping it keeps a stray
            // release (after a menu row acted on its press) away from the focused widget.
            if (GuiObject* c = capture) {
                capture = nullptr;
                deliver(c, e);
            }
            return;
        case SDL_MOUSEMOTION:
            routeMotion(e);
            return;
        case SDL_MOUSEWHEEL:
            routeWheel(e);
            return;
        case SDL_WINDOWEVENT:
            routeWindowEvent(e);
            return;
        default:
            if (focus) deliver(focus, e);
            return;
    }
}

void GuiWindow::routeButtonDown(GuiEvent& e) {
    const SDL_Event& s = *e.sdl;
    tooltipStart = guiTicks();
    tooltipVisible = false;
    if (!popups.empty() && !popupAt(s.button.x, s.button.y)) {
        closeAllPopups(true);
        runPendingDeletes();
    }
    int lx = 0, ly = 0;
    GuiObject* hit = childAt(s.button.x, s.button.y, lx, ly);
    if (!hit) return;
    setFocus(hit);
    capture = hit;
    deliver(hit, e);
}

void GuiWindow::routeMotion(GuiEvent& e) {
    const SDL_Event& s = *e.sdl;
    mouseX = s.motion.x;
    mouseY = s.motion.y;
    if (capture) {
        deliver(capture, e);
        return;
    }
    int lx = 0, ly = 0;
    GuiObject* hit = childAt(mouseX, mouseY, lx, ly);
    if (!hit) {
        clearHover();
        return;
    }
    if (hit != hover) changeHover(hit, lx, ly);
    deliver(hit, e);
}

void GuiWindow::clearHover() {
    if (GuiObject* old = hover) {
        old->mouseLeave();
        old->invalidate();
    }
    hover = nullptr;
}

void GuiWindow::changeHover(GuiObject* hit, int localX, int localY) {
    clearHover();
    hover = hit;
    hit->mouseEnter(localX, localY);
    hit->invalidate();
}

void GuiWindow::routeWheel(GuiEvent& e) {
    const SDL_Event& s = *e.sdl;
    int px = s.wheel.mouseX, py = s.wheel.mouseY;
    int lx = 0, ly = 0;
    GuiObject* target = nullptr;
    if (GuiObject* child = childAt(px, py, lx, ly)) target = child->wheelTarget(px, py);
    if (!target) target = focus;
    if (target) deliver(target, e);
}

void GuiWindow::routeWindowEvent(GuiEvent& e) {
    if (e.sdl->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        closeAllPopups(true);
        clearHover();
    }
    // Broadcast by index: a child may react by adding objects.
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->handleEvent(e);
}

// ---------------------------------------------------------------------------------------------
// Time

void GuiWindow::update(uint32_t now) {
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->update(now);
    if (!hover || !popups.empty() || popupCapture || capture) {
        tooltipObject = nullptr;
        tooltipStart = now;
        tooltipVisible = false;
    } else {
        GuiObject* candidate = hover->tooltipTarget();
        if (candidate != tooltipObject) {
            tooltipObject = candidate;
            tooltipStart = now;
            tooltipVisible = false;
        }
        if (!candidate || candidate->tooltip.empty()) {
            tooltipVisible = false;
        } else if (!tooltipVisible && now - tooltipStart > kTooltipDelayMs) {
            tooltipVisible = true;
        }
    }
    damageMovedTooltip();
}

uint32_t GuiWindow::msUntilDue(uint32_t now) {
    uint32_t ms = tooltipDue(now);
    for (size_t i = 0; i < children.size(); ++i)
        ms = soonest(ms, msUntilDueOf(children[i].get(), now));
    return ms;
}

uint32_t GuiWindow::tooltipDue(uint32_t now) const {
    if (!hover || !popups.empty() || popupCapture || capture)
        return tooltipVisible ? 0 : kNoDeadline;
    GuiObject* candidate = hover->tooltipTarget();
    if (candidate != tooltipObject) return 0;
    if (!candidate || candidate->tooltip.empty() || tooltipVisible) return kNoDeadline;
    return msUntil(tooltipStart + kTooltipDelayMs + 1, now);
}

// ---------------------------------------------------------------------------------------------
// Drawing

bool GuiWindow::cachingThisFrame(SDL_Renderer* r) {
    if (!repeatingFrame) cachedThisFrame = decideCaching(r);
    return cachedThisFrame;
}

bool GuiWindow::decideCaching(SDL_Renderer* r) {
    if (!targetsChecked) {
        targetsChecked = true;
        SDL_RendererInfo info;
        targetsSupported =
            SDL_GetRendererInfo(r, &info) != 0 || !(info.flags & SDL_RENDERER_SOFTWARE);
    }
    if (warmupFrames > 0) {
        --warmupFrames;
        return false;
    }
    if (!targetsSupported) return false;
    if (!scratch || [&] {
            int w = 0, h = 0;
            SDL_QueryTexture(scratch.get(), nullptr, nullptr, &w, &h);
            return w != width || h != height;
        }()) {
        TextureRetirement::retire(r, scratch);
        scratch.reset(SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                        std::max(width, 1), std::max(height, 1)));
        if (!scratch) return false;
        SDL_SetTextureBlendMode(scratch.get(), SDL_BLENDMODE_NONE);
    }
    return true;
}

bool GuiWindow::ensureCacheTexture(SDL_Renderer* r, GuiObject* child) {
    const SDL_Rect drawn = child->drawnRect();
    if (child->width < 1 || child->height < 1 || drawn.w < 1 || drawn.h < 1) return false;
    if (child->cacheTexture) {
        int w = 0, h = 0;
        SDL_QueryTexture(child->cacheTexture.get(), nullptr, nullptr, &w, &h);
        if (w == drawn.w && h == drawn.h) return true;
        child->releaseCacheTexture();
    }
    child->cacheTexture.reset(
        SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, drawn.w, drawn.h));
    if (!child->cacheTexture) return false;
    SDL_SetTextureBlendMode(child->cacheTexture.get(), SDL_BLENDMODE_BLEND);
    child->dirty = true;
    return true;
}

void GuiWindow::drawChild(SDL_Renderer* r, GuiObject* child, bool caching) {
    if (!caching || !child->isCacheable()) {
        child->draw(r);
        return;
    }
    // Without a usable cache texture the child is drawn directly, never through the scratch.
    if (!ensureCacheTexture(r, child)) {
        child->draw(r);
        return;
    }
    // The cache holds everything the child paints, also lines beyond its own rectangle.
    const SDL_Rect rc = child->drawnRect();
    bool partlyOutside = rc.x < 0 || rc.y < 0 || rc.x + rc.w > width || rc.y + rc.h > height;
    if (partlyOutside) {
        child->draw(r);
        return;
    }
    if (child->dirty) {
        SDL_SetRenderTarget(r, scratch.get());
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(r, 0, 0, 0, 0);
        SDL_RenderFillRect(r, &rc);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        child->draw(r);
        SDL_SetRenderTarget(r, child->cacheTexture.get());
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        SDL_RenderCopy(r, scratch.get(), &rc, nullptr);
        SDL_SetRenderTarget(r, frameTarget);
        child->dirty = false;
    }
    SDL_RenderCopy(r, child->cacheTexture.get(), nullptr, &rc);
}

void GuiWindow::draw(SDL_Renderer* r) {
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    if (!coveredByOpaqueChild({0, 0, width, height})) {
        setColor(r, bgColor);
        SDL_RenderFillRect(r, nullptr);
    }
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    bool caching = cachingThisFrame(r);
    for (size_t i = 0; i < children.size(); ++i) {
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        drawChild(r, children[i].get(), caching);
    }
    drawTooltip(r);
    drawOverlay(r);
    noteShownChildren();
}

void GuiWindow::drawOverlay(SDL_Renderer* r) {
    if (!engine || !engine->scriptRunner || !appWindow) return;
    overlayShown = overlayArea();
    engine->scriptRunner->drawOverlay(appWindow, r);
}

SDL_Rect GuiWindow::overlayArea() const {
    if (!engine || !engine->scriptRunner || !appWindow) return SDL_Rect{0, 0, 0, 0};
    return engine->scriptRunner->overlayArea(appWindow);
}

bool GuiWindow::tooltipBox(SDL_Rect& box) const {
    if (!tooltipVisible || !tooltipObject || tooltipObject->tooltip.empty()) return false;
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    if (!font) return false;
    int tw = 0, th = 0;
    if (TTF_SizeUTF8(font, tooltipObject->tooltip.c_str(), &tw, &th) != 0) return false;
    box = SDL_Rect{mouseX + 14, mouseY + 18, tw + 12, th + 6};
    if (box.x + box.w > width) box.x = width - box.w;
    if (box.y + box.h > height) box.y = height - box.h;
    box.x = std::max(box.x, 0);
    box.y = std::max(box.y, 0);
    return true;
}

void GuiWindow::drawTooltip(SDL_Renderer* r) {
    SDL_Rect box;
    if (!tooltipBox(box)) return;
    TTF_Font* font = engine->getDefaultFont();
    const std::string& text = tooltipObject->tooltip;
    setColor(r, kTooltipFill);
    SDL_RenderFillRect(r, &box);
    setColor(r, kTooltipInk);
    SDL_RenderDrawRect(r, &box);
    SdlSurfacePtr surface(TTF_RenderUTF8_Blended(font, text.c_str(), kTooltipInk));
    if (!surface) return;
    SdlTexturePtr texture(SDL_CreateTextureFromSurface(r, surface.get()));
    if (!texture) return;
    SDL_Rect dst{box.x + 6, box.y + 3, surface->w, surface->h};
    SDL_RenderCopy(r, texture.get(), nullptr, &dst);
}

// ---------------------------------------------------------------------------------------------
// Damage

void GuiWindow::addDamage(const SDL_Rect& area) {
    if (area.w <= 0 || area.h <= 0) return;
    SDL_UnionRect(&damage, &area, &damage);  // an empty rectangle adds nothing to a union
    for (SDL_Rect& part : damageParts)
        if (SDL_HasIntersection(&part, &area)) {
            SDL_UnionRect(&part, &area, &part);
            return;
        }
    // Beyond a few separate areas, one around them all costs less bookkeeping than it saves.
    if (damageParts.size() < kMaxDamageParts)
        damageParts.push_back(area);
    else
        damageParts.assign(1, damage);
}

bool GuiWindow::drawsOnlyChildren() const {
    return typeid(*this) == typeid(GuiWindow) || typeid(*this) == typeid(GuiDialog);
}

void GuiWindow::damageAndSchedule(const SDL_Rect& area) {
    addDamage(area);
    if (engine) engine->scheduleRedraw();
}

void GuiWindow::noteShownChildren() {
    shown.resize(children.size());
    for (size_t i = 0; i < children.size(); ++i)
        shown[i] = {children[i].get(), children[i]->drawnRect()};
    shownTip = SDL_Rect{0, 0, 0, 0};
    shownTipText.clear();
    if (tooltipBox(shownTip)) shownTipText = tooltipObject->tooltip;
}

void GuiWindow::damageMovedTooltip(bool schedule) {
    SDL_Rect box{0, 0, 0, 0};
    const bool visible = tooltipBox(box);
    const std::string& text = visible ? tooltipObject->tooltip : std::string();
    if (SDL_RectEquals(&box, &shownTip) && text == shownTipText) return;
    // The box follows the pointer and its text: the old place and the new one change.
    addDamage(shownTip);
    addDamage(box);
    if (schedule && engine) engine->scheduleRedraw();
}

void GuiWindow::damageMovedChildren() {
    damageMovedTooltip(false);  // called while drawing: this frame draws it
    // Children added or removed: their places changed. Those shown before keep their order
    // unless something reordered them, which may change any overlap: then everything.
    size_t next = 0;
    for (size_t i = 0; i < children.size(); ++i) {
        GuiObject* c = children[i].get();
        const SDL_Rect now = c->drawnRect();
        size_t at = next;
        while (at < shown.size() && shown[at].first != c)
            ++at;
        if (at == shown.size()) {
            if (std::any_of(shown.begin(), shown.end(),
                            [c](const auto& s) { return s.first == c; })) {
                damageAll();
                return;
            }
            addDamage(now);  // new since the last frame
            continue;
        }
        for (size_t gone = next; gone < at; ++gone)
            addDamage(shown[gone].second);  // removed since the last frame
        next = at + 1;
        if (SDL_RectEquals(&now, &shown[at].second)) continue;
        addDamage(shown[at].second);
        addDamage(now);
    }
    for (size_t gone = next; gone < shown.size(); ++gone)
        addDamage(shown[gone].second);
}

void GuiWindow::damageOverlay() {
    if (!engine || !engine->scriptRunner || !appWindow) return;
    // Also an overlay that stays in place may change (a fading flash): it is redrawn each frame.
    addDamage(overlayShown);
    addDamage(overlayArea());
}

SDL_Rect GuiWindow::drawDamaged(SDL_Renderer* r) {
    const SDL_Rect whole{0, 0, width, height};
    damageMovedChildren();
    damageOverlay();
    // Taken before drawing: what changes while drawing is damage for the next frame.
    std::vector<SDL_Rect> areas;
    areas.swap(damageParts);
    const bool everything = fullDamage || !drawsOnlyChildren();
    damage = SDL_Rect{0, 0, 0, 0};
    fullDamage = false;
    drewPartially = false;
    if (everything) {
        draw(r);
        return whole;
    }
    // Each area grows over every child (and the tooltip) that meets it, until none is met only in
    // part: each child drawn then lies wholly inside, and every child outside keeps its pixels.
    // Containers that draw in parts grow it only by their children that it meets. Areas that
    // come to meet become one; the others stay apart, and what lies between them keeps its
    // pixels too.
    SDL_Rect tip{0, 0, 0, 0};
    const bool hasTip = tooltipBox(tip);
    for (bool merged = true; merged;) {
        for (SDL_Rect& area : areas)
            coverDamagedArea(area, whole, hasTip ? &tip : nullptr);
        merged = mergeMeetingAreas(areas);
    }
    const bool caching = cachingThisFrame(r);
    SDL_Rect drawn{0, 0, 0, 0};
    std::vector<SDL_Rect> fills;
    for (const SDL_Rect& area : areas) {
        SDL_Rect fill;
        if (!SDL_IntersectRect(&area, &whole, &fill)) continue;
        drawArea(r, fill, caching, hasTip && SDL_HasIntersection(&tip, &fill));
        fills.push_back(fill);
        SDL_UnionRect(&drawn, &fill, &drawn);
    }
    if (!fills.empty()) {
        drewPartially = true;
        // The overlay's old and new places are damage, so it lies wholly inside one area.
        const SDL_Rect overlay = overlayArea();
        SDL_Rect clip = fills.front();
        for (const SDL_Rect& fill : fills)
            if (SDL_HasIntersection(&fill, &overlay)) clip = fill;
        SDL_RenderSetClipRect(r, &clip);
        drawOverlay(r);
    }
    SDL_RenderSetClipRect(r, nullptr);
    noteShownChildren();
    return drawn;
}

void GuiWindow::coverDamagedArea(SDL_Rect& area, const SDL_Rect& whole, const SDL_Rect* tip) {
    for (bool grown = true; grown;) {
        const SDL_Rect before = area;
        for (const auto& child : children)
            coverDrawingOf(child.get(), whole, area);
        if (tip && SDL_HasIntersection(tip, &area)) SDL_UnionRect(&area, tip, &area);
        grown = !SDL_RectEquals(&before, &area);
    }
}

bool GuiWindow::mergeMeetingAreas(std::vector<SDL_Rect>& areas) {
    bool merged = false;
    for (size_t i = 0; i < areas.size(); ++i)
        for (size_t j = i + 1; j < areas.size();) {
            if (!SDL_HasIntersection(&areas[i], &areas[j])) {
                ++j;
                continue;
            }
            SDL_UnionRect(&areas[i], &areas[j], &areas[i]);
            areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(j));
            merged = true;
            j = i + 1;
        }
    return merged;
}

bool GuiWindow::coveredByOpaqueChild(const SDL_Rect& area) const {
    for (const auto& child : children) {
        const auto* opaque = dynamic_cast<const IOpaque*>(child.get());
        if (opaque && opaque->paintsEveryPixel() && containsRect(child->drawnRect(), area))
            return true;
    }
    return false;
}

void GuiWindow::drawArea(SDL_Renderer* r, const SDL_Rect& fill, bool caching, bool withTooltip) {
    // Also a child that paints beyond what it reports stays inside the area.
    SDL_RenderSetClipRect(r, &fill);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    if (!coveredByOpaqueChild(fill)) {
        setColor(r, bgColor);
        SDL_RenderFillRect(r, &fill);
    }
    // By index: a child drawn may add children, which the next frame draws.
    const size_t count = children.size();
    for (size_t i = 0; i < count && i < children.size(); ++i) {
        const SDL_Rect rc = children[i]->drawnRect();
        if (!SDL_HasIntersection(&rc, &fill)) continue;
        SDL_RenderSetClipRect(r, &fill);  // a child may have left the clip changed
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        drawChild(r, children[i].get(), caching);
    }
    SDL_RenderSetClipRect(r, &fill);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    if (withTooltip) drawTooltip(r);
}

// ---------------------------------------------------------------------------------------------
// Moved pixels

void GuiWindow::movePixels(GuiObject* owner, const SDL_Rect& area, int dx, int dy) {
    if ((dx == 0 && dy == 0) || SDL_RectEmpty(&area)) return;
    if (engine) engine->scheduleRedraw();
    if (fullDamage) return;  // the next frame draws everything anyway
    if (std::abs(dx) >= area.w || std::abs(dy) >= area.h) {
        addDamage(area);  // nothing shown stays in view
        return;
    }
    // Damage inside area is where the pixels are stale: they move along, and stay stale there.
    const std::vector<SDL_Rect> before = damageParts;
    for (const SDL_Rect& part : before) {
        SDL_Rect stale, moved;
        if (SDL_IntersectRect(&part, &area, &stale)) {
            const SDL_Rect to = shifted(stale, dx, dy);
            if (SDL_IntersectRect(&to, &area, &moved)) addDamage(moved);
        }
    }
    // What comes into view: a band across area for each direction moved.
    if (dy > 0) addDamage({area.x, area.y, area.w, dy});
    if (dy < 0) addDamage({area.x, area.y + area.h + dy, area.w, -dy});
    if (dx > 0) addDamage({area.x, area.y, dx, area.h});
    if (dx < 0) addDamage({area.x + area.w + dx, area.y, -dx, area.h});
    // Two moves of one area in a row are one move by both, with both bands damaged.
    if (!pixelMoves.empty() && pixelMoves.back().owner == owner &&
        SDL_RectEquals(&pixelMoves.back().area, &area)) {
        PixelMove& last = pixelMoves.back();
        last.dx += dx;
        last.dy += dy;
        if (std::abs(last.dx) >= area.w || std::abs(last.dy) >= area.h) {
            pixelMoves.pop_back();
            addDamage(area);
        } else if (last.dx == 0 && last.dy == 0) {
            pixelMoves.pop_back();
        }
        return;
    }
    pixelMoves.push_back({owner, area, dx, dy});
}

bool GuiWindow::anythingElseMeets(const GuiObject* owner, const SDL_Rect& area) const {
    for (const auto& [child, rc] : shown)
        if (child != owner && SDL_HasIntersection(&rc, &area)) return true;
    for (const auto& child : children) {
        const SDL_Rect rc = child->drawnRect();
        if (child.get() != owner && SDL_HasIntersection(&rc, &area)) return true;
    }
    SDL_Rect tip{0, 0, 0, 0};
    if (SDL_HasIntersection(&shownTip, &area) ||
        (tooltipBox(tip) && SDL_HasIntersection(&tip, &area)))
        return true;
    const SDL_Rect overlay = overlayArea();
    return SDL_HasIntersection(&overlayShown, &area) || SDL_HasIntersection(&overlay, &area);
}

SDL_Rect GuiWindow::makePixelMoves(const std::function<bool(const PixelMove&)>& move) {
    std::vector<PixelMove> moves;
    moves.swap(pixelMoves);
    SDL_Rect moved{0, 0, 0, 0};
    if (fullDamage || !drawsOnlyChildren()) return moved;  // drawn whole: nothing to move
    for (const PixelMove& m : moves) {
        // The owner's pixels only: a child of this window, drawn where it was, over area.
        const bool owned = std::any_of(children.begin(), children.end(),
                                       [&](const auto& c) { return c.get() == m.owner; }) &&
                           containsRect(m.owner->drawnRect(), m.area) &&
                           std::any_of(shown.begin(), shown.end(), [&](const auto& s) {
                               return s.first == m.owner && containsRect(s.second, m.area);
                           });
        if (!owned || anythingElseMeets(m.owner, m.area) || !move(m)) {
            addDamage(m.area);
            continue;
        }
        SDL_UnionRect(&moved, &m.area, &moved);
    }
    return moved;
}

void GuiWindow::drawAgainWhole(SDL_Renderer* r) {
    repeatingFrame = true;
    draw(r);
    repeatingFrame = false;
}

void GuiWindow::resize(SDL_Renderer* r, int w, int h) {
    int oldW = width, oldH = height;
    width = w;
    height = h;
    for (size_t i = 0; i < children.size(); ++i) {
        GuiObject* c = children[i].get();
        if (dynamic_cast<IMenuBarRole*>(c)) {
            c->relayout();
        } else if (dynamic_cast<IStatusBarRole*>(c)) {
            c->y = h - c->height;
            c->relayout();
        } else if (auto* stretch = dynamic_cast<IStretchRole*>(c)) {
            int nw =
                stretch->stretchesHorizontally() ? std::max(1, c->width + (w - oldW)) : c->width;
            int nh =
                stretch->stretchesVertically() ? std::max(1, c->height + (h - oldH)) : c->height;
            if (nw != c->width || nh != c->height) c->resize(r, nw, nh);
        }
    }
    warmupFrames = kWarmupFramesAfterResize;
}

// ---------------------------------------------------------------------------------------------
// GuiDialog

void GuiDialog::endModal(uint32_t result) {
    if (!engine || engine->modalRoot != this) return;
    engine->modalRoot = nullptr;
    engine->scheduleRedraw();
    postCommand(CMD_DIALOG_ENDED, result, 0, this);
    engine->activeEditable = engine->savedEditable;
}

void GuiDialog::accept() {
    endModal(1);
}
void GuiDialog::cancel() {
    endModal(2);
}
void GuiDialog::onCommand(GuiEvent&) {}

void GuiDialog::routeModal(AppWindow* window, GuiEvent& e) {
    if (!window || !window->engine) return;
    auto* dialog = dynamic_cast<GuiDialog*>(window->root.get());
    if (!dialog) return;
    if (e.kind == GuiEvent::Command) {
        auto* button = dynamic_cast<IDialogButton*>(e.source);
        const bool fromButton = e.code == CMD_ACTIVATED && button && button->endsDialog();
        if (fromButton && e.id == 1)
            dialog->accept();
        else if (fromButton && e.id == 0)
            dialog->cancel();
        else
            dialog->onCommand(e);
        return;
    }
    if (dialog != window->engine->modalRoot) return;
    const SDL_Event* s = e.sdl;
    SDL_Keycode key = s && s->type == SDL_KEYDOWN ? s->key.keysym.sym : SDLK_UNKNOWN;
    if (key == SDLK_ESCAPE)
        dialog->cancel();
    else if (key == SDLK_RETURN)
        dialog->accept();
    else
        dialog->handleEvent(e);
}
