#include "text/SearchCtrl.h"

#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "text/TextCtrl.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr SDL_Color kIconInk{100, 100, 100, 255};
constexpr SDL_Color kFrame{80, 80, 80, 255};
constexpr int kIconWidth = 20;
constexpr int kClearWidth = 20;

}  // namespace

GuiSearchCtrl::GuiSearchCtrl(GuiObject* parent, int id, int x, int y, int width, int height,
                             SDL_Color bgColor, FT_Face face)
    : GuiObject(parent, id, x, y, width, height, bgColor),
      editor(std::make_unique<GuiTextCtrl>(this, id, x + kIconWidth, y,
                                           std::max(width - kIconWidth - kClearWidth, 1), height,
                                           SDL_Color{255, 255, 255, 255}, face, 0)) {
    editor->onChange = [this] {
        invalidate();
        if (onChange) onChange();
    };
    relayout();
}

GuiSearchCtrl::~GuiSearchCtrl() {
    // The window may still point at the editor as its focus.
    if (window && window->focus == editor.get()) window->focus = nullptr;
    if (window && window->engine &&
        window->engine->activeEditable == static_cast<IEditable*>(editor.get()))
        window->engine->activeEditable = nullptr;
}

const std::string& GuiSearchCtrl::text() const {
    return editor->text;
}

void GuiSearchCtrl::relayout() {
    editor->parent = this;
    editor->window = window;
    editor->x = x + kIconWidth;
    editor->y = y + 2;
    editor->width = std::max(width - kIconWidth - kClearWidth, 1);
    editor->height = std::max(height - 4, 1);
    editor->relayout();
    invalidate();
}

bool GuiSearchCtrl::getValue(std::string& out) {
    out = editor->text;
    return true;
}

bool GuiSearchCtrl::setValue(const std::string& value) {
    editor->setText(value);
    return true;
}

void GuiSearchCtrl::update(uint32_t now) {
    editor->update(now);
    if (editor->dirty) {
        invalidate();
        editor->dirty = false;
    }
}

uint32_t GuiSearchCtrl::msUntilDue(uint32_t now) {
    return editor->msUntilDue(now);
}

bool GuiSearchCtrl::inClearZone(int px, int py) const {
    return px >= x + width - kClearWidth && px < x + width && py >= y && py < y + height;
}

void GuiSearchCtrl::focusEditor() {
    if (window) window->setFocus(editor.get());
}

void GuiSearchCtrl::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (s.button.button != SDL_BUTTON_LEFT) return;
            if (!editor->text.empty() && inClearZone(s.button.x, s.button.y)) {
                editor->setText("");
                focusEditor();
                return;
            }
            focusEditor();
            editor->handleEvent(e);
            return;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONUP:
            editor->handleEvent(e);
            return;
        default:
            return;
    }
}

void GuiSearchCtrl::drawMagnifier(SDL_Renderer* r) {
    setColor(r, kIconInk);
    const int cx = x + 10, cy = y + height / 2;
    int px = x + 15, py = cy;
    for (int k = 1; k <= 16; ++k) {
        double a = k * 2.0 * M_PI / 16.0;
        int nx = cx + static_cast<int>(std::lround(5 * std::cos(a)));
        int ny = cy + static_cast<int>(std::lround(5 * std::sin(a)));
        SDL_RenderDrawLine(r, px, py, nx, ny);
        px = nx;
        py = ny;
    }
    SDL_RenderDrawLine(r, x + 14, cy + 4, x + 19, cy + 9);
}

void GuiSearchCtrl::drawClearMark(SDL_Renderer* r) {
    setColor(r, kIconInk);
    const int right = x + width;
    SDL_RenderDrawLine(r, right - 14, y + 6, right - 6, y + height - 6);
    SDL_RenderDrawLine(r, right - 14, y + height - 6, right - 6, y + 6);
}

void GuiSearchCtrl::draw(SDL_Renderer* r) {
    if (!r) return;
    SDL_Rect box = rect();
    setColor(r, SDL_Color{255, 255, 255, 255});
    SDL_RenderFillRect(r, &box);
    drawMagnifier(r);
    editor->draw(r);
    if (!editor->text.empty()) drawClearMark(r);
    setColor(r, kFrame);
    SDL_RenderDrawRect(r, &box);
}
