#include "core/CairoPixels.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "rich/Panels.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// cairo refuses image surfaces larger than this in either direction.
constexpr int kMaxCairoSide = 32767;

}  // namespace

GuiCairoPanel::GuiCairoPanel(GuiObject* parent, int id, int x, int y, int width, int height,
                             SDL_Color bgColor, SDL_Renderer* renderer)
    : GuiObject(parent, id, x, y, width, height, bgColor) {
    // Force the first resize to build everything, whatever the size.
    this->width = this->height = -1;
    resize(renderer, width, height);
}

void GuiCairoPanel::releaseResources() {
    texture.reset();
    context.reset();
    surface.reset();
    std::vector<unsigned char>().swap(pixels);
    stride = 0;
}

void GuiCairoPanel::createSurface(int w, int h) {
    if (w > 0 && h > 0 && w <= kMaxCairoSide && h <= kMaxCairoSide) {
        stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
        try {
            if (stride > 0) pixels.assign(static_cast<size_t>(stride) * h, 0);
        } catch (const std::bad_alloc&) {
            pixels.clear();
        }
    }
    if (!pixels.empty()) {
        surface.reset(
            cairo_image_surface_create_for_data(pixels.data(), CAIRO_FORMAT_ARGB32, w, h, stride));
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            std::vector<unsigned char>().swap(pixels);
    }
    if (pixels.empty()) {
        if (w > 0 && h > 0) SDL_Log("Cairo-Fläche %d x %d nicht anlegbar", w, h);
        // An empty surface still gives a context that the application may draw through.
        stride = 0;
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0));
    }
    context.reset(cairo_create(surface.get()));
}

void GuiCairoPanel::createTexture(SDL_Renderer* r, int w, int h) {
    if (!r || pixels.empty()) return;
    texture.reset(
        SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, w, h));
    if (!texture) {
        SDL_Log("Textur %d x %d für die Cairo-Fläche nicht anlegbar: %s", w, h, SDL_GetError());
        return;
    }
    SDL_SetTextureBlendMode(texture.get(), SDL_BLENDMODE_NONE);
}

void GuiCairoPanel::resize(SDL_Renderer* r, int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    const bool sameSize = w == width && h == height;
    if (sameSize && (texture || pixels.empty())) return;
    width = w;
    height = h;
    if (!sameSize) {
        releaseResources();
        createSurface(w, h);
    }
    createTexture(r, w, h);
    uploadedOnce = false;
    dirtyPixels = true;
    invalidate();
}

void GuiCairoPanel::update(uint32_t tick) {
    now = tick;
    // A change the limit held back is shown as soon as the interval allows, also when nothing
    // else asks for a frame (an application drawing on demand).
    if (heldBack() && intervalPassed())
        invalidate();
    else if (!uploadOnlyWhenDirty && intervalPassed() && window)
        window->addDamage(drawnRect());  // uploads at every draw: part of every frame drawn
}

uint32_t GuiCairoPanel::msUntilDue(uint32_t tick) {
    return heldBack() ? msUntil(lastUpload + minInterval, tick) : kNoDeadline;
}

bool GuiCairoPanel::heldBack() const {
    return dirtyPixels && uploadedOnce && minInterval > 0 && texture && !pixels.empty();
}

void GuiCairoPanel::setMaxFps(int fps) {
    minInterval = fps > 0 ? static_cast<uint32_t>(1000 / fps) : 0;
}

bool GuiCairoPanel::intervalPassed() const {
    // Unsigned difference: stays right when the tick count wraps.
    return minInterval == 0 || !uploadedOnce || now - lastUpload >= minInterval;
}

bool GuiCairoPanel::readyForFrame() const {
    return intervalPassed();
}

void GuiCairoPanel::markDirty() {
    dirtyPixels = true;
    invalidate();
}

void GuiCairoPanel::upload() {
    cairo_surface_flush(surface.get());
    void* dst = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(texture.get(), nullptr, &dst, &pitch) != 0) return;
    opaqueContent = copyUnpremultiplied(pixels.data(), stride, static_cast<unsigned char*>(dst),
                                        pitch, width, height);
    SDL_UnlockTexture(texture.get());
    // Straight alpha that is not opaque must blend over the panel's background.
    SDL_SetTextureBlendMode(texture.get(),
                            opaqueContent ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    dirtyPixels = false;
    uploadedOnce = true;
    lastUpload = now;
    ++uploadCount;
}

void GuiCairoPanel::draw(SDL_Renderer* r) {
    if (!texture || pixels.empty()) return;
    if (intervalPassed() && (dirtyPixels || !uploadOnlyWhenDirty)) upload();
    const SDL_Rect rc = rect();
    if (!opaqueContent && bgColor.a != 0) {
        SDL_SetRenderDrawColor(r, bgColor.r, bgColor.g, bgColor.b, bgColor.a);
        SDL_RenderFillRect(r, &rc);
    }
    SDL_RenderCopy(r, texture.get(), nullptr, &rc);
}

std::vector<uint32_t> GuiCairoPanel::straightPixels() const {
    std::vector<uint32_t> out;
    if (pixels.empty()) return out;
    cairo_surface_flush(surface.get());
    out.resize(static_cast<size_t>(width) * height);
    copyUnpremultiplied(pixels.data(), stride, reinterpret_cast<unsigned char*>(out.data()),
                        width * 4, width, height);
    return out;
}
