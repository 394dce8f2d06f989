// The widget base object, the event record and the command codes every widget shares.
#pragma once

#include "core/Handles.h"

#include <SDL.h>

#include <cstdint>
#include <string>

class GuiObject;
class GuiWindow;
class ZazOvadir;

// Command codes carried in GuiEvent::code.
enum : uint32_t {
    CMD_ACTIVATED = 1000,
    CMD_MENU_ITEM = 1001,
    CMD_IMAGE_CLICKED = 1002,
    CMD_COMBO_SELECTED = 1003,
    CMD_SLIDER_CHANGED = 1004,
    CMD_PROPERTY_CHANGED = 1015,
    CMD_TREE_SELECTED = 1016,
    CMD_TREE_ITEM = 1017,
    CMD_DIALOG_ENDED = 9999,
};

// One event on its way to a widget: an SDL input event or a command posted by a widget.
struct GuiEvent {
    enum Kind : uint32_t { Input = 0, Command = 1 };

    uint32_t kind = Input;
    uint32_t windowId = 0;
    uint32_t code = 0;
    uint32_t id = 0;
    int64_t value = 0;
    GuiObject* source = nullptr;
    SDL_Event* sdl = nullptr;
    int32_t localX = 0;
    int32_t localY = 0;
    GuiObject* target = nullptr;
    int32_t targetId = -1;

    static GuiEvent makeInput(uint32_t windowId, SDL_Event* sdl);
    static GuiEvent makeCommand(uint32_t windowId, uint32_t code, uint32_t id, int64_t value,
                                GuiObject* source);
};

class GuiObject {
public:
    GuiObject(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor);
    GuiObject(const GuiObject&) = delete;
    GuiObject& operator=(const GuiObject&) = delete;

    // --- virtual interface, in the order every widget family refers to ---
    virtual GuiObject* tooltipTarget();
    virtual GuiObject* findByName(const std::string& n);
    virtual bool locateItem(const std::string& label, SDL_Rect& out);
    virtual bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out);
    virtual bool getValue(std::string& out);
    virtual bool setValue(const std::string& value);
    virtual bool getProperty(const std::string& property, std::string& out);
    virtual bool setProperty(const std::string& property, const std::string& value);
    virtual GuiObject* hitTest(int px, int py);
    virtual bool wantsWheel();
    virtual GuiObject* wheelTarget(int px, int py);
    virtual bool isCacheable();
    // The rectangle the object paints, which its cache must hold: its own rectangle unless it
    // draws beyond it.
    virtual SDL_Rect drawnRect() const { return rect(); }
    virtual const char* className() const;
    virtual void update(uint32_t now);
    virtual void draw(SDL_Renderer* r);
    virtual void resize(SDL_Renderer* r, int w, int h);
    virtual void handleEvent(GuiEvent& e) = 0;
    virtual void mouseEnter(int localX, int localY);
    virtual void mouseLeave();
    virtual void focusLost(GuiObject* newFocus);
    virtual void relayout();
    virtual ~GuiObject();

    // Marks the cached drawing stale and asks the engine for a redraw.
    void invalidate();
    // Deletes the object after the current event (through its window); detached objects stay.
    void destroy();
    void setBgColor(SDL_Color c);
    // Moves the object to (nx, ny) in window coordinates; where it was and where it goes change.
    void moveTo(int nx, int ny);
    void setTooltip(std::string text) { tooltip = std::move(text); }
    void setName(std::string text) { name = std::move(text); }

    bool contains(int px, int py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
    SDL_Rect rect() const { return SDL_Rect{x, y, width, height}; }
    // Hands the cache texture to texture retirement (used on destruction and replacement).
    void releaseCacheTexture();

    int x = 0, y = 0;
    int relX = 0, relY = 0;
    int width = 0, height = 0;
    GuiObject* parent = nullptr;
    GuiWindow* window = nullptr;
    int id = 0;
    SDL_Color bgColor{0, 0, 0, 255};
    bool hasFocus = false;
    std::string tooltip;
    std::string name;
    SdlTexturePtr cacheTexture;  // released through texture retirement
    bool dirty = true;
};

// True when obj is ancestor itself or lies below it; false for a null obj.
bool isDescendantOf(const GuiObject* obj, const GuiObject* ancestor);

// Grows area so that drawing object, shown within `shown` by its parent, under a clip of area
// gives the pixels of a full redraw there: by the object's visible rectangle, or for a container
// that draws in parts by the children it shows that area meets. Nothing when area misses it.
void coverDrawingOf(GuiObject* object, const SDL_Rect& shown, SDL_Rect& area);

// Value text shared by getValue/setValue: booleans are "1"/"0", numbers use the classic locale.
bool parseBool(const std::string& text, bool& out);
std::string formatNumber(double value);
bool parseNumber(const std::string& text, double& out);
