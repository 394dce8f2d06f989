// The image button's built-in picture: a 48 x 48 RGBA PNG held in the program.
#pragma once

#include <cstddef>

const unsigned char* defaultIconPng();
size_t defaultIconPngSize();
