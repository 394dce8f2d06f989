// The catalogue's column 2.
#include "demo/Demo.h"

#include "controls/ListCtrl.h"
#include "text/SearchCtrl.h"

#include <string>
#include <vector>

const std::vector<std::string>& fruitNames();

namespace {

constexpr SDL_Color kListGrey{240, 240, 240, 255};
constexpr SDL_Color kWhite{255, 255, 255, 255};

}  // namespace

void Demo::buildColumn2() {
    GuiWindow* root = mainRoot();
    if (!root) return;
    TTF_Font* font = getDefaultFont();

    addSectionTitle(310, 35, 280, "Liste (GuiListCtrl)");
    auto* list = new GuiListCtrl(nullptr, 42, 310, 53, 280, 200, kListGrey, font);
    for (int i = 0; i < 10000; ++i)
        list->addItem(i, "Eintrag " + std::to_string(i));
    list->addItem(10000, "Eintrag LAST");
    root->addChild(list);
    named(list, "10001 Einträge", "list");

    addSectionTitle(310, 263, 280, "Suche (GuiSearchCtrl)");
    auto* search = new GuiSearchCtrl(nullptr, 5001, 310, 281, 280, 24, kListGrey, getFtFace());
    root->addChild(search);
    named(search, "Obstsorte suchen", "search");
    auto* results = new GuiListCtrl(nullptr, 5002, 310, 309, 280, 130, kWhite, font);
    for (const std::string& fruit : fruitNames())
        results->addItem(static_cast<uint32_t>(-1), fruit);
    root->addChild(results);
    named(results, "Suchergebnisse", "search_results");
    search->onChange = [this, search, results] { filterSearchResults(search, results); };
    buildImageSection();
    buildScrolledPanel();
}
