// The file dialogs: a modal chooser that lists one directory (sub-directories first), lets
// the user change place and directory, pick or type a name, and reports the full path.
// GuiOpenFileDialog accepts an existing file; GuiSaveFileDialog accepts a new name and asks
// for a second OK before an existing file is overwritten.
#pragma once

#include "core/Window.h"
#include "dialogs/FileListing.h"

#include <cstdint>
#include <string>
#include <vector>

class GuiButton;
class GuiComboBox;
class GuiLabel;
class GuiListCtrl;
class GuiTextCtrl;

class GuiFileDialog : public GuiDialog {
public:
    // Two presses on the same row this close together (by their event times) make a double
    // click even when the event's click count says 1, as injected presses do.
    static constexpr uint32_t kDoubleClickMs = 400;

    GuiFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor,
                  const std::string& startDir, const std::vector<std::string>& filters,
                  const std::string& okLabel);

    const char* className() const override { return "GuiFileDialog"; }
    void handleEvent(GuiEvent& e) override;
    void accept() override;
    void cancel() override;
    void onCommand(GuiEvent& e) override;
    // Whether path may end the dialog; explains in the status line why not.
    virtual bool validateResult(const std::string& path) = 0;

    void changeDirectory(const std::string& path);
    void refreshListing();
    void fillDrives();
    void setStatus(const std::string& text);
    std::string statusText() const;
    std::string nameText() const;
    void setNameText(const std::string& text);
    // The full path accept() would check for the current name field.
    std::string chosenPath() const;

    std::string currentDir;
    std::vector<std::string> extensionFilters;
    std::vector<FileEntry> entries;
    GuiComboBox* driveCombo = nullptr;
    GuiLabel* pathLabel = nullptr;
    GuiListCtrl* fileList = nullptr;
    GuiTextCtrl* nameField = nullptr;
    GuiLabel* statusLabel = nullptr;
    GuiButton* okButton = nullptr;
    GuiButton* cancelButton = nullptr;
    bool hasResult = false;
    std::string resultPath;
    int32_t lastClickedRow = -1;

protected:
    // True when the name field holds a value the user has typed.
    bool nameIsEmpty() const;

    bool keepNameOnDirectoryChange = false;

private:
    void addChildren(const std::string& okLabel);
    void pressOnList(const SDL_MouseButtonEvent& b);
    void openRow(int row);
    void pickFile(int row);
    void selectPlaceOf(const std::string& dir);

    uint32_t lastPressTime = 0;
    // The shown and the raw name of the file last picked from the list: a name that cannot
    // be typed back (invalid UTF-8, control characters) still opens by its raw bytes.
    std::string pickedShown;
    std::string pickedRaw;
};

class GuiOpenFileDialog : public GuiFileDialog {
public:
    GuiOpenFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor,
                      const std::string& startDir, const std::vector<std::string>& filters);
    const char* className() const override { return "GuiOpenFileDialog"; }
    bool validateResult(const std::string& path) override;
};

class GuiSaveFileDialog : public GuiFileDialog {
public:
    GuiSaveFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor,
                      const std::string& startDir, const std::string& defaultName,
                      const std::vector<std::string>& filters);
    const char* className() const override { return "GuiSaveFileDialog"; }
    bool validateResult(const std::string& path) override;

    std::string pendingOverwrite;
};

// Open the dialogs modal over the main window (centred on it) and return at once; null
// without a main window or when the window could not be registered.
GuiOpenFileDialog* showOpenFileDialog(const std::string& title, int w, int h,
                                      const std::string& startDir,
                                      const std::vector<std::string>& filters);
GuiSaveFileDialog* showSaveFileDialog(const std::string& title, int w, int h,
                                      const std::string& startDir, const std::string& defaultName,
                                      const std::vector<std::string>& filters);
