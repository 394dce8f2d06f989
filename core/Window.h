// The root object of one window (children, popups, focus, capture, hover, cached drawing,
// tooltips, deferred deletion) and the modal dialog built on it.
#pragma once

#include "core/GuiObject.h"
#include "core/Roles.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct AppWindow;

class GuiWindow : public GuiObject, public ITimed {
public:
    GuiWindow(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor);
    ~GuiWindow() override;

    GuiObject* findByName(const std::string& n) override;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) override;
    GuiObject* hitTest(int px, int py) override;
    const char* className() const override { return "GuiWindow"; }
    void update(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent& e) override;
    // The soonest deadline of the children (popups included) and of the tooltip delay.
    uint32_t msUntilDue(uint32_t now) override;

    // Takes ownership of obj and places it relative to the window.
    GuiObject* addChild(GuiObject* obj);
    void openPopup(GuiObject* popup);
    void closeTopPopup();
    void closeAllPopups(bool resetMenuBar);
    void closePopupsAbove(GuiObject* popup);
    void setFocus(GuiObject* obj);
    void deleteLater(GuiObject* obj);
    void postCommand(uint32_t code, uint32_t id, int64_t value, GuiObject* source);
    // The topmost child containing the point, with the point relative to it.
    GuiObject* childAt(int px, int py, int& localX, int& localY);
    GuiObject* popupAt(int px, int py);
    void releaseCapture();
    // The object's rectangle clipped by its ancestors, in screen coordinates, and its centre in
    // window coordinates; false when nothing of it can be hit.
    bool visibleRect(GuiObject* obj, SDL_Rect& screenRect, SDL_Point& centre);
    // Runs the deletions queued during the current event.
    void runPendingDeletes();

    // --- damage: what the next frame must draw when the window is drawn on demand ---
    // area (window coordinates) changed; damageAll: anything may have changed.
    void addDamage(const SDL_Rect& area);
    void damageAll() { fullDamage = true; }
    bool hasDamage() const { return fullDamage || !SDL_RectEmpty(&damage); }
    // Damages the old and new place of every child added, removed, reordered, moved or resized
    // since it was last shown, also when nobody said so.
    void damageMovedChildren();
    // Damages where the script runner's overlay was last drawn and where it is now.
    void damageOverlay();
    // Draws what the damage needs and clears it: everything after damageAll, else the children
    // that meet a damaged area, and again those that meet them, over the window's background
    // there. The rest keeps the pixels it showed. Returns the rectangle around what was drawn.
    SDL_Rect drawDamaged(SDL_Renderer* r);
    // Draws everything as draw() does, making the cache choice of the draw just done and leaving
    // the warm-up count alone: the reference the damage verifier compares a partial frame with.
    void drawAgainWhole(SDL_Renderer* r);

    // --- moved pixels: a scroll shows what was shown, moved, instead of drawing it again ---
    // owner, a child of this window that paints all of area (window coordinates, inside its
    // rectangle), shows area again with what was at p now at p + (dx, dy). The part of area that
    // comes into view becomes damage, and so does damage already there, moved along; owner
    // damages what else it changed after this call. Where a move cannot give a full redraw's
    // pixels (something else drawn over area, a whole frame, a renderer that keeps no pixels)
    // the next frame draws all of area instead.
    void movePixels(GuiObject* owner, const SDL_Rect& area, int dx, int dy);
    struct PixelMove {
        GuiObject* owner;
        SDL_Rect area;
        int dx, dy;
    };
    // Before drawDamaged: hands each move asked for since the last frame, in order, to move
    // (which moves the pixels where the window keeps them and says whether it could) and damages
    // the area of each move it cannot make or that meets something else. Returns the rectangle
    // around the areas moved.
    SDL_Rect makePixelMoves(const std::function<bool(const PixelMove&)>& move);
    bool hasPixelMoves() const { return !pixelMoves.empty(); }

    bool isPopup(const GuiObject* obj) const;
    bool hasPopups() const { return !popups.empty(); }
    const std::vector<std::unique_ptr<GuiObject>>& childList() const { return children; }
    const std::vector<GuiObject*>& popupStack() const { return popups; }

    std::vector<std::unique_ptr<GuiObject>> children;
    std::vector<GuiObject*> pendingDeletes;
    AppWindow* appWindow = nullptr;
    GuiObject* focus = nullptr;
    GuiObject* capture = nullptr;
    GuiObject* hover = nullptr;
    std::vector<GuiObject*> popups;
    GuiObject* popupCapture = nullptr;
    GuiObject* lastPopup = nullptr;
    ZazOvadir* engine = nullptr;
    SdlTexturePtr scratch;  // released through texture retirement
    bool targetsChecked = false;
    bool targetsSupported = true;
    int32_t warmupFrames = 0;
    GuiObject* tooltipObject = nullptr;
    uint32_t tooltipStart = 0;
    bool tooltipVisible = false;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    // Where drawing goes this frame (null: the window itself, else the engine's back buffer);
    // the cached drawing returns to it.
    SDL_Texture* frameTarget = nullptr;
    SDL_Rect damage{0, 0, 0, 0};        // around everything damaged
    std::vector<SDL_Rect> damageParts;  // the damaged areas that do not meet one another
    bool fullDamage = true;
    bool drewPartially = false;  // the last drawDamaged kept pixels of an earlier frame

protected:
    void deliver(GuiObject* obj, GuiEvent& e);

private:
    void routeWithPopups(GuiEvent& e);
    void routeWithoutPopups(GuiEvent& e);
    void routeButtonDown(GuiEvent& e);
    void routeMotion(GuiEvent& e);
    void routeWheel(GuiEvent& e);
    void routeWindowEvent(GuiEvent& e);
    void changeHover(GuiObject* hit, int localX, int localY);
    void clearHover();
    bool cachingThisFrame(SDL_Renderer* r);
    bool decideCaching(SDL_Renderer* r);
    void drawChild(SDL_Renderer* r, GuiObject* child, bool caching);
    bool ensureCacheTexture(SDL_Renderer* r, GuiObject* child);
    void drawTooltip(SDL_Renderer* r);
    void drawOverlay(SDL_Renderer* r);
    // Where the script runner's overlay paints now (empty without a runner).
    SDL_Rect overlayArea() const;
    bool tooltipBox(SDL_Rect& box) const;
    // Only a plain window or dialog paints nothing but its children, tooltip and overlay.
    bool drawsOnlyChildren() const;
    void noteShownChildren();
    void damageAndSchedule(const SDL_Rect& area);
    // Grows one damaged area until drawing it under its clip gives a full redraw's pixels there.
    void coverDamagedArea(SDL_Rect& area, const SDL_Rect& whole, const SDL_Rect* tip);
    // Joins areas that meet; true when any did.
    static bool mergeMeetingAreas(std::vector<SDL_Rect>& areas);
    // Background and every child meeting fill (and the tooltip), clipped to fill.
    void drawArea(SDL_Renderer* r, const SDL_Rect& fill, bool caching, bool withTooltip);
    // Damages the tooltip's old and new box when it appeared, vanished, moved or changed text.
    void damageMovedTooltip(bool schedule = true);

    // True when a child that paints every pixel opaquely covers all of area.
    bool coveredByOpaqueChild(const SDL_Rect& area) const;
    // True when anything but owner was drawn over area in the last frame or is drawn there now.
    bool anythingElseMeets(const GuiObject* owner, const SDL_Rect& area) const;

    std::vector<PixelMove> pixelMoves;  // asked for since the last frame, in order
    // Each child and its drawn rectangle as last shown.
    std::vector<std::pair<GuiObject*, SDL_Rect>> shown;
    SDL_Rect overlayShown{0, 0, 0, 0};  // the overlay's area as last drawn
    bool cachedThisFrame = false;
    bool repeatingFrame = false;    // drawAgainWhole: the cache choice is the last one
    SDL_Rect shownTip{0, 0, 0, 0};  // the tooltip box as last shown (empty: none)
    std::string shownTipText;
    uint32_t tooltipDue(uint32_t now) const;
    GuiObject* findMenuBar() const;
    std::unique_ptr<GuiObject> detachChild(GuiObject* obj);
};

class GuiDialog : public GuiWindow {
public:
    using GuiWindow::GuiWindow;
    virtual void accept();
    virtual void cancel();
    virtual void onCommand(GuiEvent& e);

    // The routing an application applies while a dialog is modal, for an event addressed to
    // window: push buttons with ids 1 and 0 accept and cancel, other commands (also other
    // sources with those ids) go to onCommand;
    // Return and Escape accept and cancel, other input goes to the dialog; input for any
    // window but the modal one is dropped.
    static void routeModal(AppWindow* window, GuiEvent& e);

protected:
    // Ends the modality with the given result: the sequence every dialog's ending shares.
    void endModal(uint32_t result);
};
