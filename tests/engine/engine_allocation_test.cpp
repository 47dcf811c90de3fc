// The audio thread's part of the engine must not touch the allocator.

#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/realtime_processor.h"
#include "support/allocation_counter.h"
#include "support/signals.h"
#include "tools/host/parameter_changes.h"

namespace tarvel {
namespace {

TEST(EngineAllocation, BlocksWithAutomationAndStateLoadsAllocateNothing)
{
    for (const std::int32_t channels : {1, 2, 6}) {
        SCOPED_TRACE(channels);
        const std::int32_t block = 512;
        RealtimeProcessor engine({48000, channels, Parameters{}});
        std::vector<std::vector<float>> in(static_cast<std::size_t>(channels), test::pinkNoise(0.5, block, 3));
        std::vector<std::vector<float>> out(in.size(), std::vector<float>(block));
        std::vector<std::vector<double>> in64(in.size(), std::vector<double>(block, 0.25)), out64 = in64;
        std::vector<const float*> inputs;
        std::vector<float*> outputs;
        std::vector<const double*> inputs64;
        std::vector<double*> outputs64;
        for (std::size_t c = 0; c < in.size(); ++c) {
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
            inputs64.push_back(in64[c].data());
            outputs64.push_back(out64[c].data());
        }
        // Every parameter automated, including a Speed switch that changes
        // the detector's setting mid-block.
        host::ParameterChanges changes;
        for (std::int32_t id = 0; id < ParameterCount; ++id) {
            Steinberg::int32 index = 0;
            auto* queue = changes.addParameterData(static_cast<Steinberg::Vst::ParamID>(id), index);
            queue->addPoint(10, 0.1 * id, index);
            queue->addPoint(300, id == Speed ? 0.0 : 0.9, index);
        }
        Steinberg::Vst::ProcessData data{};
        data.numSamples = block;
        data.inputParameterChanges = &changes;
        Parameters loaded;
        loaded[Ratio] = 0.9f;

        test::AllocationCounter counter;
        for (int i = 0; i < 50; ++i) {
            if (i == 20)
                engine.exchange().publish(loaded);
            engine.beginBlock(data);
            if (i % 2)
                engine.processBlock(inputs.data(), outputs.data(), channels, block);
            else
                engine.processBlock(inputs64.data(), outputs64.data(), channels, block);
        }
        EXPECT_EQ(counter.allocations(), 0u);
        EXPECT_EQ(counter.deallocations(), 0u);
    }
}

// Every allocation function a container or a new-expression in the engine
// could reach is counted, with its release; if one were missed, the zero
// counts above would prove nothing.
TEST(EngineAllocation, TheCounterSeesEveryFormOfAllocation)
{
    test::AllocationCounter counter;
    void* volatile single = ::operator new(24);
    void* volatile array = ::operator new[](40);
    void* volatile aligned = ::operator new(48, std::align_val_t{64});
    void* volatile alignedArray = ::operator new[](48, std::align_val_t{64});
    void* volatile quiet = ::operator new(16, std::nothrow);
    EXPECT_EQ(counter.allocations(), 5u);
    EXPECT_EQ(counter.deallocations(), 0u);
    ::operator delete(single);
    ::operator delete[](array);
    ::operator delete(aligned, std::align_val_t{64});
    ::operator delete[](alignedArray, std::align_val_t{64});
    ::operator delete(quiet);
    EXPECT_EQ(counter.deallocations(), 5u);
    // A standard container's allocations, however many its library makes.
    const std::size_t before = counter.allocations();
    std::vector<int>* volatile numbers = new std::vector<int>(100);
    EXPECT_GE(counter.allocations(), before + 2);
    delete numbers;
    EXPECT_EQ(counter.deallocations(), counter.allocations());
}

} // namespace
} // namespace tarvel
