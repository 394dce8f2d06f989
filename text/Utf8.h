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

constexpr bool isUtf8Continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}
// Bytes that a sequence starting with this lead byte claims, judged by the lead alone: 2..4,
// or 1 for ASCII and for a byte that cannot start a sequence.
constexpr int utf8SequenceLength(unsigned char lead) {
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

Utf8Step decodeUtf8(const char* bytes, size_t available);
// Number of decoding steps needed to consume the range.
int32_t countCodePoints(const char* bytes, size_t length);
inline int32_t countCodePoints(const std::string& s) {
    return countCodePoints(s.data(), s.size());
}
// Byte offset reached after n decoding steps, never past the end.
int32_t byteOffsetOf(const std::string& s, int32_t n);
// The same, starting at byte `from`, which must be where a decoding step starts.
int32_t byteOffsetFrom(const std::string& s, size_t from, int32_t n);
