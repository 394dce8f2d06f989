// The catalogue's column 3.
#include "demo/Demo.h"

#include "text/TextCtrl.h"

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255};

// Creates a text control in the main window with its tooltip and name.
GuiTextCtrl* addTextCtrl(GuiWindow* root, FT_Face face, SDL_Rect r, int flags, const char* tooltip,
                         const char* name) {
    auto* t = new GuiTextCtrl(nullptr, -1, r.x, r.y, r.w, r.h, kWhite, face, flags);
    root->addChild(t);
    t->setTooltip(tooltip);
    t->setName(name);
    return t;
}

}  // namespace

void Demo::buildColumn3() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    FT_Face face = getFtFace();

    addSectionTitle(610, 35, 620, "Textfelder (GuiTextCtrl)");
    singleLineText = addTextCtrl(root, face, {610, 53, 620, 22}, 0, "Einzeiliges Textfeld", "text");
    singleLineText->setText("Das ist ein Text mit einem\tTab");
    multiLineText = addTextCtrl(root, face, {610, 79, 620, 100}, TEXT_MULTILINE,
                                "Mehrzeiliges Textfeld", "text_multiline");
    multiLineText->setText(
        "Das ist ein langer Text mit einem Tab\tund einiges Newlines.\n"
        "Ich hoffe dies funktioniert problemlos!");

    buildNotebook();
    buildSplitter();

    addSectionTitle(610, 495, 620, "Ereignisse (GuiTextCtrl, schreibgeschützt)");
    eventLog = addTextCtrl(root, face, {610, 513, 620, 100}, TEXT_MULTILINE | TEXT_READONLY,
                           "Was die Controls melden (appendText)", "log");
    buildCairoSection();
}
