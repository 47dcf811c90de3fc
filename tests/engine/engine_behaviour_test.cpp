#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "engine/engine_runner.h"
#include "support/signals.h"

namespace tarvel {
namespace {

using test::Channels;

void addPoint(host::ParameterChanges& changes, std::int32_t id, std::int32_t offset, double value)
{
    Steinberg::int32 index = 0;
    if (auto* queue = changes.addParameterData(static_cast<Steinberg::Vst::ParamID>(id), index))
        queue->addPoint(offset, value, index);
}

// Random ramps on every parameter, Speed and Bypass included, with points at
// random offsets in blocks of random length.
test::Automation randomAutomation(std::uint32_t seed)
{
    auto random = std::make_shared<std::mt19937>(seed);
    return [random](host::ParameterChanges& changes, std::int64_t, std::int32_t length) {
        std::uniform_real_distribution<double> value(-0.1, 1.1);
        std::uniform_int_distribution<int> chance(0, 3);
        for (std::int32_t id = 0; id < ParameterCount; ++id) {
            if (chance(*random) != 0)
                continue;
            std::uniform_int_distribution<std::int32_t> offset(0, length - 1);
            const std::int32_t a = offset(*random), b = offset(*random);
            addPoint(changes, id, std::min(a, b), value(*random));
            if (a != b)
                addPoint(changes, id, std::max(a, b), value(*random));
        }
    };
}

TEST(ChunkedStereoPath, AgreesWithThePerFrameReferenceToFloatRounding)
{
    for (const std::int32_t rate : {44100, 96000}) {
        SCOPED_TRACE(rate);
        const std::int64_t length = rate * 10;
        Channels input{test::pinkNoise(0.8, length, 5), test::whiteNoise(0.2, length, 6)};
        // Quiet and loud passages so both mapping branches are used.
        for (std::int64_t i = rate * 3; i < rate * 5; ++i) {
            input[0][static_cast<std::size_t>(i)] *= 0.001f;
            input[1][static_cast<std::size_t>(i)] *= 0.0001f;
        }
        const Parameters start = test::parametersWith({{Speed, 1.0f}, {Ratio, 0.8f}, {StereoRatio, 0.6f}});
        RealtimeProcessor fast({rate, 2, start});
        RealtimeProcessor reference({rate, 2, start});
        const Channels a = test::runEngine(fast, input, 500, randomAutomation(9), test::Path::Chunked);
        const Channels b = test::runEngine(reference, input, 500, randomAutomation(9), test::Path::PerFrame);
        std::size_t identical = 0;
        for (std::size_t c = 0; c < 2; ++c) {
            for (std::size_t i = 0; i < a[c].size(); ++i) {
                ASSERT_NEAR(a[c][i], b[c][i], 1e-6f * std::max(1.0f, std::abs(b[c][i]))) << c << ' ' << i;
                identical += a[c][i] == b[c][i];
            }
        }
        EXPECT_GT(identical, a[0].size() * 2 * 999 / 1000);
        EXPECT_FLOAT_EQ(static_cast<float>(fast.meterValue()), static_cast<float>(reference.meterValue()));
    }
}

TEST(Engine, SilenceStaysSilentAndReadsTheFloorLoudness)
{
    RealtimeProcessor engine({48000, 2, Parameters{}});
    EXPECT_EQ(engine.meterValue(), -1000.0);
    const Channels silence(2, std::vector<float>(4096, 0.0f));
    const Channels output = test::runEngine(engine, silence, 512);
    for (const auto& channel : output)
        for (const float s : channel)
            ASSERT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(engine.meterValue()), static_cast<float>(10.0 * std::log10(1e-37) - 0.691));
}

TEST(Engine, IdenticalChannelsStayIdentical)
{
    const auto tone = test::pinkNoise(0.5, 48000, 4);
    RealtimeProcessor engine({48000, 2, test::parametersWith({{StereoRatio, 1.0f}, {Ratio, 1.0f}})});
    const Channels output = test::runEngine(engine, {tone, tone}, 256);
    for (std::size_t i = 0; i < tone.size(); ++i)
        ASSERT_EQ(output[0][i], output[1][i]) << i;
}

// Channels other than two share one gain and the meter still reports.
TEST(Engine, GeneralPathAppliesOneGainToEveryChannel)
{
    const std::int32_t rate = 48000;
    const Channels input{test::sine(300.0, 0.5, rate, rate), test::sine(300.0, 0.25, rate, rate),
                         test::sine(300.0, 0.125, rate, rate)};
    RealtimeProcessor engine({rate, 3, test::parametersWith({{Ratio, 1.0f}, {Target, 0.0f}})});
    const auto delay = static_cast<std::size_t>(engine.delaySamples());
    const Channels output = test::runEngine(engine, input, 512);
    for (std::size_t i = delay + 1000; i < input[0].size(); i += 97) {
        if (std::abs(input[2][i - delay]) < 0.05f)
            continue;
        const float gain = output[0][i] / input[0][i - delay];
        EXPECT_NEAR(output[1][i] / input[1][i - delay], gain, 1e-5f * gain);
        EXPECT_NEAR(output[2][i] / input[2][i - delay], gain, 1e-5f * gain);
        EXPECT_LT(gain, 0.2f);
    }
}

TEST(Engine, SpeedSwitchesTheDelayBothWaysWhicheverItWasBuiltWith)
{
    const std::int32_t rate = 48000;
    const Channels input(2, std::vector<float>(1024, 0.1f));
    RealtimeProcessor slow({rate, 2, test::parametersWith({{Speed, 1.0f}})});
    RealtimeProcessor fast({rate, 2, test::parametersWith({{Speed, 0.0f}})});
    const std::int32_t slowDelay = slow.delaySamples();
    const std::int32_t fastDelay = fast.delaySamples();
    EXPECT_LT(fastDelay, slowDelay / 5);
    const auto switchTo = [](double speed) {
        return [speed](host::ParameterChanges& changes, std::int64_t start, std::int32_t) {
            if (start == 0)
                addPoint(changes, Speed, 0, speed);
        };
    };
    test::runEngine(slow, input, 512, switchTo(0.0));
    EXPECT_EQ(slow.delaySamples(), fastDelay);
    test::runEngine(slow, input, 512, switchTo(1.0));
    EXPECT_EQ(slow.delaySamples(), slowDelay);

    test::runEngine(fast, input, 512, switchTo(1.0));
    EXPECT_EQ(fast.delaySamples(), slowDelay);
    EXPECT_EQ(fast.loudnessCore().smootherCoefficient(), slow.loudnessCore().smootherCoefficient());
    test::runEngine(fast, input, 512, switchTo(0.0));
    EXPECT_EQ(fast.delaySamples(), fastDelay);
}

// NaN and infinity enter as silence, so they cannot stay in the filters.
TEST(Engine, NonFiniteInputDoesNotPoisonTheEngine)
{
    const std::int32_t rate = 48000;
    Channels clean{test::pinkNoise(0.5, rate * 2, 1), test::pinkNoise(0.5, rate * 2, 2)};
    Channels dirty = clean;
    for (std::size_t i = 20000; i < 20100; ++i) {
        dirty[0][i] = std::numeric_limits<float>::quiet_NaN();
        dirty[1][i] = i % 2 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
        clean[0][i] = clean[1][i] = 0.0f;
    }
    RealtimeProcessor a({rate, 2, Parameters{}}), b({rate, 2, Parameters{}});
    const Channels fromDirty = test::runEngine(a, dirty, 512);
    const Channels fromClean = test::runEngine(b, clean, 512);
    EXPECT_EQ(fromDirty, fromClean);
    EXPECT_TRUE(std::isfinite(a.meterValue()));
}

// Input so loud that its power overflows: the detector starts afresh and the
// output is back to normal once the burst has left the delay line.
TEST(Engine, OverflowingInputRecoversWithinTheDelay)
{
    const std::int32_t rate = 48000;
    for (const std::int32_t channels : {1, 2}) {
        SCOPED_TRACE(channels);
        Channels clean(static_cast<std::size_t>(channels), test::sine(500.0, 0.3, rate, rate * 3));
        Channels loud = clean;
        for (auto& channel : loud)
            for (std::size_t i = 10000; i < 10050; ++i)
                channel[i] = 1e30f;
        RealtimeProcessor a({rate, channels, test::parametersWith({{Speed, 0.0f}})});
        RealtimeProcessor b({rate, channels, test::parametersWith({{Speed, 0.0f}})});
        const Channels fromLoud = test::runEngine(a, loud, 512);
        const Channels fromClean = test::runEngine(b, clean, 512);
        const auto settled = static_cast<std::size_t>(10050 + a.delaySamples() + rate);
        for (std::size_t i = settled; i < fromLoud[0].size(); ++i)
            ASSERT_NEAR(fromLoud[0][i], fromClean[0][i], 1e-4f) << i;
        for (const float s : fromLoud[0])
            ASSERT_TRUE(std::isfinite(s));
    }
}

TEST(Engine, MissingChannelsAreFedSilence)
{
    const std::int32_t rate = 48000;
    const auto tone = test::sine(700.0, 0.4, rate, 8192);
    RealtimeProcessor monoBlocks({rate, 2, Parameters{}});
    RealtimeProcessor explicitSilence({rate, 2, Parameters{}});
    const Channels fromOne = test::runEngine(monoBlocks, {tone}, 512);
    const Channels fromTwo = test::runEngine(explicitSilence, {tone, std::vector<float>(tone.size(), 0.0f)}, 512);
    EXPECT_EQ(fromOne[0], fromTwo[0]);

    // Null channel pointers from a host read as silence and are not written.
    RealtimeProcessor engine({rate, 2, Parameters{}});
    std::vector<float> left(tone), out(tone.size());
    const float* in[2] = {left.data(), nullptr};
    float* outs[2] = {out.data(), nullptr};
    Steinberg::Vst::ProcessData data{};
    engine.beginBlock(data);
    engine.processBlock(in, outs, 2, static_cast<std::int32_t>(tone.size()));
    EXPECT_EQ(out, fromOne[0]);
}

TEST(Engine, SixtyFourBitSamplesGiveTheSameOutput)
{
    const std::int32_t rate = 44100;
    const Channels input{test::pinkNoise(0.5, rate, 21), test::pinkNoise(0.2, rate, 22)};
    RealtimeProcessor single({rate, 2, Parameters{}}), twice({rate, 2, Parameters{}});
    const Channels expected = test::runEngine(single, input, 512);
    std::vector<std::vector<double>> in(2), out(2, std::vector<double>(input[0].size()));
    for (std::size_t c = 0; c < 2; ++c)
        in[c].assign(input[c].begin(), input[c].end());
    for (std::size_t start = 0; start < input[0].size(); start += 512) {
        const auto count = static_cast<std::int32_t>(std::min<std::size_t>(512, input[0].size() - start));
        Steinberg::Vst::ProcessData data{};
        twice.beginBlock(data);
        const double* ins[2] = {in[0].data() + start, in[1].data() + start};
        double* outs[2] = {out[0].data() + start, out[1].data() + start};
        twice.processBlock(ins, outs, 2, count);
    }
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < out[c].size(); ++i)
            ASSERT_EQ(out[c][i], static_cast<double>(expected[c][i])) << i;
}

} // namespace
} // namespace tarvel
