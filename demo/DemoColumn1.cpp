// The catalogue's column 1 and the status bar.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "core/Sizer.h"
#include "demo/Demo.h"

#include <memory>
#include <vector>

namespace {

constexpr SDL_Color kControlGrey{192, 192, 192, 255};
constexpr SDL_Color kPanelGrey{230, 230, 230, 255};
constexpr SDL_Color kSliderBack{200, 200, 200, 255};
constexpr SDL_Color kSliderTrack{150, 150, 150, 255};
constexpr SDL_Color kGreen{80, 180, 80, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kStatusGrey{240, 240, 240, 255};

constexpr int kToggleKind = BUTTON_TOGGLE;
constexpr int kRepeatKind = BUTTON_REPEAT;
constexpr int kCounterId = 5001;
constexpr int kSliderId = 2001;
constexpr int kSpinId = 3001;
constexpr int kGaugeId = 1001;
constexpr int kSizerBorderAll = SIZER_LEFT | SIZER_RIGHT | SIZER_TOP | SIZER_BOTTOM;

// The groups live as long as the process, like the buttons they join.
std::vector<std::unique_ptr<GuiButtonGroup>>& buttonGroups() {
    static std::vector<std::unique_ptr<GuiButtonGroup>> groups;
    return groups;
}

GuiButtonGroup* newGroup() {
    buttonGroups().push_back(std::make_unique<GuiButtonGroup>());
    return buttonGroups().back().get();
}

}  // namespace

void Demo::addSectionTitle(int x, int y, int width, const std::string& text) {
    GuiWindow* root = mainRoot();
    if (!root) return;
    root->addChild(
        new GuiLabel(nullptr, -1, x, y, width, 18, kControlGrey, text, getDefaultFont()));
}

void Demo::buildColumn1() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    SDL_Renderer* renderer = mainWindow->sdlRenderer();

    addSectionTitle(10, 35, 280, "Buttons");
    root->addChild(
        named(new GuiButton(nullptr, 0, 10, 53, 100, 25, kControlGrey, "Button 1", font, 0),
              "Ein einfacher Button", "button1"));
    auto* button2 = named(
        new GuiButton(nullptr, 0, 10, 82, 100, 25, kControlGrey, "Button 2", font, kToggleKind),
        "Toggle-Button (bleibt gedrückt)", "button2");
    root->addChild(button2);
    root->addChild(named(new GuiImageButton(nullptr, 0, 130, 53, 50, 50, kControlGrey, renderer, 0),
                         "Bild-Button (Default-Icon)", "image_button"));
    auto* imageToggle =
        new GuiImageButton(nullptr, 0, 190, 53, 50, 50, kControlGrey, renderer, kToggleKind);
    // A missing picture leaves the button without image; the log says why.
    if (!imageToggle->loadImage(renderer, "tovik_small.png"))
        SDL_Log(
            "Beispielbild \"tovik_small.png\" nicht lesbar, Bild-Steuerelemente bleiben "
            "ohne Bild: %s",
            SDL_GetError());
    root->addChild(named(imageToggle, "Bild-Toggle-Button", "image_toggle"));
    root->addChild(named(new GuiButton(nullptr, kCounterId, 10, 111, 100, 25, kControlGrey,
                                       "Zähler ++", font, kRepeatKind),
                         "Gedrückt halten zum Wiederholen", "counter"));
    counterLabel = named(new GuiLabel(nullptr, -1, 120, 111, 60, 25, kControlGrey, "0", font),
                         "Klick-/Wiederholungszähler", "counter_value");
    root->addChild(counterLabel);

    addSectionTitle(10, 146, 280, "Checkboxen & Radiobuttons");
    auto* check1 =
        named(new GuiCheckBox(nullptr, 0, 10, 164, 128, 25, kControlGrey, "Checkbox 1", font),
              "Unabhängige Option 1", "checkbox1");
    root->addChild(check1);
    auto* check2 =
        named(new GuiCheckBox(nullptr, 0, 10, 193, 128, 25, kControlGrey, "Checkbox 2", font),
              "Unabhängige Option 2", "checkbox2");
    root->addChild(check2);
    auto* radio1 =
        named(new GuiRadioButton(nullptr, 0, 140, 164, 100, 25, kControlGrey, "Radio 1", font),
              "Sich gegenseitig ausschließende Option 1", "radio1");
    root->addChild(radio1);
    auto* radio2 =
        named(new GuiRadioButton(nullptr, 0, 140, 193, 100, 25, kControlGrey, "Radio 2", font),
              "Sich gegenseitig ausschließende Option 2", "radio2");
    root->addChild(radio2);
    for (GuiButton* b : {static_cast<GuiButton*>(button2), static_cast<GuiButton*>(imageToggle),
                         static_cast<GuiButton*>(check1), static_cast<GuiButton*>(check2),
                         static_cast<GuiButton*>(radio1), static_cast<GuiButton*>(radio2)})
        logToggles(b);
    GuiButtonGroup* radios = newGroup();
    radios->add(radio1);
    radios->add(radio2);
    toggleGroup = newGroup();
    toggleGroup->add(button2);
    toggleGroup->add(imageToggle);

    auto* panel =
        named(new GuiPanel(nullptr, -1, 10, 228, 280, 70, kPanelGrey, "Panel & Sizer", font),
              "Ein Panel mit horizontalem Sizer", "panel");
    root->addChild(panel);
    struct PanelButton {
        const char* label;
        const char* name;
        const char* tooltip;
        int proportion;
    };
    const PanelButton panelButtons[] = {
        {"A", "panel_a", "Button A auf einem Panel", 0},
        {"B", "panel_b", "Button B (wächst mit dem Sizer)", 1},
        {"C", "panel_c", "Button C auf einem Panel", 0},
    };
    auto* row = new GuiBoxSizer(0, 4);
    for (const PanelButton& pb : panelButtons) {
        auto* b = new GuiButton(nullptr, 0, 0, 0, 60, 25, kControlGrey, pb.label, font, 0);
        panel->addChild(b);
        named(b, pb.tooltip, pb.name);
        row->add(b, pb.proportion, kSizerBorderAll, 4);
    }
    panel->setSizer(row);

    buildComboSection();

    addSectionTitle(10, 360, 280, "Slider & SpinBox");
    root->addChild(named(new GuiSlider(nullptr, kSliderId, 10, 378, 180, 24, kSliderBack,
                                       kSliderTrack, kGreen, 0, 100, 25, 0),
                         "Horizontaler Regler (0-100)", "slider"));
    root->addChild(named(new GuiSlider(nullptr, kSliderId, 10, 406, 24, 150, kSliderBack,
                                       kSliderTrack, kGreen, 0, 100, 25, 1),
                         "Vertikaler Regler (0-100)", "slider_vertical"));
    root->addChild(named(new GuiSpinBox(nullptr, kSpinId, 50, 406, 60, 24, kWhite, kBlack, kBlack,
                                        font, 0, 100, 42, 1),
                         "Wert per Pfeil oder Eingabe ändern", "spin"));

    addSectionTitle(10, 566, 280, "Gauges & Labels");
    gaugeH = named(
        new GuiGauge(nullptr, kGaugeId, 10, 584, 280, 24, kSliderBack, kGreen, kBlack, font, 0),
        "Horizontale Gauge", "gauge");
    root->addChild(gaugeH);
    gaugeV = named(
        new GuiGauge(nullptr, kGaugeId, 10, 612, 40, 90, kSliderBack, kGreen, kBlack, font, 1),
        "Vertikale Gauge", "gauge_vertical");
    root->addChild(gaugeV);
    root->addChild(named(new GuiLabel(nullptr, 1002, 70, 612, 120, 25, kGreen, "Testlabel1", font),
                         "Ein einfaches Label", "label1"));
    root->addChild(named(new GuiLabel(nullptr, 1003, 70, 641, 120, 25, kGreen, "Testlabel2", font),
                         "Noch ein Label", "label2"));
}

void Demo::buildStatusBar() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    statusBar = named(new GuiStatusBar(nullptr, -1, kStatusGrey, getDefaultFont()), "Statusleiste",
                      "statusbar");
    root->addChild(statusBar);
    statusBar->y = 938;
    statusBar->setPanes({-1, 200});
    statusBar->setText("Bereit", 0);
    statusBar->setText("tambergui Demo", 1);
}
