#include "util/Base64.h"

#include <array>

namespace {

constexpr uint8_t kInvalid = 0x80;
constexpr uint8_t kPadding = 0x40;  // "=" decodes as 0 and marks the end

constexpr std::array<uint8_t, 256> makeTable() {
    std::array<uint8_t, 256> t{};
    for (auto& v : t)
        v = kInvalid;
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (uint8_t i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(alphabet[i])] = i;
    t['='] = kPadding;
    return t;
}

constexpr std::array<uint8_t, 256> kTable = makeTable();

bool isSkipped(unsigned char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

}  // namespace

size_t decodeBase64(const char* text, uint8_t* out, size_t capacity) {
    if (!text) return 0;
    size_t count = 0;
    uint8_t group[4];
    int filled = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (isSkipped(*p)) continue;
        uint8_t v = kTable[*p];
        if (v & kInvalid) return 0;
        group[filled++] = v;
        if (filled < 4) continue;
        filled = 0;
        const int take = (group[2] & kPadding) ? 1 : (group[3] & kPadding) ? 2 : 3;
        const uint8_t a = group[0] & 63, b = group[1] & 63, c = group[2] & 63, d = group[3] & 63;
        const uint8_t bytes[3] = {uint8_t(a << 2 | b >> 4), uint8_t((b & 15) << 4 | c >> 2),
                                  uint8_t((c & 3) << 6 | d)};
        if (out) {
            // A buffer too small is a caller's mistake we refuse, not one we write past.
            if (count > capacity || capacity - count < static_cast<size_t>(take)) return 0;
            for (int i = 0; i < take; ++i)
                out[count + i] = bytes[i];
        }
        count += take;
        if (take < 3) return count;  // text after a padded group is ignored
    }
    return filled == 0 ? count : 0;
}
