#include "demo/ScriptWriter.h"

#include "demo/DemoScript.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The modifiers a key spec can carry, as the parser gives them back.
uint16_t writableMods(uint16_t mods) {
    uint16_t m = 0;
    if (mods & KMOD_CTRL) m |= KMOD_LCTRL;
    if (mods & KMOD_SHIFT) m |= KMOD_LSHIFT;
    if (mods & KMOD_ALT) m |= KMOD_LALT;
    return m;
}

std::string targetLine(const char* command, const ScriptTarget& t) {
    if (!t.name.empty()) return std::string(command) + "_to " + ScriptWriter::token(t.name);
    return std::string(command) + " " + std::to_string(t.x) + " " + std::to_string(t.y);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Pieces of a line

std::string ScriptWriter::token(const std::string& text) {
    bool bare =
        !text.empty() && text[0] != '"' && text.find_first_of(" \t\r\n") == std::string::npos;
    return bare ? text : quoted(text);
}

std::string ScriptWriter::quoted(const std::string& text) {
    std::string q = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + "\"";
}

std::vector<std::string> ScriptWriter::splitText(const std::string& text, size_t maxBytes) {
    std::vector<std::string> pieces;
    if (maxBytes == 0) return pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(start + maxBytes, text.size());
        size_t cut = end;
        // Back to the lead byte of a sequence the limit would cut; broken text is cut anywhere.
        while (cut < text.size() && cut > start && isContinuationByte(text[cut]))
            --cut;
        if (cut == start) cut = end;
        pieces.push_back(text.substr(start, cut - start));
        start = cut;
    }
    return pieces;
}

std::string ScriptWriter::keySpec(SDL_Keycode key, uint16_t mods) {
    const char* keyName = SDL_GetKeyName(key);
    std::string name = keyName ? keyName : "";
    if (name.empty()) return {};
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0])))
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    std::string spec;
    if (mods & KMOD_CTRL) spec += "ctrl+";
    if (mods & KMOD_SHIFT) spec += "shift+";
    if (mods & KMOD_ALT) spec += "alt+";
    spec += name;
    // Only what reads back as the same key and modifiers is written.
    SDL_Keycode parsedKey = SDLK_UNKNOWN;
    uint16_t parsedMods = 0;
    if (!DemoScript::parseKeySpec(spec, parsedKey, parsedMods)) return {};
    if (parsedKey != key || parsedMods != writableMods(mods)) return {};
    return spec;
}

int32_t ScriptWriter::waitTenths(uint32_t ms) {
    uint32_t tenths = ms / 100 + (ms % 100 >= 50 ? 1 : 0);
    return static_cast<int32_t>(std::min<uint32_t>(tenths, kMaxWaitTenths));
}

std::string ScriptWriter::seconds(int32_t tenths) {
    std::string s = std::to_string(tenths / 10);
    if (tenths % 10) s += "." + std::to_string(tenths % 10);
    return s;
}

std::string ScriptWriter::buttonSuffix(uint8_t button) {
    if (button == SDL_BUTTON_RIGHT) return " right";
    if (button == SDL_BUTTON_MIDDLE) return " middle";
    return "";
}

// ---------------------------------------------------------------------------------------------
// Actions

void ScriptWriter::add(std::string line) {
    out.push_back(std::move(line));
    wheelOpen = false;
}

void ScriptWriter::flushText() {
    if (pendingText.empty()) return;
    for (const std::string& piece : splitText(pendingText))
        out.push_back("type " + quoted(piece));
    pendingText.clear();
    wheelOpen = false;
}

void ScriptWriter::beginLine() {
    flushText();
    const int32_t tenths = waitTenths(pendingPauseMs);
    if (tenths > 0) add("wait " + seconds(tenths));
    pendingPauseMs = 0;
}

void ScriptWriter::window(const std::string& title, bool opened) {
    flushText();
    if (opened) add("wait_window " + token(title) + " " + kTimeout);
    if (opened || title != windowTitle) {
        add("window " + token(title));
        pointerKnown = false;
    }
    windowTitle = title;
}

void ScriptWriter::windowClosed(const std::string& title, bool dialogEnded) {
    flushText();
    if (dialogEnded) add(std::string("wait_command modal_closed ") + kTimeout);
    add("wait_window_closed " + token(title) + " " + kTimeout);
    windowTitle.clear();
    pointerKnown = false;
}

void ScriptWriter::pause(uint32_t ms) {
    flushText();
    pendingPauseMs = ms;
}

void ScriptWriter::pointerTo(const ScriptTarget& target) {
    if (pointerKnown && pointer == target) return;
    if (pointerKnown) {
        const double distance = std::hypot(static_cast<double>(target.x) - pointer.x,
                                           static_cast<double>(target.y) - pointer.y);
        const auto motionMs =
            static_cast<uint32_t>(DemoScript::motionSeconds(distance, kMotionSpeed) * 1000);
        pendingPauseMs = pendingPauseMs > motionMs ? pendingPauseMs - motionMs : 0;
    }
    beginLine();
    add(targetLine("move", target));
    pointer = target;
    pointerKnown = true;
}

void ScriptWriter::dragTo(const ScriptTarget& target, uint32_t ms) {
    beginLine();
    add(targetLine("move", target) + " " + seconds(std::max(1, waitTenths(ms))));
    pointer = target;
    pointerKnown = true;
}

void ScriptWriter::click(uint8_t button) {
    beginLine();
    add("click" + buttonSuffix(button));
}

void ScriptWriter::mouseDown(uint8_t button) {
    beginLine();
    add("mouse_down" + buttonSuffix(button));
}

void ScriptWriter::mouseUp(uint8_t button) {
    beginLine();
    add("mouse_up" + buttonSuffix(button));
}

void ScriptWriter::wheel(const ScriptTarget& target, int32_t steps) {
    if (steps == 0) return;
    // A turn back is its own line: at the end of a list the two directions do not cancel.
    const int64_t merged = static_cast<int64_t>(wheelSteps) + steps;
    if (wheelOpen && pendingText.empty() && wheelTarget == target &&
        (steps > 0) == (wheelSteps > 0) && merged >= INT32_MIN && merged <= INT32_MAX) {
        wheelSteps = static_cast<int32_t>(merged);
        out.back() = "wheel " + std::to_string(wheelSteps);
        pendingPauseMs = 0;
        return;
    }
    pointerTo(target);
    beginLine();
    add("wheel " + std::to_string(steps));
    wheelOpen = true;
    wheelTarget = target;
    wheelSteps = steps;
}

void ScriptWriter::typeText(const std::string& text) {
    if (pendingText.empty()) beginLine();
    // A line feed would end the script line; SDL's text input does not send one.
    for (char c : text)
        if (c != '\n' && c != '\0') pendingText += c;
    wheelOpen = false;
}

bool ScriptWriter::key(SDL_Keycode key, uint16_t mods) {
    beginLine();
    const std::string spec = keySpec(key, mods);
    if (spec.empty()) {
        add("# Taste " + std::to_string(key) + " ist nicht als Zeile darstellbar");
        return false;
    }
    add("key " + token(spec));
    return true;
}

void ScriptWriter::comment(const std::string& text) {
    flushText();
    add("# " + text);
}

void ScriptWriter::expect(const std::string& name, const std::string& value) {
    beginLine();
    add("expect " + token(name) + " " + token(value));
}

size_t ScriptWriter::mark() {
    flushText();
    return out.size();
}

void ScriptWriter::truncate(size_t lineCount) {
    pendingText.clear();
    pendingPauseMs = 0;
    if (lineCount < out.size()) out.resize(lineCount);
    wheelOpen = false;
    pointerKnown = false;
}

std::string ScriptWriter::finish() {
    flushText();
    pendingPauseMs = 0;
    add("finish");
    std::string text;
    for (const std::string& line : out)
        text += line + "\n";
    return text;
}
