#pragma once
// The built module loaded once per test program, as a host loads it, and
// what tests need to drive its processor block by block.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <memory>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "public.sdk/source/common/memorystream.h"
#include "tools/host/module_library.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/plugin_instance.h"
#include "tools/host/process_block.h"

namespace tarvel::test {

using namespace Steinberg;
using host::Bytes;
using host::PluginInstance;

inline host::PluginModule& loadedModule()
{
    static host::PluginModule module(TARVEL_MODULE_PATH);
    return module;
}

// The normalised Speed a saved state (either side's) holds, or -1.
inline double speedInState(const Bytes& state)
{
    const std::string text(state.begin(), state.end());
    const std::size_t at = text.find("\"speed\":");
    return at == std::string::npos ? -1.0 : std::strtod(text.c_str() + at + 8, nullptr);
}

// Parameter ids as the plug-in registers them.
enum : Vst::ParamID { bypassId = 0, speedId = 1, ratioId = 2, stereoRatioId = 3, targetId = 4 };

inline Vst::ProcessSetup processSetup(double sampleRate = 48000.0, int32 maxBlock = 512,
                                      int32 sampleSize = Vst::kSample32)
{
    return {Vst::kRealtime, sampleSize, maxBlock, sampleRate};
}

// Input and output buffers for one bus each, the ProcessData pointing at
// them, and the block's parameter queues.
template <typename Sample>
class AudioBlock {
public:
    AudioBlock(int32 channels, int32 capacity)
        : input(static_cast<std::size_t>(channels), std::vector<Sample>(static_cast<std::size_t>(capacity))),
          output(static_cast<std::size_t>(channels), std::vector<Sample>(static_cast<std::size_t>(capacity)))
    {
        for (int32 c = 0; c < channels; ++c) {
            inputPointers.push_back(input[static_cast<std::size_t>(c)].data());
            outputPointers.push_back(output[static_cast<std::size_t>(c)].data());
        }
    }

    // The ProcessData of a block of frames; valid until the next call.
    Vst::ProcessData& data(int32 frames)
    {
        Vst::ProcessData& processData =
            block.assemble(inputPointers.data(), outputPointers.data(), static_cast<int32>(input.size()), frames);
        processData.inputParameterChanges = &changes;
        return processData;
    }

    // Processes frames of the input buffers from offset 0 and empties the
    // parameter queues afterwards, as a host does between blocks.
    tresult run(Vst::IAudioProcessor& processor, int32 frames)
    {
        const tresult result = processor.process(data(frames));
        changes.clear();
        return result;
    }

    std::vector<std::vector<Sample>> input;
    std::vector<std::vector<Sample>> output;
    host::ParameterChanges changes;

private:
    std::vector<Sample*> inputPointers;
    std::vector<Sample*> outputPointers;
    host::ProcessBlock block;
};

// Runs a whole signal through an instance that has been started, in blocks
// of blockSize, and returns the output channels.
template <typename Sample>
std::vector<std::vector<Sample>> processSignal(Vst::IAudioProcessor& processor,
                                               const std::vector<std::vector<Sample>>& signal, int32 blockSize)
{
    const auto channels = static_cast<int32>(signal.size());
    const std::size_t length = signal.front().size();
    AudioBlock<Sample> block(channels, blockSize);
    std::vector<std::vector<Sample>> result(signal.size(), std::vector<Sample>(length));
    for (std::size_t start = 0; start < length; start += static_cast<std::size_t>(blockSize)) {
        const auto frames = static_cast<int32>(std::min<std::size_t>(static_cast<std::size_t>(blockSize), length - start));
        for (std::size_t c = 0; c < signal.size(); ++c)
            std::copy_n(signal[c].begin() + static_cast<long>(start), frames, block.input[c].begin());
        EXPECT_EQ(block.run(processor, frames), kResultOk);
        for (std::size_t c = 0; c < signal.size(); ++c)
            std::copy_n(block.output[c].begin(), frames, result[c].begin() + static_cast<long>(start));
    }
    return result;
}

// The float attribute of a message, or NaN when it has none by that name.
inline double floatAttribute(Vst::IMessage* message, const char* name)
{
    double value = std::numeric_limits<double>::quiet_NaN();
    if (message && message->getAttributes())
        message->getAttributes()->getFloat(name, value);
    return value;
}

} // namespace tarvel::test
