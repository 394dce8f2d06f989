// Column 1's combo box section.
#include "demo/Demo.h"

#include "controls/ListCtrl.h"

#include <string>

void Demo::buildComboSection() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    addSectionTitle(10, 308, 280, "ComboBox");
    auto* combo = new GuiComboBox(nullptr, 100, 10, 326, 280, 24, SDL_Color{240, 240, 240, 255},
                                  SDL_Color{0, 0, 0, 255}, getDefaultFont(), 150);
    for (int i = 0; i < 1000; ++i)
        combo->addItem(i, "Eintrag " + std::to_string(i));
    combo->addItem(1000, "Eintrag LAST");
    combo->setSelection(0, false);
    root->addChild(combo);
    combo->setTooltip("Klicken zum Aufklappen");
    combo->setName("combo");
}
