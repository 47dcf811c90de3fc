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

// Stored forms written down once, from the key stream's first bytes (0x95,
// 0xB2, 0x2B, 0xBC, 0x2B): a decoder whose stream drifted from the one the
// build scrambles with, or that did not restart it, would misread them.
TEST(ScrambledText, DecodingEndsAtTheFirstZero)
{
    // "x", a scrambled zero, then "z": a one-character text.
    const std::uint32_t stopped[] = {0xED, 0xB2, 0x51};
    EXPECT_EQ(decodeLiteral(stopped), "x");
    // Without any zero the text runs to the end of the array.
    const std::uint32_t unterminated[] = {0xE4, 0xC3, 0x5A};
    EXPECT_EQ(decodeLiteral(unterminated), "qqq");
}

TEST(ScrambledText, AssetsKeepTheirZeroBytes)
{
    const std::uint8_t stored[] = {0x95, 0xB3, 0x2B, 0x43, 0x2B};
    const std::vector<std::uint8_t> plain = {0, 1, 0, 255, 0};
    EXPECT_EQ(decodeAsset(stored, 5), plain);
    // Each blob starts the stream afresh.
    EXPECT_EQ(decodeAsset(stored, 5), plain);
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
