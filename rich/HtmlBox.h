// The HTML box: lays the blocks of the HTML subset out into word fragments, list markers,
// images and table lines, shows them with a vertical scroll bar, selects text with the mouse,
// copies it with Ctrl+C and reports link clicks. The document is painted in tiles of bounded
// height, made when they come into view, so memory follows the view and not the document.
#pragma once

#include "core/GuiObject.h"
#include "core/Handles.h"
#include "rich/HtmlParser.h"
#include "text/ScrollBar.h"

#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct TextFragment {
    SDL_Rect rect{0, 0, 0, 0};  // document coordinates (before scrolling)
    std::string text;           // one word piece
    TTF_Font* font = nullptr;
    int style = 0;  // TTF style bits: bold 1, italic 2, underline 4
    SDL_Color color{0, 0, 0, 255};
    bool firstOfBlock = false;
    bool startsWrappedLine = false;
};

struct ImageItem {
    SDL_Rect rect{0, 0, 0, 0};
    std::string src;
    SDL_Surface* surface = nullptr;  // at the rectangle's size; owned by the box's image cache
};

struct ListMarker {
    int x = 0, y = 0, w = 0, h = 0;
    bool ordered = false;
    int number = 0;
};

struct LinkArea {
    SDL_Rect rect{0, 0, 0, 0};
    std::string href;
};

// A place in the text: a fragment and a code-point index inside it; fragment -1 is none.
struct HtmlPosition {
    int fragment = -1;
    int character = 0;
    bool operator==(const HtmlPosition&) const = default;
};

class GuiHtmlBox : public GuiObject {
public:
    static constexpr int kBar = 14;
    static constexpr int kListIndent = 24;
    static constexpr int kTileHeight = 256;
    // Images above this many pixels, or beyond this many in one document, take no space.
    static constexpr int64_t kMaxImagePixels = int64_t(4096) * 4096;
    static constexpr int64_t kMaxDocumentImagePixels = int64_t(64) * 1024 * 1024;
    // Blocks below this height are not laid out (no coordinate can overflow).
    static constexpr int64_t kMaxDocumentHeight = int64_t(1) << 28;

    GuiHtmlBox(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
               SDL_Renderer* renderer);
    ~GuiHtmlBox() override;

    void setHtml(const std::string& html);

    bool wantsWheel() override { return true; }
    bool isCacheable() override { return false; }
    const char* className() const override { return "GuiHtmlBox"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    HtmlPosition positionAt(int px, int py);
    // The href of the link under a window point, empty when none.
    std::string linkAt(int px, int py) const;
    bool hasSelection() const;
    std::string selectedText();
    void setSelection(HtmlPosition start, HtmlPosition end);
    SDL_Rect fragmentRect(int index) const;
    std::string fragmentText(int index) const;
    // Pixel widths of the first k code points of a fragment, k = 0 .. its code-point count.
    const std::vector<int>& prefixWidths(int index);
    void scrollTo(int offset);
    int scrollOffset() const { return scrollY; }
    int documentHeight() const { return docHeight; }
    int layoutWidth() const { return std::max(width - kBar, 1); }
    // Tiles currently held as textures (the view's and their neighbours').
    size_t tileCount() const { return tiles.size(); }
    // Rows per tile; the tests vary it to check that tiles join without a seam.
    void setTileHeight(int rows);

    std::function<void(const std::string&)> onLinkClicked;

    std::vector<HtmlBlock> blocks;
    std::vector<TextFragment> fragments;
    std::vector<ImageItem> images;
    std::vector<ListMarker> markers;
    std::vector<SDL_Rect> borders;
    std::vector<LinkArea> links;
    ScrollBar vScroll{0, 16};

private:
    // What a tile paints, in painting order: fragments, markers, images, table lines.
    enum class PaintKind : uint8_t { Fragment, Marker, Image, Border };
    struct PaintRef {
        PaintKind kind;
        uint32_t index;
    };
    struct Measure {
        int w = 0, h = 0;
    };
    struct CachedImage {
        SdlSurfacePtr surface;  // null when it could not be loaded
    };

    void layoutDocument();
    int layoutRuns(const std::vector<HtmlRun>& runs, int x, int y, int width, int level);
    int layoutTable(const HtmlTable& table, int x, int y, int width);
    void layoutImage(const HtmlBlock& block, int y, int width, int64_t& advance);
    void addFragment(std::string_view token, const SDL_Rect& rect, TTF_Font* font, int style,
                     const HtmlRun& run, bool first, bool wrapped);
    SDL_Surface* loadImage(const std::string& src);
    SDL_Surface* scaledImage(SDL_Surface* original, int w, int h);
    TTF_Font* fontFor(int level, int style);
    Measure measure(TTF_Font* font, int style, std::string_view text);
    void indexTiles();
    void addToTiles(PaintKind kind, size_t index, int64_t top, int64_t height);

    void updateScrollbar();
    void relayoutIfWidthChanged();
    void dropTiles();
    SDL_Texture* tileTexture(SDL_Renderer* r, int tile);
    SdlSurfacePtr paintTile(int tile);
    void paintRef(SDL_Surface* s, const PaintRef& ref, int top);
    void drawTiles(SDL_Renderer* r);
    void retireTilesOutside(int first, int last);
    void drawSelection(SDL_Renderer* r);
    std::vector<uint32_t> fragmentsNear(int firstTile, int lastTile) const;

    void handlePress(int px, int py);
    void handleMotion(int px, int py);
    void handleRelease(int px, int py);
    void handleWheel(const SDL_Event& s);
    void handleKey(const SDL_KeyboardEvent& k);

    int tileHeight = kTileHeight;
    int docHeight = 1;
    int scrollY = 0;
    int renderedWidth = -1;
    SDL_Renderer* renderer = nullptr;  // the renderer the tiles belong to

    // Fonts by size slot (14, 18, 22, 28 px) and bold/italic: one font per glyph style keeps
    // SDL_ttf's glyph cache, which a style change on a shared font would flush.
    std::array<std::array<TtfFontPtr, 4>, 4> fonts;
    std::array<std::array<bool, 4>, 4> fontTried{};
    // Token sizes by size slot and full style; words repeat, so layout measures each once.
    std::array<std::array<std::unordered_map<std::string, Measure>, 8>, 4> measures;
    std::vector<std::vector<int>> prefixes;  // per fragment, filled on first use

    std::unordered_map<std::string, CachedImage> imageCache;  // decoded once per document
    std::vector<SdlSurfacePtr> scaledImages;                  // per layout
    int64_t imagePixels = 0;

    std::vector<std::vector<PaintRef>> tileRefs;  // per tile of kTileHeight rows
    std::unordered_map<int, SDL_Texture*> tiles;  // owned; released through texture retirement

    HtmlPosition selStart, selEnd;
    bool pressed = false;
    int pressX = 0, pressY = 0;
    std::string pendingHref;
};
