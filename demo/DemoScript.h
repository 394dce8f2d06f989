// The demo's script language ("Drehbuch"): commands, their argument checks and the parser.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

enum ScriptCode : uint32_t {
    SCRIPT_SCENE = 0,
    SCRIPT_WAIT = 1,
    SCRIPT_WINDOW = 2,
    SCRIPT_MOVE = 3,
    SCRIPT_MOVE_TO = 4,
    SCRIPT_MOUSE_SPEED = 5,
    SCRIPT_CLICK = 6,
    SCRIPT_MOUSE_DOWN = 7,
    SCRIPT_MOUSE_UP = 8,
    SCRIPT_WHEEL = 9,
    SCRIPT_KEY = 10,
    SCRIPT_TYPE = 11,
    SCRIPT_WAIT_WINDOW = 12,
    SCRIPT_WAIT_WINDOW_CLOSED = 13,
    SCRIPT_WAIT_COMMAND = 14,
    SCRIPT_SET = 15,
    SCRIPT_EXPECT = 16,
    SCRIPT_WAIT_VALUE = 17,
    SCRIPT_FINISH = 18,
};

struct ScriptCommand {
    uint32_t code = 0;
    std::vector<std::string> args;
    int32_t line = 0;
};

namespace DemoScript {

// The command's name as written in scripts ("?" for an unknown code).
const char* commandName(uint32_t code);

// Splits one line into tokens with the script's quoting rules (inside quotes \" is a quote and
// \\ one backslash); false with message on an unclosed quote.
bool tokenize(const std::string& line, std::vector<std::string>& tokens, std::string& message);

// Non-negative finite seconds, classic locale, the whole token.
bool parseSeconds(const std::string& token, double& out);
// A whole decimal number (strtol base 10) that fits 32 bits.
bool parseInteger(const std::string& token, int32_t& out);
// "left", "middle", "right"; an empty token is "left".
bool parseButton(const std::string& token, uint8_t& out);
// Modifiers ("ctrl", "shift", "alt") each followed by "+", then an SDL key name.
bool parseKeySpec(const std::string& spec, SDL_Keycode& key, uint16_t& mods);
// A wait_command kind: a known word or a whole decimal number.
bool parseCommandKind(const std::string& kind, uint32_t& code);

// Parses one line; appends at most one command. On failure message is the text without the
// line prefix.
bool parseLine(const std::string& line, int32_t number, std::vector<ScriptCommand>& out,
               std::string& message);

// Time of a motion without explicit seconds: distance over speed, kept within 0.5 to 2 s.
double motionSeconds(double distance, double pixelsPerSecond);

}  // namespace DemoScript
