#pragma once
// The same module driven as a VST 3 host drives it, through its factory: the
// reference the VST 2 path must match bit for bit.

#include <utility>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "tools/host/module_library.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/process_block.h"

namespace tarvel::test {

using ParameterPoints = std::vector<std::pair<Steinberg::Vst::ParamID, double>>;

class Vst3Reference {
public:
    // Values given here are in place before the first block, as a VST 2
    // host's values set while suspended are: delivered in an empty block,
    // then processing is set up again. One channel sets both buses to mono.
    Vst3Reference(double sampleRate, Steinberg::int32 blockSize, bool doublePrecision,
                  const ParameterPoints& initialValues = {}, Steinberg::int32 channels = 2);
    ~Vst3Reference();

    Steinberg::uint32 latency() { return processor->getLatencySamples(); }

    // One block; the points land at offset 0.
    void process(float** inputs, float** outputs, Steinberg::int32 channels, Steinberg::int32 frames,
                 const ParameterPoints& points = {});
    void process(double** inputs, double** outputs, Steinberg::int32 channels, Steinberg::int32 frames,
                 const ParameterPoints& points = {});

private:
    void start();
    void stop();
    void run(Steinberg::Vst::ProcessData& data, const ParameterPoints& points);

    host::PluginModule module;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor;
    Steinberg::Vst::ProcessSetup setup{};
    host::ParameterChanges changes;
    host::ProcessBlock block;
};

} // namespace tarvel::test
