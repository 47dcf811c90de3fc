#include "tools/host/lv2_effect_host.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "entry/lv2_description.h"
#include "protocol/state_format.h"
#include "public.sdk/source/common/memorystream.h"

namespace tarvel::host {

using Steinberg::Vst::Lv2ParameterPort;
using Steinberg::Vst::Lv2PluginDescription;
using Steinberg::Vst::Lv2PortKind;
using Steinberg::Vst::Lv2PortLayout;

namespace fs = std::filesystem;

std::string lv2BundleFor(const std::string& modulePath)
{
    const fs::path path = fs::absolute(modulePath);
    if (fs::is_regular_file(path / "manifest.ttl"))
        return path.string();
    if (fs::is_regular_file(path.parent_path() / "manifest.ttl"))
        return path.parent_path().string();
    // A .vst3 bundle, or its Contents/<arch>/ module file: the LV2 bundle
    // beside it (the build folder) or in the lv2 folder beside its vst3
    // folder (/usr/lib/vst3 and /usr/lib/lv2).
    for (fs::path folder = path; !folder.empty() && folder != folder.root_path(); folder = folder.parent_path()) {
        if (folder.extension() != ".vst3")
            continue;
        for (const fs::path& bundle : {folder.parent_path() / "Tarvel.lv2",
                                       folder.parent_path().parent_path() / "lv2" / "Tarvel.lv2"})
            if (fs::is_regular_file(bundle / "manifest.ttl"))
                return bundle.string();
    }
    throw std::runtime_error("no LV2 bundle at or beside " + modulePath);
}

namespace {

const std::vector<Lv2PluginDescription>& plugins() { return lv2Plugins(); }

} // namespace

Lv2EffectHost::Lv2EffectHost(const std::string& modulePath)
{
    const std::string bundle = lv2BundleFor(modulePath);
    world = lilv_world_new();
    LilvNode* bundleUri = lilv_new_file_uri(world, nullptr, (bundle + "/").c_str());
    lilv_world_load_bundle(world, bundleUri);
    lilv_node_free(bundleUri);
    for (const Lv2PluginDescription& description : plugins()) {
        LilvNode* uri = lilv_new_uri(world, description.uri.c_str());
        const bool found = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri) != nullptr;
        lilv_node_free(uri);
        if (!found) {
            lilv_world_free(world);
            throw std::runtime_error("the LV2 bundle " + bundle + " does not describe " + description.uri);
        }
    }
    const Lv2PluginDescription& first = plugins().front();
    for (const Lv2ParameterPort& port : first.parameters)
        normalized.push_back(port.toNormalised(static_cast<std::int32_t>(port.id), port.defaultValue));
}

Lv2EffectHost::~Lv2EffectHost()
{
    stop();
    lilv_world_free(world);
}

std::size_t Lv2EffectHost::indexOf(std::uint32_t id) const
{
    const auto& ports = plugins().front().parameters;
    for (std::size_t i = 0; i < ports.size(); ++i)
        if (ports[i].id == id)
            return i;
    throw std::invalid_argument("no parameter " + std::to_string(id));
}

const Lv2ParameterPort& Lv2EffectHost::portOf(std::uint32_t id) const { return plugins().front().parameters[indexOf(id)]; }

void Lv2EffectHost::setParameter(std::uint32_t id, double value)
{
    const std::size_t index = indexOf(id);
    normalized[index] = value;
    // Before prepare this is where the instance starts: activate reads the
    // connected ports. While prepared, the next run hears it.
    if (!controls.empty()) {
        const Lv2ParameterPort& port = portOf(id);
        controls[index] = static_cast<float>(port.toPlain(static_cast<std::int32_t>(id), value));
    }
}

double Lv2EffectHost::parameter(std::uint32_t id) { return normalized[indexOf(id)]; }

std::string Lv2EffectHost::parameterDisplay(std::uint32_t id, double value)
{
    const Lv2ParameterPort& port = portOf(id);
    const double plain = port.toPlain(static_cast<std::int32_t>(id), value);
    switch (port.kind) {
    case Lv2PortKind::enumeration:
        for (const auto& point : port.scalePoints)
            if (std::lround(plain) == std::lround(point.value))
                return point.label;
        return {};
    case Lv2PortKind::hostEnabled: return plain < 0.5 ? "On" : "Off";
    case Lv2PortKind::toggled: return plain < 0.5 ? "Off" : "On";
    case Lv2PortKind::continuous: break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", plain + 0.0);
    return text;
}

std::int32_t Lv2EffectHost::latency() { return static_cast<std::int32_t>(std::lround(latencyPort)); }

float Lv2EffectHost::loudness() const { return readingPorts.empty() ? 0.0f : readingPorts.front(); }

void Lv2EffectHost::start()
{
    if (setup().doublePrecision)
        throw std::runtime_error("LV2 processes 32-bit samples only");
    running = &plugins()[setup().channels == 2 ? 0 : 1];
    LilvNode* uri = lilv_new_uri(world, running->uri.c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    instance = plugin ? lilv_plugin_instantiate(plugin, setup().sampleRate, nullptr) : nullptr;
    if (!instance)
        throw std::runtime_error("the LV2 plug-in " + running->uri + " did not instantiate");
    const Lv2PortLayout layout(*running);
    controls.resize(running->parameters.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Lv2ParameterPort& port = running->parameters[i];
        controls[i] = static_cast<float>(port.toPlain(static_cast<std::int32_t>(port.id), normalized[i]));
        lilv_instance_connect_port(instance, static_cast<std::uint32_t>(i), &controls[i]);
    }
    lilv_instance_connect_port(instance, layout.latency(), &latencyPort);
    readingPorts.assign(layout.readingCount, 0.0f);
    for (std::uint32_t i = 0; i < layout.readingCount; ++i)
        lilv_instance_connect_port(instance, layout.reading(i), &readingPorts[i]);
    lilv_instance_activate(instance);
    // Hosts learn the latency from a run; one without frames tells it.
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
        lilv_instance_connect_port(instance, layout.audioInput(c), nullptr);
        lilv_instance_connect_port(instance, layout.audioOutput(c), nullptr);
    }
    lilv_instance_run(instance, 0);
}

void Lv2EffectHost::halt()
{
    if (!instance)
        return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    instance = nullptr;
    controls.clear();
}

void Lv2EffectHost::processBlock(const float* const* input, float* const* output, std::int32_t frames)
{
    const Lv2PortLayout layout(*running);
    for (std::uint32_t c = 0; c < layout.channels; ++c) {
        lilv_instance_connect_port(instance, layout.audioInput(c), const_cast<float*>(input[c]));
        lilv_instance_connect_port(instance, layout.audioOutput(c), output[c]);
    }
    lilv_instance_run(instance, static_cast<std::uint32_t>(frames));
}

void Lv2EffectHost::processBlock(const double* const*, double* const*, std::int32_t)
{
    throw std::logic_error("LV2 processes 32-bit samples only");
}

std::vector<std::uint8_t> Lv2EffectHost::processorState()
{
    StateValues values{};
    for (std::size_t i = 0; i < normalized.size() && i < values.size(); ++i)
        values[static_cast<std::size_t>(plugins().front().parameters[i].id)] = normalized[i];
    Steinberg::MemoryStream stream;
    if (!writeState(&stream, values, StateWriter::Processor))
        throw std::runtime_error("the parameter values cannot be written as a state");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.getData());
    return {bytes, bytes + stream.getSize()};
}

void Lv2EffectHost::restoreProcessorState(const std::vector<std::uint8_t>& bytes)
{
    Steinberg::MemoryStream stream(const_cast<std::uint8_t*>(bytes.data()), static_cast<Steinberg::TSize>(bytes.size()));
    const std::optional<StateValues> values = readState(&stream);
    if (!values)
        throw std::runtime_error("the state is not one this plug-in wrote");
    for (const Lv2ParameterPort& port : plugins().front().parameters)
        setParameter(port.id, (*values)[port.id]);
}

} // namespace tarvel::host
