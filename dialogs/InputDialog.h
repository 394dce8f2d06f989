// The input dialog: asks for one text value with a prompt, a single- or multi-line text field
// and the buttons "OK" and "Abbrechen".
#pragma once

#include "core/Window.h"

#include <cstdint>
#include <string>

class GuiButton;
class GuiTextCtrl;

enum : uint32_t {
    INPUT_MULTILINE = 0x1,
};

class GuiInputDialog : public GuiDialog {
public:
    static constexpr int kWidth = 420;
    static constexpr int kHeightSingle = 117;
    static constexpr int kHeightMulti = 213;

    // Builds the prompt, the field (filled with defaultValue) and the buttons.
    GuiInputDialog(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color bgColor,
                   const std::string& prompt, const std::string& defaultValue, uint32_t flags);

    static int heightFor(uint32_t flags) {
        return (flags & INPUT_MULTILINE) ? kHeightMulti : kHeightSingle;
    }

    // The field's current text.
    std::string value() const;

    const char* className() const override { return "GuiInputDialog"; }
    void handleEvent(GuiEvent& e) override;
    void accept() override;
    void cancel() override;

    uint32_t flags = 0;
    bool accepted = false;
    bool inEvent = false;
    GuiTextCtrl* textCtrl = nullptr;
    GuiButton* okButton = nullptr;
    GuiButton* cancelButton = nullptr;

private:
    void addChildren(const std::string& prompt);
    // Return while the multi-line field has the focus is meant for the text.
    bool returnBelongsToText() const;
    void insertLineBreak();
};

// Opens the dialog modal over the main window and returns at once; null without a main window
// or when the window could not be registered.
GuiInputDialog* showInputDialog(const std::string& prompt, const std::string& title,
                                const std::string& defaultValue, uint32_t flags);
