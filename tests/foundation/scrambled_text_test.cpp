#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "foundation/scrambled_text.h"

namespace vantle {
namespace {

TEST(ScrambledText, RoundTripsThroughTheKeyStream)
{
    EXPECT_EQ(VANTLE_TEXT("Stereo Ratio"), "Stereo Ratio");
    EXPECT_EQ(VANTLE_TEXT(""), "");
    EXPECT_EQ(VANTLE_TEXT("%.2f"), "%.2f");
    constexpr auto longest = scrambleText("123456789012345678901234567890123456789012345678901234567890123");
    EXPECT_EQ(decodeLiteral(longest).size(), 63u);
}

TEST(ScrambledText, StoresNoPlainCharacters)
{
    constexpr auto words = scrambleText("aaaaaaaa");
    int plain = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(words[static_cast<std::size_t>(i)] & ~0xFFu, 0u);
        plain += words[static_cast<std::size_t>(i)] == 'a';
    }
    EXPECT_LT(plain, 2);
}

TEST(ScrambledText, DecodingEndsAtTheFirstZero)
{
    // Second word scrambles a zero: a one-character text, whatever follows.
    ScrambledLiteral words = scrambleText("xyz");
    KeyStream keys;
    keys.next();
    words[1] = keys.next();
    EXPECT_EQ(decodeLiteral(words), "x");
    // Without any zero the text runs to the end of the array.
    std::uint32_t raw[3];
    KeyStream k2;
    for (auto& w : raw)
        w = static_cast<std::uint32_t>('q' ^ k2.next());
    EXPECT_EQ(decodeLiteral(raw), "qqq");
}

TEST(ScrambledText, AssetsKeepTheirZeroBytes)
{
    const std::uint8_t plain[] = {0, 1, 0, 255, 0};
    std::uint8_t stored[5];
    KeyStream keys;
    for (std::size_t i = 0; i < 5; ++i)
        stored[i] = plain[i] ^ keys.next();
    const auto decoded = decodeAsset(stored, 5);
    EXPECT_EQ(decoded, std::vector<std::uint8_t>(plain, plain + 5));
    EXPECT_TRUE(decodeAsset(stored, 0).empty());
}

// The libraries that use fixed texts carry no plain copy of them.
TEST(ScrambledText, LibrariesCarryNoPlainFixedTexts)
{
    std::ifstream file(TARVEL_PARAMETER_LIBRARY, std::ios::binary);
    ASSERT_TRUE(file) << TARVEL_PARAMETER_LIBRARY;
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(bytes.size(), 1000u);
    // Built at run time so this test's own binary holds no copy either.
    for (std::string text : {std::string("Stereo") + " Ratio", std::string("By") + "pass", std::string("LU") + "FS"})
        EXPECT_EQ(bytes.find(text), std::string::npos) << text;
}

} // namespace
} // namespace vantle
