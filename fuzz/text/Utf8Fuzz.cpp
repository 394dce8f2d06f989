// The UTF-8 helpers: decoding steps, code point counts and byte offsets stay in step for any
// bytes, so indices into text never leave it.
#include "text/Utf8.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string s(reinterpret_cast<const char*>(data), size);
    int32_t steps = 0;
    size_t i = 0;
    while (i < s.size()) {
        const Utf8Step step = decodeUtf8(s.data() + i, s.size() - i);
        if (step.length < 1 || step.length > 4 || static_cast<size_t>(step.length) > s.size() - i)
            std::abort();
        if (step.codePoint > 0x1FFFFF) std::abort();
        i += static_cast<size_t>(step.length);
        ++steps;
        // Each offset walks from the start: check the first ones, keep long inputs fast.
        if (steps <= 64 && byteOffsetOf(s, steps) != static_cast<int32_t>(i)) std::abort();
    }
    if (countCodePoints(s) != steps) std::abort();
    if (byteOffsetOf(s, steps + 1) != static_cast<int32_t>(s.size())) std::abort();
    if (byteOffsetOf(s, -1) != 0 || byteOffsetOf(s, 0) != 0) std::abort();
    if (decodeUtf8(s.data(), 0).length != 0) std::abort();
    return 0;
}
