// The demo's script runner: plays a script inside the main loop by queuing SDL events,
// draws its own pointer, and reports through SDL's log (trace, scenes, errors).
#pragma once

#include "core/Engine.h"
#include "core/Handles.h"
#include "core/Roles.h"
#include "demo/DemoScript.h"

#include <string>
#include <utility>
#include <vector>

class GuiObject;
class GuiWindow;

// What the harness controls through the environment.
struct DemoRunnerSettings {
    bool traceEnabled = false;
    std::string scenesPath;
    std::string startGatePath;
    std::string windowIdFilePath;
    // Quit the program when the run ends in any end state (unattended runs).
    bool exitOnEnd = false;

    static DemoRunnerSettings fromEnvironment();
};

class DemoRunner : public IScriptRunner {
public:
    enum State : int32_t { Idle = 0, Running = 1, Finished = 2, Failed = 3, Interrupted = 4 };

    static constexpr double kClickFlashSeconds = 0.35;
    static constexpr double kClickHoldSeconds = 0.12;
    static constexpr double kMaxStepSeconds = 0.05;
    static constexpr uint32_t kCaptionMs = 2500;

    explicit DemoRunner(ZazOvadir* engine);
    DemoRunner(ZazOvadir* engine, DemoRunnerSettings settings);
    ~DemoRunner() override;
    DemoRunner(const DemoRunner&) = delete;
    DemoRunner& operator=(const DemoRunner&) = delete;

    bool loadScript(const std::string& path);
    bool parseScript(const std::string& text);
    // Hooks the runner into the engine's loop (the engine's scriptRunner).
    void attach();

    // IScriptRunner
    bool isRunning() const override { return state == Running; }
    void tick(uint32_t now) override;
    bool filterInput(const SDL_Event& e) override;
    void observeCommand(const GuiEvent& e) override;
    void drawOverlay(AppWindow* window, SDL_Renderer* r) override { drawPointer(window, r); }
    SDL_Rect overlayArea(AppWindow* window) override;
    void engineShutdown() override;

    void finish(State endState);
    void fail(const std::string& message);
    void drawPointer(AppWindow* window, SDL_Renderer* r);
    void drawSceneCaption(AppWindow* window, SDL_Renderer* r);

    // Caption geometry for a window of w x h and a text of tw x th.
    static int captionFontSizeFor(int w, int h);
    static SDL_Rect captionTextRect(int w, int h, int tw, int th);
    // The object under a window point, open popups first; null outside the root.
    static GuiObject* objectAt(GuiWindow* root, int px, int py);

    // Fields, in the order of the runner's record.
    ZazOvadir* engine = nullptr;
    std::vector<ScriptCommand> commands;
    std::string error;
    int32_t state = Idle;
    double mouseSpeed = 500;
    uint64_t pc = 0;
    bool commandStarted = false;
    bool traceEnabled = false;
    std::string scenesPath;
    std::string startGatePath;
    std::string windowIdFilePath;
    bool windowIdReported = false;
    uint32_t startTicks = 0;
    uint32_t lastTicks = 0;
    uint32_t frameCount = 0;
    double elapsed = 0;
    double duration = 0;
    uint32_t windowId = 0;
    float pointerX = 0, pointerY = 0;
    float motionFromX = 0, motionFromY = 0, motionToX = 0, motionToY = 0;
    uint32_t trackedWindowId = 0;
    int32_t trackedWindowX = 0, trackedWindowY = 0;
    uint32_t heldButtons = 0;
    double clickFlash = 0;
    std::string sceneName;
    uint32_t sceneStartTicks = 0;
    TtfFontPtr captionFont;
    int32_t captionFontSize = 0;
    std::vector<std::pair<uint32_t, std::string>> seenCommands;
    bool exitOnEnd = false;

private:
    // tick's steps
    bool startWhenReady(uint32_t now);
    void reportWindowId();
    bool startGateOpen() const;
    void startRun(uint32_t now);
    void advanceClock(uint32_t now);
    void runCommands();

    void startCommand(const ScriptCommand& c);
    // True when the started command has completed.
    bool evaluateCommand(const ScriptCommand& c);
    void advance();

    // Commands
    void selectWindow(const std::string& title);
    void startMotion(const ScriptCommand& c);
    bool evaluateMotion();
    bool evaluateWaitWindow(const ScriptCommand& c, bool closed, double p);
    bool evaluateWaitCommand(const ScriptCommand& c, double p);
    bool evaluateWaitValue(const ScriptCommand& c, double p);
    void setControl(const ScriptCommand& c);
    void expectControl(const ScriptCommand& c);
    void queueWheel(int32_t steps);
    void queueText(const std::string& text);
    void startScene(const std::string& caption);

    // Pointer and events
    AppWindow* currentWindow() const;
    AppWindow* findWindowByTitle(const std::string& title) const;
    void windowPosition(AppWindow* w, int& x, int& y) const;
    void syncWindow();
    void movePointer(float x, float y);
    void pressButton(uint8_t button, bool down);
    void sendKey(const std::string& spec);
    void releaseHeldButtons();

    // Controls
    GuiObject* findControl(const std::string& name, std::string& property);
    bool readControlValue(const std::string& name, std::string& out);
    // Window coordinates of the visible centre of a control or item; fails the run otherwise.
    bool locateTarget(const std::string& name, SDL_Point& centre);

    // Trace
    void traceCommand(const ScriptCommand& c);
    std::string describeObjectAt(AppWindow* w, int px, int py) const;
    std::string describeUnreachable(AppWindow* w, const SDL_Rect& rect) const;

    // Drawing
    void drawClickFlash(SDL_Renderer* r, int x, int y) const;
    bool clickFlashSquare(int x, int y, SDL_Rect& square) const;
    SDL_Point pointerIn(AppWindow* window) const;
    bool captionShown() const;
    bool openCaptionFont(AppWindow* window);
    // Where the caption's backdrop lies in window; false when no caption shows.
    bool captionBackdrop(AppWindow* window, SDL_Rect& backdrop);
    void closeCaption();

    int32_t currentLine() const;

    // The caption text as a texture of one renderer, kept while it is shown; it goes to texture
    // retirement when replaced, and is forgotten when its renderer is torn down.
    void dropCaptionTexture();
    bool makeCaptionTexture(SDL_Renderer* r);
    static void forgetRenderer(SDL_Renderer* r);
    void trackForTeardown(bool live);
    SdlTexturePtr captionTexture;
    SDL_Renderer* captionRenderer = nullptr;
    std::string captionTextureText;
    int captionTextW = 0, captionTextH = 0;
};
