#include <gtest/gtest.h>

#include "entry/class_ids.h"

namespace {

using tarvel::ClassId;

// Saved projects name the plug-in by these values: they must never change.
constexpr ClassId processorGolden = {0xE2, 0x5E, 0x18, 0xE0, 0xEA, 0x09, 0xBD, 0xFD,
                                     0xA2, 0x02, 0xC5, 0x9A, 0xA6, 0xCA, 0xC5, 0x78};
constexpr ClassId controllerGolden = {0xF1, 0x89, 0xAE, 0x66, 0x51, 0x21, 0xB4, 0x7B,
                                      0xD3, 0xAE, 0x60, 0x77, 0xAD, 0xBA, 0xA4, 0x1D};
constexpr std::int32_t vst2Golden = 0x038CBFD9;

TEST(ClassIds, GoldenValuesNeverChange)
{
    EXPECT_EQ(tarvel::processorClassId(), processorGolden);
    EXPECT_EQ(tarvel::controllerClassId(), controllerGolden);
    EXPECT_EQ(tarvel::vst2UniqueId(), vst2Golden);
}

TEST(ClassIds, DerivationIsDeterministicAndSensitiveToEveryInput)
{
    const ClassId plain = tarvel::makeClassId("Tarvel64", "");
    EXPECT_EQ(tarvel::makeClassId("Tarvel64", ""), plain);

    const ClassId vst2 = tarvel::makeClassId("Tarvel64", "vst2");
    int equalBytes = 0;
    for (std::size_t i = 0; i < plain.size(); ++i)
        equalBytes += plain[i] == vst2[i];
    EXPECT_LT(equalBytes, 4) << "a different suffix must give an unrelated value";

    EXPECT_NE(tarvel::makeClassId("Tarvel6", "4"), plain) << "the salt separates name and suffix";
    EXPECT_NE(tarvel::makeClassId("Tarvel64Controller", ""), plain);
}

TEST(ClassIds, SaltIsAShortFixedText)
{
    const std::string salt = tarvel::classIdSalt();
    EXPECT_FALSE(salt.empty());
    EXPECT_LE(salt.size(), 32u);
    EXPECT_EQ(salt, tarvel::classIdSalt());
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
    const ClassId id = tarvel::makeClassId(tarvel::processorClassName, tarvel::vst2Suffix);
    EXPECT_EQ(tarvel::vst2UniqueId(), tarvel::vst2IdFromBytes(id[0], id[1], id[2], id[3]));
}

} // namespace
