// The gain pass's exponential and logarithm lanes.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "processor/engine/fast_exp.h"
#include "processor/engine/fast_log.h"

namespace tarvel {
namespace {

float expOf(float x)
{
    return expLanes(FloatLanes(x)).first();
}

// Distance in units in the last place between two finite floats of one sign.
std::int64_t ulps(float a, float b)
{
    return std::abs(std::int64_t{std::bit_cast<std::int32_t>(a)} - std::bit_cast<std::int32_t>(b));
}

TEST(ExpLanes, IsTheCorrectlyRoundedFloatPracticallyAlways)
{
    std::mt19937 random(3);
    // The gain pass's arguments: decibel differences times ln(10)/20.
    std::uniform_real_distribution<float> argument(-60.0f, 60.0f);
    std::int64_t differing = 0;
    constexpr int count = 400000;
    for (int i = 0; i < count; i += 4) {
        alignas(16) float x[4], y[4];
        for (float& v : x)
            v = argument(random);
        expLanes(FloatLanes::load(x)).store(y);
        for (int k = 0; k < 4; ++k) {
            // exp in double is accurate far beyond float rounding.
            const auto expected = static_cast<float>(std::exp(static_cast<double>(x[k])));
            ASSERT_LE(ulps(y[k], expected), 1) << x[k];
            differing += y[k] != expected;
        }
    }
    EXPECT_LE(differing, count / 100000);
}

TEST(ExpLanes, KeepsZeroExactAndSaturatesLikeTheLibrary)
{
    EXPECT_EQ(expOf(0.0f), 1.0f);
    EXPECT_EQ(expOf(-0.0f), 1.0f);
    EXPECT_EQ(expOf(1.0f), std::exp(1.0f));
    EXPECT_EQ(expOf(100.0f), std::numeric_limits<float>::infinity());
    EXPECT_EQ(expOf(1e30f), std::numeric_limits<float>::infinity());
    EXPECT_EQ(expOf(-120.0f), 0.0f);
    EXPECT_EQ(expOf(-1e30f), 0.0f);
    // Results in the subnormal range are rounded, not flushed.
    EXPECT_EQ(expOf(-100.0f), static_cast<float>(std::exp(-100.0)));
    EXPECT_EQ(expOf(88.0f), static_cast<float>(std::exp(88.0)));
}

TEST(ExpLanes, PowersOfTwoAreExact)
{
    alignas(16) double in[4] = {0.0, 2.0, -3.0, 0.5};
    alignas(16) float out[4];
    narrow(exp2Lanes(DoubleLanes::load(in))).store(out);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_EQ(out[1], 4.0f);
    EXPECT_EQ(out[2], 0.125f);
    EXPECT_EQ(out[3], std::sqrt(2.0f));
}

// The lanes and the one-value form run the same operations, so the chunked
// and any scalar use of the logarithm agree exactly.
TEST(Log10Lanes, EqualsTheOneValueFormBitForBit)
{
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> exponent(-37.0, 38.5);
    alignas(16) double in[64], out[64];
    for (int round = 0; round < 2000; ++round) {
        for (double& x : in)
            x = std::pow(10.0, exponent(random));
        log10Array(in, out, 64);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(std::bit_cast<std::uint64_t>(out[i]), std::bit_cast<std::uint64_t>(log10Positive(in[i])))
                << in[i];
    }
}

} // namespace
} // namespace tarvel
