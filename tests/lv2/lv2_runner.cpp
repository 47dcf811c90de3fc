#include "lv2/lv2_runner.h"

#include <algorithm>
#include <stdexcept>

#include "lv2/lv2_world.h"

namespace tarvel::test {

Lv2Runner::Lv2Runner(const LilvPlugin* plugin, double sampleRate, std::uint32_t maxBlock)
{
    if (!plugin)
        throw std::runtime_error("plug-in not discovered");
    LilvWorld* world = Lv2World::shared().world();
    instance = lilv_plugin_instantiate(plugin, sampleRate, nullptr);
    if (!instance)
        throw std::runtime_error("plug-in not instantiated");
    const std::uint32_t count = lilv_plugin_get_num_ports(plugin);
    controls.assign(count, 0.0f);
    std::vector<float> defaults(count, 0.0f);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    LilvNode* audio = lilv_new_uri(world, LILV_URI_AUDIO_PORT);
    LilvNode* input = lilv_new_uri(world, LILV_URI_INPUT_PORT);
    for (std::uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        portBySymbol[lilv_node_as_string(lilv_port_get_symbol(plugin, port))] = i;
        if (lilv_port_is_a(plugin, port, audio)) {
            (lilv_port_is_a(plugin, port, input) ? inputPorts : outputPorts).push_back(i);
        } else {
            controls[i] = defaults[i];
            lilv_instance_connect_port(instance, i, &controls[i]);
        }
    }
    lilv_node_free(audio);
    lilv_node_free(input);
    inputBuffers.assign(inputPorts.size(), std::vector<float>(maxBlock));
    outputBuffers.assign(outputPorts.size(), std::vector<float>(maxBlock));
    for (std::size_t c = 0; c < inputPorts.size(); ++c)
        lilv_instance_connect_port(instance, inputPorts[c], inputBuffers[c].data());
    for (std::size_t c = 0; c < outputPorts.size(); ++c)
        lilv_instance_connect_port(instance, outputPorts[c], outputBuffers[c].data());
}

Lv2Runner::~Lv2Runner()
{
    if (active)
        lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
}

void Lv2Runner::set(const std::string& symbol, float value) { controls.at(portBySymbol.at(symbol)) = value; }

float Lv2Runner::control(const std::string& symbol) const { return controls.at(portBySymbol.at(symbol)); }

void Lv2Runner::activate()
{
    lilv_instance_activate(instance);
    active = true;
}

void Lv2Runner::run(const std::vector<std::vector<float>>& input, std::vector<std::vector<float>>& output,
                    std::size_t offset, std::uint32_t frames)
{
    if (frames > inputBuffers.front().size())
        throw std::logic_error("block longer than the runner's buffers");
    for (std::size_t c = 0; c < inputBuffers.size(); ++c)
        std::copy_n(input[c].begin() + static_cast<std::ptrdiff_t>(offset), frames, inputBuffers[c].begin());
    lilv_instance_run(instance, frames);
    for (std::size_t c = 0; c < outputBuffers.size(); ++c)
        std::copy_n(outputBuffers[c].begin(), frames, output[c].begin() + static_cast<std::ptrdiff_t>(offset));
}

} // namespace tarvel::test
