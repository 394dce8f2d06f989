// The dialogs reached from the menus and the function keys.
#include "demo/Demo.h"

#include "controls/Buttons.h"
#include "controls/Menus.h"
#include "dialogs/ColorPicker.h"
#include "dialogs/MessageBox.h"
#include "text/TextCtrl.h"

#include <memory>

namespace {

constexpr SDL_Color kDialogColor{200, 200, 200, 255};
constexpr SDL_Color kControlColor{192, 192, 192, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr int kMenuWidth = 220;

constexpr const char* kCaptionText =
    "Das ist nur eine simple MessageBox mit einem sehr langen Text um zu sehen ob die "
    "Zeilentrennung gut funktioniert!\n\nHier geht es weiter!";

std::unique_ptr<GuiMenu> makeMenu(const std::string& title, const char* name, TTF_Font* font) {
    auto menu = std::make_unique<GuiMenu>(nullptr, -1, 0, 0, kMenuWidth, 0, kWhite, title, font);
    menu->setName(name);
    menu->setKeepAlive(true);
    return menu;
}

void addRow(GuiMenu* menu, uint32_t id, const char* label, const char* name,
            bool hasSubmenu = false, std::function<void(GuiMenu*)> onOpen = {}) {
    menu->addItem(id, label, hasSubmenu, std::move(onOpen))->name = name;
}

void addTestDialogMenuBar(GuiDialog* root, TTF_Font* font) {
    auto* bar = new GuiMenuBar(nullptr, -1, kControlColor, "MenuBar", font);
    root->addChild(bar);
    auto file = makeMenu("Datei", "file", font);
    addRow(file.get(), 257, "&New", "file_new");
    addRow(file.get(), 258, "Ö&ffnen...", "file_open");
    addRow(file.get(), 0, "Zu&letzt verwendet", "file_recent", true, fillRecentFiles);
    auto edit = makeMenu("Bearbeiten", "edit", font);
    addRow(edit.get(), 2001, "Rückgängig", "edit_undo");
    addRow(edit.get(), 2002, "Wiederholen", "edit_redo");
    addRow(edit.get(), 0, "Erweitert", "edit_advanced");
    bar->addMenu("&Datei", std::move(file));
    bar->addMenu("&Bearbeiten", std::move(edit));
}

GuiButton* addTestDialogButton(GuiDialog* root, int id, int y, const char* label,
                               const char* tooltip, const char* name, TTF_Font* font) {
    auto* button = new GuiButton(nullptr, id, 10, y, 100, 25, kControlColor, label, font, 0);
    button->setTooltip(tooltip);
    button->setName(name);
    root->addChild(button);
    return button;
}

}  // namespace

void Demo::handleFunctionKey(AppWindow* window, SDL_Keycode key) {
    switch (key) {
        case SDLK_F3:
            openTestDialog(window);
            break;
        case SDLK_F4:
            showMessageBox(kCaptionText, "Caption", MB_CENTER, 200, 800);
            break;
        case SDLK_F7:
            showOpenDialog(window, {});
            break;
        case SDLK_F8:
            showSaveDialog(window);
            break;
        case SDLK_F9:
            showColorDialog(window);
            break;
        default:
            break;  // F1, F2, F5, F6 and the rest do nothing
    }
}

void Demo::showColorDialog(AppWindow*) {
    showColorPickerDialog("Farbe wählen", SDL_Color{40, 90, 220, 255});
}

void Demo::openTestDialog(AppWindow*) {
    AppWindow* record =
        createDialogWindow("ZazOvadir 2", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                           SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE, kDialogColor);
    if (!record) return;
    auto* root = dynamic_cast<GuiDialog*>(record->root.get());
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    addTestDialogMenuBar(root, font);
    addTestDialogButton(root, 1, 50, "Ok", "Übernehmen und schließen", "ok", font);
    addTestDialogButton(root, 0, 80, "Cancel", "Verwerfen und schließen", "cancel", font);
    auto* text = new GuiTextCtrl(nullptr, -1, 10, 220, 1004, 22, kWhite, getFtFace(), 0);
    text->setTooltip("Textfeld im Testdialog");
    text->setName("text");
    root->addChild(text);
    setModal(root);
    root->setFocus(text);
    activeEditable = text;
}
