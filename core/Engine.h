// The engine: library start-up, the registry of windows, the main loop, texture retirement.
#pragma once

#include "core/GuiObject.h"
#include "core/Handles.h"
#include "core/Roles.h"
#include "core/Timers.h"

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class GuiWindow;
class GuiDialog;

// The engine's record of one SDL window.
struct AppWindow {
    uint32_t windowId = 0;
    SdlWindowPtr sdlWindow;
    SdlRendererPtr renderer;
    // What the window shows, for a window drawn on demand whose renderer does not keep its
    // pixels between frames (released through texture retirement).
    SdlTexturePtr backBuffer;
    // The damage verifier's full redraw of the window (released through texture retirement).
    SdlTexturePtr verifyTarget;
    std::unique_ptr<GuiWindow> root;
    ZazOvadir* engine = nullptr;
    int width = 0;
    int height = 0;
    std::string title;
    SDL_Rect drawnArea{0, 0, 0, 0};  // what drawWindow drew this frame
    int keepsPixels = -1;            // the renderer keeps what it showed (-1: not asked yet)
    // A cairo context over a transparent width x height ARGB32 image (pixels), made on first
    // use: most windows never draw with cairo, and the image costs width * height * 4 bytes.
    // Once made, it follows the window's size (handleResize makes a new, cleared one).
    cairo_t* cairoContext();
    bool hasCairoContext() const { return cairo != nullptr; }
    std::vector<uint8_t> pixels;  // backing store of cairoSurface; empty until cairoContext()
    CairoSurfacePtr cairoSurface;
    CairoPtr cairo;

    AppWindow();
    ~AppWindow();
    SDL_Renderer* sdlRenderer() const { return renderer.get(); }
    // Makes the cairo image and context at the window's size, transparent.
    void makeCairoContext();
};

class ZazOvadir {
public:
    // Thrown when SDL2_ttf cannot start.
    struct Error : std::runtime_error {
        explicit Error(int c) : std::runtime_error("TTF_Init fehlgeschlagen"), code(c) {}
        int code;
    };

    ZazOvadir();
    ZazOvadir(const ZazOvadir&) = delete;
    ZazOvadir& operator=(const ZazOvadir&) = delete;
    virtual ~ZazOvadir();
    virtual void renderWindow(AppWindow* window) = 0;
    virtual void dispatchEvent(AppWindow* window, GuiEvent& e) = 0;
    virtual void run();

    // The one engine of the process (null outside its lifetime).
    static ZazOvadir* current();

    // --- windows ---
    AppWindow* createWindow(const std::string& title, int x, int y, int w, int h, uint32_t flags);
    bool registerWindow(AppWindow* record, const std::string& title, int w, int h);
    AppWindow* createMainWindow(const std::string& title, int x, int y, int w, int h,
                                uint32_t flags, SDL_Color bgColor);
    // Creates, registers and makes modal-for a window with a plain GuiDialog root; the caller
    // calls setModal. Null when registration failed.
    AppWindow* createDialogWindow(const std::string& title, int x, int y, int w, int h,
                                  uint32_t flags, SDL_Color bgColor);
    bool destroyWindow(uint32_t windowId);
    void closeWindowLater(uint32_t windowId) { pendingCloses.push_back(windowId); }
    AppWindow* findWindowById(uint32_t windowId) const;
    // Follows a new window size: cairo surface, logical size. The caller resizes the root.
    void handleResize(AppWindow* record, int w, int h);

    // --- dialogs ---
    void setModal(GuiWindow* root);
    void setModalFor(AppWindow* record);
    void centreOnMainWindow(int& x, int& y, int w, int h) const;

    // --- redraw bookkeeping ---
    // Everything of every window is drawn in the next frame.
    void requestRedraw();
    // The whole of one window changed (shown again, resized); a frame is due.
    void damageWindow(AppWindow* w);
    // A frame is due; what it draws is the damage the windows were told of (invalidate).
    void scheduleRedraw();
    bool needsRedraw() const;
    // Draws a window for this frame: only what changed (drawDamageOnly), the rest keeping its
    // pixels, also in a loop that runs every frame; all of it with drawDamageOnly off. False when
    // nothing was drawn: then nothing is to be presented.
    bool drawWindow(AppWindow* window);
    // Shows what drawWindow drew: with the software renderer only the drawn area goes to the
    // screen (presentDamageOnly), otherwise the whole window is presented.
    void presentWindow(AppWindow* window);
    // Called by an on-demand renderWindow right before it draws: the requests made up to here
    // are satisfied by this frame, so the next frame need not draw again for them. The first
    // window's draw counts: a request made while a later window draws may concern an earlier one.
    void noteDrawing() {
        if (!drewThisFrame) drawnSerial = redrawSerial;
        drewThisFrame = true;
    }

    // --- time ---
    // The loop's clock: SDL's unless an application or a test installs its own (not owned; null
    // restores SDL's). Widgets read it through guiTicks().
    void setClock(IClock* c);
    uint32_t ticks() const { return clock->ticks(); }
    // Application timers: fn runs on the main loop once after ms, or every ms when repeat is
    // set; the idle wait of an on-demand application wakes for them. Returns the id (never 0)
    // for cancelTimer. fn draws nothing by itself: what it changes invalidates as usual.
    uint32_t addTimer(uint32_t ms, std::function<void()> fn, bool repeat = false);
    bool cancelTimer(uint32_t id);
    // How long the loop may sleep before a timer or a widget of any window has work.
    uint32_t msUntilNextDeadline(uint32_t now);
    // True while the next frame has work regardless of time: a redraw, an injected event,
    // a window to close, a quit to send, a running script.
    bool frameDue() const;

    // --- fonts ---
    // Makes every later font opening use this TrueType data (kept by the caller). Static, so
    // that it can be called before the engine exists and opens its default font.
    static void setFontData(const void* data, size_t size);
    // The default font file: "data/fonts/Vera.ttf" below the working directory, else the same
    // next to the executable, in the installed data directory, then fontconfig's file for
    // "Bitstream Vera Sans" (or the system's sans-serif face).
    static std::string findFontFile();
    // The whole file, or nothing when it cannot be read.
    static std::vector<unsigned char> readFontFile(const std::string& path);
    const std::string& getFontFile() const { return fontFile; }
    TTF_Font* openFont(int pixelSize) const;
    TTF_Font* getDefaultFont() const { return defaultFont.get(); }
    FT_Face getFtFace() const { return ftFace.get(); }

    // --- start-up options and display modes ---
    bool parseOptions(int& argc, char** argv);
    static bool parseWindowSize(const std::string& text, int& w, int& h, bool& fullscreen);
    void applyWindowMode();
    void toggleFullscreen();
    // True when the event was the fullscreen hot key and has been consumed.
    bool filterFullscreenKey(const SDL_Event& e);

    // --- the main loop, in steps (run() is beginRun, runFrame until quitDone, endRun) ---
    void beginRun();
    void runFrame();
    void endRun();
    // Takes at most one event: injected first, then polled (filtered, motion coalesced).
    bool takeEvent(SDL_Event& out);
    // Routes one event to its window's dispatchEvent.
    void routeEvent(SDL_Event& e);
    // Destroys the windows queued with closeWindowLater.
    void destroyPendingWindows();
    // Sleeps for the rest of the frame, then, when drawing on demand and nothing is due, until
    // the next event or deadline.
    void waitForNextFrame(uint32_t frameStart);

    // Fields, in the order of the engine's record.
    bool quitRequested = false;
    bool quitDone = false;
    bool keyboardFocused = false;
    uint32_t activeWindowId = 0;
    IEditable* savedEditable = nullptr;
    std::unordered_map<uint32_t, std::unique_ptr<AppWindow>> windows;
    std::vector<uint32_t> pendingCloses;
    std::deque<SDL_Event> injectedEvents;
    IScriptRunner* scriptRunner = nullptr;
    IInputObserver* inputObserver = nullptr;  // not owned
    GuiWindow* modalRoot = nullptr;
    IEditable* activeEditable = nullptr;
    uint32_t framesPerSecond = 60;
    bool redrawOnDemand = false;
    bool drawDamageOnly = true;
    bool presentDamageOnly = true;
    // Checks every damage-limited frame against a full redraw of its window, logging and counting
    // each frame that differs (also on with TAMBERGUI_VERIFY_DAMAGE=1). Costs nothing when off.
    bool verifyDamage = false;
    uint32_t damageMismatches = 0;
    std::string firstDamageMismatch;  // the log line of the first frame that differed
    int32_t requestedWidth = 0;
    int32_t requestedHeight = 0;
    bool fullscreenRequested = false;
    bool windowModeApplied = false;
    SDL_Keycode fullscreenKey = SDLK_F11;
    // The diagnostic lines on standard output ("BUTTON DOWN", "MENU UP", the text control's
    // "Charmap ..." lines, the message box's window positions); false silences them.
    bool diagnostics = true;

    // Process-wide state kept with the engine.
    AppWindow* mainWindow = nullptr;
    std::vector<AppWindow*> windowList;  // registered windows in creation order
    uint32_t startTicks = 0;
    uint32_t frameNumber = 0;  // frames run by the loop
    bool redrawRequested = false;
    bool redrawNeeded = false;
    uint32_t redrawSerial = 0;  // counts requestRedraw calls
    uint32_t drawnSerial = 0;   // redrawSerial when the last frame that drew began drawing
    bool drewThisFrame = false;
    bool pacedFrame = false;  // the last frame drew: its rest is slept before an idle wait

private:
    void startLibraries();
    bool openDefaultFonts();
    void sendCloseNotifications();
    void followWindowSizes();
    void releaseEditorsInto(GuiWindow* root);
    bool rendererKeepsPixels(AppWindow* w);
    SDL_Texture* backBufferOf(AppWindow* w);
    void verifyKeptPixels(AppWindow* w);
    std::pair<const void*, size_t> fontMemory() const;
    uint32_t targetWindowOf(const SDL_Event& e) const;

    // The font file read once, so glyph loads cost no seek and read each; outlives the fonts.
    std::vector<unsigned char> fontFileBytes;
    TtfFontPtr defaultFont;
    FtLibraryPtr ftLibrary;
    FtFacePtr ftFace;
    std::string fontFile = "data/fonts/Vera.ttf";
    bool ttfStarted = false;
    SdlClock sdlClock;
    IClock* clock = &sdlClock;
    TimerQueue timers;
};

// Writes a diagnostic line to standard output (printf format) unless the running engine's
// diagnostics are off.
void diagnostic(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Texture retirement: textures that may still be queued for drawing are destroyed two or
// more frames after their release, per renderer, through a ring of three bins.
namespace TextureRetirement {
void retire(SDL_Renderer* r, SDL_Texture* t);
// Hands over an owned texture; t is empty afterwards.
inline void retire(SDL_Renderer* r, SdlTexturePtr& t) {
    if (t) retire(r, t.release());
}
// Advances r's ring by one bin and destroys what that bin held.
void advance(SDL_Renderer* r);
// Destroys everything retired for r and forgets r.
void flush(SDL_Renderer* r);
void flushAll();
size_t pendingCount(SDL_Renderer* r);
}  // namespace TextureRetirement

// Per-renderer resources kept by widgets above core (arrow textures, glyph atlases) register
// a hook here; the engine calls every hook while it tears a renderer down.
using RendererTeardownHook = void (*)(SDL_Renderer*);
void addRendererTeardownHook(RendererTeardownHook hook);
void runRendererTeardownHooks(SDL_Renderer* r);
