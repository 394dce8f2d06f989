// The catalogue, column by column.
#include "demo/Demo.h"

void Demo::buildColumn1() { buildComboSection(); }
void Demo::buildComboSection() {}
void Demo::buildColumn2() {}
void Demo::buildColumn3() {}
void Demo::buildColumn4() {}
