// Column 4's tree list of files and folders and its property grid.
#include "demo/Demo.h"

#include "controls/PropertyGrid.h"
#include "controls/TreeList.h"

#include <string>

namespace {

constexpr int kColumnX = 1250;
constexpr int kColumnWidth = 640;
constexpr int kTreeId = 4001;

void fillTree(GuiTreeListCtrl* tree) {
    tree->addColumn("Name", 300);
    tree->addColumn("Typ", 150);
    tree->addColumn("Größe", 120);
    const int documents = tree->addNode(-1, 1, {"Dokumente", "Ordner"});
    const int pictures = tree->addNode(-1, 2, {"Bilder", "Ordner"});
    tree->addNode(documents, 11, {"Bericht.docx", "Word-Dokument", "128 KB"});
    tree->addNode(documents, 12, {"Rechnung.pdf", "PDF-Dokument", "64 KB"});
    const int archive = tree->addNode(documents, 13, {"Archiv", "Ordner"});
    tree->addNode(archive, 131, {"alt.docx", "Word-Dokument", "32 KB"});
    tree->addNode(pictures, 21, {"urlaub.png", "PNG-Bild", "2,1 MB"});
    tree->addNode(pictures, 22, {"profil.jpg", "JPEG-Bild", "512 KB"});
    tree->addNode(-1, 3, {"readme.txt", "Textdatei", "2 KB"});
}

void fillProperties(GuiPropertyGrid* grid) {
    grid->addCategory("Shape");
    grid->addText("Name", "KORVELT");
    grid->addInt("Width", 120);
    grid->addBool("Show Position", true);
    grid->addChoice("Flow Type", {"None", "Constant", "Pulse"}, 1);
    for (int i = 0; i < 100; ++i)
        grid->addText("Eintrag " + std::to_string(i), "Dummy");
}

}  // namespace

void Demo::buildTreeAndProperties() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    addSectionTitle(kColumnX, 35, kColumnWidth, "TreeListCtrl (GuiTreeListCtrl)");
    auto* tree = new GuiTreeListCtrl(nullptr, kTreeId, kColumnX, 53, kColumnWidth, 260,
                                     SDL_Color{240, 240, 240, 255}, getDefaultFont());
    root->addChild(named(tree, "Explorer-artige Baumansicht", "tree"));
    fillTree(tree);

    addSectionTitle(kColumnX, 323, kColumnWidth, "PropertyGrid");
    auto* grid = new GuiPropertyGrid(nullptr, -1, kColumnX, 341, kColumnWidth, 300,
                                     SDL_Color{255, 255, 255, 255}, getDefaultFont(), getFtFace());
    root->addChild(named(grid, "Eigenschaften", "properties"));
    fillProperties(grid);
}
