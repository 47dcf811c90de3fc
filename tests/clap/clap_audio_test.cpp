// Audio through the CLAP entry against the same module driven as a VST 3
// host drives it: the same input and the same automation, events at the
// same frames, must give the same bits.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "support/signals.h"
#include "tools/host/clap_plugin_host.h"
#include "tools/host/module_library.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/process_block.h"

namespace tarvel::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using host::ClapParamEvent;

constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;
constexpr int length = 48000 * 2 + 300;

template <typename Sample>
using Channels = std::vector<std::vector<Sample>>;

template <typename Sample>
Channels<Sample> testSignal()
{
    const std::vector<float> noise = pinkNoise(0.5, length, 11);
    const std::vector<float> tone = sine(220.0, 0.3, 48000, length);
    Channels<Sample> channels(2, std::vector<Sample>(length));
    for (std::size_t i = 0; i < static_cast<std::size_t>(length); ++i) {
        const double envelope = (i / 9000) % 2 == 0 ? 1.0 : 0.04;
        channels[0][i] = static_cast<Sample>(static_cast<double>(noise[i]) * envelope);
        channels[1][i] = static_cast<Sample>(static_cast<double>(tone[i]) * (1.1 - envelope));
    }
    return channels;
}

// Start values, then events inside blocks at frames other than 0, several
// for one parameter in one block among them.
const std::vector<ClapParamEvent> startValues = {{0, 1, 0.0}, {0, 2, 0.8}, {0, 4, 0.3}};
const std::map<int, std::vector<ClapParamEvent>> eventsAtBlock = {
    {20, {{17, 3, 0.7}}},
    {60, {{0, 2, 0.2}, {200, 4, 0.65}, {201, 4, 0.66}, {480, 4, 0.7}}},
    {110, {{333, 0, 1.0}}},
    {140, {{5, 0, 0.0}, {511, 2, 0.9}}},
};

// The VST 3 side: the processor from the factory, start values in an empty
// block before a fresh set-up (as the CLAP adapter delivers values flushed
// while inactive), events as queue points at their frames.
class Vst3Render {
public:
    explicit Vst3Render(bool doublePrecision) : module(TARVEL_MODULE_PATH)
    {
        IPtr<IPluginFactory> factory = owned(module.createFactory());
        PClassInfo info;
        if (!factory || factory->getClassInfo(0, &info) != kResultOk)
            throw std::runtime_error("no processor class");
        IComponent* created = nullptr;
        if (factory->createInstance(info.cid, IComponent::iid, reinterpret_cast<void**>(&created)) != kResultOk)
            throw std::runtime_error("processor not created");
        component = owned(created);
        processor = FUnknownPtr<IAudioProcessor>(component);
        if (!processor || component->initialize(nullptr) != kResultOk)
            throw std::runtime_error("processor not initialised");
        setup = {kRealtime, doublePrecision ? kSample64 : kSample32, blockSize, sampleRate};
        start();
        run(block.assembleEmpty(setup.symbolicSampleSize), startValues);
        stop();
        start();
    }
    ~Vst3Render()
    {
        stop();
        component->terminate();
    }
    uint32 latency() { return processor->getLatencySamples(); }

    template <typename Sample>
    void process(Sample** in, Sample** out, int32 frames, const std::vector<ClapParamEvent>& events)
    {
        run(block.assemble(in, out, 2, frames), events);
    }

private:
    void start()
    {
        if (processor->setupProcessing(setup) != kResultOk || component->setActive(true) != kResultOk)
            throw std::runtime_error("set-up refused");
        processor->setProcessing(true);
    }
    void stop()
    {
        processor->setProcessing(false);
        component->setActive(false);
    }
    void run(ProcessData& data, const std::vector<ClapParamEvent>& events)
    {
        changes.clear();
        for (const ClapParamEvent& event : events)
            changes.addPoint(event.id, static_cast<int32>(event.frame), event.value);
        data.inputParameterChanges = &changes;
        processor->process(data);
    }

    host::PluginModule module;
    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    ProcessSetup setup{};
    host::ParameterChanges changes;
    host::ProcessBlock block;
};

template <typename Sample>
Channels<Sample> renderVst3(const Channels<Sample>& input, uint32& latency)
{
    Vst3Render render(sizeof(Sample) == sizeof(double));
    latency = render.latency();
    Channels<Sample> output(2, std::vector<Sample>(length));
    for (int start = 0, block = 0; start < length; start += blockSize, ++block) {
        const auto events = eventsAtBlock.find(block);
        const int frames = std::min(blockSize, length - start);
        Sample* in[2] = {const_cast<Sample*>(input[0].data()) + start, const_cast<Sample*>(input[1].data()) + start};
        Sample* out[2] = {output[0].data() + start, output[1].data() + start};
        render.process(in, out, frames, events != eventsAtBlock.end() ? events->second : std::vector<ClapParamEvent>{});
    }
    return output;
}

// inPlace: the output buffers are the input's, as hosts may hand them.
template <typename Sample>
Channels<Sample> renderClap(const Channels<Sample>& input, std::uint32_t& latency, bool inPlace)
{
    host::ClapPluginHost host(TARVEL_CLAP_PATH);
    host.flush(startValues);
    if (!host.activate(sampleRate, 1, blockSize))
        return {};
    latency = host.extension<clap::clap_plugin_latency_t>(clap::CLAP_EXT_LATENCY)->get(&host.plugin());
    Channels<Sample> output = inPlace ? input : Channels<Sample>(2, std::vector<Sample>(length));
    for (int start = 0, block = 0; start < length; start += blockSize, ++block) {
        const auto events = eventsAtBlock.find(block);
        const auto frames = static_cast<std::uint32_t>(std::min(blockSize, length - start));
        Sample* in[2] = {const_cast<Sample*>(input[0].data()) + start, const_cast<Sample*>(input[1].data()) + start};
        Sample* out[2] = {output[0].data() + start, output[1].data() + start};
        Sample** source = inPlace ? out : in;
        if (host.process(source, out, 2, frames,
                         events != eventsAtBlock.end() ? events->second : std::vector<ClapParamEvent>{}) !=
            clap::CLAP_PROCESS_CONTINUE)
            return {};
    }
    return output;
}

template <typename Sample>
void expectIdenticalToVst3(bool inPlace)
{
    const Channels<Sample> input = testSignal<Sample>();
    std::uint32_t clapLatency = 0;
    uint32 vst3Latency = 1;
    const Channels<Sample> viaClap = renderClap(input, clapLatency, inPlace);
    const Channels<Sample> viaVst3 = renderVst3(input, vst3Latency);
    ASSERT_EQ(viaClap.size(), 2u);
    EXPECT_EQ(clapLatency, vst3Latency);
    EXPECT_LT(vst3Latency, 1000u) << "Speed was fast from the start";
    for (std::size_t c = 0; c < 2; ++c) {
        ASSERT_EQ(std::memcmp(viaClap[c].data(), viaVst3[c].data(), sizeof(Sample) * length), 0) << "channel " << c;
        EXPECT_NE(std::memcmp(viaClap[c].data(), input[c].data(), sizeof(Sample) * length), 0);
    }
}

TEST(ClapAudio, Data32IsBitIdenticalToTheVst3PathWithEventsAtTheirFrames) { expectIdenticalToVst3<float>(false); }

TEST(ClapAudio, Data64IsBitIdenticalToTheVst3PathWithEventsAtTheirFrames) { expectIdenticalToVst3<double>(false); }

TEST(ClapAudio, InPlaceBuffersGiveTheSameBits)
{
    expectIdenticalToVst3<float>(true);
    expectIdenticalToVst3<double>(true);
}

TEST(ClapAudio, EventFramesMatter)
{
    // The same values a few frames apart give other bits: the comparison
    // above could not pass with events collapsed to the block's start.
    const Channels<float> input = testSignal<float>();
    std::uint32_t latency = 0;
    const Channels<float> exact = renderClap(input, latency, false);
    host::ClapPluginHost host(TARVEL_CLAP_PATH);
    host.flush(startValues);
    ASSERT_TRUE(host.activate(sampleRate, 1, blockSize));
    Channels<float> moved(2, std::vector<float>(length));
    for (int start = 0, block = 0; start < length; start += blockSize, ++block) {
        std::vector<ClapParamEvent> events;
        if (const auto found = eventsAtBlock.find(block); found != eventsAtBlock.end())
            for (ClapParamEvent event : found->second)
                events.push_back({0, event.id, event.value});
        const auto frames = static_cast<std::uint32_t>(std::min(blockSize, length - start));
        float* in[2] = {const_cast<float*>(input[0].data()) + start, const_cast<float*>(input[1].data()) + start};
        float* out[2] = {moved[0].data() + start, moved[1].data() + start};
        host.process(in, out, 2, frames, events);
    }
    EXPECT_NE(std::memcmp(exact[0].data(), moved[0].data(), sizeof(float) * length), 0);
}

} // namespace
} // namespace tarvel::test
