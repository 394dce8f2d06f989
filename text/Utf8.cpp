#include "text/Utf8.h"

namespace {

// Decodes a sequence of `len` bytes whose lead carries `leadBits` payload bits, or reports
// failure when the bytes are missing or a continuation byte is wrong.
bool decodeSequence(const unsigned char* p, size_t available, int len, uint32_t leadMask,
                    uint32_t& out) {
    if (available < static_cast<size_t>(len)) return false;
    uint32_t cp = p[0] & leadMask;
    for (int i = 1; i < len; ++i) {
        if (!isUtf8Continuation(p[i])) return false;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    out = cp;
    return true;
}

}  // namespace

Utf8Step decodeUtf8(const char* bytes, size_t available) {
    if (available == 0 || !bytes) return {kReplacementChar, 0};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    unsigned char lead = p[0];
    if (lead < 0x80) return {lead, 1};
    const int len = utf8SequenceLength(lead);
    if (len == 1) return {kReplacementChar, 1};
    const uint32_t mask = 0x7Fu >> len;  // payload bits of the lead: 0x1F, 0x0F, 0x07
    uint32_t cp = 0;
    if (!decodeSequence(p, available, len, mask, cp)) return {kReplacementChar, 1};
    return {cp, len};
}

int32_t countCodePoints(const char* bytes, size_t length) {
    int32_t n = 0;
    size_t i = 0;
    while (i < length) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        // ASCII needs no decoding: the common case of long logs stays a tight loop.
        i += b < 0x80 ? 1 : static_cast<size_t>(decodeUtf8(bytes + i, length - i).length);
        ++n;
    }
    return n;
}

int32_t byteOffsetOf(const std::string& s, int32_t n) {
    return byteOffsetFrom(s, 0, n);
}

int32_t byteOffsetFrom(const std::string& s, size_t from, int32_t n) {
    size_t i = from;
    const size_t len = s.size();
    for (int32_t k = 0; k < n && i < len; ++k) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        i += b < 0x80 ? 1 : static_cast<size_t>(decodeUtf8(s.data() + i, len - i).length);
    }
    return static_cast<int32_t>(i);
}
