// Base64 (RFC 4648, standard alphabet) decoding without allocation, for "data:" URIs.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the NUL-terminated text into out and returns the number of bytes decoded, 0 on
// failure (an invalid character, an unfinished last group, or output beyond capacity). Space,
// CR and LF are skipped anywhere; decoding stops after the first padded group. With a null
// out nothing is written and the count is returned, so callers size the buffer first.
size_t decodeBase64(const char* text, uint8_t* out, size_t capacity);
