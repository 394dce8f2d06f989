// The base64 decoder: the alphabet, padding, skipped white space, invalid characters, unfinished
// groups, the counting pass and the output bound.
#include "util/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Case {
    const char* what;
    std::string text;
    std::string bytes;  // empty: failure (0)
};

TEST(Base64, DecodesTheTable) {
    const Case cases[] = {
        {"full group", "TWFu", "Man"},
        {"one padding", "TWE=", "Ma"},
        {"two paddings", "TQ==", "M"},
        {"two groups", "TWFuTWFu", "ManMan"},
        {"blank inside a group", "TW Fu", "Man"},
        {"line break after every character", "T\nW\r\nF\nu\n", "Man"},
        {"stops at the padded group", "TQ==AAAA", "M"},
        {"text after padding is ignored, even invalid", "TQ==!!", "M"},
        {"plus and slash", "+/+/", "\xfb\xff\xbf"},
        {"unfinished group", "TWF", ""},
        {"tab is invalid", "TW\tFu", ""},
        {"invalid character", "TW*u", ""},
        {"high byte is invalid", "TW\xc3\xa4u", ""},
        {"empty text", "", ""},
        {"only white space", " \r\n ", ""},
        {"lone padding group", "====", std::string(1, '\0')},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> buf(c.text.size() + 1, 0);
        size_t n = decodeBase64(c.text.c_str(), buf.data(), buf.size());
        EXPECT_EQ(std::string(buf.begin(), buf.begin() + n), c.bytes) << c.what;
        EXPECT_EQ(decodeBase64(c.text.c_str(), nullptr, 0), c.bytes.size()) << c.what;
    }
}

TEST(Base64, LonePaddingGroupGivesOneZeroByte) {
    // "=" is a character of value 0: the group decodes, its third character ends it.
    uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(decodeBase64("AA==", buf, sizeof buf), 1u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 9);
}

TEST(Base64, NullBufferWritesNothingAndCounts) {
    EXPECT_EQ(decodeBase64("TWFuTWE=", nullptr, 0), 5u);
    EXPECT_EQ(decodeBase64(nullptr, nullptr, 0), 0u);
}

TEST(Base64, NeverWritesPastTheCapacity) {
    uint8_t buf[4] = {0, 0, 0, 0x55};
    EXPECT_EQ(decodeBase64("TWFuTWFu", buf, 3), 0u);
    EXPECT_EQ(buf[3], 0x55);
    EXPECT_EQ(decodeBase64("TWFu", buf, 3), 3u);
}

}  // namespace
