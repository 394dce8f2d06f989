#include "core/Window.h"
#include "rich/Panels.h"

#include <SDL_image.h>

#include <algorithm>

GuiImagePanel::GuiImagePanel(GuiObject* parent, int id, int x, int y, int width, int height,
                             SDL_Color bgColor)
    : GuiObject(parent, id, x, y, width, height, SDL_Color{bgColor.r, bgColor.g, bgColor.b, 0}) {}

bool GuiImagePanel::loadImage(SDL_Renderer* r, const std::string& file) {
    clearImage();
    SdlSurfacePtr surface(IMG_Load(file.c_str()));
    if (!surface) {
        SDL_Log("Bild \"%s\" nicht lesbar: %s", file.c_str(), IMG_GetError());
        return false;
    }
    if (!r) return false;
    SdlTexturePtr loaded(SDL_CreateTextureFromSurface(r, surface.get()));
    if (!loaded) {
        SDL_Log("Bild \"%s\" nicht darstellbar: %s", file.c_str(), SDL_GetError());
        return false;
    }
    SDL_SetTextureBlendMode(loaded.get(), SDL_BLENDMODE_BLEND);
    texture = std::move(loaded);
    imageWidth = surface->w;
    imageHeight = surface->h;
    path = file;
    invalidate();
    return true;
}

void GuiImagePanel::clearImage() {
    if (!texture) return;
    texture.reset();
    imageWidth = imageHeight = 0;
    path.clear();
    invalidate();
}

SDL_Rect GuiImagePanel::fitImage(const SDL_Rect& panel, int imageWidth, int imageHeight) {
    if (imageWidth <= 0 || imageHeight <= 0 || panel.w <= 0 || panel.h <= 0)
        return SDL_Rect{panel.x, panel.y, 0, 0};
    const double s = std::min(static_cast<double>(panel.h) / imageHeight,
                              static_cast<double>(panel.w) / imageWidth);
    // Both products stay within the panel's side, so the conversions cannot overflow.
    const int dw = std::max(1, static_cast<int>(imageWidth * s));
    const int dh = std::max(1, static_cast<int>(imageHeight * s));
    return SDL_Rect{panel.x + (panel.w - dw) / 2, panel.y + (panel.h - dh) / 2, dw, dh};
}

void GuiImagePanel::draw(SDL_Renderer* r) {
    const SDL_Rect rc = rect();
    if (bgColor.a != 0 && rc.w > 0 && rc.h > 0) {
        SDL_SetRenderDrawColor(r, bgColor.r, bgColor.g, bgColor.b, bgColor.a);
        SDL_RenderFillRect(r, &rc);
    }
    if (!texture) return;
    const SDL_Rect dst = fitImage(rc, imageWidth, imageHeight);
    if (dst.w > 0 && dst.h > 0) SDL_RenderCopy(r, texture.get(), nullptr, &dst);
}

void GuiImagePanel::handleEvent(GuiEvent& e) {
    if (e.kind != GuiEvent::Input || !e.sdl || e.sdl->type != SDL_MOUSEBUTTONDOWN) return;
    if (window) window->postCommand(CMD_IMAGE_CLICKED, static_cast<uint32_t>(id), 0, this);
}
