// The catalogue's column 3.
#include "demo/Demo.h"

void Demo::buildColumn3() {}
