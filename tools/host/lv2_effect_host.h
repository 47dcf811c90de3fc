#pragma once
// EffectHost for the LV2 bundle, through lilv as Linux hosts load it: the
// stereo or the mono plug-in by the prepared channel count, its control
// ports written in their plain units before each run, the latency read from
// its latency port. LV2 processes 32-bit samples only. The state is the
// ports' values; it is given and taken in the processor's state format, so
// states move between this and the other formats.

#include <lilv/lilv.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/lv2/lv2_plugin_description.h"
#include "tools/host/effect_host.h"

namespace tarvel::host {

// The bundle folder for a module path: the path itself when it is an LV2
// bundle, the bundle a module file lies in, or for a .vst3 bundle or its
// module file the Tarvel.lv2 beside it (the build folder) or in the lv2
// folder beside its folder (the installed layout, /usr/lib/vst3 and
// /usr/lib/lv2).
std::string lv2BundleFor(const std::string& modulePath);

class Lv2EffectHost final : public EffectHost {
public:
    // Loads the bundle for modulePath; throws std::runtime_error if lilv
    // finds neither plug-in there.
    explicit Lv2EffectHost(const std::string& modulePath);
    ~Lv2EffectHost() override;
    Lv2EffectHost(const Lv2EffectHost&) = delete;
    Lv2EffectHost& operator=(const Lv2EffectHost&) = delete;

    void setParameter(std::uint32_t id, double normalized) override;
    double parameter(std::uint32_t id) override;
    std::string parameterDisplay(std::uint32_t id, double normalized) override;

    std::int32_t latency() override;
    // The input loudness the plug-in's first reading port last stated.
    float loudness() const;

    std::vector<std::uint8_t> processorState() override;
    void restoreProcessorState(const std::vector<std::uint8_t>& bytes) override;

private:
    void start() override;
    void halt() override;
    void processBlock(const float* const* input, float* const* output, std::int32_t frames) override;
    void processBlock(const double* const* input, double* const* output, std::int32_t frames) override;
    const Steinberg::Vst::Lv2ParameterPort& portOf(std::uint32_t id) const;
    std::size_t indexOf(std::uint32_t id) const;

    LilvWorld* world = nullptr;
    LilvInstance* instance = nullptr;
    const Steinberg::Vst::Lv2PluginDescription* running = nullptr;
    std::vector<double> normalized;
    std::vector<float> controls;
    float latencyPort = 0.0f;
    std::vector<float> readingPorts;
};

} // namespace tarvel::host
