#include "tools/host/vst2_effect_host.h"

#include <array>
#include <stdexcept>

#include "sdk/vst2/vst2_chunk.h"

namespace tarvel::host {

using namespace vst2;

Vst2EffectHost::Vst2EffectHost(const std::string& modulePath)
    : connection(modulePath, kVstVersion, [this](const Vst2Host::Call& call, void*) { return answer(call); })
{
    try {
        plugin = connection.open("VSTPluginMain");
    } catch (const std::runtime_error&) {
        try {
            plugin = connection.open("main");
        } catch (const std::runtime_error&) {
            throw std::runtime_error(modulePath + ": not a VST 2 module (no VSTPluginMain)");
        }
    }
    if (!plugin || plugin->magic != kEffectMagic) {
        connection.effect = nullptr; // nothing to close
        throw std::runtime_error(modulePath + ": the VST 2 entry gave no effect");
    }
    dispatch(effOpen);
}

Vst2EffectHost::~Vst2EffectHost()
{
    stop();
    connection.close();
    plugin = nullptr;
}

VstIntPtr Vst2EffectHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return connection.dispatch(opcode, index, value, ptr, opt);
}

std::optional<VstIntPtr> Vst2EffectHost::answer(const Vst2Host::Call& call)
{
    switch (call.opcode) {
    case audioMasterIOChanged:
        restartPending = isPrepared();
        return 1;
    case audioMasterGetSampleRate: return static_cast<VstIntPtr>(setup().sampleRate);
    case audioMasterGetBlockSize: return setup().maxBlockSize;
    default: return std::nullopt;
    }
}

std::vector<Vst2EffectHost::Call> Vst2EffectHost::calls() const
{
    std::vector<Call> told;
    for (const Call& call : connection.allCalls())
        if (call.opcode == audioMasterAutomate || call.opcode == audioMasterBeginEdit ||
            call.opcode == audioMasterEndEdit || call.opcode == audioMasterSizeWindow)
            told.push_back(call);
    return told;
}

VstInt32 Vst2EffectHost::indexOf(std::uint32_t id) const
{
    if (id >= static_cast<std::uint32_t>(plugin->numParams))
        throw std::out_of_range("no parameter " + std::to_string(id));
    return static_cast<VstInt32>(id);
}

void Vst2EffectHost::setParameter(std::uint32_t id, double normalized)
{
    plugin->setParameter(plugin, indexOf(id), static_cast<float>(normalized));
}

double Vst2EffectHost::parameter(std::uint32_t id) { return static_cast<double>(plugin->getParameter(plugin, indexOf(id))); }

std::string Vst2EffectHost::parameterDisplay(std::uint32_t id, double normalized)
{
    const VstInt32 index = indexOf(id);
    if (static_cast<float>(normalized) != plugin->getParameter(plugin, index))
        throw std::invalid_argument("a VST 2 effect shows only its current value");
    // Larger than the field the ABI promises, and terminated whatever the
    // effect writes into it.
    std::array<char, 256> text{};
    dispatch(effGetParamDisplay, index, 0, text.data());
    text.back() = '\0';
    return text.data();
}

void Vst2EffectHost::resume()
{
    if (dispatch(effMainsChanged, 0, 1) != 1)
        throw std::runtime_error("the plug-in refused to process " + std::to_string(setup().channels) +
                                 " channel(s) at " + std::to_string(setup().sampleRate) + " Hz");
}

void Vst2EffectHost::start()
{
    VstSpeakerArrangement arrangement{};
    arrangement.type = setup().channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
    arrangement.numChannels = setup().channels;
    VstSpeakerArrangement outputs = arrangement;
    if (dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&arrangement), &outputs) != 1)
        throw std::runtime_error("the plug-in refused " + std::to_string(setup().channels) + " channel(s)");
    if (dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(setup().sampleRate)) != 1)
        throw std::runtime_error("the plug-in refused the sample rate " + std::to_string(setup().sampleRate));
    dispatch(effSetBlockSize, 0, setup().maxBlockSize);
    const VstIntPtr precision = setup().doublePrecision ? kVstProcessPrecision64 : kVstProcessPrecision32;
    if (dispatch(effSetProcessPrecision, 0, precision) != 1)
        throw std::runtime_error("the plug-in refused the sample size");
    restartPending = false;
    resume();
}

void Vst2EffectHost::halt() { dispatch(effMainsChanged, 0, 0); }

std::int32_t Vst2EffectHost::latency()
{
    idle();
    return plugin->initialDelay;
}

void Vst2EffectHost::idle() { dispatch(effIdle); }

template <typename Sample>
void Vst2EffectHost::processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames)
{
    idle();
    if (restartPending) {
        restartPending = false;
        halt();
        resume();
        ++restartCount;
    }
    std::array<Sample*, 2> inputs{};
    std::array<Sample*, 2> outputs{};
    for (std::int32_t channel = 0; channel < setup().channels; ++channel) {
        inputs[static_cast<std::size_t>(channel)] = const_cast<Sample*>(input[channel]);
        outputs[static_cast<std::size_t>(channel)] = output[channel];
    }
    if constexpr (sizeof(Sample) == sizeof(float))
        plugin->processReplacing(plugin, inputs.data(), outputs.data(), frames);
    else
        plugin->processDoubleReplacing(plugin, inputs.data(), outputs.data(), frames);
}

void Vst2EffectHost::processBlock(const float* const* input, float* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
}

void Vst2EffectHost::processBlock(const double* const* input, double* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
}

std::vector<std::uint8_t> Vst2EffectHost::processorState()
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data)
        throw std::runtime_error("the plug-in gave no chunk");
    const auto parts = Steinberg::Vst::unpackVst2Chunk(
        std::span(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)));
    if (!parts)
        throw std::runtime_error("the plug-in's chunk is not in the adapter's format");
    return std::vector<std::uint8_t>(parts->processorState.begin(), parts->processorState.end());
}

void Vst2EffectHost::restoreProcessorState(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::uint8_t> chunk = Steinberg::Vst::packVst2Chunk(bytes, {});
    if (dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data()) != 1)
        throw std::runtime_error("the plug-in refused the state");
}

} // namespace tarvel::host
