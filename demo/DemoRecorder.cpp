#include "demo/DemoRecorder.h"

#include "controls/Buttons.h"
#include "controls/Containers.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "controls/Menus.h"
#include "core/Window.h"
#include "demo/DemoRunner.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr size_t kNoMark = std::numeric_limits<size_t>::max();

bool isModifierKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_LCTRL:
        case SDLK_RCTRL:
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
        case SDLK_LALT:
        case SDLK_RALT:
        case SDLK_LGUI:
        case SDLK_RGUI:
        case SDLK_MODE:
        case SDLK_CAPSLOCK:
        case SDLK_NUMLOCKCLEAR:
            return true;
        default:
            return false;
    }
}

// A key whose text arrives as text input (space included).
bool isCharacterKey(SDL_Keycode key) {
    return key >= SDLK_SPACE && key != SDLK_DELETE && (key & SDLK_SCANCODE_MASK) == 0;
}

bool contains(const SDL_Rect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

// Every object below obj whose value a script can read: through the containers of the
// catalogue, children before their pages.
void collectNamed(GuiObject* obj, std::vector<GuiObject*>& out) {
    if (!obj) return;
    if (!obj->name.empty()) out.push_back(obj);
    if (auto* window = dynamic_cast<GuiWindow*>(obj)) {
        for (const auto& c : window->childList())
            collectNamed(c.get(), out);
    } else if (auto* panel = dynamic_cast<GuiPanel*>(obj)) {
        for (const auto& c : panel->children())
            collectNamed(c.get(), out);
    } else if (auto* scrolled = dynamic_cast<GuiScrolledPanel*>(obj)) {
        for (const auto& c : scrolled->children())
            collectNamed(c.get(), out);
    } else if (auto* book = dynamic_cast<GuiNotebook*>(obj)) {
        for (const NotebookPage& p : book->pages)
            collectNamed(p.page.get(), out);
    } else if (auto* split = dynamic_cast<GuiSplitterWindow*>(obj)) {
        collectNamed(split->firstPane.get(), out);
        collectNamed(split->secondPane.get(), out);
    }
}

}  // namespace

std::string DemoRecorder::pathFromEnvironment() {
    const char* value = std::getenv("GUI_DEMO_RECORD");
    return value ? value : "";
}

DemoRecorder::DemoRecorder(ZazOvadir* engine, std::string path)
    : engine(engine), path(std::move(path)) {
    if (this->path.empty()) return;
    file.reset(std::fopen(this->path.c_str(), "wb"));
    if (!file) SDL_Log("Demo: Aufnahmedatei %s nicht schreibbar", this->path.c_str());
}

DemoRecorder::~DemoRecorder() {
    // The engine may be gone: what was recorded is written without the final checks.
    engine = nullptr;
    finish();
}

void DemoRecorder::attach() {
    if (!engine) return;
    engine->inputObserver = this;
    attached = true;
    lastActionEnd = engine->ticks();
    writer.comment("Aufgenommen mit GUI_DEMO_RECORD, abzuspielen mit GUI_DEMO_SCRIPT");
    AppWindow* first = engine->mainWindow;
    for (AppWindow* w : engine->windowList)
        baselines[w->windowId] = valuesOf(w);
    if (!first && !engine->windowList.empty()) first = engine->windowList.front();
    if (first) {
        windowId = first->windowId;
        windowTitle = first->title;
        writer.window(windowTitle, false);
    }
}

// ---------------------------------------------------------------------------------------------
// Watching the input

void DemoRecorder::observeInput(const SDL_Event& e, bool injected) {
    if (finished) return;
    routingRealEvent = !injected;
    lastEventWasAction = false;
    // What the script runner plays is not the user's doing.
    if (injected) {
        scriptPlayed = true;
        return;
    }
    const uint32_t now = engine->ticks();
    switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            lastEventWasAction = true;
            markBeforeLastAction = writer.mark();
            if (e.type == SDL_MOUSEBUTTONDOWN)
                onButtonDown(e.button, now);
            else
                onButtonUp(e.button, now);
            break;
        case SDL_MOUSEMOTION:
            onMotion(e.motion, now);
            break;
        case SDL_MOUSEWHEEL:
            lastEventWasAction = true;
            markBeforeLastAction = writer.mark();
            onWheel(e.wheel, now);
            break;
        case SDL_KEYDOWN:
            if (isModifierKey(e.key.keysym.sym)) break;
            lastEventWasAction = true;
            onKeyDown(e.key, now);
            break;
        case SDL_TEXTINPUT:
            onText(e.text, now);
            break;
        default:
            break;
    }
}

void DemoRecorder::observeCommand(const GuiEvent& e) {
    if (routingRealEvent && e.code == CMD_DIALOG_ENDED) dialogEnded = true;
}

void DemoRecorder::onButtonDown(const SDL_MouseButtonEvent& b, uint32_t now) {
    if (b.button < 1 || b.button > 32) return;
    const uint32_t bit = 1u << (b.button - 1);
    flushPendingKey();
    if (press.active) {
        // A second button while one is held: everything from here is written as it happens.
        if (!press.committed) commitPress();
        if (b.windowID != press.windowId) return;
        if (b.x != press.lastX || b.y != press.lastY)
            writer.dragTo(ScriptTarget{"", b.x, b.y}, now - press.lastStep);
        writer.mouseDown(b.button);
        press.heldMask |= bit;
        press.lastStep = now;
        press.lastX = b.x;
        press.lastY = b.y;
        return;
    }
    if (!beginAction(b.windowID, now)) return;
    press = Press{};
    press.active = true;
    press.button = b.button;
    press.heldMask = bit;
    press.windowId = b.windowID;
    press.x = press.lastX = b.x;
    press.y = press.lastY = b.y;
    press.start = press.lastStep = now;
    // Resolved before the press reaches the window: what it opens must not be what it hit.
    press.target = resolveTarget(b.windowID, b.x, b.y, false);
}

void DemoRecorder::commitPress() {
    writer.pointerTo(press.target);
    writer.mouseDown(press.button);
    press.committed = true;
}

void DemoRecorder::onMotion(const SDL_MouseMotionEvent& m, uint32_t now) {
    if (!press.active || m.windowID != press.windowId) return;
    if (!press.committed) {
        if (std::abs(m.x - press.x) <= kClickSlop && std::abs(m.y - press.y) <= kClickSlop) return;
        press.moved = true;
        commitPress();
    }
    if (now - press.lastStep < kDragStepMs) return;
    writer.dragTo(ScriptTarget{"", m.x, m.y}, now - press.lastStep);
    press.lastStep = now;
    press.lastX = m.x;
    press.lastY = m.y;
}

void DemoRecorder::onButtonUp(const SDL_MouseButtonEvent& b, uint32_t now) {
    if (b.button < 1 || b.button > 32) return;
    const uint32_t bit = 1u << (b.button - 1);
    if (!press.active || !(press.heldMask & bit)) return;
    flushPendingKey();
    if (!press.committed) {
        const bool still =
            std::abs(b.x - press.x) <= kClickSlop && std::abs(b.y - press.y) <= kClickSlop;
        if (still && now - press.start < kClickMs) {
            writer.pointerTo(press.target);
            writer.click(press.button);
            press = Press{};
            lastActionEnd = now;
            return;
        }
        commitPress();
    }
    if (b.x != press.lastX || b.y != press.lastY)
        writer.dragTo(resolveTarget(press.windowId, b.x, b.y, false), now - press.lastStep);
    else
        writer.pause(now - press.lastStep);
    writer.mouseUp(b.button);
    press.heldMask &= ~bit;
    press.lastStep = now;
    if (press.heldMask == 0) press = Press{};
    lastActionEnd = now;
}

void DemoRecorder::onWheel(const SDL_MouseWheelEvent& w, uint32_t now) {
    flushPendingKey();
    if (press.active && !press.committed) commitPress();
    const int32_t steps = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -w.y : w.y;
    // A sideways turn has no script command.
    if (steps == 0) return;
    if (!beginAction(w.windowID, now)) return;
    writer.wheel(resolveTarget(w.windowID, w.mouseX, w.mouseY, true), steps);
    lastActionEnd = now;
}

void DemoRecorder::onKeyDown(const SDL_KeyboardEvent& k, uint32_t now) {
    flushPendingKey();
    if (press.active && !press.committed) commitPress();
    const SDL_Keycode key = k.keysym.sym;
    const bool command = (k.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) != 0;
    // Into an editor a character key is its text input, which follows; elsewhere (a menu, a
    // combo box) the key itself acts.
    if (!command && isCharacterKey(key) && engine->activeEditable) {
        pendingKey = PendingKey{true, key, k.keysym.mod, k.windowID, now};
        markBeforeLastAction = kNoMark;
        return;
    }
    markBeforeLastAction = writer.mark();
    if (!beginAction(k.windowID, now)) return;
    writer.key(key, k.keysym.mod);
    lastActionEnd = now;
}

void DemoRecorder::flushPendingKey() {
    if (!pendingKey.active) return;
    pendingKey.active = false;
    if (!beginAction(pendingKey.windowId, pendingKey.time)) return;
    writer.key(pendingKey.key, pendingKey.mods);
    lastActionEnd = pendingKey.time;
}

void DemoRecorder::onText(const SDL_TextInputEvent& t, uint32_t now) {
    // The text is what the pending key typed.
    pendingKey.active = false;
    if (press.active && !press.committed) commitPress();
    const uint32_t id = t.windowID ? t.windowID : engine->activeWindowId;
    if (!writer.typing() || id != windowId) {
        if (!beginAction(t.windowID, now)) return;
    }
    writer.typeText(t.text);
    lastActionEnd = now;
}

// ---------------------------------------------------------------------------------------------
// Windows and pauses

void DemoRecorder::noteClosedWindow() {
    if (!windowId || engine->findWindowById(windowId)) return;
    bool titleStillOpen = false;
    for (AppWindow* w : engine->windowList)
        titleStillOpen = titleStillOpen || w->title == windowTitle;
    // Another window with the same title would keep the wait from ever ending.
    if (!titleStillOpen) writer.windowClosed(windowTitle, dialogEnded);
    windowId = 0;
}

bool DemoRecorder::beginAction(uint32_t id, uint32_t now) {
    if (scriptPlayed) rebaseline();
    noteClosedWindow();
    // An event for no window goes to the active one, as the engine routes it.
    if (!id) id = engine->activeWindowId;
    AppWindow* w = engine->findWindowById(id);
    if (!w) return false;
    const bool opened = !baselines.count(id);
    if (opened) baselines[id] = valuesOf(w);
    if (opened || id != windowId) writer.window(w->title, opened);
    windowId = id;
    windowTitle = w->title;
    dialogEnded = false;
    writer.pause(now - lastActionEnd);
    return true;
}

void DemoRecorder::rebaseline() {
    // What the script changed is not the user's: the checks start from here.
    scriptPlayed = false;
    for (AppWindow* w : engine->windowList)
        baselines[w->windowId] = valuesOf(w);
    writer.comment("Vorher spielte ein Drehbuch; die Aufnahme setzt hier ein");
}

// ---------------------------------------------------------------------------------------------
// Targets

ScriptTarget DemoRecorder::resolveTarget(uint32_t id, int x, int y, bool wheel) const {
    ScriptTarget t{"", x, y};
    AppWindow* w = engine->findWindowById(id);
    GuiWindow* root = w ? w->root.get() : nullptr;
    GuiObject* hit = DemoRunner::objectAt(root, x, y);
    if (!hit) return t;
    if (!wheel) {
        std::string item = itemNameAt(root, hit, x, y);
        if (!item.empty()) return ScriptTarget{item, x, y};
    }
    GuiObject* named = hit;
    while (named && named->name.empty())
        named = named->parent;
    if (!named) return t;
    // A press acts the same anywhere on a button or a combo box; on a list, a slider or a text
    // the place counts, and the runner would go to the centre.
    if (!wheel && !dynamic_cast<GuiButton*>(named) && !dynamic_cast<GuiComboBox*>(named)) return t;
    if (root->findByName(named->name) != named) return t;
    SDL_Rect screen{0, 0, 0, 0};
    SDL_Point centre{0, 0};
    if (!root->visibleRect(named, screen, centre)) return t;
    if (DemoRunner::objectAt(root, centre.x, centre.y) != hit) return t;
    return ScriptTarget{named->name, x, y};
}

std::string DemoRecorder::itemNameAt(GuiWindow* root, GuiObject* hit, int x, int y) const {
    std::string name;
    SDL_Rect r{0, 0, 0, 0};
    if (auto* menu = dynamic_cast<GuiMenu*>(hit)) {
        for (const auto& item : menu->items)
            if (item && !item->name.empty() && menu->locateItem(item->name, r) &&
                contains(r, x, y)) {
                name = item->name;
                break;
            }
    } else if (auto* bar = dynamic_cast<GuiMenuBar*>(hit)) {
        const int e = bar->entryAt(x, y);
        if (e >= 0 && bar->entries[e].menu) name = bar->entries[e].menu->name;
    } else if (auto* book = dynamic_cast<GuiNotebook*>(hit)) {
        for (const NotebookPage& p : book->pages)
            if (!p.name.empty() && book->locateItem(p.name, r) && contains(r, x, y)) name = p.name;
    }
    if (name.empty()) return {};
    // The runner takes a control of that name first, then the first item, at its centre.
    if (root->findByName(name)) return {};
    GuiObject* owner = nullptr;
    SDL_Rect item{0, 0, 0, 0};
    if (!root->findItem(name, owner, item) || owner != hit || !contains(item, x, y)) return {};
    SDL_Rect screen{0, 0, 0, 0};
    SDL_Point ownerCentre{0, 0};
    if (!root->visibleRect(owner, screen, ownerCentre)) return {};
    int wx = 0, wy = 0;
    if (root->appWindow && root->appWindow->sdlWindow)
        SDL_GetWindowPosition(root->appWindow->sdlWindow.get(), &wx, &wy);
    SDL_Rect ownerRect{screen.x - wx, screen.y - wy, screen.w, screen.h};
    SDL_Rect visible{0, 0, 0, 0};
    if (!SDL_IntersectRect(&item, &ownerRect, &visible)) return {};
    const int cx = visible.x + visible.w / 2, cy = visible.y + visible.h / 2;
    GuiObject* atCentre = DemoRunner::objectAt(root, cx, cy);
    return atCentre && isDescendantOf(atCentre, owner) ? name : std::string();
}

// ---------------------------------------------------------------------------------------------
// Values and the end

DemoRecorder::Values DemoRecorder::valuesOf(AppWindow* w) const {
    Values values;
    GuiWindow* root = w ? w->root.get() : nullptr;
    if (!root) return values;
    std::vector<GuiObject*> named;
    collectNamed(root, named);
    for (GuiObject* obj : named) {
        // A name the runner finds elsewhere first cannot be checked through it.
        if (excluded.count(obj) || root->findByName(obj->name) != obj) continue;
        std::string value;
        if (obj->getValue(value)) values.emplace(obj->name, std::move(value));
    }
    return values;
}

void DemoRecorder::writeFinalChecks() {
    if (scriptPlayed) rebaseline();
    noteClosedWindow();
    for (AppWindow* w : engine->windowList) {
        auto base = baselines.find(w->windowId);
        if (base == baselines.end()) continue;
        for (const auto& [name, value] : valuesOf(w)) {
            auto before = base->second.find(name);
            if (before != base->second.end() && before->second == value) continue;
            writer.window(w->title, false);
            if (value.find('\n') != std::string::npos)
                writer.comment("Wert von " + name + " ist mehrzeilig und wird nicht geprüft");
            else
                writer.expect(name, value);
        }
    }
}

bool DemoRecorder::finish() {
    if (finished) return true;
    finished = true;
    if (engine && engine->inputObserver == this) engine->inputObserver = nullptr;
    const bool quitByAction = engine && engine->quitRequested && lastEventWasAction;
    if (quitByAction) {
        // The action that ended the program is left out: the replay must get to its checks.
        pendingKey.active = false;
        if (press.active && !press.committed) press = Press{};
        if (markBeforeLastAction != kNoMark) writer.truncate(markBeforeLastAction);
        writer.comment("Die letzte Aktion beendete das Programm und wird nicht abgespielt");
    }
    if (engine) {
        flushPendingKey();
        if (press.active && !press.committed) commitPress();
        if (attached) writeFinalChecks();
    } else {
        // Without the engine no window can be asked: the key goes in as it was pressed.
        if (pendingKey.active) writer.key(pendingKey.key, pendingKey.mods);
        if (press.active && !press.committed) commitPress();
    }
    text = writer.finish();
    if (!file) return path.empty();
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
                         std::fflush(file.get()) == 0;
    file.reset();
    if (!written) SDL_Log("Demo: Aufnahmedatei %s nicht schreibbar", path.c_str());
    return written;
}
