// The catalogue's column 1 and the status bar.
#include "demo/Demo.h"

void Demo::buildColumn1() { buildComboSection(); }

void Demo::addSectionTitle(int, int, int, const std::string&) {
    // Filled in with the label control.
}

void Demo::buildStatusBar() {}
