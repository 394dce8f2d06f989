#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DecodeCase {
    std::string bytes;
    uint32_t codePoint;
    int length;
};

TEST(Utf8, DecodesValidAndBrokenSequences) {
    const DecodeCase cases[] = {
        {"A", 'A', 1},
        {"\xC3\xA4", 0xE4, 2},                // ä
        {"\xE2\x82\xAC", 0x20AC, 3},          // €
        {"\xF0\x9F\x98\x80", 0x1F600, 4},     // emoji
        {"\xC3\x28", 0xFFFD, 1},              // bad continuation
        {"\xC3", 0xFFFD, 1},                  // truncated 2-byte
        {"\xE2\x82", 0xFFFD, 1},              // truncated 3-byte
        {"\xF0\x9F\x98", 0xFFFD, 1},          // truncated 4-byte
        {"\x80", 0xFFFD, 1},                  // stray continuation
        {"\xF8\x88\x80\x80\x80", 0xFFFD, 1},  // lead byte beyond 4 bytes
        {"\xFF", 0xFFFD, 1},
        {"\xC0\xAF", 0x2F, 2},        // overlong forms pass
        {"\xED\xA0\x80", 0xD800, 3},  // surrogates pass
    };
    for (const auto& c : cases) {
        Utf8Step s = decodeUtf8(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(s.codePoint, c.codePoint) << testing::PrintToString(c.bytes);
        EXPECT_EQ(s.length, c.length) << testing::PrintToString(c.bytes);
    }
    Utf8Step none = decodeUtf8("", 0);
    EXPECT_EQ(none.codePoint, 0xFFFDu);
    EXPECT_EQ(none.length, 0);
}

TEST(Utf8, NeverReadsPastTheAvailableBytes) {
    // A valid 3-byte sequence cut to two available bytes must not be completed.
    const char bytes[] = "\xE2\x82\xAC";
    Utf8Step s = decodeUtf8(bytes, 2);
    EXPECT_EQ(s.codePoint, 0xFFFDu);
    EXPECT_EQ(s.length, 1);
}

TEST(Utf8, CountsAndOffsetsStayInStep) {
    struct Case {
        std::string text;
        int32_t count;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"\xC3\x28", 2},  // U+FFFD then '('
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         5},
        {"\xE2\x82", 2},
        {"x\xF0\x9F\x98\x80y", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(countCodePoints(c.text), c.count) << testing::PrintToString(c.text);
        EXPECT_EQ(byteOffsetOf(c.text, c.count), int32_t(c.text.size()));
        EXPECT_EQ(byteOffsetOf(c.text, c.count + 5), int32_t(c.text.size()));
        EXPECT_EQ(byteOffsetOf(c.text, 0), 0);
        EXPECT_EQ(byteOffsetOf(c.text, -3), 0);
    }
    const std::string mixed = "a\xC3\xA4\xE2\x82\xAC\x80z";
    const int32_t offsets[] = {0, 1, 3, 6, 7, 8};
    for (int32_t n = 0; n < 6; ++n)
        EXPECT_EQ(byteOffsetOf(mixed, n), offsets[n]) << n;
}

}  // namespace
