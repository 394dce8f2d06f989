// Containers that own and route to their children: the scrolled panel (a view onto a larger
// virtual area), the notebook (pages behind a row of tabs) and the splitter window (two panes
// divided by a sash the user drags).
#pragma once

#include "controls/ChildList.h"
#include "controls/Labels.h"
#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "core/Roles.h"
#include "core/Sizer.h"
#include "text/ScrollBar.h"

#include <SDL_ttf.h>

#include <memory>
#include <string>
#include <vector>

class GuiScrolledPanel : public GuiObject,
                         public IContainerRole,
                         public IDrawsInParts,
                         public ITimed {
public:
    static constexpr int kBarThickness = 14;
    static constexpr int kMinThumb = 16;
    static constexpr int kWheelStep = 40;

    GuiScrolledPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor);
    ~GuiScrolledPanel() override;

    GuiObject* tooltipTarget() override;
    GuiObject* findByName(const std::string& n) override;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) override;
    GuiObject* hitTest(int px, int py) override;
    bool wantsWheel() override { return true; }
    GuiObject* wheelTarget(int px, int py) override;
    const char* className() const override { return "GuiScrolledPanel"; }
    void coverChildrenMeeting(SDL_Rect& area) const override;
    void update(uint32_t now) override;
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent& e) override;
    void mouseLeave() override;
    // Children follow the panel when it is moved, and get its window once it has one.
    void relayout() override;

    // Takes ownership; the child's own position is a position in the virtual area.
    GuiObject* addChild(GuiObject* child);
    std::unique_ptr<GuiObject> releaseChild(GuiObject* child) override;
    void setSizer(GuiSizer* newSizer);
    void setVirtualSize(int w, int h);
    void scrollTo(int sx, int sy);
    void layoutContent();
    // The topmost child under the point, only inside the view (not on the bars).
    GuiObject* childAt(int px, int py) const;

    int viewWidth() const;
    int viewHeight() const;
    const std::vector<std::unique_ptr<GuiObject>>& children() const { return kids.children; }
    GuiObject* pressedChild() const { return kids.capture; }
    GuiObject* hoveredChild() const { return kids.hover; }

    ChildList kids;  // capture is the pressed child, hover the hovered one
    std::unique_ptr<GuiSizer> sizer;
    int32_t virtualWidth = 0;
    int32_t virtualHeight = 0;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
    ScrollBar vScroll{0, kMinThumb};
    ScrollBar hScroll{1, kMinThumb};

private:
    void updateScrollbars();
    void placeBars();
    void followPosition();
    void routeButtonDown(GuiEvent& e, int px, int py);
    void routeMotion(GuiEvent& e, int px, int py);
    void routeButtonUp(GuiEvent& e, int px, int py);
    void routeWheel(const SDL_Event& s);
    // Makes the child under the point the hovered one; returns it.
    GuiObject* trackHover(int px, int py);
    void deliver(GuiObject* child, GuiEvent& e, int px, int py);
    void clearHover();
    SDL_Rect viewRect() const { return SDL_Rect{x, y, viewWidth(), viewHeight()}; }
    // The absolute position the children were last placed for.
    int placedX = 0;
    int placedY = 0;
};

// One tab of a notebook and the page behind it.
struct NotebookPage {
    std::string title;
    std::string name;
    std::unique_ptr<GuiPanel> page;
    int32_t tabOffset = 0;
    int32_t tabWidth = 0;
    std::unique_ptr<TextCache> titleCache = std::make_unique<TextCache>();
};

class GuiNotebook : public GuiObject, public IContainerRole, public IDrawsInParts, public ITimed {
public:
    static constexpr int kTabHeight = 26;
    static constexpr int kTabPadding = 20;

    GuiNotebook(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color pageColor,
                TTF_Font* font);
    ~GuiNotebook() override;

    GuiObject* tooltipTarget() override;
    GuiObject* findByName(const std::string& n) override;
    bool locateItem(const std::string& label, SDL_Rect& out) override;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) override;
    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    GuiObject* hitTest(int px, int py) override;
    GuiObject* wheelTarget(int px, int py) override;
    const char* className() const override { return "GuiNotebook"; }
    void coverChildrenMeeting(SDL_Rect& area) const override;
    void update(uint32_t now) override;
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent& e) override;
    void mouseLeave() override;
    void relayout() override;

    GuiPanel* addPage(const std::string& title, const std::string& name);
    std::unique_ptr<GuiObject> releaseChild(GuiObject* child) override;
    GuiPanel* currentPage() const;
    GuiPanel* pageAt(int index) const;
    void setCurrentPage(int index);
    int pageIndexByName(const std::string& n) const;
    int tabAt(int px, int py) const;
    SDL_Rect pageArea() const;

    std::vector<NotebookPage> pages;
    int32_t current = -1;
    TTF_Font* font = nullptr;
    SDL_Color pageColor{255, 255, 255, 255};

private:
    std::unique_ptr<GuiPanel> makePage() const;
    void leavePage(GuiPanel* page);
    void drawTab(SDL_Renderer* r, NotebookPage& p, bool isCurrent);
};

class GuiSplitterWindow : public GuiObject,
                          public IContainerRole,
                          public IDrawsInParts,
                          public ITimed {
public:
    static constexpr int kSashThickness = 6;
    static constexpr int kMinPane = 20;

    GuiSplitterWindow(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
                      int vertical);
    ~GuiSplitterWindow() override;

    GuiObject* tooltipTarget() override;
    GuiObject* findByName(const std::string& n) override;
    bool findItem(const std::string& label, GuiObject*& owner, SDL_Rect& out) override;
    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    GuiObject* hitTest(int px, int py) override;
    GuiObject* wheelTarget(int px, int py) override;
    const char* className() const override { return "GuiSplitterWindow"; }
    void coverChildrenMeeting(SDL_Rect& area) const override;
    void update(uint32_t now) override;
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void resize(SDL_Renderer* r, int w, int h) override;
    void handleEvent(GuiEvent& e) override;
    void mouseLeave() override;
    void relayout() override;

    std::unique_ptr<GuiObject> releaseChild(GuiObject* child) override;
    void setSashPosition(int pos);
    SDL_Rect sashRect() const;
    bool onSash(int px, int py) const;
    GuiPanel* paneAt(int px, int py) const;
    int splitLength() const { return vertical ? height : width; }

    std::unique_ptr<GuiPanel> firstPane;
    std::unique_ptr<GuiPanel> secondPane;
    int32_t vertical = 0;
    int32_t sashPosition = 0;
    bool sashInitialized = false;
    bool draggingSash = false;
    int32_t dragStartPointer = 0;
    int32_t dragStartSash = 0;
    GuiPanel* pressedPane = nullptr;
    GuiPanel* hoveredPane = nullptr;

private:
    std::unique_ptr<GuiPanel> makePane() const;
    void clampSash();
    void placePanes();
};
