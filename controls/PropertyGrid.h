// The property grid: named, typed values in two columns under category rows, edited in place.
#pragma once

#include "core/GuiObject.h"
#include "text/PGTextEditor.h"
#include "text/ScrollBar.h"

#include <SDL_ttf.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

enum PropertyKind : uint8_t {
    PROPERTY_CATEGORY = 0,
    PROPERTY_TEXT = 1,
    PROPERTY_INT = 2,
    PROPERTY_FLOAT = 3,
    PROPERTY_BOOL = 4,
    PROPERTY_CHOICE = 5,
};

struct PropertyRow {
    PropertyKind kind = PROPERTY_TEXT;
    std::string name;
    std::string value;
    bool readOnly = false;
    std::vector<std::string> choices;
    int choiceIndex = -1;
};

class GuiPropertyGrid : public GuiObject, public IPGEditorOwner {
public:
    GuiPropertyGrid(GuiObject* parent, int id, int x, int y, int width, int height,
                    SDL_Color bgColor, TTF_Font* font, FT_Face editorFace);
    ~GuiPropertyGrid() override;

    bool locateItem(const std::string& label, SDL_Rect& out) override;
    bool getProperty(const std::string& name, std::string& out) override;
    bool setProperty(const std::string& name, const std::string& text) override;
    bool wantsWheel() override { return true; }
    bool isCacheable() override { return false; }
    const char* className() const override { return "GuiPropertyGrid"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void focusLost(GuiObject*) override {}
    void relayout() override;

    int addCategory(const std::string& title);
    int addText(const std::string& name, const std::string& value, bool readOnly = false);
    int addInt(const std::string& name, long long value, bool readOnly = false);
    int addFloat(const std::string& name, double value, bool readOnly = false);
    int addBool(const std::string& name, bool value, bool readOnly = false);
    int addChoice(const std::string& name, const std::vector<std::string>& choices,
                  int selectedIndex, bool readOnly = false);
    void clear();
    int rowCount() const { return static_cast<int>(rows.size()); }
    PropertyRow* rowAt(int index);
    void setRowHeight(int h);
    void setNameColumnWidth(int w);
    std::string valueOf(const std::string& name) const;
    bool setValueOf(const std::string& name, const std::string& text);
    void ensureRowVisible(int row);
    void beginEdit(int row, GuiEvent* opening);

    // IPGEditorOwner
    GuiObject* ownerObject() override { return this; }
    GuiPGTextEditor* openEditor() const override { return editor; }
    void commitEdit() override;
    void cancelEdit() override;
    void editorDestroyed(GuiPGTextEditor* gone) override;

    // Value cell of a row, in window coordinates.
    SDL_Rect valueCell(int row) const;
    int maxScroll() const { return std::max(contentHeight - height, 0); }

    std::vector<PropertyRow> rows;
    TTF_Font* font = nullptr;
    FT_Face editorFace = nullptr;
    int rowHeight = 22;
    int nameColumnWidth = 160;
    int scrollY = 0;
    int contentHeight = 0;
    int selected = -1;
    GuiPGTextEditor* editor = nullptr;  // owned by the window
    int editingRow = -1;
    int scrollBarWidth = 14;
    ScrollBar vScroll{0, 16};

private:
    struct FittedText {
        std::string source;
        int maxWidth = 0;
        SDL_Texture* texture = nullptr;
        int w = 0, h = 0;
    };
    struct RowTextures {
        FittedText name, value;
    };

    int appendRow(PropertyRow row);
    void recompute();
    int findRow(const std::string& name) const;
    bool writable(int row) const;
    void changed(int row);
    void toggleBool(int row);
    void cycleChoice(int row);
    void activate(int row);
    void select(int row);
    int rowUnder(int localY) const;
    void handleKey(SDL_Keycode key);
    void handlePress(GuiEvent& e);
    void handleBarPress(const SDL_MouseButtonEvent& b);
    void handleWheel(const SDL_MouseWheelEvent& w);
    void placeScrollBar();
    void discardEditor();
    void drawRow(SDL_Renderer* r, int row);
    void drawFitted(SDL_Renderer* r, FittedText& slot, const std::string& text, int maxWidth,
                    int px, int py);
    std::string fitText(const std::string& text, int maxWidth) const;
    void retire(FittedText& slot);
    void dropTextures();

    // Fitted name and value textures of the rows drawn last frame: the grid draws every frame.
    std::unordered_map<int, RowTextures> drawnRows;
    std::unordered_map<int, RowTextures> nextRows;
    SDL_Renderer* textureRenderer = nullptr;
};
