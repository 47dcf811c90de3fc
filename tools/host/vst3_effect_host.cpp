#include "tools/host/vst3_effect_host.h"

#include <stdexcept>

#include "pluginterfaces/base/ustring.h"

namespace tarvel::host {

using namespace Steinberg;

Vst3EffectHost::Vst3EffectHost(const std::string& modulePath)
    : module(std::make_unique<PluginModule>(moduleBinaryPath(modulePath))),
      plugin(std::make_unique<PluginInstance>(*module))
{
    plugin->handler().onRestart = [this](int32 flags) {
        if (flags & Vst::kLatencyChanged)
            restartPending = true;
    };
}

Vst3EffectHost::~Vst3EffectHost()
{
    plugin->handler().onRestart = nullptr;
    plugin.reset();
}

void Vst3EffectHost::setParameter(std::uint32_t id, double normalized)
{
    plugin->controller()->setParamNormalized(id, normalized);
    if (!prepared) {
        // Values set before processing are where the instance starts, as a
        // loaded project's state would be, not an edit ramping from defaults.
        startValuesChanged = true;
        return;
    }
    if (pendingChanges.addPoint(id, 0, normalized) != kResultOk)
        throw std::runtime_error("too many parameter changes queued for one block");
}

double Vst3EffectHost::parameter(std::uint32_t id)
{
    return plugin->controller()->getParamNormalized(id);
}

std::string Vst3EffectHost::parameterDisplay(std::uint32_t id, double normalized)
{
    Vst::String128 text{};
    if (plugin->controller()->getParamStringByValue(id, normalized, text) != kResultOk)
        return {};
    char narrow[128]{};
    UString(text, 128).toAscii(narrow, 128);
    return narrow;
}

void Vst3EffectHost::prepare(const ProcessSetup& setup)
{
    if (setup.channels != 1 && setup.channels != 2)
        throw std::runtime_error("only mono and stereo can be processed");
    if (setup.maxBlockSize < 1)
        throw std::runtime_error("the block size must be at least 1");
    stop();
    if (startValuesChanged) {
        if (plugin->restoreProcessorState(plugin->controllerState()) != kResultOk)
            throw std::runtime_error("the processor refused the start values");
        startValuesChanged = false;
    }
    current = setup;
    Vst::ProcessSetup vstSetup{Vst::kOffline,
                               setup.doublePrecision ? Vst::kSample64 : Vst::kSample32,
                               setup.maxBlockSize, setup.sampleRate};
    if (plugin->start(vstSetup, setup.channels) != kResultOk) {
        plugin->stop();
        throw std::runtime_error("the plug-in refused to process " + std::to_string(setup.channels) +
                                 " channel(s) at " + std::to_string(setup.sampleRate) + " Hz");
    }
    prepared = true;
    restartPending = false;
    context = {};
    context.state = Vst::ProcessContext::kPlaying;
    context.sampleRate = setup.sampleRate;
}

std::int32_t Vst3EffectHost::latency()
{
    return static_cast<std::int32_t>(plugin->processor()->getLatencySamples());
}

void Vst3EffectHost::restartIfAsked()
{
    if (!restartPending)
        return;
    restartPending = false;
    // The edit that asked for the restart is still queued; the processor
    // must have it before it is set up again, or the new engine would be
    // built from the old values. Hosts flush it with an empty block.
    Vst::ProcessData flush{};
    flush.processMode = Vst::kOffline;
    flush.symbolicSampleSize = current.doublePrecision ? Vst::kSample64 : Vst::kSample32;
    flush.inputParameterChanges = &pendingChanges;
    flush.outputParameterChanges = &outputChanges;
    plugin->processor()->process(flush);
    pendingChanges.clear();
    outputChanges.clear();
    plugin->stop();
    Vst::ProcessSetup vstSetup{Vst::kOffline,
                               current.doublePrecision ? Vst::kSample64 : Vst::kSample32,
                               current.maxBlockSize, current.sampleRate};
    if (plugin->start(vstSetup, current.channels) != kResultOk)
        throw std::runtime_error("the plug-in refused to restart after a latency change");
    ++restartCount;
}

template <typename Sample>
void Vst3EffectHost::processBlock(const Sample* const* input, Sample* const* output, std::int32_t frames)
{
    if (!prepared)
        throw std::logic_error("process before prepare");
    if (frames < 0 || frames > current.maxBlockSize)
        throw std::logic_error("block larger than the prepared maximum");
    restartIfAsked();

    std::array<Sample*, 2> inputChannels{};
    std::array<Sample*, 2> outputChannels{};
    for (std::int32_t channel = 0; channel < current.channels; ++channel) {
        inputChannels[channel] = const_cast<Sample*>(input[channel]);
        outputChannels[channel] = output[channel];
    }
    Vst::AudioBusBuffers inputBus{};
    Vst::AudioBusBuffers outputBus{};
    inputBus.numChannels = outputBus.numChannels = current.channels;
    if constexpr (sizeof(Sample) == sizeof(float)) {
        inputBus.channelBuffers32 = inputChannels.data();
        outputBus.channelBuffers32 = outputChannels.data();
    } else {
        inputBus.channelBuffers64 = inputChannels.data();
        outputBus.channelBuffers64 = outputChannels.data();
    }

    Vst::ProcessData data{};
    data.processMode = Vst::kOffline;
    data.symbolicSampleSize = sizeof(Sample) == sizeof(float) ? Vst::kSample32 : Vst::kSample64;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inputBus;
    data.outputs = &outputBus;
    data.inputParameterChanges = &pendingChanges;
    data.outputParameterChanges = &outputChanges;
    data.processContext = &context;

    const tresult result = plugin->processor()->process(data);
    pendingChanges.clear();
    outputChanges.clear();
    context.projectTimeSamples += frames;
    context.continousTimeSamples += frames;
    if (result != kResultOk)
        throw std::runtime_error("the plug-in failed to process a block");
}

void Vst3EffectHost::process(const float* const* input, float* const* output, std::int32_t frames)
{
    if (current.doublePrecision)
        throw std::logic_error("prepared for 64-bit samples");
    processBlock(input, output, frames);
}

void Vst3EffectHost::process(const double* const* input, double* const* output, std::int32_t frames)
{
    if (!current.doublePrecision)
        throw std::logic_error("prepared for 32-bit samples");
    processBlock(input, output, frames);
}

void Vst3EffectHost::stop()
{
    plugin->stop();
    prepared = false;
}

std::vector<std::uint8_t> Vst3EffectHost::processorState()
{
    return plugin->processorState();
}

void Vst3EffectHost::restoreProcessorState(const std::vector<std::uint8_t>& bytes)
{
    if (plugin->restoreProcessorState(bytes) != kResultOk)
        throw std::runtime_error("the plug-in refused the state");
    startValuesChanged = false;
}

} // namespace tarvel::host
