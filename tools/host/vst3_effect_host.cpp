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
    if (!isPrepared()) {
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

Vst::ProcessSetup Vst3EffectHost::vstSetup() const
{
    return {Vst::kOffline, setup().doublePrecision ? Vst::kSample64 : Vst::kSample32, setup().maxBlockSize,
            setup().sampleRate};
}

void Vst3EffectHost::start()
{
    if (startValuesChanged) {
        if (plugin->restoreProcessorState(plugin->controllerState()) != kResultOk)
            throw std::runtime_error("the processor refused the start values");
        startValuesChanged = false;
    }
    if (plugin->start(vstSetup(), setup().channels) != kResultOk) {
        plugin->stop();
        throw std::runtime_error("the plug-in refused to process " + std::to_string(setup().channels) +
                                 " channel(s) at " + std::to_string(setup().sampleRate) + " Hz");
    }
    restartPending = false;
    context = {};
    context.state = Vst::ProcessContext::kPlaying;
    context.sampleRate = setup().sampleRate;
}

void Vst3EffectHost::halt() { plugin->stop(); }

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
    Vst::ProcessData& flush = block.assembleEmpty(vstSetup().symbolicSampleSize, Vst::kOffline);
    flush.inputParameterChanges = &pendingChanges;
    flush.outputParameterChanges = &outputChanges;
    plugin->processor()->process(flush);
    pendingChanges.clear();
    outputChanges.clear();
    plugin->stop();
    if (plugin->start(vstSetup(), setup().channels) != kResultOk)
        throw std::runtime_error("the plug-in refused to restart after a latency change");
    ++restartCount;
}

template <typename Sample>
void Vst3EffectHost::processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames)
{
    restartIfAsked();
    Vst::ProcessData& data = block.assemble(input, output, setup().channels, frames, Vst::kOffline);
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

void Vst3EffectHost::processBlock(const float* const* input, float* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
}

void Vst3EffectHost::processBlock(const double* const* input, double* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
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
