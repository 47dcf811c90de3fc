// A host saving and loading states on its user-interface thread while its
// audio thread keeps processing (run under ThreadSanitizer in CI).

#include <atomic>
#include <cmath>
#include <thread>

#include "support/signals.h"
#include "integration/loaded_plugin.h"

namespace tarvel::test {
namespace {

TEST(StateWhileProcessing, GetAndSetStateRaceWithProcessSafely)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(), 2), kResultOk);

    PluginInstance source(loadedModule());
    source.controller()->setParamNormalized(ratioId, 0.9);
    source.controller()->setParamNormalized(targetId, 0.1);
    const Bytes loud = source.controllerState();
    const Bytes plain = plugin.processorState();

    // Both threads only count what goes wrong while they run; the
    // assertions come after the audio thread has been joined.
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    int processFailures = 0, nonFiniteSamples = 0;
    std::thread audio([&] {
        AudioBlock<float> block(2, 256);
        const auto noise = whiteNoise(0.3, 256, 9);
        for (auto& channel : block.input)
            std::copy(noise.begin(), noise.end(), channel.begin());
        while (!stop.load()) {
            block.changes.addPoint(stereoRatioId, 0, (blocks.load() % 10) / 10.0);
            processFailures += block.run(*plugin.processor(), 256) != kResultOk;
            for (const auto& channel : block.output)
                for (const float sample : channel)
                    nonFiniteSamples += !std::isfinite(sample);
            ++blocks;
        }
    });

    int loads = 0, shortStates = 0, refusedLoads = 0;
    // Enough of both, however fast either side runs.
    while (loads < 200 || blocks.load() < 400) {
        shortStates += plugin.processorState().size() <= 4;
        refusedLoads += plugin.restoreProcessorState(loads % 2 ? loud : plain) != kResultOk;
        ++loads;
    }
    stop = true;
    audio.join();
    EXPECT_EQ(processFailures, 0);
    EXPECT_EQ(nonFiniteSamples, 0);
    EXPECT_EQ(shortStates, 0);
    EXPECT_EQ(refusedLoads, 0);

    // Nothing of the race lingers: after one more load the instance renders
    // what an instance that only ever loaded that state renders, once the
    // detectors have forgotten the differing past (three seconds here, the
    // slow detector's window many times over).
    ASSERT_EQ(plugin.restoreProcessorState(loud), kResultOk);
    PluginInstance fresh(loadedModule());
    ASSERT_EQ(fresh.restoreProcessorState(loud), kResultOk);
    ASSERT_EQ(fresh.start(processSetup(), 2), kResultOk);
    const std::vector<std::vector<float>> material{whiteNoise(0.3, 4 * 48000, 4), whiteNoise(0.2, 4 * 48000, 5)};
    const auto raced = processSignal(*plugin.processor(), material, 512);
    const auto expected = processSignal(*fresh.processor(), material, 512);
    float largestDifference = 0.0f;
    for (std::size_t c = 0; c < 2; ++c)
        for (std::size_t i = 3 * 48000; i < material[c].size(); ++i)
            largestDifference = std::max(largestDifference, std::abs(raced[c][i] - expected[c][i]));
    EXPECT_LT(largestDifference, 1e-5f);
}

} // namespace
} // namespace tarvel::test
