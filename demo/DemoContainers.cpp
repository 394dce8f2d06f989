// The catalogue's containers: the scrolled panel of column 2, the notebook with its six pages
// and the splitter of column 3. Controls on notebook pages are white unless noted.
#include "demo/Demo.h"

#include "controls/Buttons.h"
#include "controls/Containers.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "core/Sizer.h"
#include "text/TextCtrl.h"

#include <string>

namespace {

constexpr SDL_Color kControlGrey{192, 192, 192, 255};
constexpr SDL_Color kPaneGrey{230, 230, 230, 255};
constexpr SDL_Color kFieldGrey{240, 240, 240, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kSliderBack{200, 200, 200, 255};
constexpr SDL_Color kSliderTrack{150, 150, 150, 255};
constexpr SDL_Color kGreen{80, 180, 80, 255};
constexpr int kSizerBorderAll = SIZER_LEFT | SIZER_RIGHT | SIZER_TOP | SIZER_BOTTOM;
constexpr int kThresholdId = 2002;

const char* const kWrapText =
    "Dieses Textfeld bricht lange Zeilen am Wortende um und braucht deshalb keinen waagrechten "
    "Rollbalken. Ein Wort, das breiter als das Feld ist, wird mitten im Wort getrennt: "
    "Donaudampfschifffahrtsgesellschaftskapitänswitwenrentenversicherungsanstaltsbeamtenausbildu"
    "ngsverordnungsänderungsgesetz. Tippen Sie hier weiter, um den Umbruch zu sehen.";

GuiButton* addButton(GuiPanel* pane, SDL_Rect r, SDL_Color color, const std::string& label,
                     TTF_Font* font) {
    auto* b = new GuiButton(nullptr, 0, r.x, r.y, r.w, r.h, color, label, font, 0);
    pane->addChild(b);
    return b;
}

}  // namespace

void Demo::buildScrolledPanel() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    addSectionTitle(310, 627, 280, "Scrollbares Panel (GuiScrolledPanel)");
    auto* scrolled = new GuiScrolledPanel(nullptr, -1, 310, 645, 280, 150, kWhite);
    root->addChild(scrolled);
    named(scrolled, "Scrollbarer Bereich mit 10 Einträgen", "scrolled");
    auto* column = new GuiBoxSizer(1, 4);
    for (int d = 0; d <= 9; ++d) {
        const std::string digit = std::to_string(d);
        auto* row =
            new GuiButton(nullptr, 0, 0, 0, 254, 25, kControlGrey, "Eintrag " + digit, font, 0);
        scrolled->addChild(row);
        row->setTooltip("Eintrag Nr. " + digit);
        row->setName("row" + digit);
        column->add(row, 0, kSizerBorderAll, 4);
    }
    scrolled->setSizer(column);
}

void Demo::buildNotebook() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    FT_Face face = getFtFace();
    addSectionTitle(610, 189, 620, "Notizbuch (GuiNotebook)");
    auto* book = new GuiNotebook(nullptr, -1, 610, 207, 620, 150, kWhite, font);
    root->addChild(book);
    book->setName("notebook");

    GuiPanel* general = book->addPage("Allgemein", "tab_general");
    auto* optionA = new GuiCheckBox(nullptr, 0, 10, 10, 160, 25, kWhite, "Option A", font);
    general->addChild(optionA);
    named(optionA, "Schaltet Option A um", "option_a");
    auto* optionB = new GuiCheckBox(nullptr, 0, 10, 39, 160, 25, kWhite, "Option B", font);
    general->addChild(optionB);
    named(optionB, "Schaltet Option B um", "option_b");
    logToggles(optionA);
    logToggles(optionB);

    GuiPanel* advanced = book->addPage("Erweitert", "tab_advanced");
    advanced->addChild(new GuiLabel(nullptr, -1, 10, 10, 200, 25, kWhite, "Grenzwert:", font));
    auto* threshold = new GuiSlider(nullptr, kThresholdId, 10, 39, 200, 24, kSliderBack,
                                    kSliderTrack, kGreen, 0, 100, 50, 0);
    advanced->addChild(threshold);
    named(threshold, "Grenzwert einstellen (0-100)", "threshold");

    GuiPanel* info = book->addPage("Info", "tab_info");
    auto* about = new GuiLabel(nullptr, -1, 10, 10, 300, 25, kWhite,
                               "tambergui Demo - GuiNotebook-Beispiel", font);
    info->addChild(about);
    about->setTooltip("Info-Seite des Notizbuchs");

    GuiPanel* input = book->addPage("Eingabe", "tab_input");
    input->addChild(new GuiLabel(nullptr, -1, 6, 8, 80, 22, kWhite, "Passwort:", font));
    auto* password = new GuiTextCtrl(nullptr, -1, 90, 8, 240, 22, kFieldGrey, face, TEXT_PASSWORD);
    input->addChild(password);
    password->setText("wolken");
    named(password, "Zeigt Punkte, lässt sich nicht kopieren", "password");
    auto* wrap = new GuiTextCtrl(nullptr, -1, 6, 36, 608, input->height - 42, kFieldGrey, face,
                                 TEXT_MULTILINE | TEXT_WORDWRAP);
    input->addChild(wrap);
    named(wrap, "Mehrzeilig mit Wortumbruch", "text_wrap");
    wrap->setText(kWrapText);

    GuiPanel* sizerPage = book->addPage("Sizer", "tab_sizer");
    auto* grid = new GuiGridSizer(2, 3, 4, 4);
    for (int i = 1; i <= 6; ++i) {
        const std::string digit = std::to_string(i);
        GuiButton* cell = addButton(sizerPage, {0, 0, 60, 25}, kWhite, "Zelle " + digit, font);
        cell->setName("cell" + digit);
        grid->add(cell, 0, SIZER_EXPAND, 0);
    }
    auto* stack = new GuiBoxSizer(1, 4);
    GuiButton* top = addButton(sizerPage, {0, 0, 60, 25}, kWhite, "Oben", font);
    top->setName("stack_top");
    stack->add(top, 1, SIZER_EXPAND, 0);
    GuiButton* bottom = addButton(sizerPage, {0, 0, 60, 25}, kWhite, "Unten", font);
    bottom->setName("stack_bottom");
    stack->add(bottom, 1, SIZER_EXPAND, 0);
    auto* row = new GuiBoxSizer(0, 4);
    row->addSizer(grid, 3, SIZER_EXPAND | kSizerBorderAll, 6);
    row->addSizer(stack, 1, SIZER_EXPAND | kSizerBorderAll, 6);
    sizerPage->setSizer(row);

    GuiPanel* splitPage = book->addPage("Splitter", "tab_split");
    auto* split =
        new GuiSplitterWindow(nullptr, -1, 0, 0, splitPage->width, splitPage->height, kPaneGrey, 1);
    splitPage->addChild(split);
    split->setName("splitter_horizontal");
    addButton(split->firstPane.get(), {10, 8, 100, 25}, kWhite, "Oben", font)->setName("split_top");
    addButton(split->secondPane.get(), {10, 8, 100, 25}, kWhite, "Unten", font)
        ->setName("split_bottom");
}

void Demo::buildSplitter() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    addSectionTitle(610, 367, 620, "Geteiltes Fenster (GuiSplitterWindow)");
    auto* splitter = new GuiSplitterWindow(nullptr, -1, 610, 385, 620, 100, kPaneGrey, 0);
    root->addChild(splitter);
    splitter->setName("splitter");
    struct Side {
        GuiPanel* pane;
        const char* caption;
        const char* captionTip;
        const char* button;
        const char* buttonTip;
        const char* name;
    } sides[] = {
        {splitter->firstPane.get(), "Linke Seite", "Label in der linken Pane", "Links",
         "Button in der linken Pane", "left"},
        {splitter->secondPane.get(), "Rechte Seite", "Label in der rechten Pane", "Rechts",
         "Button in der rechten Pane", "right"},
    };
    for (const Side& s : sides) {
        auto* label = new GuiLabel(nullptr, -1, 10, 10, 200, 25, kPaneGrey, s.caption, font);
        s.pane->addChild(label);
        label->setTooltip(s.captionTip);
        named(addButton(s.pane, {10, 39, 100, 25}, kControlGrey, s.button, font), s.buttonTip,
              s.name);
    }
}
