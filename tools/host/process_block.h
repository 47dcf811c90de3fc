#pragma once
// The ProcessData a host hands to IAudioProcessor::process for one block:
// one input and one output bus over the caller's channel buffers, in the
// sample size of the buffers' type. The parameter changes and the process
// context, which hosts manage block by block, are the caller's to set in
// data afterwards.

#include <type_traits>

#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace tarvel::host {

class ProcessBlock {
public:
    ProcessBlock() = default;
    // data points into this object.
    ProcessBlock(const ProcessBlock&) = delete;
    ProcessBlock& operator=(const ProcessBlock&) = delete;

    // channels buffers of frames samples each way; the previous block's
    // settings are cleared.
    template <typename Sample>
    Steinberg::Vst::ProcessData& assemble(const Sample* const* inputs, Sample* const* outputs, Steinberg::int32 channels,
                                          Steinberg::int32 frames,
                                          Steinberg::int32 processMode = Steinberg::Vst::kRealtime)
    {
        static_assert(std::is_same_v<Sample, float> || std::is_same_v<Sample, double>);
        inputBus = {};
        outputBus = {};
        inputBus.numChannels = outputBus.numChannels = channels;
        // The SDK's buffers are not const; processors do not write inputs.
        if constexpr (std::is_same_v<Sample, float>) {
            inputBus.channelBuffers32 = const_cast<float**>(inputs);
            outputBus.channelBuffers32 = const_cast<float**>(outputs);
        } else {
            inputBus.channelBuffers64 = const_cast<double**>(inputs);
            outputBus.channelBuffers64 = const_cast<double**>(outputs);
        }
        data = {};
        data.processMode = processMode;
        data.symbolicSampleSize = std::is_same_v<Sample, float> ? Steinberg::Vst::kSample32 : Steinberg::Vst::kSample64;
        data.numSamples = frames;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inputBus;
        data.outputs = &outputBus;
        return data;
    }

    // A block without audio, as hosts send to deliver parameter changes
    // while nothing plays.
    Steinberg::Vst::ProcessData& assembleEmpty(Steinberg::int32 symbolicSampleSize,
                                               Steinberg::int32 processMode = Steinberg::Vst::kRealtime)
    {
        data = {};
        data.processMode = processMode;
        data.symbolicSampleSize = symbolicSampleSize;
        return data;
    }

    Steinberg::Vst::ProcessData data{};

private:
    Steinberg::Vst::AudioBusBuffers inputBus{};
    Steinberg::Vst::AudioBusBuffers outputBus{};
};

} // namespace tarvel::host
