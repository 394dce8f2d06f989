#include "controls/Menus.h"

#include "controls/TextCache.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Window.h"
#include "text/Utf8.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kHighlight{0, 0, 150, 255};
constexpr SDL_Color kHighlightEdge{160, 160, 200, 255};
constexpr uint16_t kCommandModifiers = 0x0FC0;  // Ctrl, Alt and GUI on either side
constexpr int kSubmenuWidth = 240;
constexpr int kBarTitlePadding = 24;

int textWidth(TTF_Font* font, const std::string& text) {
    int w = 0, h = 0;
    if (text.empty() || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

}  // namespace

// A label as last drawn: its parsed form, the underline geometry and the rendered text, so
// that a redraw with the same label, font and colour does no text work at all.
struct LabelCache {
    std::string label;
    TTF_Font* font = nullptr;
    bool prepared = false;
    Mnemonic mnemonic;
    int prefixWidth = 0;
    int charWidth = 0;
    TextCache text;

    void prepare(TTF_Font* f, const std::string& l) {
        if (prepared && f == font && l == label) return;
        prepared = true;
        font = f;
        label = l;
        mnemonic = parseMnemonic(l);
        prefixWidth = charWidth = 0;
        if (f && mnemonic.pos >= 0) {
            prefixWidth = textWidth(f, mnemonic.text.substr(0, mnemonic.pos));
            charWidth = textWidth(f, mnemonic.text.substr(mnemonic.pos, mnemonic.len));
        }
    }
};

namespace {

// Draws a label with its top-left corner at (tx, boxTop + (boxH - text height) / 2) and
// underlines the mnemonic in black; a failed render draws nothing.
void drawLabel(SDL_Renderer* r, LabelCache& cache, TTF_Font* font, const std::string& label,
               SDL_Color color, int tx, int boxTop, int boxH) {
    if (!font) return;
    cache.prepare(font, label);
    int tw = 0, th = 0;
    SDL_Texture* texture = cache.text.get(r, font, cache.mnemonic.text, color, tw, th);
    if (!texture) return;
    int ty = boxTop + (boxH - th) / 2;
    SDL_Rect dst{tx, ty, tw, th};
    SDL_RenderCopy(r, texture, nullptr, &dst);
    if (cache.mnemonic.pos < 0) return;
    setColor(r, kBlack);
    int uy = ty + th - 2;
    SDL_RenderDrawLine(r, tx + cache.prefixWidth, uy, tx + cache.prefixWidth + cache.charWidth - 1,
                       uy);
}

// One cache per row or title, grown as rows appear.
LabelCache& cacheAt(std::vector<std::unique_ptr<LabelCache>>& caches, size_t i) {
    if (caches.size() <= i) caches.resize(i + 1);
    if (!caches[i]) caches[i] = std::make_unique<LabelCache>();
    return *caches[i];
}

GuiMenuBar* menuBarOf(GuiWindow* win) {
    if (!win) return nullptr;
    for (const auto& child : win->childList())
        if (auto* bar = dynamic_cast<GuiMenuBar*>(child.get())) return bar;
    return nullptr;
}

}  // namespace

Mnemonic parseMnemonic(const std::string& label) {
    Mnemonic m;
    m.text.reserve(label.size());
    size_t i = 0;
    while (i < label.size()) {
        if (label[i] != '&') {
            size_t n = std::min<size_t>(utf8SequenceLength(label[i]), label.size() - i);
            m.text.append(label, i, n);
            i += n;
            continue;
        }
        if (i + 1 >= label.size()) break;  // a trailing marker marks nothing
        if (label[i + 1] == '&') {
            m.text.push_back('&');
            i += 2;
            continue;
        }
        ++i;
        size_t n = std::min<size_t>(utf8SequenceLength(label[i]), label.size() - i);
        m.pos = static_cast<int>(m.text.size());
        m.len = static_cast<int>(n);
        m.text.append(label, i, n);
        i += n;
    }
    return m;
}

// ---------------------------------------------------------------------------------------------
// GuiMenu

GuiMenu::GuiMenu(GuiObject* parent, int id, int x, int y, int width, int height,
                 SDL_Color menuColor, std::string title, TTF_Font* font)
    : GuiObject(parent, id, x, y, width, height, menuColor),
      title(std::move(title)),
      font(font),
      menuColor(menuColor) {}

GuiMenu::~GuiMenu() = default;

MenuItem* GuiMenu::addItem(uint32_t itemId, std::string label, bool hasSubmenu,
                           std::function<void(GuiMenu*)> onOpenSubmenu) {
    items.push_back(
        std::make_unique<MenuItem>(itemId, std::move(label), hasSubmenu, std::move(onOpenSubmenu)));
    invalidate();
    return items.back().get();
}

int GuiMenu::rowHeight() const {
    int h = font ? TTF_FontLineSkip(font) + 5 : 0;
    return h < 1 ? 25 : h;
}

const MenuItem* GuiMenu::itemById(uint32_t itemId) const {
    for (const auto& item : items)
        if (item && item->id == itemId) return item.get();
    return nullptr;
}

std::string GuiMenu::itemNameForId(uint32_t itemId) const {
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (*it && (*it)->id == itemId) return (*it)->name;
    return {};
}

GuiMenu* GuiMenu::liveSubmenu() const {
    // The window may have closed (and deleted) the submenu behind our back.
    if (!openSubmenu || !window || !window->isPopup(openSubmenu)) return nullptr;
    return openSubmenu;
}

bool GuiMenu::locateItem(const std::string& label, SDL_Rect& out) {
    if (label.empty()) return false;
    int h = rowHeight();
    for (int i = 0; i < rowCount(); ++i) {
        if (items[i] && items[i]->name == label) {
            out = SDL_Rect{x, y + i * h, width, h};
            return true;
        }
    }
    return false;
}

void GuiMenu::mouseLeave() {
    hoverIndex = -1;
    invalidate();
}

int GuiMenu::rowAtY(int py) const {
    if (items.empty() || py < y || py >= y + height) return -1;
    return std::min((py - y) / rowHeight(), rowCount() - 1);
}

void GuiMenu::closeSubmenu() {
    if (window) window->closePopupsAbove(this);
    openSubmenu = nullptr;
}

void GuiMenu::openSubmenuAt(int r, bool highlightFirst) {
    if (!window || r < 0 || r >= rowCount() || !items[r] || !items[r]->hasSubmenu) return;
    GuiWindow* win = window;
    win->closePopupsAbove(this);
    auto* sub = new GuiMenu(win, -1, x + width - 2, y + r * rowHeight(), kSubmenuWidth, 0,
                            menuColor, "submenu", font);
    sub->parentMenu = this;
    sub->parentIndex = r;
    if (items[r]->onOpenSubmenu) items[r]->onOpenSubmenu(sub);
    sub->height = sub->rowCount() * sub->rowHeight();
    win->openPopup(sub);
    openSubmenu = sub;
    if (highlightFirst && sub->rowCount() > 0) sub->hoverIndex = 0;
    invalidate();
}

void GuiMenu::activate(int r, bool highlightFirst) {
    if (r < 0 || r >= rowCount() || !items[r]) return;
    if (items[r]->hasSubmenu) {
        openSubmenuAt(r, highlightFirst);
        return;
    }
    GuiWindow* win = window;
    if (!win) return;
    win->postCommand(CMD_MENU_ITEM, items[r]->id, 0, this);
    win->closeAllPopups(true);
    openSubmenu = nullptr;
    hoverIndex = -1;
    invalidate();
}

void GuiMenu::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (GuiMenu* other = otherMenuUnder(s.button.x, s.button.y)) {
                // The press belongs to the menu it lands on, not to the one last opened.
                window->popupCapture = window->lastPopup = other;
                other->handleEvent(e);
                return;
            }
            handlePress(s);
            break;
        case SDL_MOUSEMOTION:
            handleMotion(s);
            break;
        case SDL_KEYDOWN:
            handleKey(s);
            break;
        default:
            break;
    }
}

GuiMenu* GuiMenu::otherMenuUnder(int px, int py) const {
    if (!window || contains(px, py)) return nullptr;
    auto* other = dynamic_cast<GuiMenu*>(window->popupAt(px, py));
    return other != this ? other : nullptr;
}

void GuiMenu::handlePress(const SDL_Event& s) {
    height = rowCount() * rowHeight();
    int r = rowAtY(s.button.y);
    if (r < 0 || !items[r] || items[r]->hasSubmenu) return;
    activate(r, false);
}

void GuiMenu::handleMotion(const SDL_Event& s) {
    height = rowCount() * rowHeight();
    if (items.empty()) {
        hoverIndex = -1;
        return;
    }
    int r = rowAtY(s.motion.y);
    if (r < 0) {
        closeSubmenu();
        if (hoverIndex != -1) invalidate();
        hoverIndex = -1;
        return;
    }
    if (r == hoverIndex) return;
    hoverIndex = r;
    invalidate();
    if (!items[r]) return;
    if (items[r]->hasSubmenu)
        openSubmenuAt(r, false);
    else
        closeSubmenu();
}

bool GuiMenu::activateMnemonic(SDL_Keycode key) {
    for (int i = 0; i < rowCount(); ++i) {
        if (!items[i]) continue;
        Mnemonic m = parseMnemonic(items[i]->label);
        if (m.pos < 0) continue;
        int mc = SDL_tolower(static_cast<unsigned char>(m.text[m.pos]));
        if (mc != SDL_tolower(key)) continue;
        bool submenu = items[i]->hasSubmenu;
        activate(i, false);
        if (submenu) {
            hoverIndex = i;
            invalidate();
        }
        return true;
    }
    return false;
}

void GuiMenu::moveHighlight(int step) {
    int n = rowCount();
    int next;
    if (hoverIndex < 0 || hoverIndex >= n)
        next = step > 0 ? 0 : n - 1;
    else
        next = (hoverIndex + step + n) % n;
    if (next == hoverIndex) return;
    hoverIndex = next;
    closeSubmenu();
    invalidate();
}

void GuiMenu::handleKey(const SDL_Event& s) {
    if (items.empty()) return;
    SDL_Keycode key = s.key.keysym.sym;
    bool modified = (s.key.keysym.mod & kCommandModifiers) != 0;
    if (!modified && activateMnemonic(key)) return;
    GuiWindow* win = window;
    GuiMenuBar* bar = menuBarOf(win);
    bool validHover = hoverIndex >= 0 && hoverIndex < rowCount();
    switch (key) {
        case SDLK_ESCAPE:
            if (win) win->closeAllPopups(true);
            openSubmenu = nullptr;
            hoverIndex = -1;
            invalidate();
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            if (validHover) activate(hoverIndex, true);
            break;
        case SDLK_DOWN:
            moveHighlight(1);
            break;
        case SDLK_UP:
            moveHighlight(-1);
            break;
        case SDLK_RIGHT:
            if (validHover && items[hoverIndex] && items[hoverIndex]->hasSubmenu)
                openSubmenuAt(hoverIndex, true);
            else if (!parentMenu && bar)
                bar->openNextMenu();
            break;
        case SDLK_LEFT:
            if (parentMenu) {
                GuiMenu* back = parentMenu;
                if (win) win->closeTopPopup();
                back->openSubmenu = nullptr;
                back->invalidate();
            } else if (bar) {
                bar->openPrevMenu();
            }
            break;
        default:
            break;
    }
}

void GuiMenu::drawRow(SDL_Renderer* r, int row, int h) {
    const MenuItem* item = items[row].get();
    if (!item) return;
    bool highlighted = row == hoverIndex;
    int top = y + row * h;
    drawLabel(r, cacheAt(labelCaches, row), font, item->label, highlighted ? kWhite : kBlack, x + 8,
              top, h);
    if (item->hasSubmenu) {
        int cy = top + h / 2;
        int tipX = x + width - 10;
        setColor(r, kBlack);
        SDL_RenderDrawLine(r, x + width - 15, cy - 4, tipX, cy);
        SDL_RenderDrawLine(r, x + width - 15, cy + 4, tipX, cy);
    }
}

void GuiMenu::draw(SDL_Renderer* r) {
    if (!r) return;
    int h = rowHeight();
    height = rowCount() * h;
    SDL_Rect box = rect();
    setColor(r, menuColor);
    SDL_RenderFillRect(r, &box);
    setColor(r, kBlack);
    SDL_RenderDrawLine(r, x, y + height - 1, x + width - 1, y + height - 1);
    if (hoverIndex >= 0 && hoverIndex < rowCount()) {
        SDL_Rect hl{x + 1, y + hoverIndex * h, width - 2, h};
        setColor(r, kHighlight);
        SDL_RenderFillRect(r, &hl);
        setColor(r, kHighlightEdge);
        SDL_RenderDrawLine(r, hl.x, hl.y, hl.x + hl.w - 1, hl.y);
        SDL_RenderDrawLine(r, hl.x, hl.y + h - 1, hl.x + hl.w - 1, hl.y + h - 1);
    }
    for (int i = 0; i < rowCount(); ++i)
        drawRow(r, i, h);
}

// ---------------------------------------------------------------------------------------------
// GuiMenuBar

GuiMenuBar::GuiMenuBar(GuiObject* parent, int id, SDL_Color barColor, std::string title,
                       TTF_Font* font)
    : GuiObject(parent, id, 0, 0, 100, 25, barColor),
      title(std::move(title)),
      font(font),
      barColor(barColor) {}

GuiMenuBar::~GuiMenuBar() {
    // An owned menu that is open sits among the window's children, which delete it.
    for (auto& menu : ownedMenus)
        if (menu->parent) menu.release();
}

void GuiMenuBar::addMenu(std::string title, GuiMenu* menu) {
    entries.push_back(MenuBarEntry{std::move(title), menu, 0, 0});
    relayout();
}

void GuiMenuBar::addMenu(std::string title, std::unique_ptr<GuiMenu> menu) {
    GuiMenu* raw = menu.get();
    if (menu) ownedMenus.push_back(std::move(menu));
    addMenu(std::move(title), raw);
}

void GuiMenuBar::relayout() {
    if (parent) width = parent->width;
    int offset = 0;
    for (auto& entry : entries) {
        std::string text = parseMnemonic(entry.title).text;
        entry.width = (font ? textWidth(font, text) : 0) + kBarTitlePadding;
        entry.offset = offset;
        offset += entry.width;
    }
    invalidate();
}

bool GuiMenuBar::openMenu(int index) {
    if (index < 0 || index >= static_cast<int>(entries.size())) return false;
    GuiWindow* win = window;
    GuiMenu* menu = entries[index].menu;
    if (!parent || !win || !menu) return false;
    SDL_StopTextInput();
    menu->setKeepAlive(true);
    menu->parent = win;
    menu->window = win;
    menu->x = entries[index].offset;
    menu->y = y + height;
    // Sized now, not at its first draw: a press may arrive before that.
    menu->height = menu->rowCount() * menu->rowHeight();
    win->closeAllPopups(false);
    // A reopened menu starts without a highlight or a stale submenu.
    menu->hoverIndex = -1;
    menu->openSubmenu = nullptr;
    menu->invalidate();
    openIndex = index;
    invalidate();
    win->openPopup(menu);
    return true;
}

bool GuiMenuBar::openMenuByTitle(const std::string& t) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].title == t) return openMenu(static_cast<int>(i));
    return false;
}

bool GuiMenuBar::openNextMenu() {
    int n = static_cast<int>(entries.size());
    if (n == 0) return false;
    return openMenu(openIndex < 0 ? 0 : (openIndex + 1) % n);
}

bool GuiMenuBar::openPrevMenu() {
    int n = static_cast<int>(entries.size());
    if (n == 0) return false;
    return openMenu(openIndex < 0 ? n - 1 : (openIndex + n - 1) % n);
}

int GuiMenuBar::entryAt(int px, int py) const {
    if (py < y || py >= y + height) return -1;
    for (size_t i = 0; i < entries.size(); ++i)
        if (px >= entries[i].offset && px < entries[i].offset + entries[i].width)
            return static_cast<int>(i);
    return -1;
}

bool GuiMenuBar::switchToTitleAt(int px, int py) {
    int e = entryAt(px, py);
    if (e < 0 || e == openIndex || !entries[e].menu) return false;
    return openMenu(e);
}

bool GuiMenuBar::locateItem(const std::string& label, SDL_Rect& out) {
    if (label.empty()) return false;
    for (const auto& entry : entries) {
        if (entry.menu && entry.menu->name == label) {
            out = SDL_Rect{entry.offset, y, entry.width, height};
            return true;
        }
    }
    return false;
}

void GuiMenuBar::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_MOUSEMOTION) {
        if (openIndex >= 0) switchToTitleAt(s.motion.x, s.motion.y);
    } else if (s.type == SDL_MOUSEBUTTONDOWN) {
        int idx = entryAt(s.button.x, s.button.y);
        if (idx >= 0 && entries[idx].menu) openMenu(idx);
    } else if (s.type == SDL_MOUSEBUTTONUP) {
        diagnostic("MENU UP\n");
        std::fflush(stdout);
    }
}

void GuiMenuBar::draw(SDL_Renderer* r) {
    if (!r) return;
    SDL_Rect box = rect();
    setColor(r, kWhite);
    SDL_RenderFillRect(r, &box);
    setColor(r, kBlack);
    SDL_RenderDrawLine(r, x, y + height - 1, x + width - 1, y + height - 1);
    for (size_t i = 0; i < entries.size(); ++i) {
        const MenuBarEntry& entry = entries[i];
        bool open = static_cast<int>(i) == openIndex;
        if (open) {
            SDL_Rect hl{x + entry.offset, y, entry.width, height};
            setColor(r, kHighlight);
            SDL_RenderFillRect(r, &hl);
            setColor(r, kHighlightEdge);
            SDL_RenderDrawRect(r, &hl);
        }
        drawLabel(r, cacheAt(labelCaches, i), font, entry.title, open ? kWhite : kBlack,
                  x + entry.offset + 12, y, height);
    }
}
