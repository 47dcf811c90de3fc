#pragma once
// EffectHost for a VST 3 module: a PluginInstance driven block by block,
// with the user's edits passed to the processor as parameter queues and
// latency-change restarts carried out between blocks, as a DAW does.

#include <array>
#include <memory>

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "tools/host/effect_host.h"
#include "tools/host/parameter_changes.h"
#include "tools/host/plugin_instance.h"
#include "tools/host/process_block.h"

namespace tarvel::host {

class Vst3EffectHost final : public EffectHost {
public:
    // Loads the module file (or bundle folder) and creates one instance.
    explicit Vst3EffectHost(const std::string& modulePath);
    ~Vst3EffectHost() override;

    void setParameter(std::uint32_t id, double normalized) override;
    double parameter(std::uint32_t id) override;
    std::string parameterDisplay(std::uint32_t id, double normalized) override;

    std::int32_t latency() override;

    std::vector<std::uint8_t> processorState() override;
    void restoreProcessorState(const std::vector<std::uint8_t>& bytes) override;

    PluginInstance& instance() { return *plugin; }
    // How many latency restarts were carried out.
    int restartsDone() const { return restartCount; }

private:
    void start() override;
    void halt() override;
    void processBlock(const float* const* input, float* const* output, std::int32_t frames) override;
    void processBlock(const double* const* input, double* const* output, std::int32_t frames) override;
    template <typename Sample>
    void processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames);
    void restartIfAsked();
    Steinberg::Vst::ProcessSetup vstSetup() const;

    std::unique_ptr<PluginModule> module;
    std::unique_ptr<PluginInstance> plugin;
    bool startValuesChanged = false;
    bool restartPending = false;
    int restartCount = 0;
    ParameterChanges pendingChanges;
    ParameterChanges outputChanges;
    Steinberg::Vst::ProcessContext context{};
    ProcessBlock block;
};

} // namespace tarvel::host
