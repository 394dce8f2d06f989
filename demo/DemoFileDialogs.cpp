// The file dialogs reached from F7, F8 and the "Datei" and "Dialoge" menus.
#include "demo/Demo.h"

#include "dialogs/FileDialog.h"

#include <cstdlib>

namespace {

constexpr int kFileDialogWidth = 480;
constexpr int kFileDialogHeight = 420;

// HOME, or the root when it is not set (or empty).
std::string startDirectory() {
    const char* home = std::getenv("HOME");
    return home && *home ? home : "/";
}

}  // namespace

void Demo::showOpenDialog(AppWindow*, const std::vector<std::string>& filters) {
    showOpenFileDialog("Datei öffnen", kFileDialogWidth, kFileDialogHeight, startDirectory(),
                       filters);
}

void Demo::showSaveDialog(AppWindow*) {
    showSaveFileDialog("Datei speichern", kFileDialogWidth, kFileDialogHeight, startDirectory(),
                       "unbenannt.txt", {});
}

bool Demo::logFileDialogEnded(const GuiEvent& e) {
    auto* dialog = dynamic_cast<GuiFileDialog*>(e.source);
    if (!dialog) return false;
    // Shown as the list shows names: a line feed in a name must not split the log line.
    const bool chosen = e.id == 1 && dialog->hasResult;
    appendLog(std::string(dialog->className()) + ": " +
              (chosen ? displayFileName(dialog->resultPath) : "abgebrochen"));
    return true;
}
