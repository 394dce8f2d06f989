#include "dialogs/ColorPicker.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "text/TextCtrl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr SDL_Color kDialogColor{200, 200, 200, 255};
constexpr SDL_Color kInk{0, 0, 0, 255};
constexpr SDL_Color kFieldColor{255, 255, 255, 255};
constexpr SDL_Color kSliderBackground{220, 220, 220, 255};
constexpr SDL_Color kSliderTrack{100, 150, 220, 255};
constexpr SDL_Color kSliderThumb{60, 60, 60, 255};
constexpr SDL_Color kButtonColor{192, 192, 192, 255};
constexpr SDL_Color kOutline{80, 80, 80, 255};
constexpr SDL_Color kCheckerLight{255, 255, 255, 255};
constexpr SDL_Color kCheckerDark{200, 200, 200, 255};
constexpr int kCheckerCell = 8;
constexpr int kRowHeight = 22;
constexpr int kFirstChannelY = 62;
constexpr int kChannelStep = 30;
constexpr int kSwatchSize = 20;
constexpr int kSwatchStep = 24;
constexpr int kSwatchLeft = 10;
constexpr int kSwatchTop = 182;
constexpr const char* kChannelLetters[4] = {"R", "G", "B", "A"};
constexpr const char* kSliderNames[4] = {"red", "green", "blue", "alpha"};

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint8_t component(const SDL_Color& c, int channel) {
    const uint8_t parts[4] = {c.r, c.g, c.b, c.a};
    return parts[channel];
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Arithmetic

std::string formatHexColor(SDL_Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X%02X", c.r, c.g, c.b, c.a);
    return buf;
}

bool parseHexColor(const std::string& text, SDL_Color& io) {
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.size() != 6 && digits.size() != 8) return false;
    uint8_t bytes[4] = {0, 0, 0, io.a};
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int hi = hexDigit(digits[i]), lo = hexDigit(digits[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
    io = SDL_Color{bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

const std::vector<SDL_Color>& colorPickerPalette() {
    static const std::vector<SDL_Color> palette{
        {0, 0, 0, 255},     {255, 255, 255, 255}, {220, 40, 40, 255},  {40, 180, 60, 255},
        {40, 90, 220, 255}, {230, 210, 40, 255},  {40, 200, 200, 255}, {200, 50, 180, 255},
    };
    return palette;
}

std::vector<SDL_Point> colorSwatchPositions(int w) {
    std::vector<SDL_Point> out;
    int x = kSwatchLeft, y = kSwatchTop;
    for (size_t i = 0; i < colorPickerPalette().size(); ++i) {
        // A row's first swatch stays on its row even when the dialog is too narrow for it.
        if (x > kSwatchLeft && x + kSwatchSize - 1 >= w - 10) {
            y += kSwatchStep;
            x = kSwatchLeft;
        }
        out.push_back(SDL_Point{x, y});
        x += kSwatchStep;
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// GuiColorSwatch

GuiColorSwatch::GuiColorSwatch(GuiObject* parent, int id, int x, int y, int w, int h,
                               SDL_Color color)
    : GuiObject(parent, id, x, y, w, h, color) {}

void GuiColorSwatch::draw(SDL_Renderer* r) {
    GuiObject::draw(r);
    setColor(r, kOutline);
    const SDL_Rect rc = rect();
    SDL_RenderDrawRect(r, &rc);
}

void GuiColorSwatch::handleEvent(GuiEvent& e) {
    if (e.kind != GuiEvent::Input || !e.sdl) return;
    if (e.sdl->type == SDL_MOUSEBUTTONDOWN) {
        pressed = true;
    } else if (e.sdl->type == SDL_MOUSEBUTTONUP) {
        if (pressed && contains(e.sdl->button.x, e.sdl->button.y) && window)
            window->postCommand(CMD_ACTIVATED, static_cast<uint32_t>(id), 0, this);
        pressed = false;
    }
}

// ---------------------------------------------------------------------------------------------
// GuiColorPickerDialog

GuiColorPickerDialog::GuiColorPickerDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                                           SDL_Color bgColor, SDL_Color initial)
    : GuiDialog(appWindow, id, x, y, w, h, bgColor), color(initial) {
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    addChild(new GuiLabel(nullptr, -1, 88, 10, 30, kRowHeight, kInk, "Hex:", font, 0));
    hexField = new GuiTextCtrl(nullptr, -1, 122, 10, std::max(0, w - 132), kRowHeight, kFieldColor,
                               engine ? engine->getFtFace() : nullptr, 0);
    hexField->setName("hex");
    addChild(hexField);
    addChannelRows();
    addSwatches();
    addButtons();
    hexText = formatHexColor(initial);
    hexField->setText(hexText);
}

void GuiColorPickerDialog::addChannelRows() {
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    for (int i = 0; i < 4; ++i) {
        const int y = kFirstChannelY + kChannelStep * i;
        const uint8_t value = component(color, i);
        addChild(new GuiLabel(nullptr, -1, 10, y, 16, kRowHeight, kInk, kChannelLetters[i], font));
        sliders[i] = new GuiSlider(nullptr, -1, 30, y, std::max(0, width - 78), kRowHeight,
                                   kSliderBackground, kSliderTrack, kSliderThumb, 0, 255, value, 0);
        sliders[i]->setName(kSliderNames[i]);
        addChild(sliders[i]);
        valueLabels[i] = new GuiLabel(nullptr, -1, width - 44, y, 34, kRowHeight, kInk,
                                      std::to_string(value), font);
        addChild(valueLabels[i]);
    }
}

void GuiColorPickerDialog::addSwatches() {
    const std::vector<SDL_Point> at = colorSwatchPositions(width);
    const std::vector<SDL_Color>& palette = colorPickerPalette();
    for (size_t i = 0; i < palette.size(); ++i) {
        auto* swatch = new GuiColorSwatch(nullptr, static_cast<int>(i), at[i].x, at[i].y,
                                          kSwatchSize, kSwatchSize, palette[i]);
        swatch->setName("swatch" + std::to_string(i));
        addChild(swatch);
        swatches.push_back(swatch);
    }
}

void GuiColorPickerDialog::addButtons() {
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    okButton =
        new GuiButton(nullptr, 1, width - 218, height - 35, 100, 25, kButtonColor, "OK", font, 0);
    okButton->setName("ok");
    addChild(okButton);
    cancelButton = new GuiButton(nullptr, 0, width - 110, height - 35, 100, 25, kButtonColor,
                                 "Abbrechen", font, 0);
    cancelButton->setName("cancel");
    addChild(cancelButton);
}

void GuiColorPickerDialog::setSliders(SDL_Color c) {
    for (int i = 0; i < 4; ++i)
        sliders[i]->setNumericValue(component(c, i));
}

void GuiColorPickerDialog::readSliders() {
    uint8_t parts[4];
    for (int i = 0; i < 4; ++i)
        parts[i] =
            static_cast<uint8_t>(std::clamp(std::lround(sliders[i]->numericValue()), 0L, 255L));
    color = SDL_Color{parts[0], parts[1], parts[2], parts[3]};
}

void GuiColorPickerDialog::syncHexField() {
    std::string text;
    hexField->getValue(text);
    if (!hexField->hasFocus) {
        const std::string hex = formatHexColor(color);
        if (text != hex) {
            hexField->setText(hex);
            hexText = hex;
        }
        return;
    }
    if (text == hexText) return;
    SDL_Color typed = color;
    if (parseHexColor(text, typed)) {
        setSliders(typed);
        color = typed;
    }
    // Parsed once, valid or not: the same text is not looked at again.
    hexText = text;
}

void GuiColorPickerDialog::showValues() {
    for (int i = 0; i < 4; ++i) {
        const std::string value = std::to_string(component(color, i));
        // Only a change repaints the label.
        if (valueLabels[i]->text != value) valueLabels[i]->setValue(value);
    }
}

void GuiColorPickerDialog::update(uint32_t now) {
    GuiDialog::update(now);
    readSliders();
    syncHexField();
    showValues();
}

void GuiColorPickerDialog::drawPreview(SDL_Renderer* r) {
    const SDL_Rect& p = previewRect;
    for (int row = 0; row * kCheckerCell < p.h; ++row) {
        for (int col = 0; col * kCheckerCell < p.w; ++col) {
            const SDL_Rect cell{p.x + col * kCheckerCell, p.y + row * kCheckerCell,
                                std::min(kCheckerCell, p.w - col * kCheckerCell),
                                std::min(kCheckerCell, p.h - row * kCheckerCell)};
            setColor(r, (col + row) % 2 ? kCheckerLight : kCheckerDark);
            SDL_RenderFillRect(r, &cell);
        }
    }
    SDL_BlendMode previous = SDL_BLENDMODE_NONE;
    SDL_GetRenderDrawBlendMode(r, &previous);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    setColor(r, color);
    SDL_RenderFillRect(r, &p);
    SDL_SetRenderDrawBlendMode(r, previous);
    setColor(r, kOutline);
    SDL_RenderDrawRect(r, &p);
}

void GuiColorPickerDialog::draw(SDL_Renderer* r) {
    GuiDialog::draw(r);
    drawPreview(r);
}

void GuiColorPickerDialog::onCommand(GuiEvent& e) {
    if (e.code != CMD_ACTIVATED) return;
    for (GuiColorSwatch* swatch : swatches)
        if (e.source == swatch) setSliders(swatch->bgColor);
}

void GuiColorPickerDialog::accept() {
    // Return may come before the next frame has taken in what was just typed.
    readSliders();
    syncHexField();
    accepted = true;
    endModal(1);
}

void GuiColorPickerDialog::cancel() {
    accepted = false;
    endModal(2);
}

GuiColorPickerDialog* showColorPickerDialog(const std::string& title, SDL_Color initial) {
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine || !engine->mainWindow) return nullptr;
    const int w = GuiColorPickerDialog::kWidth, h = GuiColorPickerDialog::kHeight;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    engine->centreOnMainWindow(x, y, w, h);
    AppWindow* record = engine->createWindow(title, x, y, w, h, SDL_WINDOW_SHOWN);
    auto* dialog = new GuiColorPickerDialog(record, -1, 0, 0, w, h, kDialogColor, initial);
    record->root.reset(dialog);
    if (!engine->registerWindow(record, title, w, h)) {
        delete record;  // takes the dialog with it
        return nullptr;
    }
    engine->setModalFor(record);
    engine->setModal(dialog);
    return dialog;
}
