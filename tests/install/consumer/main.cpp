// A program outside the project that finds the installed toolkit and links it.
#include "core/Engine.h"
#include "core/Window.h"

int main() {
    double v = 0;
    return parseNumber("1.5", v) && v == 1.5 && formatNumber(v) == "1.5" ? 0 : 1;
}
