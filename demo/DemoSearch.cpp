// The fruit search: filters the result list on every change of the search text.
#include "demo/Demo.h"

void Demo::filterSearchResults(GuiSearchCtrl*, GuiListCtrl*) {}
