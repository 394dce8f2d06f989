#include "dialogs/InputDialog.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "core/Engine.h"
#include "text/TextCtrl.h"

namespace {

constexpr SDL_Color kDialogColor{200, 200, 200, 255};
constexpr SDL_Color kPromptColor{0, 0, 0, 255};
constexpr SDL_Color kFieldColor{255, 255, 255, 255};
constexpr SDL_Color kButtonColor{192, 192, 192, 255};
constexpr int kMargin = 12;
constexpr int kPromptHeight = 20;
constexpr int kFieldTop = 40;
constexpr int kFieldHeightSingle = 24;
constexpr int kFieldHeightMulti = 120;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;
constexpr int kButtonBottomSpace = 37;
constexpr int kOkRightSpace = 220;
constexpr int kCancelRightSpace = 112;

}  // namespace

GuiInputDialog::GuiInputDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                               SDL_Color bgColor, const std::string& prompt,
                               const std::string& defaultValue, uint32_t flags)
    : GuiDialog(appWindow, id, x, y, w, h, bgColor), flags(flags) {
    addChildren(prompt);
    textCtrl->setValue(defaultValue);
}

void GuiInputDialog::addChildren(const std::string& prompt) {
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    FT_Face face = engine ? engine->getFtFace() : nullptr;
    const bool multi = (flags & INPUT_MULTILINE) != 0;
    addChild(new GuiLabel(nullptr, -1, kMargin, kMargin, width - 2 * kMargin, kPromptHeight,
                          kPromptColor, prompt, font, 0));
    textCtrl = new GuiTextCtrl(nullptr, -1, kMargin, kFieldTop, width - 2 * kMargin,
                               multi ? kFieldHeightMulti : kFieldHeightSingle, kFieldColor, face,
                               multi ? 1 : 0);
    textCtrl->setName("input");
    addChild(textCtrl);
    okButton = new GuiButton(nullptr, 1, width - kOkRightSpace, height - kButtonBottomSpace,
                             kButtonWidth, kButtonHeight, kButtonColor, "OK", font, 0);
    okButton->setName("ok");
    addChild(okButton);
    cancelButton = new GuiButton(nullptr, 0, width - kCancelRightSpace, height - kButtonBottomSpace,
                                 kButtonWidth, kButtonHeight, kButtonColor, "Abbrechen", font, 0);
    cancelButton->setName("cancel");
    addChild(cancelButton);
}

std::string GuiInputDialog::value() const {
    std::string out;
    if (textCtrl) textCtrl->getValue(out);
    return out;
}

void GuiInputDialog::handleEvent(GuiEvent& e) {
    inEvent = true;
    GuiDialog::handleEvent(e);
    inEvent = false;
}

bool GuiInputDialog::returnBelongsToText() const {
    return !inEvent && (flags & INPUT_MULTILINE) && textCtrl && textCtrl->hasFocus;
}

void GuiInputDialog::insertLineBreak() {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = appWindow ? appWindow->windowId : 0;
    key.key.state = SDL_PRESSED;
    key.key.keysym.sym = SDLK_RETURN;
    key.key.keysym.scancode = SDL_SCANCODE_RETURN;
    key.key.keysym.mod = KMOD_NONE;
    GuiEvent e = GuiEvent::makeInput(key.key.windowID, &key);
    e.targetId = -1;
    textCtrl->handleEvent(e);
}

void GuiInputDialog::accept() {
    if (returnBelongsToText()) {
        insertLineBreak();
        return;
    }
    accepted = true;
    endModal(1);
}

void GuiInputDialog::cancel() {
    accepted = false;
    endModal(2);
}

GuiInputDialog* showInputDialog(const std::string& prompt, const std::string& title,
                                const std::string& defaultValue, uint32_t flags) {
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine || !engine->mainWindow) return nullptr;
    const int w = GuiInputDialog::kWidth;
    const int h = GuiInputDialog::heightFor(flags);
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    engine->centreOnMainWindow(x, y, w, h);
    AppWindow* record = engine->createWindow(title, x, y, w, h, SDL_WINDOW_SHOWN);
    auto* dialog =
        new GuiInputDialog(record, -1, 0, 0, w, h, kDialogColor, prompt, defaultValue, flags);
    record->root.reset(dialog);
    if (!engine->registerWindow(record, title, w, h)) {
        delete record;  // takes the dialog with it
        return nullptr;
    }
    engine->setModalFor(record);
    engine->setModal(dialog);
    dialog->setFocus(dialog->textCtrl);
    return dialog;
}
