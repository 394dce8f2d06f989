// The event log: what the controls report, one line each.
#include "demo/Demo.h"

#include "controls/Buttons.h"

#include "controls/Menus.h"
#include "controls/PropertyGrid.h"
#include "controls/TreeList.h"
#include "text/TextCtrl.h"

namespace {

constexpr size_t kLogLimit = 200;
constexpr size_t kLogKeep = 150;

std::string withoutAmpersands(std::string s) {
    std::erase(s, '&');
    return s;
}

}  // namespace

void Demo::appendLog(const std::string& line) {
    if (!eventLog) return;
    logLines.push_back(line);
    if (logLines.size() <= kLogLimit) {
        eventLog->appendText(logLines.size() == 1 ? line : "\n" + line);
        return;
    }
    while (logLines.size() > kLogKeep)
        logLines.pop_front();
    std::string kept;
    for (size_t i = 0; i + 1 < logLines.size(); ++i) {
        if (i) kept += '\n';
        kept += logLines[i];
    }
    eventLog->setText(kept);
    eventLog->appendText("\n" + logLines.back());
}

void Demo::logEvent(const GuiEvent& e) {
    if (modalRoot || !e.source) return;
    GuiObject* src = e.source;
    const std::string label = src->name.empty() ? std::string(src->className()) : src->name;
    switch (e.code) {
        case CMD_ACTIVATED:
            appendLog("Button: " + label);
            return;
        case CMD_MENU_ITEM:
            if (auto* menu = dynamic_cast<GuiMenu*>(src))
                if (const MenuItem* item = menu->itemById(e.id))
                    appendLog("Menü: " + withoutAmpersands(item->label));
            return;
        case CMD_COMBO_SELECTED:
        case CMD_SLIDER_CHANGED:
        case CMD_TREE_SELECTED: {
            std::string value;
            if (!src->getValue(value)) value.clear();
            appendLog(label + " = " + value);
            return;
        }
        case CMD_PROPERTY_CHANGED:
            if (auto* grid = dynamic_cast<GuiPropertyGrid*>(src))
                if (const PropertyRow* row = grid->rowAt(static_cast<int>(e.value)))
                    appendLog(label + "." + row->name + " = " + row->value);
            return;
        case CMD_TREE_ITEM:
            if (auto* tree = dynamic_cast<GuiTreeListCtrl*>(src)) {
                int n = e.value < 0 || e.value > UINT32_MAX
                            ? -1
                            : tree->nodeWithItemId(static_cast<uint32_t>(e.value));
                if (const TreeNode* node = tree->nodeAt(n))
                    appendLog((node->cells.empty() ? std::string() : node->cells[0]) +
                              (node->expanded ? ": aufgeklappt" : ": eingeklappt"));
            }
            return;
        default:
            return;
    }
}

void Demo::logToggles(GuiButton* button) {
    if (!button) return;
    button->addCallback(
        [this](GuiButton* b, bool on) { appendLog(b->name + (on ? ": an" : ": aus")); });
}

void Demo::focusInitialEditor() {
    GuiWindow* root = mainRoot();
    if (!root || !multiLineText) return;
    root->setFocus(multiLineText);
    activeEditable = multiLineText;
}
