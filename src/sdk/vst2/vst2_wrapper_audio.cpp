// Processing set-up, suspend and resume, and the audio callbacks.

#include <cmath>
#include <cstring>

#include "sdk/vst2/vst2_wrapper.h"

namespace Steinberg::Vst {

using namespace vst2;

VstIntPtr Vst2Wrapper::setSampleRate(float rate)
{
    // Applies at the next resume; a running processor keeps its set-up.
    if (!(rate > 0.0f) || !std::isfinite(rate))
        return 0;
    sampleRate = static_cast<double>(rate);
    return 1;
}

VstIntPtr Vst2Wrapper::setBlockSize(VstIntPtr size)
{
    if (size <= 0 || size > 0x7FFFFFFF)
        return 0;
    maxBlockSize = static_cast<int32>(size);
    return 1;
}

VstIntPtr Vst2Wrapper::setProcessPrecision(VstIntPtr precision)
{
    if (active)
        return 0;
    if (precision == kVstProcessPrecision32) {
        sampleSize = kSample32;
        return 1;
    }
    if (precision == kVstProcessPrecision64 && (effect.flags & effFlagsCanDoubleReplacing)) {
        sampleSize = kSample64;
        return 1;
    }
    return 0;
}

VstIntPtr Vst2Wrapper::setSpeakerArrangement(const VstSpeakerArrangement* inputs, const VstSpeakerArrangement* outputs)
{
    if (active || !inputs || !outputs || inputs->numChannels != outputs->numChannels)
        return 0;
    SpeakerArrangement arrangement = 0;
    if (inputs->numChannels == 1)
        arrangement = SpeakerArr::kMono;
    else if (inputs->numChannels == 2)
        arrangement = SpeakerArr::kStereo;
    else
        return 0;
    SpeakerArrangement in = arrangement, out = arrangement;
    if (processor->setBusArrangements(&in, 1, &out, 1) != kResultTrue)
        return 0;
    channelCount = inputs->numChannels;
    effect.numInputs = effect.numOutputs = channelCount;
    return 1;
}

// The order VST 3 components expect: set up while inactive, then activate,
// then start processing; and the reverse on the way down.
bool Vst2Wrapper::start()
{
    ProcessSetup setup{kRealtime, sampleSize, maxBlockSize, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    active = true;
    processor->setProcessing(true);
    return true;
}

void Vst2Wrapper::stop()
{
    processor->setProcessing(false);
    component->setActive(false);
    active = false;
}

void Vst2Wrapper::prepareProcessData()
{
    processData = ProcessData{};
    processData.processMode = kRealtime;
    processData.symbolicSampleSize = sampleSize;
    processData.numInputs = processData.numOutputs = 1;
    inputBuses = AudioBusBuffers{};
    outputBuses = AudioBusBuffers{};
    inputBuses.numChannels = outputBuses.numChannels = channelCount;
    processData.inputs = &inputBuses;
    processData.outputs = &outputBuses;
    processData.inputParameterChanges = blockChanges.get();
}

// Values the host set while the effect was suspended reach the processor in
// an empty block, and the processor is set up once more so that it starts
// from them (a Speed set while suspended decides the engine and its
// latency) instead of ramping to them from older values.
//
// Hosts ignore the answer; it is 1 when the effect runs afterwards and 0
// when the processor refused the set-up, so a host that cares can tell.
VstIntPtr Vst2Wrapper::resume()
{
    if (active)
        return 1;
    if (!start())
        return 0;
    prepareProcessData();
    blockChanges->clear();
    processorValues->take(*blockChanges);
    if (blockChanges->getParameterCount() > 0) {
        processData.numSamples = 0;
        processor->process(processData);
        stop();
        if (!start())
            return 0;
    }
    blockChanges->clear();
    updateLatency(false);
    processing.store(true, std::memory_order_release);
    return 1;
}

// Values set while the effect is suspended (a chunk's controller half
// among them) belong in a chunk saved now: the processor hears them in an
// empty block of a short activation, as resume would hand them over. While
// the effect runs, its next block hands them over instead.
void Vst2Wrapper::deliverPendingValues()
{
    if (active)
        return;
    blockChanges->clear();
    processorValues->take(*blockChanges);
    if (blockChanges->getParameterCount() > 0 && start()) {
        prepareProcessData();
        processData.numSamples = 0;
        processor->process(processData);
        stop();
    }
    blockChanges->clear();
}

VstIntPtr Vst2Wrapper::suspend()
{
    if (!active)
        return 0;
    processing.store(false, std::memory_order_release);
    stop();
    return 0;
}

void Vst2Wrapper::updateLatency(bool tellHost)
{
    effect.initialDelay = static_cast<VstInt32>(processor->getLatencySamples());
    if (tellHost)
        hostCall(audioMasterIOChanged, 0, 0, nullptr, 0.0f);
}

namespace {

template <typename Sample>
void silence(Sample** outputs, int32 channels, int32 frames) noexcept
{
    if (!outputs || frames <= 0)
        return;
    for (int32 c = 0; c < channels; ++c)
        if (outputs[c])
            std::memset(outputs[c], 0, sizeof(Sample) * static_cast<std::size_t>(frames));
}

template <typename Sample>
Sample**& channelBuffers(AudioBusBuffers& bus) noexcept;

template <>
float**& channelBuffers<float>(AudioBusBuffers& bus) noexcept
{
    return bus.channelBuffers32;
}

template <>
double**& channelBuffers<double>(AudioBusBuffers& bus) noexcept
{
    return bus.channelBuffers64;
}

} // namespace

template <typename Sample>
void Vst2Wrapper::processBlock(Sample** inputs, Sample** outputs, VstInt32 frames) noexcept
{
    constexpr int32 blockSampleSize = sizeof(Sample) == sizeof(double) ? kSample64 : kSample32;
    // A suspended effect, or a block in the precision it was not set up
    // for, gives silence rather than whatever the buffers held.
    if (!processing.load(std::memory_order_acquire) || blockSampleSize != processData.symbolicSampleSize) {
        silence(outputs, channelCount, frames);
        return;
    }
    blockChanges->clear();
    processorValues->take(*blockChanges);
    channelBuffers<Sample>(inputBuses) = inputs;
    channelBuffers<Sample>(outputBuses) = outputs;
    processData.numSamples = frames > 0 ? frames : 0;
    processor->process(processData);
}

void VST2_CALLBACK Vst2Wrapper::processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    if (Vst2Wrapper* wrapper = from(effect))
        wrapper->processBlock(inputs, outputs, frames);
}

void VST2_CALLBACK Vst2Wrapper::processDoubleEntry(AEffect* effect, double** inputs, double** outputs,
                                                   VstInt32 frames)
{
    if (Vst2Wrapper* wrapper = from(effect))
        wrapper->processBlock(inputs, outputs, frames);
}

} // namespace Steinberg::Vst
