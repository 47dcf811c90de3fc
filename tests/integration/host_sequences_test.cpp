// Call sequences real hosts make that are easy to get wrong, replayed
// through the loaded module.

#include <numeric>

#include "support/signals.h"
#include "integration/loaded_plugin.h"
#include "public.sdk/source/common/memorystream.h"

namespace tarvel::test {
namespace {

std::vector<std::vector<float>> stereoMaterial(std::int64_t length)
{
    auto left = pinkNoise(0.4, length, 3);
    auto right = sine(220.0, 0.3, 48000, length);
    for (std::size_t i = 0; i < right.size(); ++i)
        right[i] += 0.5f * left[i];
    return {left, right};
}

TEST(HostSequences, FlushingParametersWithNullBuffersNoBusesAndZeroSamples)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    host::ParameterChanges changes;
    changes.addPoint(ratioId, 0, 0.2);
    Vst::ProcessData flush{};
    flush.numSamples = 0;
    flush.numInputs = 0;
    flush.numOutputs = 0;
    flush.inputParameterChanges = &changes;
    EXPECT_EQ(plugin.processor()->process(flush), kResultOk);
    PluginInstance restored(loadedModule());
    restored.restoreProcessorState(plugin.processorState());
    EXPECT_NEAR(restored.controller()->getParamNormalized(ratioId), 0.2, 1e-6);
}

// Where an impulse comes out of a stereo instance at rest, in samples.
std::int64_t measuredDelay(PluginInstance& plugin, int32 block)
{
    const auto latency = static_cast<std::int64_t>(plugin.processor()->getLatencySamples());
    AudioBlock<float> audio(2, block);
    // Silence until the delay lines hold nothing of the blocks before.
    for (std::int64_t done = 0; done < 2 * latency + block; done += block)
        EXPECT_EQ(audio.run(*plugin.processor(), block), kResultOk);
    audio.input[0][0] = audio.input[1][0] = 0.5f;
    for (std::int64_t start = 0; start <= latency; start += block) {
        EXPECT_EQ(audio.run(*plugin.processor(), block), kResultOk);
        audio.input[0][0] = audio.input[1][0] = 0.0f;
        for (int32 i = 0; i < block; ++i)
            if (audio.output[0][static_cast<std::size_t>(i)] != 0.0f)
                return start + i;
    }
    return -1;
}

// Automation a host delivers in a block whose audio is not processed (a
// flush without buffers, or a block refused for having more channels than
// the buses) is taken at once, so the engine runs what the host shows and
// the processor saves; Speed is where a mismatch is heard, as a latency
// the audio does not have.
TEST(HostSequences, AutomationInABlockWithoutAudioRunsAtOnce)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(48000.0, 512), 2), kResultOk);
    const std::uint32_t slow = plugin.processor()->getLatencySamples();

    host::ParameterChanges changes;
    changes.addPoint(speedId, 0, 0.0);
    Vst::ProcessData flush{};
    flush.inputParameterChanges = &changes;
    EXPECT_EQ(plugin.processor()->process(flush), kResultOk);
    // The host shows its automation on the controller, which tells the
    // processor the new Speed.
    plugin.controller()->setParamNormalized(speedId, 0.0);
    const std::uint32_t fast = plugin.processor()->getLatencySamples();
    ASSERT_LT(fast, slow);
    EXPECT_EQ(measuredDelay(plugin, 512), fast);

    AudioBlock<float> tooWide(6, 64);
    tooWide.changes.addPoint(speedId, 10, 1.0);
    EXPECT_EQ(tooWide.run(*plugin.processor(), 64), kResultFalse);
    plugin.controller()->setParamNormalized(speedId, 1.0);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), slow);
    EXPECT_EQ(measuredDelay(plugin, 512), slow);
    EXPECT_EQ(speedInState(plugin.processorState()), 1.0);
}

TEST(HostSequences, ProcessingSwitchedOffAndOnWithoutABlockBetween)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    plugin.processor()->setProcessing(false);
    plugin.processor()->setProcessing(true);
    plugin.processor()->setProcessing(true);
    AudioBlock<float> block(2, 256);
    EXPECT_EQ(block.run(*plugin.processor(), 256), kResultOk);
}

TEST(HostSequences, SetupAgainWhileActiveBetweenBlocksStartsAFreshEngine)
{
    const auto material = stereoMaterial(48000);
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);
    processSignal(*plugin.processor(), material, 512);
    Vst::ProcessSetup again = processSetup(96000.0, 1024);
    ASSERT_EQ(plugin.processor()->setupProcessing(again), kResultOk);
    const auto afterResetup = processSignal(*plugin.processor(), material, 1024);

    PluginInstance fresh(loadedModule());
    ASSERT_EQ(fresh.start(processSetup(96000.0, 1024), 2), kResultOk);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), fresh.processor()->getLatencySamples());
    EXPECT_GT(plugin.processor()->getLatencySamples(), 10000u);
    EXPECT_EQ(processSignal(*fresh.processor(), material, 1024), afterResetup);
}

TEST(HostSequences, ControllerRestoredBeforeTheComponentState)
{
    PluginInstance saved(loadedModule());
    saved.controller()->setParamNormalized(targetId, 0.9);
    saved.controller()->setParamNormalized(speedId, 0.0);
    saved.restoreProcessorState(saved.controllerState());
    const Bytes controllerState = saved.controllerState();
    const Bytes processorState = saved.processorState();

    // Some hosts restore the controller's own state first, then hand it
    // the component's.
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.restoreControllerState(controllerState), kResultOk);
    MemoryStream componentStream(const_cast<std::uint8_t*>(processorState.data()),
                                 static_cast<TSize>(processorState.size()));
    ASSERT_EQ(plugin.controller()->setComponentState(&componentStream), kResultOk);
    MemoryStream processorStream(const_cast<std::uint8_t*>(processorState.data()),
                                 static_cast<TSize>(processorState.size()));
    ASSERT_EQ(plugin.component()->setState(&processorStream), kResultOk);
    EXPECT_NEAR(plugin.controller()->getParamNormalized(targetId), 0.9, 1e-6);
    EXPECT_EQ(plugin.controller()->getParamNormalized(speedId), 0.0);
    PluginInstance check(loadedModule());
    ASSERT_EQ(check.restoreProcessorState(plugin.processorState()), kResultOk);
    EXPECT_NEAR(check.controller()->getParamNormalized(targetId), 0.9, 1e-6);
}

TEST(HostSequences, BlockSizesFromOneToBeyondTheDeclaredMaximumGiveTheSameAudio)
{
    const auto material = stereoMaterial(30000);
    PluginInstance reference(loadedModule());
    ASSERT_EQ(reference.start(processSetup(48000.0, 512), 2), kResultOk);
    const auto expected = processSignal(*reference.processor(), material, 512);

    PluginInstance varied(loadedModule());
    ASSERT_EQ(varied.start(processSetup(48000.0, 512), 2), kResultOk);
    const int32 sizes[] = {1, 2, 3, 63, 64, 65, 511, 512, 513, 2048, 4097, 7};
    AudioBlock<float> block(2, 4097);
    std::vector<std::vector<float>> output(2, std::vector<float>(material[0].size()));
    std::size_t position = 0;
    for (std::size_t n = 0; position < material[0].size(); ++n) {
        const auto frames =
            static_cast<int32>(std::min<std::size_t>(static_cast<std::size_t>(sizes[n % std::size(sizes)]),
                                                     material[0].size() - position));
        for (std::size_t c = 0; c < 2; ++c)
            std::copy_n(material[c].begin() + static_cast<long>(position), frames, block.input[c].begin());
        ASSERT_EQ(block.run(*varied.processor(), frames), kResultOk);
        for (std::size_t c = 0; c < 2; ++c)
            std::copy_n(block.output[c].begin(), frames, output[c].begin() + static_cast<long>(position));
        position += static_cast<std::size_t>(frames);
    }
    EXPECT_EQ(output, expected);
}

TEST(HostSequences, AHostThatNeverSetsBusArrangementsGetsStereo)
{
    PluginInstance plugin(loadedModule());
    Vst::ProcessSetup setup = processSetup();
    ASSERT_EQ(plugin.processor()->setupProcessing(setup), kResultOk);
    ASSERT_EQ(plugin.component()->setActive(true), kResultOk);
    const auto material = stereoMaterial(48000);
    const auto out = processSignal(*plugin.processor(), material, 512);
    EXPECT_GT(rms(out[0], 24000, 48000), 0.01);
    EXPECT_GT(rms(out[1], 24000, 48000), 0.01);
    plugin.component()->setActive(false);
}

TEST(HostSequences, AHostForcingMonoGetsMonoCompression)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 1), kResultOk);
    EXPECT_EQ(plugin.processor()->getLatencySamples(), 5926u);
    // A loud mono tone is pulled down towards the -20 target.
    const auto tone = sine(1000.0, 0.5, 48000, 5 * 48000);
    const auto out = processSignal<float>(*plugin.processor(), {tone}, 512);
    const double inputLevel = 20.0 * std::log10(rms(tone, 4 * 48000, 5 * 48000));
    const double outputLevel = 20.0 * std::log10(rms(out[0], 4 * 48000, 5 * 48000));
    EXPECT_LT(outputLevel, inputLevel - 2.0);
}

} // namespace
} // namespace tarvel::test
