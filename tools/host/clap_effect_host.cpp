#include "tools/host/clap_effect_host.h"

#include <array>
#include <cstdlib>
#include <stdexcept>

namespace tarvel::host {

using namespace clap;

ClapEffectHost::ClapEffectHost(const std::string& modulePath)
    : host(std::make_unique<ClapPluginHost>(moduleBinaryPath(modulePath)))
{
    restartsSeen = host->restartRequests.load();
}

ClapEffectHost::~ClapEffectHost()
{
    stop();
    host.reset();
}

double ClapEffectHost::steps(std::uint32_t id) const
{
    const clap_plugin_params_t& params = host->params();
    for (std::uint32_t i = 0; i < params.count(&host->plugin()); ++i) {
        clap_param_info_t info{};
        if (params.get_info(&host->plugin(), i, &info) && info.id == id)
            return (info.flags & CLAP_PARAM_IS_STEPPED) ? info.max_value : 1.0;
    }
    throw std::out_of_range("no parameter " + std::to_string(id));
}

void ClapEffectHost::setParameter(std::uint32_t id, double normalized)
{
    const ClapParamEvent event{0, id, normalized * steps(id)};
    if (!isPrepared()) {
        // While inactive the main thread flushes; processing starts from it.
        host->flush({event});
        return;
    }
    edits.push_back(event);
}

double ClapEffectHost::parameter(std::uint32_t id) { return host->value(id) / steps(id); }

std::string ClapEffectHost::parameterDisplay(std::uint32_t id, double normalized)
{
    std::string text = host->text(id, normalized * steps(id));
    const auto space = text.find(' ');
    if (space != std::string::npos) {
        const std::string number = text.substr(0, space);
        char* end = nullptr;
        std::strtod(number.c_str(), &end);
        if (!number.empty() && end == number.c_str() + number.size())
            text = number;
    }
    return text;
}

void ClapEffectHost::start()
{
    const auto* configs = host->extension<clap_plugin_audio_ports_config_t>(CLAP_EXT_AUDIO_PORTS_CONFIG);
    bool selected = false;
    for (std::uint32_t i = 0; configs && i < configs->count(&host->plugin()) && !selected; ++i) {
        clap_audio_ports_config_t config{};
        if (configs->get(&host->plugin(), i, &config) &&
            config.main_output_channel_count == static_cast<std::uint32_t>(setup().channels))
            selected = configs->select(&host->plugin(), config.id);
    }
    if (!selected && setup().channels != 2)
        throw std::runtime_error("the plug-in refused " + std::to_string(setup().channels) + " channel(s)");
    if (!host->activate(setup().sampleRate, 1, static_cast<std::uint32_t>(setup().maxBlockSize)))
        throw std::runtime_error("the plug-in refused to process " + std::to_string(setup().channels) +
                                 " channel(s) at " + std::to_string(setup().sampleRate) + " Hz");
    host->runTimers();
    restartsSeen = host->restartRequests.load();
}

void ClapEffectHost::halt() { host->deactivate(); }

std::int32_t ClapEffectHost::latency()
{
    host->runTimers();
    const auto* latency = host->extension<clap_plugin_latency_t>(CLAP_EXT_LATENCY);
    return latency ? static_cast<std::int32_t>(latency->get(&host->plugin())) : 0;
}

void ClapEffectHost::handOverEdits()
{
    if (edits.empty())
        return;
    host->plugin().stop_processing(&host->plugin());
    host->flush(edits);
    edits.clear();
    host->runTimers();
    if (host->restartRequests.load() != restartsSeen) {
        restartsSeen = host->restartRequests.load();
        host->deactivate();
        if (!host->activate(setup().sampleRate, 1, static_cast<std::uint32_t>(setup().maxBlockSize)))
            throw std::runtime_error("the plug-in refused to restart after a latency change");
        ++restartCount;
        return;
    }
    host->plugin().start_processing(&host->plugin());
}

template <typename Sample>
void ClapEffectHost::processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames)
{
    handOverEdits();
    std::array<Sample*, 2> inputs{};
    std::array<Sample*, 2> outputs{};
    for (std::int32_t channel = 0; channel < setup().channels; ++channel) {
        inputs[static_cast<std::size_t>(channel)] = const_cast<Sample*>(input[channel]);
        outputs[static_cast<std::size_t>(channel)] = output[channel];
    }
    host->output().clear();
    if (host->process(inputs.data(), outputs.data(), static_cast<std::uint32_t>(setup().channels),
                      static_cast<std::uint32_t>(frames)) != CLAP_PROCESS_CONTINUE)
        throw std::runtime_error("the plug-in failed to process a block");
}

void ClapEffectHost::processBlock(const float* const* input, float* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
}

void ClapEffectHost::processBlock(const double* const* input, double* const* output, std::int32_t frames)
{
    processSamples(input, output, frames);
}

std::vector<std::uint8_t> ClapEffectHost::processorState()
{
    std::vector<std::uint8_t> state;
    if (!host->save(state))
        throw std::runtime_error("the plug-in gave no state");
    return splitClapState(state).processor;
}

void ClapEffectHost::restoreProcessorState(const std::vector<std::uint8_t>& bytes)
{
    if (!host->load(joinClapState({bytes, {}})))
        throw std::runtime_error("the plug-in refused the state");
}

} // namespace tarvel::host
