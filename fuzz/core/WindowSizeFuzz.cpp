// The --window-size value: an accepted size is exactly what the text says, within 1..8192.
#include "core/Engine.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The decimal number a run of digits stands for, as text without leading zeros.
std::string canonicalNumber(const std::string& digits) {
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) std::abort();
    const size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int w = -1, h = -1;
    bool fullscreen = false;
    if (!ZazOvadir::parseWindowSize(text, w, h, fullscreen)) return 0;
    if (fullscreen) {
        if (text != "fullscreen") std::abort();
        return 0;
    }
    if (w < 1 || h < 1 || w > 8192 || h > 8192) std::abort();
    const size_t x = text.find('x');
    if (x == std::string::npos || canonicalNumber(text.substr(0, x)) != std::to_string(w) ||
        canonicalNumber(text.substr(x + 1)) != std::to_string(h))
        std::abort();
    return 0;
}
