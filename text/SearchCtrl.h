// The search field: a magnifier, an embedded single-line text control and a clear mark.
#pragma once

#include "core/GuiObject.h"
#include "core/Roles.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <functional>
#include <memory>

class GuiTextCtrl;

class GuiSearchCtrl : public GuiObject, public ITimed {
public:
    GuiSearchCtrl(GuiObject* parent, int id, int x, int y, int width, int height, SDL_Color bgColor,
                  FT_Face face);
    ~GuiSearchCtrl() override;

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool wantsWheel() override { return false; }
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiSearchCtrl"; }
    void update(uint32_t now) override;
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    GuiTextCtrl* editorCtrl() const { return editor.get(); }
    const std::string& text() const;

    std::function<void()> onChange;

private:
    bool inClearZone(int px, int py) const;
    void focusEditor();
    void drawMagnifier(SDL_Renderer* r);
    void drawClearMark(SDL_Renderer* r);

    std::unique_ptr<GuiTextCtrl> editor;
};
