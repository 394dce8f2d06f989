#include "controls/ValueControls.h"

#include "core/Draw.h"
#include "core/Timers.h"
#include "core/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kHeldFill{180, 180, 180, 255};

void fill(SDL_Renderer* r, SDL_Color c, const SDL_Rect& rc) {
    setColor(r, c);
    SDL_RenderFillRect(r, &rc);
}

bool insideInclusive(const GuiObject& o, int px, int py) {
    return px >= o.x && px <= o.x + o.width && py >= o.y && py <= o.y + o.height;
}

bool insideHalfOpen(const SDL_Rect& rc, int px, int py) {
    return px >= rc.x && px < rc.x + rc.w && py >= rc.y && py < rc.y + rc.h;
}

// A range given at construction: an unusable one falls back to [0, 1].
ValueRange makeRange(double min, double max, double value) {
    ValueRange range;
    range.minValue = 0;
    range.maxValue = 1;
    range.setRange(min, max);
    range.value = range.minValue;
    range.setValue(value);
    return range;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// ValueRange

bool ValueRange::setRange(double min, double max) {
    if (!std::isfinite(min) || !std::isfinite(max) || !std::isfinite(max - min)) return false;
    if (min >= max) max = min + 1;
    minValue = min;
    maxValue = max;
    value = clamp(value);
    return true;
}

double ValueRange::clamp(double v) const {
    return std::min(std::max(v, minValue), maxValue);
}

bool ValueRange::setValue(double v) {
    if (std::isnan(v)) return false;
    value = clamp(v);
    return true;
}

double ValueRange::fraction() const {
    if (maxValue == minValue) return 0;
    double f = (value - minValue) / (maxValue - minValue);
    if (std::isnan(f)) return 0;
    return std::min(std::max(f, 0.0), 1.0);
}

// ---------------------------------------------------------------------------------------------
// GuiGauge

GuiGauge::GuiGauge(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                   SDL_Color bar, SDL_Color border, TTF_Font* font, int vertical)
    : GuiObject(parent, id, x, y, w, h, background),
      backgroundColor(background),
      barColor(bar),
      borderColor(border),
      vertical(vertical),
      font(font) {}

bool GuiGauge::getValue(std::string& out) {
    out = formatNumber(range.value);
    return true;
}

bool GuiGauge::setValue(const std::string& text) {
    double v = 0;
    if (!parseNumber(text, v)) return false;
    setNumericValue(v);
    return true;
}

void GuiGauge::setRange(double min, double max) {
    if (range.setRange(min, max)) invalidate();
}

void GuiGauge::setNumericValue(double v) {
    if (range.setValue(v)) invalidate();
}

void GuiGauge::setPercent(double p) {
    if (std::isnan(p)) return;
    p = std::min(std::max(p, 0.0), 100.0);
    setNumericValue(range.minValue + (range.maxValue - range.minValue) * p / 100);
}

double GuiGauge::getPercent() const {
    if (range.maxValue == range.minValue) return 0;
    return (range.value - range.minValue) / (range.maxValue - range.minValue) * 100;
}

void GuiGauge::setFraction(double f) {
    if (std::isnan(f)) return;
    f = std::min(std::max(f, 0.0), 1.0);
    setNumericValue(range.minValue + (range.maxValue - range.minValue) * f);
}

double GuiGauge::getFraction() const {
    if (range.maxValue == range.minValue) return 0;
    return (range.value - range.minValue) / (range.maxValue - range.minValue);
}

void GuiGauge::setShowText(bool show) {
    showText = show;
    invalidate();
}

void GuiGauge::setVertical(int v) {
    vertical = v;
    invalidate();
}

void GuiGauge::setColors(SDL_Color background, SDL_Color bar, SDL_Color border) {
    backgroundColor = background;
    barColor = bar;
    borderColor = border;
    invalidate();
}

void GuiGauge::setFont(TTF_Font* f) {
    font = f;
    invalidate();
}

std::string GuiGauge::percentText() const {
    char buffer[32];
    const double percent = range.maxValue == range.minValue ? 0 : getPercent();
    std::snprintf(buffer, sizeof buffer, "%.0f%%", percent);
    return buffer;
}

SDL_Rect GuiGauge::barRect() const {
    const double f = range.fraction();
    if (vertical) {
        const int length = static_cast<int>((height - 2) * f);
        return SDL_Rect{x + 1, y + height - 1 - length, width - 2, length};
    }
    return SDL_Rect{x + 1, y + 1, static_cast<int>((width - 2) * f), height - 2};
}

void GuiGauge::draw(SDL_Renderer* r) {
    SDL_Rect rc = rect();
    fill(r, backgroundColor, rc);
    setColor(r, borderColor);
    SDL_RenderDrawRect(r, &rc);
    SDL_Rect bar = barRect();
    if (bar.w > 0 && bar.h > 0) fill(r, barColor, bar);
    if (!showText || !font) return;
    int tw = 0, th = 0;
    SDL_Texture* t = textCache.get(r, font, percentText(), kBlack, tw, th);
    if (!t) return;
    SDL_Rect dst{x + (width - tw) / 2, y + (height - th) / 2, tw, th};
    SDL_RenderCopy(r, t, nullptr, &dst);
}

// ---------------------------------------------------------------------------------------------
// GuiSlider

GuiSlider::GuiSlider(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                     SDL_Color track, SDL_Color thumb, double min, double max, double value,
                     int vertical)
    : GuiObject(parent, id, x, y, w, h, background),
      range(makeRange(min, max, value)),
      backgroundColor(background),
      trackColor(track),
      thumbColor(thumb),
      vertical(vertical) {}

bool GuiSlider::getValue(std::string& out) {
    out = formatNumber(range.value);
    return true;
}

bool GuiSlider::setValue(const std::string& text) {
    double v = 0;
    if (!parseNumber(text, v)) return false;
    if (range.setValue(v)) invalidate();
    postChanged();
    return true;
}

void GuiSlider::postChanged() {
    if (window) window->postCommand(CMD_SLIDER_CHANGED, static_cast<uint32_t>(id), -1, this);
}

void GuiSlider::setRange(double min, double max) {
    if (range.setRange(min, max)) invalidate();
}

void GuiSlider::setNumericValue(double v) {
    if (range.setValue(v)) invalidate();
}

void GuiSlider::setFraction(double f) {
    if (std::isnan(f)) return;
    f = std::min(std::max(f, 0.0), 1.0);
    setNumericValue(range.minValue + (range.maxValue - range.minValue) * f);
}

double GuiSlider::getFraction() const {
    if (range.maxValue == range.minValue) return 0;
    return (range.value - range.minValue) / (range.maxValue - range.minValue);
}

void GuiSlider::setVertical(int v) {
    vertical = v;
    invalidate();
}

void GuiSlider::setColors(SDL_Color background, SDL_Color track, SDL_Color thumb) {
    backgroundColor = background;
    trackColor = track;
    thumbColor = thumb;
    invalidate();
}

int GuiSlider::thumbSize() const {
    return vertical ? width - 4 : height - 4;
}

SDL_Rect GuiSlider::thumbRect() const {
    const double f = range.fraction();
    const int s = thumbSize();
    if (vertical)
        return SDL_Rect{x + 2, y + 1 + static_cast<int>(std::max(height - 2 - s, 0) * f), s, s};
    return SDL_Rect{x + 1 + static_cast<int>(std::max(width - 2 - s, 0) * f), y + 2, s, s};
}

void GuiSlider::draw(SDL_Renderer* r) {
    SDL_Rect rc = rect();
    fill(r, backgroundColor, rc);
    SDL_Rect track = vertical ? SDL_Rect{x + width / 2 - 3, y, 6, height}
                              : SDL_Rect{x, y + height / 2 - 3, width, 6};
    fill(r, trackColor, track);
    fill(r, thumbColor, thumbRect());
    setColor(r, kBlack);
    SDL_RenderDrawRect(r, &rc);
}

void GuiSlider::moveTo(int px, int py) {
    const int half = thumbSize() / 2;
    const int length = vertical ? height : width;
    const int travel = length - 2 * half;
    if (travel < 1) return;
    const int start = vertical ? y : x;
    const int pointer = vertical ? py : px;
    double f = static_cast<double>(pointer - (start + half)) / travel;
    if (std::isnan(f)) return;
    f = std::min(std::max(f, 0.0), 1.0);
    range.setValue(range.minValue + f * (range.maxValue - range.minValue));
    invalidate();
}

void GuiSlider::handleEvent(GuiEvent& e) {
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_MOUSEBUTTONDOWN && insideInclusive(*this, s.button.x, s.button.y)) {
        dragging = true;
        lastMouse = {s.button.x, s.button.y};
        moveTo(s.button.x, s.button.y);
        SDL_CaptureMouse(SDL_TRUE);
    } else if (s.type == SDL_MOUSEMOTION && dragging) {
        lastMouse = {s.motion.x, s.motion.y};
        moveTo(s.motion.x, s.motion.y);
    } else if (s.type == SDL_MOUSEBUTTONUP && dragging) {
        dragging = false;
        SDL_CaptureMouse(SDL_FALSE);
        postChanged();
    }
}

// ---------------------------------------------------------------------------------------------
// GuiSpinBox

GuiSpinBox::GuiSpinBox(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                       SDL_Color border, SDL_Color text, TTF_Font* font, double min, double max,
                       double value, double step)
    : GuiObject(parent, id, x, y, w, h, background),
      range(makeRange(min, max, value)),
      backgroundColor(background),
      borderColor(border),
      textColor(text),
      font(font),
      step(step > 0 && std::isfinite(step) ? step : 1) {
    layoutParts();
}

bool GuiSpinBox::getValue(std::string& out) {
    out = formatNumber(range.value);
    return true;
}

bool GuiSpinBox::setValue(const std::string& text) {
    double v = 0;
    if (!parseNumber(text, v)) return false;
    setNumericValue(v);
    return true;
}

void GuiSpinBox::setRange(double min, double max) {
    if (range.setRange(min, max)) invalidate();
}

void GuiSpinBox::setNumericValue(double v) {
    if (range.setValue(v)) invalidate();
}

void GuiSpinBox::setColors(SDL_Color background, SDL_Color border, SDL_Color text) {
    backgroundColor = background;
    borderColor = border;
    textColor = text;
    invalidate();
}

void GuiSpinBox::setFont(TTF_Font* f) {
    font = f;
    invalidate();
}

void GuiSpinBox::setStep(double s) {
    if (!(s > 0) || !std::isfinite(s)) return;
    step = s;
    invalidate();
}

void GuiSpinBox::stepBy(double delta) {
    setNumericValue(range.value + delta);
}

void GuiSpinBox::increment() {
    stepBy(step);
}
void GuiSpinBox::decrement() {
    stepBy(-step);
}

void GuiSpinBox::layoutParts() {
    if (width > 74)
        buttonWidth = 24;
    else if (width > 47)
        buttonWidth = width / 3;
    else
        buttonWidth = 16;
    upRect = SDL_Rect{x + width - buttonWidth, y, buttonWidth, height / 2};
    downRect = SDL_Rect{upRect.x, y + height / 2, buttonWidth, height - height / 2};
    textRect = SDL_Rect{x + 4, y + 2, width - buttonWidth - 8, height - 4};
    invalidate();
}

void GuiSpinBox::relayout() {
    layoutParts();
}

std::string GuiSpinBox::valueText() const {
    char buffer[64];
    const bool whole = std::floor(step) == step;
    // snprintf truncates huge values to the buffer instead of writing past it.
    std::snprintf(buffer, sizeof buffer, whole ? "%.0f" : "%.2f", range.value);
    return buffer;
}

void GuiSpinBox::repeatIfDue(uint32_t now) {
    if (!upHeld && !downHeld) return;
    if (now - pressTicks < repeatDelay || now - lastRepeatTicks < repeatInterval) return;
    stepBy(upHeld ? step : -step);
    lastRepeatTicks = now;
}

void GuiSpinBox::update(uint32_t now) {
    repeatIfDue(now);
}

uint32_t GuiSpinBox::msUntilDue(uint32_t now) {
    if (!upHeld && !downHeld) return kNoDeadline;
    return std::max(msUntil(pressTicks + repeatDelay, now),
                    msUntil(lastRepeatTicks + repeatInterval, now));
}

void GuiSpinBox::handleEvent(GuiEvent& e) {
    repeatIfDue(guiTicks());
    if (!e.sdl) return;
    const SDL_Event& s = *e.sdl;
    if (s.type == SDL_MOUSEBUTTONUP) {
        upHeld = downHeld = false;
        invalidate();
        return;
    }
    if (s.type != SDL_MOUSEBUTTONDOWN || !insideInclusive(*this, s.button.x, s.button.y)) return;
    upHeld = downHeld = false;
    if (insideHalfOpen(upRect, s.button.x, s.button.y)) {
        upHeld = true;
        increment();
    } else if (insideHalfOpen(downRect, s.button.x, s.button.y)) {
        downHeld = true;
        decrement();
    }
    pressTicks = lastRepeatTicks = guiTicks();
    invalidate();
}

void GuiSpinBox::draw(SDL_Renderer* r) {
    SDL_Rect rc = rect();
    fill(r, backgroundColor, rc);
    fill(r, upHeld ? kHeldFill : backgroundColor, upRect);
    fill(r, downHeld ? kHeldFill : backgroundColor, downRect);
    setColor(r, borderColor);
    SDL_RenderDrawRect(r, &rc);
    SDL_RenderDrawLine(r, x + width - 1 - buttonWidth, y + 1, x + width - 1 - buttonWidth,
                       y + height - 2);
    const int midY = upRect.y + upRect.h;
    SDL_RenderDrawLine(r, upRect.x + 1, midY, upRect.x + upRect.w - 1, midY);
    if (!font) return;
    int tw = 0, th = 0;
    if (SDL_Texture* t = valueCache.get(r, font, valueText(), textColor, tw, th)) {
        SDL_Rect dst{std::max(textRect.x + textRect.w - tw, textRect.x),
                     textRect.y + (textRect.h - th) / 2, tw, th};
        SDL_RenderCopy(r, t, nullptr, &dst);
    }
    if (SDL_Texture* t = plusCache.get(r, font, "+", textColor, tw, th)) {
        SDL_Rect dst{upRect.x + (upRect.w - tw) / 2, upRect.y + (upRect.h - th) / 2, tw, th};
        SDL_RenderCopy(r, t, nullptr, &dst);
    }
    if (SDL_Texture* t = minusCache.get(r, font, "-", textColor, tw, th)) {
        SDL_Rect dst{downRect.x + (downRect.w - tw) / 2, downRect.y + (downRect.h - th) / 2 - 1, tw,
                     th};
        SDL_RenderCopy(r, t, nullptr, &dst);
    }
}
