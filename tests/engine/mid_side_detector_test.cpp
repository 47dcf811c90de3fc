// The SIMD mid/side detector against the scalar filter and smoother steps.

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "processor/engine/k_weighting_filter.h"
#include "processor/engine/mid_side_detector.h"
#include "processor/engine/smoother_stage.h"

namespace tarvel {
namespace {

struct Detector {
    KWeightingFilter mid, side;
    SmootherChain midChain{}, sideChain{};

    explicit Detector(std::int32_t rate, float coefficient)
        : mid(KWeightingFilter::forSampleRate(rate)), side(mid)
    {
        for (auto& stage : midChain)
            stage = {0.0f, coefficient};
        sideChain = midChain;
    }

    MidSideDetectorState state() { return {mid, side, midChain, sideChain}; }

    // The scalar steps the engine's per-frame path takes.
    void stepScalar(float m, float s, float& midPower, float& sidePower)
    {
        const float ym = mid.process(m);
        const float ys = side.process(s);
        midPower = stepChain(midChain, ym * ym);
        sidePower = stepChain(sideChain, ys * ys);
    }
};

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

void expectSameState(const Detector& a, const Detector& b)
{
    const auto sameSection = [](const BiquadSection& x, const BiquadSection& y) {
        return sameBits(x.x1, y.x1) && sameBits(x.x2, y.x2) && sameBits(x.y1, y.y1) && sameBits(x.y2, y.y2);
    };
    EXPECT_TRUE(sameSection(a.mid.preFilter, b.mid.preFilter));
    EXPECT_TRUE(sameSection(a.mid.highPass, b.mid.highPass));
    EXPECT_TRUE(sameSection(a.side.preFilter, b.side.preFilter));
    EXPECT_TRUE(sameSection(a.side.highPass, b.side.highPass));
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(sameBits(a.midChain[i].state, b.midChain[i].state)) << i;
        EXPECT_TRUE(sameBits(a.sideChain[i].state, b.sideChain[i].state)) << i;
    }
}

TEST(MidSideDetector, EqualsTheScalarStepsBitForBitOverRunsOfEveryLength)
{
    for (const std::int32_t rate : {44100, 48000, 192000}) {
        Detector simd(rate, 0.003f), scalar(rate, 0.003f);
        std::mt19937 random(static_cast<std::uint32_t>(rate));
        std::uniform_real_distribution<float> value(-1.0f, 1.0f);
        // Every run length from 3 to 64, twice, so the state carries across
        // runs of all shapes.
        for (int pass = 0; pass < 2; ++pass) {
            for (std::int32_t count = 3; count <= 64; ++count) {
                std::vector<float> pairs(2 * static_cast<std::size_t>(count)), powers(pairs.size(), -1.0f);
                for (float& x : pairs)
                    x = value(random);
                ASSERT_TRUE(detectMidSidePowers(simd.state(), pairs.data(), powers.data(), count));
                for (std::int32_t j = 0; j < count; ++j) {
                    float m = 0.0f, s = 0.0f;
                    scalar.stepScalar(pairs[2 * static_cast<std::size_t>(j)],
                                      pairs[2 * static_cast<std::size_t>(j) + 1], m, s);
                    ASSERT_TRUE(sameBits(powers[2 * static_cast<std::size_t>(j)], m)) << count << ' ' << j;
                    ASSERT_TRUE(sameBits(powers[2 * static_cast<std::size_t>(j) + 1], s)) << count << ' ' << j;
                }
                expectSameState(simd, scalar);
            }
        }
    }
}

TEST(MidSideDetector, LeavesShortRunsToTheCaller)
{
    Detector d(48000, 0.01f), untouched(48000, 0.01f);
    const float pairs[4] = {0.5f, 0.25f, -0.5f, 0.125f};
    float powers[4] = {};
    EXPECT_FALSE(detectMidSidePowers(d.state(), pairs, powers, 2));
    EXPECT_FALSE(detectMidSidePowers(d.state(), pairs, powers, 0));
    expectSameState(d, untouched);
}

// Powers that could overflow the mid + side sum send the run back, with the
// state as it was before the run.
TEST(MidSideDetector, HandsBackRunsThatApproachOverflowUnchanged)
{
    for (const float loud : {1e20f, 1e30f, 3e38f}) {
        Detector d(48000, 0.5f), before(48000, 0.5f);
        std::vector<float> warmUp(2 * 16, 0.1f), powers(2 * 64);
        ASSERT_TRUE(detectMidSidePowers(d.state(), warmUp.data(), powers.data(), 16));
        ASSERT_TRUE(detectMidSidePowers(before.state(), warmUp.data(), powers.data(), 16));
        std::vector<float> pairs(2 * 64, 0.1f);
        pairs[2 * 40] = loud;
        EXPECT_FALSE(detectMidSidePowers(d.state(), pairs.data(), powers.data(), 64)) << loud;
        expectSameState(d, before);
    }
}

} // namespace
} // namespace tarvel
