// The base64 decoder: the counting pass and the decoding pass agree, the output bound holds,
// and a buffer one byte short is refused without being overrun.
#include "util/Base64.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);  // NUL-terminated
    const size_t length = std::strlen(text.c_str());
    const size_t n = decodeBase64(text.c_str(), nullptr, 0);
    if (n > length / 4 * 3) std::abort();
    std::vector<uint8_t> out(n);
    if (decodeBase64(text.c_str(), out.data(), out.size()) != n) std::abort();
    if (n > 0 && decodeBase64(text.c_str(), out.data(), n - 1) != 0) std::abort();
    return 0;
}
