#include "dialogs/MessageBox.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "core/CairoPixels.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Handles.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kLineHeight = 20;
constexpr int kPixelsPerByte = 8;
constexpr int kMaxTextWidth = 420;
constexpr int kButtonWidth = 100;
constexpr int kButtonGap = 12;
constexpr int kIconOffset = 44;
constexpr int kMargin = 16;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 130;
constexpr int kBottomSpace = 75;

constexpr MessageBoxButtonSpec kOk{"Ok", 1, 1, "ok"};
constexpr MessageBoxButtonSpec kYes{"Yes", 2, 3, "yes"};
constexpr MessageBoxButtonSpec kNo{"No", 3, 4, "no"};
constexpr MessageBoxButtonSpec kCancel{"Cancel", 0, 2, "cancel"};

bool isWordSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

void wrapPiece(const std::string& piece, std::vector<std::string>& lines) {
    if (piece.empty()) {
        lines.emplace_back();
        return;
    }
    std::string line;
    size_t i = 0;
    while (i < piece.size()) {
        while (i < piece.size() && isWordSeparator(piece[i]))
            ++i;
        size_t start = i;
        while (i < piece.size() && !isWordSeparator(piece[i]))
            ++i;
        if (start == i) break;
        std::string_view word(piece.data() + start, i - start);
        if (line.empty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= static_cast<size_t>(kMessageBoxWrapBytes)) {
            line += ' ';
            line += word;
        } else {
            lines.push_back(std::move(line));
            line = word;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
}

void paintWarning(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.95, 0.7, 0.1);
    cairo_move_to(cr, 16, 1);
    cairo_line_to(cr, 31, 30);
    cairo_line_to(cr, 1, 30);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, 16, 11);
    cairo_line_to(cr, 16, 20);
    cairo_stroke(cr);
    cairo_arc(cr, 16, 25, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
}

void paintDisc(cairo_t* cr, double r, double g, double b) {
    cairo_set_source_rgb(cr, r, g, b);
    cairo_arc(cr, 16, 16, 15, 0, 2 * M_PI);
    cairo_fill(cr);
}

void paintError(cairo_t* cr) {
    paintDisc(cr, 0.8, 0.12, 0.12);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, 10, 10);
    cairo_line_to(cr, 22, 22);
    cairo_stroke(cr);
    cairo_move_to(cr, 22, 10);
    cairo_line_to(cr, 10, 22);
    cairo_stroke(cr);
}

void paintQuestion(cairo_t* cr) {
    paintDisc(cr, 0.15, 0.4, 0.8);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_arc(cr, 16, 12.5, 5, -M_PI, M_PI / 3);
    cairo_line_to(cr, 16, 20);
    cairo_stroke(cr);
    cairo_arc(cr, 16, 25, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
}

void paintInformation(cairo_t* cr) {
    paintDisc(cr, 0.15, 0.4, 0.8);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_arc(cr, 16, 9, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_move_to(cr, 16, 15);
    cairo_line_to(cr, 16, 24);
    cairo_stroke(cr);
}

// A coordinate moved by the display origin, not before the displays' first pixel and inside
// the int range.
int offsetBy(int value, int origin, long long lowest) {
    long long moved = static_cast<long long>(value) + origin;
    return static_cast<int>(std::clamp<long long>(moved, lowest, INT_MAX));
}

// A negative coordinate, or one that already asks for centring, is centred.
bool meansCentred(int value) {
    return value < 0 || SDL_WINDOWPOS_ISCENTERED(value) || SDL_WINDOWPOS_ISUNDEFINED(value);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Layout arithmetic

std::vector<std::string> wrapMessageText(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        size_t end = text.find('\n', start);
        wrapPiece(text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                  lines);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (lines.empty()) lines.emplace_back();
    return lines;
}

std::vector<MessageBoxButtonSpec> messageBoxButtons(uint32_t flags) {
    std::vector<MessageBoxButtonSpec> buttons;
    if (flags & MB_YES) buttons.push_back(kYes);
    if (flags & MB_NO) buttons.push_back(kNo);
    if (!(flags & (MB_YES | MB_NO))) buttons.push_back(kOk);
    if (flags & MB_CANCEL) buttons.push_back(kCancel);
    return buttons;
}

MessageBoxLayout layoutMessageBox(const std::vector<std::string>& lines, size_t buttonCount,
                                  uint32_t flags) {
    size_t maxLen = 0;
    for (const auto& line : lines)
        maxLen = std::max(maxLen, line.size());
    const bool hasIcon = (flags & MB_ICON_MASK) != 0;
    MessageBoxLayout l;
    // Compared before multiplying: a line of a billion bytes must not overflow.
    l.textWidth = maxLen >= kMaxTextWidth / kPixelsPerByte + 1
                      ? kMaxTextWidth
                      : std::min(static_cast<int>(maxLen) * kPixelsPerByte, kMaxTextWidth);
    const size_t m = std::max<size_t>(buttonCount, 1);
    l.buttonsWidth =
        static_cast<int>(m) * kButtonWidth + (m > 1 ? static_cast<int>(m - 1) * kButtonGap : 0);
    l.iconOffset = hasIcon ? kIconOffset : 0;
    l.textWidth += l.iconOffset;
    l.width = std::max(std::max(l.buttonsWidth, l.textWidth) + 2 * kMargin, kMinWidth);
    const long long textHeight = static_cast<long long>(lines.size()) * kLineHeight;
    const long long content = std::max<long long>(textHeight, hasIcon ? kMessageBoxIconSize : 0);
    l.height = static_cast<int>(std::min<long long>(
        std::max<long long>(content + kBottomSpace, kMinHeight), kMessageBoxMaxHeight));
    return l;
}

size_t defaultButtonIndex(uint32_t flags, size_t buttonCount) {
    if ((flags & MB_DEFAULT_THIRD) && buttonCount >= 3) return 2;
    if ((flags & MB_DEFAULT_SECOND) && buttonCount >= 2) return 1;
    return 0;
}

int cancelResultFor(const std::vector<MessageBoxButtonSpec>& buttons) {
    bool hasNo = false;
    for (const auto& b : buttons) {
        if (b.id == kCancel.id) return kCancel.result;
        if (b.id == kNo.id) hasNo = true;
    }
    if (hasNo) return kNo.result;
    return buttons.empty() ? kOk.result : buttons.front().result;
}

MessageBoxIcon iconForFlags(uint32_t flags) {
    if (!(flags & MB_ICON_MASK)) return MessageBoxIcon::None;
    if ((flags & (MB_ICON_WARNING | MB_ICON_ERROR)) == MB_ICON_WARNING)
        return MessageBoxIcon::Warning;
    if (flags & MB_ICON_ERROR) return MessageBoxIcon::Error;
    if (flags & MB_ICON_QUESTION) return MessageBoxIcon::Question;
    return MessageBoxIcon::Information;
}

bool paintMessageBoxIcon(MessageBoxIcon icon, uint32_t* pixels) {
    if (icon == MessageBoxIcon::None || !pixels) return false;
    const int size = kMessageBoxIconSize;
    std::fill(pixels, pixels + size * size, 0u);
    CairoSurfacePtr surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, size, size, size * 4));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return false;
    CairoPtr cr(cairo_create(surface.get()));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return false;
    cairo_set_line_width(cr.get(), 3.5);
    cairo_set_line_cap(cr.get(), CAIRO_LINE_CAP_ROUND);
    switch (icon) {
        case MessageBoxIcon::Warning:
            paintWarning(cr.get());
            break;
        case MessageBoxIcon::Error:
            paintError(cr.get());
            break;
        case MessageBoxIcon::Question:
            paintQuestion(cr.get());
            break;
        default:
            paintInformation(cr.get());
            break;
    }
    cairo_surface_flush(surface.get());
    bool ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
    cr.reset();
    surface.reset();
    for (int i = 0; i < size * size; ++i)
        pixels[i] = unpremultiply(pixels[i]);
    return ok;
}

SDL_Point placeMessageBox(int x, int y, const SDL_Rect* origin,
                          const std::vector<SDL_Rect>& displays) {
    // The union's top-left corner (with the origin's, which belongs to a display too).
    long long left = origin ? origin->x : 0, top = origin ? origin->y : 0;
    for (const SDL_Rect& d : displays) {
        if (d.w < 1 || d.h < 1) continue;
        left = std::min<long long>(left, d.x);
        top = std::min<long long>(top, d.y);
    }
    const int ox = origin ? origin->x : 0, oy = origin ? origin->y : 0;
    return SDL_Point{meansCentred(x) ? int(SDL_WINDOWPOS_CENTERED) : offsetBy(x, ox, left),
                     meansCentred(y) ? int(SDL_WINDOWPOS_CENTERED) : offsetBy(y, oy, top)};
}

void requestedMessageBoxPosition(uint32_t flags, int& x, int& y) {
    if (flags & MB_CENTER) {
        x = y = SDL_WINDOWPOS_CENTERED;
        return;
    }
    ZazOvadir* engine = ZazOvadir::current();
    int display = 0;
    if (engine && engine->mainWindow && engine->mainWindow->sdlWindow)
        display = std::max(SDL_GetWindowDisplayIndex(engine->mainWindow->sdlWindow.get()), 0);
    SDL_Rect bounds{0, 0, 0, 0};
    const bool haveBounds = SDL_GetDisplayUsableBounds(display, &bounds) == 0;
    std::vector<SDL_Rect> displays;
    for (int i = 0, n = SDL_GetNumVideoDisplays(); i < n; ++i) {
        SDL_Rect d{0, 0, 0, 0};
        if (SDL_GetDisplayUsableBounds(i, &d) == 0) displays.push_back(d);
    }
    const SDL_Point p = placeMessageBox(x, y, haveBounds ? &bounds : nullptr, displays);
    x = p.x;
    y = p.y;
}

// ---------------------------------------------------------------------------------------------
// The dialog

namespace {

constexpr SDL_Color kDialogColor{200, 200, 200, 255};
constexpr SDL_Color kLabelColor{80, 180, 80, 255};
constexpr SDL_Color kButtonColor{192, 192, 192, 255};
constexpr SDL_Color kOutlineColor{32, 96, 208, 255};
constexpr int kButtonHeight = 25;
constexpr int kButtonStride = kButtonWidth + kButtonGap;
constexpr int kButtonBottomSpace = 41;
constexpr int kFirstLabelId = 1000;

void addLines(GuiMessageBoxDialog* dialog, const std::vector<std::string>& lines,
              const MessageBoxLayout& layout, TTF_Font* font) {
    const int labelWidth = layout.width - 2 * kMargin - layout.iconOffset;
    // Lines that would run into the button row of a clamped box are not shown.
    const int lastBottom = layout.height - (kBottomSpace - kMargin);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int top = kMargin + kLineHeight * static_cast<int>(i);
        if (top + kLineHeight > lastBottom) break;
        dialog->addChild(new GuiLabel(nullptr, kFirstLabelId + static_cast<int>(i),
                                      layout.iconOffset + kMargin, top, labelWidth, kLineHeight,
                                      kLabelColor, lines[i], font, 0));
    }
}

void addButtons(GuiMessageBoxDialog* dialog, const std::vector<MessageBoxButtonSpec>& buttons,
                const MessageBoxLayout& layout, TTF_Font* font) {
    const size_t defaultIndex = defaultButtonIndex(dialog->flags, buttons.size());
    const int left = (layout.width - layout.buttonsWidth) / 2;
    for (size_t j = 0; j < buttons.size(); ++j) {
        const MessageBoxButtonSpec& spec = buttons[j];
        auto* button = new GuiButton(nullptr, spec.id, static_cast<int>(j) * kButtonStride + left,
                                     layout.height - kButtonBottomSpace, kButtonWidth,
                                     kButtonHeight, kButtonColor, spec.caption, font, 0);
        button->setName(spec.name);
        dialog->addChild(button);
        if (j == defaultIndex) {
            dialog->defaultButton = button;
            dialog->acceptResult = spec.result;
            dialog->hasChoice = buttons.size() > 1;
        }
    }
}

void printWindowPosition(const char* prefix, SDL_Window* window) {
    int rx = 0, ry = 0;
    SDL_GetWindowPosition(window, &rx, &ry);
    diagnostic("%sreal=(%d,%d)\n", prefix, rx, ry);
    std::fflush(stdout);
}

}  // namespace

GuiMessageBoxDialog::GuiMessageBoxDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                                         SDL_Color bgColor, uint32_t flags)
    : GuiDialog(appWindow, id, x, y, w, h, bgColor), flags(flags) {}

GuiMessageBoxDialog::~GuiMessageBoxDialog() {
    TextureRetirement::retire(iconRenderer, icon);
}

void GuiMessageBoxDialog::handleEvent(GuiEvent& e) {
    inEvent = true;
    GuiDialog::handleEvent(e);
    inEvent = false;
}

void GuiMessageBoxDialog::finish(int32_t value) {
    result = value;
    endModal(static_cast<uint32_t>(value));
}

// A click on Ok arrives while our own event runs; Return comes from outside and means the
// default button.
void GuiMessageBoxDialog::accept() {
    finish(inEvent ? 1 : acceptResult);
}

void GuiMessageBoxDialog::cancel() {
    finish(cancelResult);
}

void GuiMessageBoxDialog::onCommand(GuiEvent& e) {
    if (e.code != CMD_ACTIVATED) return;
    if (e.id == static_cast<uint32_t>(kYes.id))
        finish(kYes.result);
    else if (e.id == static_cast<uint32_t>(kNo.id))
        finish(kNo.result);
}

bool GuiMessageBoxDialog::ensureIcon(SDL_Renderer* r) {
    if (icon) return true;
    std::array<uint32_t, kMessageBoxIconSize * kMessageBoxIconSize> pixels{};
    if (!paintMessageBoxIcon(iconForFlags(flags), pixels.data())) return false;
    SdlSurfacePtr surface(
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kMessageBoxIconSize, kMessageBoxIconSize,
                                           32, kMessageBoxIconSize * 4, SDL_PIXELFORMAT_ARGB8888));
    if (!surface) return false;
    icon.reset(SDL_CreateTextureFromSurface(r, surface.get()));
    if (!icon) return false;
    iconRenderer = r;
    SDL_SetTextureBlendMode(icon.get(), SDL_BLENDMODE_BLEND);
    return true;
}

void GuiMessageBoxDialog::drawDefaultOutline(SDL_Renderer* r) {
    const GuiObject* b = defaultButton;
    setColor(r, kOutlineColor);
    const SDL_Rect inner{b->x - 2, b->y - 2, b->width + 4, b->height + 4};
    const SDL_Rect outer{b->x - 3, b->y - 3, b->width + 6, b->height + 6};
    SDL_RenderDrawRect(r, &inner);
    SDL_RenderDrawRect(r, &outer);
}

void GuiMessageBoxDialog::draw(SDL_Renderer* r) {
    GuiDialog::draw(r);
    if ((flags & MB_ICON_MASK) && ensureIcon(r)) {
        const SDL_Rect dst{kMargin, kMargin, kMessageBoxIconSize, kMessageBoxIconSize};
        SDL_RenderCopy(r, icon.get(), nullptr, &dst);
    }
    if (defaultButton && hasChoice) drawDefaultOutline(r);
}

// ---------------------------------------------------------------------------------------------
// Opening

GuiMessageBoxDialog* showMessageBox(const std::string& text, const std::string& caption,
                                    uint32_t flags, int x, int y) {
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine || !engine->mainWindow) return nullptr;
    const std::vector<std::string> lines = wrapMessageText(text);
    const std::vector<MessageBoxButtonSpec> buttons = messageBoxButtons(flags);
    const MessageBoxLayout layout = layoutMessageBox(lines, buttons.size(), flags);

    requestedMessageBoxPosition(flags, x, y);
    const int requestedX = x, requestedY = y;
    engine->centreOnMainWindow(x, y, layout.width, layout.height);

    AppWindow* record =
        engine->createWindow(caption, x, y, layout.width, layout.height, SDL_WINDOW_SHOWN);
    auto* dialog =
        new GuiMessageBoxDialog(record, -1, 0, 0, layout.width, layout.height, kDialogColor, flags);
    record->root.reset(dialog);
    if (!engine->registerWindow(record, caption, layout.width, layout.height)) {
        delete record;  // takes the dialog with it
        return nullptr;
    }
    engine->setModalFor(record);
    if (flags & MB_ON_TOP) SDL_SetWindowAlwaysOnTop(record->sdlWindow.get(), SDL_TRUE);
    int rx = 0, ry = 0;
    SDL_GetWindowPosition(record->sdlWindow.get(), &rx, &ry);
    diagnostic("After create: requested=(%d,%d), real=(%d,%d)\n", requestedX, requestedY, rx, ry);

    TTF_Font* font = engine->getDefaultFont();
    addLines(dialog, lines, layout, font);
    dialog->cancelResult = cancelResultFor(buttons);
    addButtons(dialog, buttons, layout, font);

    engine->setModal(dialog);
    printWindowPosition("After openModal: ", record->sdlWindow.get());
    return dialog;
}
