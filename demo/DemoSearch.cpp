// The fruit search: filters the result list on every change of the search text.
#include "demo/Demo.h"

#include "controls/Labels.h"
#include "controls/ListCtrl.h"
#include "text/SearchCtrl.h"

#include <string>
#include <vector>

const std::vector<std::string>& fruitNames() {
    static const std::vector<std::string> names{
        "Apfel",       "Banane",       "Birne",    "Erdbeere",  "Himbeere",
        "Kirsche",     "Kiwi",         "Mango",    "Orange",    "Pfirsich",
        "Zitrone",     "Ananas",       "Aprikose", "Brombeere", "Heidelbeere",
        "Honigmelone", "Wassermelone", "Traube",   "Feige",     "Granatapfel"};
    return names;
}

namespace {

// Only ASCII letters change, whatever the process locale says.
std::string asciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

}  // namespace

void Demo::filterSearchResults(GuiSearchCtrl* search, GuiListCtrl* results) {
    if (!search || !results) return;
    std::string text;
    search->getValue(text);
    if (statusBar) statusBar->setText("Suche: " + text, 0);
    std::string remembered;
    bool hadSelection = false;
    if (ListItem* item = results->selectedItem()) {
        remembered = item->text;
        hadSelection = true;
    }
    const std::string query = asciiLower(text);
    results->clear();
    int keep = -1;
    for (const std::string& name : fruitNames()) {
        if (!query.empty() && asciiLower(name).find(query) == std::string::npos) continue;
        int row = results->addItem(static_cast<uint32_t>(-1), name);
        if (hadSelection && name == remembered) keep = row;
    }
    if (keep >= 0) results->setSelection(keep);
}
