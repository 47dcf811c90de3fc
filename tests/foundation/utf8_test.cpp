// The codec every layer shares, round-tripped against fixed byte sequences
// written down once, and the invalid forms each decoder must report.
#include "foundation/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace vantle;

std::string encoded(char32_t codePoint)
{
    char bytes[4];
    return std::string(bytes, toUtf8(codePoint, bytes));
}

TEST(Utf8Codec, EncodesEachLengthAsTheStandardWritesIt)
{
    EXPECT_EQ(encoded(U'A'), "\x41");
    EXPECT_EQ(encoded(0x00FC), "\xC3\xBC");
    EXPECT_EQ(encoded(0x20AC), "\xE2\x82\xAC");
    EXPECT_EQ(encoded(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(encoded(0x10FFFF), "\xF4\x8F\xBF\xBF");
}

TEST(Utf8Codec, EveryCodePointSurvivesEncodingAndDecoding)
{
    for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x800 ? 1 : 61)) {
        if (c >= 0xD800 && c < 0xE000)
            continue;
        const std::string bytes = encoded(c);
        const Utf8Sequence sequence = decodeUtf8(bytes, 0);
        ASSERT_TRUE(sequence.valid) << std::hex << unsigned(c);
        EXPECT_EQ(sequence.codePoint, c);
        EXPECT_EQ(sequence.length, bytes.size());
    }
}

TEST(Utf16Codec, PairsDecodeToOneCodePointAndUnpairedSurrogatesAreReported)
{
    const std::u16string text = {u'L', 0xD83D, 0xDE00, 0xD800, u'x', 0xDC00};
    Utf16Sequence s = decodeUtf16(text, 0);
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.codePoint, U'L');
    EXPECT_EQ(s.length, 1u);
    s = decodeUtf16(text, 1);
    EXPECT_TRUE(s.valid);
    EXPECT_EQ(s.codePoint, char32_t(0x1F600));
    EXPECT_EQ(s.length, 2u);
    s = decodeUtf16(text, 3); // a high surrogate followed by a letter
    EXPECT_FALSE(s.valid);
    EXPECT_EQ(s.length, 1u);
    s = decodeUtf16(text, 5); // a low surrogate alone, at the end
    EXPECT_FALSE(s.valid);
    EXPECT_EQ(s.length, 1u);
    s = decodeUtf16(std::u16string_view(text).substr(0, 2), 1); // a pair cut short
    EXPECT_FALSE(s.valid);

    char16_t units[2];
    ASSERT_EQ(toUtf16(0x1F600, units), 2u);
    EXPECT_EQ(decodeUtf16(std::u16string_view(units, 2), 0).codePoint, char32_t(0x1F600));
}

} // namespace
