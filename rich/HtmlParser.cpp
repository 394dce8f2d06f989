#include "rich/HtmlParser.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct Entity {
    const char* name;
    char value;
};
constexpr Entity kEntities[] = {{"&amp;", '&'},  {"&lt;", '<'},    {"&gt;", '>'},
                                {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};

// The replacement of the entity starting at text[amp], or 0 when it is not one we know.
char entityAt(const std::string& text, size_t amp, size_t& length) {
    size_t semi = text.find(';', amp);
    if (semi == std::string::npos || semi - amp > 8) return 0;
    length = semi - amp + 1;
    for (const Entity& e : kEntities)
        if (std::strlen(e.name) == length && text.compare(amp, length, e.name) == 0) return e.value;
    return 0;
}

int32_t clampAttribute(const std::string& text, int32_t maximum) {
    return static_cast<int32_t>(std::clamp<int64_t>(HtmlParser::parseInteger(text), 0, maximum));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Text helpers

std::string HtmlParser::decodeText(const std::string& raw) {
    std::string out;
    out.reserve(raw.size());
    bool lastWasSpace = false;
    auto put = [&](char c) {
        if (isSpace(c)) {
            if (!lastWasSpace) out.push_back(' ');
            lastWasSpace = true;
        } else {
            out.push_back(c);
            lastWasSpace = false;
        }
    };
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '&') {
            size_t length = 0;
            if (char c = entityAt(raw, i, length)) {
                put(c);
                i += length - 1;
                continue;
            }
        }
        put(raw[i]);
    }
    return out;
}

bool HtmlParser::parseColor(std::string value, SDL_Color& color) {
    if (!value.empty() && value[0] == '#') value.erase(0, 1);
    if (value.size() != 6 && value.size() != 8) return false;
    for (char c : value)
        if (hexValue(c) < 0) return false;
    auto byteAt = [&](size_t i) {
        return static_cast<uint8_t>(hexValue(value[i]) * 16 + hexValue(value[i + 1]));
    };
    color =
        SDL_Color{byteAt(0), byteAt(2), byteAt(4), value.size() == 8 ? byteAt(6) : uint8_t(255)};
    return true;
}

int64_t HtmlParser::parseInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (isSpace(text[i]) || text[i] == '\f' || text[i] == '\v'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), INT32_MAX + int64_t(1));
    return negative ? -value : value;
}

// ---------------------------------------------------------------------------------------------
// The scan

std::vector<HtmlBlock> HtmlParser::parse(const std::string& html) {
    reset();
    size_t pos = 0;
    while (pos < html.size()) {
        if (html[pos] != '<') {
            size_t lt = html.find('<', pos);
            if (lt == std::string::npos) lt = html.size();
            addText(html.substr(pos, lt - pos));
            pos = lt;
        } else if (html.compare(pos, 4, "<!--") == 0) {
            size_t end = html.find("-->", pos + 4);
            pos = end == std::string::npos ? html.size() : end + 3;
        } else {
            pos = scanTag(html, pos);
        }
    }
    if (inCell) closeCell();
    if (inRow) closeRow();
    if (inTable) closeTable();
    flush();
    std::vector<HtmlBlock> out = std::move(blocks);
    reset();
    return out;
}

void HtmlParser::reset() {
    blocks.clear();
    style = HtmlStyle{};
    href.clear();
    styleStack.clear();
    pending.clear();
    kind = HtmlBlockKind::Paragraph;
    level = 0;
    ordered = false;
    number = 0;
    listOrdered = false;
    itemCounter = 0;
    table = HtmlTable{};
    row.clear();
    cell.clear();
    inTable = inRow = inCell = false;
}

// Handles the tag at html[lt] and returns where scanning continues.
size_t HtmlParser::scanTag(const std::string& html, size_t lt) {
    size_t gt = html.find('>', lt + 1);
    if (gt == std::string::npos) {
        addText(html.substr(lt));
        return html.size();
    }
    Tag tag = readTag(html.substr(lt + 1, gt - lt - 1));
    if (tag.name.empty()) return gt + 1;
    if (tag.closing) {
        closeTag(tag.name);
        return gt + 1;
    }
    if (tag.name == "style" || tag.name == "script") return skipRawContent(html, gt + 1, tag.name);
    openTag(tag);
    return gt + 1;
}

// Skips tag by tag to just after the closing tag of a style or script element.
size_t HtmlParser::skipRawContent(const std::string& html, size_t from, const std::string& name) {
    const std::string wanted = "/" + name;
    size_t pos = from;
    while (true) {
        size_t lt = html.find('<', pos);
        if (lt == std::string::npos) return html.size();
        size_t gt = html.find('>', lt + 1);
        if (gt == std::string::npos) return html.size();
        if (gt - lt - 1 == wanted.size() && lowered(html.substr(lt + 1, wanted.size())) == wanted)
            return gt + 1;
        pos = gt + 1;
    }
}

HtmlParser::Tag HtmlParser::readTag(const std::string& content) {
    Tag tag;
    size_t begin = 0, end = content.size();
    if (begin < end && content[begin] == '/') {
        tag.closing = true;
        ++begin;
    }
    if (end > begin && content[end - 1] == '/') --end;
    size_t pos = begin;
    while (pos < end && !isSpace(content[pos]))
        ++pos;
    tag.name = lowered(content.substr(begin, pos - begin));
    auto skipSpace = [&] {
        while (pos < end && isSpace(content[pos]))
            ++pos;
    };
    while (true) {
        skipSpace();
        if (pos >= end) break;
        size_t nameStart = pos;
        while (pos < end && content[pos] != '=' && !isSpace(content[pos]))
            ++pos;
        std::string key = lowered(content.substr(nameStart, pos - nameStart));
        std::string value;
        skipSpace();
        if (pos < end && content[pos] == '=') {
            ++pos;
            skipSpace();
            if (pos < end && (content[pos] == '"' || content[pos] == '\'')) {
                const char quote = content[pos++];
                size_t close = content.find(quote, pos);
                if (close == std::string::npos || close > end) close = end;
                value = content.substr(pos, close - pos);
                pos = std::min(close + 1, end);
            } else {
                size_t valueStart = pos;
                while (pos < end && !isSpace(content[pos]))
                    ++pos;
                value = content.substr(valueStart, pos - valueStart);
            }
        }
        auto same = std::find_if(tag.attributes.begin(), tag.attributes.end(),
                                 [&](const auto& a) { return a.first == key; });
        if (same != tag.attributes.end())
            same->second = std::move(value);
        else
            tag.attributes.emplace_back(std::move(key), std::move(value));
    }
    return tag;
}

const std::string* HtmlParser::Tag::attribute(const std::string& key) const {
    for (const auto& a : attributes)
        if (a.first == key) return &a.second;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Building the model

void HtmlParser::addText(const std::string& raw) {
    std::string text = decodeText(raw);
    if (text.empty()) return;
    HtmlRun run;
    run.text = std::move(text);
    run.bold = style.bold;
    run.italic = style.italic;
    run.underline = style.underline;
    run.color = style.color;
    run.href = href;
    currentRuns().push_back(std::move(run));
}

void HtmlParser::flush() {
    if (pending.empty()) return;
    HtmlBlock block;
    block.kind = kind;
    block.level = level;
    block.ordered = ordered;
    block.number = number;
    block.runs = std::move(pending);
    pending.clear();
    blocks.push_back(std::move(block));
}

void HtmlParser::pushStyle(const std::string& name) {
    styleStack.push_back(Saved{name, style, href});
}

void HtmlParser::openTag(const Tag& tag) {
    const std::string& n = tag.name;
    if (n == "b" || n == "strong") {
        pushStyle(n);
        style.bold = true;
    } else if (n == "i" || n == "em") {
        pushStyle(n);
        style.italic = true;
    } else if (n == "u") {
        pushStyle(n);
        style.underline = true;
    } else if (n == "font") {
        pushStyle(n);
        if (const std::string* c = tag.attribute("color")) parseColor(*c, style.color);
    } else if (n == "a") {
        pushStyle(n);
        style.underline = true;
        style.color = SDL_Color{0, 0, 238, 255};
        if (const std::string* h = tag.attribute("href")) href = *h;
    } else if (n == "p") {
        flush();
        kind = HtmlBlockKind::Paragraph;
        level = 0;
    } else if (n == "h1" || n == "h2" || n == "h3") {
        flush();
        kind = HtmlBlockKind::Heading;
        level = n[1] - '0';
    } else if (n == "ul" || n == "ol") {
        flush();
        listOrdered = n == "ol";
        itemCounter = 0;
    } else if (n == "li") {
        flush();
        ++itemCounter;
        kind = HtmlBlockKind::ListItem;
        ordered = listOrdered;
        number = itemCounter;
    } else if (n == "br") {
        flush();
    } else if (n == "img") {
        flush();
        if (const std::string* src = tag.attribute("src")) {
            HtmlBlock block;
            block.kind = HtmlBlockKind::Image;
            block.src = *src;
            blocks.push_back(std::move(block));
        }
    } else if (n == "table") {
        openTable(tag);
    } else if (n == "tr") {
        if (!inTable) return;
        // An unclosed row or cell ends here, as HTML allows, instead of being lost.
        if (inCell) closeCell();
        if (inRow) closeRow();
        row.clear();
        inRow = true;
    } else if (n == "td" || n == "th") {
        if (!inTable || !inRow) return;
        if (inCell) closeCell();
        cell.clear();
        inCell = true;
    }
}

void HtmlParser::openTable(const Tag& tag) {
    flush();
    table = HtmlTable{};
    if (const std::string* b = tag.attribute("border"))
        table.border = clampAttribute(*b, HtmlTable::kMaxBorder);
    if (const std::string* c = tag.attribute("cellpadding"))
        table.cellPadding = clampAttribute(*c, HtmlTable::kMaxCellPadding);
    inTable = true;
}

void HtmlParser::closeTag(const std::string& n) {
    if (n == "b" || n == "strong" || n == "i" || n == "em" || n == "u" || n == "font" || n == "a") {
        for (size_t k = styleStack.size(); k-- > 0;) {
            if (styleStack[k].tag != n) continue;
            style = styleStack[k].style;
            href = styleStack[k].href;
            styleStack.resize(k);
            break;
        }
    } else if (n == "p" || n == "h1" || n == "h2" || n == "h3" || n == "li") {
        flush();
    } else if (n == "td" || n == "th") {
        if (inCell) closeCell();
    } else if (n == "tr") {
        if (inRow) closeRow();
    } else if (n == "table") {
        if (!inTable) return;
        // Closing tags of cells and rows are optional in HTML: keep their content.
        if (inCell) closeCell();
        if (inRow) closeRow();
        closeTable();
    }
}

void HtmlParser::closeCell() {
    row.push_back(std::move(cell));
    cell.clear();
    inCell = false;
}

void HtmlParser::closeRow() {
    table.rows.push_back(std::move(row));
    row.clear();
    inRow = false;
}

void HtmlParser::closeTable() {
    HtmlBlock block;
    block.kind = HtmlBlockKind::Table;
    block.table = std::move(table);
    table = HtmlTable{};
    blocks.push_back(std::move(block));
    inTable = false;
}
