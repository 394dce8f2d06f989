#include "controls/PropertyGrid.h"

#include "controls/ChildList.h"
#include "core/Draw.h"
#include "core/Engine.h"
#include "core/Handles.h"
#include "core/Window.h"
#include "util/IntClamp.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace {

constexpr SDL_Color kOutline{80, 80, 80, 255};
constexpr SDL_Color kCategoryFill{210, 210, 210, 255};
constexpr SDL_Color kSelectedFill{190, 220, 255, 255};
constexpr SDL_Color kRowFill{255, 255, 255, 255};
constexpr SDL_Color kRowLine{200, 200, 200, 255};
constexpr SDL_Color kInk{20, 20, 20, 255};
constexpr SDL_Color kSeparator{120, 120, 120, 255};
constexpr SDL_Color kBarColumn{230, 230, 230, 255};
constexpr SDL_Color kBarOutline{140, 140, 140, 255};
constexpr uint32_t kTrackColor = packColor(230, 230, 230);
constexpr uint32_t kThumbColor = packColor(180, 180, 180);
constexpr SDL_Color kEditorBg{240, 240, 240, 255};
constexpr int kMinRowHeight = 16;
constexpr int kMinNameColumn = 40;
constexpr const char* kEllipsis = "...";

bool isTrue(const std::string& v) {
    return v == "true" || v == "1" || v == "yes";
}

// Classic locale: a value must read the same whatever locale the application runs in.
std::string formatFixed(double v) {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << std::fixed << std::setprecision(6) << v;
    return os.str();
}

// Byte offsets at which code points start, and the text's end.
std::vector<size_t> charBoundaries(const std::string& text) {
    std::vector<size_t> out;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) out.push_back(i);
    out.push_back(text.size());
    return out;
}

}  // namespace

GuiPropertyGrid::GuiPropertyGrid(GuiObject* parent, int id, int x, int y, int width, int height,
                                 SDL_Color bgColor, TTF_Font* font, FT_Face editorFace)
    : GuiObject(parent, id, x, y, width, height, bgColor), font(font), editorFace(editorFace) {}

GuiPropertyGrid::~GuiPropertyGrid() {
    // The editor belongs to the window and may outlive the grid by an event: cut it loose.
    if (GuiPGTextEditor* ed = editor) {
        editor = nullptr;
        ed->detach();
        if (window) window->deleteLater(ed);
    }
    dropTextures();
}

// ---------------------------------------------------------------------------------------------
// Rows

int GuiPropertyGrid::appendRow(PropertyRow row) {
    rows.push_back(std::move(row));
    recompute();
    invalidate();
    return rowCount() - 1;
}

int GuiPropertyGrid::addCategory(const std::string& title) {
    return appendRow(PropertyRow{PROPERTY_CATEGORY, title, "", true, {}, -1});
}

int GuiPropertyGrid::addText(const std::string& name, const std::string& value, bool readOnly) {
    return appendRow(PropertyRow{PROPERTY_TEXT, name, value, readOnly, {}, -1});
}

int GuiPropertyGrid::addInt(const std::string& name, long long value, bool readOnly) {
    return appendRow(PropertyRow{PROPERTY_INT, name, std::to_string(value), readOnly, {}, -1});
}

int GuiPropertyGrid::addFloat(const std::string& name, double value, bool readOnly) {
    return appendRow(PropertyRow{PROPERTY_FLOAT, name, formatFixed(value), readOnly, {}, -1});
}

int GuiPropertyGrid::addBool(const std::string& name, bool value, bool readOnly) {
    return appendRow(PropertyRow{PROPERTY_BOOL, name, value ? "true" : "false", readOnly, {}, -1});
}

int GuiPropertyGrid::addChoice(const std::string& name, const std::vector<std::string>& choices,
                               int selectedIndex, bool readOnly) {
    PropertyRow row{PROPERTY_CHOICE, name, "", readOnly, choices, -1};
    if (!choices.empty()) {
        row.choiceIndex = std::clamp(selectedIndex, 0, static_cast<int>(choices.size()) - 1);
        row.value = choices[row.choiceIndex];
    }
    return appendRow(std::move(row));
}

void GuiPropertyGrid::clear() {
    cancelEdit();
    rows.clear();
    scrollY = 0;
    selected = -1;
    dropTextures();
    recompute();
    invalidate();
}

PropertyRow* GuiPropertyGrid::rowAt(int index) {
    if (index < 0 || index >= rowCount()) return nullptr;
    return &rows[index];
}

void GuiPropertyGrid::recompute() {
    contentHeight = clampToInt(static_cast<long long>(rowHeight) * rowCount());
    scrollY = std::clamp(scrollY, 0, maxScroll());
}

void GuiPropertyGrid::relayout() {
    if (font) rowHeight = std::max(TTF_FontHeight(font) + 6, rowHeight);
    recompute();
    invalidate();
}

void GuiPropertyGrid::setRowHeight(int h) {
    rowHeight = std::max(h, kMinRowHeight);
    relayout();
}

void GuiPropertyGrid::setNameColumnWidth(int w) {
    nameColumnWidth = std::max(w, kMinNameColumn);
    invalidate();
}

int GuiPropertyGrid::findRow(const std::string& name) const {
    for (int i = 0; i < rowCount(); ++i)
        if (rows[i].kind != PROPERTY_CATEGORY && rows[i].name == name) return i;
    return -1;
}

bool GuiPropertyGrid::writable(int row) const {
    return row >= 0 && row < rowCount() && !rows[row].readOnly;
}

std::string GuiPropertyGrid::valueOf(const std::string& name) const {
    int row = findRow(name);
    return row < 0 ? std::string() : rows[row].value;
}

bool GuiPropertyGrid::setValueOf(const std::string& name, const std::string& text) {
    int row = findRow(name);
    if (row < 0) return false;
    rows[row].value = text;
    invalidate();
    return true;
}

void GuiPropertyGrid::ensureRowVisible(int row) {
    if (row < 0 || row >= rowCount()) return;
    long long top = static_cast<long long>(row) * rowHeight;
    long long bottom = top + rowHeight;
    if (top < scrollY)
        scrollY = clampToInt(top);
    else if (bottom > static_cast<long long>(scrollY) + height)
        scrollY = clampToInt(bottom - height);
    scrollY = std::clamp(scrollY, 0, maxScroll());
    invalidate();
}

SDL_Rect GuiPropertyGrid::valueCell(int row) const {
    return SDL_Rect{x + nameColumnWidth + 2,
                    clampToInt(static_cast<long long>(y) + static_cast<long long>(row) * rowHeight -
                               scrollY + 2),
                    std::max(width - scrollBarWidth - nameColumnWidth - 4, 0), rowHeight - 4};
}

bool GuiPropertyGrid::locateItem(const std::string& label, SDL_Rect& out) {
    for (int i = 0; i < rowCount(); ++i) {
        if (rows[i].name != label) continue;
        long long top = static_cast<long long>(y) + static_cast<long long>(i) * rowHeight - scrollY;
        out = SDL_Rect{x, clampToInt(top), width - scrollBarWidth, rowHeight};
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Values

bool GuiPropertyGrid::getProperty(const std::string& name, std::string& out) {
    int row = findRow(name);
    if (row < 0) return false;
    const PropertyRow& p = rows[row];
    switch (p.kind) {
        case PROPERTY_INT:
        case PROPERTY_FLOAT: {
            std::string text = p.value;
            std::replace(text.begin(), text.end(), ',', '.');
            double v = 0;
            out = parseNumber(text, v) ? formatNumber(v) : p.value;
            return true;
        }
        case PROPERTY_BOOL:
            out = isTrue(p.value) ? "1" : "0";
            return true;
        default:
            out = p.value;
            return true;
    }
}

bool GuiPropertyGrid::setProperty(const std::string& name, const std::string& text) {
    int row = findRow(name);
    if (!writable(row)) return false;
    PropertyRow& p = rows[row];
    std::string value;
    int choice = p.choiceIndex;
    double number = 0;
    bool flag = false;
    switch (p.kind) {
        case PROPERTY_INT:
            if (!parseNumber(text, number) || !std::isfinite(number) ||
                number != std::trunc(number))
                return false;
            value = formatNumber(number);
            break;
        case PROPERTY_FLOAT:
            if (!parseNumber(text, number)) return false;
            value = formatNumber(number);
            break;
        case PROPERTY_BOOL:
            if (!parseBool(text, flag)) return false;
            value = flag ? "true" : "false";
            break;
        case PROPERTY_CHOICE: {
            auto it = std::find(p.choices.begin(), p.choices.end(), text);
            if (it == p.choices.end()) return false;
            choice = static_cast<int>(it - p.choices.begin());
            value = text;
            break;
        }
        default:
            value = text;
            break;
    }
    if (editingRow == row) cancelEdit();
    p.value = std::move(value);
    p.choiceIndex = choice;
    changed(row);
    return true;
}

void GuiPropertyGrid::changed(int row) {
    invalidate();
    if (window) window->postCommand(CMD_PROPERTY_CHANGED, static_cast<uint32_t>(id), row, this);
}

void GuiPropertyGrid::toggleBool(int row) {
    PropertyRow& p = rows[row];
    p.value = isTrue(p.value) ? "false" : "true";
    changed(row);
}

void GuiPropertyGrid::cycleChoice(int row) {
    PropertyRow& p = rows[row];
    if (p.choices.empty()) return;
    p.choiceIndex = (std::max(p.choiceIndex, 0) + 1) % static_cast<int>(p.choices.size());
    p.value = p.choices[p.choiceIndex];
    changed(row);
}

// ---------------------------------------------------------------------------------------------
// The in-place editor

void GuiPropertyGrid::beginEdit(int row, GuiEvent* opening) {
    if (!window || !editorFace || !writable(row)) return;
    const PropertyKind kind = rows[row].kind;
    if (kind != PROPERTY_TEXT && kind != PROPERTY_INT && kind != PROPERTY_FLOAT) return;
    cancelEdit();
    const SDL_Rect cell = valueCell(row);
    const int editorId = clampToInt(static_cast<long long>(id) * 1000 + 900 + row);
    auto* ed = new GuiPGTextEditor(window, editorId, cell.x - window->x, cell.y - window->y, cell.w,
                                   cell.h, kEditorBg, editorFace, this);
    ed->setText(rows[row].value);
    window->addChild(ed);
    editingRow = row;
    editor = ed;
    window->setFocus(ed);
    if (opening) {
        window->capture = ed;
        ed->handleEvent(*opening);
    } else {
        // Opened from the keyboard: typing goes on from the end of the value.
        ed->cursor = ed->codePointCount();
        ed->ensureCaretVisible();
    }
}

void GuiPropertyGrid::commitEdit() {
    GuiPGTextEditor* ed = editor;
    const int row = editingRow;
    editor = nullptr;
    editingRow = -1;
    if (!ed) return;
    // Detached first: whatever the application does on the command, the editor stays quiet.
    ed->detach();
    const std::string typed = ed->text;
    if (window) window->deleteLater(ed);
    if (!writable(row) || rows[row].value == typed) return;
    rows[row].value = typed;
    changed(row);
}

void GuiPropertyGrid::cancelEdit() {
    GuiPGTextEditor* ed = editor;
    editor = nullptr;
    editingRow = -1;
    if (!ed) return;
    ed->detach();
    if (window) window->deleteLater(ed);
    invalidate();
}

void GuiPropertyGrid::editorDestroyed(GuiPGTextEditor* gone) {
    if (editor != gone) return;
    editor = nullptr;
    editingRow = -1;
}

// ---------------------------------------------------------------------------------------------
// Events

int GuiPropertyGrid::rowUnder(int localY) const {
    long long row = (static_cast<long long>(localY) + scrollY) / std::max(rowHeight, 1);
    return row < 0 ? -1 : clampToInt(row);
}

void GuiPropertyGrid::select(int row) {
    selected = row;
    ensureRowVisible(row);
}

void GuiPropertyGrid::activate(int row) {
    if (!writable(row)) return;
    switch (rows[row].kind) {
        case PROPERTY_BOOL:
            toggleBool(row);
            break;
        case PROPERTY_CHOICE:
            cycleChoice(row);
            break;
        case PROPERTY_CATEGORY:
            break;
        default:
            beginEdit(row, nullptr);
            break;
    }
}

void GuiPropertyGrid::handleKey(SDL_Keycode key) {
    if (editor || rows.empty()) return;
    const int last = rowCount() - 1;
    const int page = std::max(height / std::max(rowHeight, 1), 1);
    switch (key) {
        case SDLK_DOWN:
            select(selected < 0 ? 0 : std::min(selected + 1, last));
            break;
        case SDLK_UP:
            if (selected < 0)
                select(0);
            else if (selected > 0)
                select(std::min(selected - 1, last));
            break;
        case SDLK_HOME:
            select(0);
            break;
        case SDLK_END:
            select(last);
            break;
        case SDLK_PAGEDOWN:
            select(selected < 0 ? 0
                                : clampToInt(std::min<long long>(
                                      static_cast<long long>(selected) + page, last)));
            break;
        case SDLK_PAGEUP:
            if (selected < 0)
                select(0);
            else if (selected - page >= 0)
                select(std::min(selected - page, last));
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            activate(selected);
            break;
        default:
            break;
    }
}

void GuiPropertyGrid::handlePress(GuiEvent& e) {
    const SDL_MouseButtonEvent& b = e.sdl->button;
    if (e.localX >= width - scrollBarWidth) {
        handleBarPress(b);
        return;
    }
    const int row = rowUnder(e.localY);
    const bool onRow = row >= 0 && row < rowCount();
    const bool inValue = e.localX >= nameColumnWidth;
    if (b.button == SDL_BUTTON_LEFT) {
        if (!onRow) {
            cancelEdit();
            selected = -1;
            invalidate();
            return;
        }
        selected = row;
        invalidate();
        const PropertyRow& p = rows[row];
        if (p.kind == PROPERTY_CATEGORY || !inValue) {
            cancelEdit();
        } else if (p.readOnly) {
            // A read-only value only gets selected.
        } else if (p.kind == PROPERTY_BOOL || p.kind == PROPERTY_CHOICE) {
            cancelEdit();
        } else {
            beginEdit(row, &e);
        }
    } else if (b.button == SDL_BUTTON_RIGHT && onRow) {
        selected = row;
        invalidate();
        if (!inValue || !writable(row)) return;
        if (rows[row].kind == PROPERTY_BOOL) toggleBool(row);
        if (rows[row].kind == PROPERTY_CHOICE) cycleChoice(row);
    }
}

void GuiPropertyGrid::handleBarPress(const SDL_MouseButtonEvent& b) {
    placeScrollBar();
    if (!vScroll.visible) return;
    if (vScroll.thumbContains(b.x, b.y))
        vScroll.beginDrag(b.y);
    else
        scrollY = std::clamp(vScroll.pageTarget(b.y, scrollY, height), 0, maxScroll());
    invalidate();
}

void GuiPropertyGrid::handleWheel(const SDL_MouseWheelEvent& w) {
    int v = w.direction == SDL_MOUSEWHEEL_FLIPPED ? -w.y : w.y;
    scrollY = clampToInt(std::clamp<long long>(
        static_cast<long long>(scrollY) - static_cast<long long>(v) * rowHeight, 0, maxScroll()));
    const bool wasEditing = editor != nullptr;
    commitEdit();
    if (wasEditing && window) window->setFocus(this);
    invalidate();
}

void GuiPropertyGrid::handleEvent(GuiEvent& e) {
    if (e.kind != GuiEvent::Input || !e.sdl) return;
    const SDL_Event& s = *e.sdl;
    switch (s.type) {
        case SDL_KEYDOWN:
            handleKey(s.key.keysym.sym);
            break;
        case SDL_MOUSEBUTTONDOWN:
            handlePress(e);
            break;
        case SDL_MOUSEMOTION:
            if (!vScroll.dragging) break;
            placeScrollBar();
            if (!vScroll.visible) {
                vScroll.dragging = false;
                break;
            }
            scrollY = std::clamp(vScroll.dragPosition(s.motion.y, contentHeight, height, -1), 0,
                                 maxScroll());
            invalidate();
            break;
        case SDL_MOUSEBUTTONUP:
            if (s.button.button == SDL_BUTTON_LEFT) vScroll.dragging = false;
            break;
        case SDL_MOUSEWHEEL:
            handleWheel(s.wheel);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing

void GuiPropertyGrid::placeScrollBar() {
    vScroll.visible = contentHeight > height;
    vScroll.setGeometry(x + width - scrollBarWidth + 1, y, scrollBarWidth - 2, height,
                        contentHeight, height, scrollY, -1);
}

std::string GuiPropertyGrid::fitText(const std::string& text, int maxWidth) const {
    if (!font || text.empty() || maxWidth < 1) return {};
    int w = 0, h = 0;
    if (TTF_SizeUTF8(font, text.c_str(), &w, &h) == 0 && w <= maxWidth) return text;
    int ellipsis = 0;
    if (TTF_SizeUTF8(font, kEllipsis, &ellipsis, &h) != 0 || maxWidth <= ellipsis) return {};
    // Cut at character boundaries only, so no half character shows before the ellipsis.
    const std::vector<size_t> cuts = charBoundaries(text);
    size_t lo = 0, hi = cuts.size() - 1;  // cuts[lo] fits (the bare ellipsis does)
    while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        std::string candidate = text.substr(0, cuts[mid]) + kEllipsis;
        if (TTF_SizeUTF8(font, candidate.c_str(), &w, &h) == 0 && w <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.substr(0, cuts[lo]) + kEllipsis;
}

void GuiPropertyGrid::retire(FittedText& slot) {
    if (slot.texture && textureRenderer) TextureRetirement::retire(textureRenderer, slot.texture);
    slot.texture = nullptr;
}

void GuiPropertyGrid::dropTextures() {
    for (auto* map : {&drawnRows, &nextRows}) {
        for (auto& [row, t] : *map) {
            retire(t.name);
            retire(t.value);
        }
        map->clear();
    }
}

void GuiPropertyGrid::drawFitted(SDL_Renderer* r, FittedText& slot, const std::string& text,
                                 int maxWidth, int px, int py) {
    if (slot.maxWidth != maxWidth || slot.source != text) {
        retire(slot);
        slot.source = text;
        slot.maxWidth = maxWidth;
        slot.w = slot.h = 0;
        const std::string shown = fitText(text, maxWidth);
        if (!shown.empty()) {
            SdlSurfacePtr surface(TTF_RenderUTF8_Blended(font, shown.c_str(), kInk));
            if (surface) {
                slot.texture = SDL_CreateTextureFromSurface(r, surface.get());
                slot.w = surface->w;
                slot.h = surface->h;
            }
        }
    }
    if (!slot.texture) return;
    SDL_Rect dst{px, py, slot.w, slot.h};
    SDL_RenderCopy(r, slot.texture, nullptr, &dst);
}

void GuiPropertyGrid::drawRow(SDL_Renderer* r, int row) {
    const PropertyRow& p = rows[row];
    const int top =
        clampToInt(static_cast<long long>(y) + static_cast<long long>(row) * rowHeight - scrollY);
    const int rowW = width - scrollBarWidth;
    fillRect(r, SDL_Rect{x, top, rowW, rowHeight},
             p.kind == PROPERTY_CATEGORY ? kCategoryFill
             : row == selected           ? kSelectedFill
                                         : kRowFill);
    setColor(r, kRowLine);
    SDL_RenderDrawLine(r, x, top + rowHeight - 1, x + rowW - 1, top + rowHeight - 1);
    if (!font) return;
    RowTextures* slots;
    if (auto it = drawnRows.find(row); it != drawnRows.end()) {
        slots = &nextRows.insert_or_assign(row, std::move(it->second)).first->second;
        drawnRows.erase(it);
    } else {
        slots = &nextRows[row];
        slots->name.maxWidth = slots->value.maxWidth = INT_MIN;  // nothing rendered yet
    }
    const int nameY = top + (rowHeight - TTF_FontHeight(font)) / 2;
    drawFitted(r, slots->name, p.name, nameColumnWidth - 16, x + 6, nameY);
    const int valueW = std::max(width - scrollBarWidth - nameColumnWidth - 4, 0) - 5;
    drawFitted(r, slots->value, p.value, valueW, x + nameColumnWidth + 7, top + 4);
}

void GuiPropertyGrid::draw(SDL_Renderer* r) {
    if (!r) return;
    if (textureRenderer != r) {
        dropTextures();
        textureRenderer = r;
    }
    SDL_Rect box = rect();
    fillRect(r, box, bgColor);
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    setColor(r, kOutline);
    SDL_RenderDrawRect(r, &box);

    {
        ClipScope clip(r, SDL_Rect{x + 1, y + 1, width - scrollBarWidth - 2, height - 2});
        if (clip.visible() && !rows.empty() && rowHeight >= 1) {
            const int first = std::max(scrollY / rowHeight, 0);
            const int last = static_cast<int>(std::min<long long>(
                rowCount() - 1, (static_cast<long long>(height) + scrollY) / rowHeight));
            for (int row = first; row <= last; ++row)
                drawRow(r, row);
        }
    }
    // Rows that left the view give their textures back.
    for (auto& [row, t] : drawnRows) {
        retire(t.name);
        retire(t.value);
    }
    drawnRows.clear();
    drawnRows.swap(nextRows);

    setColor(r, kSeparator);
    SDL_RenderDrawLine(r, x + nameColumnWidth, y, x + nameColumnWidth, y + height);

    placeScrollBar();
    if (vScroll.visible) {
        SDL_Rect column{x + width - scrollBarWidth, y, scrollBarWidth, height};
        fillRect(r, column, kBarColumn);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);  // the bar's colours are opaque
        vScroll.draw(r, kTrackColor, kThumbColor);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
        setColor(r, kBarOutline);
        SDL_RenderDrawRect(r, &column);
    }
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
}
