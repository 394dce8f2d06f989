#include "demo/DemoRunner.h"

#include "core/Window.h"
#include "util/IntClamp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string envOrEmpty(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

double seconds(const std::string& token) {
    double s = 0;
    DemoScript::parseSeconds(token, s);
    return s;
}

int32_t integer(const std::string& token) {
    int32_t n = 0;
    DemoScript::parseInteger(token, n);
    return n;
}

uint8_t buttonOf(const ScriptCommand& c) {
    uint8_t b = SDL_BUTTON_LEFT;
    if (!c.args.empty()) DemoScript::parseButton(c.args[0], b);
    return b;
}

}  // namespace

DemoRunnerSettings DemoRunnerSettings::fromEnvironment() {
    DemoRunnerSettings s;
    s.traceEnabled = std::getenv("GUI_DEMO_TRACE") != nullptr;
    s.scenesPath = envOrEmpty("GUI_DEMO_SCENES");
    s.startGatePath = envOrEmpty("GUI_DEMO_START_GATE");
    s.windowIdFilePath = envOrEmpty("GUI_DEMO_WINDOW_ID_FILE");
    s.exitOnEnd = std::getenv("GUI_DEMO_EXIT_ON_END") != nullptr;
    return s;
}

DemoRunner::DemoRunner(ZazOvadir* engine)
    : DemoRunner(engine, DemoRunnerSettings::fromEnvironment()) {}

DemoRunner::DemoRunner(ZazOvadir* engine, DemoRunnerSettings settings)
    : engine(engine),
      traceEnabled(settings.traceEnabled),
      scenesPath(std::move(settings.scenesPath)),
      startGatePath(std::move(settings.startGatePath)),
      windowIdFilePath(std::move(settings.windowIdFilePath)),
      exitOnEnd(settings.exitOnEnd) {
    trackForTeardown(true);
}

DemoRunner::~DemoRunner() {
    bool engineAlive = engine && ZazOvadir::current() == engine;
    if (engineAlive && engine->scriptRunner == this) engine->scriptRunner = nullptr;
    trackForTeardown(false);
    if (engineAlive) dropCaptionTexture();
    // A font outliving SDL_ttf cannot be closed any more.
    if (!TTF_WasInit()) (void)captionFont.release();
}

void DemoRunner::attach() {
    if (engine) engine->scriptRunner = this;
}

// ---------------------------------------------------------------------------------------------
// Loading

bool DemoRunner::loadScript(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        char buffer[4096];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
            text.append(buffer, static_cast<size_t>(in.gcount()));
    }
    // A directory opens but cannot be read: that is not an empty script.
    if (!in.is_open() || in.bad()) {
        commands.clear();
        error = "Drehbuch nicht lesbar: " + path;
        return false;
    }
    return parseScript(text);
}

bool DemoRunner::parseScript(const std::string& text) {
    commands.clear();
    error.clear();
    pc = 0;
    commandStarted = false;
    int32_t number = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++number;
        std::string message;
        if (!DemoScript::parseLine(text.substr(start, end - start), number, commands, message)) {
            error = "Zeile " + std::to_string(number) + ": " + message;
            commands.clear();
            return false;
        }
        start = end + 1;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The frame tick

void DemoRunner::tick(uint32_t now) {
    if (!engine) return;  // detached by the engine's shutdown
    if (state == Idle && !startWhenReady(now)) return;
    if (state != Running) return;
    advanceClock(now);
    runCommands();
}

bool DemoRunner::startWhenReady(uint32_t now) {
    reportWindowId();
    if (!startGateOpen()) return false;
    startRun(now);
    return true;
}

void DemoRunner::startRun(uint32_t now) {
    state = Running;
    startTicks = lastTicks = now;
    frameCount = 0;
    pc = 0;
    commandStarted = false;
    if (!scenesPath.empty()) std::ofstream(scenesPath, std::ios::trunc);
    AppWindow* w =
        engine->mainWindow ? engine->mainWindow : engine->findWindowById(engine->activeWindowId);
    if (w) {
        windowId = w->windowId;
        int x = 0, y = 0, ww = 0, wh = 0;
        windowPosition(w, x, y);
        SDL_GetWindowSize(w->sdlWindow.get(), &ww, &wh);
        pointerX = static_cast<float>(x) + static_cast<float>(ww) / 2.0f;
        pointerY = static_cast<float>(y) + static_cast<float>(wh) / 2.0f;
    }
    SDL_ShowCursor(SDL_DISABLE);
}

void DemoRunner::advanceClock(uint32_t now) {
    syncWindow();
    double dt = std::min(static_cast<double>(now - lastTicks) / 1000.0, kMaxStepSeconds);
    lastTicks = now;
    ++frameCount;
    clickFlash = std::max(clickFlash - dt, 0.0);
    if (commandStarted) elapsed += dt;
}

void DemoRunner::runCommands() {
    for (;;) {
        if (!commandStarted) {
            // Events of the previous command reach the windows before the next one starts.
            if (!engine->injectedEvents.empty()) return;
            if (pc >= commands.size()) {
                finish(Finished);
                return;
            }
            commandStarted = true;
            elapsed = 0;
            duration = 0;
            startCommand(commands[pc]);
            if (state != Running) return;
            if (!commandStarted) continue;
        }
        bool done = evaluateCommand(commands[pc]);
        if (state != Running || !done) return;
        advance();
    }
}

void DemoRunner::advance() {
    ++pc;
    commandStarted = false;
}

int32_t DemoRunner::currentLine() const {
    return pc < commands.size() ? commands[pc].line : 0;
}

// ---------------------------------------------------------------------------------------------
// Starting and evaluating commands

void DemoRunner::startCommand(const ScriptCommand& c) {
    if (traceEnabled) traceCommand(c);
    const auto& a = c.args;
    switch (c.code) {
        case SCRIPT_SCENE:
            startScene(a[0]);
            advance();
            return;
        case SCRIPT_WAIT:
            duration = seconds(a[0]);
            return;
        case SCRIPT_WINDOW:
            selectWindow(a[0]);
            return;
        case SCRIPT_MOVE:
        case SCRIPT_MOVE_TO:
            startMotion(c);
            return;
        case SCRIPT_MOUSE_SPEED:
            mouseSpeed = seconds(a[0]);
            advance();
            return;
        case SCRIPT_CLICK:
            seenCommands.clear();
            pressButton(buttonOf(c), true);
            duration = kClickHoldSeconds;
            return;
        case SCRIPT_MOUSE_DOWN:
            seenCommands.clear();
            pressButton(buttonOf(c), true);
            advance();
            return;
        case SCRIPT_MOUSE_UP:
            pressButton(buttonOf(c), false);
            advance();
            return;
        case SCRIPT_WHEEL:
            if (!currentWindow()) return fail("kein Fenster ausgewählt");
            queueWheel(integer(a[0]));
            seenCommands.clear();
            advance();
            return;
        case SCRIPT_KEY:
            seenCommands.clear();
            sendKey(a[0]);
            advance();
            return;
        case SCRIPT_TYPE:
            queueText(a[0]);
            seenCommands.clear();
            advance();
            return;
        case SCRIPT_WAIT_WINDOW:
        case SCRIPT_WAIT_WINDOW_CLOSED:
        case SCRIPT_WAIT_COMMAND:
        case SCRIPT_WAIT_VALUE:
            duration = seconds(a.back());
            return;
        case SCRIPT_SET:
            setControl(c);
            return;
        case SCRIPT_EXPECT:
            expectControl(c);
            return;
        case SCRIPT_FINISH:
            finish(Finished);
            if (engine) engine->quitRequested = true;
            return;
        default:
            advance();
            return;
    }
}

bool DemoRunner::evaluateCommand(const ScriptCommand& c) {
    double p = duration > 0 ? elapsed / duration : 1.0;
    switch (c.code) {
        case SCRIPT_WAIT:
            return p >= 1;
        case SCRIPT_MOVE:
        case SCRIPT_MOVE_TO: {
            double e = p < 1 ? p * p * (3 - 2 * p) : 1.0;
            movePointer(motionFromX + static_cast<float>((motionToX - motionFromX) * e),
                        motionFromY + static_cast<float>((motionToY - motionFromY) * e));
            return p >= 1;
        }
        case SCRIPT_CLICK:
            if (p < 1) return false;
            pressButton(buttonOf(c), false);
            return true;
        case SCRIPT_WAIT_WINDOW:
            return evaluateWaitWindow(c, false, p);
        case SCRIPT_WAIT_WINDOW_CLOSED:
            return evaluateWaitWindow(c, true, p);
        case SCRIPT_WAIT_COMMAND:
            return evaluateWaitCommand(c, p);
        case SCRIPT_WAIT_VALUE:
            return evaluateWaitValue(c, p);
        default:
            return true;
    }
}

void DemoRunner::selectWindow(const std::string& title) {
    AppWindow* w = findWindowByTitle(title);
    if (!w) return fail("Fenster " + quoted(title) + " nicht gefunden");
    windowId = w->windowId;
    syncWindow();
    advance();
}

void DemoRunner::startMotion(const ScriptCommand& c) {
    AppWindow* w = currentWindow();
    if (!w) return fail("kein Fenster ausgewählt");
    syncWindow();
    int wx = 0, wy = 0;
    windowPosition(w, wx, wy);
    float tx = 0, ty = 0;
    size_t timeArg = 0;
    if (c.code == SCRIPT_MOVE) {
        tx = static_cast<float>(wx) + static_cast<float>(integer(c.args[0]));
        ty = static_cast<float>(wy) + static_cast<float>(integer(c.args[1]));
        timeArg = 2;
    } else {
        SDL_Point centre{0, 0};
        if (!locateTarget(c.args[0], centre)) return;
        tx = static_cast<float>(wx + centre.x);
        ty = static_cast<float>(wy + centre.y);
        timeArg = 1;
    }
    motionFromX = pointerX;
    motionFromY = pointerY;
    motionToX = tx;
    motionToY = ty;
    if (c.args.size() > timeArg) {
        duration = seconds(c.args[timeArg]);
    } else {
        double distance =
            std::hypot(static_cast<double>(tx) - pointerX, static_cast<double>(ty) - pointerY);
        duration = DemoScript::motionSeconds(distance, mouseSpeed);
    }
}

bool DemoRunner::evaluateWaitWindow(const ScriptCommand& c, bool closed, double p) {
    bool found = findWindowByTitle(c.args[0]) != nullptr;
    if (found != closed) return true;
    if (p >= 1)
        fail(std::string("Zeitüberschreitung bei ") + (closed ? "Schließen" : "Öffnen") +
             " von Fenster " + quoted(c.args[0]));
    return false;
}

bool DemoRunner::evaluateWaitCommand(const ScriptCommand& c, double p) {
    uint32_t code = 0;
    DemoScript::parseCommandKind(c.args[0], code);
    bool byName = c.args.size() == 3;
    for (const auto& [seenCode, seenName] : seenCommands)
        if (seenCode == code && (!byName || seenName == c.args[1])) return true;
    if (p >= 1) fail("Zeitüberschreitung beim Warten auf Kommando " + c.args[0]);
    return false;
}

bool DemoRunner::evaluateWaitValue(const ScriptCommand& c, double p) {
    std::string actual;
    if (!readControlValue(c.args[0], actual)) return false;
    if (actual == c.args[1]) return true;
    if (p >= 1)
        fail("Zeitüberschreitung: " + quoted(c.args[0]) + " hat " + quoted(actual) + " statt " +
             quoted(c.args[1]));
    return false;
}

void DemoRunner::setControl(const ScriptCommand& c) {
    std::string current;
    if (!readControlValue(c.args[0], current)) return;
    std::string property;
    GuiObject* obj = findControl(c.args[0], property);
    if (!obj) return;
    seenCommands.clear();
    bool ok = property.empty() ? obj->setValue(c.args[1]) : obj->setProperty(property, c.args[1]);
    if (!ok)
        return fail("ungültiger Wert " + quoted(c.args[1]) + " für Control " + quoted(c.args[0]));
    advance();
}

void DemoRunner::expectControl(const ScriptCommand& c) {
    std::string actual;
    if (!readControlValue(c.args[0], actual)) return;
    if (actual != c.args[1])
        return fail(quoted(c.args[0]) + " hat " + quoted(actual) + " statt " + quoted(c.args[1]));
    advance();
}

// ---------------------------------------------------------------------------------------------
// Ending a run

void DemoRunner::fail(const std::string& message) {
    error = "Zeile " + std::to_string(currentLine()) + ": " + message;
    SDL_Log("Demo-Fehler in %s", error.c_str());
    finish(Failed);
}

void DemoRunner::finish(State endState) {
    releaseHeldButtons();
    state = endState;
    closeCaption();
    SDL_ShowCursor(SDL_ENABLE);
    // A frame takes the pointer away.
    if (engine) engine->scheduleRedraw();
    if (exitOnEnd && engine) engine->quitRequested = true;
}

void DemoRunner::engineShutdown() {
    // The windows are gone: nothing is left to release buttons into.
    if (state == Running) finish(Interrupted);
    closeCaption();
    if (engine && engine->scriptRunner == this) engine->scriptRunner = nullptr;
    engine = nullptr;
}

bool DemoRunner::filterInput(const SDL_Event& e) {
    if (state != Running) return true;
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_MOUSEBUTTONDOWN:
            SDL_Log("Demo durch Benutzereingabe unterbrochen");
            finish(Interrupted);
            return true;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONUP:
        case SDL_MOUSEWHEEL:
            return false;
        default:
            return true;
    }
}

void DemoRunner::observeCommand(const GuiEvent& e) {
    if (state != Running) return;
    std::string name;
    if (auto* names = dynamic_cast<const IItemNames*>(e.source))
        name = names->itemNameForId(e.id);
    else if (e.source)
        name = e.source->name;
    seenCommands.emplace_back(e.code, std::move(name));
}

// ---------------------------------------------------------------------------------------------
// Windows, pointer and injected events

AppWindow* DemoRunner::currentWindow() const {
    return (engine && windowId) ? engine->findWindowById(windowId) : nullptr;
}

AppWindow* DemoRunner::findWindowByTitle(const std::string& title) const {
    if (!engine) return nullptr;
    for (AppWindow* w : engine->windowList)
        if (w->title == title) return w;
    return nullptr;
}

void DemoRunner::windowPosition(AppWindow* w, int& x, int& y) const {
    x = y = 0;
    if (w && w->sdlWindow) SDL_GetWindowPosition(w->sdlWindow.get(), &x, &y);
}

namespace {

SDL_Point toWindow(float px, float py, int wx, int wy) {
    return SDL_Point{clampToInt(std::lround(px) - wx), clampToInt(std::lround(py) - wy)};
}

}  // namespace

void DemoRunner::syncWindow() {
    AppWindow* w = currentWindow();
    if (!w) {
        trackedWindowId = 0;
        return;
    }
    int x = 0, y = 0;
    windowPosition(w, x, y);
    if (trackedWindowId == w->windowId && (x != trackedWindowX || y != trackedWindowY)) {
        // The pointer and the motion in progress stay where they were inside the window.
        float dx = static_cast<float>(x - trackedWindowX);
        float dy = static_cast<float>(y - trackedWindowY);
        pointerX += dx, pointerY += dy;
        motionFromX += dx, motionFromY += dy;
        motionToX += dx, motionToY += dy;
    }
    trackedWindowId = w->windowId;
    trackedWindowX = x;
    trackedWindowY = y;
}

void DemoRunner::movePointer(float x, float y) {
    AppWindow* w = currentWindow();
    int wx = 0, wy = 0;
    windowPosition(w, wx, wy);
    SDL_Point before = toWindow(pointerX, pointerY, wx, wy);
    pointerX = x;
    pointerY = y;
    if (!w) return;
    SDL_Point after = toWindow(x, y, wx, wy);
    if (after.x == before.x && after.y == before.y) return;
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.timestamp = SDL_GetTicks();
    e.motion.windowID = windowId;
    e.motion.which = 0;
    e.motion.state = heldButtons;
    e.motion.x = after.x;
    e.motion.y = after.y;
    e.motion.xrel = clampToInt(static_cast<long>(after.x) - before.x);
    e.motion.yrel = clampToInt(static_cast<long>(after.y) - before.y);
    engine->injectedEvents.push_back(e);
}

void DemoRunner::pressButton(uint8_t button, bool down) {
    AppWindow* w = currentWindow();
    if (!w || button < 1 || button > 32) return;
    int wx = 0, wy = 0;
    windowPosition(w, wx, wy);
    SDL_Point p = toWindow(pointerX, pointerY, wx, wy);
    if (p.x < 0 || p.y < 0 || p.x >= w->width || p.y >= w->height) return;
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.timestamp = SDL_GetTicks();
    e.button.windowID = windowId;
    e.button.which = 0;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = p.x;
    e.button.y = p.y;
    engine->injectedEvents.push_back(e);
    uint32_t bit = 1u << (button - 1);
    if (down) {
        heldButtons |= bit;
        clickFlash = kClickFlashSeconds;
    } else {
        heldButtons &= ~bit;
    }
}

void DemoRunner::releaseHeldButtons() {
    for (uint8_t b : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT})
        if (heldButtons & (1u << (b - 1))) pressButton(b, false);
    heldButtons = 0;
}

void DemoRunner::sendKey(const std::string& spec) {
    SDL_Keycode key = SDLK_UNKNOWN;
    uint16_t mods = 0;
    if (!DemoScript::parseKeySpec(spec, key, mods)) return;
    for (uint32_t type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.timestamp = SDL_GetTicks();
        e.key.windowID = windowId;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = 0;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        e.key.keysym.mod = mods;
        engine->injectedEvents.push_back(e);
    }
}

void DemoRunner::queueWheel(int32_t steps) {
    AppWindow* w = currentWindow();
    int wx = 0, wy = 0;
    windowPosition(w, wx, wy);
    SDL_Point p = toWindow(pointerX, pointerY, wx, wy);
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.timestamp = SDL_GetTicks();
    e.wheel.windowID = windowId;
    e.wheel.which = 0;
    e.wheel.x = 0;
    e.wheel.y = steps;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    e.wheel.preciseX = 0;
    e.wheel.preciseY = 0;
    e.wheel.mouseX = p.x;
    e.wheel.mouseY = p.y;
    engine->injectedEvents.push_back(e);
}

void DemoRunner::queueText(const std::string& text) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.timestamp = SDL_GetTicks();
    e.text.windowID = windowId;
    size_t n = std::min(text.size(), sizeof(e.text.text) - 1);
    std::memcpy(e.text.text, text.data(), n);
    e.text.text[n] = '\0';
    engine->injectedEvents.push_back(e);
}

// ---------------------------------------------------------------------------------------------
// Controls

GuiObject* DemoRunner::findControl(const std::string& name, std::string& property) {
    property.clear();
    AppWindow* w = currentWindow();
    GuiWindow* root = w ? w->root.get() : nullptr;
    if (root) {
        if (GuiObject* obj = root->findByName(name)) return obj;
        size_t dot = name.find('.');
        if (dot != std::string::npos) {
            if (GuiObject* obj = root->findByName(name.substr(0, dot))) {
                property = name.substr(dot + 1);
                return obj;
            }
        }
    }
    fail("Control " + quoted(name) + " nicht gefunden");
    return nullptr;
}

bool DemoRunner::readControlValue(const std::string& name, std::string& out) {
    std::string property;
    GuiObject* obj = findControl(name, property);
    if (!obj) return false;
    bool ok = property.empty() ? obj->getValue(out) : obj->getProperty(property, out);
    if (!ok) fail("Control " + quoted(name) + " hat keinen Wert");
    return ok;
}

GuiObject* DemoRunner::objectAt(GuiWindow* root, int px, int py) {
    if (!root) return nullptr;
    if (GuiObject* popup = root->popupAt(px, py)) {
        GuiObject* hit = popup->hitTest(px, py);
        return hit ? hit : popup;
    }
    if (!root->contains(px, py)) return nullptr;
    return root->hitTest(px, py);
}

bool DemoRunner::locateTarget(const std::string& name, SDL_Point& centre) {
    AppWindow* w = currentWindow();
    GuiWindow* root = w ? w->root.get() : nullptr;
    if (root) {
        SDL_Rect screen{0, 0, 0, 0};
        if (GuiObject* obj = root->findByName(name)) {
            if (root->visibleRect(obj, screen, centre)) return true;
            fail("Control " + quoted(name) + " nicht erreichbar" +
                 describeUnreachable(w, obj->rect()));
            return false;
        }
        GuiObject* owner = nullptr;
        SDL_Rect item{0, 0, 0, 0};
        if (root->findItem(name, owner, item) && owner) {
            // The item's part of its owner's visible area, hit-tested at its centre.
            SDL_Point ownerCentre{0, 0};
            SDL_Rect visible{0, 0, 0, 0};
            bool reachable = false;
            if (root->visibleRect(owner, screen, ownerCentre)) {
                int wx = 0, wy = 0;
                windowPosition(w, wx, wy);
                SDL_Rect ownerRect{screen.x - wx, screen.y - wy, screen.w, screen.h};
                if (SDL_IntersectRect(&item, &ownerRect, &visible)) {
                    SDL_Point c{visible.x + visible.w / 2, visible.y + visible.h / 2};
                    GuiObject* hit = objectAt(root, c.x, c.y);
                    reachable = hit && isDescendantOf(hit, owner);
                    if (reachable) centre = c;
                }
            }
            if (reachable) return true;
            fail("Control " + quoted(name) + " nicht erreichbar" + describeUnreachable(w, item));
            return false;
        }
    }
    fail("Control " + quoted(name) + " nicht gefunden");
    return false;
}
