// The catalogue's column 4.
#include "demo/Demo.h"

void Demo::buildColumn4() {
    buildTreeAndProperties();
    buildHtmlBox();
}
