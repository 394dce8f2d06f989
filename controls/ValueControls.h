// Controls that show or edit one number inside a range: gauge, slider and spin box.
#pragma once

#include "controls/TextCache.h"
#include "core/GuiObject.h"
#include "core/Roles.h"

#include <SDL_ttf.h>

#include <cstdint>
#include <string>

// The range and value every value control keeps (each control owns one; not a widget base).
struct ValueRange {
    double minValue = 0;
    double maxValue = 100;
    double value = 0;

    // min >= max gives [min, min + 1]; the value is clamped. False for a non-finite range.
    bool setRange(double min, double max);
    // NaN is ignored; false then.
    bool setValue(double v);
    double clamp(double v) const;
    // (value - min) / (max - min) in [0, 1]; 0 for an empty range.
    double fraction() const;
};

class GuiGauge : public GuiObject {
public:
    GuiGauge(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color backgroundColor,
             SDL_Color barColor, SDL_Color borderColor, TTF_Font* font, int vertical);

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiGauge"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent&) override {}

    void setRange(double min, double max);
    void setNumericValue(double v);
    double numericValue() const { return range.value; }
    void setPercent(double p);
    double getPercent() const;
    void setFraction(double f);
    double getFraction() const;
    void setShowText(bool show);
    void setVertical(int v);
    void setColors(SDL_Color background, SDL_Color bar, SDL_Color border);
    void setFont(TTF_Font* f);
    // The percentage text as drawn ("25%").
    std::string percentText() const;
    // The filled bar for the current value; w or h may be 0.
    SDL_Rect barRect() const;

    ValueRange range;
    SDL_Color backgroundColor, barColor, borderColor;
    bool showText = true;
    int32_t vertical = 0;
    TTF_Font* font = nullptr;

private:
    TextCache textCache;
};

class GuiSlider : public GuiObject {
public:
    GuiSlider(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color backgroundColor,
              SDL_Color trackColor, SDL_Color thumbColor, double min, double max, double value,
              int vertical);

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiSlider"; }
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;

    void setRange(double min, double max);
    void setNumericValue(double v);
    double numericValue() const { return range.value; }
    void setFraction(double f);
    double getFraction() const;
    void setVertical(int v);
    void setColors(SDL_Color background, SDL_Color track, SDL_Color thumb);
    int thumbSize() const;
    SDL_Rect thumbRect() const;

    ValueRange range;
    SDL_Color backgroundColor, trackColor, thumbColor;
    int32_t vertical = 0;
    bool dragging = false;
    SDL_Point lastMouse{0, 0};

private:
    void moveTo(int px, int py);
    void postChanged();
};

class GuiSpinBox : public GuiObject, public ITimed {
public:
    GuiSpinBox(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color backgroundColor,
               SDL_Color borderColor, SDL_Color textColor, TTF_Font* font, double min, double max,
               double value, double step);

    bool getValue(std::string& out) override;
    bool setValue(const std::string& value) override;
    bool isCacheable() override { return true; }
    const char* className() const override { return "GuiSpinBox"; }
    void update(uint32_t now) override;
    // The next step while an arrow is held.
    uint32_t msUntilDue(uint32_t now) override;
    void draw(SDL_Renderer* r) override;
    void handleEvent(GuiEvent& e) override;
    void relayout() override;

    void setRange(double min, double max);
    void setNumericValue(double v);
    double numericValue() const { return range.value; }
    void setColors(SDL_Color background, SDL_Color border, SDL_Color text);
    void setFont(TTF_Font* f);
    void setStep(double s);
    double getStep() const { return step; }
    void increment();
    void decrement();
    // The value as drawn: no decimals for a whole step, two otherwise; never longer than 63 bytes.
    std::string valueText() const;

    ValueRange range;
    SDL_Color backgroundColor, borderColor, textColor;
    TTF_Font* font = nullptr;
    double step = 1;
    int buttonWidth = 24;
    SDL_Rect upRect{0, 0, 0, 0};
    SDL_Rect downRect{0, 0, 0, 0};
    SDL_Rect textRect{0, 0, 0, 0};
    bool upHeld = false;
    bool downHeld = false;
    uint32_t pressTicks = 0;
    uint32_t lastRepeatTicks = 0;
    uint32_t repeatDelay = 400;
    uint32_t repeatInterval = 60;

private:
    void stepBy(double delta);
    void repeatIfDue(uint32_t now);
    void layoutParts();
    TextCache valueCache, plusCache, minusCache;
};
