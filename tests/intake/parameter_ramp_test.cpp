// Sample-accurate ramps, driven through the intake with real ProcessData and
// host-side parameter changes.

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "intake/intake_runner.h"

namespace tarvel {
namespace {

using test::runBlock;

Parameters startingWith(std::int32_t id, float value)
{
    Parameters p;
    p[id] = value;
    return p;
}

TEST(ParameterRamp, HoldsTheStartValueWithoutChanges)
{
    const Parameters start{{0.25f, 0.0f, 0.75f, 0.125f, 1.0f}};
    ParameterIntake intake(start);
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        EXPECT_EQ(intake.value(id), start[id]);
    for (const double v : runBlock(intake, 32, Ratio))
        EXPECT_EQ(v, 0.75);
    EXPECT_EQ(intake.value(Target), 1.0);
}

TEST(ParameterRamp, FirstSegmentStartsAtTheSampleBeforeTheFirstBlock)
{
    ParameterIntake intake(startingWith(Ratio, 0.0f));
    const auto values = runBlock(intake, 64, Ratio, {{9, 1.0}});
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(values[i], static_cast<double>(i + 1) / 10.0, 1e-12) << i;
    for (std::size_t i = 9; i < values.size(); ++i)
        EXPECT_EQ(values[i], 1.0) << i;
}

TEST(ParameterRamp, LastPointIsExactAndHeldToTheEndOfTheBlock)
{
    ParameterIntake intake(startingWith(Ratio, 0.3f));
    const auto values = runBlock(intake, 64, Ratio, {{3, 0.1}, {10, 0.8}});
    EXPECT_EQ(values[3], 0.1);
    EXPECT_NEAR(values[4], 0.1 + 0.7 / 7.0, 1e-12);
    EXPECT_EQ(values[10], 0.8);
    for (std::size_t i = 11; i < values.size(); ++i)
        EXPECT_EQ(values[i], 0.8) << i;
    for (const double v : runBlock(intake, 64, Ratio))
        EXPECT_EQ(v, 0.8);
}

TEST(ParameterRamp, PointAtOffsetZeroAfterABlockWithPointsJumpsAtOnce)
{
    ParameterIntake intake(startingWith(Ratio, 0.5f));
    runBlock(intake, 64, Ratio, {{10, 0.2}});
    const auto values = runBlock(intake, 64, Ratio, {{0, 0.9}});
    for (const double v : values)
        EXPECT_EQ(v, 0.9);
}

// After a block with points the next segment starts at that block's last
// sample, not at its last point.
TEST(ParameterRamp, SegmentAfterABlockWithPointsStartsAtItsLastSample)
{
    ParameterIntake intake(startingWith(Ratio, 0.5f));
    runBlock(intake, 64, Ratio, {{10, 0.2}});
    const auto values = runBlock(intake, 64, Ratio, {{3, 1.0}});
    EXPECT_NEAR(values[0], 0.2 + 0.8 / 4.0, 1e-12);
    EXPECT_NEAR(values[2], 0.2 + 3.0 * 0.8 / 4.0, 1e-12);
    EXPECT_EQ(values[3], 1.0);
}

TEST(ParameterRamp, SegmentSpansTheBlocksWithoutPoints)
{
    ParameterIntake intake(startingWith(Target, 0.5f));
    runBlock(intake, 64, Target, {{63, 0.2}});
    for (int block = 0; block < 3; ++block) {
        for (const double v : runBlock(intake, 64, Target))
            ASSERT_EQ(v, 0.2);
    }
    // The segment starts 1 + 3 * 64 samples before the block: slope / 198.
    const auto values = runBlock(intake, 64, Target, {{5, 0.8}});
    const double slope = (0.8 - 0.2) / 198.0;
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(values[i], 0.2 + static_cast<double>(i + 1) * slope, 1e-12) << i;
    for (std::size_t i = 5; i < values.size(); ++i)
        EXPECT_EQ(values[i], 0.8) << i;
}

TEST(ParameterRamp, SkipsPointsThatAreNotAfterThePreviousOne)
{
    ParameterIntake intake(startingWith(Ratio, 0.0f));
    const auto values = runBlock(intake, 32, Ratio, {{8, 0.9}, {8, 0.1}, {4, 0.5}});
    EXPECT_NEAR(values[0], 0.1, 1e-12);
    EXPECT_EQ(values[8], 0.9);
    for (std::size_t i = 9; i < values.size(); ++i)
        EXPECT_EQ(values[i], 0.9) << i;
}

// A point before the block's first sample can never be reached; aiming at
// it would carry the value past every later point for the rest of the block.
TEST(ParameterRamp, SkipsPointsBeforeTheBlock)
{
    ParameterIntake intake(startingWith(Ratio, 0.0f));
    runBlock(intake, 32, Ratio);
    // The segment now starts 33 samples back, so -5 lies after its start.
    const auto values = runBlock(intake, 32, Ratio, {{-5, 1.0}, {3, 0.4}});
    EXPECT_NEAR(values[0], 0.4 / 36.0, 1e-12);
    EXPECT_EQ(values[3], 0.4);
    EXPECT_EQ(values[31], 0.4);
}

TEST(ParameterRamp, PointBeyondTheBlockIsApproachedAndInForceFromTheNextBlock)
{
    ParameterIntake intake(startingWith(Ratio, 0.0f));
    const auto values = runBlock(intake, 10, Ratio, {{19, 1.0}});
    EXPECT_NEAR(values[9], 0.5, 1e-12);
    // The host, its automation and the mailbox all have the point's value:
    // the next block runs it rather than where the approach got to.
    for (const double v : runBlock(intake, 10, Ratio))
        EXPECT_EQ(v, 1.0);
}

TEST(ParameterRamp, SkipsValuesThatAreNotFinite)
{
    ParameterIntake intake(startingWith(Ratio, 0.25f));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const auto values = runBlock(intake, 16, Ratio, {{2, nan}, {4, infinity}, {7, 0.9}, {9, -infinity}});
    EXPECT_NEAR(values[0], 0.25 + 0.65 / 8.0, 1e-12);
    EXPECT_EQ(values[7], 0.9);
    EXPECT_EQ(values[15], 0.9);
}

// constantFor tells whether count advances leave the value alone; skip then
// stands in for them, leaving the ramp where the advances would.
TEST(ParameterRamp, ConstantForSeesSlopesAndPointsWithinTheCount)
{
    ParameterIntake intake(startingWith(Ratio, 0.5f));
    host::ParameterChanges changes;
    changes.addPoint(Ratio, 10, 0.5);
    Steinberg::Vst::ProcessData data{};
    data.numSamples = 64;
    data.inputParameterChanges = &changes;
    intake.beginBlock(data);
    ParameterRamp& ramp = intake.ramp(Ratio);
    // A point at offset 10 with the value already in force: no slope, but
    // the point is reached by the eleventh advance.
    EXPECT_TRUE(ramp.constantFor(10));
    EXPECT_FALSE(ramp.constantFor(11));
    EXPECT_TRUE(intake.constantFor(10));
    EXPECT_FALSE(intake.constantFor(11));
    ramp.skip(10);
    intake.ramp(Bypass).skip(10);
    intake.ramp(Speed).skip(10);
    intake.ramp(StereoRatio).skip(10);
    intake.ramp(Target).skip(10);
    intake.advance();
    EXPECT_EQ(intake.value(Ratio), 0.5);
    // Past the point nothing is pending any more.
    EXPECT_TRUE(intake.constantFor(53));

    ParameterIntake moving(startingWith(Ratio, 0.0f));
    host::ParameterChanges ramped;
    ramped.addPoint(Ratio, 40, 1.0);
    Steinberg::Vst::ProcessData rampedData{};
    rampedData.numSamples = 64;
    rampedData.inputParameterChanges = &ramped;
    moving.beginBlock(rampedData);
    EXPECT_FALSE(moving.ramp(Ratio).constantFor(1));
    EXPECT_TRUE(moving.ramp(Target).constantFor(64));
}

TEST(ParameterRamp, SkipMatchesAdvancingSampleBySample)
{
    for (const float start : {0.25f, -0.0f, 1.0f}) {
        ParameterIntake skipped(startingWith(Ratio, start)), advanced(startingWith(Ratio, start));
        runBlock(skipped, 64, Ratio, {{5, start}});
        runBlock(advanced, 64, Ratio, {{5, start}});
        for (int block = 0; block < 3; ++block) {
            Steinberg::Vst::ProcessData data{};
            data.numSamples = 100;
            skipped.beginBlock(data);
            advanced.beginBlock(data);
            ASSERT_TRUE(skipped.ramp(Ratio).constantFor(100));
            skipped.ramp(Ratio).skip(60);
            skipped.ramp(Ratio).skip(40);
            for (int i = 0; i < 100; ++i)
                advanced.ramp(Ratio).advance();
            EXPECT_EQ(std::bit_cast<std::uint64_t>(skipped.value(Ratio)),
                      std::bit_cast<std::uint64_t>(advanced.value(Ratio)));
        }
        // Both continue alike: the next segment starts at the same offset.
        const auto a = runBlock(skipped, 64, Ratio, {{7, 0.9}});
        const auto b = runBlock(advanced, 64, Ratio, {{7, 0.9}});
        EXPECT_EQ(a, b);
    }
}

} // namespace
} // namespace tarvel
