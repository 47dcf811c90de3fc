// The parameter conversions in four lanes against the one-value forms.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "parameters/engine_conversion.h"
#include "processor/engine/quantity_lanes.h"

namespace tarvel {
namespace {

std::vector<float> testValues()
{
    std::vector<float> values{0.0f, -0.0f, 1.0f, 0.5f, 0.49999997f, 0.50000006f, -0.1f, 1.1f, -1e30f, 1e30f,
                              std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity(), 1e-40f};
    std::mt19937 random(5);
    std::uniform_real_distribution<float> normalised(-0.05f, 1.05f);
    while (values.size() < 40000)
        values.push_back(normalised(random));
    while (values.size() % 4)
        values.push_back(0.25f);
    return values;
}

std::vector<float> inLanes(std::int32_t id, const std::vector<float>& values)
{
    std::vector<float> out(values.size());
    for (std::size_t i = 0; i < values.size(); i += 4)
        engineQuantity(id, FloatLanes::loadUnaligned(values.data() + i)).storeUnaligned(out.data() + i);
    return out;
}

TEST(QuantityLanes, BypassSpeedAndTargetEqualTheScalarConversions)
{
    const std::vector<float> values = testValues();
    for (const std::int32_t id : {Bypass, Speed, Target}) {
        const std::vector<float> lanes = inLanes(id, values);
        for (std::size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(lanes[i]), std::bit_cast<std::uint32_t>(engineQuantity(id, values[i])))
                << "id " << id << " value " << values[i];
    }
}

// The lanes round 4^v correctly; the library's powf may round the other way
// now and then, by one unit, which the reciprocal can turn into two.
TEST(QuantityLanes, MappingSlopeAgreesWithTheScalarConversionToRounding)
{
    const std::vector<float> values = testValues();
    for (const std::int32_t id : {Ratio, StereoRatio}) {
        const std::vector<float> lanes = inLanes(id, values);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            const float expected = engineQuantity(id, values[i]);
            ASSERT_NEAR(lanes[i], expected, 2.4e-7f * expected) << values[i];
            differing += lanes[i] != expected;
        }
        EXPECT_LT(differing, values.size() / 200);
    }
    const std::vector<float> ends{0.0f, 1.0f, 0.5f, std::numeric_limits<float>::quiet_NaN()};
    const std::vector<float> slopes = inLanes(Ratio, ends);
    EXPECT_EQ(slopes[0], 1.0f);
    EXPECT_EQ(slopes[1], 0.25f);
    EXPECT_EQ(slopes[2], 0.5f);
    EXPECT_EQ(slopes[3], 0.25f);
}

} // namespace
} // namespace tarvel
