// Gauge, slider and spin box: ranges, value text, drawing and pointer handling.
#include "controls/ValueControls.h"

#include "ControlsFixture.h"

#include <cmath>
#include <limits>

namespace {

constexpr SDL_Color kBack{200, 200, 200, 255};
constexpr SDL_Color kTrack{150, 150, 150, 255};
constexpr SDL_Color kGreen{80, 180, 80, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using ValueControls = ControlsTest;

TEST(ValueRange, RangeRules) {
    struct Case {
        double min, max, valueBefore;
        double expectMin, expectMax, expectValue;
    } cases[] = {
        {5, 5, 0, 5, 6, 5},      {10, 0, 3, 10, 11, 10},
        {0, 50, 70, 0, 50, 50},  {kNaN, 1, 3, 0, 100, 3},
        {0, kInf, 3, 0, 100, 3}, {-1e308, 1e308, 3, 0, 100, 3},  // the width overflows: ignored
    };
    for (const Case& c : cases) {
        ValueRange r;
        r.value = c.valueBefore;
        r.setRange(c.min, c.max);
        EXPECT_EQ(r.minValue, c.expectMin) << c.min << ".." << c.max;
        EXPECT_EQ(r.maxValue, c.expectMax) << c.min << ".." << c.max;
        EXPECT_EQ(r.value, c.expectValue) << c.min << ".." << c.max;
    }
    ValueRange r;
    EXPECT_FALSE(r.setValue(kNaN));
    EXPECT_TRUE(r.setValue(-kInf));
    EXPECT_EQ(r.value, 0);
}

TEST_F(ValueControls, ValueTextRoundTrips) {
    auto* gauge = add(new GuiGauge(nullptr, 1, 10, 10, 100, 20, kBack, kGreen, kBlack, font, 0));
    auto* slider =
        add(new GuiSlider(nullptr, 2, 10, 40, 100, 24, kBack, kTrack, kGreen, 0, 10, 2.5, 0));
    auto* spin = add(
        new GuiSpinBox(nullptr, 3, 10, 70, 80, 24, kWhite, kBlack, kBlack, font, -5, 5, 1, 0.25));
    for (GuiObject* o : {static_cast<GuiObject*>(gauge), static_cast<GuiObject*>(slider),
                         static_cast<GuiObject*>(spin)}) {
        std::string before, after;
        ASSERT_TRUE(o->getValue(before));
        EXPECT_FALSE(o->setValue("zwei")) << o->className();
        EXPECT_FALSE(o->setValue("1,5")) << o->className();
        o->getValue(after);
        EXPECT_EQ(after, before) << o->className();
        EXPECT_TRUE(o->setValue("1.75")) << o->className();
        o->getValue(after);
        EXPECT_EQ(after, "1.75") << o->className();
        EXPECT_TRUE(o->setValue("1e9")) << o->className();  // clamped
        o->getValue(after);
        EXPECT_EQ(after, o == gauge ? "100" : (o == slider ? "10" : "5")) << o->className();
    }
    EXPECT_EQ(commandsWithCode(CMD_SLIDER_CHANGED), 2u);  // the slider's two accepted texts
    slider->setNumericValue(3);
    EXPECT_EQ(commandsWithCode(CMD_SLIDER_CHANGED), 2u);
}

TEST_F(ValueControls, GaugePercentAndFraction) {
    GuiGauge g(nullptr, 1, 0, 0, 102, 20, kBack, kGreen, kBlack, font, 0);
    g.setRange(0, 200);
    g.setNumericValue(50);
    EXPECT_EQ(g.percentText(), "25%");
    EXPECT_DOUBLE_EQ(g.getPercent(), 25);
    EXPECT_EQ(g.barRect().w, 25);
    g.setPercent(150);
    EXPECT_EQ(g.numericValue(), 200);
    g.setFraction(-1);
    EXPECT_EQ(g.numericValue(), 0);
    g.setFraction(0.5);
    EXPECT_DOUBLE_EQ(g.getFraction(), 0.5);
    g.setVertical(1);
    EXPECT_EQ(g.barRect().h, 9);   // trunc(18 * 0.5)
    EXPECT_EQ(g.barRect().y, 10);  // grows upwards from y + height - 1
    GuiGauge narrow(nullptr, 1, 0, 0, 2, 20, kBack, kGreen, kBlack, font, 0);
    narrow.setPercent(100);
    EXPECT_EQ(narrow.barRect().w, 0);
}

TEST_F(ValueControls, GaugePixels) {
    auto* g = add(new GuiGauge(nullptr, 1, 10, 10, 102, 20, kBack, kGreen, kBlack, font, 0));
    g->setRange(0, 200);
    g->setNumericValue(50);
    g->setShowText(false);
    auto px = pixels({{10, 10}, {111, 29}, {11, 11}, {35, 28}, {36, 11}, {110, 28}});
    EXPECT_TRUE(colorIs(px[0], kBlack));
    EXPECT_TRUE(colorIs(px[1], kBlack));
    EXPECT_TRUE(colorIs(px[2], kGreen));
    EXPECT_TRUE(colorIs(px[3], kGreen));  // the 25th bar column
    EXPECT_TRUE(colorIs(px[4], kBack));
    EXPECT_TRUE(colorIs(px[5], kBack));
    g->setShowText(true);
    const SDL_Rect pct = inkBox({11, 11, 100, 18});  // "25%", centred on the gauge
    ASSERT_GT(pct.w, 0);
    EXPECT_NEAR(pct.x + pct.w / 2.0, 10 + 102 / 2, 1);
    EXPECT_NEAR(pct.y + pct.h / 2.0, 10 + 20 / 2, 3);
}

TEST_F(ValueControls, HugeRangesStayInsideTheTextBuffers) {
    GuiSpinBox spin(nullptr, 3, 0, 0, 80, 24, kWhite, kBlack, kBlack, font, -1e300, 1e300, 1e300,
                    1);
    const std::string text = spin.valueText();
    EXPECT_EQ(text.size(), 63u);  // truncated to the 64-byte buffer
    EXPECT_EQ(text.substr(0, 3), "100");
    spin.setStep(0.5);
    EXPECT_EQ(spin.valueText().size(), 63u);
    GuiGauge g(nullptr, 1, 0, 0, 100, 20, kBack, kGreen, kBlack, font, 0);
    g.setRange(-1e300, 1e300);
    g.setNumericValue(1e300);
    EXPECT_EQ(g.percentText(), "100%");
    auto* drawn = add(new GuiSpinBox(nullptr, 3, 10, 10, 80, 24, kWhite, kBlack, kBlack, font, 0,
                                     1e300, 1e300, 1));
    pixels({});  // draws the truncated text
    std::string v;
    drawn->getValue(v);
    EXPECT_EQ(v, "1e+300");
}

TEST_F(ValueControls, SpinBoxTextAndLayout) {
    struct Case {
        double value, step;
        const char* text;
    } texts[] = {{1.5, 0.5, "1.50"}, {2, 1, "2"}, {-3, 3, "-3"}, {0.125, 0.25, "0.12"}};
    for (const Case& c : texts) {
        GuiSpinBox s(nullptr, 3, 0, 0, 80, 24, kWhite, kBlack, kBlack, font, -10, 10, c.value,
                     c.step);
        EXPECT_EQ(s.valueText(), c.text);
    }
    struct Width {
        int width, button;
    } widths[] = {{100, 24}, {75, 24}, {74, 24}, {60, 20}, {48, 16}, {47, 16}, {40, 16}};
    for (const Width& w : widths) {
        GuiSpinBox s(nullptr, 3, 10, 20, w.width, 25, kWhite, kBlack, kBlack, font, 0, 1, 0, 1);
        EXPECT_EQ(s.buttonWidth, w.button) << w.width;
        EXPECT_EQ(s.upRect.x, 10 + w.width - w.button);
        EXPECT_EQ(s.upRect.h, 12);
        EXPECT_EQ(s.downRect.y, 32);
        EXPECT_EQ(s.downRect.h, 13);
        EXPECT_EQ(s.textRect.w, w.width - w.button - 8);
    }
    GuiSpinBox s(nullptr, 3, 0, 0, 80, 24, kWhite, kBlack, kBlack, font, 0, 10, 5, 0);
    EXPECT_EQ(s.getStep(), 1);
    s.setStep(-2);
    s.setStep(kInf);
    EXPECT_EQ(s.getStep(), 1);
}

TEST_F(ValueControls, SpinBoxPixels) {
    auto* s = add(
        new GuiSpinBox(nullptr, 3, 50, 100, 60, 24, kWhite, kBlack, kBlack, font, 0, 100, 42, 1));
    // buttonWidth 20: buttons from x 90; the divider at x + width - 1 - 20 = 89.
    const std::vector<SDL_Point> pts = {{50, 100}, {109, 123}, {89, 101}, {89, 122},
                                        {91, 112}, {108, 112}, {95, 104}, {95, 118}};
    auto idle = pixels(pts);
    EXPECT_TRUE(colorIs(idle[0], kBlack));
    EXPECT_TRUE(colorIs(idle[1], kBlack));
    EXPECT_TRUE(colorIs(idle[2], kBlack));
    EXPECT_TRUE(colorIs(idle[3], kBlack));
    EXPECT_TRUE(colorIs(idle[4], kBlack));  // the line between the buttons at y 112
    EXPECT_TRUE(colorIs(idle[5], kBlack));
    EXPECT_TRUE(colorIs(idle[6], kWhite));
    press(95, 104);
    auto held = pixels(pts);
    EXPECT_TRUE(colorIs(held[6], {180, 180, 180, 255}));
    EXPECT_TRUE(colorIs(held[7], kWhite));
    release(95, 104);
    EXPECT_EQ(s->numericValue(), 43);
    // The value's ink lies right-aligned in the text area, left of the divider.
    EXPECT_GE(firstInkRow({70, 102, 18, 20}), 102);
    EXPECT_EQ(firstInkRow({54, 102, 10, 20}), -1);
}

TEST_F(ValueControls, SpinBoxRepeatsWhileHeld) {
    auto* s = add(
        new GuiSpinBox(nullptr, 3, 50, 100, 100, 24, kWhite, kBlack, kBlack, font, 0, 12, 0, 1));
    press(140, 105);  // "+"
    ASSERT_TRUE(s->upHeld);
    EXPECT_EQ(s->numericValue(), 1);
    const uint32_t t = s->pressTicks;
    struct Step {
        uint32_t at;
        double value;
    } steps[] = {{399, 1}, {400, 2}, {420, 2}, {460, 3}, {519, 3}, {520, 4}};
    for (const Step& st : steps) {
        s->update(t + st.at);
        EXPECT_EQ(s->numericValue(), st.value) << "+" << st.at;
    }
    for (uint32_t at = 580; at < 2000; at += 60)
        s->update(t + at);
    EXPECT_EQ(s->numericValue(), 12);  // never beyond max
    release(140, 105);
    s->update(t + 5000);
    EXPECT_EQ(s->numericValue(), 12);
    press(140, 118);  // "-"
    EXPECT_TRUE(s->downHeld);
    EXPECT_EQ(s->numericValue(), 11);
    release(140, 118);
    press(60, 110);  // the text area does nothing
    EXPECT_FALSE(s->upHeld || s->downHeld);
    EXPECT_EQ(s->numericValue(), 11);
}

TEST_F(ValueControls, SliderThumbAndTrackPixels) {
    add(new GuiSlider(nullptr, 2001, 10, 10, 180, 24, kBack, kTrack, kGreen, 0, 100, 25, 0));
    add(new GuiSlider(nullptr, 2001, 10, 60, 24, 150, kBack, kTrack, kGreen, 0, 100, 25, 1));
    // Horizontal: s = 20 at x 11 + trunc(158 * 0.25) = 50, y 12. Vertical: s = 20 at x 12,
    // y 61 + trunc(128 * 0.25) = 93. Tracks 6 pixels thick through the middle.
    auto px = pixels({{50, 12},
                      {69, 31},
                      {49, 22},
                      {70, 22},
                      {49, 16},
                      {10, 10},
                      {189, 33},
                      {12, 93},
                      {31, 112},
                      {22, 92},
                      {22, 113},
                      {15, 92}});
    EXPECT_TRUE(colorIs(px[0], kGreen));
    EXPECT_TRUE(colorIs(px[1], kGreen));
    EXPECT_TRUE(colorIs(px[2], kTrack));  // y 19 + 3
    EXPECT_TRUE(colorIs(px[3], kTrack));
    EXPECT_TRUE(colorIs(px[4], kBack));
    EXPECT_TRUE(colorIs(px[5], kBlack));
    EXPECT_TRUE(colorIs(px[6], kBlack));
    EXPECT_TRUE(colorIs(px[7], kGreen));
    EXPECT_TRUE(colorIs(px[8], kGreen));
    EXPECT_TRUE(colorIs(px[9], kTrack));
    EXPECT_TRUE(colorIs(px[10], kTrack));
    EXPECT_TRUE(colorIs(px[11], kBack));
}

TEST_F(ValueControls, SliderDragPastTheEndsNotifiesOnceAtRelease) {
    auto* s =
        add(new GuiSlider(nullptr, 2001, 10, 10, 180, 24, kBack, kTrack, kGreen, 0, 100, 25, 0));
    press(60, 20);
    EXPECT_TRUE(s->dragging);
    // half = 10, travel = 160: (60 - 20) / 160.
    EXPECT_DOUBLE_EQ(s->numericValue(), 25);
    moveTo(400, 300);
    EXPECT_EQ(s->numericValue(), 100);
    moveTo(-50, 20);
    EXPECT_EQ(s->numericValue(), 0);
    moveTo(400, 20);
    EXPECT_EQ(commandsWithCode(CMD_SLIDER_CHANGED), 0u);
    release(400, 20);
    EXPECT_FALSE(s->dragging);
    EXPECT_EQ(s->numericValue(), 100);
    ASSERT_EQ(commandsWithCode(CMD_SLIDER_CHANGED), 1u);
    EXPECT_EQ(app.commands.back().id, 2001u);
    EXPECT_EQ(app.commands.back().value, -1);
    moveTo(20, 20);
    EXPECT_EQ(s->numericValue(), 100);  // no longer dragging
}

TEST_F(ValueControls, SliderTooShortToTravelIgnoresThePointer) {
    auto* s = add(new GuiSlider(nullptr, 1, 10, 10, 20, 24, kBack, kTrack, kGreen, 0, 10, 4, 0));
    press(25, 20);  // travel 20 - 2 * 10 = 0
    EXPECT_EQ(s->numericValue(), 4);
    release(25, 20);
    EXPECT_EQ(s->thumbSize(), 20);
    s->setVertical(1);
    EXPECT_EQ(s->thumbSize(), 16);
}

}  // namespace
