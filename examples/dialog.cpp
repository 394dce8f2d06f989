// A modal dialog: the button asks a question in a message box; the answer arrives as
// CMD_DIALOG_ENDED with the result in the event's id, and the label shows it. A repeating timer
// counts the seconds in the status line meanwhile.
// Run with "--quit-after MS" to end by itself.
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "core/Application.h"
#include "dialogs/MessageBox.h"

#include <string>

class DialogExample : public GuiApplication {
public:
    enum { kAskButton = 1 };

    DialogExample() {
        mainWindow = createMainWindow("Dialog", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 400,
                                      160, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
        GuiWindow* root = mainWindow->root.get();
        TTF_Font* font = getDefaultFont();
        root->addChild(new GuiButton(nullptr, kAskButton, 20, 20, 160, 30, {200, 200, 200, 255},
                                     "Frage stellen", font, 0));
        answer = new GuiLabel(nullptr, 0, 20, 70, 360, 24, {0, 0, 0, 255}, "", font);
        root->addChild(answer);
        clock = new GuiLabel(nullptr, 0, 20, 110, 360, 24, {80, 80, 80, 255}, "0 s", font);
        root->addChild(clock);
        addTimer(
            1000, [this] { clock->setValue(std::to_string(++seconds) + " s"); }, true);
    }

protected:
    void onCommand(AppWindow*, GuiEvent& e) override {
        if (e.code == CMD_ACTIVATED && e.id == kAskButton) {
            showMessageBox("Gefällt Ihnen das Beispiel?", "Frage",
                           MB_YES | MB_NO | MB_ICON_QUESTION | MB_CENTER, 0, 0);
        } else if (e.code == CMD_DIALOG_ENDED) {
            answer->setValue("Antwort: " + std::to_string(e.id));
        }
    }

private:
    GuiLabel* answer = nullptr;
    GuiLabel* clock = nullptr;
    int seconds = 0;
};

int main(int argc, char** argv) {
    DialogExample app;
    if (argc == 3 && std::string(argv[1]) == "--quit-after")
        app.addTimer(std::stoul(argv[2]), [&app] { app.quitRequested = true; });
    app.run();
    return 0;
}
