// The compressor's static behaviour on real signals, measured with an
// independent loudness meter and checked against the closed-form mapping.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/engine_runner.h"
#include "support/reference_loudness.h"
#include "support/signals.h"

namespace tarvel {
namespace {

using test::Channels;

// Closed form: ratio r : 1 around target t, constant gain below t - 40.
double expectedOutputLoudness(double in, double ratio, double target)
{
    if (in < target - 40.0)
        return in + 40.0 * (1.0 - 1.0 / ratio);
    return (in - target) / ratio + target;
}

double loudnessOfTail(const Channels& signal, std::int32_t rate, double seconds)
{
    const auto from = signal.front().size() - static_cast<std::size_t>(seconds * rate);
    Channels tail;
    for (const auto& channel : signal)
        tail.emplace_back(channel.begin() + static_cast<std::ptrdiff_t>(from), channel.end());
    return test::referenceLoudness(tail, static_cast<unsigned>(rate)).integrated;
}

double decibels(double ratio) { return 20.0 * std::log10(ratio); }

class MappingAtRate : public testing::TestWithParam<std::int32_t> {};

// Ratio 2 and target -20: -20 passes, -10 becomes -15, -30 becomes -25, and
// -65 (below -60) is lifted by the constant 20. (The reference meter gates
// everything below -70 away, so the test stays above that.)
TEST_P(MappingAtRate, FollowsTheRatioAroundTheTarget)
{
    const std::int32_t rate = GetParam();
    const Parameters p = test::parametersWith({{Ratio, 0.5f}, {Target, 0.5f}, {StereoRatio, 0.0f}});
    for (const double level : {-10.0, -20.0, -30.0, -45.0, -65.0}) {
        SCOPED_TRACE(level);
        const auto tone = test::sine(997.0, std::pow(10.0, level / 20.0), rate, rate * 4);
        const Channels input{tone, tone};
        RealtimeProcessor engine({rate, 2, p});
        const Channels output = test::runEngine(engine, input, 512);
        const double measuredIn = loudnessOfTail(input, rate, 2.0);
        EXPECT_NEAR(measuredIn, level, 0.1);
        EXPECT_NEAR(loudnessOfTail(output, rate, 2.0), expectedOutputLoudness(measuredIn, 2.0, -20.0), 0.1);
    }
}

// With the stereo ratio at 2:1 the side-to-mid ratio u becomes u / 2 above
// -40 and u + 20 below it, while a 1:1 loudness ratio keeps the loudness.
TEST_P(MappingAtRate, CompressesTheSideToMidRatio)
{
    const std::int32_t rate = GetParam();
    const Parameters p = test::parametersWith({{Ratio, 0.0f}, {StereoRatio, 0.5f}});
    for (const double rightGain : {0.5, 0.995}) {
        SCOPED_TRACE(rightGain);
        const auto left = test::sine(440.0, 0.1, rate, rate * 4);
        auto right = left;
        for (auto& s : right)
            s = static_cast<float>(static_cast<double>(s) * rightGain);
        const Channels input{left, right};
        RealtimeProcessor engine({rate, 2, p});
        const Channels output = test::runEngine(engine, input, 512);

        const double inputRatio = decibels((1.0 - rightGain) / (1.0 + rightGain));
        const double expectedRatio = inputRatio > -40.0 ? inputRatio / 2.0 : inputRatio + 20.0;
        const std::size_t from = output[0].size() - static_cast<std::size_t>(rate);
        std::vector<float> mid(output[0].size()), side(output[0].size());
        for (std::size_t i = 0; i < mid.size(); ++i) {
            mid[i] = output[0][i] + output[1][i];
            side[i] = output[0][i] - output[1][i];
        }
        EXPECT_NEAR(decibels(test::rms(side, from, mid.size()) / test::rms(mid, from, mid.size())), expectedRatio, 0.05);
        EXPECT_NEAR(loudnessOfTail(output, rate, 1.0), loudnessOfTail(input, rate, 1.0), 0.1);
    }
}

// Bypass on from the start: after the detector's delay the output is the
// input, through mid/side and back.
TEST_P(MappingAtRate, BypassPassesTheDelayedInput)
{
    const std::int32_t rate = GetParam();
    const Parameters p = test::parametersWith({{Bypass, 1.0f}, {Ratio, 1.0f}});
    const Channels input{test::whiteNoise(0.5, rate * 2, 1), test::whiteNoise(0.3, rate * 2, 2)};
    RealtimeProcessor engine({rate, 2, p});
    const std::int32_t delay = engine.delaySamples();
    const Channels output = test::runEngine(engine, input, 333);
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::int32_t i = 0; i < delay; ++i)
            ASSERT_EQ(output[c][static_cast<std::size_t>(i)], 0.0f);
        for (std::size_t i = static_cast<std::size_t>(delay); i < output[c].size(); ++i)
            ASSERT_NEAR(output[c][i], input[c][i - static_cast<std::size_t>(delay)], 2e-7f) << i;
    }
}

// Ratio 1:1 and stereo ratio 1:1: unity gain, only the delay remains.
TEST_P(MappingAtRate, UnityRatiosOnlyDelay)
{
    const std::int32_t rate = GetParam();
    const Parameters p = test::parametersWith({{Ratio, 0.0f}, {StereoRatio, 0.0f}, {Speed, 0.0f}});
    const Channels input{test::pinkNoise(0.5, rate, 3), test::sine(200.0, 0.2, rate, rate)};
    RealtimeProcessor engine({rate, 2, p});
    const auto delay = static_cast<std::size_t>(engine.delaySamples());
    const Channels output = test::runEngine(engine, input, 512);
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = delay; i < output[c].size(); ++i)
            ASSERT_NEAR(output[c][i], input[c][i - delay], 5e-6f) << i;
}

INSTANTIATE_TEST_SUITE_P(Rates, MappingAtRate, testing::Values(44100, 48000, 96000));

TEST(Bypass, SwitchingOnConvergesWithTheSmoothingRate)
{
    const std::int32_t rate = 48000;
    const Parameters compressing = test::parametersWith({{Ratio, 1.0f}, {Target, 0.0f}});
    const auto tone = test::sine(1000.0, 0.5, rate, rate * 2);
    const Channels input{tone, tone};
    RealtimeProcessor engine({rate, 2, compressing});
    // Bypass switched on at the start of the second second.
    const Channels output = test::runEngine(engine, input, 480, [&](host::ParameterChanges& changes, std::int64_t start,
                                                                    std::int32_t) {
        if (start == rate) {
            Steinberg::int32 index = 0;
            if (auto* queue = changes.addParameterData(Bypass, index))
                queue->addPoint(0, 1.0, index);
        }
    });
    const auto delay = static_cast<std::size_t>(engine.delaySamples());
    const std::size_t end = output[0].size();
    // Compressed hard before, the input itself 200 ms after the switch.
    EXPECT_LT(test::rms(output[0], end / 2 - 4800, end / 2), 0.5 * test::rms(tone, 0, 4800));
    for (std::size_t i = end / 2 + 9600; i < end; ++i)
        ASSERT_NEAR(output[0][i], tone[i - delay], 1e-5f) << i;
}

} // namespace
} // namespace tarvel
