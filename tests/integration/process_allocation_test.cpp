// Everything process does, down through the loaded module, runs without
// touching the allocator.

#include "support/allocation_counter.h"
#include "support/signals.h"
#include "integration/loaded_plugin.h"

namespace tarvel::test {
namespace {

template <typename Sample>
void expectNoAllocationWhileProcessing(int32 sampleSize, int32 channels)
{
    PluginInstance plugin(loadedModule());
    ASSERT_EQ(plugin.start(processSetup(48000.0, 512, sampleSize), channels), kResultOk);
    AudioBlock<Sample> block(channels, 512);
    const auto noise = whiteNoise(0.5, 512, 5);
    for (auto& channel : block.input)
        std::copy(noise.begin(), noise.end(), channel.begin());
    block.run(*plugin.processor(), 512);

    std::size_t allocations = 0;
    {
        AllocationCounter counter;
        for (int n = 0; n < 200; ++n) {
            // All five parameters automated, several points per block.
            for (Vst::ParamID id = 0; id < 5; ++id) {
                block.changes.addPoint(id, 0, (n % 7) / 7.0);
                block.changes.addPoint(id, 300, (n % 5) / 5.0);
            }
            block.changes.addPoint(99, 10, 0.5); // not a parameter of ours
            block.run(*plugin.processor(), 1 + (n * 37) % 512);
        }
        allocations = counter.allocations();
    }
    EXPECT_EQ(allocations, 0u);
}

TEST(ProcessAllocation, NoneInStereo32Stereo64AndMono)
{
    expectNoAllocationWhileProcessing<float>(Vst::kSample32, 2);
    expectNoAllocationWhileProcessing<double>(Vst::kSample64, 2);
    expectNoAllocationWhileProcessing<float>(Vst::kSample32, 1);
}

TEST(ProcessAllocation, TheCounterSeesAllocationsInsideTheModule)
{
    // A setState allocates inside the module; if the counter missed the
    // module's allocations the test above would prove nothing.
    PluginInstance plugin(loadedModule());
    const Bytes state = plugin.processorState();
    AllocationCounter counter;
    ASSERT_EQ(plugin.restoreProcessorState(state), kResultOk);
    EXPECT_GT(counter.allocations(), 0u);
}

} // namespace
} // namespace tarvel::test
