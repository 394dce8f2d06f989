// Writes recorded user actions as lines of the demo's script language: tokens quoted so that
// the parser reads them back, typed text in pieces that fit SDL's text-input buffer, key specs
// with their modifiers, wheel notches merged, pauses rounded and capped.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

// Where a pointer action happens: a named control or item, otherwise window coordinates.
struct ScriptTarget {
    std::string name;
    int32_t x = 0;
    int32_t y = 0;

    bool operator==(const ScriptTarget& o) const {
        return name == o.name && (!name.empty() || (x == o.x && y == o.y));
    }
};

class ScriptWriter {
public:
    static constexpr size_t kMaxTypeBytes = 31;
    static constexpr int32_t kMaxWaitTenths = 20;
    // Time-out of the waits for windows and commands the recording writes.
    static constexpr const char* kTimeout = "5";
    // The runner's pointer speed for motions without seconds, in pixels per second.
    static constexpr double kMotionSpeed = 500;

    // A token the tokenizer reads back as text: bare when it can be, otherwise in double
    // quotes with \" and \\ escaped. Line feeds cannot be written (callers leave them out).
    static std::string token(const std::string& text);
    static std::string quoted(const std::string& text);
    // Pieces of at most maxBytes, never cutting a UTF-8 sequence.
    static std::vector<std::string> splitText(const std::string& text,
                                              size_t maxBytes = kMaxTypeBytes);
    // "ctrl+shift+Left", "F3", "a"; empty when the key cannot be written so that it reads back.
    static std::string keySpec(SDL_Keycode key, uint16_t mods);
    // A pause in tenths of a second, rounded to the nearest and capped at two seconds.
    static int32_t waitTenths(uint32_t ms);
    static std::string seconds(int32_t tenths);

    // Selects the window of the next actions; opened: a window that appeared since the last
    // action, waited for first.
    void window(const std::string& title, bool opened);
    // The window of the last actions has closed (after a dialog ended, if dialogEnded).
    void windowClosed(const std::string& title, bool dialogEnded);
    // The pause before the next action; a wheel notch merged into the previous one drops it.
    void pause(uint32_t ms);
    // Moves the pointer unless it is already there. The runner's motion takes time of its own
    // (distance over kMotionSpeed, 0.5 to 2 s), which the pause before it already held: the
    // written wait is the pause less that time, so that a replay keeps the user's pace.
    void pointerTo(const ScriptTarget& target);
    // A pointer motion with a button held, taking ms.
    void dragTo(const ScriptTarget& target, uint32_t ms);
    void click(uint8_t button);
    void mouseDown(uint8_t button);
    void mouseUp(uint8_t button);
    void wheel(const ScriptTarget& target, int32_t steps);
    void typeText(const std::string& text);
    bool typing() const { return !pendingText.empty(); }
    // False (and a comment line instead) when the key cannot be written.
    bool key(SDL_Keycode key, uint16_t mods);
    void comment(const std::string& text);
    void expect(const std::string& name, const std::string& value);
    // Undoes everything written since mark (a line count).
    size_t mark();
    void truncate(size_t lineCount);
    // The finished script: every line, then "finish".
    std::string finish();

    const std::vector<std::string>& lines() const { return out; }
    const std::string& currentWindow() const { return windowTitle; }

private:
    void beginLine();
    void add(std::string line);
    void flushText();
    static std::string buttonSuffix(uint8_t button);

    std::vector<std::string> out;
    std::string pendingText;
    uint32_t pendingPauseMs = 0;
    std::string windowTitle;
    bool pointerKnown = false;
    ScriptTarget pointer;
    // The last line when it is a wheel turn that a further notch may extend.
    bool wheelOpen = false;
    ScriptTarget wheelTarget;
    int32_t wheelSteps = 0;
};
