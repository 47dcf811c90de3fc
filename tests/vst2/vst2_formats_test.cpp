// The adapter's pure pieces: the chunk layout, version and category reading,
// and texts cut to the host's fields.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sdk/vst2/vst2_chunk.h"
#include "sdk/vst2/vst2_identity.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

TEST(Vst2Chunk, PacksBothStatesWithTagAndLittleEndianSizes)
{
    const Bytes chunk = packVst2Chunk(bytes("abc"), bytes("wxyz"));
    const Bytes expected = {'V', '3', 'C', 'S', 3, 0, 0, 0, 'a', 'b', 'c', 4, 0, 0, 0, 'w', 'x', 'y', 'z'};
    EXPECT_EQ(chunk, expected);
    const auto parts = unpackVst2Chunk(chunk);
    ASSERT_TRUE(parts);
    EXPECT_EQ(Bytes(parts->processorState.begin(), parts->processorState.end()), bytes("abc"));
    EXPECT_EQ(Bytes(parts->controllerState.begin(), parts->controllerState.end()), bytes("wxyz"));
}

TEST(Vst2Chunk, EmptyStatesAndLargeSizesRoundTrip)
{
    const auto empty = unpackVst2Chunk(packVst2Chunk({}, {}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->processorState.empty());
    EXPECT_TRUE(empty->controllerState.empty());

    const Bytes big(70000, 0x5A);
    const Bytes chunk = packVst2Chunk(big, bytes("c"));
    EXPECT_EQ(chunk[4], 0x70);
    EXPECT_EQ(chunk[5], 0x11);
    EXPECT_EQ(chunk[6], 0x01);
    const auto parts = unpackVst2Chunk(chunk);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->processorState.size(), big.size());
}

TEST(Vst2Chunk, RefusesAnythingNotExactlyFramed)
{
    const Bytes good = packVst2Chunk(bytes("state"), bytes("ctl"));
    EXPECT_FALSE(unpackVst2Chunk({}));
    EXPECT_FALSE(unpackVst2Chunk(bytes("V3C")));
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(unpackVst2Chunk(std::span(good.data(), cut))) << cut;
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_FALSE(unpackVst2Chunk(longer));
    Bytes tag = good;
    tag[3] = 'X';
    EXPECT_FALSE(unpackVst2Chunk(tag));
    // A processor size pointing past the end, including one that would wrap.
    Bytes huge = good;
    huge[4] = huge[5] = huge[6] = huge[7] = 0xFF;
    EXPECT_FALSE(unpackVst2Chunk(huge));
    Bytes past = good;
    past[4] = static_cast<std::uint8_t>(good.size());
    EXPECT_FALSE(unpackVst2Chunk(past));
}

TEST(Vst2Identity, VersionTextReadsUpToFourDottedIntegers)
{
    EXPECT_EQ(vst2VersionFromText("1.1.4"), 1140);
    EXPECT_EQ(vst2VersionFromText("1.1.0.0"), 1100);
    EXPECT_EQ(vst2VersionFromText("2.4.1.7"), 2417);
    EXPECT_EQ(vst2VersionFromText("3"), 3000);
    EXPECT_EQ(vst2VersionFromText("1.2.3.4.5"), 1234);
    EXPECT_EQ(vst2VersionFromText("1.2beta"), 1200);
    EXPECT_EQ(vst2VersionFromText("1..3"), 1000);
    EXPECT_EQ(vst2VersionFromText(""), 0);
    EXPECT_EQ(vst2VersionFromText("v1.0"), 0);
    // Absurd parts are held at a bound instead of overflowing.
    EXPECT_EQ(vst2VersionFromText("99999999999999"), 999999 * 1000);
}

TEST(Vst2Identity, CategoryFollowsTheSubCategoryWords)
{
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx|Dynamics"), vst2::kPlugCategEffect);
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx"), vst2::kPlugCategEffect);
    EXPECT_EQ(vst2CategoryFromSubCategories("Instrument|Synth"), vst2::kPlugCategSynth);
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx|Reverb"), vst2::kPlugCategRoomFx);
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx|Analyzer"), vst2::kPlugCategAnalysis);
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx|Spatial"), vst2::kPlugCategSpacializer);
    EXPECT_EQ(vst2CategoryFromSubCategories("Fx|Restoration"), vst2::kPlugCategRestoration);
    EXPECT_EQ(vst2CategoryFromSubCategories("Generator"), vst2::kPlugCategGenerator);
    // Whole words only.
    EXPECT_EQ(vst2CategoryFromSubCategories("Fxx|Dynamic"), vst2::kPlugCategUnknown);
    EXPECT_EQ(vst2CategoryFromSubCategories(""), vst2::kPlugCategUnknown);
}

std::string copied(std::size_t capacity, const std::string& text)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    copyVst2Text(buffer, capacity, text);
    EXPECT_EQ(buffer[capacity], '#') << "wrote past the field";
    return buffer;
}

TEST(Vst2Text, CopiesStayInsideTheFieldAndCutAtCharacters)
{
    EXPECT_EQ(copied(8, "Bypass"), "Bypass");
    EXPECT_EQ(copied(8, "Exactly"), "Exactly");
    EXPECT_EQ(copied(8, "Overlong text"), "Overlon");
    EXPECT_EQ(copied(8, "Stereo Ratio"), "Stereo");
    EXPECT_EQ(copied(1, "abc"), "");
    // "Grüße" is G r ü(2) ß(2) e; seven bytes cut inside neither letter.
    EXPECT_EQ(copied(6, "Gr\xC3\xBC\xC3\x9F" "e"), "Gr\xC3\xBC");
    copyVst2Text(nullptr, 8, "ignored");
}

TEST(Vst2Text, ConvertsBetweenUtf16AndUtf8)
{
    const TChar wide[] = {u'L', 0x00FC, 0x20AC, 0xD83D, 0xDE00, 0xD800, u'x', 0};
    EXPECT_EQ(utf8FromUtf16(wide), "L\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBDx");
    EXPECT_EQ(utf8FromUtf16(nullptr), "");

    String128 back{};
    utf16FromUtf8("L\xC3\xBC\xF0\x9F\x98\x80\xFF!", back);
    const TChar expected[] = {u'L', 0x00FC, 0xD83D, 0xDE00, 0xFFFD, u'!', 0};
    EXPECT_EQ(std::memcmp(back, expected, sizeof expected), 0);
    // An overlong NUL would end the text early and an encoded surrogate
    // would leave a lone one in it: each byte becomes U+FFFD instead.
    utf16FromUtf8("a\xC0\x80" "b\xED\xA0\x80", back);
    const TChar replaced[] = {u'a', 0xFFFD, 0xFFFD, u'b', 0xFFFD, 0xFFFD, 0xFFFD, 0};
    EXPECT_EQ(std::memcmp(back, replaced, sizeof replaced), 0);

    const std::string longText(300, 'a');
    utf16FromUtf8(longText, back);
    EXPECT_EQ(back[126], u'a');
    EXPECT_EQ(back[127], 0);
}

} // namespace
} // namespace Steinberg::Vst
