// The event log: what the controls report, one line each.
#include "demo/Demo.h"

void Demo::appendLog(const std::string&) {
    // Written once the event log exists.
}

void Demo::logEvent(const GuiEvent&) {
    // Written once the event log exists.
}

void Demo::logToggles(GuiButton*) {
    // Filled in with the buttons and the event log.
}

void Demo::focusInitialEditor() {}
