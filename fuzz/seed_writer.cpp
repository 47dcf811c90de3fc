// Writes the state targets' seed inputs from the module itself: the states
// each format saves by default and with the parameters at their ends and in
// between, framed as each target reads its input. Run once when the state
// format changes: tarvel_fuzz_seed_writer fuzz/corpus

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "entry/clap_entry.h"
#include "entry/vst2_entry.h"
#include "fuzz/support/in_process_module.h"
#include "sdk/vst2/vst2_chunk.h"

namespace {

using namespace Steinberg;
using tarvel::fuzz::Bytes;
using tarvel::fuzz::require;

struct Setting {
    const char* name;
    // The normalised value of each parameter, by id; empty: the defaults.
    std::vector<double> values;
};

const std::vector<Setting> settings = {
    {"defaults", {}},
    {"lowest", {0.0, 0.0, 0.0, 0.0, 0.0}},
    {"highest", {1.0, 1.0, 1.0, 1.0, 1.0}},
    {"between", {1.0, 0.0, 0.37, 0.81, 0.125}},
};

void write(const std::filesystem::path& file, const Bytes& bytes)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    require(out.good(), "could not write a seed");
}

Bytes prefixed(std::uint8_t first, const Bytes& bytes)
{
    Bytes framed{first};
    framed.insert(framed.end(), bytes.begin(), bytes.end());
    return framed;
}

vst2::VstIntPtr VST2_CALLBACK hostCallback(vst2::AEffect*, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr,
                                           void*, float)
{
    return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

// The chunk the VST 2 effect saves after loading both states.
Bytes vst2Chunk(const Bytes& processorState, const Bytes& controllerState)
{
    Bytes packed = Vst::packVst2Chunk(processorState, controllerState);
    vst2::AEffect* effect = VSTPluginMain(hostCallback);
    require(effect != nullptr, "no VST 2 effect");
    require(effect->dispatcher(effect, vst2::effSetChunk, 0, static_cast<vst2::VstIntPtr>(packed.size()),
                               packed.data(), 0.0f) == 1,
            "the effect refused its own chunk format");
    void* data = nullptr;
    const auto size = effect->dispatcher(effect, vst2::effGetChunk, 0, 0, &data, 0.0f);
    require(size > 0 && data, "no chunk");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    Bytes chunk(bytes, bytes + size);
    effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
    return chunk;
}

std::int64_t readAll(const clap::clap_istream_t* stream, void* buffer, std::uint64_t size)
{
    auto& bytes = *static_cast<Bytes*>(stream->ctx);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), bytes.size());
    std::copy_n(bytes.begin(), count, static_cast<std::uint8_t*>(buffer));
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
    return static_cast<std::int64_t>(count);
}

std::int64_t writeAll(const clap::clap_ostream_t* stream, const void* buffer, std::uint64_t size)
{
    auto& bytes = *static_cast<Bytes*>(stream->ctx);
    const auto* data = static_cast<const std::uint8_t*>(buffer);
    bytes.insert(bytes.end(), data, data + size);
    return static_cast<std::int64_t>(size);
}

const void* noExtension(const clap::clap_host_t*, const char*) { return nullptr; }
void noRequest(const clap::clap_host_t*) {}

// The state the CLAP plug-in saves after loading the chunk's container.
Bytes clapState(const Bytes& chunk)
{
    static const clap::clap_host_t host = {clap::CLAP_VERSION, nullptr, "seeds", "tarvel", "", "1", noExtension,
                                           noRequest,          noRequest, noRequest};
    require(clap_entry.init("Tarvel64.clap"), "clap_entry.init failed");
    const auto* factory =
        static_cast<const clap::clap_plugin_factory_t*>(clap_entry.get_factory(clap::CLAP_PLUGIN_FACTORY_ID));
    const clap::clap_plugin_t* plugin =
        factory->create_plugin(factory, &host, factory->get_plugin_descriptor(factory, 0)->id);
    require(plugin && plugin->init(plugin), "no CLAP plug-in");
    const auto* state = static_cast<const clap::clap_plugin_state_t*>(plugin->get_extension(plugin, clap::CLAP_EXT_STATE));
    Bytes input = chunk;
    const clap::clap_istream_t in{&input, readAll};
    require(state->load(plugin, &in), "the CLAP plug-in refused the container");
    Bytes saved;
    const clap::clap_ostream_t out{&saved, writeAll};
    require(state->save(plugin, &out), "the CLAP plug-in saved nothing");
    plugin->destroy(plugin);
    clap_entry.deinit();
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvel_fuzz_seed_writer <corpus folder>\n");
        return 2;
    }
    const std::filesystem::path corpus = argv[1];
    for (const Setting& setting : settings) {
        tarvel::fuzz::Vst3Plugin plugin;
        auto& controller = plugin.controller();
        for (std::size_t id = 0; id < setting.values.size(); ++id)
            controller.setParamNormalized(static_cast<Vst::ParamID>(id), setting.values[id]);
        Bytes controllerState;
        require(plugin.controllerState(controllerState), "no controller state");
        require(plugin.loadProcessorState(controllerState) == kResultOk, "the processor refused the values");
        Bytes processorState;
        require(plugin.processorState(processorState), "no processor state");

        const std::string name = setting.name;
        write(corpus / "processor_state" / (name + ".state"), processorState);
        write(corpus / "controller_state" / (name + ".state"), controllerState);
        write(corpus / "controller_state" / (name + "_from_processor.state"), processorState);
        const Bytes chunk = vst2Chunk(processorState, controllerState);
        // Program and bank alternate; the CLAP streams pass everything at
        // once for some seeds, a few bytes per call for others.
        const bool odd = (&setting - settings.data()) % 2 == 1;
        write(corpus / "vst2_chunk" / (name + ".chunk"), prefixed(odd ? 1 : 0, chunk));
        write(corpus / "clap_state" / (name + ".state"), prefixed(odd ? 7 : 0, clapState(chunk)));
    }
    return 0;
}
