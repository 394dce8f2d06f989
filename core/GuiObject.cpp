#include "core/GuiObject.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Roles.h"
#include "core/Window.h"

#include <locale>
#include <sstream>

GuiEvent GuiEvent::makeInput(uint32_t windowId, SDL_Event* sdl) {
    GuiEvent e;
    e.kind = Input;
    e.windowId = windowId;
    e.sdl = sdl;
    return e;
}

GuiEvent GuiEvent::makeCommand(uint32_t windowId, uint32_t code, uint32_t id, int64_t value,
                               GuiObject* source) {
    GuiEvent e;
    e.kind = Command;
    e.windowId = windowId;
    e.code = code;
    e.id = id;
    e.value = value;
    e.source = source;
    return e;
}

GuiObject::GuiObject(GuiObject* parent, int id, int x, int y, int width, int height,
                     SDL_Color bgColor)
    : x(x),
      y(y),
      relX(x),
      relY(y),
      width(width),
      height(height),
      parent(parent),
      id(id),
      bgColor(bgColor) {}

GuiObject::~GuiObject() {
    releaseCacheTexture();
}

void GuiObject::releaseCacheTexture() {
    if (!cacheTexture) return;
    // Only a window with a renderer can have drawn into the cache; detached objects hand
    // nothing over.
    if (window && window->appWindow && window->appWindow->renderer)
        TextureRetirement::retire(window->appWindow->sdlRenderer(), cacheTexture);
    else
        (void)cacheTexture.release();  // its renderer is gone and took the texture along
}

GuiObject* GuiObject::tooltipTarget() {
    return this;
}

GuiObject* GuiObject::findByName(const std::string& n) {
    return (!name.empty() && name == n) ? this : nullptr;
}

bool GuiObject::locateItem(const std::string&, SDL_Rect&) {
    return false;
}

bool GuiObject::findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) {
    if (!locateItem(label, out)) return false;
    owner = this;
    return true;
}

bool GuiObject::getValue(std::string&) {
    return false;
}
bool GuiObject::setValue(const std::string&) {
    return false;
}
bool GuiObject::getProperty(const std::string&, std::string&) {
    return false;
}
bool GuiObject::setProperty(const std::string&, const std::string&) {
    return false;
}

GuiObject* GuiObject::hitTest(int px, int py) {
    return contains(px, py) ? this : nullptr;
}

bool GuiObject::wantsWheel() {
    return false;
}

GuiObject* GuiObject::wheelTarget(int, int) {
    return wantsWheel() ? this : nullptr;
}

bool GuiObject::isCacheable() {
    return false;
}

const char* GuiObject::className() const {
    return "GuiObject";
}

void GuiObject::update(uint32_t) {}

void GuiObject::draw(SDL_Renderer* r) {
    setColor(r, bgColor);
    SDL_Rect rc = rect();
    SDL_RenderFillRect(r, &rc);
}

void GuiObject::resize(SDL_Renderer*, int w, int h) {
    width = w;
    height = h;
}

void GuiObject::mouseEnter(int, int) {}
void GuiObject::mouseLeave() {}
void GuiObject::focusLost(GuiObject*) {}
void GuiObject::relayout() {}

void GuiObject::invalidate() {
    dirty = true;
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine) return;
    // What the object paints is all that changed; outside a window, anything may have.
    if (window) {
        window->addDamage(drawnRect());
        engine->scheduleRedraw();
    } else {
        engine->requestRedraw();
    }
}

void GuiObject::destroy() {
    if (window) window->deleteLater(this);
}

void GuiObject::moveTo(int nx, int ny) {
    if (nx == x && ny == y) return;
    invalidate();
    relX += nx - x;
    relY += ny - y;
    x = nx;
    y = ny;
    relayout();
    invalidate();
}

void GuiObject::setBgColor(SDL_Color c) {
    bgColor = c;
    invalidate();
}

bool parseBool(const std::string& text, bool& out) {
    if (text == "1" || text == "true") {
        out = true;
        return true;
    }
    if (text == "0" || text == "false") {
        out = false;
        return true;
    }
    return false;
}

std::string formatNumber(double value) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os.precision(15);
    os << value;
    return os.str();
}

bool parseNumber(const std::string& text, double& out) {
    std::istringstream is(text);
    is.imbue(std::locale::classic());
    double v = 0;
    is >> v;
    if (is.fail()) return false;
    if (is.peek() != std::char_traits<char>::eof()) return false;
    out = v;
    return true;
}

void coverDrawingOf(GuiObject* object, const SDL_Rect& shown, SDL_Rect& area) {
    const SDL_Rect rc = object->drawnRect();
    SDL_Rect visible;
    if (!SDL_IntersectRect(&rc, &shown, &visible) || !SDL_HasIntersection(&visible, &area)) return;
    if (const auto* parts = dynamic_cast<const IDrawsInParts*>(object)) {
        parts->coverChildrenMeeting(area);
        return;
    }
    SDL_UnionRect(&area, &visible, &area);
}

bool isDescendantOf(const GuiObject* obj, const GuiObject* ancestor) {
    for (const GuiObject* o = obj; o; o = o->parent)
        if (o == ancestor) return true;
    return false;
}
