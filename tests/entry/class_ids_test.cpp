#include <gtest/gtest.h>

#include <utility>

#include "entry/class_ids.h"

namespace {

using tarvel::ClassId;

// Saved projects name the plug-in by these values: they must never change.
// As text (FUID::toString) E0185EE209EAFDBDA202C59AA6CAC578 and
// 66AE89F121517BB4D3AE6077ADBAA41D on every platform.
constexpr ClassId processorGolden = {0xE0185EE2, 0x09EAFDBD, 0xA202C59A, 0xA6CAC578};
constexpr ClassId controllerGolden = {0x66AE89F1, 0x21517BB4, 0xD3AE6077, 0xADBAA41D};
constexpr std::int32_t vst2Golden = 0x038CBFD9;

TEST(ClassIds, GoldenValuesNeverChange)
{
    EXPECT_EQ(tarvel::processorClassId(), processorGolden);
    EXPECT_EQ(tarvel::controllerClassId(), controllerGolden);
    EXPECT_EQ(tarvel::vst2UniqueId(), vst2Golden);
}

// The number of equal bytes at equal places in two IDs.
int equalBytes(const ClassId& a, const ClassId& b)
{
    int equal = 0;
    for (const auto& [x, y] : {std::pair{a.l1, b.l1}, {a.l2, b.l2}, {a.l3, b.l3}, {a.l4, b.l4}})
        for (int shift = 0; shift < 32; shift += 8)
            equal += ((x >> shift) & 0xFF) == ((y >> shift) & 0xFF);
    return equal;
}

TEST(ClassIds, DerivationIsDeterministicAndSensitiveToEveryInput)
{
    const ClassId plain = tarvel::makeClassId("Tarvel64", "");
    EXPECT_EQ(tarvel::makeClassId("Tarvel64", ""), plain);
    EXPECT_LT(equalBytes(plain, tarvel::makeClassId("Tarvel64", "vst2")), 4)
        << "a different suffix must give an unrelated value";
    EXPECT_LT(equalBytes(plain, tarvel::makeClassId("Tarvel6", "4")), 4) << "the salt separates name and suffix";
    EXPECT_LT(equalBytes(plain, tarvel::makeClassId("Tarvel64Controller", "")), 4);
}

TEST(Vst2UniqueId, BytesAreSignedAndBorrowFromTheByteAbove)
{
    EXPECT_EQ(static_cast<std::uint32_t>(tarvel::vst2IdFromBytes(0x01, 0xFF, 0x00, 0x00)), 0xFFFFFF01u);
    EXPECT_EQ(tarvel::vst2IdFromBytes(0x01, 0x02, 0x03, 0x04), 0x04030201);
    EXPECT_EQ(static_cast<std::uint32_t>(tarvel::vst2IdFromBytes(0x80, 0x00, 0x00, 0x00)), 0xFFFFFF80u);
    // The top byte wraps in 32-bit arithmetic instead of overflowing.
    EXPECT_EQ(static_cast<std::uint32_t>(tarvel::vst2IdFromBytes(0x00, 0x00, 0x00, 0x80)), 0x80000000u);
    // Every byte borrows: -1 - 256 - 65536 - 16777216.
    EXPECT_EQ(static_cast<std::uint32_t>(tarvel::vst2IdFromBytes(0xFF, 0xFF, 0xFF, 0xFF)), 0xFEFEFEFFu);
}

TEST(Vst2UniqueId, ComesFromTheVst2SuffixedProcessorId)
{
    // The first four digest bytes are the low word's, least significant first.
    const std::uint32_t low = tarvel::makeClassId(tarvel::processorClassName, tarvel::vst2Suffix).l1;
    EXPECT_EQ(tarvel::vst2UniqueId(), tarvel::vst2IdFromBytes(low & 0xFF, (low >> 8) & 0xFF, (low >> 16) & 0xFF,
                                                               static_cast<std::uint8_t>(low >> 24)));
}

} // namespace
