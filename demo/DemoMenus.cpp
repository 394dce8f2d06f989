// The main window's menu bar and what its commands do.
#include "demo/Demo.h"

void Demo::buildMenuBar() {}

bool Demo::handleMenuCommand(AppWindow*, uint32_t) { return false; }
