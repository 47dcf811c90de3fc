#pragma once
// One LV2 plug-in instance: the factory's VST 3 processor driven as a VST 3
// host drives it. Port values are read at the start of each run and reach
// the processor as parameter points at offset 0 (LV2 changes are
// block-granular), so they take the same way into the engine as every other
// format's edits.
//
// Threads, as LV2 defines them: instantiation, activate, deactivate and
// destruction on one thread, where allocating is allowed; connectPort and
// run on the audio thread, where nothing allocates, locks or calls the host.
//
// The latency output port states the delay of the Speed-like parameter's
// current step at every run. The processor tells its latency only after a
// set-up, so activate sets the processor up once per step of the port that
// decides the latency and keeps the answers.
//
// The processor's context and connection peer are the adapter's own (see
// Lv2ProcessorPeer), so messages between them never allocate: that is how a
// reading port gets its value after each run.

#include <cstdint>
#include <memory>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "sdk/lv2/lv2_plugin_description.h"
#include "sdk/lv2/lv2_processor_peer.h"
#include "sdk/vst2/vst2_parameter_queue.h"

namespace Steinberg::Vst {

class Lv2Instance {
public:
    // The processor blocks are set up for; longer runs are split.
    static constexpr int32 maxBlockSize = 4096;

    // The instance, or null if the factory cannot create and initialise the
    // processor with description's channels at sampleRate. Takes over the
    // factory reference in every case.
    static std::unique_ptr<Lv2Instance> create(const Lv2PluginDescription& description, IPluginFactory* factory,
                                               const TUID processorClass, double sampleRate);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    void connectPort(std::uint32_t port, void* data) noexcept;
    // False if the processor refused the set-up; run then gives silence.
    bool activate();
    void run(std::uint32_t frames) noexcept;
    void deactivate();

private:
    Lv2Instance(const Lv2PluginDescription& description, IPluginFactory* factory, double sampleRate);
    bool createProcessor(const TUID processorClass);

    // Sets up and starts processing from values (one normalised value per
    // parameter port): delivered in an empty block, then set up again, as a
    // VST 3 host does with a project's values.
    bool startFrom(const std::vector<ParamValue>& values);
    bool start();
    void stop();
    std::vector<ParamValue> portValuesAsNormalised() const;
    void measureLatencies(std::vector<ParamValue> values);
    std::int32_t latencyForPortValue(float value) const noexcept;
    void takePortChanges() noexcept;
    void silenceOutputs(std::uint32_t frames) noexcept;
    void updateReading() noexcept;

    const Lv2PluginDescription& description;
    Lv2PortLayout layout;
    double sampleRate;
    IPtr<IPluginFactory> factory;
    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    IPtr<IConnectionPoint> processorConnection;
    Lv2ProcessorPeer peer;
    Lv2FixedMessage readingRequest;
    bool active = false;

    std::vector<float*> ports;
    // The port values the processor last heard, as the host wrote them.
    std::vector<float> heardValues;
    // The latency of each step of the deciding port; empty if none decides.
    std::vector<std::int32_t> latencies;
    std::int32_t latencyPortIndex = -1;
    std::int32_t fixedLatency = 0;

    std::unique_ptr<Vst2BlockParameterChanges> changes;
    ProcessData processData{};
    AudioBusBuffers inputBus{};
    AudioBusBuffers outputBus{};
    float* inputs[2] = {};
    float* outputs[2] = {};
};

} // namespace Steinberg::Vst
