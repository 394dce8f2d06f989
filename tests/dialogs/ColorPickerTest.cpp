// The colour picker: hex text both ways, swatch placement and clicks (which must never end the
// dialog), the preview over its checkerboard, and how the dialog ends.
#include "DialogTestApp.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ValueControls.h"
#include "dialogs/ColorPicker.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr SDL_Color kInitial{40, 90, 220, 255};

bool sameRgba(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

::testing::AssertionResult near(SDL_Color actual, SDL_Color expected, int tolerance = 0) {
    auto off = [tolerance](int a, int b) { return std::abs(a - b) > tolerance; };
    if (!off(actual.r, expected.r) && !off(actual.g, expected.g) && !off(actual.b, expected.b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << int(actual.r) << "," << int(actual.g) << ","
                                         << int(actual.b) << "), expected (" << int(expected.r)
                                         << "," << int(expected.g) << "," << int(expected.b) << ")";
}

TEST(HexColor, ParseTable) {
    struct Case {
        const char* text;
        bool ok;
        SDL_Color expected;  // from the start colour (1, 2, 3, 77)
    };
    const SDL_Color start{1, 2, 3, 77};
    const Case cases[] = {
        {"#285ADCFF", true, {40, 90, 220, 255}},
        {"285ADCFF", true, {40, 90, 220, 255}},
        {"00ff00", true, {0, 255, 0, 77}},  // six digits keep the alpha
        {"#abcDEF", true, {171, 205, 239, 77}},
        {"#00FF0080", true, {0, 255, 0, 128}},
        {"#12345", false, start},
        {"1234567", false, start},
        {"#123456789", false, start},
        {"#GG0000", false, start},
        {"##00ff00", false, start},
        {"#00ff0g", false, start},
        {" 00ff00", false, start},
        {"00ff00 ", false, start},
        {"0x00ff", false, start},
        {"", false, start},
        {"#", false, start},
    };
    for (const Case& c : cases) {
        SDL_Color io = start;
        EXPECT_EQ(parseHexColor(c.text, io), c.ok) << c.text;
        EXPECT_TRUE(sameRgba(io, c.expected)) << c.text;
    }
    EXPECT_EQ(formatHexColor(kInitial), "#285ADCFF");
    EXPECT_EQ(formatHexColor({0, 255, 10, 128}), "#00FF0A80");
}

TEST(ColorSwatches, PlacementTable) {
    struct Case {
        int width;
        std::vector<SDL_Point> expected;
    };
    const Case cases[] = {
        {320,
         {{10, 182},
          {34, 182},
          {58, 182},
          {82, 182},
          {106, 182},
          {130, 182},
          {154, 182},
          {178, 182}}},
        // 58 + 19 >= 100 - 10 would not hold, 82 + 19 does: three a row.
        {100,
         {{10, 182}, {34, 182}, {58, 182}, {10, 206}, {34, 206}, {58, 206}, {10, 230}, {34, 230}}},
        {206,
         {{10, 182},
          {34, 182},
          {58, 182},
          {82, 182},
          {106, 182},
          {130, 182},
          {154, 182},
          {10, 206}}},
        // Too narrow for even one: each on its own row, the first on the first row.
        {20,
         {{10, 182}, {10, 206}, {10, 230}, {10, 254}, {10, 278}, {10, 302}, {10, 326}, {10, 350}}},
        {-50,
         {{10, 182}, {10, 206}, {10, 230}, {10, 254}, {10, 278}, {10, 302}, {10, 326}, {10, 350}}},
    };
    for (const Case& c : cases) {
        const std::vector<SDL_Point> got = colorSwatchPositions(c.width);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(got[i].x == c.expected[i].x && got[i].y == c.expected[i].y)
                << "width " << c.width << ", swatch " << i << ": (" << got[i].x << "," << got[i].y
                << ")";
    }
}

class ColorPickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(app.openMain(800, 600), nullptr);
        app.onEnded = [this](GuiDialog* dialog, DialogTestApp::Ended& end) {
            if (auto* picker = dynamic_cast<GuiColorPickerDialog*>(dialog)) {
                endedColor = picker->color;
                end.value = picker->accepted ? "accepted" : "not accepted";
            }
        };
    }
    GuiColorPickerDialog* open(SDL_Color initial = kInitial) {
        GuiColorPickerDialog* dialog = showColorPickerDialog("Farbe wählen", initial);
        EXPECT_NE(dialog, nullptr);
        EXPECT_EQ(app.modalRoot, dialog);
        return dialog;
    }
    // One frame of the dialog window, the points read back before presenting.
    std::vector<SDL_Color> frame(const std::vector<SDL_Point>& points = {}) {
        std::vector<SDL_Color> out;
        AppWindow* dialogWindow = app.dialogWindow();
        if (!dialogWindow) return out;
        app.beforePresent = [&](AppWindow* w) {
            for (SDL_Point p : points)
                out.push_back(readPixel(w->sdlRenderer(), p.x, p.y));
        };
        app.requestRedraw();  // the test application draws on demand
        app.renderWindow(dialogWindow);
        app.beforePresent = nullptr;
        return out;
    }
    std::string hex(GuiColorPickerDialog* d) {
        std::string text;
        d->hexField->getValue(text);
        return text;
    }
    void expectShows(GuiColorPickerDialog* d, SDL_Color c) {
        const uint8_t parts[4] = {c.r, c.g, c.b, c.a};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(d->sliders[i]->numericValue(), parts[i]) << i;
            EXPECT_EQ(d->valueLabels[i]->text, std::to_string(parts[i])) << i;
        }
        EXPECT_TRUE(sameRgba(d->color, c));
    }
    // Focuses the hex field by a click and replaces its text by typing.
    void typeHex(GuiColorPickerDialog* d, const std::string& text) {
        app.click(app.dialogWindow(), d->hexField);
        app.key(SDLK_a, KMOD_CTRL);
        app.type(text);
        frame();
    }

    DialogTestApp app;
    SDL_Color endedColor{};
};

TEST_F(ColorPickerTest, OpensWithTheInitialColourEverywhere) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    int ww = 0, wh = 0;
    SDL_GetWindowSize(app.dialogWindow()->sdlWindow.get(), &ww, &wh);
    EXPECT_EQ(ww, 320);
    EXPECT_EQ(wh, 310);
    EXPECT_EQ(hex(d), "#285ADCFF");
    EXPECT_EQ(d->hexText, "#285ADCFF");
    frame();
    expectShows(d, kInitial);
    EXPECT_EQ(hex(d), "#285ADCFF");
    EXPECT_EQ(d->focus, nullptr);

    const char* names[] = {"hex", "red", "green", "blue", "alpha", "ok", "cancel"};
    for (const char* n : names)
        EXPECT_NE(d->findByName(n), nullptr) << n;
    EXPECT_EQ(d->findByName("alpha")->rect().y, 152);
    EXPECT_EQ(d->findByName("alpha")->width, 242);
    EXPECT_EQ(d->okButton->id, 1);
    EXPECT_EQ(d->cancelButton->id, 0);
    EXPECT_EQ(d->okButton->rect().x, 102);
    EXPECT_EQ(d->cancelButton->rect().y, 275);
    ASSERT_EQ(d->swatches.size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(d->swatches[i]->id, static_cast<int>(i));
        EXPECT_TRUE(sameRgba(d->swatches[i]->bgColor, colorPickerPalette()[i]));
    }
}

TEST_F(ColorPickerTest, EverySwatchOnlySetsTheColour) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    // Black (id 0, like Cancel) and white (id 1, like OK) first: neither may end the dialog.
    for (size_t i = 0; i < d->swatches.size(); ++i) {
        app.click(app.dialogWindow(), d->swatches[i]);
        frame();
        ASSERT_EQ(app.modalRoot, d) << "swatch " << i << " ended the dialog";
        EXPECT_TRUE(app.ended.empty());
        expectShows(d, colorPickerPalette()[i]);
        EXPECT_EQ(hex(d), formatHexColor(colorPickerPalette()[i]));
    }
    app.click(app.dialogWindow(), d->swatches[0]);
    frame();
    app.click(app.dialogWindow(), d->okButton);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].value, "accepted");
    EXPECT_TRUE(sameRgba(endedColor, {0, 0, 0, 255}));
}

TEST_F(ColorPickerTest, SwatchPressReleasedOutsidePostsNothing) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    const uint32_t w = app.dialogId();
    const size_t before = app.commands.size();
    GuiColorSwatch* red = d->swatches[2];
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w, red->x + 5, red->y + 5));
    // The right and bottom edges are outside.
    route(app, mouseButton(SDL_MOUSEBUTTONUP, w, red->x + red->width, red->y + 5));
    EXPECT_EQ(app.commands.size(), before);
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, w, red->x, red->y));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, w, red->x, red->y));
    ASSERT_EQ(app.commands.size(), before + 1);
    EXPECT_EQ(app.commands.back().code, static_cast<uint32_t>(CMD_ACTIVATED));
    EXPECT_EQ(app.commands.back().id, 2u);
}

TEST_F(ColorPickerTest, HexFieldDrivesTheSlidersWhileFocused) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    typeHex(d, "00ff00");
    EXPECT_TRUE(d->hexField->hasFocus);
    expectShows(d, {0, 255, 0, 255});
    EXPECT_EQ(hex(d), "00ff00");  // left as typed while focused

    typeHex(d, "#12345");  // five digits: nothing changes
    expectShows(d, {0, 255, 0, 255});
    typeHex(d, "#zz0000");
    expectShows(d, {0, 255, 0, 255});
    EXPECT_EQ(hex(d), "#zz0000");

    // Leaving the field shows the colour's own form again.
    app.click(app.dialogWindow(), d->findByName("red"));
    frame();
    EXPECT_FALSE(d->hexField->hasFocus);
    EXPECT_EQ(hex(d), formatHexColor(d->color));
}

TEST_F(ColorPickerTest, SlidersDriveTheHexField) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    d->setSliders({1, 2, 3, 4});
    frame();
    EXPECT_EQ(hex(d), "#01020304");
    EXPECT_EQ(d->hexText, "#01020304");
    expectShows(d, {1, 2, 3, 4});
}

TEST_F(ColorPickerTest, PreviewShowsTheCheckerboardThroughTheColour) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    typeHex(d, "00FF0080");
    expectShows(d, {0, 255, 0, 128});
    // Cell (0,0) is dark, (1,0) and (0,1) light; the last cells are cut at 70 x 44.
    const auto px = frame(
        {{11, 11}, {19, 11}, {11, 19}, {73, 52}, {78, 52}, {10, 10}, {79, 53}, {45, 10}, {81, 20}});
    EXPECT_TRUE(near(px[0], {100, 227, 100, 255}, 2));  // green half over (200,200,200)
    EXPECT_TRUE(near(px[1], {127, 255, 127, 255}, 2));  // green half over white
    EXPECT_TRUE(near(px[2], {127, 255, 127, 255}, 2));
    EXPECT_TRUE(near(px[3], {100, 227, 100, 255}, 2));  // column 7, row 5
    EXPECT_TRUE(near(px[4], {127, 255, 127, 255}, 2));  // column 8, row 5, cut to 6 x 4
    for (int i : {5, 6, 7})
        EXPECT_TRUE(near(px[i], {80, 80, 80, 255})) << i;  // the outline
    EXPECT_TRUE(near(px[8], {200, 200, 200, 255}));        // outside: the dialog

    typeHex(d, "#FF000000");  // fully transparent: only the board shows
    const auto clear = frame({{11, 11}, {19, 11}});
    EXPECT_TRUE(near(clear[0], {200, 200, 200, 255}));
    EXPECT_TRUE(near(clear[1], {255, 255, 255, 255}));
}

TEST_F(ColorPickerTest, SwatchesAreOutlined) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    const auto px = frame({{10, 182}, {29, 201}, {20, 192}, {34, 182}, {44, 192}, {30, 190}});
    EXPECT_TRUE(near(px[0], {80, 80, 80, 255}));
    EXPECT_TRUE(near(px[1], {80, 80, 80, 255}));
    EXPECT_TRUE(near(px[2], {0, 0, 0, 255}));
    EXPECT_TRUE(near(px[3], {80, 80, 80, 255}));
    EXPECT_TRUE(near(px[4], {255, 255, 255, 255}));
    EXPECT_TRUE(near(px[5], {200, 200, 200, 255}));  // the gap between two swatches
}

TEST_F(ColorPickerTest, EndsThroughButtonsAndKeys) {
    struct Case {
        const char* how;
        uint32_t result;
        const char* value;
    };
    const Case cases[] = {{"ok", 1, "accepted"},
                          {"cancel", 2, "not accepted"},
                          {"return", 1, "accepted"},
                          {"escape", 2, "not accepted"}};
    for (const Case& c : cases) {
        GuiColorPickerDialog* d = open();
        ASSERT_NE(d, nullptr);
        const std::string how = c.how;
        if (how == "ok") app.click(app.dialogWindow(), d->okButton);
        if (how == "cancel") app.click(app.dialogWindow(), d->cancelButton);
        if (how == "return") app.key(SDLK_RETURN);
        if (how == "escape") app.key(SDLK_ESCAPE);
        ASSERT_EQ(app.ended.size(), 1u) << how;
        EXPECT_EQ(app.ended[0].className, "GuiColorPickerDialog");
        EXPECT_EQ(app.ended[0].result, c.result) << how;
        EXPECT_EQ(app.ended[0].value, c.value) << how;
        EXPECT_TRUE(sameRgba(endedColor, kInitial)) << how;
        app.ended.clear();
        app.destroyPendingWindows();
        EXPECT_EQ(app.modalRoot, nullptr);
    }
}

TEST_F(ColorPickerTest, ReturnRightAfterTypingTakesTheTypedColour) {
    GuiColorPickerDialog* d = open();
    ASSERT_NE(d, nullptr);
    app.click(app.dialogWindow(), d->hexField);
    app.key(SDLK_a, KMOD_CTRL);
    app.type("#102030");
    app.key(SDLK_RETURN);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_TRUE(sameRgba(endedColor, {16, 32, 48, 255}));
}

TEST_F(ColorPickerTest, NarrowDialogsBuildAndDraw) {
    for (SDL_Point size : {SDL_Point{60, 120}, SDL_Point{0, 0}, SDL_Point{-10, 5}}) {
        GuiColorPickerDialog d(app.mainWindow, -1, 0, 0, size.x, size.y, {200, 200, 200, 255},
                               kInitial);
        ASSERT_EQ(d.swatches.size(), 8u);
        EXPECT_EQ(d.swatches[0]->rect().y, 182);
        d.update(0);
        d.draw(app.mainWindow->sdlRenderer());
        EXPECT_EQ(hex(&d), "#285ADCFF");
    }
}

}  // namespace
