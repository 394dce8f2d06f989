// Two drawing panels: the cairo panel, whose owner draws with cairo and sees the pixels as an
// SDL texture, and the image panel, which shows one image file scaled to fit and centred.
#pragma once

#include "core/GuiObject.h"
#include "core/Handles.h"
#include "core/Roles.h"

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

class GuiCairoPanel : public GuiObject, public IStretchRole, public ITimed {
public:
    GuiCairoPanel(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
                  SDL_Renderer* renderer);

    bool isCacheable() override { return false; }
    const char* className() const override { return "GuiCairoPanel"; }
    void update(uint32_t now) override;
    // A change held back by the frame-rate limit falls due when the interval has passed.
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    // A new size clears the drawing; the same size keeps it.
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent&) override {}

    bool stretchesHorizontally() const override { return stretchH; }
    bool stretchesVertically() const override { return stretchV; }
    void setStretch(bool horizontal, bool vertical) {
        stretchH = horizontal;
        stretchV = vertical;
    }

    // The drawing context, never null: without pixels (no size, no memory) it is a context in
    // cairo's error state, on which drawing does nothing.
    cairo_t* cr() const { return context.get(); }
    // At most fps uploads a second; 0 or less lifts the limit.
    void setMaxFps(int fps);
    // True when the next draw may upload, so a new frame is worth drawing.
    bool readyForFrame() const;
    // The drawing changed: upload it at the next permitted draw.
    void markDirty();

    // Pixels of the drawing with straight alpha, as uploaded (for tests and callers that want
    // to read back); empty without pixels.
    std::vector<uint32_t> straightPixels() const;
    bool hasTexture() const { return texture != nullptr; }
    int uploads() const { return uploadCount; }

    uint32_t minInterval = 0;
    uint32_t lastUpload = 0;
    bool uploadOnlyWhenDirty = false;

private:
    void releaseResources();
    void createSurface(int w, int h);
    void createTexture(SDL_Renderer* r, int w, int h);
    bool intervalPassed() const;
    bool heldBack() const;
    void upload();

    std::vector<unsigned char> pixels;  // cairo's ARGB32 image data, height x stride bytes
    CairoSurfacePtr surface;
    CairoPtr context;
    SdlTexturePtr texture;
    int32_t stride = 0;
    uint32_t now = 0;
    bool uploadedOnce = false;
    bool dirtyPixels = true;
    // Uploaded pixels all opaque: copied without blending, as fast as a plain copy.
    bool opaqueContent = false;
    bool stretchH = false;
    bool stretchV = false;
    int uploadCount = 0;
};

class GuiImagePanel : public GuiObject {
public:
    // The background colour's alpha is cleared: nothing is painted behind the image until the
    // application sets an opaque colour.
    GuiImagePanel(GuiObject* parent, int id, int x, int y, int width, int height,
                  SDL_Color bgColor);

    const char* className() const override { return "GuiImagePanel"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;

    // Replaces the image; false (and no image) when the file cannot be read or shown.
    bool loadImage(SDL_Renderer* r, const std::string& path);
    void clearImage();

    // Where an image of the given size is drawn in the panel's rectangle: scaled to fit,
    // enlarged or reduced, centred; empty at the corner when either has no area.
    static SDL_Rect fitImage(const SDL_Rect& panel, int imageWidth, int imageHeight);

    SDL_Texture* imageTexture() const { return texture.get(); }

    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    std::string path;

private:
    SdlTexturePtr texture;
};
