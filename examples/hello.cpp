// The smallest complete program: a window with a label and a button that counts its clicks.
// Run with "--quit-after MS" to end by itself (as the package test does).
#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "core/Application.h"

#include <string>

class Hello : public GuiApplication {
public:
    enum { kCountButton = 1 };

    Hello() {
        mainWindow = createMainWindow("Hallo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 360,
                                      140, SDL_WINDOW_SHOWN, {230, 230, 230, 255});
        GuiWindow* root = mainWindow->root.get();
        label = new GuiLabel(nullptr, 0, 20, 20, 320, 24, {0, 0, 0, 255}, "Noch nicht geklickt",
                             getDefaultFont());
        root->addChild(label);
        root->addChild(new GuiButton(nullptr, kCountButton, 20, 70, 140, 30, {200, 200, 200, 255},
                                     "Klick mich", getDefaultFont(), 0));
    }

protected:
    void onCommand(AppWindow*, GuiEvent& e) override {
        if (e.code == CMD_ACTIVATED && e.id == kCountButton)
            label->setValue("Geklickt: " + std::to_string(++clicks));  // redraws the label
    }

private:
    GuiLabel* label = nullptr;
    int clicks = 0;
};

int main(int argc, char** argv) {
    Hello app;
    if (argc == 3 && std::string(argv[1]) == "--quit-after")
        app.addTimer(std::stoul(argv[2]), [&app] { app.quitRequested = true; });
    app.run();
    return 0;
}
