// The in-place editor that a property grid opens over a value cell: a single-line text control
// that hands Return, keypad Enter, Escape, the wheel and focus loss to the control that owns it.
#pragma once

#include "text/TextCtrl.h"

class GuiPGTextEditor;

// What the editor needs from its owner. Text editing knows no property grid: the grid
// implements this.
class IPGEditorOwner {
public:
    virtual ~IPGEditorOwner() = default;
    // The widget that gets the focus back and receives the wheel.
    virtual GuiObject* ownerObject() = 0;
    // The editor the owner has open, null when none.
    virtual GuiPGTextEditor* openEditor() const = 0;
    virtual void commitEdit() = 0;
    // Drops the open editor without storing its text.
    virtual void cancelEdit() = 0;
    // The open editor is being destroyed (by its window): the owner forgets it.
    virtual void editorDestroyed(GuiPGTextEditor* editor) = 0;
};

class GuiPGTextEditor : public GuiTextCtrl {
public:
    GuiPGTextEditor(GuiObject* parent, int id, int x, int y, int width, int height,
                    SDL_Color bgColor, FT_Face face, IPGEditorOwner* owner);
    ~GuiPGTextEditor() override;

    bool wantsWheel() override { return true; }
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiPGTextEditor"; }
    void handleEvent(GuiEvent& e) override;
    void focusLost(GuiObject* newFocus) override;

    // The owner no longer has this editor open (committed, discarded or gone): from now on the
    // editor never calls it again.
    void detach() { owner = nullptr; }
    IPGEditorOwner* ownerOf() const { return owner; }

private:
    // True while the owner still has this editor open.
    bool isOpen() const { return owner && owner->openEditor() == this; }
    void giveFocusBack(IPGEditorOwner* to);

    IPGEditorOwner* owner = nullptr;
};
