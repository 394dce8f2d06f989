// The script language: tokenizer, argument checks and their messages, seconds, key specs,
// motion times, whole scripts and script files.
#include "demo/DemoRunner.h"
#include "demo/DemoScript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace std::string_literals;

namespace {

struct LineCase {
    std::string line;
    bool ok;
    int code;  // -1: the line produces no command
    std::vector<std::string> args;
    const char* message;
};

std::string describe(const LineCase& c) {
    return std::string("line: [") + c.line + "]";
}

}  // namespace

TEST(RunnerScript, ParsesLinesIntoCommandsOrMessages) {
    const std::string type31(31, 'x');
    const std::string type32(32, 'x');
    const std::string typeLine31 = "type " + type31;
    const std::string typeLine32 = "type " + type32;
    const LineCase cases[] = {
        {"", true, -1, {}, ""},
        {" \t\r", true, -1, {}, ""},
        {"# Kommentar mit \"offenem Zitat", true, -1, {}, ""},
        {"   #x y", true, -1, {}, ""},
        {"scene #kein_Kommentar", true, SCRIPT_SCENE, {"#kein_Kommentar"}, ""},
        {"scene \"Hallo Welt\"\r", true, SCRIPT_SCENE, {"Hallo Welt"}, ""},
        {"type \"a\\\"b\"", true, SCRIPT_TYPE, {"a\"b"}, ""},
        {"type \"C:\\\\x\"", true, SCRIPT_TYPE, {"C:\\x"}, ""},
        {"type \"a\\b\"", true, SCRIPT_TYPE, {"a\\b"}, ""},
        {"type \"ab\\\\\"", true, SCRIPT_TYPE, {"ab\\"}, ""},
        {"type \"\\\\\\\"\"", true, SCRIPT_TYPE, {"\\\""}, ""},
        {"type \"a\\\\\\\\b\"", true, SCRIPT_TYPE, {"a\\\\b"}, ""},
        {"type \"a\0b\""s, false, 0, {}, "Nullbyte in der Zeile"},
        {"expect text1 a\0b"s, false, 0, {}, "Nullbyte in der Zeile"},
        {"scene\0 x"s, false, 0, {}, "Nullbyte in der Zeile"},
        {"# Kommentar \0"s, true, -1, {}, ""},
        {"scene ab\"c", true, SCRIPT_SCENE, {"ab\"c"}, ""},
        {"scene \"\"", true, SCRIPT_SCENE, {""}, ""},
        {"scene \"ab\"cd", false, 0, {}, "falsche Anzahl Argumente für scene"},
        {"scene \"offen", false, 0, {}, "Anführungszeichen nicht geschlossen"},
        {"type \"ab\\\"", false, 0, {}, "Anführungszeichen nicht geschlossen"},
        {"Scene x", false, 0, {}, "unbekannter Befehl Scene"},
        {"wait", false, 0, {}, "falsche Anzahl Argumente für wait"},
        {"wait 1.5", true, SCRIPT_WAIT, {"1.5"}, ""},
        {"wait -1", false, 0, {}, "ungültige Zeit"},
        {"wait 1,5", false, 0, {}, "ungültige Zeit"},
        {"window ZazOvadir", true, SCRIPT_WINDOW, {"ZazOvadir"}, ""},
        {"move 10 -20", true, SCRIPT_MOVE, {"10", "-20"}, ""},
        {"move 10 20 0", true, SCRIPT_MOVE, {"10", "20", "0"}, ""},
        {"move 10.5 20", false, 0, {}, "ungültige Koordinate"},
        {"move 99999999999 0", false, 0, {}, "ungültige Koordinate"},
        {"move 10 20 x", false, 0, {}, "ungültige Zeit"},
        {"move 10 20 1 2", false, 0, {}, "falsche Anzahl Argumente für move"},
        {"move_to button1 0.3", true, SCRIPT_MOVE_TO, {"button1", "0.3"}, ""},
        {"move_to button1 -1", false, 0, {}, "ungültige Zeit"},
        {"mouse_speed 0", false, 0, {}, "ungültige Geschwindigkeit"},
        {"mouse_speed 300", true, SCRIPT_MOUSE_SPEED, {"300"}, ""},
        {"click", true, SCRIPT_CLICK, {}, ""},
        {"click middle", true, SCRIPT_CLICK, {"middle"}, ""},
        {"click links", false, 0, {}, "unbekannte Maustaste links"},
        {"mouse_down right", true, SCRIPT_MOUSE_DOWN, {"right"}, ""},
        {"mouse_up Left", false, 0, {}, "unbekannte Maustaste Left"},
        {"wheel -3", true, SCRIPT_WHEEL, {"-3"}, ""},
        {"wheel 1.5", false, 0, {}, "ungültige Schrittzahl"},
        {"key ctrl++", true, SCRIPT_KEY, {"ctrl++"}, ""},
        {"key hyper+a", false, 0, {}, "unbekannte Taste hyper+a"},
        {typeLine31.c_str(), true, SCRIPT_TYPE, {type31}, ""},
        {typeLine32.c_str(), false, 0, {}, "Text zu lang"},
        {"wait_window Titel 2", true, SCRIPT_WAIT_WINDOW, {"Titel", "2"}, ""},
        {"wait_window Titel", false, 0, {}, "falsche Anzahl Argumente für wait_window"},
        {"wait_window_closed Titel x", false, 0, {}, "ungültige Zeit"},
        {"wait_command menu file_open 2",
         true,
         SCRIPT_WAIT_COMMAND,
         {"menu", "file_open", "2"},
         ""},
        {"wait_command 4711 1", true, SCRIPT_WAIT_COMMAND, {"4711", "1"}, ""},
        {"wait_command hupe 1", false, 0, {}, "unbekanntes Kommando hupe"},
        {"wait_value spin 42 -2", false, 0, {}, "ungültige Zeit"},
        {"expect properties.Width 120", true, SCRIPT_EXPECT, {"properties.Width", "120"}, ""},
        {"set text \"\"", true, SCRIPT_SET, {"text", ""}, ""},
        {"finish", true, SCRIPT_FINISH, {}, ""},
        {"finish jetzt", false, 0, {}, "falsche Anzahl Argumente für finish"},
    };
    for (const LineCase& c : cases) {
        std::vector<ScriptCommand> out;
        std::string message;
        bool ok = DemoScript::parseLine(c.line, 7, out, message);
        ASSERT_EQ(ok, c.ok) << describe(c) << " message " << message;
        if (!c.ok) {
            EXPECT_EQ(message, c.message) << describe(c);
            EXPECT_TRUE(out.empty()) << describe(c);
            continue;
        }
        if (c.code < 0) {
            EXPECT_TRUE(out.empty()) << describe(c);
            continue;
        }
        ASSERT_EQ(out.size(), 1u) << describe(c);
        EXPECT_EQ(out[0].code, static_cast<uint32_t>(c.code)) << describe(c);
        EXPECT_EQ(out[0].args, c.args) << describe(c);
        EXPECT_EQ(out[0].line, 7) << describe(c);
    }
}

TEST(RunnerScript, ClosingQuoteEndsTheTokenWithoutABlank) {
    std::vector<std::string> tokens;
    std::string message;
    ASSERT_TRUE(DemoScript::tokenize("scene \"ab\"cd\t\"\"x", tokens, message));
    EXPECT_EQ(tokens, (std::vector<std::string>{"scene", "ab", "cd", "", "x"}));
}

TEST(RunnerScript, SecondsAreNonNegativeFiniteAndWholeTokens) {
    const struct {
        const char* token;
        bool ok;
        double value;
    } cases[] = {
        {"0", true, 0},    {"1.5", true, 1.5},  {".5", true, 0.5},  {"2e1", true, 20},
        {"", false, 0},    {"-0.1", false, 0},  {"1.5s", false, 0}, {"1,5", false, 0},
        {"nan", false, 0}, {"inf", false, 0},   {"0x10", false, 0}, {"1e999", false, 0},
        {"abc", false, 0}, {"1.5.2", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(DemoScript::parseSeconds(c.token, v), c.ok) << c.token;
        if (c.ok) EXPECT_DOUBLE_EQ(v, c.value) << c.token;
    }
}

TEST(RunnerScript, KeySpecsResolveModifiersAndSdlKeyNames) {
    const struct {
        const char* spec;
        bool ok;
        SDL_Keycode key;
        uint16_t mods;
    } cases[] = {
        {"Return", true, SDLK_RETURN, 0},
        {"A", true, SDLK_a, 0},
        {"ctrl+A", true, SDLK_a, KMOD_LCTRL},
        {"ctrl+shift+Tab", true, SDLK_TAB, KMOD_LCTRL | KMOD_LSHIFT},
        {"alt+F4", true, SDLK_F4, KMOD_LALT},
        {"ctrl++", true, SDLK_PLUS, KMOD_LCTRL},
        {"+", true, SDLK_PLUS, 0},
        {"shift+", false, 0, 0},
        {"ctrl+", false, 0, 0},
        {"Ctrl+a", false, 0, 0},
        {"ctrl+shift", false, 0, 0},
        {"", false, 0, 0},
        {"KeinSolcherName", false, 0, 0},
    };
    for (const auto& c : cases) {
        SDL_Keycode key = 0;
        uint16_t mods = 0;
        ASSERT_EQ(DemoScript::parseKeySpec(c.spec, key, mods), c.ok) << c.spec;
        if (!c.ok) continue;
        EXPECT_EQ(key, c.key) << c.spec;
        EXPECT_EQ(mods, c.mods) << c.spec;
    }
}

TEST(RunnerScript, MotionTimeIsDistanceOverSpeedWithinHalfASecondAndTwo) {
    const struct {
        double distance, seconds;
    } cases[] = {{1500, 2.0}, {1000, 2.0}, {400, 0.8}, {100, 0.5}, {0, 0.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DemoScript::motionSeconds(c.distance, 500), c.seconds) << c.distance;
}

TEST(RunnerScript, ParseScriptNumbersLinesAndStopsAtTheFirstBadOne) {
    DemoRunner runner(nullptr, DemoRunnerSettings{});
    ASSERT_TRUE(runner.parseScript("# Kopf\r\nscene a\r\n\r\nwait 1\n"));
    ASSERT_EQ(runner.commands.size(), 2u);
    EXPECT_EQ(runner.commands[0].line, 2);
    EXPECT_EQ(runner.commands[0].args[0], "a");
    EXPECT_EQ(runner.commands[1].line, 4);

    EXPECT_FALSE(runner.parseScript("scene a\n\nhupf 3\nwait x\n"));
    EXPECT_EQ(runner.error, "Zeile 3: unbekannter Befehl hupf");
    EXPECT_TRUE(runner.commands.empty());
    EXPECT_EQ(runner.state, DemoRunner::Idle);

    // A good parse clears the old error.
    ASSERT_TRUE(runner.parseScript("finish"));
    EXPECT_TRUE(runner.error.empty());
}

TEST(RunnerScript, LoadScriptReadsFilesAndRejectsWhatCannotBeRead) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("runner-script-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    DemoRunner runner(nullptr, DemoRunnerSettings{});

    std::string missing = (dir / "fehlt.txt").string();
    EXPECT_FALSE(runner.loadScript(missing));
    EXPECT_EQ(runner.error, "Drehbuch nicht lesbar: " + missing);

    EXPECT_FALSE(runner.loadScript(dir.string()));
    EXPECT_EQ(runner.error, "Drehbuch nicht lesbar: " + dir.string());

    fs::path good = dir / "gut.txt";
    std::ofstream(good) << "scene \"Grüß Gott\"\nwait 0.5";
    ASSERT_TRUE(runner.loadScript(good.string())) << runner.error;
    ASSERT_EQ(runner.commands.size(), 2u);
    EXPECT_EQ(runner.commands[0].args[0], "Grüß Gott");

    // Invalid UTF-8 is just bytes to the parser; a NUL byte is refused with its line.
    fs::path odd = dir / "odd.txt";
    std::ofstream(odd, std::ios::binary) << std::string("scene \xff\xfe\n\0\x01 x\n", 13);
    EXPECT_FALSE(runner.loadScript(odd.string()));
    EXPECT_EQ(runner.error, "Zeile 2: Nullbyte in der Zeile");
    fs::remove_all(dir);
}

TEST(RunnerScript, ArbitraryLinesEitherParseWithinTheTableOrGiveAMessage) {
    // Pieces that stress the tokenizer and the argument checks, glued at random.
    const char* pieces[] = {
        "\"",   "\\",   "\\\"",     "#",    " ",     "\t",           "\r", "+",           "ctrl",
        "move", "type", "key",      "wait", "click", "wait_command", "-",  "99999999999", "1e999",
        "0.5",  "\xff", "\xc3\xa4", "menu", "."};
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        int n = static_cast<int>(next() >> 16) % 8;
        for (int k = 0; k < n; ++k)
            line += pieces[(next() >> 16) % std::size(pieces)];
        std::vector<ScriptCommand> out;
        std::string message;
        if (DemoScript::parseLine(line, 1, out, message)) {
            ASSERT_LE(out.size(), 1u) << line;
        } else {
            ASSERT_FALSE(message.empty()) << line;
            ASSERT_TRUE(out.empty()) << line;
        }
    }
}
