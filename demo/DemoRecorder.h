// Records what the user does in the demo as a script ("GUI_DEMO_RECORD=FILE"): it watches the
// real input the main loop takes, before it is routed, and writes the script when the demo
// ends, with a check of every named control whose value the user changed.
#pragma once

#include "core/Engine.h"
#include "demo/ScriptWriter.h"

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class GuiObject;
class GuiWindow;

class DemoRecorder : public IInputObserver {
public:
    // A press shorter than this without motion is written as a click.
    static constexpr uint32_t kClickMs = 500;
    // Pixels the pointer may wander during a click.
    static constexpr int kClickSlop = 2;
    // Time between the written steps of a drag.
    static constexpr uint32_t kDragStepMs = 100;

    // The file named by GUI_DEMO_RECORD; empty means no recording.
    static std::string pathFromEnvironment();

    // Creates (empties) the file at once, so that an unwritable one is reported at start; the
    // demo runs on without recording it. An empty path records into memory only (script()).
    DemoRecorder(ZazOvadir* engine, std::string path);
    ~DemoRecorder() override;
    DemoRecorder(const DemoRecorder&) = delete;
    DemoRecorder& operator=(const DemoRecorder&) = delete;

    // Starts watching: the engine's inputObserver, and the values of the open windows.
    void attach();
    // A script plays first (GUI_DEMO_SCRIPT): what it changes is not checked at the end.
    void followScript() { scriptPlayed = true; }
    // Controls that change by themselves (the demo's animation) are never checked.
    void exclude(GuiObject* obj) { excluded.insert(obj); }
    bool fileOpen() const { return file != nullptr; }

    void observeInput(const SDL_Event& e, bool injected) override;
    // Told about every command the demo dispatches (a dialog's end).
    void observeCommand(const GuiEvent& e);

    // Ends the recording: the final checks while the windows still exist, "finish", and the
    // file written. Only the first call writes; false when the file could not be written.
    bool finish();
    // The script as finish writes it (finish first).
    const std::string& script() const { return text; }

    using Values = std::map<std::string, std::string>;
    // The value of every named control of w that a script can check, by name.
    Values valuesOf(AppWindow* w) const;

private:
    struct Press {
        bool active = false;
        bool committed = false;
        bool moved = false;
        uint8_t button = 0;
        uint32_t heldMask = 0;
        uint32_t windowId = 0;
        int32_t x = 0, y = 0;
        uint32_t start = 0;
        uint32_t lastStep = 0;
        int32_t lastX = 0, lastY = 0;
        ScriptTarget target;
    };
    struct PendingKey {
        bool active = false;
        SDL_Keycode key = SDLK_UNKNOWN;
        uint16_t mods = 0;
        uint32_t windowId = 0;
        uint32_t time = 0;
    };
    void onButtonDown(const SDL_MouseButtonEvent& b, uint32_t now);
    void onButtonUp(const SDL_MouseButtonEvent& b, uint32_t now);
    void onMotion(const SDL_MouseMotionEvent& m, uint32_t now);
    void onWheel(const SDL_MouseWheelEvent& w, uint32_t now);
    void onKeyDown(const SDL_KeyboardEvent& k, uint32_t now);
    void onText(const SDL_TextInputEvent& t, uint32_t now);

    // Before an action in window windowId: what closed or opened since, then the pause.
    bool beginAction(uint32_t windowId, uint32_t now);
    void noteClosedWindow();
    void flushPendingKey();
    void commitPress();
    void writeFinalChecks();
    void rebaseline();

    ScriptTarget resolveTarget(uint32_t windowId, int x, int y, bool wheel) const;
    std::string itemNameAt(GuiWindow* root, GuiObject* hit, int x, int y) const;

    ZazOvadir* engine = nullptr;
    std::string path;
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file;
    ScriptWriter writer;
    std::string text;
    bool attached = false;
    bool finished = false;

    std::map<uint32_t, Values> baselines;  // by window id, from the window's first action
    std::set<GuiObject*> excluded;
    uint32_t windowId = 0;  // the window of the last action
    std::string windowTitle;
    uint32_t lastActionEnd = 0;
    bool routingRealEvent = false;
    bool scriptPlayed = false;  // since the last action
    bool dialogEnded = false;
    Press press;
    PendingKey pendingKey;
    // The last action began while no quit was asked for; the quit it caused is not replayed.
    bool quitByLastAction = false;
    bool lastEventWasAction = false;
    size_t markBeforeLastAction = 0;
};
