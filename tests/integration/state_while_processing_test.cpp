// A host saving and loading states on its user-interface thread while its
// audio thread keeps processing (run under ThreadSanitizer in CI).

#include <atomic>
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

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::atomic<bool> processFailed{false};
    std::thread audio([&] {
        AudioBlock<float> block(2, 256);
        const auto noise = whiteNoise(0.3, 256, 9);
        for (auto& channel : block.input)
            std::copy(noise.begin(), noise.end(), channel.begin());
        while (!stop.load()) {
            block.changes.addPoint(stereoRatioId, 0, (blocks.load() % 10) / 10.0);
            if (block.run(*plugin.processor(), 256) != kResultOk)
                processFailed = true;
            ++blocks;
        }
    });

    int loads = 0;
    // Enough of both, however fast either side runs.
    while (loads < 200 || blocks.load() < 400) {
        const Bytes saved = plugin.processorState();
        ASSERT_GT(saved.size(), 4u);
        ASSERT_EQ(plugin.restoreProcessorState(loads % 2 ? loud : plain), kResultOk);
        ++loads;
    }
    stop = true;
    audio.join();
    EXPECT_FALSE(processFailed.load());
    EXPECT_GT(loads, 0);

    // The last load wins once the audio thread has picked it up.
    ASSERT_EQ(plugin.restoreProcessorState(loud), kResultOk);
    AudioBlock<float> block(2, 64);
    block.run(*plugin.processor(), 64);
    PluginInstance check(loadedModule());
    check.restoreProcessorState(plugin.processorState());
    EXPECT_NEAR(check.controller()->getParamNormalized(ratioId), 0.9, 1e-6);
}

} // namespace
} // namespace tarvel::test
