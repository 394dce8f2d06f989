// Push, toggle and auto-repeat buttons, check boxes, radio buttons, image buttons and the group
// that makes a set of buttons mutually exclusive.
#pragma once

#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "core/Handles.h"
#include "core/Roles.h"

#include <SDL_ttf.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Option flags of GuiButton.
enum : uint32_t {
    BUTTON_TOGGLE = 0x1,
    BUTTON_REPEAT = 0x2,
};

class GuiButton : public GuiObject, public IDialogButton, public ITimed {
public:
    using Callback = std::function<void(GuiButton*, bool)>;

    GuiButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
              const std::string& label, TTF_Font* font, uint32_t flags);

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool isCacheable() override { return true; }
    // The frame's outer lines lie at x + width and y + height.
    SDL_Rect drawnRect() const override { return SDL_Rect{x, y, width + 1, height + 1}; }
    const char* className() const override { return "GuiButton"; }
    void update(uint32_t now) override;
    // The next auto-repeat while a repeating button is held.
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;

    void addCallback(Callback cb) { callbacks.push_back(std::move(cb)); }
    bool isToggle() const { return (flags & BUTTON_TOGGLE) != 0; }
    // A push button ends a modal dialog through its id; a toggle only changes its state.
    bool endsDialog() const override { return !isToggle(); }

    std::string label;
    bool pressed = false;
    uint32_t flags = 0;
    TTF_Font* font = nullptr;
    uint32_t repeatDelay = 400;
    uint32_t repeatInterval = 60;
    std::vector<Callback> callbacks;
    uint32_t pressTime = 0;
    uint32_t lastRepeat = 0;
    bool repeatFired = false;

protected:
    friend class GuiButtonGroup;  // a group switches members off and tells their callbacks
    // Writes the press marker, flips a toggle's state and tells the callbacks.
    void pressToggle();
    void notify();
    void postActivated();
    void drawFrame(SDL_Renderer* r);
    void drawBevel(SDL_Renderer* r);
    void drawCaption(SDL_Renderer* r, int x, int y);

    TextCache captionCache;
};

class GuiCheckBox : public GuiButton {
public:
    GuiCheckBox(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
                const std::string& label, TTF_Font* font, uint32_t flags = 0);
    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    const char* className() const override { return "GuiCheckBox"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
};

class GuiRadioButton : public GuiButton {
public:
    GuiRadioButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
                   const std::string& label, TTF_Font* font, uint32_t flags = 0);
    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    const char* className() const override { return "GuiRadioButton"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
};

class GuiImageButton : public GuiButton {
public:
    GuiImageButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color bgColor,
                   SDL_Renderer* renderer, uint32_t flags);
    bool isCacheable() override { return false; }
    const char* className() const override { return "GuiImageButton"; }
    void draw(SDL_Renderer* r) override;

    bool loadImage(SDL_Renderer* r, const std::string& path);
    void clearImage();
    SDL_Texture* imageTexture() const { return image.get(); }

    SdlTexturePtr image;
    int imageWidth = 0;
    int imageHeight = 0;
    std::string imagePath;

private:
    bool loadBuiltIn(SDL_Renderer* r);
    bool takeSurface(SDL_Renderer* r, SDL_Surface* surface);
};

// Keeps at most one button of a set pressed. The group's list is shared with the callbacks it
// installs, so the group object itself may go away before its buttons.
class GuiButtonGroup {
public:
    GuiButtonGroup();
    void add(GuiButton* button);
    // Releases every button of the group except the given one.
    void select(GuiButton* button);
    GuiButton* selected() const;
    const std::vector<GuiButton*>& buttons() const { return state->buttons; }

private:
    struct State {
        std::vector<GuiButton*> buttons;
        bool releasing = false;
    };
    // Switches every other pressed member off and tells that member's callbacks.
    static void releaseOthers(State& group, GuiButton* keep);

    std::shared_ptr<State> state;
};
