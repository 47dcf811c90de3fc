#include <gtest/gtest.h>

#include "parameters/readout.h"

#include <cmath>

namespace tarvel {
namespace {

Parameters values(float bypass, float ratio, float stereoRatio, float target)
{
    Parameters p;
    p[Bypass] = bypass;
    p[Speed] = 1.0f;
    p[Ratio] = ratio;
    p[StereoRatio] = stereoRatio;
    p[Target] = target;
    return p;
}

TEST(Readout, GainsAreTheMappingsClosedFormValues)
{
    // Target -20, 2:1: -30 comes out at -25 (lifted 5 dB), -10 at -15.
    const Readout quiet = readoutFor(-30.0, 0.0, values(0, 0.5f, 0, 0.5f), true);
    EXPECT_DOUBLE_EQ(quiet.output, -25.0);
    EXPECT_DOUBLE_EQ(quiet.gain, 5.0);
    EXPECT_DOUBLE_EQ(readoutFor(-10.0, 0.0, values(0, 0.5f, 0, 0.5f), true).gain, -5.0);
    // Target -40, 4:1: -65 is 25 below the target and comes out 25/4 below it.
    EXPECT_DOUBLE_EQ(readoutFor(-65.0, 0.0, values(0, 1.0f, 0, 0.0f), true).gain, 0.75 * 25.0);
    // Side-to-mid ratio -12 dB at 4:1 is mapped to -3: the side is lifted 9 dB;
    // at 1:1 it is left alone.
    EXPECT_DOUBLE_EQ(readoutFor(-30.0, -12.0, values(0, 0.5f, 1.0f, 0.5f), true).sideGain, 9.0);
    EXPECT_DOUBLE_EQ(readoutFor(-30.0, -12.0, values(0, 0.5f, 0.0f, 0.5f), true).sideGain, 0.0);
    EXPECT_DOUBLE_EQ(readoutFor(-30.0, -12.0, values(0, 0.5f, 1.0f, 0.5f), false).sideGain, 0.0) << "mono";
    // Bypassed, silent or not a number: nothing is applied.
    const Readout bypassed = readoutFor(-30.0, -12.0, values(1, 0.5f, 1.0f, 0.5f), true);
    EXPECT_EQ(bypassed.output, -30.0);
    EXPECT_EQ(bypassed.gain, 0.0);
    EXPECT_EQ(bypassed.sideGain, 0.0);
    EXPECT_FALSE(readoutFor(-120.0, 0.0, values(0, 0.5f, 0, 0.5f), true).hasSignal());
    EXPECT_EQ(readoutFor(-120.0, 0.0, values(0, 0.5f, 0, 0.5f), true).gain, 0.0);
    EXPECT_FALSE(readoutFor(std::nan(""), 0.0, values(0, 0.5f, 0, 0.5f), true).hasSignal());
}

TEST(Readout, LinesRoundToATenthWithASignAndDashesWithoutSignal)
{
    const auto lines = readoutLines(Readout{-16.04, -17.96, -1.92, 0.04, true}, 0.5f);
    EXPECT_EQ(lines[0], "IN   -16.0 LUFS");
    EXPECT_EQ(lines[1], "OUT  -18.0 LUFS");
    EXPECT_EQ(lines[2], "GAIN  -1.9 dB");
    EXPECT_EQ(lines[3], "SIDE   0.0 dB") << "no signed zero";
    const auto silent = readoutLines(Readout{-1000.0, -1000.0, 0.0, 0.0, true}, 0.5f);
    EXPECT_EQ(silent[1], "OUT      - LUFS");
    EXPECT_EQ(silent[3], "SIDE     - dB");
    EXPECT_EQ(readoutLines(Readout{-16.0, -16.0, 0.0, 0.0, true}, 0.0f)[3], "") << "Stereo Ratio 1:1";
}

} // namespace
} // namespace tarvel
