// The message box as a window: its children, results by key and by click, the default-button
// outline and the icon in pixels, placement and the position lines.
#include "DialogTestApp.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "dialogs/MessageBox.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr SDL_Color kBackground{200, 200, 200, 255};
constexpr SDL_Color kOutline{32, 96, 208, 255};
// Ok and Cancel with Cancel the default, plus flags that must not change the buttons.
constexpr uint32_t kOkCancelSecond = MB_CANCEL | MB_ICON_WARNING | MB_CENTER | MB_DEFAULT_SECOND;

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(app.openMain(800, 600), nullptr); }

    GuiMessageBoxDialog* open(uint32_t flags, const std::string& text = "Hallo") {
        GuiMessageBoxDialog* box = showMessageBox(text, "Titel", flags, -1, -1);
        EXPECT_NE(box, nullptr);
        EXPECT_EQ(app.modalRoot, box);
        return box;
    }
    GuiObject* named(GuiMessageBoxDialog* box, const char* name) {
        GuiObject* obj = box->findByName(name);
        EXPECT_NE(obj, nullptr) << name;
        return obj;
    }
    // Draws the dialog once and reads one pixel of it before presenting.
    SDL_Color pixelAt(int x, int y) {
        AppWindow* w = app.dialogWindow();
        std::optional<SDL_Color> seen;
        app.beforePresent = [&](AppWindow* drawn) {
            if (drawn == w) seen = readPixel(drawn->sdlRenderer(), x, y);
        };
        app.requestRedraw();  // the test application draws on demand
        app.frames(1);
        app.beforePresent = nullptr;
        EXPECT_TRUE(seen.has_value());
        return seen.value_or(SDL_Color{0, 0, 0, 0});
    }

    DialogTestApp app;
};

TEST_F(MessageBoxTest, KeysEndWithTheDefaultOrTheCancelResult) {
    struct Case {
        uint32_t flags;
        SDL_Keycode key;
        uint32_t result;
    };
    const Case cases[] = {
        {0, SDLK_RETURN, 1},
        {0, SDLK_ESCAPE, 1},
        {MB_YES | MB_NO, SDLK_RETURN, 3},
        {MB_YES | MB_NO, SDLK_ESCAPE, 4},
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_SECOND, SDLK_RETURN, 4},
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_SECOND, SDLK_ESCAPE, 2},
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_THIRD, SDLK_RETURN, 2},
        {kOkCancelSecond, SDLK_RETURN, 2},  // Ok and Cancel, Cancel the default
        {MB_CANCEL, SDLK_RETURN, 1},
    };
    for (const Case& c : cases) {
        GuiMessageBoxDialog* box = open(c.flags);
        ASSERT_NE(box, nullptr);
        const uint32_t windowId = app.dialogId();
        app.key(c.key);
        ASSERT_FALSE(app.ended.empty());
        EXPECT_EQ(app.ended.back().result, c.result) << std::hex << c.flags << " key " << c.key;
        EXPECT_EQ(app.ended.back().className, "GuiMessageBoxDialog");
        EXPECT_EQ(app.modalRoot, nullptr);
        EXPECT_EQ(app.findWindowById(windowId), nullptr) << "closed after the event";
    }
    EXPECT_EQ(app.ended.size(), std::size(cases));
}

TEST_F(MessageBoxTest, ClickingEachButtonEndsWithItsResult) {
    const std::pair<const char*, uint32_t> cases[] = {{"yes", 3}, {"no", 4}, {"cancel", 2}};
    for (auto [name, result] : cases) {
        GuiMessageBoxDialog* box = open(MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_THIRD);
        ASSERT_NE(box, nullptr);
        app.click(app.dialogWindow(), named(box, name));
        ASSERT_FALSE(app.ended.empty());
        EXPECT_EQ(app.ended.back().result, result) << name;
    }
    // Ok ends with 1 even when Cancel is the default that Return would choose.
    GuiMessageBoxDialog* box = open(kOkCancelSecond);
    app.click(app.dialogWindow(), named(box, "ok"));
    EXPECT_EQ(app.ended.back().result, 1u);
    EXPECT_EQ(app.ended.size(), 4u);
}

TEST_F(MessageBoxTest, KeysOtherThanReturnAndEscapeAndClicksBesideButtonsDoNotEnd) {
    GuiMessageBoxDialog* box = open(MB_YES | MB_NO);
    app.key(SDLK_y);
    app.key(SDLK_F3);
    const uint32_t id = app.dialogId();
    route(app, mouseButton(SDL_MOUSEBUTTONDOWN, id, 2, 2));
    route(app, mouseButton(SDL_MOUSEBUTTONUP, id, 2, 2));
    EXPECT_TRUE(app.ended.empty());
    EXPECT_EQ(app.modalRoot, box);
    EXPECT_EQ(box->result, 0);
}

TEST_F(MessageBoxTest, ChildrenArePlacedByTheLayout) {
    const std::string text = "Erste Zeile\n\n" + std::string(100, 'w');
    GuiMessageBoxDialog* box = open(MB_YES | MB_NO | MB_CANCEL | MB_ICON_WARNING, text);
    ASSERT_NE(box, nullptr);
    // Text width 420 + icon 44 + 32 margin.
    ASSERT_EQ(box->width, 496);
    ASSERT_EQ(box->height, 135);
    int w = 0, h = 0;
    SDL_GetWindowSize(app.dialogWindow()->sdlWindow.get(), &w, &h);
    EXPECT_EQ(w, 496);
    EXPECT_EQ(h, 135);

    std::vector<GuiLabel*> labels;
    for (auto& child : box->children)
        if (auto* label = dynamic_cast<GuiLabel*>(child.get())) labels.push_back(label);
    ASSERT_EQ(labels.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(labels[i]->id, 1000 + i);
        EXPECT_EQ(labels[i]->rect().x, 60);
        EXPECT_EQ(labels[i]->rect().y, 16 + 20 * i);
        EXPECT_EQ(labels[i]->width, 496 - 32 - 44);
        EXPECT_EQ(labels[i]->height, 20);
    }
    EXPECT_EQ(labels[1]->text, "");
    EXPECT_EQ(labels[2]->text, std::string(100, 'w'));

    // Three buttons, 324 wide together, centred: (496 - 324) / 2 = 86.
    const char* names[] = {"yes", "no", "cancel"};
    const char* captions[] = {"Yes", "No", "Cancel"};
    for (int j = 0; j < 3; ++j) {
        auto* button = dynamic_cast<GuiButton*>(named(box, names[j]));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->rect().x, 86 + 112 * j) << names[j];
        EXPECT_EQ(button->rect().y, 135 - 41);
        EXPECT_EQ(button->width, 100);
        EXPECT_EQ(button->height, 25);
        EXPECT_EQ(button->label, captions[j]);
    }
    EXPECT_EQ(box->defaultButton, named(box, "yes"));
    EXPECT_TRUE(box->hasChoice);
}

TEST_F(MessageBoxTest, DefaultButtonIsOutlinedOnlyWhenThereIsAChoice) {
    GuiMessageBoxDialog* box = open(MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_SECOND);
    GuiObject* no = named(box, "no");
    GuiObject* yes = named(box, "yes");
    EXPECT_EQ(box->defaultButton, no);
    EXPECT_TRUE(sameColor(pixelAt(no->x - 2, no->y + 10), kOutline));
    EXPECT_TRUE(sameColor(pixelAt(no->x - 3, no->y + 10), kOutline));
    EXPECT_TRUE(sameColor(pixelAt(no->x + no->width + 2, no->y - 3), kOutline));
    EXPECT_TRUE(sameColor(pixelAt(no->x - 4, no->y + 10), kBackground));
    EXPECT_TRUE(sameColor(pixelAt(yes->x - 2, yes->y + 10), kBackground));
    app.key(SDLK_ESCAPE);

    box = open(0);
    GuiObject* ok = named(box, "ok");
    EXPECT_EQ(box->defaultButton, ok);
    EXPECT_FALSE(box->hasChoice);
    EXPECT_TRUE(sameColor(pixelAt(ok->x - 2, ok->y + 10), kBackground));
    EXPECT_TRUE(sameColor(pixelAt(ok->x - 3, ok->y + 10), kBackground));
}

TEST_F(MessageBoxTest, IconIsDrawnAtSixteenSixteenOnlyWithAnIconFlag) {
    open(MB_ICON_ERROR);
    // Window (32, 20) is icon pixel (16, 4): inside the red disc, clear of the white cross.
    EXPECT_TRUE(sameColor(pixelAt(32, 20), SDL_Color{204, 30, 30, 255}));
    EXPECT_TRUE(sameColor(pixelAt(32, 32), SDL_Color{255, 255, 255, 255}));
    EXPECT_TRUE(sameColor(pixelAt(16, 16), kBackground)) << "transparent icon corner";
    app.key(SDLK_RETURN);

    open(MB_ICON_WARNING);
    EXPECT_TRUE(sameColor(pixelAt(24, 43), SDL_Color{243, 179, 25, 255}));
    app.key(SDLK_RETURN);

    GuiMessageBoxDialog* plain = open(0);
    EXPECT_TRUE(sameColor(pixelAt(32, 20), kBackground));
    EXPECT_EQ(plain->icon, nullptr);
}

TEST_F(MessageBoxTest, PlacementAndPositionLines) {
    SDL_Rect usable{0, 0, 0, 0};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);

    testing::internal::CaptureStdout();
    GuiMessageBoxDialog* box = showMessageBox("Hallo", "Titel", 0, 200, 800);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(box, nullptr);
    int x = 0, y = 0;
    SDL_GetWindowPosition(app.dialogWindow()->sdlWindow.get(), &x, &y);
    EXPECT_EQ(x, usable.x + 200);
    EXPECT_EQ(y, usable.y + 800);
    EXPECT_NE(out.find("After create: requested=(" + std::to_string(usable.x + 200) + "," +
                       std::to_string(usable.y + 800) + "), real=(" + std::to_string(x) + "," +
                       std::to_string(y) + ")\n"),
              std::string::npos)
        << out;
    EXPECT_NE(
        out.find("After openModal: real=(" + std::to_string(x) + "," + std::to_string(y) + ")\n"),
        std::string::npos)
        << out;
    app.key(SDLK_RETURN);

    // Centred: the given position is ignored and the box sits in the middle of the main window.
    int mx = 0, my = 0;
    SDL_GetWindowPosition(app.mainWindow->sdlWindow.get(), &mx, &my);
    testing::internal::CaptureStdout();
    box = showMessageBox("Hallo", "Titel", MB_CENTER, 200, 800);
    out = testing::internal::GetCapturedStdout();
    ASSERT_NE(box, nullptr);
    SDL_Window* sdlWindow = app.dialogWindow()->sdlWindow.get();
    SDL_GetWindowPosition(sdlWindow, &x, &y);
    EXPECT_EQ(x, mx + (800 - 320) / 2);
    EXPECT_EQ(y, my + (600 - 130) / 2);
    const std::string centred = std::to_string(SDL_WINDOWPOS_CENTERED);
    EXPECT_NE(out.find("After create: requested=(" + centred + "," + centred + ")"),
              std::string::npos)
        << out;
}

TEST_F(MessageBoxTest, NegativeCoordinatesAreCentredOneByOne) {
    int mx = 0, my = 0;
    SDL_GetWindowPosition(app.mainWindow->sdlWindow.get(), &mx, &my);
    SDL_Rect usable{0, 0, 0, 0};
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    testing::internal::CaptureStdout();
    ASSERT_NE(showMessageBox("Hallo", "Titel", 0, -5, 30), nullptr);
    testing::internal::GetCapturedStdout();
    int x = 0, y = 0;
    SDL_GetWindowPosition(app.dialogWindow()->sdlWindow.get(), &x, &y);
    EXPECT_EQ(x, mx + (800 - 320) / 2);
    EXPECT_EQ(y, usable.y + 30);
}

TEST_F(MessageBoxTest, HostileTextStillOpensABoundedBox) {
    std::string text(200000, '\n');
    text += std::string(5000, 'x') + "\xFF\xC3";
    GuiMessageBoxDialog* box = open(MB_ICON_QUESTION, text);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->height, kMessageBoxMaxHeight);
    EXPECT_EQ(box->width, 496);
    // Labels stop above the buttons.
    int lowest = 0;
    for (auto& child : box->children)
        if (dynamic_cast<GuiLabel*>(child.get()))
            lowest = std::max(lowest, child->y + child->height);
    EXPECT_LE(lowest, box->height - 41);
    app.frames(1);
    app.key(SDLK_RETURN);
    EXPECT_EQ(app.ended.back().result, 1u);
}

TEST(MessageBoxWithoutMainWindow, ReturnsNull) {
    DialogTestApp app;
    EXPECT_EQ(showMessageBox("Hallo", "Titel", 0, -1, -1), nullptr);
    EXPECT_EQ(app.modalRoot, nullptr);
}

}  // namespace
