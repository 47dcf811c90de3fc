#pragma once
// One plug-in instance from the module's factory, driven by a host whose
// every call the fuzzer's bytes choose, and the promises checked after each
// call: no crash (the sanitizers watch), finite output, no allocation inside
// process, and a reported latency that is the delay the audio really has.

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

#include "audio_buffers.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/plugin_instance.h"
#include "tools/host/process_block.h"

namespace tarvel::fuzz {

class HostSession {
public:
    HostSession();
    ~HostSession();

    void setupProcessing(FuzzedDataProvider& in);
    void setBusArrangements(FuzzedDataProvider& in);
    void setActive(FuzzedDataProvider& in);
    void setProcessing(FuzzedDataProvider& in);
    // A block of random length, channels, input and parameter queues.
    void process(FuzzedDataProvider& in);
    // A block with no audio, as hosts send to deliver parameter changes.
    void flushParameters(FuzzedDataProvider& in);
    // The saved state, a damaged copy of it, or bytes of the fuzzer's own.
    void loadState(FuzzedDataProvider& in);
    void saveState();
    void queryLatency();
    // A host's own edit of a parameter through the controller (its generic
    // editor or a remote control), which the controller passes on.
    void editOnController(FuzzedDataProvider& in);
    // Parameters held steady, silence until the delay lines are clear, then
    // an impulse: its delay must be the reported latency.
    void probeLatency();

private:
    template <typename Sample>
    Steinberg::tresult runBlock(ChannelBuffers<Sample>& buffers, std::int32_t channels, std::int32_t frames,
                                Steinberg::Vst::IParameterChanges* changes);
    template <typename Sample>
    void probeLatencyIn(ChannelBuffers<Sample>& buffers);
    template <typename Sample>
    void fillInput(ChannelBuffers<Sample>& buffers, FuzzedDataProvider& in, std::int32_t frames);
    void fillChanges(FuzzedDataProvider& in, std::int32_t frames);
    // What a host does with the automation it played: shows the controller
    // each parameter's last value.
    void mirrorChangesToController();

    host::PluginInstance plugin;
    Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 512, 48000.0};
    bool setUp = false;
    bool active = false;
    // Channels of the bus arrangement in force, and of the one the engine
    // was last built for.
    std::int32_t busChannels = 2;
    std::int32_t engineChannels = 0;
    host::ParameterChanges changes{16, 16};
    host::ProcessBlock block;
    ChannelBuffers<float> buffers32;
    ChannelBuffers<double> buffers64;
    std::optional<host::Bytes> savedState;
};

} // namespace tarvel::fuzz
