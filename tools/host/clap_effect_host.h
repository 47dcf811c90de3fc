#pragma once
// EffectHost for the module's CLAP entry: a ClapPluginHost driven as a CLAP
// DAW drives it. A user's edit between blocks goes to the plug-in the way a
// host hands over values outside the audio callback: processing stopped,
// params.flush, the main thread's idle (the plug-in's timer, where its
// controller hears the value), a deactivate and activate if the plug-in
// asked for a restart, processing started again.

#include <memory>
#include <string>
#include <vector>

#include "tools/host/clap_plugin_host.h"
#include "tools/host/effect_host.h"

namespace tarvel::host {

class ClapEffectHost final : public EffectHost {
public:
    // Loads the module (a .clap file, a bundle folder or the module file)
    // through clap_entry; throws std::runtime_error if that fails.
    explicit ClapEffectHost(const std::string& modulePath);
    ~ClapEffectHost() override;

    void setParameter(std::uint32_t id, double normalized) override;
    double parameter(std::uint32_t id) override;
    // The plug-in's text without the unit CLAP appends, as the other
    // formats show it.
    std::string parameterDisplay(std::uint32_t id, double normalized) override;

    std::int32_t latency() override;

    std::vector<std::uint8_t> processorState() override;
    void restoreProcessorState(const std::vector<std::uint8_t>& bytes) override;

    ClapPluginHost& plugin() { return *host; }
    int restartsDone() const { return restartCount; }

private:
    // The CLAP value of a normalised one: steps for stepped parameters.
    double steps(std::uint32_t id) const;
    void handOverEdits();
    void start() override;
    void halt() override;
    void processBlock(const float* const* input, float* const* output, std::int32_t frames) override;
    void processBlock(const double* const* input, double* const* output, std::int32_t frames) override;
    template <typename Sample>
    void processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames);

    std::unique_ptr<ClapPluginHost> host;
    std::vector<ClapParamEvent> edits;
    int restartsSeen = 0;
    int restartCount = 0;
};

} // namespace tarvel::host
