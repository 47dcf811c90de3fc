// Activation, the audio ports and their configurations, latency and the
// audio callback.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sdk/clap/clap_adapter.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

using namespace clap;

namespace {

constexpr clap_id stereoConfig = 0;
constexpr clap_id monoConfig = 1;

const char* portType(std::int32_t channels) { return channels == 1 ? CLAP_PORT_MONO : CLAP_PORT_STEREO; }

} // namespace

bool ClapAdapter::selectChannels(std::int32_t channels)
{
    if (active || (channels != 1 && channels != 2))
        return false;
    SpeakerArrangement in = channels == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    SpeakerArrangement out = in;
    if (processor->setBusArrangements(&in, 1, &out, 1) != kResultTrue)
        return false;
    channelCount = channels;
    return true;
}

// The order VST 3 components expect: set up while inactive, then activate,
// then start processing; and the reverse on the way down. The sample size of
// the set-up does not bind the blocks: each block says its own.
bool ClapAdapter::start()
{
    ProcessSetup setup{kRealtime, kSample32, maxBlockSize, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    active = true;
    processor->setProcessing(true);
    return true;
}

void ClapAdapter::stop()
{
    processor->setProcessing(false);
    component->setActive(false);
    active = false;
}

void ClapAdapter::prepareProcessData()
{
    processData = ProcessData{};
    processData.processMode = kRealtime;
    processData.symbolicSampleSize = kSample32;
    processData.numInputs = processData.numOutputs = 1;
    inputBus = AudioBusBuffers{};
    outputBus = AudioBusBuffers{};
    processData.inputs = &inputBus;
    processData.outputs = &outputBus;
    processData.inputParameterChanges = blockChanges.get();
}

// Values flushed or edited while inactive reach the processor in an empty
// block, and the processor is set up once more so that it starts from them
// (a Speed set while inactive decides the engine and its latency) instead
// of ramping to them from older values.
bool ClapAdapter::activate(double rate, std::uint32_t maxFrames)
{
    if (active || !(rate > 0.0) || !std::isfinite(rate) || maxFrames == 0)
        return false;
    catchUpController();
    sampleRate = rate;
    maxBlockSize = static_cast<int32>(std::min<std::uint32_t>(maxFrames, 0x7FFFFFFF));
    if (!start())
        return false;
    prepareProcessData();
    blockChanges->clear();
    processorValues->take(*blockChanges);
    if (blockChanges->getParameterCount() > 0) {
        processData.numSamples = 0;
        processor->process(processData);
        stop();
        if (!start())
            return false;
    }
    blockChanges->clear();
    reportLatencyIfChanged();
    return true;
}

// Values flushed while inactive belong in a state saved now: the processor
// hears them as a VST 3 processor hears a host's changes, in an empty block
// of a short activation (on the main thread, where setting up may allocate).
void ClapAdapter::deliverPendingValues()
{
    if (active)
        return;
    blockChanges->clear();
    processorValues->take(*blockChanges);
    if (blockChanges->getParameterCount() == 0 || !start())
        return;
    prepareProcessData();
    processData.numSamples = 0;
    processor->process(processData);
    blockChanges->clear();
    stop();
}

void ClapAdapter::deactivate()
{
    if (!active)
        return;
    processing.store(false, std::memory_order_release);
    stop();
    catchUpController();
}

// The host may hear of a latency change only while the plug-in activates.
void ClapAdapter::reportLatencyIfChanged()
{
    const std::uint32_t latency = processor->getLatencySamples();
    if (latency == reportedLatency)
        return;
    reportedLatency = latency;
    if (hostLatency && hostLatency->changed)
        hostLatency->changed(host);
}

namespace {

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

clap_process_status ClapAdapter::process(const clap_process_t& block) noexcept
{
    if (!active || !blockChanges)
        return CLAP_PROCESS_ERROR;
    const std::uint32_t frames = std::min<std::uint32_t>(block.frames_count, static_cast<std::uint32_t>(maxBlockSize));
    blockChanges->clear();
    // The editor's edits first, at the block's start; the host's events
    // then at their frames.
    processorValues->take(*blockChanges);
    takeHostEvents(block.in_events, frames);
    sendEdits(block.out_events);

    processData.numSamples = 0;
    inputBus.numChannels = outputBus.numChannels = 0;
    if (frames > 0 && block.audio_inputs_count > 0 && block.audio_outputs_count > 0 && block.audio_inputs &&
        block.audio_outputs) {
        const clap_audio_buffer_t& in = block.audio_inputs[0];
        const clap_audio_buffer_t& out = block.audio_outputs[0];
        const std::uint32_t channels =
            std::min({in.channel_count, out.channel_count, static_cast<std::uint32_t>(channelCount)});
        if (in.data64 && out.data64) {
            processData.symbolicSampleSize = kSample64;
            channelBuffers<double>(inputBus) = in.data64;
            channelBuffers<double>(outputBus) = out.data64;
        } else if (in.data32 && out.data32) {
            processData.symbolicSampleSize = kSample32;
            channelBuffers<float>(inputBus) = in.data32;
            channelBuffers<float>(outputBus) = out.data32;
        } else {
            return CLAP_PROCESS_ERROR;
        }
        inputBus.numChannels = outputBus.numChannels = static_cast<int32>(channels);
        processData.numSamples = static_cast<int32>(frames);
    }
    const tresult result = processor->process(processData);
    blockChanges->clear();
    return result == kResultOk ? CLAP_PROCESS_CONTINUE : CLAP_PROCESS_ERROR;
}

bool ClapAdapter::audioPortInfo(std::uint32_t index, bool isInput, clap_audio_port_info_t& info) const
{
    if (index != 0)
        return false;
    info = clap_audio_port_info_t{};
    info.id = 0;
    copyVst2Text(info.name, CLAP_NAME_SIZE, isInput ? "Input" : "Output");
    info.flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
    info.channel_count = static_cast<std::uint32_t>(channelCount);
    info.port_type = portType(channelCount);
    info.in_place_pair = 0;
    return true;
}

bool ClapAdapter::audioPortsConfig(std::uint32_t index, clap_audio_ports_config_t& config) const
{
    if (index > 1)
        return false;
    const std::int32_t channels = index == stereoConfig ? 2 : 1;
    config = clap_audio_ports_config_t{};
    config.id = index;
    copyVst2Text(config.name, CLAP_NAME_SIZE, channels == 2 ? "Stereo" : "Mono");
    config.input_port_count = config.output_port_count = 1;
    config.has_main_input = config.has_main_output = true;
    config.main_input_channel_count = config.main_output_channel_count = static_cast<std::uint32_t>(channels);
    config.main_input_port_type = config.main_output_port_type = portType(channels);
    return true;
}

const clap_plugin_audio_ports_t ClapAdapter::audioPortsExtension = {
    [](const clap_plugin_t* plugin, bool) -> std::uint32_t { return from(plugin) ? 1 : 0; },
    [](const clap_plugin_t* plugin, std::uint32_t index, bool isInput, clap_audio_port_info_t* info) {
        const ClapAdapter* self = from(plugin);
        return self && info && self->audioPortInfo(index, isInput, *info);
    },
};

const clap_plugin_audio_ports_config_t ClapAdapter::audioPortsConfigExtension = {
    [](const clap_plugin_t* plugin) -> std::uint32_t { return from(plugin) ? 2 : 0; },
    [](const clap_plugin_t* plugin, std::uint32_t index, clap_audio_ports_config_t* config) {
        const ClapAdapter* self = from(plugin);
        return self && config && self->audioPortsConfig(index, *config);
    },
    [](const clap_plugin_t* plugin, clap_id id) {
        ClapAdapter* self = from(plugin);
        if (!self || (id != stereoConfig && id != monoConfig))
            return false;
        try {
            return self->selectChannels(id == stereoConfig ? 2 : 1);
        } catch (...) {
            return false;
        }
    },
};

const clap_plugin_latency_t ClapAdapter::latencyExtension = {
    [](const clap_plugin_t* plugin) -> std::uint32_t {
        ClapAdapter* self = from(plugin);
        return self && self->processor ? self->processor->getLatencySamples() : 0;
    },
};

} // namespace Steinberg::Vst
