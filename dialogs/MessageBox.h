// The message box: a modal dialog with a caption, a word-wrapped text, an optional drawn icon
// and a row of buttons, plus the layout arithmetic it is built from.
#pragma once

#include "core/Window.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class GuiButton;

// Option flags of showMessageBox.
enum : uint32_t {
    MB_CANCEL = 0x2,
    MB_YES = 0x4,
    MB_NO = 0x8,
    MB_ICON_INFO = 0x100,
    MB_ICON_WARNING = 0x200,
    MB_ICON_ERROR = 0x400,
    MB_ICON_QUESTION = 0x800,
    MB_CENTER = 0x1000,
    MB_ON_TOP = 0x2000,
    MB_DEFAULT_SECOND = 0x20000,
    MB_DEFAULT_THIRD = 0x40000,
    MB_ICON_MASK = 0xF00,  // every icon flag
};

// One button of the box: caption, command id, the result it ends with, name for scripts.
struct MessageBoxButtonSpec {
    const char* caption;
    int id;
    int result;
    const char* name;
};

// Sizes of the box, in pixels.
struct MessageBoxLayout {
    int width = 0;
    int height = 0;
    int textWidth = 0;
    int buttonsWidth = 0;
    int iconOffset = 0;
};

enum class MessageBoxIcon { None, Information, Warning, Error, Question };

constexpr int kMessageBoxWrapBytes = 40;
constexpr int kMessageBoxIconSize = 32;
// Tallest box we open: a huge text must not ask the system for an absurd window.
constexpr int kMessageBoxMaxHeight = 8192;

// Splits the text into lines: at '\n', then greedily at white space up to 40 bytes per line.
std::vector<std::string> wrapMessageText(const std::string& text);
// The buttons for the flags, in their order on screen.
std::vector<MessageBoxButtonSpec> messageBoxButtons(uint32_t flags);
MessageBoxLayout layoutMessageBox(const std::vector<std::string>& lines, size_t buttonCount,
                                  uint32_t flags);
// Index of the default button among buttonCount buttons.
size_t defaultButtonIndex(uint32_t flags, size_t buttonCount);
// What Escape and the Cancel button end with.
int cancelResultFor(const std::vector<MessageBoxButtonSpec>& buttons);
MessageBoxIcon iconForFlags(uint32_t flags);
// Paints the icon into a 32 x 32 ARGB buffer (straight, not premultiplied alpha, row stride
// 32 pixels); false when cairo could not draw.
bool paintMessageBoxIcon(MessageBoxIcon icon, uint32_t* pixels);
// The requested window position before centring: SDL_WINDOWPOS_CENTERED with MB_CENTER or
// for a negative coordinate, else the coordinate moved by the display's usable origin.
void requestedMessageBoxPosition(uint32_t flags, int& x, int& y);
// The arithmetic of requestedMessageBoxPosition without MB_CENTER, over the usable bounds of
// the main window's display (origin, null when unreadable) and of every display: a negative
// coordinate is centred; another is moved by the origin, which may be negative (a display
// left of or above the primary one), and kept from going before the displays' union.
SDL_Point placeMessageBox(int x, int y, const SDL_Rect* origin,
                          const std::vector<SDL_Rect>& displays);

class GuiMessageBoxDialog : public GuiDialog {
public:
    GuiMessageBoxDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor,
                        uint32_t flags);
    ~GuiMessageBoxDialog() override;

    const char* className() const override { return "GuiMessageBoxDialog"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void accept() override;
    void cancel() override;
    void onCommand(GuiEvent& e) override;

    uint32_t flags = 0;
    int32_t result = 0;
    int32_t acceptResult = 1;
    int32_t cancelResult = 2;
    GuiButton* defaultButton = nullptr;
    bool hasChoice = false;
    bool inEvent = false;
    SdlTexturePtr icon;  // released through texture retirement

private:
    void finish(int32_t value);
    bool ensureIcon(SDL_Renderer* r);
    void drawDefaultOutline(SDL_Renderer* r);

    SDL_Renderer* iconRenderer = nullptr;
};

// Builds, sizes, positions and opens a modal message box over the main window and returns at
// once; null without a main window or when the window could not be registered.
GuiMessageBoxDialog* showMessageBox(const std::string& text, const std::string& caption,
                                    uint32_t flags, int x, int y);
