#include "controls/Buttons.h"

#include "controls/DefaultIcon.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Window.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kPressedShade{192, 192, 192, 255};
constexpr SDL_Color kDarkShade{128, 128, 128, 255};

void line(SDL_Renderer* r, int x1, int y1, int x2, int y2) {
    SDL_RenderDrawLine(r, x1, y1, x2, y2);
}

bool isButtonDown(const GuiEvent& e) {
    return e.sdl && e.sdl->type == SDL_MOUSEBUTTONDOWN;
}
bool isButtonUp(const GuiEvent& e) {
    return e.sdl && e.sdl->type == SDL_MOUSEBUTTONUP;
}

void announcePress() {
    diagnostic("BUTTON DOWN\n");
    std::fflush(stdout);
}

// Every point of the disc of the given squared radius round (cx, cy), in one batch.
void fillDisc(SDL_Renderer* r, int cx, int cy, int radius, int radiusSquared) {
    std::vector<SDL_Point> points;
    points.reserve((2 * radius + 1) * (2 * radius + 1));
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radiusSquared) points.push_back({cx + dx, cy + dy});
    SDL_RenderDrawPoints(r, points.data(), static_cast<int>(points.size()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// GuiButton

GuiButton::GuiButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bg,
                     const std::string& label, TTF_Font* font, uint32_t flags)
    : GuiObject(parent, id, x, y, w, h, SDL_Color{bg.r, bg.g, bg.b, 0}),
      label(label),
      flags(flags),
      font(font) {}

bool GuiButton::getValue(std::string& out) {
    if (!isToggle()) return false;
    out = pressed ? "1" : "0";
    return true;
}

bool GuiButton::setValue(const std::string& value) {
    if (!isToggle()) return false;
    bool on = false;
    if (!parseBool(value, on)) return false;
    if (on != pressed) {
        pressed = on;
        invalidate();
        notify();
    }
    return true;
}

void GuiButton::notify() {
    // By index: a callback may add further callbacks.
    for (size_t i = 0; i < callbacks.size(); ++i)
        callbacks[i](this, pressed);
}

void GuiButton::postActivated() {
    if (window) window->postCommand(CMD_ACTIVATED, static_cast<uint32_t>(id), 0, this);
}

void GuiButton::pressToggle() {
    announcePress();
    pressed = !pressed;
    invalidate();
    notify();
}

void GuiButton::handleEvent(GuiEvent& e) {
    if (isButtonDown(e)) {
        if (isToggle()) {
            pressToggle();
            return;
        }
        pressed = true;
        announcePress();
        pressTime = lastRepeat = guiTicks();
        repeatFired = false;
        invalidate();
        notify();
        return;
    }
    if (!isButtonUp(e) || isToggle()) return;
    pressed = false;
    invalidate();
    if (repeatFired) return;
    const int px = e.sdl->button.x, py = e.sdl->button.y;
    // Strictly inside: a release on the edge pixels does not count as a click.
    if (px > x && px < x + width && py > y && py < y + height) postActivated();
}

void GuiButton::update(uint32_t now) {
    if (!(flags & BUTTON_REPEAT) || isToggle() || !pressed) return;
    if (now - pressTime < repeatDelay || now - lastRepeat < repeatInterval) return;
    lastRepeat = now;
    repeatFired = true;
    postActivated();
}

uint32_t GuiButton::msUntilDue(uint32_t now) {
    if (!(flags & BUTTON_REPEAT) || isToggle() || !pressed) return kNoDeadline;
    return std::max(msUntil(pressTime + repeatDelay, now),
                    msUntil(lastRepeat + repeatInterval, now));
}

void GuiButton::drawFrame(SDL_Renderer* r) {
    const int W = width, H = height;
    setColor(r, kBlack);
    line(r, x + 1, y, x + W - 1, y);
    line(r, x, y + 1, x + W, y + 1);
    line(r, x, y + H - 1, x + W, y + H - 1);
    line(r, x + 1, y + H, x + W - 1, y + H);
    line(r, x, y + 1, x, y + H - 1);
    line(r, x + 1, y + 1, x + 1, y + H - 1);
    line(r, x + W, y + 1, x + W, y + H - 1);
    line(r, x + W - 1, y + 1, x + W - 1, y + H - 1);
}

void GuiButton::drawBevel(SDL_Renderer* r) {
    const int W = width, H = height;
    if (bgColor.a != 0) {
        setColor(r, bgColor);
        SDL_Rect face{x + 2, y + 2, W - 3, H - 3};
        SDL_RenderFillRect(r, &face);
        return;
    }
    setColor(r, pressed ? kPressedShade : kWhite);
    line(r, x + 2, y + 2, x + W - 3, y + 2);
    line(r, x + 2, y + 3, x + W - 4, y + 3);
    line(r, x + 2, y + 2, x + 2, y + H - 3);
    line(r, x + 3, y + 2, x + 3, y + H - 4);
    setColor(r, pressed ? kPressedShade : kDarkShade);
    line(r, x + 2, y + H - 2, x + W - 3, y + H - 2);
    line(r, x + 3, y + H - 3, x + W - 3, y + H - 3);
    line(r, x + W - 2, y + 2, x + W - 2, y + H - 2);
    line(r, x + W - 3, y + 3, x + W - 3, y + H - 2);
}

void GuiButton::drawCaption(SDL_Renderer* r, int tx, int ty) {
    captionCache.drawAt(r, font, label, kBlack, tx, ty);
}

void GuiButton::draw(SDL_Renderer* r) {
    drawFrame(r);
    drawBevel(r);
    int tw = 0, th = 0;
    if (!captionCache.get(r, font, label, kBlack, tw, th)) return;
    drawCaption(r, x + (width - tw) / 2, y + (height - th) / 2 + (pressed ? 1 : 0));
}

// ---------------------------------------------------------------------------------------------
// GuiCheckBox and GuiRadioButton

GuiCheckBox::GuiCheckBox(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bg,
                         const std::string& label, TTF_Font* font, uint32_t flags)
    : GuiButton(parent, id, x, y, w, h, bg, label, font, flags | BUTTON_TOGGLE) {}

bool GuiCheckBox::getValue(std::string& out) {
    out = pressed ? "1" : "0";
    return true;
}

bool GuiCheckBox::setValue(const std::string& value) {
    flags |= BUTTON_TOGGLE;
    return GuiButton::setValue(value);
}

void GuiCheckBox::handleEvent(GuiEvent& e) {
    if (isButtonDown(e)) pressToggle();
}

void GuiCheckBox::draw(SDL_Renderer* r) {
    setColor(r, kWhite);
    SDL_Rect inner{x + 2, y + 2, 12, 12};
    SDL_RenderFillRect(r, &inner);
    setColor(r, kBlack);
    SDL_Rect outer{x, y, 16, 16}, second{x + 1, y + 1, 14, 14};
    SDL_RenderDrawRect(r, &outer);
    SDL_RenderDrawRect(r, &second);
    if (pressed) {
        for (int k = 0; k <= 2; ++k) {
            line(r, x + 1, y + k, x + 14, y + 13 + k);
            line(r, x + 1, y + 15 - k, x + 14, y + 2 - k);
        }
    }
    drawCaption(r, x + 25, y);
}

GuiRadioButton::GuiRadioButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bg,
                               const std::string& label, TTF_Font* font, uint32_t flags)
    : GuiButton(parent, id, x, y, w, h, bg, label, font, flags | BUTTON_TOGGLE) {}

bool GuiRadioButton::getValue(std::string& out) {
    out = pressed ? "1" : "0";
    return true;
}

bool GuiRadioButton::setValue(const std::string& value) {
    flags |= BUTTON_TOGGLE;
    return GuiButton::setValue(value);
}

void GuiRadioButton::handleEvent(GuiEvent& e) {
    if (isButtonDown(e)) pressToggle();
}

void GuiRadioButton::draw(SDL_Renderer* r) {
    const int cx = x + 8, cy = y + 8;
    setColor(r, kBlack);
    fillDisc(r, cx, cy, 8, 64);
    setColor(r, kWhite);
    fillDisc(r, cx, cy, 7, 49);
    if (pressed) {
        setColor(r, kBlack);
        fillDisc(r, cx, cy, 4, 16);
    }
    int tw = 0, th = 0;
    if (!captionCache.get(r, font, label, kBlack, tw, th)) return;
    drawCaption(r, x + 24, y + (16 - th) / 2);
}

// ---------------------------------------------------------------------------------------------
// GuiImageButton

GuiImageButton::GuiImageButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bg,
                               SDL_Renderer* renderer, uint32_t flags)
    : GuiButton(parent, id, x, y, w, h, bg, "", nullptr, flags) {
    loadBuiltIn(renderer);
}

bool GuiImageButton::takeSurface(SDL_Renderer* r, SDL_Surface* raw) {
    SdlSurfacePtr surface(raw);
    if (!surface || !r) return false;
    SdlTexturePtr texture(SDL_CreateTextureFromSurface(r, surface.get()));
    if (!texture) return false;
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_BLEND);
    image = std::move(texture);
    imageWidth = surface->w;
    imageHeight = surface->h;
    invalidate();
    return true;
}

bool GuiImageButton::loadBuiltIn(SDL_Renderer* r) {
    if (!r) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(defaultIconPng(), static_cast<int>(defaultIconPngSize()));
    if (!rw) return false;
    return takeSurface(r, IMG_LoadTyped_RW(rw, 1, nullptr));
}

bool GuiImageButton::loadImage(SDL_Renderer* r, const std::string& path) {
    clearImage();
    if (!r) return false;
    if (!takeSurface(r, IMG_Load(path.c_str()))) return false;
    imagePath = path;
    return true;
}

void GuiImageButton::clearImage() {
    image.reset();
    imageWidth = imageHeight = 0;
    imagePath.clear();
    invalidate();
}

void GuiImageButton::draw(SDL_Renderer* r) {
    drawFrame(r);
    drawBevel(r);
    if (!image) return;
    const int W = width, H = height;
    SDL_Rect box{x + 4, y + 4 + (pressed ? 1 : 0), W - 8, H - 8};
    SDL_Rect dst{box.x, box.y, 0, 0};
    if (imageWidth >= 1 && imageHeight >= 1 && box.w >= 1 && box.h >= 1) {
        const double scale = std::min(static_cast<double>(H - 8) / imageHeight,
                                      static_cast<double>(W - 8) / imageWidth);
        const int dw = std::max(static_cast<int>(imageWidth * scale), 1);
        const int dh = std::max(static_cast<int>(imageHeight * scale), 1);
        dst = SDL_Rect{box.x + (W - 8 - dw) / 2, box.y + (H - 8 - dh) / 2, dw, dh};
    }
    SDL_RenderCopy(r, image.get(), nullptr, &dst);
}

// ---------------------------------------------------------------------------------------------
// GuiButtonGroup

GuiButtonGroup::GuiButtonGroup() : state(std::make_shared<State>()) {}

void GuiButtonGroup::releaseOthers(State& group, GuiButton* keep) {
    // A released member reports through its callbacks, this group's own among them: that
    // nested report must not release the button just switched on.
    if (group.releasing) return;
    group.releasing = true;
    // By index: a listener may add buttons to the group.
    for (size_t i = 0; i < group.buttons.size(); ++i) {
        GuiButton* b = group.buttons[i];
        if (b == keep || !b->pressed) continue;
        b->pressed = false;
        b->invalidate();
        b->notify();
    }
    group.releasing = false;
}

void GuiButtonGroup::add(GuiButton* button) {
    if (!button) return;
    state->buttons.push_back(button);
    auto shared = state;
    button->addCallback([shared](GuiButton* b, bool) { releaseOthers(*shared, b); });
}

void GuiButtonGroup::select(GuiButton* button) {
    releaseOthers(*state, button);
}

GuiButton* GuiButtonGroup::selected() const {
    for (GuiButton* b : state->buttons)
        if (b->pressed) return b;
    return nullptr;
}
