// Cairo's ARGB32 pixels are premultiplied; SDL textures expect straight alpha. Everything that
// shows cairo drawing through SDL converts here.
#pragma once

#include <cstdint>

// One pixel, 0xAARRGGBB premultiplied to straight alpha; fully transparent becomes 0.
uint32_t unpremultiply(uint32_t argb);

// Copies a width x height block of 32-bit pixels between rows of the given byte pitches,
// un-premultiplying each pixel. True when every pixel was opaque.
bool copyUnpremultiplied(const unsigned char* src, int srcPitch, unsigned char* dst, int dstPitch,
                         int width, int height);
