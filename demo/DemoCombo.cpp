// Column 1's combo box section.
#include "demo/Demo.h"

void Demo::buildComboSection() {}
