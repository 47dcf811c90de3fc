// LV2 audio through lilv against the same module driven as a VST 3 host
// drives it, with the same values changed at the same block starts: equal
// bit for bit in stereo and mono, at every sample rate and block size; the
// latency port follows Speed with the audio; run allocates nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lv2/lv2_runner.h"
#include "lv2/lv2_world.h"
#include "support/allocation_counter.h"
#include "vst2/vst3_reference.h"

namespace tarvel::test {
namespace {

using Channels = std::vector<std::vector<float>>;
using PortValues = std::map<std::string, float>;

// The VST 3 parameter of a port value, by the formulas the plug-in shows
// its parameters with: the host's enabled switch is Bypass inverted, a
// ratio r is log4(r), a target t is 1 + t/40.
ParameterPoints asVst3(const PortValues& values)
{
    ParameterPoints points;
    for (const auto& [symbol, plain] : values) {
        const double p = plain;
        if (symbol == "enabled")
            points.emplace_back(0, 1.0 - p);
        else if (symbol == "speed")
            points.emplace_back(1, p);
        else if (symbol == "ratio")
            points.emplace_back(2, std::log(p) / std::log(4.0));
        else if (symbol == "stereo_ratio")
            points.emplace_back(3, std::log(p) / std::log(4.0));
        else
            points.emplace_back(4, 1.0 + p / 40.0);
    }
    return points;
}

struct Programme {
    double sampleRate = 48000.0;
    int blockSize = 256;
    std::size_t channels = 2;
    int length = 96000;
    PortValues start;
    std::map<int, PortValues> changesAtBlock;
};

// Loud and quiet passages, the channels different, so every parameter is
// heard.
Channels testSignal(const Programme& programme)
{
    Channels signal(programme.channels, std::vector<float>(static_cast<std::size_t>(programme.length)));
    const double pi = 3.14159265358979323846;
    for (std::size_t c = 0; c < programme.channels; ++c)
        for (int i = 0; i < programme.length; ++i) {
            const double t = i / programme.sampleRate;
            const double level = std::fmod(t, 0.5) < 0.25 ? 0.7 : 0.03;
            signal[c][static_cast<std::size_t>(i)] =
                static_cast<float>(level * std::sin(2.0 * pi * (220.0 + 110.0 * static_cast<double>(c)) * t));
        }
    return signal;
}

struct Render {
    Channels output;
    std::vector<float> latencyAfterBlock;
};

Render renderLv2(const Programme& programme, const Channels& input)
{
    const char* uri = programme.channels == 2 ? stereoUri : monoUri;
    Lv2Runner runner(Lv2World::shared().plugin(uri), programme.sampleRate,
                     static_cast<std::uint32_t>(programme.blockSize));
    for (const auto& [symbol, value] : programme.start)
        runner.set(symbol, value);
    runner.activate();
    Render render{Channels(programme.channels, std::vector<float>(static_cast<std::size_t>(programme.length))), {}};
    for (int start = 0, block = 0; start < programme.length; start += programme.blockSize, ++block) {
        if (const auto change = programme.changesAtBlock.find(block); change != programme.changesAtBlock.end())
            for (const auto& [symbol, value] : change->second)
                runner.set(symbol, value);
        const int frames = std::min(programme.blockSize, programme.length - start);
        runner.run(input, render.output, static_cast<std::size_t>(start), static_cast<std::uint32_t>(frames));
        render.latencyAfterBlock.push_back(runner.control("latency"));
    }
    return render;
}

Render renderVst3(const Programme& programme, const Channels& input)
{
    const auto channels = static_cast<Steinberg::int32>(programme.channels);
    Vst3Reference reference(programme.sampleRate, programme.blockSize, false, asVst3(programme.start), channels);
    Render render{Channels(programme.channels, std::vector<float>(static_cast<std::size_t>(programme.length))), {}};
    for (int start = 0, block = 0; start < programme.length; start += programme.blockSize, ++block) {
        const auto change = programme.changesAtBlock.find(block);
        const int frames = std::min(programme.blockSize, programme.length - start);
        float* in[2] = {};
        float* out[2] = {};
        for (std::size_t c = 0; c < programme.channels; ++c) {
            in[c] = const_cast<float*>(input[c].data()) + start;
            out[c] = render.output[c].data() + start;
        }
        reference.process(in, out, channels, frames,
                          change != programme.changesAtBlock.end() ? asVst3(change->second) : ParameterPoints{});
        render.latencyAfterBlock.push_back(static_cast<float>(reference.latency()));
    }
    return render;
}

// The latency a VST 3 host is told after setting the processor up at this
// Speed.
float vst3LatencyAt(double sampleRate, float speed)
{
    Vst3Reference reference(sampleRate, 64, false, asVst3({{"speed", speed}}));
    return static_cast<float>(reference.latency());
}

void expectSameAudio(const Channels& lv2, const Channels& vst3, const Channels& input, const std::string& what)
{
    ASSERT_EQ(lv2.size(), vst3.size());
    for (std::size_t c = 0; c < lv2.size(); ++c) {
        const std::size_t bytes = sizeof(float) * lv2[c].size();
        EXPECT_EQ(std::memcmp(lv2[c].data(), vst3[c].data(), bytes), 0) << what << ", channel " << c;
        // The comparison means something only if the plug-in changed the sound.
        EXPECT_NE(std::memcmp(lv2[c].data(), input[c].data(), bytes), 0) << what << ", channel " << c;
    }
}

Programme editedProgramme()
{
    Programme programme;
    programme.start = {{"enabled", 1.0f}, {"speed", 0.0f}, {"ratio", 3.0f}, {"stereo_ratio", 1.5f}, {"target", -24.0f}};
    programme.changesAtBlock = {
        {40, {{"ratio", 4.0f}, {"target", -30.0f}}},
        {100, {{"enabled", 0.0f}}},
        {160, {{"enabled", 1.0f}, {"stereo_ratio", 2.5f}}},
        {250, {{"target", -12.5f}, {"ratio", 1.25f}}},
    };
    return programme;
}

TEST(Lv2Audio, StereoBlockConstantRenderIsBitIdenticalToVst3)
{
    const Programme programme = editedProgramme();
    const Channels input = testSignal(programme);
    const Render lv2 = renderLv2(programme, input);
    const Render vst3 = renderVst3(programme, input);
    expectSameAudio(lv2.output, vst3.output, input, "stereo");
    EXPECT_EQ(lv2.latencyAfterBlock, vst3.latencyAfterBlock);
    EXPECT_EQ(lv2.latencyAfterBlock.front(), vst3LatencyAt(programme.sampleRate, 0.0f));
}

TEST(Lv2Audio, MonoEqualsVst3Mono)
{
    Programme programme = editedProgramme();
    programme.channels = 1;
    programme.start.erase("stereo_ratio");
    const Channels input = testSignal(programme);
    expectSameAudio(renderLv2(programme, input).output, renderVst3(programme, input).output, input, "mono");
}

TEST(Lv2Audio, SpeedMovesTheLatencyPortAndTheAudioTogether)
{
    Programme programme;
    programme.start = {{"speed", 1.0f}, {"ratio", 2.5f}};
    programme.changesAtBlock = {{50, {{"speed", 0.0f}}}, {200, {{"speed", 1.0f}}}, {300, {{"ratio", 3.0f}}}};
    const Channels input = testSignal(programme);
    const Render lv2 = renderLv2(programme, input);
    const Render vst3 = renderVst3(programme, input);
    expectSameAudio(lv2.output, vst3.output, input, "speed changes");

    const float slow = vst3LatencyAt(programme.sampleRate, 1.0f);
    const float fast = vst3LatencyAt(programme.sampleRate, 0.0f);
    ASSERT_NE(slow, fast);
    for (std::size_t block = 0; block < lv2.latencyAfterBlock.size(); ++block)
        EXPECT_EQ(lv2.latencyAfterBlock[block], block >= 50 && block < 200 ? fast : slow) << "block " << block;

    // Bypassed, the plug-in only delays: the output is the input moved by
    // exactly what the latency port says, before and after each switch
    // (to within a rounding; neighbouring samples differ by a thousand
    // times more).
    programme.start["enabled"] = 0.0f;
    const Render bypassed = renderLv2(programme, input);
    const auto delayAt = [&](int frame) {
        return static_cast<int>(bypassed.latencyAfterBlock[static_cast<std::size_t>(frame / programme.blockSize)]);
    };
    for (const int block : {40, 120, 290}) {
        const int frame = block * programme.blockSize;
        const int delay = delayAt(frame);
        for (std::size_t c = 0; c < 2; ++c)
            EXPECT_NEAR(bypassed.output[c][static_cast<std::size_t>(frame)],
                        input[c][static_cast<std::size_t>(frame - delay)], 1e-6f)
                << "block " << block << ", channel " << c;
    }
}

TEST(Lv2Audio, EveryRateAndBlockSizeMatchesVst3)
{
    for (const double rate : {44100.0, 88200.0, 96000.0, 192000.0})
        for (const int block : {1, 37, 8192}) {
            Programme programme = editedProgramme();
            programme.sampleRate = rate;
            programme.blockSize = block;
            programme.length = std::max(static_cast<int>(rate * 0.25), 3 * 8192);
            programme.changesAtBlock = {{2, {{"ratio", 4.0f}, {"speed", 1.0f}}}};
            const Channels input = testSignal(programme);
            const Render lv2 = renderLv2(programme, input);
            const Render vst3 = renderVst3(programme, input);
            const std::string what = std::to_string(rate) + " Hz, blocks of " + std::to_string(block);
            expectSameAudio(lv2.output, vst3.output, input, what);
            EXPECT_EQ(lv2.latencyAfterBlock.back(), vst3LatencyAt(rate, 1.0f)) << what;
        }
}

// ITU-R BS.1770: a 997 Hz sine at 0 dBFS in one channel reads -3.01 LUFS;
// at amplitude 0.1 in every channel of n, -23.01 + 10 log10(n).
TEST(Lv2Audio, TheReadingPortsReadTheInputLoudnessAndTheReadout)
{
    for (const std::size_t channels : {std::size_t{2}, std::size_t{1}}) {
        Programme programme;
        programme.channels = channels;
        programme.length = 3 * 48000;
        Channels input(channels, std::vector<float>(static_cast<std::size_t>(programme.length)));
        for (auto& channel : input)
            for (std::size_t i = 0; i < channel.size(); ++i)
                channel[i] = static_cast<float>(0.1 * std::sin(2.0 * 3.14159265358979323846 * 997.0 * static_cast<double>(i) / 48000.0));
        Lv2Runner runner(Lv2World::shared().plugin(channels == 2 ? stereoUri : monoUri), 48000.0, 512);
        runner.activate();
        Channels output = input;
        runner.run(input, output, 0, 1);
        EXPECT_LT(runner.control("loudness"), -100.0f) << "nothing measured yet";
        for (int start = 1; start + 512 <= programme.length; start += 512)
            runner.run(input, output, static_cast<std::size_t>(start), 512);
        const double expected = -23.01 + 10.0 * std::log10(static_cast<double>(channels));
        EXPECT_NEAR(runner.control("loudness"), expected, 0.3) << channels << " channels";
        // The readout beside it: the gain is the output's level over the
        // input's, and the stereo flag tells the layout.
        EXPECT_NEAR(runner.control("gain"), runner.control("output_loudness") - runner.control("loudness"), 0.01);
        EXPECT_GT(runner.control("output_loudness"), -100.0f);
        EXPECT_EQ(runner.control("stereo"), channels == 2 ? 1.0f : 0.0f);
    }
}

// A rate the processor refuses to be set up for: the instance exists (LV2
// tells no failure at activation) and runs silence, and says no latency.
TEST(Lv2Audio, ARefusedSampleRateRunsSilence)
{
    Programme programme;
    programme.sampleRate = 500.0;
    programme.length = 2048;
    const Channels input = testSignal(programme);
    const Render render = renderLv2(programme, input);
    for (const auto& channel : render.output)
        EXPECT_TRUE(std::all_of(channel.begin(), channel.end(), [](float sample) { return sample == 0.0f; }));
    EXPECT_EQ(render.latencyAfterBlock.back(), 0.0f);
}

TEST(Lv2Audio, RunAllocatesNothingWhileEveryPortChanges)
{
    Lv2Runner runner(Lv2World::shared().plugin(stereoUri), 48000.0, 512);
    runner.activate();
    runner.runConnected(512);
    {
        // The counter sees what the module allocates, or this test could
        // not fail.
        AllocationCounter counter;
        Lv2Runner another(Lv2World::shared().plugin(stereoUri), 48000.0, 64);
        another.activate();
        ASSERT_GT(counter.allocations(), 0u);
    }
    std::size_t allocations = 0;
    {
        AllocationCounter counter;
        for (int block = 0; block < 60; ++block) {
            runner.set("speed", static_cast<float>(block / 7 % 2));
            runner.set("enabled", static_cast<float>(block / 5 % 2));
            runner.set("ratio", 1.0f + static_cast<float>(block % 4));
            runner.set("stereo_ratio", 1.0f + static_cast<float>(block % 3));
            runner.set("target", -static_cast<float>(block % 40));
            runner.runConnected(static_cast<std::uint32_t>(1 + block * 8));
        }
        allocations = counter.allocations() + counter.deallocations();
    }
    EXPECT_EQ(allocations, 0u);
}

} // namespace
} // namespace tarvel::test
