// Bus layouts and sample sizes as hosts negotiate them, and what process
// does with odd ProcessData.

#include "support/signals.h"
#include "integration/loaded_plugin.h"
#include "protocol/messages.h"

#include <cmath>

namespace tarvel::test {
namespace {

using Vst::SpeakerArr::kMono;
using Vst::SpeakerArr::kStereo;

TEST(BusesThroughTheModule, OneStereoInputAndOutputByDefault)
{
    PluginInstance plugin(loadedModule());
    EXPECT_EQ(plugin.component()->getBusCount(Vst::kAudio, Vst::kInput), 1);
    EXPECT_EQ(plugin.component()->getBusCount(Vst::kAudio, Vst::kOutput), 1);
    EXPECT_EQ(plugin.component()->getBusCount(Vst::kEvent, Vst::kInput), 0);
    Vst::BusInfo info{};
    ASSERT_EQ(plugin.component()->getBusInfo(Vst::kAudio, Vst::kInput, 0, info), kResultOk);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, Vst::kMain);
    EXPECT_NE(plugin.component()->getBusInfo(Vst::kAudio, Vst::kInput, 1, info), kResultOk);
    Vst::SpeakerArrangement arrangement = 0;
    ASSERT_EQ(plugin.processor()->getBusArrangement(Vst::kOutput, 0, arrangement), kResultOk);
    EXPECT_EQ(arrangement, kStereo);
}

TEST(BusesThroughTheModule, MonoToMonoIsAcceptedOtherLayoutsAreRefused)
{
    PluginInstance plugin(loadedModule());
    Vst::SpeakerArrangement mono[] = {kMono};
    Vst::SpeakerArrangement stereo[] = {kStereo};
    Vst::SpeakerArrangement twoStereo[] = {kStereo, kStereo};
    Vst::SpeakerArrangement surround[] = {Vst::SpeakerArr::k51};
    EXPECT_EQ(plugin.processor()->setBusArrangements(mono, 1, stereo, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(stereo, 1, mono, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(twoStereo, 2, stereo, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(surround, 1, mono, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(nullptr, 1, stereo, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(stereo, 0, stereo, 0), kResultFalse);
    // The refusals left the stereo layout in place.
    Vst::SpeakerArrangement arrangement = 0;
    plugin.processor()->getBusArrangement(Vst::kInput, 0, arrangement);
    EXPECT_EQ(arrangement, kStereo);

    ASSERT_EQ(plugin.processor()->setBusArrangements(mono, 1, mono, 1), kResultTrue);
    plugin.processor()->getBusArrangement(Vst::kOutput, 0, arrangement);
    EXPECT_EQ(arrangement, kMono);
    // Any layout that is the same on both sides runs the general path.
    ASSERT_EQ(plugin.processor()->setBusArrangements(surround, 1, surround, 1), kResultTrue);
    ASSERT_EQ(plugin.start(processSetup(), 6), kResultOk);
    AudioBlock<float> block(6, 256);
    EXPECT_EQ(block.run(*plugin.processor(), 256), kResultOk);
}

TEST(BusesThroughTheModule, LayoutsWiderThanTheEngineAreRefusedUpFront)
{
    // 32 channels is as wide as the engine runs; a wider layout accepted
    // here would only have every block refused later.
    PluginInstance plugin(loadedModule());
    Vst::SpeakerArrangement widest[] = {(Vst::SpeakerArrangement(1) << 32) - 1};
    Vst::SpeakerArrangement tooWide[] = {(Vst::SpeakerArrangement(1) << 33) - 1};
    Vst::SpeakerArrangement everything[] = {~Vst::SpeakerArrangement(0)};
    EXPECT_EQ(plugin.processor()->setBusArrangements(tooWide, 1, tooWide, 1), kResultFalse);
    EXPECT_EQ(plugin.processor()->setBusArrangements(everything, 1, everything, 1), kResultFalse);
    Vst::SpeakerArrangement arrangement = 0;
    plugin.processor()->getBusArrangement(Vst::kOutput, 0, arrangement);
    EXPECT_EQ(arrangement, kStereo);

    ASSERT_EQ(plugin.processor()->setBusArrangements(widest, 1, widest, 1), kResultTrue);
    Vst::ProcessSetup setup = processSetup();
    ASSERT_EQ(plugin.processor()->setupProcessing(setup), kResultOk);
    AudioBlock<float> block(32, 64);
    block.input[31][0] = 0.5f;
    EXPECT_EQ(block.run(*plugin.processor(), 64), kResultOk);
}

TEST(BusesThroughTheModule, ProcessesBothSampleSizesAlike)
{
    EXPECT_EQ(PluginInstance(loadedModule()).processor()->canProcessSampleSize(Vst::kSample32), kResultTrue);
    EXPECT_EQ(PluginInstance(loadedModule()).processor()->canProcessSampleSize(Vst::kSample64), kResultTrue);
    EXPECT_EQ(PluginInstance(loadedModule()).processor()->canProcessSampleSize(7), kResultFalse);

    const auto noise = pinkNoise(0.3, 48000, 11);
    const auto tone = sine(440.0, 0.2, 48000, 48000);
    PluginInstance single(loadedModule());
    ASSERT_EQ(single.start(processSetup(48000.0, 512, Vst::kSample32), 2), kResultOk);
    const auto out32 = processSignal<float>(*single.processor(), {noise, tone}, 512);

    PluginInstance twice(loadedModule());
    ASSERT_EQ(twice.start(processSetup(48000.0, 512, Vst::kSample64), 2), kResultOk);
    std::vector<std::vector<double>> wide{{noise.begin(), noise.end()}, {tone.begin(), tone.end()}};
    const auto out64 = processSignal<double>(*twice.processor(), wide, 512);

    // The engine computes in single precision either way.
    double largest = 0.0;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 0; i < out32[c].size(); ++i) {
            ASSERT_EQ(static_cast<double>(out32[c][i]), out64[c][i]) << "channel " << c << " frame " << i;
            largest = std::max(largest, std::abs(out64[c][i]));
        }
    EXPECT_GT(largest, 0.05);
}

TEST(BusesThroughTheModule, ProcessBeforeSetupIsRefused)
{
    PluginInstance plugin(loadedModule());
    AudioBlock<float> block(2, 64);
    EXPECT_EQ(block.run(*plugin.processor(), 64), kResultFalse);
}

TEST(BusesThroughTheModule, AZeroSampleBlockStillTakesItsParameterChanges)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    AudioBlock<float> block(2, 64);
    block.changes.addPoint(targetId, 0, 0.75);
    ASSERT_EQ(block.run(*plugin.processor(), 0), kResultOk);
    PluginInstance restored(loadedModule());
    ASSERT_EQ(restored.restoreProcessorState(plugin.processorState()), kResultOk);
    EXPECT_NEAR(restored.controller()->getParamNormalized(targetId), 0.75, 1e-6);
}

TEST(BusesThroughTheModule, MissingBuffersAreNeverTouched)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    AudioBlock<float> block(2, 128);
    for (auto& channel : block.input)
        std::fill(channel.begin(), channel.end(), 0.25f);

    // No buffer arrays at all.
    Vst::ProcessData& data = block.data(128);
    data.inputs[0].channelBuffers32 = nullptr;
    data.outputs[0].channelBuffers32 = nullptr;
    EXPECT_EQ(plugin.processor()->process(data), kResultOk);

    // Single null channels: the missing input counts as silence, the
    // missing output is skipped.
    float* inputs[2] = {block.input[0].data(), nullptr};
    float* outputs[2] = {nullptr, block.output[1].data()};
    Vst::ProcessData& partial = block.data(128);
    partial.inputs[0].channelBuffers32 = inputs;
    partial.outputs[0].channelBuffers32 = outputs;
    EXPECT_EQ(plugin.processor()->process(partial), kResultOk);

    // Fewer output channels than input channels.
    Vst::ProcessData& narrow = block.data(128);
    narrow.outputs[0].numChannels = 1;
    EXPECT_EQ(plugin.processor()->process(narrow), kResultOk);

    // Bus counts without bus arrays, and no buses at all.
    Vst::ProcessData& noBuses = block.data(128);
    noBuses.inputs = nullptr;
    noBuses.outputs = nullptr;
    EXPECT_EQ(plugin.processor()->process(noBuses), kResultOk);
    Vst::ProcessData& zeroCounts = block.data(128);
    zeroCounts.numInputs = 0;
    zeroCounts.numOutputs = 0;
    EXPECT_EQ(plugin.processor()->process(zeroCounts), kResultOk);

    // More channels than the engine was set up for is refused, not read.
    Vst::ProcessData& wide = block.data(128);
    wide.inputs[0].numChannels = 8;
    EXPECT_EQ(plugin.processor()->process(wide), kResultFalse);

    // And the instance still processes normally afterwards.
    EXPECT_EQ(block.run(*plugin.processor(), 128), kResultOk);
}

TEST(BusesThroughTheModule, BadArgumentsFromTheHostAreAnsweredNotFollowed)
{
    PluginInstance plugin(loadedModule());
    FUnknownPtr<Vst::IConnectionPoint> processorPoint(plugin.component());
    EXPECT_NE(processorPoint->notify(nullptr), kResultOk);
    FUnknownPtr<Vst::IConnectionPoint> controllerPoint(plugin.controller());
    EXPECT_NE(controllerPoint->notify(nullptr), kResultOk);
    // Messages with missing or mistyped attributes.
    auto speedless = plugin.makeMessage(messages::speedChanged);
    EXPECT_NE(processorPoint->notify(speedless), kResultOk);
    // A Speed outside 0..1 (or none at all) changes neither what the
    // processor saves nor the latency it reports.
    const Bytes stateBefore = plugin.processorState();
    const uint32 latencyBefore = plugin.processor()->getLatencySamples();
    for (const double bad : {std::nan(""), -0.5, 2.0, HUGE_VAL}) {
        auto message = plugin.makeMessage(messages::speedChanged);
        message->getAttributes()->setFloat(messages::speedValue, bad);
        EXPECT_NE(processorPoint->notify(message), kResultOk) << bad;
    }
    EXPECT_EQ(plugin.processorState(), stateBefore);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), latencyBefore);
    auto meterless = plugin.makeMessage(messages::meterReading);
    controllerPoint->notify(meterless);
    auto unnamed = plugin.makeMessage("");
    processorPoint->notify(unnamed);

    EXPECT_NE(plugin.controller()->getParamStringByValue(ratioId, 0.5, nullptr), kResultOk);
    Vst::ParameterInfo info{};
    EXPECT_NE(plugin.controller()->getParameterInfo(5, info), kResultOk);
    EXPECT_NE(plugin.controller()->getParameterInfo(-1, info), kResultOk);
    Vst::SpeakerArrangement arrangement = 0;
    EXPECT_NE(plugin.processor()->getBusArrangement(Vst::kInput, 3, arrangement), kResultOk);
    Vst::BusInfo bus{};
    EXPECT_NE(plugin.component()->getBusInfo(Vst::kAudio, Vst::kOutput, -1, bus), kResultOk);

    Vst::ProcessSetup absurd = processSetup(1e12);
    EXPECT_EQ(plugin.processor()->setupProcessing(absurd), kResultFalse);
    Vst::ProcessSetup negative = processSetup(-48000.0);
    EXPECT_EQ(plugin.processor()->setupProcessing(negative), kResultFalse);
    // Still usable afterwards.
    EXPECT_EQ(plugin.start(processSetup(), 2), kResultOk);
}

} // namespace
} // namespace tarvel::test
