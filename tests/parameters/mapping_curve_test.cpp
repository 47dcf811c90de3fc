#include <gtest/gtest.h>

#include "parameters/mapping_curve.h"

#include <limits>

namespace tarvel {
namespace {

TEST(MappingCurve, CornersFollowTargetAndRatio)
{
    // Defaults: target -20, ratio 2:1. Knee at -60 (output -40), slope 1/2 above it,
    // parallel to the identity (lifted by 20) below.
    EXPECT_EQ(mappingCurvePoints(0.5f, 0.5f),
              (std::vector<LevelPoint>{{-68, -48}, {-60, -40}, {8, -6}}));
    // Ratio 1:1 is the identity line, wherever the target is.
    EXPECT_EQ(mappingCurvePoints(0.5f, 0.0f), (std::vector<LevelPoint>{{-68, -68}, {-60, -60}, {8, 8}}));
    // Target -40 puts the knee at -80, outside the drawn span: two points.
    const auto lowTarget = mappingCurvePoints(0.0f, 1.0f);
    ASSERT_EQ(lowTarget.size(), 2u);
    EXPECT_DOUBLE_EQ(lowTarget[0].output, -40 + (-68 + 40) * 0.25);
    EXPECT_DOUBLE_EQ(lowTarget[1].output, -40 + 48 * 0.25);
    // Target 0: knee at -40, curve through (0, 0).
    const auto topTarget = mappingCurvePoints(1.0f, 1.0f);
    ASSERT_EQ(topTarget.size(), 3u);
    EXPECT_EQ(topTarget[1], (LevelPoint{-40, -10}));
    EXPECT_DOUBLE_EQ(mappedLevel(0.0, 1.0f, 1.0f), 0.0);
    // Continuous at the knee; NaN counts as 1 like every derived quantity.
    EXPECT_NEAR(mappedLevel(-60.0 - 1e-9, 0.5f, 0.7f), mappedLevel(-60.0, 0.5f, 0.7f), 1e-8);
    EXPECT_DOUBLE_EQ(mappingTargetLevel(std::numeric_limits<float>::quiet_NaN()), 0.0);
    EXPECT_DOUBLE_EQ(mappingTargetLevel(0.25f), -30.0);
}

TEST(MappingCurve, MarkerStaysOnTheGraph)
{
    EXPECT_EQ(levelMarker(-75, true), -60);
    EXPECT_EQ(levelMarker(3, true), 0);
    EXPECT_EQ(levelMarker(-23.5, true), -23.5);
    EXPECT_EQ(levelMarker(-23.5, false), -60);
}

} // namespace
} // namespace tarvel
