// The main window's menu bar and what its commands do.
#include "demo/Demo.h"

#include "controls/Menus.h"
#include "dialogs/InputDialog.h"
#include "dialogs/MessageBox.h"

#include <memory>

namespace {

constexpr SDL_Color kBarColor{192, 192, 192, 255};
constexpr SDL_Color kMenuColor{255, 255, 255, 255};

struct Row {
    uint32_t id;
    const char* label;
    const char* name;
};

std::unique_ptr<GuiMenu> makeMenu(const char* title, const char* name, int width, TTF_Font* font,
                                  std::initializer_list<Row> rows) {
    auto menu = std::make_unique<GuiMenu>(nullptr, -1, 0, 0, width, 0, kMenuColor, title, font);
    menu->setName(name);
    menu->setKeepAlive(true);
    for (const Row& row : rows)
        menu->addItem(row.id, row.label)->name = row.name;
    return menu;
}

}  // namespace

// Built anew each time the submenu opens, so it always holds exactly these three rows.
void fillRecentFiles(GuiMenu* submenu) {
    submenu->items.clear();
    submenu->addItem(1100, "Didel &1")->name = "recent1";
    submenu->addItem(1101, "Didel &2")->name = "recent2";
    submenu->addItem(1102, "Didel &3")->name = "recent3";
}

void Demo::buildMenuBar() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();
    menuBar = new GuiMenuBar(nullptr, -1, kBarColor, "MenuBar", font);
    root->addChild(menuBar);

    auto file = makeMenu("Datei", "file", 220, font,
                         {{257, "&Neu", "file_new"}, {258, "Ö&ffnen...", "file_open"}});
    file->addItem(0, "Zu&letzt verwendet", true, fillRecentFiles)->name = "file_recent";
    file->addItem(259, "&Speichern...")->name = "file_save";
    file->addItem(65534, "Beenden")->name = "file_quit";

    auto edit = makeMenu("Bearbeiten", "edit", 220, font,
                         {{2001, "Rückgängig", "edit_undo"},
                          {2002, "Wiederholen", "edit_redo"},
                          {0, "Erweitert", "edit_advanced"}});
    auto dialogs = makeMenu("Dialoge", "dialogs", 300, font,
                            {{8192, "Datei öffnen... (F7)", "dlg_open"},
                             {8193, "Datei öffnen, nur .png...", "dlg_open_png"},
                             {8194, "Datei speichern... (F8)", "dlg_save"},
                             {8195, "Farbe wählen... (F9)", "dlg_color"},
                             {8196, "Testdialog... (F3)", "dlg_test"},
                             {8197, "Meldung: Information, OK", "dlg_msg_ok"},
                             {8198, "Meldung: Warnung, Enter bricht ab", "dlg_msg_ok_cancel"},
                             {8199, "Meldung: Frage, Ja/Nein", "dlg_msg_yes_no"},
                             {8200, "Meldung: Fehler, Ja/Nein/Abbrechen", "dlg_msg_yes_no_cancel"},
                             {8201, "Meldung: im Vordergrund", "dlg_msg_on_top"},
                             {8202, "Eingabe...", "dlg_input"},
                             {8203, "Eingabe, mehrzeilig...", "dlg_input_multi"}});
    auto help = makeMenu("Help", "help", 220, font,
                         {{2003, "Rückgängig", "help_undo"},
                          {2004, "Wiederholen", "help_redo"},
                          {0, "Erweitert", "help_advanced"}});
    menuBar->addMenu("&Datei", std::move(file));
    menuBar->addMenu("&Bearbeiten", std::move(edit));
    menuBar->addMenu("D&ialoge", std::move(dialogs));
    menuBar->addMenu("&Hilfe", std::move(help));
}

// The commands that open dialogs are wired together with the dialogs; "Beenden" is handled
// by the command dispatch itself.
bool Demo::handleMenuCommand(AppWindow* window, uint32_t itemId) {
    const std::string question = "Soll die Demo wirklich weiterlaufen?";
    switch (itemId) {
        case 258:
        case 8192:
            showOpenDialog(window, {});
            return true;
        case 8193:
            showOpenDialog(window, {".png"});
            return true;
        case 259:
        case 8194:
            showSaveDialog(window);
            return true;
        case 8195:
            showColorDialog(window);
            return true;
        case 8196:
            openTestDialog(window);
            return true;
        case 8197:
            showMessageBox("Eine Meldung mit nur einem Button.", "Meldung", 0x1100, -1, -1);
            return true;
        // Bit 0x1 is set as well; no option uses it.
        case 8198:
            showMessageBox("Mit OK bestätigen oder abbrechen. Enter bricht hier ab.", "Bestätigung",
                           0x21203, -1, -1);
            return true;
        case 8199:
            showMessageBox(question, "Frage", 0x180C, -1, -1);
            return true;
        case 8200:
            showMessageBox(question, "Frage", 0x4140E, -1, -1);
            return true;
        case 8201:
            showMessageBox(
                "Diese Meldung bleibt über allen Fenstern, wenn der Fenstermanager das "
                "unterstützt.",
                "Im Vordergrund", 0x3100, -1, -1);
            return true;
        case 8202:
            showInputDialog("Neuer Name:", "Eingabe", "Rechteck", 0);
            return true;
        case 8203:
            showInputDialog("Beschriftung (Enter beginnt eine neue Zeile):", "Eingabe, mehrzeilig",
                            "Erste Zeile", INPUT_MULTILINE);
            return true;
        default:
            return false;
    }
}
