// UTF-8 helpers shared by the text control and the HTML box. An invalid byte counts as one
// code point (shown as U+FFFD) so that indices and glyphs always stay in step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Utf8Step {
    uint32_t codePoint;
    int length;  // bytes consumed: 1..4, or 0 when nothing was available
};

constexpr uint32_t kReplacementChar = 0xFFFD;

Utf8Step decodeUtf8(const char* bytes, size_t available);
// Number of decoding steps needed to consume the range.
int32_t countCodePoints(const char* bytes, size_t length);
inline int32_t countCodePoints(const std::string& s) {
    return countCodePoints(s.data(), s.size());
}
// Byte offset reached after n decoding steps, never past the end.
int32_t byteOffsetOf(const std::string& s, int32_t n);
