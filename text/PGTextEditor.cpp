#include "text/PGTextEditor.h"

#include "core/Window.h"

GuiPGTextEditor::GuiPGTextEditor(GuiObject* parent, int id, int x, int y, int width, int height,
                                 SDL_Color bgColor, FT_Face face, IPGEditorOwner* owner)
    : GuiTextCtrl(parent, id, x, y, width, height, bgColor, face, 0), owner(owner) {}

GuiPGTextEditor::~GuiPGTextEditor() {
    if (isOpen()) owner->editorDestroyed(this);
}

void GuiPGTextEditor::giveFocusBack(IPGEditorOwner* to) {
    if (!to || !window) return;
    if (GuiObject* obj = to->ownerObject()) window->setFocus(obj);
}

void GuiPGTextEditor::handleEvent(GuiEvent& e) {
    if (e.kind != GuiEvent::Input || !e.sdl) {
        GuiTextCtrl::handleEvent(e);
        return;
    }
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_MOUSEWHEEL) {
        if (owner && owner->ownerObject()) owner->ownerObject()->handleEvent(e);
        return;
    }
    if (s.type == SDL_KEYDOWN) {
        const SDL_Keycode key = s.key.keysym.sym;
        // The owner is kept aside: ending the edit detaches this editor from it.
        IPGEditorOwner* to = owner;
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER) {
            if (isOpen()) owner->commitEdit();
            giveFocusBack(to);
            return;
        }
        if (key == SDLK_ESCAPE) {
            if (isOpen()) owner->cancelEdit();
            giveFocusBack(to);
            return;
        }
    }
    GuiTextCtrl::handleEvent(e);
}

void GuiPGTextEditor::focusLost(GuiObject* newFocus) {
    GuiTextCtrl::focusLost(newFocus);
    if (isOpen()) owner->commitEdit();
}
