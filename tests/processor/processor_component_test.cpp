// The processor component driven directly, the way a host calls it.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/flush_to_zero.h"
#include "processor/processor.h"
#include "public.sdk/source/common/memorystream.h"
#include "support/allocation_counter.h"
#include "support/signals.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/process_block.h"

namespace tarvel {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

struct ProcessorFixture : testing::Test {
    ProcessorFixture() { EXPECT_EQ(processor->initialize(nullptr), kResultOk); }
    ~ProcessorFixture() override { processor->terminate(); }

    tresult setup(double rate = 48000.0, int32 sampleSize = kSample32)
    {
        ProcessSetup s{kRealtime, sampleSize, 4096, rate};
        return processor->setupProcessing(s);
    }

    tresult process(int32 samples, IParameterChanges* changes = nullptr)
    {
        left.assign(static_cast<std::size_t>(std::max(samples, 1)), 0.25f);
        right = left;
        float* channels[2] = {left.data(), right.data()};
        ProcessData& data = block.assemble(channels, channels, 2, samples);
        data.inputParameterChanges = changes;
        return processor->process(data);
    }

    std::string state()
    {
        MemoryStream stream;
        EXPECT_EQ(processor->getState(&stream), kResultOk);
        return std::string(stream.getData(), static_cast<std::size_t>(stream.getSize()));
    }

    IPtr<Processor> processor = owned(new Processor);
    std::vector<float> left, right;
    host::ProcessBlock block;
};

TEST_F(ProcessorFixture, ProcessesOnlyAfterSetupAndReportsTheDetectorDelay)
{
    EXPECT_EQ(process(64), kResultFalse);
    EXPECT_EQ(processor->getLatencySamples(), 0u);
    EXPECT_EQ(processor->getTailSamples(), 1323000u);
    ASSERT_EQ(setup(), kResultOk);
    EXPECT_NEAR(static_cast<double>(processor->getLatencySamples()), 5926.0, 2.0);
    EXPECT_EQ(processor->getTailSamples(), 1440000u);
    EXPECT_EQ(process(64), kResultOk);
    // Nonsensical rates are refused and keep the engine.
    EXPECT_EQ(setup(0.0), kResultFalse);
    EXPECT_EQ(setup(-48000.0), kResultFalse);
    EXPECT_EQ(processor->getTailSamples(), 1440000u);
    EXPECT_EQ(process(64), kResultOk);
}

TEST_F(ProcessorFixture, BusArrangementsMustMatchOneToOne)
{
    SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    SpeakerArrangement two[2] = {stereo, stereo};
    EXPECT_EQ(processor->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    ASSERT_EQ(setup(), kResultOk);
    // Stereo blocks into a mono engine are refused, mono ones processed.
    EXPECT_EQ(process(64), kResultFalse);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultOk);
    EXPECT_EQ(processor->canProcessSampleSize(7), kResultFalse);
}

// A zero-sample block still delivers its parameter changes, and the next
// getState stores the automated value.
TEST_F(ProcessorFixture, StateFollowsAutomationEvenFromEmptyBlocks)
{
    ASSERT_EQ(setup(), kResultOk);
    const std::string before = state();
    host::ParameterChanges changes;
    int32 index = 0;
    changes.addParameterData(Ratio, index)->addPoint(0, 0.75, index);
    EXPECT_EQ(process(0, &changes), kResultOk);
    const std::string after = state();
    EXPECT_NE(after, before);
    EXPECT_NE(after.find("\"ratio\":0.75"), std::string::npos) << after;

    // Loading a state replaces that automation value; saving again gives
    // the loaded bytes.
    MemoryStream loaded;
    loaded.write(const_cast<char*>(before.data()), static_cast<int32>(before.size()), nullptr);
    loaded.seek(0, IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(processor->setState(&loaded), kResultOk);
    EXPECT_EQ(state(), before);
}

TEST_F(ProcessorFixture, AFailedSetStateChangesNothing)
{
    ASSERT_EQ(setup(), kResultOk);
    const std::string before = state();
    const uint32 latency = processor->getLatencySamples();
    MemoryStream bad;
    const char text[] = "\x02\0\0\0[]";
    bad.write(const_cast<char*>(text), 6, nullptr);
    bad.seek(0, IBStream::kIBSeekSet, nullptr);
    EXPECT_EQ(processor->setState(&bad), kResultFalse);
    EXPECT_EQ(processor->setState(nullptr), kResultFalse);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(processor->getLatencySamples(), latency);
}

// Hosts may pass null buffers, no buses and no samples to flush parameters.
TEST_F(ProcessorFixture, SurvivesDegenerateProcessCalls)
{
    ASSERT_EQ(setup(), kResultOk);
    ProcessData empty{};
    EXPECT_EQ(processor->process(empty), kResultOk);
    AudioBusBuffers nullBuffers{};
    nullBuffers.numChannels = 2;
    ProcessData data{};
    data.numSamples = 32;
    data.numInputs = data.numOutputs = 1;
    data.inputs = data.outputs = &nullBuffers;
    EXPECT_EQ(processor->process(data), kResultOk);
}

TEST_F(ProcessorFixture, ProcessAllocatesNothingAndRestoresTheFloatingPointMode)
{
    ASSERT_EQ(setup(), kResultOk);
    host::ParameterChanges changes;
    for (int32 id = 0; id < ParameterCount; ++id) {
        int32 index = 0;
        changes.addParameterData(static_cast<ParamID>(id), index)->addPoint(5, 0.3, index);
    }
    process(512, &changes);
    left.assign(512, 0.1f);
    right = left;
    const auto modeBefore = vantle::platform::floatingPointMode();
    std::size_t allocations = 0;
    {
        test::AllocationCounter counter;
        for (int i = 0; i < 20; ++i)
            process(512, &changes);
        allocations = counter.allocations();
    }
    EXPECT_EQ(allocations, 0u);
    EXPECT_EQ(vantle::platform::floatingPointMode(), modeBefore);
}

} // namespace
} // namespace tarvel
