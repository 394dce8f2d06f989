// unique_ptr aliases for the C handles the toolkit owns.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

struct SdlWindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
};
struct SdlRendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
struct SdlTextureDeleter {
    void operator()(SDL_Texture* t) const { SDL_DestroyTexture(t); }
};
struct SdlSurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
struct TtfFontDeleter {
    void operator()(TTF_Font* f) const { TTF_CloseFont(f); }
};
struct FtLibraryDeleter {
    void operator()(FT_Library l) const { FT_Done_FreeType(l); }
};
struct FtFaceDeleter {
    void operator()(FT_Face f) const { FT_Done_Face(f); }
};
struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};

using SdlWindowPtr = std::unique_ptr<SDL_Window, SdlWindowDeleter>;
using SdlRendererPtr = std::unique_ptr<SDL_Renderer, SdlRendererDeleter>;
using SdlTexturePtr = std::unique_ptr<SDL_Texture, SdlTextureDeleter>;
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceDeleter>;
using TtfFontPtr = std::unique_ptr<TTF_Font, TtfFontDeleter>;
using FtLibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, FtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FtFaceDeleter>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
