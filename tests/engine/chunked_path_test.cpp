// The chunked stereo path (processBlock) held to the plain per-frame form
// (processBlockPerFrame) under everything a host and a signal can throw at
// it: odd block sizes, every parameter automated including detector switches
// and bypass, stretches at a 1:1 stereo ratio, non-finite and overflowing
// input, missing channels and 64-bit samples.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "engine/engine_runner.h"
#include "support/signals.h"

namespace tarvel {
namespace {

using test::Channels;

struct Block {
    std::int32_t length;
    host::ParameterChanges changes;
};

// Blocks of random length 1..700; each parameter gets one or two points in
// about a third of them. Speed jumps across its threshold, so the detector
// and the delay switch mid-block, and StereoRatio rests at 0 (1:1) for long
// stretches.
std::vector<std::unique_ptr<Block>> randomBlocks(std::int64_t length, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> blockLength(1, 700);
    std::uniform_real_distribution<double> value(-0.1, 1.1);
    std::uniform_int_distribution<int> chance(0, 5);
    std::vector<std::unique_ptr<Block>> blocks;
    for (std::int64_t at = 0; at < length;) {
        auto block = std::make_unique<Block>();
        block->length = static_cast<std::int32_t>(std::min<std::int64_t>(blockLength(random), length - at));
        const bool unitStereoStretch = (at / 48000) % 3 == 1;
        for (std::int32_t id = 0; id < ParameterCount; ++id) {
            if (chance(random) > 1)
                continue;
            std::uniform_int_distribution<std::int32_t> offset(0, block->length - 1);
            const std::int32_t a = offset(random), b = offset(random);
            const auto pointValue = [&] {
                if (id == StereoRatio && unitStereoStretch)
                    return 0.0;
                if (id == Speed)
                    return chance(random) < 3 ? 0.1 : 0.9;
                return value(random);
            };
            block->changes.addPoint(static_cast<Steinberg::Vst::ParamID>(id), std::min(a, b), pointValue());
            if (a != b)
                block->changes.addPoint(static_cast<Steinberg::Vst::ParamID>(id), std::max(a, b), pointValue());
        }
        at += block->length;
        blocks.push_back(std::move(block));
    }
    return blocks;
}

enum class Form { Chunked, PerFrame, Chunked64 };

// channelsGiven below 2 hands the engine fewer channels than it has.
Channels run(RealtimeProcessor& engine, const Channels& input, const std::vector<std::unique_ptr<Block>>& blocks,
             Form form, std::int32_t channelsGiven = 2)
{
    Channels output(input.size(), std::vector<float>(input[0].size(), 0.0f));
    std::vector<std::vector<double>> in64(input.size()), out64(input.size());
    for (std::size_t c = 0; c < input.size(); ++c) {
        in64[c].assign(input[c].begin(), input[c].end());
        out64[c].assign(input[c].size(), 0.0);
    }
    std::size_t at = 0;
    for (const auto& block : blocks) {
        Steinberg::Vst::ProcessData data{};
        data.numSamples = block->length;
        data.inputParameterChanges = &block->changes;
        engine.beginBlock(data);
        const float* in[2] = {input[0].data() + at, input[1].data() + at};
        float* out[2] = {output[0].data() + at, output[1].data() + at};
        const double* in2[2] = {in64[0].data() + at, in64[1].data() + at};
        double* out2[2] = {out64[0].data() + at, out64[1].data() + at};
        if (form == Form::Chunked)
            engine.processBlock(in, out, channelsGiven, block->length);
        else if (form == Form::PerFrame)
            engine.processBlockPerFrame(in, out, channelsGiven, block->length);
        else
            engine.processBlock(in2, out2, channelsGiven, block->length);
        at += static_cast<std::size_t>(block->length);
    }
    if (form == Form::Chunked64)
        for (std::size_t c = 0; c < input.size(); ++c)
            for (std::size_t i = 0; i < input[c].size(); ++i)
                output[c][i] = static_cast<float>(out64[c][i]);
    return output;
}

struct Agreement {
    std::size_t samples = 0, identical = 0;
    float worstRelative = 0.0f, worstAbsolute = 0.0f;
};

Agreement compare(const Channels& a, const Channels& b)
{
    Agreement result;
    for (std::size_t c = 0; c < a.size(); ++c) {
        for (std::size_t i = 0; i < a[c].size(); ++i) {
            ++result.samples;
            result.identical += a[c][i] == b[c][i];
            const float difference = std::abs(a[c][i] - b[c][i]);
            // Relative to the sample, for all but the smallest samples,
            // where the mid/side sum cancels.
            const float relative = difference / std::max(0.01f, std::abs(b[c][i]));
            result.worstRelative = std::max(result.worstRelative, std::isnan(relative) ? 1e30f : relative);
            result.worstAbsolute = std::max(result.worstAbsolute, std::isnan(difference) ? 1e30f : difference);
        }
    }
    return result;
}

// Stereo noise with a quiet passage, a silent one, NaN and infinity bursts
// and one burst loud enough to overflow the detector; at least 7 seconds.
Channels hardSignal(std::int32_t rate, std::int64_t length)
{
    length = std::max<std::int64_t>(length, std::int64_t{rate} * 7);
    Channels input{test::pinkNoise(0.8, length, 31), test::whiteNoise(0.3, length, 32)};
    const auto second = static_cast<std::size_t>(rate);
    for (std::size_t i = 2 * second; i < 3 * second; ++i) {
        input[0][i] *= 0.001f;
        input[1][i] *= 0.0001f;
    }
    for (std::size_t i = 4 * second; i < 4 * second + second / 2; ++i)
        input[0][i] = input[1][i] = 0.0f;
    for (std::size_t i = 5 * second; i < 5 * second + 300; ++i) {
        input[0][i] = std::numeric_limits<float>::quiet_NaN();
        input[1][i] = i % 2 ? std::numeric_limits<float>::infinity() : 0.2f;
    }
    for (std::size_t i = 6 * second; i < 6 * second + 40; ++i)
        input[i % 3 ? 0 : 1][i] = 1e30f;
    return input;
}

TEST(ChunkedPath, AgreesWithThePerFrameFormUnderAutomationOddBlocksAndBadInput)
{
    for (const std::int32_t rate : {48000, 44100}) {
        SCOPED_TRACE(rate);
        const std::int64_t length = rate * 9;
        const Channels input = hardSignal(rate, length);
        const auto blocks = randomBlocks(length, static_cast<std::uint32_t>(rate));
        for (const float builtSpeed : {1.0f, 0.0f}) {
            SCOPED_TRACE(builtSpeed);
            const Parameters start = test::parametersWith({{Speed, builtSpeed}, {Ratio, 0.8f}, {StereoRatio, 0.6f}});
            RealtimeProcessor chunked({rate, 2, start}), perFrame({rate, 2, start});
            const Channels a = run(chunked, input, blocks, Form::Chunked);
            const Channels b = run(perFrame, input, blocks, Form::PerFrame);
            const Agreement agreement = compare(a, b);
            // A unit in the last place of the loudest samples at most, and
            // rarely even that.
            EXPECT_LT(agreement.worstAbsolute, 2.5e-7f);
            EXPECT_LT(agreement.worstRelative, 2e-5f);
            EXPECT_GT(agreement.identical, agreement.samples * 999 / 1000);
            EXPECT_FLOAT_EQ(static_cast<float>(chunked.meterValue()), static_cast<float>(perFrame.meterValue()));
            EXPECT_EQ(chunked.delaySamples(), perFrame.delaySamples());
            EXPECT_EQ(chunked.loudnessCore().integrationTime(), perFrame.loudnessCore().integrationTime());
        }
    }
}

// Constant parameters: the chunked path's own exponential rounds correctly
// where the library's may not, so nearly every sample is identical.
TEST(ChunkedPath, ConstantParametersGiveNearlyIdenticalSamples)
{
    const std::int32_t rate = 48000;
    const Channels input = hardSignal(rate, rate * 8);
    const auto blocks = randomBlocks(rate * 8, 3);
    std::vector<std::unique_ptr<Block>> quiet;
    for (const auto& block : blocks) {
        quiet.push_back(std::make_unique<Block>());
        quiet.back()->length = block->length;
    }
    for (const float stereo : {0.0f, 0.7f}) {
        SCOPED_TRACE(stereo);
        const Parameters start = test::parametersWith({{Ratio, 0.6f}, {StereoRatio, stereo}, {Target, 0.4f}});
        RealtimeProcessor chunked({rate, 2, start}), perFrame({rate, 2, start});
        const Agreement agreement =
            compare(run(chunked, input, quiet, Form::Chunked), run(perFrame, input, quiet, Form::PerFrame));
        EXPECT_LT(agreement.worstAbsolute, 1.2e-7f);
        EXPECT_LT(agreement.worstRelative, 1e-5f);
        EXPECT_GT(agreement.identical, agreement.samples * 998 / 1000);
    }
}

TEST(ChunkedPath, SixtyFourBitBlocksEqualThirtyTwoBitOnes)
{
    const std::int32_t rate = 48000;
    const Channels input = hardSignal(rate, rate * 7);
    const auto blocks = randomBlocks(rate * 7, 8);
    const Parameters start = test::parametersWith({{StereoRatio, 0.3f}});
    RealtimeProcessor single({rate, 2, start}), twice({rate, 2, start});
    EXPECT_EQ(run(single, input, blocks, Form::Chunked), run(twice, input, blocks, Form::Chunked64));
}

// A host may hand an engine built for two channels only one, or none: the
// missing ones are silence for both forms alike.
TEST(ChunkedPath, FewerChannelsThanBuiltForAgreeWithThePerFrameForm)
{
    const std::int32_t rate = 48000;
    const Channels input = hardSignal(rate, rate * 7);
    const auto blocks = randomBlocks(rate * 7, 21);
    for (const std::int32_t given : {1, 0}) {
        SCOPED_TRACE(given);
        RealtimeProcessor chunked({rate, 2, Parameters{}}), perFrame({rate, 2, Parameters{}});
        const Channels a = run(chunked, input, blocks, Form::Chunked, given);
        const Channels b = run(perFrame, input, blocks, Form::PerFrame, given);
        const Agreement agreement = compare(a, b);
        EXPECT_LT(agreement.worstAbsolute, 2.5e-7f);
        EXPECT_LT(agreement.worstRelative, 2e-5f);
        EXPECT_GT(agreement.identical, agreement.samples * 999 / 1000);
        EXPECT_FLOAT_EQ(static_cast<float>(chunked.meterValue()), static_cast<float>(perFrame.meterValue()));
        // Channels not handed over are never written.
        for (std::size_t c = static_cast<std::size_t>(given); c < 2; ++c)
            for (const float s : a[c])
                ASSERT_EQ(s, 0.0f);
    }
}

// Other channel counts run the core frame by frame with the parameters taken
// a chunk at a time; only the parameter conversion's rounding may differ.
TEST(ChunkedPath, OtherChannelCountsAgreeWithThePerFrameForm)
{
    const std::int32_t rate = 48000;
    for (const std::int32_t channels : {1, 3, 6}) {
        SCOPED_TRACE(channels);
        Channels input;
        for (std::int32_t c = 0; c < channels; ++c) {
            input.push_back(test::pinkNoise(0.5, rate * 3, static_cast<std::uint32_t>(40 + c)));
            for (std::size_t i = static_cast<std::size_t>(rate); i < static_cast<std::size_t>(rate) + 200; ++i)
                input.back()[i] = std::numeric_limits<float>::quiet_NaN();
        }
        RealtimeProcessor a({rate, channels, Parameters{}}), b({rate, channels, Parameters{}});
        const auto automate = [](host::ParameterChanges& changes, std::int64_t start, std::int32_t length) {
            changes.addPoint(Ratio, length - 1, static_cast<double>(start % 7) / 7.0);
            if (start % 2)
                changes.addPoint(Target, length / 2, static_cast<double>(start % 5) / 5.0);
            if (start % 3 == 0)
                changes.addPoint(Speed, 0, start % 2 ? 0.9 : 0.1);
            changes.addPoint(Bypass, length - 1, start % 11 == 0 ? 1.0 : 0.0);
        };
        const Channels x = test::runEngine(a, input, 333, automate, test::Path::Chunked);
        const Channels y = test::runEngine(b, input, 333, automate, test::Path::PerFrame);
        const Agreement agreement = compare(x, y);
        EXPECT_LT(agreement.worstAbsolute, 2.5e-7f);
        EXPECT_LT(agreement.worstRelative, 2e-5f);
        EXPECT_GT(agreement.identical, agreement.samples * 999 / 1000);
        EXPECT_EQ(a.delaySamples(), b.delaySamples());
        EXPECT_EQ(a.meterValue(), b.meterValue());
    }
}

// One channel runs its detector in the stereo detector's lanes. It must give
// the bits the frame-by-frame detector gives, which a three-channel engine
// with two silent channels still runs (their zero powers add nothing): bad
// input, overflow, Speed switching mid-chunk and blocks short enough that
// runs fall back to the per-frame steps included.
TEST(ChunkedPath, MonoInLanesGivesTheBitsOfTheFrameByFrameDetector)
{
    const std::int32_t rate = 44100;
    const Channels stereo = hardSignal(rate, rate * 7);
    const std::vector<float> silence(stereo[0].size(), 0.0f);
    const auto automate = [](host::ParameterChanges& changes, std::int64_t start, std::int32_t length) {
        changes.addPoint(Ratio, length - 1, static_cast<double>(start % 7) / 7.0);
        if (start % 2)
            changes.addPoint(Target, length / 2, static_cast<double>(start % 5) / 5.0);
        if (start % 3 == 0)
            changes.addPoint(Speed, length / 3, start % 2 ? 0.9 : 0.1);
        changes.addPoint(Bypass, length - 1, start % 11 == 0 ? 1.0 : 0.0);
    };
    for (const std::int32_t blockSize : {333, 61, 2}) {
        SCOPED_TRACE(blockSize);
        RealtimeProcessor mono({rate, 1, Parameters{}}), three({rate, 3, Parameters{}});
        const Channels x = test::runEngine(mono, {stereo[0]}, blockSize, automate, test::Path::Chunked);
        const Channels y = test::runEngine(three, {stereo[0], silence, silence}, blockSize, automate, test::Path::Chunked);
        ASSERT_EQ(x[0].size(), y[0].size());
        std::size_t different = 0;
        for (std::size_t i = 0; i < x[0].size(); ++i)
            different += std::memcmp(&x[0][i], &y[0][i], sizeof(float)) != 0;
        EXPECT_EQ(different, 0u);
        EXPECT_EQ(mono.meterValue(), three.meterValue());
        EXPECT_EQ(mono.delaySamples(), three.delaySamples());
    }
}

} // namespace
} // namespace tarvel
