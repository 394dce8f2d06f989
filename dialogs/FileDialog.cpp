#include "dialogs/FileDialog.h"

#include "controls/Buttons.h"
#include "core/Draw.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "controls/TextCache.h"
#include "core/Engine.h"
#include "text/TextCtrl.h"
#include "text/Utf8.h"

#include <algorithm>

namespace {

constexpr SDL_Color kComboColor{240, 240, 240, 255};
constexpr SDL_Color kBlack{0, 0, 0, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};
constexpr SDL_Color kStatusColor{200, 0, 0, 255};
constexpr SDL_Color kButtonColor{192, 192, 192, 255};
constexpr int kDropDownHeight = 150;

// Whether dir lies inside place (or is it), comparing whole path components.
bool isInside(const std::string& dir, const std::string& place) {
    if (place == "/") return !dir.empty() && dir[0] == '/';
    return dir.rfind(place, 0) == 0 && (dir.size() == place.size() || dir[place.size()] == '/');
}

// The status line. A message wider than the line (the overwrite warning, a long path) would
// spill over the buttons: it is broken at a space into two lines of a smaller font instead,
// and nothing is drawn outside the line.
class StatusLine : public GuiLabel {
public:
    using GuiLabel::GuiLabel;
    void draw(SDL_Renderer* r) override {
        int tw = 0, th = 0;
        if (!font || text.empty() || TTF_SizeUTF8(font, text.c_str(), &tw, &th) != 0 ||
            tw <= width) {
            GuiLabel::draw(r);
            return;
        }
        if (splitFor != text) split();
        ClipScope clip(r, rect());
        if (!clip.visible()) return;
        TTF_Font* f = smallFont ? smallFont.get() : font;
        const int lineH = TTF_FontLineSkip(f);
        const int top = y + (height - 2 * lineH) / 2;
        drawCentred(r, f, firstCache, first, top);
        drawCentred(r, f, secondCache, second, top + lineH);
    }

private:
    void drawCentred(SDL_Renderer* r, TTF_Font* f, TextCache& cache, const std::string& line,
                     int top) {
        int w = 0, h = 0;
        SDL_Texture* t = cache.get(r, f, line, textColor, w, h);
        if (!t) return;
        SDL_Rect dst{x + (width - w) / 2, top, w, h};
        SDL_RenderCopy(r, t, nullptr, &dst);
    }
    // Breaks at the space that makes the longer half shortest.
    void split() {
        splitFor = text;
        if (!smallFont && window && window->engine)
            smallFont.reset(window->engine->openFont(kSmallPixels));
        TTF_Font* f = smallFont ? smallFont.get() : font;
        size_t best = std::string::npos;
        int bestWidth = 0;
        for (size_t i = text.find(' '); i != std::string::npos; i = text.find(' ', i + 1)) {
            int w1 = 0, w2 = 0, h = 0;
            TTF_SizeUTF8(f, text.substr(0, i).c_str(), &w1, &h);
            TTF_SizeUTF8(f, text.substr(i + 1).c_str(), &w2, &h);
            if (best == std::string::npos || std::max(w1, w2) < bestWidth) {
                best = i;
                bestWidth = std::max(w1, w2);
            }
        }
        first = best == std::string::npos ? text : text.substr(0, best);
        second = best == std::string::npos ? "" : text.substr(best + 1);
    }

    static constexpr int kSmallPixels = 11;
    TtfFontPtr smallFont;
    std::string splitFor, first, second;
    TextCache firstCache, secondCache;
};

}  // namespace

GuiFileDialog::GuiFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                             SDL_Color bgColor, const std::string& startDir,
                             const std::vector<std::string>& filters, const std::string& okLabel)
    : GuiDialog(appWindow, id, x, y, w, h, bgColor),
      currentDir(startDir.empty() ? "." : startDir),
      extensionFilters(filters) {
    std::string canon;
    if (canonicalDirectory(currentDir, canon)) currentDir = canon;
    addChildren(okLabel);
    refreshListing();
}

void GuiFileDialog::addChildren(const std::string& okLabel) {
    TTF_Font* font = engine ? engine->getDefaultFont() : nullptr;
    FT_Face face = engine ? engine->getFtFace() : nullptr;
    const int w = width, h = height;
    const std::string shownDir = displayFileName(currentDir);

    driveCombo =
        new GuiComboBox(nullptr, -1, 10, 10, 140, 22, kComboColor, kBlack, font, kDropDownHeight);
    driveCombo->setName("drive");
    addChild(driveCombo);
    fillDrives();

    pathLabel = new GuiLabel(nullptr, -1, 158, 10, w - 168, 22, kBlack, shownDir, font,
                             LABEL_LEFT | LABEL_ELLIPSIS_START);
    pathLabel->setTooltip(shownDir);
    addChild(pathLabel);

    fileList = new GuiListCtrl(nullptr, -1, 10, 40, w - 20, h - 113, kWhite, font);
    fileList->setName("files");
    addChild(fileList);

    nameField = new GuiTextCtrl(nullptr, -1, 10, h - 65, w - 20, 22, kWhite, face, 0);
    nameField->setName("filename");
    addChild(nameField);

    statusLabel = new StatusLine(nullptr, -1, 10, h - 35, w - 236, 25, kStatusColor, "", font, 0);
    statusLabel->textColor = kStatusColor;
    addChild(statusLabel);

    okButton = new GuiButton(nullptr, 1, w - 218, h - 35, 100, 25, kButtonColor, okLabel, font, 0);
    okButton->setName("ok");
    addChild(okButton);

    cancelButton =
        new GuiButton(nullptr, 0, w - 110, h - 35, 100, 25, kButtonColor, "Abbrechen", font, 0);
    cancelButton->setName("cancel");
    addChild(cancelButton);
}

void GuiFileDialog::fillDrives() {
    if (!driveCombo) return;
    driveCombo->clear();
    const std::vector<std::string> places = userPlaces(homeDirectory());
    for (size_t i = 0; i < places.size(); ++i)
        driveCombo->addItem(static_cast<uint32_t>(i), places[i]);
}

void GuiFileDialog::selectPlaceOf(const std::string& dir) {
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < driveCombo->items.size(); ++i) {
        const std::string& place = driveCombo->items[i].text;
        if (isInside(dir, place) && (best < 0 || place.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = place.size();
        }
    }
    if (best >= 0 && best != driveCombo->selected) driveCombo->setSelection(best, false);
}

void GuiFileDialog::refreshListing() {
    entries.clear();
    fileList->clear();
    lastClickedRow = -1;
    const std::string shownDir = displayFileName(currentDir);
    // The label always names the directory the list belongs to, even an unreadable one.
    pathLabel->setValue(shownDir);
    pathLabel->setTooltip(shownDir);
    selectPlaceOf(currentDir);
    DirectoryListing listing = listDirectory(currentDir, extensionFilters);
    entries = std::move(listing.entries);
    if (!listing.readable && !isRootDirectory(currentDir))
        entries.push_back(FileEntry{"..", true, ".."});  // a way back out of it
    for (size_t i = 0; i < entries.size(); ++i) {
        const FileEntry& entry = entries[i];
        fileList->addItem(static_cast<uint32_t>(i),
                          entry.isDirectory ? "[" + entry.name + "]" : entry.name);
    }
    if (!listing.readable)
        setStatus("Verzeichnis kann nicht gelesen werden: " + shownDir);
    else if (!listing.complete)
        setStatus("Verzeichnis nicht vollständig gelesen: " + shownDir);
    else
        setStatus("");
}

void GuiFileDialog::changeDirectory(const std::string& path) {
    std::string canon;
    if (!canonicalDirectory(path, canon)) {
        setStatus("Verzeichnis nicht gefunden: " + displayFileName(path));
        return;
    }
    currentDir = canon;
    if (!keepNameOnDirectoryChange) {
        setNameText("");
        pickedShown.clear();
        pickedRaw.clear();
    }
    refreshListing();
}

void GuiFileDialog::setStatus(const std::string& text) {
    statusLabel->setValue(text);
    statusLabel->setTooltip(text);
}

std::string GuiFileDialog::statusText() const {
    return statusLabel->text;
}

std::string GuiFileDialog::nameText() const {
    std::string out;
    nameField->getValue(out);
    return out;
}

void GuiFileDialog::setNameText(const std::string& text) {
    nameField->setValue(text);
    nameField->cursor = countCodePoints(text);
}

bool GuiFileDialog::nameIsEmpty() const {
    return nameText().empty();
}

std::string GuiFileDialog::chosenPath() const {
    std::string name = nameText();
    if (!pickedRaw.empty() && name == pickedShown) name = pickedRaw;
    return joinPath(currentDir, name);
}

void GuiFileDialog::handleEvent(GuiEvent& e) {
    GuiDialog::handleEvent(e);
    if (e.kind != GuiEvent::Input || !e.sdl) return;
    // F5 reads the directory again, so what changed on disk since the listing shows.
    if (e.sdl->type == SDL_KEYDOWN && e.sdl->key.keysym.sym == SDLK_F5) {
        refreshListing();
        return;
    }
    if (e.sdl->type != SDL_MOUSEBUTTONDOWN) return;
    if (e.target != fileList) return;
    pressOnList(e.sdl->button);
}

void GuiFileDialog::pressOnList(const SDL_MouseButtonEvent& b) {
    const int row = fileList->rowAt(b.x, b.y);
    if (row < 0) {
        lastClickedRow = -1;
        return;
    }
    if (row >= static_cast<int>(entries.size())) return;
    const bool quick = b.timestamp - lastPressTime <= kDoubleClickMs;
    lastPressTime = b.timestamp;
    if ((b.clicks >= 2 || quick) && row == lastClickedRow) {
        openRow(row);
        return;
    }
    lastClickedRow = row;
    if (!entries[row].isDirectory) pickFile(row);
}

void GuiFileDialog::pickFile(int row) {
    pickedShown = entries[row].name;
    pickedRaw = entries[row].rawName;
    setNameText(pickedShown);
}

void GuiFileDialog::openRow(int row) {
    if (!entries[row].isDirectory) {
        pickFile(row);
        accept();
        return;
    }
    // changeDirectory replaces entries: keep the name.
    const std::string raw = entries[row].rawName;
    // The way up is taken by name, so that it leads out of a directory that has vanished.
    const std::string parent = raw == ".." ? parentDirectory(currentDir) : "";
    changeDirectory(parent.empty() ? joinPath(currentDir, raw) : parent);
}

void GuiFileDialog::onCommand(GuiEvent& e) {
    if (e.code == CMD_COMBO_SELECTED && e.source == driveCombo && driveCombo->selected >= 0)
        changeDirectory(driveCombo->selectedText());
}

void GuiFileDialog::accept() {
    if (!validateResult(chosenPath())) return;
    hasResult = true;
    endModal(1);
}

void GuiFileDialog::cancel() {
    hasResult = false;
    endModal(2);
}

// ---------------------------------------------------------------------------------------------
// GuiOpenFileDialog

GuiOpenFileDialog::GuiOpenFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                                     SDL_Color bgColor, const std::string& startDir,
                                     const std::vector<std::string>& filters)
    : GuiFileDialog(appWindow, id, x, y, w, h, bgColor, startDir, filters, "Öffnen") {}

bool GuiOpenFileDialog::validateResult(const std::string& path) {
    if (nameIsEmpty()) {
        setStatus("Bitte eine Datei auswählen.");
        return false;
    }
    switch (pathKind(path)) {
        case PathKind::Directory:
            changeDirectory(path);  // typing a directory and OK enters it
            return false;
        case PathKind::Other:
            resultPath = path;
            return true;
        case PathKind::Missing:
            break;
    }
    setStatus("Datei nicht gefunden.");
    return false;
}

// ---------------------------------------------------------------------------------------------
// GuiSaveFileDialog

GuiSaveFileDialog::GuiSaveFileDialog(AppWindow* appWindow, int id, int x, int y, int w, int h,
                                     SDL_Color bgColor, const std::string& startDir,
                                     const std::string& defaultName,
                                     const std::vector<std::string>& filters)
    : GuiFileDialog(appWindow, id, x, y, w, h, bgColor, startDir, filters, "Speichern") {
    // A new name is meant for whichever directory the user goes to.
    keepNameOnDirectoryChange = true;
    pendingOverwrite.clear();
    setNameText(defaultName);
}

bool GuiSaveFileDialog::validateResult(const std::string& path) {
    if (nameIsEmpty()) {
        setStatus("Bitte einen Dateinamen eingeben.");
        return false;
    }
    switch (pathKind(path)) {
        case PathKind::Directory:
            setStatus("Das ist ein Ordner, kein Dateiname.");
            return false;
        case PathKind::Other:
            if (path == pendingOverwrite) {
                resultPath = path;
                return true;
            }
            pendingOverwrite = path;
            setStatus(
                "Datei existiert bereits - nochmal auf \"Speichern\" klicken zum "
                "Überschreiben.");
            return false;
        case PathKind::Missing:
            break;
    }
    // A name in a directory that is gone (or never was) cannot be saved.
    const std::string parent = parentDirectory(path);
    if (!parent.empty() && pathKind(parent) != PathKind::Directory) {
        setStatus("Verzeichnis nicht gefunden: " + displayFileName(parent));
        return false;
    }
    resultPath = path;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening

namespace {

constexpr SDL_Color kDialogColor{200, 200, 200, 255};

template <typename Dialog, typename Make>
Dialog* openModal(const std::string& title, int w, int h, Make make) {
    ZazOvadir* engine = ZazOvadir::current();
    if (!engine || !engine->mainWindow) return nullptr;
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    engine->centreOnMainWindow(x, y, w, h);
    AppWindow* record = engine->createWindow(title, x, y, w, h, SDL_WINDOW_SHOWN);
    if (!record) return nullptr;
    Dialog* dialog = make(record);
    record->root.reset(dialog);
    if (!engine->registerWindow(record, title, w, h)) {
        delete record;  // takes the dialog with it
        return nullptr;
    }
    engine->setModalFor(record);
    engine->setModal(dialog);
    return dialog;
}

}  // namespace

GuiOpenFileDialog* showOpenFileDialog(const std::string& title, int w, int h,
                                      const std::string& startDir,
                                      const std::vector<std::string>& filters) {
    return openModal<GuiOpenFileDialog>(title, w, h, [&](AppWindow* record) {
        return new GuiOpenFileDialog(record, -1, 0, 0, w, h, kDialogColor, startDir, filters);
    });
}

GuiSaveFileDialog* showSaveFileDialog(const std::string& title, int w, int h,
                                      const std::string& startDir, const std::string& defaultName,
                                      const std::vector<std::string>& filters) {
    return openModal<GuiSaveFileDialog>(title, w, h, [&](AppWindow* record) {
        return new GuiSaveFileDialog(record, -1, 0, 0, w, h, kDialogColor, startDir, defaultName,
                                     filters);
    });
}
