// The open and save dialogs against real windows and SDL events on fixture trees: layout,
// clicks and double clicks on rows, typed names, validation texts, the overwrite sequence,
// the places combo, and directories or files that change under the open dialog.
#include "DialogTestApp.h"
#include "FileTree.h"

#include "controls/Buttons.h"
#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "dialogs/FileDialog.h"
#include "text/TextCtrl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

const std::string kOverwrite =
    "Datei existiert bereits - nochmal auf \"Speichern\" klicken zum Überschreiben.";

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(app.openMain(800, 600), nullptr);
        ASSERT_TRUE(tree.dir("sub"));
        ASSERT_TRUE(tree.file("sub/innen.txt"));
        ASSERT_TRUE(tree.file("b.txt"));
        ASSERT_TRUE(tree.file("A.txt"));
        ASSERT_TRUE(tree.file(".hidden"));
        home = std::filesystem::canonical(tree.root).string();
        app.onEnded = [this](GuiDialog* dialog, DialogTestApp::Ended& end) {
            if (auto* fd = dynamic_cast<GuiFileDialog*>(dialog))
                end.value = fd->hasResult ? fd->resultPath : "(keins)";
        };
    }
    GuiOpenFileDialog* openDialog(const std::vector<std::string>& filters = {}) {
        return showOpenFileDialog("Datei öffnen", 480, 420, tree.root, filters);
    }
    GuiSaveFileDialog* saveDialog() {
        return showSaveFileDialog("Datei speichern", 480, 420, tree.root, "unbenannt.txt", {});
    }
    // The list's rows as shown.
    std::vector<std::string> rows(GuiFileDialog* d) {
        std::vector<std::string> out;
        for (const ListItem& item : d->fileList->items)
            out.push_back(item.text);
        return out;
    }
    // A press and release on a row, clicks as SDL counts them, at a time of the test's clock.
    void pressRow(GuiFileDialog* d, int row, uint8_t clicks = 1, uint32_t after = 1000) {
        now += after;
        const int x = d->fileList->x + 30;
        const int y = d->fileList->y + row * d->fileList->rowHeight + d->fileList->rowHeight / 2;
        SDL_Event down = mouseButton(SDL_MOUSEBUTTONDOWN, app.dialogId(), x, y);
        down.button.clicks = clicks;
        down.button.timestamp = now;
        SDL_Event up = mouseButton(SDL_MOUSEBUTTONUP, app.dialogId(), x, y);
        up.button.timestamp = now + 50;
        route(app, down);
        if (app.dialogId()) route(app, up);
    }
    void doubleClickRow(GuiFileDialog* d, int row) {
        pressRow(d, row, 1);
        pressRow(d, row, 2, 150);
    }
    void typeName(GuiFileDialog* d, const std::string& name) {
        d->setNameText("");
        app.click(app.dialogWindow(), d->nameField);
        // One text-input event holds at most 31 bytes.
        for (size_t i = 0; i < name.size(); i += 16)
            app.type(name.substr(i, 16));
    }
    void ok(GuiFileDialog* d) { app.click(app.dialogWindow(), d->okButton); }

    DialogTestApp app;
    FileTree tree;
    std::string home;
    uint32_t now = 10000;
};

TEST_F(FileDialogTest, LayoutNamesAndFirstListing) {
    GuiOpenFileDialog* d = openDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->className(), "GuiOpenFileDialog");
    EXPECT_EQ(d->currentDir, home);
    struct Geometry {
        GuiObject* obj;
        const char* name;
        SDL_Rect rect;
    };
    const std::vector<Geometry> layout = {
        {d->driveCombo, "drive", {10, 10, 140, 22}},
        {d->pathLabel, "", {158, 10, 312, 22}},
        {d->fileList, "files", {10, 40, 460, 307}},
        {d->nameField, "filename", {10, 355, 460, 22}},
        {d->statusLabel, "", {10, 385, 244, 25}},
        {d->okButton, "ok", {262, 385, 100, 25}},
        {d->cancelButton, "cancel", {370, 385, 100, 25}},
    };
    for (const Geometry& g : layout) {
        ASSERT_NE(g.obj, nullptr) << g.name;
        EXPECT_EQ(g.obj->name, g.name);
        EXPECT_EQ(g.obj->x, g.rect.x) << g.name;
        EXPECT_EQ(g.obj->y, g.rect.y) << g.name;
        EXPECT_EQ(g.obj->width, g.rect.w) << g.name;
        EXPECT_EQ(g.obj->height, g.rect.h) << g.name;
    }
    EXPECT_EQ(d->okButton->label, "Öffnen");
    EXPECT_EQ(d->okButton->id, 1);
    EXPECT_EQ(d->cancelButton->label, "Abbrechen");
    EXPECT_EQ(d->cancelButton->id, 0);
    EXPECT_EQ(d->pathLabel->text, home);
    EXPECT_EQ(d->pathLabel->tooltip, home);
    EXPECT_EQ(d->pathLabel->flags, static_cast<uint32_t>(LABEL_LEFT | LABEL_ELLIPSIS_START));
    EXPECT_EQ(d->statusText(), "");
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]", "[sub]", "A.txt", "b.txt"}));
    ASSERT_FALSE(d->driveCombo->items.empty());
    EXPECT_EQ(d->driveCombo->items[0].text, "/");

    app.key(SDLK_ESCAPE);
    GuiSaveFileDialog* s = saveDialog();
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->className(), "GuiSaveFileDialog");
    EXPECT_EQ(s->okButton->label, "Speichern");
    EXPECT_EQ(s->nameText(), "unbenannt.txt");
    EXPECT_EQ(s->pendingOverwrite, "");
}

// Red pixels inside the rectangle, read from the dialog's frame.
int redPixels(SDL_Renderer* r, SDL_Rect area) {
    int count = 0;
    for (int x = area.x; x < area.x + area.w; ++x)
        for (int y = area.y; y < area.y + area.h; ++y) {
            const SDL_Color c = readPixel(r, x, y);
            count += c.r > 150 && c.g < 90 && c.b < 90;
        }
    return count;
}

TEST_F(FileDialogTest, StatusLineIsRedAndStaysInsideItsRectangle) {
    GuiOpenFileDialog* d = openDialog();
    for (const std::string& text : {std::string("Datei nicht gefunden."), kOverwrite}) {
        SCOPED_TRACE(text);
        d->setStatus(text);
        int inside = -1, outside = -1;
        app.beforePresent = [&](AppWindow* w) {
            if (w->root.get() != d) return;
            inside = redPixels(w->sdlRenderer(), d->statusLabel->rect());
            // Left of the line, and the OK button beside it.
            outside = redPixels(w->sdlRenderer(), SDL_Rect{0, 385, 10, 25}) +
                      redPixels(w->sdlRenderer(), d->okButton->rect());
        };
        app.frames(2);
        EXPECT_GT(inside, 20);
        EXPECT_EQ(outside, 0);
    }
}

TEST_F(FileDialogTest, SingleClicksFillTheNameOnlyForFiles) {
    GuiOpenFileDialog* d = openDialog();
    pressRow(d, 2);
    EXPECT_EQ(d->nameText(), "A.txt");
    EXPECT_EQ(d->lastClickedRow, 2);
    pressRow(d, 1);  // [sub]
    EXPECT_EQ(d->nameText(), "A.txt");
    EXPECT_EQ(d->currentDir, home);
    // Two single presses on one row far apart in time are no double click.
    pressRow(d, 1, 1, 2000);
    EXPECT_EQ(d->currentDir, home);
    // A press below the last row hits no row.
    pressRow(d, 10);
    EXPECT_EQ(d->lastClickedRow, -1);
}

TEST_F(FileDialogTest, DoubleClicksEnterDirectoriesAndGoUp) {
    GuiOpenFileDialog* d = openDialog();
    pressRow(d, 2);  // fills the name, then is left behind
    doubleClickRow(d, 1);
    EXPECT_EQ(d->currentDir, home + "/sub");
    EXPECT_EQ(d->nameText(), "");
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]", "innen.txt"}));
    EXPECT_EQ(d->pathLabel->text, home + "/sub");
    EXPECT_EQ(d->lastClickedRow, -1);
    // A third press, counted 3 by SDL, is a fresh single press in the new directory.
    pressRow(d, 1, 3, 100);
    EXPECT_TRUE(app.ended.empty());
    EXPECT_EQ(d->nameText(), "innen.txt");
    doubleClickRow(d, 0);  // [..]
    EXPECT_EQ(d->currentDir, home);
    EXPECT_EQ(d->nameText(), "");
    // Injected presses carry a click count of 1: two within 400 ms still make a double click.
    pressRow(d, 1, 1);
    pressRow(d, 1, 1, 400);
    EXPECT_EQ(d->currentDir, home + "/sub");
}

TEST_F(FileDialogTest, DoubleClickOnAFileOpensIt) {
    GuiOpenFileDialog* d = openDialog();
    doubleClickRow(d, 3);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].className, "GuiOpenFileDialog");
    EXPECT_EQ(app.ended[0].value, home + "/b.txt");
}

TEST_F(FileDialogTest, OpenValidation) {
    GuiOpenFileDialog* d = openDialog();
    ok(d);
    EXPECT_EQ(d->statusText(), "Bitte eine Datei auswählen.");
    typeName(d, "fehlt.txt");
    app.key(SDLK_RETURN);
    EXPECT_EQ(d->statusText(), "Datei nicht gefunden.");
    EXPECT_EQ(d->nameText(), "fehlt.txt");  // what was typed stays
    typeName(d, "sub");
    ok(d);
    EXPECT_EQ(d->currentDir, home + "/sub");
    EXPECT_EQ(d->nameText(), "");
    EXPECT_EQ(d->statusText(), "");
    typeName(d, home + "/A.txt");  // absolute
    ok(d);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].value, home + "/A.txt");
}

TEST_F(FileDialogTest, RelativeNamesJoinTheCurrentDirectory) {
    GuiOpenFileDialog* d = openDialog();
    typeName(d, "sub/innen.txt");
    ok(d);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].value, home + "/sub/innen.txt");
}

TEST_F(FileDialogTest, FileThatDisappearsBeforeOk) {
    GuiOpenFileDialog* d = openDialog();
    pressRow(d, 2);
    ASSERT_EQ(d->nameText(), "A.txt");
    ASSERT_EQ(::unlink(tree.path("A.txt").c_str()), 0);
    app.key(SDLK_RETURN);
    EXPECT_TRUE(app.ended.empty());
    EXPECT_EQ(d->statusText(), "Datei nicht gefunden.");
}

TEST_F(FileDialogTest, CancelEndsWithoutResult) {
    GuiOpenFileDialog* d = openDialog();
    pressRow(d, 2);
    app.click(app.dialogWindow(), d->cancelButton);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 2u);
    EXPECT_EQ(app.ended[0].value, "(keins)");
}

TEST_F(FileDialogTest, FilterListsOnlyMatchingFiles) {
    ASSERT_TRUE(tree.file("X.PNG"));
    ASSERT_TRUE(tree.file("x.jpg"));
    GuiOpenFileDialog* d = openDialog({".png"});
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]", "[sub]", "X.PNG"}));
}

TEST_F(FileDialogTest, SaveValidationAndOverwriteSequence) {
    GuiSaveFileDialog* d = saveDialog();
    typeName(d, "");
    ok(d);
    EXPECT_EQ(d->statusText(), "Bitte einen Dateinamen eingeben.");
    typeName(d, "sub");
    ok(d);
    EXPECT_EQ(d->statusText(), "Das ist ein Ordner, kein Dateiname.");
    EXPECT_EQ(d->currentDir, home);
    typeName(d, "A.txt");
    ok(d);
    EXPECT_EQ(d->statusText(), kOverwrite);
    EXPECT_EQ(d->pendingOverwrite, home + "/A.txt");
    typeName(d, "b.txt");  // another existing file warns again
    ok(d);
    EXPECT_EQ(d->statusText(), kOverwrite);
    EXPECT_TRUE(app.ended.empty());
    app.key(SDLK_RETURN);  // the second OK for the same name overwrites
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].result, 1u);
    EXPECT_EQ(app.ended[0].value, home + "/b.txt");
}

TEST_F(FileDialogTest, SaveAcceptsANewNameAndKeepsItWhileNavigating) {
    GuiSaveFileDialog* d = saveDialog();
    doubleClickRow(d, 1);  // into sub: the typed name stays
    EXPECT_EQ(d->currentDir, home + "/sub");
    EXPECT_EQ(d->nameText(), "unbenannt.txt");
    ok(d);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].value, home + "/sub/unbenannt.txt");
}

TEST_F(FileDialogTest, SaveIntoAVanishedDirectoryIsRefused) {
    GuiSaveFileDialog* d = saveDialog();
    doubleClickRow(d, 1);
    std::filesystem::remove_all(tree.path("sub"));
    ok(d);
    EXPECT_TRUE(app.ended.empty());
    EXPECT_EQ(d->statusText(), "Verzeichnis nicht gefunden: " + home + "/sub");
    d->refreshListing();
    EXPECT_EQ(d->statusText(), "Verzeichnis kann nicht gelesen werden: " + home + "/sub");
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]"}));  // still a way out
    EXPECT_EQ(d->nameText(), "unbenannt.txt");
    doubleClickRow(d, 0);
    EXPECT_EQ(d->currentDir, home);
    EXPECT_EQ(d->statusText(), "");
}

TEST_F(FileDialogTest, F5ShowsWhatChangedOnDisk) {
    GuiOpenFileDialog* d = openDialog();
    typeName(d, "getippt");
    ASSERT_TRUE(tree.file("c.txt"));
    app.key(SDLK_F5);
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]", "[sub]", "A.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(d->nameText(), "getippt");
    doubleClickRow(d, 1);
    std::filesystem::remove_all(tree.path("sub"));
    app.key(SDLK_F5);
    EXPECT_EQ(d->statusText(), "Verzeichnis kann nicht gelesen werden: " + home + "/sub");
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]"}));
}

TEST_F(FileDialogTest, MissingStartDirectoryIsKeptAndReported) {
    const std::string missing = tree.path("gibt-es-nicht");
    GuiOpenFileDialog* d = showOpenFileDialog("Datei öffnen", 480, 420, missing, {});
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->currentDir, missing);
    EXPECT_EQ(d->statusText(), "Verzeichnis kann nicht gelesen werden: " + missing);
    doubleClickRow(d, 0);  // [..] leads back to an existing directory
    EXPECT_EQ(d->currentDir, home);
}

TEST_F(FileDialogTest, UndecodableNameOpensByItsBytes) {
    ASSERT_TRUE(tree.file("z\xFF.txt"));
    GuiOpenFileDialog* d = openDialog();
    ASSERT_EQ(rows(d).back(), "z\xEF\xBF\xBD.txt");
    pressRow(d, 4);
    EXPECT_EQ(d->nameText(), "z\xEF\xBF\xBD.txt");
    ok(d);
    ASSERT_EQ(app.ended.size(), 1u);
    EXPECT_EQ(app.ended[0].value, home + "/z\xFF.txt");
}

TEST_F(FileDialogTest, UnreadableDirectoryIsReportedInTheStatusLine) {
    ASSERT_TRUE(tree.dir("gesperrt"));
    ASSERT_EQ(chmod(tree.path("gesperrt").c_str(), 0), 0);
    GuiOpenFileDialog* d = openDialog();
    {
        // Root reads a mode-000 directory anyway: change directory as "nobody" for the moment.
        const bool root = geteuid() == 0;
        if (root) {
            ASSERT_EQ(chmod(home.c_str(), 0755), 0);
            ASSERT_EQ(seteuid(65534), 0);
        }
        d->changeDirectory(tree.path("gesperrt"));
        if (root) ASSERT_EQ(seteuid(0), 0);
    }
    EXPECT_EQ(d->currentDir, home + "/gesperrt");
    EXPECT_EQ(d->pathLabel->text, home + "/gesperrt");
    EXPECT_EQ(d->statusText(), "Verzeichnis kann nicht gelesen werden: " + home + "/gesperrt");
    EXPECT_EQ(rows(d), (std::vector<std::string>{"[..]"}));
}

TEST_F(FileDialogTest, PlacesComboChangesDirectory) {
    GuiOpenFileDialog* d = openDialog();
    ASSERT_GE(d->driveCombo->items.size(), 1u);
    // The place the start directory lies in is the one shown.
    EXPECT_EQ(home.rfind(d->driveCombo->selectedText(), 0), 0u);
    d->driveCombo->setSelection(0, true);  // "/", through the command routing
    EXPECT_EQ(d->currentDir, "/");
    EXPECT_EQ(rows(d).empty() ? "" : rows(d)[0].substr(0, 1), "[");
    for (const std::string& row : rows(d))
        EXPECT_NE(row, "[..]");
}

TEST_F(FileDialogTest, ChangingToAMissingDirectoryChangesNothing) {
    GuiOpenFileDialog* d = openDialog();
    pressRow(d, 2);
    d->changeDirectory(tree.path("nirgends"));
    EXPECT_EQ(d->currentDir, home);
    EXPECT_EQ(d->statusText(), "Verzeichnis nicht gefunden: " + tree.path("nirgends"));
    EXPECT_EQ(d->nameText(), "A.txt");
    EXPECT_EQ(rows(d).size(), 4u);
}

}  // namespace
