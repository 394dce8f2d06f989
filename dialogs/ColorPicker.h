// The colour picker: a modal dialog with four channel sliders, a hexadecimal field, a preview
// over a checkerboard and a row of preset swatches, plus the arithmetic it is built from.
#pragma once

#include "core/Window.h"

#include <string>
#include <vector>

class GuiButton;
class GuiLabel;
class GuiSlider;
class GuiTextCtrl;

// "#RRGGBBAA" in upper case.
std::string formatHexColor(SDL_Color c);
// Accepts 6 or 8 hexadecimal digits (either case) after at most one leading "#"; six digits
// keep io's alpha. False, with io unchanged, for anything else.
bool parseHexColor(const std::string& text, SDL_Color& io);
// The preset colours, in swatch order.
const std::vector<SDL_Color>& colorPickerPalette();
// Top-left corners of the swatches in a dialog of width w: rows from (10, 182), a new row
// when a swatch would end too close to the right edge, but never before a row's first one.
std::vector<SDL_Point> colorSwatchPositions(int w);

// One preset colour: its background is the colour, its id the palette index. A click (press
// and release inside) posts CMD_ACTIVATED.
class GuiColorSwatch : public GuiObject {
public:
    GuiColorSwatch(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color);
    const char* className() const override { return "GuiColorSwatch"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;

    bool pressed = false;
};

class GuiColorPickerDialog : public GuiDialog {
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 310;
    static constexpr SDL_Rect kPreviewRect{10, 10, 70, 44};

    GuiColorPickerDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                         SDL_Color bgColor, SDL_Color initial);

    const char* className() const override { return "GuiColorPickerDialog"; }
    void update(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void accept() override;
    void cancel() override;
    void onCommand(GuiEvent& e) override;

    void setSliders(SDL_Color c);

    SDL_Color color;
    bool accepted = false;
    std::string hexText;
    GuiSlider* sliders[4] = {};
    GuiLabel* valueLabels[4] = {};
    GuiTextCtrl* hexField = nullptr;
    GuiButton* okButton = nullptr;
    GuiButton* cancelButton = nullptr;
    SDL_Rect previewRect = kPreviewRect;
    std::vector<GuiColorSwatch*> swatches;

private:
    void addChannelRows();
    void addSwatches();
    void addButtons();
    void readSliders();
    void syncHexField();
    void showValues();
    void drawPreview(SDL_Renderer* r);
};

// Opens the dialog modal over the main window with the given colour and returns at once; null
// without a main window or when the window could not be registered.
GuiColorPickerDialog* showColorPickerDialog(const std::string& title, SDL_Color initial);
