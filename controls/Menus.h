// Pop-up menus with submenus, and the menu bar along a window's top edge.
#pragma once

#include "core/GuiObject.h"
#include "core/Roles.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GuiMenu;
struct LabelCache;

// A label with its "&" markers resolved: the text to show and the marked character.
struct Mnemonic {
    std::string text;
    int pos = -1;  // byte offset of the marked character in text, -1 for none
    int len = 0;   // byte length of the marked character
};

// "&x" marks x, "&&" is a literal ampersand, a trailing "&" is dropped; the last mark counts.
Mnemonic parseMnemonic(const std::string& label);

// One row of a menu.
struct MenuItem {
    MenuItem(uint32_t id, std::string label, bool hasSubmenu = false,
             std::function<void(GuiMenu*)> onOpenSubmenu = {})
        : id(id),
          label(std::move(label)),
          hasSubmenu(hasSubmenu),
          onOpenSubmenu(std::move(onOpenSubmenu)) {}

    uint32_t id = 0;
    std::string label;
    bool hasSubmenu = false;
    std::function<void(GuiMenu*)> onOpenSubmenu;
    std::string name;
};

class GuiMenu : public GuiObject, public IKeepAlivePopup, public IItemNames {
public:
    GuiMenu(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color menuColor,
            std::string title, TTF_Font* font);
    ~GuiMenu() override;

    bool locateItem(const std::string& label, SDL_Rect& out) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiMenu"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void mouseLeave() override;
    bool keepAlive() const override { return keepAliveFlag; }
    std::string itemNameForId(uint32_t itemId) const override;

    // Appends a row and returns it (the menu owns it).
    MenuItem* addItem(uint32_t itemId, std::string label, bool hasSubmenu = false,
                      std::function<void(GuiMenu*)> onOpenSubmenu = {});
    void setKeepAlive(bool keep) { keepAliveFlag = keep; }
    int rowHeight() const;
    int rowCount() const { return static_cast<int>(items.size()); }
    // The first row with the given command id, or null.
    const MenuItem* itemById(uint32_t itemId) const;
    // The submenu opened from this menu while it is still on the window's popup stack.
    GuiMenu* liveSubmenu() const;

    // Activates row r: opens its submenu or posts its command and closes every popup.
    void activate(int r, bool highlightFirst);
    void openSubmenuAt(int r, bool highlightFirst);

    std::string title;
    TTF_Font* font = nullptr;
    SDL_Color menuColor{255, 255, 255, 255};
    std::vector<std::unique_ptr<MenuItem>> items;  // a null entry is an empty row
    int hoverIndex = -1;
    bool keepAliveFlag = false;
    GuiMenu* parentMenu = nullptr;
    int parentIndex = -1;
    GuiMenu* openSubmenu = nullptr;

private:
    int rowAtY(int py) const;
    GuiMenu* otherMenuUnder(int px, int py) const;
    void handlePress(const SDL_Event& s);
    void handleMotion(const SDL_Event& s);
    void handleKey(const SDL_Event& s);
    bool activateMnemonic(SDL_Keycode key);
    void moveHighlight(int step);
    void closeSubmenu();
    void drawRow(SDL_Renderer* r, int row, int h);

    std::vector<std::unique_ptr<LabelCache>> labelCaches;
};

struct MenuBarEntry {
    std::string title;
    GuiMenu* menu = nullptr;
    int offset = 0;
    int width = 0;
};

class GuiMenuBar : public GuiObject, public IMenuBarRole {
public:
    GuiMenuBar(GuiObject* parent, int id, SDL_Color barColor, std::string title, TTF_Font* font);
    ~GuiMenuBar() override;

    bool locateItem(const std::string& label, SDL_Rect& out) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiMenuBar"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    // IMenuBarRole
    bool hasOpenMenu() const override { return openIndex >= 0; }
    bool switchToTitleAt(int px, int py) override;
    void resetOpenMenu() override { openIndex = -1; }

    // Registers a menu the caller keeps alive.
    void addMenu(std::string title, GuiMenu* menu);
    // Registers a menu the bar owns from now on.
    void addMenu(std::string title, std::unique_ptr<GuiMenu> menu);
    bool openMenu(int index);
    bool openMenuByTitle(const std::string& title);
    bool openNextMenu();
    bool openPrevMenu();
    int entryAt(int px, int py) const;

    std::vector<MenuBarEntry> entries;
    std::string title;
    TTF_Font* font = nullptr;
    SDL_Color barColor{192, 192, 192, 255};
    int openIndex = -1;

private:
    std::vector<std::unique_ptr<GuiMenu>> ownedMenus;
    std::vector<std::unique_ptr<LabelCache>> labelCaches;
};
