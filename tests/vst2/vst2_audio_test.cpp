// Audio through the VST 2 entry against the same module driven as a VST 3
// host drives it: the same parameters and input must give the same bits.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "support/allocation_counter.h"
#include "support/signals.h"
#include "tools/host/vst2_host.h"
#include "vst2/vst3_reference.h"

namespace tarvel::test {
namespace {

using namespace vst2;

constexpr float sampleRate = 48000.0f;
constexpr int blockSize = 512;
// Not a whole number of blocks, so the last one is short.
constexpr int length = 48000 * 2 + 300;

// Loud and quiet passages, different on the two channels.
template <typename Sample>
std::vector<std::vector<Sample>> testSignal()
{
    const std::vector<float> noise = pinkNoise(0.5, length, 7);
    const std::vector<float> tone = sine(440.0, 0.3, 48000, length);
    std::vector<std::vector<Sample>> channels(2, std::vector<Sample>(length));
    for (int i = 0; i < length; ++i) {
        const double envelope = (i / 12000) % 2 == 0 ? 1.0 : 0.05;
        channels[0][static_cast<std::size_t>(i)] = static_cast<Sample>(static_cast<double>(noise[static_cast<std::size_t>(i)]) * envelope);
        channels[1][static_cast<std::size_t>(i)] = static_cast<Sample>(static_cast<double>(tone[static_cast<std::size_t>(i)]) * (1.1 - envelope));
    }
    return channels;
}

// Values set while suspended, then changes before given blocks.
const ParameterPoints initialValues = {{1, 0.0}, {2, static_cast<double>(0.8f)}, {4, static_cast<double>(0.3f)}};
const std::map<int, ParameterPoints> changesAtBlock = {
    {20, {{3, static_cast<double>(0.7f)}}},
    {60, {{2, static_cast<double>(0.2f)}, {4, static_cast<double>(0.65f)}}},
    {110, {{0, 1.0}}},
    {140, {{0, 0.0}, {2, static_cast<double>(0.9f)}}},
};

template <typename Sample>
using Channels = std::vector<std::vector<Sample>>;

template <typename Sample>
void processVst2(AEffect& effect, Sample** in, Sample** out, int frames);

template <>
void processVst2<float>(AEffect& effect, float** in, float** out, int frames)
{
    effect.processReplacing(&effect, in, out, frames);
}

template <>
void processVst2<double>(AEffect& effect, double** in, double** out, int frames)
{
    effect.processDoubleReplacing(&effect, in, out, frames);
}

template <typename Sample>
Channels<Sample> renderVst2(const Channels<Sample>& input, VstInt32& latency)
{
    host::Vst2Host host{TARVEL_MODULE_PATH};
    AEffect* effect = host.open();
    if (!effect)
        return {};
    for (const auto& [id, value] : initialValues)
        effect->setParameter(effect, static_cast<VstInt32>(id), static_cast<float>(value));
    host.resume(sampleRate, blockSize, sizeof(Sample) == sizeof(double));
    latency = effect->initialDelay;
    Channels<Sample> output(2, std::vector<Sample>(length));
    for (int start = 0, block = 0; start < length; start += blockSize, ++block) {
        if (const auto change = changesAtBlock.find(block); change != changesAtBlock.end())
            for (const auto& [id, value] : change->second)
                effect->setParameter(effect, static_cast<VstInt32>(id), static_cast<float>(value));
        const int frames = std::min(blockSize, length - start);
        Sample* in[2] = {const_cast<Sample*>(input[0].data()) + start, const_cast<Sample*>(input[1].data()) + start};
        Sample* out[2] = {output[0].data() + start, output[1].data() + start};
        processVst2(*effect, in, out, frames);
    }
    return output;
}

template <typename Sample>
Channels<Sample> renderVst3(const Channels<Sample>& input, Steinberg::uint32& latency)
{
    Vst3Reference reference(sampleRate, blockSize, sizeof(Sample) == sizeof(double), initialValues);
    latency = reference.latency();
    Channels<Sample> output(2, std::vector<Sample>(length));
    for (int start = 0, block = 0; start < length; start += blockSize, ++block) {
        const auto change = changesAtBlock.find(block);
        const int frames = std::min(blockSize, length - start);
        Sample* in[2] = {const_cast<Sample*>(input[0].data()) + start, const_cast<Sample*>(input[1].data()) + start};
        Sample* out[2] = {output[0].data() + start, output[1].data() + start};
        reference.process(in, out, 2, frames, change != changesAtBlock.end() ? change->second : ParameterPoints{});
    }
    return output;
}

template <typename Sample>
void expectIdenticalToVst3()
{
    const Channels<Sample> input = testSignal<Sample>();
    VstInt32 vst2Latency = -1;
    Steinberg::uint32 vst3Latency = 0;
    const Channels<Sample> viaVst2 = renderVst2(input, vst2Latency);
    const Channels<Sample> viaVst3 = renderVst3(input, vst3Latency);
    ASSERT_EQ(viaVst2.size(), 2u);
    EXPECT_EQ(static_cast<Steinberg::uint32>(vst2Latency), vst3Latency);
    // Speed was set to fast before the start, so the detector is the short one.
    EXPECT_LT(vst3Latency, 1000u);
    for (std::size_t c = 0; c < 2; ++c) {
        ASSERT_EQ(std::memcmp(viaVst2[c].data(), viaVst3[c].data(), sizeof(Sample) * length), 0) << "channel " << c;
        // The comparison means something only if the plug-in changed the sound.
        EXPECT_NE(std::memcmp(viaVst2[c].data(), input[c].data(), sizeof(Sample) * length), 0);
    }
}

TEST(Vst2Audio, ProcessReplacingIsBitIdenticalToTheVst3Path) { expectIdenticalToVst3<float>(); }

TEST(Vst2Audio, ProcessDoubleReplacingIsBitIdenticalToTheVst3Path) { expectIdenticalToVst3<double>(); }

TEST(Vst2Audio, ProcessingWithParameterChangesAllocatesNothing)
{
    host::Vst2Host host{TARVEL_MODULE_PATH};
    AEffect* effect = host.open();
    ASSERT_NE(effect, nullptr);
    host.resume(sampleRate, blockSize);
    std::vector<float> left(blockSize, 0.2f), right(blockSize, -0.3f);
    float* channels[2] = {left.data(), right.data()};
    effect->processReplacing(effect, channels, channels, blockSize);
    {
        // The counter sees what the module allocates, or this test could
        // not fail.
        AllocationCounter counter;
        void* chunk = nullptr;
        effect->dispatcher(effect, effGetChunk, 0, 0, &chunk, 0.0f);
        ASSERT_GT(counter.allocations(), 0u);
    }
    // Hosts automate from their audio thread, between blocks and while one
    // is processed elsewhere: setParameter, Speed too, belongs to the
    // counted region, and so does reading values back.
    const VstInt32 slowLatency = effect->initialDelay;
    host.clearCalls();
    std::size_t allocations = 0;
    {
        AllocationCounter counter;
        for (int block = 0; block <= 50; ++block) {
            for (VstInt32 id = 0; id < 5; ++id) {
                effect->setParameter(effect, id, static_cast<float>(block % 10) / 10.0f);
                EXPECT_EQ(effect->getParameter(effect, id), static_cast<float>(block % 10) / 10.0f);
            }
            effect->processReplacing(effect, channels, channels, blockSize);
        }
        allocations = counter.allocations() + counter.deallocations();
    }
    EXPECT_EQ(allocations, 0u);
    EXPECT_TRUE(host.allCalls().empty()) << "no host callback from the audio thread";
    // Speed ended fast: the host hears of it at its next user-interface call.
    EXPECT_EQ(effect->initialDelay, slowLatency);
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(host.callsOf(audioMasterIOChanged).size(), 1u);
    EXPECT_LT(effect->initialDelay, slowLatency / 5);

    host.suspend();
    host.resume(sampleRate, blockSize, true);
    std::vector<double> wide(blockSize, 0.1);
    double* wideChannels[2] = {wide.data(), wide.data()};
    effect->setParameter(effect, 2, 0.3f);
    AllocationCounter counter;
    effect->processDoubleReplacing(effect, wideChannels, wideChannels, blockSize);
    EXPECT_EQ(counter.allocations(), 0u);
}

} // namespace
} // namespace tarvel::test
