// A form: a name field, a multi-line note, a list of what was entered and a button that adds
// the name to the list. Text fields blink their caret; an unchanged window costs nothing.
// Run with "--quit-after MS" to end by itself.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "core/Application.h"
#include "text/TextCtrl.h"

#include <string>

class Form : public GuiApplication {
public:
    enum { kAddButton = 1 };

    Form() {
        diagnostics = false;  // no "Charmap ..." or "BUTTON DOWN" lines on standard output
        mainWindow = createMainWindow("Formular", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      520, 330, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
        GuiWindow* root = mainWindow->root.get();
        TTF_Font* font = getDefaultFont();
        const SDL_Color white{255, 255, 255, 255}, ink{0, 0, 0, 255};
        root->addChild(new GuiLabel(nullptr, 0, 20, 20, 80, 24, ink, "Name:", font));
        name = new GuiTextCtrl(nullptr, 0, 100, 16, 240, 26, white, getFtFace(), 0);
        root->addChild(name);
        root->addChild(new GuiLabel(nullptr, 0, 20, 60, 80, 24, ink, "Notiz:", font));
        note = new GuiTextCtrl(nullptr, 0, 100, 56, 240, 120, white, getFtFace(),
                               TEXT_MULTILINE | TEXT_WORDWRAP);
        root->addChild(note);
        root->addChild(new GuiButton(nullptr, kAddButton, 360, 16, 140, 28, {200, 200, 200, 255},
                                     "Hinzufügen", font, 0));
        list = new GuiListCtrl(nullptr, 0, 20, 190, 480, 120, white, font);
        root->addChild(list);
        root->setFocus(name);  // typing goes to the name field
    }

protected:
    void onCommand(AppWindow*, GuiEvent& e) override {
        if (e.code != CMD_ACTIVATED || e.id != kAddButton) return;
        std::string text;
        name->getValue(text);
        if (text.empty()) return;
        list->addItem(static_cast<uint32_t>(++entries), text);
        list->invalidate();
        name->setValue("");
    }

private:
    GuiTextCtrl* name = nullptr;
    GuiTextCtrl* note = nullptr;
    GuiListCtrl* list = nullptr;
    int entries = 0;
};

int main(int argc, char** argv) {
    Form app;
    if (argc == 3 && std::string(argv[1]) == "--quit-after")
        app.addTimer(std::stoul(argv[2]), [&app] { app.quitRequested = true; });
    app.run();
    return 0;
}
