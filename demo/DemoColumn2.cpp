// The catalogue's column 2.
#include "demo/Demo.h"

void Demo::buildColumn2() {}
