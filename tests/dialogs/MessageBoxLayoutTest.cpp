// The message box's arithmetic: line wrapping, box sizes, button sets, default and cancel
// results, icon choice, and the icons' pixels.
#include "dialogs/MessageBox.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

std::vector<std::string> lineCount(size_t n) {
    return std::vector<std::string>(n, "x");
}

TEST(MessageBoxWrap, SplitsAtLineFeedsAndWhiteSpace) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const std::string word100(100, 'w');
    const std::vector<Case> cases = {
        {"a\n\nb", {"a", "", "b"}},
        {"   ", {""}},
        {"", {""}},
        {"\n", {"", ""}},
        {"eins  zwei\tdrei", {"eins zwei drei"}},
        // 40 bytes fit exactly, the 41st starts a new line.
        {std::string(20, 'a') + " " + std::string(19, 'b'),
         {std::string(20, 'a') + " " + std::string(19, 'b')}},
        {std::string(20, 'a') + " " + std::string(20, 'b'),
         {std::string(20, 'a'), std::string(20, 'b')}},
        {"kurz " + word100 + " ende", {"kurz", word100, "ende"}},
        // Bytes, not characters: 20 two-byte letters fill a line.
        {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4 "
         "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
         {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4",
          "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"}},
        {"  vorne und hinten  \n", {"vorne und hinten", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(wrapMessageText(c.text), c.lines) << c.text;
}

TEST(MessageBoxWrap, TheDemosLongTextBreaksIntoLinesOfAtMostFortyBytes) {
    auto lines = wrapMessageText(
        "Das ist nur eine simple MessageBox mit einem sehr langen Text um zu sehen ob die "
        "Zeilentrennung gut funktioniert!\n\nHier geht es weiter!");
    // "einem ... ob die" would be 41 bytes: the greedy rule must move "die" on.
    const std::vector<std::string> expected = {
        "Das ist nur eine simple MessageBox mit", "einem sehr langen Text um zu sehen ob",
        "die Zeilentrennung gut funktioniert!", "", "Hier geht es weiter!"};
    EXPECT_EQ(lines, expected);
    for (const auto& l : lines)
        EXPECT_LE(l.size(), 40u);
}

TEST(MessageBoxLayout, HeightFollowsTheLineCountWithAFloorOf130) {
    const std::array<std::pair<size_t, int>, 5> cases{
        {{1, 130}, {2, 130}, {3, 135}, {5, 175}, {10, 275}}};
    for (auto [n, height] : cases)
        EXPECT_EQ(layoutMessageBox(lineCount(n), 1, 0).height, height) << n << " lines";
    // An icon asks for at least 32 pixels of content; with one line that is still below 130.
    EXPECT_EQ(layoutMessageBox(lineCount(1), 1, MB_ICON_INFO).height, 130);
    EXPECT_EQ(layoutMessageBox(lineCount(3), 1, MB_ICON_INFO).height, 135);
}

TEST(MessageBoxLayout, WidthFromTextButtonsAndIcon) {
    struct Case {
        size_t lineBytes, buttons;
        uint32_t flags;
        int width, textWidth, buttonsWidth, iconOffset;
    };
    const std::array<Case, 7> cases{{
        {10, 1, 0, 320, 80, 100, 0},    // the 320-pixel floor
        {40, 1, 0, 352, 320, 100, 0},   // 40 bytes x 8
        {100, 1, 0, 452, 420, 100, 0},  // a 100-byte word reaches the 420 limit
        {100, 1, MB_ICON_ERROR, 496, 464, 100, 44},
        {10, 2, 0, 320, 80, 212, 0},
        {10, 3, 0, 356, 80, 324, 0},  // three buttons with two gaps
        {40, 3, MB_ICON_QUESTION, 396, 364, 324, 44},
    }};
    for (const auto& c : cases) {
        auto l = layoutMessageBox({std::string(c.lineBytes, 'x')}, c.buttons, c.flags);
        EXPECT_EQ(l.width, c.width) << c.lineBytes << " bytes, " << c.buttons << " buttons";
        EXPECT_EQ(l.textWidth, c.textWidth);
        EXPECT_EQ(l.buttonsWidth, c.buttonsWidth);
        EXPECT_EQ(l.iconOffset, c.iconOffset);
    }
}

TEST(MessageBoxLayout, HugeInputStaysWithinSaneWindowSizes) {
    auto l = layoutMessageBox({std::string(1 << 20, 'x')}, 1, 0);
    EXPECT_EQ(l.width, 452);
    auto tall = layoutMessageBox(lineCount(1'000'000), 1, 0);
    EXPECT_EQ(tall.height, kMessageBoxMaxHeight);
}

TEST(MessageBoxButtons, SetsOrderDefaultsAndCancelResults) {
    struct Case {
        uint32_t flags;
        std::vector<std::string> names;
        size_t defaultIndex;
        int cancelResult;
    };
    const std::vector<Case> cases = {
        {0, {"ok"}, 0, 1},
        {MB_CANCEL, {"ok", "cancel"}, 0, 2},
        {MB_YES, {"yes"}, 0, 3},
        {MB_NO, {"no"}, 0, 4},
        {MB_YES | MB_NO, {"yes", "no"}, 0, 4},
        {MB_YES | MB_CANCEL, {"yes", "cancel"}, 0, 2},
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_SECOND, {"yes", "no", "cancel"}, 1, 2},
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_THIRD, {"yes", "no", "cancel"}, 2, 2},
        // The third-button rule wins when both apply; neither applies without enough buttons.
        {MB_YES | MB_NO | MB_CANCEL | MB_DEFAULT_SECOND | MB_DEFAULT_THIRD,
         {"yes", "no", "cancel"},
         2,
         2},
        {MB_DEFAULT_SECOND, {"ok"}, 0, 1},
        {MB_CANCEL | MB_DEFAULT_THIRD, {"ok", "cancel"}, 0, 2},
        {0x21203, {"ok", "cancel"}, 1, 2},  // the demo's "Enter bricht ab" box
    };
    for (const auto& c : cases) {
        auto buttons = messageBoxButtons(c.flags);
        std::vector<std::string> names;
        for (const auto& b : buttons)
            names.emplace_back(b.name);
        EXPECT_EQ(names, c.names) << std::hex << c.flags;
        EXPECT_EQ(defaultButtonIndex(c.flags, buttons.size()), c.defaultIndex)
            << std::hex << c.flags;
        EXPECT_EQ(cancelResultFor(buttons), c.cancelResult) << std::hex << c.flags;
    }
}

TEST(MessageBoxButtons, CaptionsIdsAndResults) {
    auto buttons = messageBoxButtons(MB_YES | MB_NO | MB_CANCEL);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_STREQ(buttons[0].caption, "Yes");
    EXPECT_EQ(buttons[0].id, 2);
    EXPECT_EQ(buttons[0].result, 3);
    EXPECT_STREQ(buttons[1].caption, "No");
    EXPECT_EQ(buttons[1].id, 3);
    EXPECT_EQ(buttons[1].result, 4);
    EXPECT_STREQ(buttons[2].caption, "Cancel");
    EXPECT_EQ(buttons[2].id, 0);
    EXPECT_EQ(buttons[2].result, 2);
    auto ok = messageBoxButtons(0);
    EXPECT_STREQ(ok[0].caption, "Ok");
    EXPECT_EQ(ok[0].id, 1);
}

TEST(MessageBoxIcons, ChoiceByFlags) {
    EXPECT_EQ(iconForFlags(0), MessageBoxIcon::None);
    EXPECT_EQ(iconForFlags(MB_ICON_INFO), MessageBoxIcon::Information);
    EXPECT_EQ(iconForFlags(MB_ICON_WARNING), MessageBoxIcon::Warning);
    EXPECT_EQ(iconForFlags(MB_ICON_WARNING | MB_ICON_QUESTION), MessageBoxIcon::Warning);
    EXPECT_EQ(iconForFlags(MB_ICON_WARNING | MB_ICON_ERROR), MessageBoxIcon::Error);
    EXPECT_EQ(iconForFlags(MB_ICON_ERROR | MB_ICON_QUESTION), MessageBoxIcon::Error);
    EXPECT_EQ(iconForFlags(MB_ICON_QUESTION | MB_ICON_INFO), MessageBoxIcon::Question);
}

uint32_t rgbOf(const std::array<uint32_t, 32 * 32>& px, int x, int y) {
    return px[y * 32 + x] & 0xFFFFFF;
}

TEST(MessageBoxIcons, ShapesAndColours) {
    std::array<uint32_t, 32 * 32> px{};
    // Colours in the middle of flat areas, away from anti-aliased edges.
    ASSERT_TRUE(paintMessageBoxIcon(MessageBoxIcon::Warning, px.data()));
    EXPECT_EQ(rgbOf(px, 8, 27), 0xF3B319u);   // triangle body (0.95, 0.7, 0.1) as cairo rounds it
    EXPECT_EQ(rgbOf(px, 16, 15), 0x000000u);  // exclamation stroke
    EXPECT_EQ(rgbOf(px, 16, 25), 0x000000u);  // dot
    EXPECT_EQ(px[2 * 32 + 2] >> 24, 0u);      // outside the triangle stays transparent

    ASSERT_TRUE(paintMessageBoxIcon(MessageBoxIcon::Error, px.data()));
    EXPECT_EQ(rgbOf(px, 16, 4), 0xCC1E1Eu);   // red disc (0.8, 0.12, 0.12)
    EXPECT_EQ(rgbOf(px, 16, 16), 0xFFFFFFu);  // crossing of the white strokes
    EXPECT_EQ(rgbOf(px, 13, 13), 0xFFFFFFu);
    EXPECT_EQ(px[0] >> 24, 0u);  // corner outside the disc

    ASSERT_TRUE(paintMessageBoxIcon(MessageBoxIcon::Information, px.data()));
    EXPECT_EQ(rgbOf(px, 8, 16), 0x2666CCu);   // blue disc (0.15, 0.4, 0.8)
    EXPECT_EQ(rgbOf(px, 16, 9), 0xFFFFFFu);   // dot of the i
    EXPECT_EQ(rgbOf(px, 16, 20), 0xFFFFFFu);  // stem
    EXPECT_EQ(rgbOf(px, 16, 12), 0x2666CCu);  // gap between dot and stem

    ASSERT_TRUE(paintMessageBoxIcon(MessageBoxIcon::Question, px.data()));
    EXPECT_EQ(rgbOf(px, 11, 12), 0xFFFFFFu);  // left end of the hook's arc
    EXPECT_EQ(rgbOf(px, 16, 25), 0xFFFFFFu);  // dot
    EXPECT_EQ(rgbOf(px, 16, 12), 0x2666CCu);  // inside the hook: still the disc

    EXPECT_FALSE(paintMessageBoxIcon(MessageBoxIcon::None, px.data()));
}

}  // namespace

namespace {

// Displays that cannot be created headless: a left, an upper and a primary one.
TEST(MessageBoxPlacement, KeepsNegativeDisplayOriginsAndClampsOnlyToTheDisplays) {
    struct Case {
        const char* what;
        int x, y;
        bool haveOrigin;
        SDL_Rect origin;
        std::vector<SDL_Rect> displays;
        SDL_Point expected;
    };
    const SDL_Rect primary{0, 0, 1920, 1040};
    const SDL_Rect left{-1920, 0, 1920, 1040};
    const SDL_Rect above{0, -1080, 1920, 1040};
    const int centred = SDL_WINDOWPOS_CENTERED;
    const std::vector<Case> cases = {
        {"primary display", 200, 800, true, primary, {primary}, {200, 800}},
        {"display left of the primary", 200, 100, true, left, {left, primary}, {-1720, 100}},
        {"display above the primary", 50, 60, true, above, {primary, above}, {50, -1020}},
        {"negative coordinates are centred", -5, 30, true, left, {left, primary}, {centred, 30}},
        {"an explicit centring stays one", centred, 7, true, left, {left}, {centred, 7}},
        {"origin unreadable", 200, 800, false, {}, {left, primary}, {200, 800}},
        {"no displays at all", 200, 800, false, {}, {}, {200, 800}},
        {"past the int range", INT_MAX - 1, 5, true, {1920, 0, 1920, 1040}, {}, {INT_MAX, 5}},
        {"empty display bounds are skipped", 0, 0, true, primary, {{-5000, -5000, 0, 0}}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SDL_Point p =
            placeMessageBox(c.x, c.y, c.haveOrigin ? &c.origin : nullptr, c.displays);
        EXPECT_EQ(p.x, c.expected.x);
        EXPECT_EQ(p.y, c.expected.y);
    }
}

}  // namespace
