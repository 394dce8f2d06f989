// The recorder's writer: every line it writes must read back through the script parser as
// what was recorded (tokens, text pieces, key specs), and wheel turns and pauses are folded
// as a user's recording needs.
#include "demo/DemoScript.h"
#include "demo/ScriptWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(ScriptWriter& w) {
    w.finish();
    return w.lines();
}

// The tokens of one written line as the parser reads them.
std::vector<std::string> tokensOf(const std::string& line) {
    std::vector<std::string> tokens;
    std::string message;
    EXPECT_TRUE(DemoScript::tokenize(line, tokens, message)) << line << ": " << message;
    return tokens;
}

TEST(ScriptWriterTest, TokensReadBackAsTheirText) {
    const std::string cases[] = {
        "ZazOvadir",  "Eingabe, mehrzeilig",
        "",           "\"quoted\"",
        "a\\b",       "ends\\",
        "say \"hi\"", "\\\"",
        "Grüße",      "tab\there",
        "#hash",      "cr\r",
        "x\"y",       "\"",
        "\\\\",
    };
    for (const std::string& text : cases) {
        const std::vector<std::string> tokens = tokensOf("expect " + ScriptWriter::token(text));
        ASSERT_EQ(tokens.size(), 2u) << text;
        EXPECT_EQ(tokens[1], text);
    }
    EXPECT_EQ(ScriptWriter::token("plain"), "plain");
    EXPECT_EQ(ScriptWriter::token("two words"), "\"two words\"");
    EXPECT_EQ(ScriptWriter::quoted("a\"b\\c"), "\"a\\\"b\\\\c\"");
}

TEST(ScriptWriterTest, TextSplitsAt31BytesOnUtf8Boundaries) {
    struct Case {
        std::string text;
        std::vector<size_t> sizes;
    };
    const std::string a31(31, 'a');
    const Case cases[] = {
        {"", {}},
        {"kurz", {4}},
        {a31, {31}},
        {a31 + "b", {31, 1}},
        // "ä" is two bytes: at 30 + 2 it would end at 32, so it starts the next piece.
        {std::string(30, 'a') + "ä", {30, 2}},
        {std::string(29, 'a') + "ä", {31}},
        // Four-byte sequences never split either.
        {std::string(29, 'a') + "😀", {29, 4}},
        {"ÄÖÜäöüß ÄÖÜäöüß ÄÖÜäöüß", {30, 14}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> pieces = ScriptWriter::splitText(c.text);
        std::vector<size_t> sizes;
        std::string joined;
        for (const std::string& p : pieces) {
            sizes.push_back(p.size());
            joined += p;
            // A piece starts on a lead byte.
            EXPECT_NE(static_cast<unsigned char>(p[0]) & 0xC0, 0x80) << c.text;
        }
        EXPECT_EQ(sizes, c.sizes) << c.text;
        EXPECT_EQ(joined, c.text);
    }
    // Broken text (only continuation bytes) is still cut, not looped on.
    EXPECT_EQ(ScriptWriter::splitText(std::string(40, '\x80')).size(), 2u);
}

TEST(ScriptWriterTest, TypedTextBecomesParsableTypeLines) {
    ScriptWriter w;
    const std::string text = "Größe \"7\" \\ und mehr als einunddreißig Bytes";
    w.typeText(text.substr(0, 10));
    w.typeText(text.substr(10));
    const std::vector<std::string> lines = linesOf(w);
    std::string typed;
    std::vector<ScriptCommand> commands;
    for (const std::string& line : lines) {
        std::string message;
        ASSERT_TRUE(DemoScript::parseLine(line, 1, commands, message)) << line << ": " << message;
    }
    for (const ScriptCommand& c : commands)
        if (c.code == SCRIPT_TYPE) typed += c.args[0];
    EXPECT_EQ(typed, text);
    EXPECT_EQ(lines.front().rfind("type \"Größe \\\"7\\\" \\\\", 0), 0u) << lines.front();
}

TEST(ScriptWriterTest, KeySpecsCarryTheirModifiersAndReadBack) {
    struct Case {
        SDL_Keycode key;
        uint16_t mods;
        const char* spec;
    };
    const Case cases[] = {
        {SDLK_a, KMOD_LCTRL, "ctrl+a"},
        {SDLK_a, KMOD_RCTRL, "ctrl+a"},
        {SDLK_F3, 0, "F3"},
        {SDLK_RETURN, 0, "Return"},
        {SDLK_LEFT, KMOD_LSHIFT, "shift+Left"},
        {SDLK_END, KMOD_RSHIFT | KMOD_LCTRL, "ctrl+shift+End"},
        {SDLK_d, KMOD_LALT, "alt+d"},
        {SDLK_PLUS, KMOD_LCTRL, "ctrl++"},
        {SDLK_SPACE, 0, "Space"},
        {SDLK_KP_ENTER, 0, "Keypad Enter"},
        // What the script cannot carry: the GUI modifier alone is dropped, an unknown key is not
        // written at all.
        {SDLK_TAB, KMOD_LGUI, "Tab"},
        {SDLK_UNKNOWN, 0, ""},
    };
    for (const Case& c : cases) {
        const std::string spec = ScriptWriter::keySpec(c.key, c.mods);
        EXPECT_EQ(spec, c.spec) << c.key;
        if (spec.empty()) continue;
        const std::vector<std::string> tokens = tokensOf("key " + ScriptWriter::token(spec));
        ASSERT_EQ(tokens.size(), 2u) << spec;
        SDL_Keycode key = 0;
        uint16_t mods = 0;
        ASSERT_TRUE(DemoScript::parseKeySpec(tokens[1], key, mods)) << spec;
        EXPECT_EQ(key, c.key) << spec;
    }
    ScriptWriter w;
    EXPECT_TRUE(w.key(SDLK_KP_ENTER, 0));
    EXPECT_FALSE(w.key(SDLK_UNKNOWN, 0));
    const std::vector<std::string> lines = linesOf(w);
    EXPECT_EQ(lines[0], "key \"Keypad Enter\"");
    EXPECT_EQ(lines[1].rfind("# ", 0), 0u);
}

TEST(ScriptWriterTest, PausesRoundToTenthsAndStopAtTwoSeconds) {
    struct Case {
        uint32_t ms;
        int32_t tenths;
        const char* written;
    };
    const Case cases[] = {
        {0, 0, nullptr},      {49, 0, nullptr},      {50, 1, "wait 0.1"},
        {149, 1, "wait 0.1"}, {150, 2, "wait 0.2"},  {1000, 10, "wait 1"},
        {1960, 20, "wait 2"}, {60000, 20, "wait 2"}, {UINT32_MAX, 20, "wait 2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScriptWriter::waitTenths(c.ms), c.tenths) << c.ms;
        ScriptWriter w;
        w.pause(c.ms);
        w.click(SDL_BUTTON_LEFT);
        const std::vector<std::string> lines = linesOf(w);
        if (c.written) {
            EXPECT_EQ(lines, (std::vector<std::string>{c.written, "click", "finish"})) << c.ms;
        } else {
            EXPECT_EQ(lines, (std::vector<std::string>{"click", "finish"})) << c.ms;
        }
    }
}

// The runner's motion to a new place takes distance / 500 px/s, at least 0.5 s and at most 2 s,
// and the user's pause before the press held that travel already.
TEST(ScriptWriterTest, AMotionTakesItsTimeOutOfThePauseBeforeIt) {
    struct Case {
        uint32_t pauseMs;
        ScriptTarget to;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {1500, {"", 600, 100}, {"wait 0.5", "move 600 100", "click"}},  // 500 px: 1 s
        {900, {"", 600, 100}, {"move 600 100", "click"}},               // less than the motion
        {1500, {"", 120, 100}, {"wait 1", "move 120 100", "click"}},    // 20 px: 0.5 s
        {6000, {"", 1900, 100}, {"wait 2", "move 1900 100", "click"}},  // 2 s, cap after
        {1500, {"", 100, 100}, {"wait 1.5", "click"}},                  // no motion at all
    };
    for (const Case& c : cases) {
        ScriptWriter w;
        w.pointerTo({"", 100, 100});
        w.click(SDL_BUTTON_LEFT);
        w.pause(c.pauseMs);
        w.pointerTo(c.to);
        w.click(SDL_BUTTON_LEFT);
        std::vector<std::string> expected = {"move 100 100", "click"};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.push_back("finish");
        EXPECT_EQ(linesOf(w), expected) << c.pauseMs;
    }
}

TEST(ScriptWriterTest, WheelNotchesMergeOnTheSameTargetInOneDirection) {
    struct Turn {
        ScriptTarget target;
        int32_t steps;
    };
    struct Case {
        std::vector<Turn> turns;
        std::vector<std::string> lines;
    };
    const ScriptTarget list{"list", 5, 5};
    const ScriptTarget listElsewhere{"list", 9, 9};
    const ScriptTarget at{"", 10, 20};
    const ScriptTarget beside{"", 11, 20};
    const Case cases[] = {
        {{{list, -1}, {list, -1}, {listElsewhere, -2}}, {"wait 0.4", "move_to list", "wheel -4"}},
        {{{at, 1}, {at, 2}}, {"wait 0.4", "move 10 20", "wheel 3"}},
        {{{at, 1}, {beside, 1}},
         {"wait 0.4", "move 10 20", "wheel 1", "move 11 20", "wheel 1"}},  // 0.5 s motion
        // Back and forth at the end of a list is not the same as no turn at all.
        {{{list, 3}, {list, -3}}, {"wait 0.4", "move_to list", "wheel 3", "wait 0.4", "wheel -3"}},
        {{{list, 0}}, {}},
        {{{at, INT32_MAX}, {at, 1}},
         {"wait 0.4", "move 10 20", "wheel 2147483647", "wait 0.4", "wheel 1"}},
    };
    for (const Case& c : cases) {
        ScriptWriter w;
        for (const Turn& t : c.turns) {
            w.pause(400);  // the pause before a merged notch goes with it
            w.wheel(t.target, t.steps);
        }
        std::vector<std::string> expected = c.lines;
        expected.push_back("finish");
        EXPECT_EQ(linesOf(w), expected);
    }
    // Anything between two notches ends the merge.
    ScriptWriter w;
    w.wheel(list, 1);
    w.typeText("x");
    w.wheel(list, 1);
    EXPECT_EQ(linesOf(w), (std::vector<std::string>{"move_to list", "wheel 1", "type \"x\"",
                                                    "wheel 1", "finish"}));
}

TEST(ScriptWriterTest, NamedAndUnnamedTargetsMoveOnlyWhenThePointerMoves) {
    ScriptWriter w;
    w.window("ZazOvadir", false);
    w.pointerTo({"button1", 3, 4});
    w.click(SDL_BUTTON_LEFT);
    w.pointerTo({"button1", 7, 8});  // elsewhere on the same button: no motion
    w.click(SDL_BUTTON_RIGHT);
    w.pointerTo({"", 100, 200});
    w.mouseDown(SDL_BUTTON_MIDDLE);
    w.dragTo({"", 150, 200}, 30);
    w.dragTo({"row 2", 0, 0}, 1250);
    w.mouseUp(SDL_BUTTON_MIDDLE);
    w.window("Meldung", true);
    w.pointerTo({"ok", 0, 0});
    w.click(SDL_BUTTON_LEFT);
    w.windowClosed("Meldung", true);
    w.window("ZazOvadir", false);
    w.pointerTo({"ok", 0, 0});  // a new window: the pointer is placed again
    w.expect("counter", "3");
    const std::vector<std::string> expected = {
        "window ZazOvadir",
        "move_to button1",
        "click",
        "click right",
        "move 100 200",
        "mouse_down middle",
        "move 150 200 0.1",
        "move_to \"row 2\" 1.3",
        "mouse_up middle",
        "wait_window Meldung 5",
        "window Meldung",
        "move_to ok",
        "click",
        "wait_command modal_closed 5",
        "wait_window_closed Meldung 5",
        "window ZazOvadir",
        "move_to ok",
        "expect counter 3",
        "finish",
    };
    const std::vector<std::string> lines = linesOf(w);
    EXPECT_EQ(lines, expected);
    std::vector<ScriptCommand> commands;
    for (const std::string& line : lines) {
        std::string message;
        EXPECT_TRUE(DemoScript::parseLine(line, 1, commands, message)) << line << ": " << message;
    }
}

TEST(ScriptWriterTest, TruncateDropsWhatFollowedTheMark) {
    ScriptWriter w;
    w.typeText("abc");
    const size_t mark = w.mark();
    w.pointerTo({"file_quit", 0, 0});
    w.click(SDL_BUTTON_LEFT);
    w.truncate(mark);
    EXPECT_EQ(linesOf(w), (std::vector<std::string>{"type \"abc\"", "finish"}));
}

}  // namespace
