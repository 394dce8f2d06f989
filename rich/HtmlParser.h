// The HTML subset: the document model (blocks of styled runs) and the single-pass parser that
// builds it. Unknown tags are ignored, unknown entities stay literal, unclosed structures are
// closed at the end; the parser never fails.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

struct HtmlStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    SDL_Color color{0, 0, 0, 255};
};

struct HtmlRun {
    std::string text;  // entities decoded, white space collapsed
    bool bold = false;
    bool italic = false;
    bool underline = false;
    SDL_Color color{0, 0, 0, 255};
    std::string href;  // empty outside links
};

using HtmlCell = std::vector<HtmlRun>;
using HtmlRow = std::vector<HtmlCell>;

struct HtmlTable {
    // Attribute values are clamped on reading: a hostile number cannot drive the arithmetic.
    static constexpr int32_t kMaxBorder = 1000;
    static constexpr int32_t kMaxCellPadding = 100;

    std::vector<HtmlRow> rows;
    int32_t border = 0;
    int32_t cellPadding = 2;
};

enum class HtmlBlockKind : int32_t {
    Paragraph = 0,
    Heading = 1,
    ListItem = 2,
    Image = 3,
    Table = 4
};

struct HtmlBlock {
    HtmlBlockKind kind = HtmlBlockKind::Paragraph;
    int32_t level = 0;  // heading level 1-3
    bool ordered = false;
    int32_t number = 0;  // 1-based position in its list
    std::vector<HtmlRun> runs;
    std::string src;
    HtmlTable table;
};

class HtmlParser {
public:
    std::vector<HtmlBlock> parse(const std::string& html);

    // Parsing helpers with their own rules, exposed for the tests.
    static std::string decodeText(const std::string& raw);
    static bool parseColor(std::string value, SDL_Color& color);
    // atoi's reading (blanks, sign, digits), saturated instead of overflowing.
    static int64_t parseInteger(const std::string& text);

private:
    struct Saved {
        std::string tag;
        HtmlStyle style;
        std::string href;
    };
    struct Tag {
        std::string name;
        bool closing = false;
        std::vector<std::pair<std::string, std::string>> attributes;
        const std::string* attribute(const std::string& key) const;
    };

    void reset();
    size_t scanTag(const std::string& html, size_t lt);
    size_t skipRawContent(const std::string& html, size_t from, const std::string& name);
    static Tag readTag(const std::string& content);
    void addText(const std::string& raw);
    void flush();
    void openTag(const Tag& tag);
    void closeTag(const std::string& name);
    void pushStyle(const std::string& name);
    void openTable(const Tag& tag);
    void closeCell();
    void closeRow();
    void closeTable();
    std::vector<HtmlRun>& currentRuns() { return inCell ? cell : pending; }

    std::vector<HtmlBlock> blocks;
    HtmlStyle style;
    std::string href;
    std::vector<Saved> styleStack;
    std::vector<HtmlRun> pending;
    HtmlBlockKind kind = HtmlBlockKind::Paragraph;
    int32_t level = 0;
    bool ordered = false;
    int32_t number = 0;
    bool listOrdered = false;
    int32_t itemCounter = 0;
    HtmlTable table;
    HtmlRow row;
    HtmlCell cell;
    bool inTable = false, inRow = false, inCell = false;
};
