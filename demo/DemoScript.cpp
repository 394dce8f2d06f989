#include "demo/DemoScript.h"

#include "core/GuiObject.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <sstream>

namespace DemoScript {
namespace {

struct CommandSpec {
    const char* name;
    uint32_t code;
    size_t minArgs;
    size_t maxArgs;
};

constexpr CommandSpec kCommands[] = {
    {"scene", SCRIPT_SCENE, 1, 1},
    {"wait", SCRIPT_WAIT, 1, 1},
    {"window", SCRIPT_WINDOW, 1, 1},
    {"move", SCRIPT_MOVE, 2, 3},
    {"move_to", SCRIPT_MOVE_TO, 1, 2},
    {"mouse_speed", SCRIPT_MOUSE_SPEED, 1, 1},
    {"click", SCRIPT_CLICK, 0, 1},
    {"mouse_down", SCRIPT_MOUSE_DOWN, 0, 1},
    {"mouse_up", SCRIPT_MOUSE_UP, 0, 1},
    {"wheel", SCRIPT_WHEEL, 1, 1},
    {"key", SCRIPT_KEY, 1, 1},
    {"type", SCRIPT_TYPE, 1, 1},
    {"wait_window", SCRIPT_WAIT_WINDOW, 2, 2},
    {"wait_window_closed", SCRIPT_WAIT_WINDOW_CLOSED, 2, 2},
    {"wait_command", SCRIPT_WAIT_COMMAND, 2, 3},
    {"set", SCRIPT_SET, 2, 2},
    {"expect", SCRIPT_EXPECT, 2, 2},
    {"wait_value", SCRIPT_WAIT_VALUE, 3, 3},
    {"finish", SCRIPT_FINISH, 0, 0},
};

struct KindSpec {
    const char* name;
    uint32_t code;
};

constexpr KindSpec kKinds[] = {
    {"button", CMD_ACTIVATED},
    {"menu", CMD_MENU_ITEM},
    {"image_panel", CMD_IMAGE_CLICKED},
    {"combobox_changed", CMD_COMBO_SELECTED},
    {"slider_changed", CMD_SLIDER_CHANGED},
    {"modal_closed", CMD_DIALOG_ENDED},
    {"propertygrid_changed", CMD_PROPERTY_CHANGED},
    {"treelist_selected", CMD_TREE_SELECTED},
    {"treelist_expanded", CMD_TREE_ITEM},
};

// The type argument travels in SDL's 32-byte text-input buffer with its terminator.
constexpr size_t kMaxTypeBytes = 31;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

const CommandSpec* findCommand(const std::string& name) {
    for (const CommandSpec& spec : kCommands)
        if (name == spec.name) return &spec;
    return nullptr;
}

// Reads a quoted token starting at line[i] == '"'; i ends after the closing quote.
bool readQuoted(const std::string& line, size_t& i, std::string& token) {
    ++i;
    while (i < line.size()) {
        char c = line[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            char next = line[i + 1];
            if (next == '"') {
                token += '"';
                i += 2;
                continue;
            }
            // One backslash, so that a text may end in a backslash or hold one before a quote.
            if (next == '\\') {
                token += '\\';
                i += 2;
                continue;
            }
        }
        token += c;
        ++i;
    }
    return false;
}

bool checkArguments(const CommandSpec& spec, const std::vector<std::string>& args,
                    std::string& message) {
    double seconds = 0;
    int32_t number = 0;
    uint8_t button = 0;
    SDL_Keycode key = 0;
    uint16_t mods = 0;
    uint32_t kind = 0;
    switch (spec.code) {
        case SCRIPT_WAIT:
            if (!parseSeconds(args[0], seconds)) return message = "ungültige Zeit", false;
            return true;
        case SCRIPT_MOVE:
            if (!parseInteger(args[0], number) || !parseInteger(args[1], number))
                return message = "ungültige Koordinate", false;
            if (args.size() > 2 && !parseSeconds(args[2], seconds))
                return message = "ungültige Zeit", false;
            return true;
        case SCRIPT_MOVE_TO:
            if (args.size() > 1 && !parseSeconds(args[1], seconds))
                return message = "ungültige Zeit", false;
            return true;
        case SCRIPT_MOUSE_SPEED:
            if (!parseSeconds(args[0], seconds) || seconds <= 0)
                return message = "ungültige Geschwindigkeit", false;
            return true;
        case SCRIPT_CLICK:
        case SCRIPT_MOUSE_DOWN:
        case SCRIPT_MOUSE_UP:
            if (!args.empty() && !parseButton(args[0], button))
                return message = "unbekannte Maustaste " + args[0], false;
            return true;
        case SCRIPT_WHEEL:
            if (!parseInteger(args[0], number)) return message = "ungültige Schrittzahl", false;
            return true;
        case SCRIPT_KEY:
            if (!parseKeySpec(args[0], key, mods))
                return message = "unbekannte Taste " + args[0], false;
            return true;
        case SCRIPT_TYPE:
            if (args[0].size() > kMaxTypeBytes) return message = "Text zu lang", false;
            return true;
        case SCRIPT_WAIT_WINDOW:
        case SCRIPT_WAIT_WINDOW_CLOSED:
        case SCRIPT_WAIT_COMMAND:
        case SCRIPT_WAIT_VALUE:
            if (!parseSeconds(args.back(), seconds)) return message = "ungültige Zeit", false;
            if (spec.code == SCRIPT_WAIT_COMMAND && !parseCommandKind(args[0], kind))
                return message = "unbekanntes Kommando " + args[0], false;
            return true;
        default:
            return true;
    }
}

}  // namespace

const char* commandName(uint32_t code) {
    for (const CommandSpec& spec : kCommands)
        if (spec.code == code) return spec.name;
    return "?";
}

bool tokenize(const std::string& line, std::vector<std::string>& tokens, std::string& message) {
    tokens.clear();
    size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        std::string token;
        if (line[i] == '"') {
            if (!readQuoted(line, i, token)) {
                message = "Anführungszeichen nicht geschlossen";
                return false;
            }
        } else {
            while (i < line.size() && !isBlank(line[i]))
                token += line[i++];
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

bool parseSeconds(const std::string& token, double& out) {
    if (token.empty()) return false;
    std::istringstream in(token);
    in.imbue(std::locale::classic());
    double value = 0;
    in >> value;
    if (in.fail()) return false;
    if (in.peek() != std::char_traits<char>::eof()) return false;
    // An endless wait or motion cannot be what a script means.
    if (!std::isfinite(value) || value < 0) return false;
    out = value;
    return true;
}

bool parseInteger(const std::string& token, int32_t& out) {
    if (token.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(token.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE) return false;
    // Coordinates and steps become int fields of SDL events.
    if (value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int32_t>(value);
    return true;
}

bool parseButton(const std::string& token, uint8_t& out) {
    if (token.empty() || token == "left")
        out = SDL_BUTTON_LEFT;
    else if (token == "middle")
        out = SDL_BUTTON_MIDDLE;
    else if (token == "right")
        out = SDL_BUTTON_RIGHT;
    else
        return false;
    return true;
}

bool parseKeySpec(const std::string& spec, SDL_Keycode& key, uint16_t& mods) {
    if (spec.empty()) return false;
    // A trailing "+" is the plus key itself; otherwise the name follows the last "+".
    std::string name, prefix;
    if (spec.back() == '+') {
        name = "+";
        prefix = spec.substr(0, spec.size() - 1);
    } else {
        size_t plus = spec.rfind('+');
        name = plus == std::string::npos ? spec : spec.substr(plus + 1);
        prefix = plus == std::string::npos ? "" : spec.substr(0, plus + 1);
    }
    uint16_t collected = 0;
    size_t pos = 0;
    while (pos < prefix.size()) {
        size_t plus = prefix.find('+', pos);
        if (plus == std::string::npos) return false;
        std::string mod = prefix.substr(pos, plus - pos);
        if (mod == "ctrl")
            collected |= KMOD_LCTRL;
        else if (mod == "shift")
            collected |= KMOD_LSHIFT;
        else if (mod == "alt")
            collected |= KMOD_LALT;
        else
            return false;
        pos = plus + 1;
    }
    SDL_Keycode resolved = SDL_GetKeyFromName(name.c_str());
    if (resolved == SDLK_UNKNOWN) return false;
    key = resolved;
    mods = collected;
    return true;
}

bool parseCommandKind(const std::string& kind, uint32_t& code) {
    for (const KindSpec& k : kKinds)
        if (kind == k.name) {
            code = k.code;
            return true;
        }
    int32_t number = 0;
    if (!parseInteger(kind, number)) return false;
    code = static_cast<uint32_t>(number);
    return true;
}

bool parseLine(const std::string& line, int32_t number, std::vector<ScriptCommand>& out,
               std::string& message) {
    // A comment is not tokenized: a stray quote in it must not break the script.
    size_t first = line.find_first_not_of(" \t\r");
    if (first != std::string::npos && line[first] == '#') return true;
    std::vector<std::string> tokens;
    if (!tokenize(line, tokens, message)) return false;
    if (tokens.empty() || (!tokens[0].empty() && tokens[0][0] == '#')) return true;
    // Texts reach SDL and the controls as C strings: a NUL would cut them without a word.
    for (const std::string& t : tokens)
        if (t.find('\0') != std::string::npos) {
            message = "Nullbyte in der Zeile";
            return false;
        }
    const CommandSpec* spec = findCommand(tokens[0]);
    if (!spec) {
        message = "unbekannter Befehl " + tokens[0];
        return false;
    }
    std::vector<std::string> args(tokens.begin() + 1, tokens.end());
    if (args.size() < spec->minArgs || args.size() > spec->maxArgs) {
        message = std::string("falsche Anzahl Argumente für ") + spec->name;
        return false;
    }
    if (!checkArguments(*spec, args, message)) return false;
    out.push_back(ScriptCommand{spec->code, std::move(args), number});
    return true;
}

double motionSeconds(double distance, double pixelsPerSecond) {
    if (!(pixelsPerSecond > 0)) return 2.0;
    return std::clamp(distance / pixelsPerSecond, 0.5, 2.0);
}

}  // namespace DemoScript
