// Passive widgets: the one-line label, the panel (a titled container with a sizer) and the
// status bar at the bottom of a window.
#pragma once

#include "controls/ChildList.h"
#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "core/Roles.h"
#include "core/Sizer.h"

#include <SDL_ttf.h>

#include <memory>
#include <string>
#include <vector>

// Option flags of GuiLabel.
enum : uint32_t {
    LABEL_LEFT = 0x1,
    LABEL_ELLIPSIS_START = 0x2,
};

class GuiLabel : public GuiObject {
public:
    GuiLabel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color,
             const std::string& text, TTF_Font* font, uint32_t flags = 0);

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    const char* className() const override { return "GuiLabel"; }
    // Shows value from the next frame on (assigning text alone is not drawn).
    void setText(const std::string& value);
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent&) override {}

    // The text as drawn: shortened at its start when it does not fit and the flag asks so.
    const std::string& displayText();
    // How often the shortening measured text (the cache keeps this at one per change).
    int measureRuns() const { return shortenings; }

    std::string text;
    TTF_Font* font = nullptr;
    uint32_t flags = 0;
    SDL_Color textColor{0, 0, 0, 255};  // the constructor's colour is the unpainted background
    std::string cachedSource;
    std::string cachedDisplay;
    int32_t cachedWidth = -1;

private:
    void shorten();
    bool tailFits(size_t start) const;
    // Byte index of the first character from which "…" + the rest fits, or npos.
    size_t firstFittingTail() const;
    TextCache textCache;
    int shortenings = 0;
};

class GuiPanel : public GuiObject, public IContainerRole, public IDrawsInParts, public ITimed {
public:
    GuiPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
             const std::string& title, TTF_Font* font);
    ~GuiPanel() override;

    GuiObject* tooltipTarget() override;
    GuiObject* findByName(const std::string& n) override;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) override;
    GuiObject* hitTest(int px, int py) override;
    GuiObject* wheelTarget(int px, int py) override;
    const char* className() const override { return "GuiPanel"; }
    void coverChildrenMeeting(SDL_Rect& area) const override;
    void update(uint32_t now) override;
    uint32_t msUntilDue(uint32_t now) override { return kids.msUntilDue(now); }
    void draw(SDL_Renderer* r) override;
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent& e) override;
    void mouseLeave() override;
    // Children follow the panel when it was moved (by its window, a sizer or a container).
    void relayout() override;

    GuiObject* addChild(GuiObject* child);
    std::unique_ptr<GuiObject> releaseChild(GuiObject* child) override;
    void setSizer(GuiSizer* newSizer);
    void relayoutSizer();
    void setGeometry(int nx, int ny, int w, int h);
    int contentTop() const;

    const std::vector<std::unique_ptr<GuiObject>>& children() const { return kids.children; }
    GuiObject* capture() const { return kids.capture; }
    GuiObject* hover() const { return kids.hover; }

    ChildList kids;
    std::unique_ptr<GuiSizer> sizer;
    std::string title;
    TTF_Font* font = nullptr;

private:
    void followPosition();
    void drawFrame(SDL_Renderer* r);
    TextCache titleCache;
    // The absolute position the children were last placed for.
    int placedX = 0;
    int placedY = 0;
};

class GuiStatusBar : public GuiObject, public IStatusBarRole {
public:
    struct Pane {
        std::string text;
        int32_t paneWidth = -1;
        int32_t paneX = 0;
        int32_t actualWidth = 0;
    };

    GuiStatusBar(GuiObject* parent, int id, SDL_Color bgColor, TTF_Font* font);
    ~GuiStatusBar() override;

    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiStatusBar"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent&) override {}
    void relayout() override;

    void setText(const std::string& text, int pane);
    std::string getText(int pane) const;
    void setPaneCount(int n);
    void setPanes(const std::vector<int>& widths);

    std::vector<Pane> panes;
    TTF_Font* font = nullptr;

private:
    std::vector<std::unique_ptr<TextCache>> paneCaches;
};
