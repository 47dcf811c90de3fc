#pragma once
// The plug-in's VST 3 audio processor component.

#include <optional>

#include "framework/processor_base.h"
#include "parameters/parameters.h"
#include "processor/detector_delays.h"
#include "processor/engine/realtime_processor.h"

namespace tarvel {

// Nothing beyond the parameter record is kept per processor.
struct ProcessorState {};

class Processor : public vantle::vst::ProcessorBase<Processor, Parameters, ProcessorState, RealtimeProcessor> {
public:
    using Config = EngineConfig;

    Steinberg::uint32 PLUGIN_API getTailSamples() override;

    // Hooks for the framework base.
    static void addBuses(Processor& processor);
    static std::optional<Parameters> readParameters(Steinberg::IBStream* stream);
    static bool writeParameters(Steinberg::IBStream* stream, const Parameters& values);
    void onStateLoaded();
    Steinberg::tresult handleMessage(Steinberg::Vst::IMessage* message);

private:
    // The delay of this Speed becomes the reported latency, which the
    // running engine's delay follows as soon as the Speed reaches it (the
    // message handler has handed it over); the controller then tells the
    // host.
    void recomputeLatency(float speed);

    DetectorDelays detectorDelays;
};

} // namespace tarvel
