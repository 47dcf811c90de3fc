// The state a CLAP host stores in its projects, handed back through
// clap_entry's plug-in: the state extension's load reads arbitrary bytes
// from the host's stream, then a few blocks of audio, the parameters as the
// host shows them, and save. The input's first byte sets how many bytes the
// host's streams pass per call (hosts may pass fewer than asked), the rest
// is the state. Nothing crashes, the audio stays finite, every value stays
// within its range, a refused state changes nothing, and a state that loads
// saves to bytes that load and save again unchanged.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "entry/clap_entry.h"
#include "fuzz/support/in_process_module.h"

namespace {

using namespace clap;
using tarvel::fuzz::Bytes;
using tarvel::fuzz::require;

// A host that offers no extensions: the plug-in must manage without.
const void* hostExtension(const clap_host_t*, const char*) { return nullptr; }
void hostRequest(const clap_host_t*) {}
const clap_host_t host = {CLAP_VERSION, nullptr, "fuzz", "tarvel", "", "1", hostExtension,
                          hostRequest,  hostRequest, hostRequest};

struct Reader {
    const Bytes* bytes;
    std::size_t position;
    std::size_t step;
};

std::int64_t readSome(const clap_istream_t* stream, void* buffer, std::uint64_t size)
{
    auto& reader = *static_cast<Reader*>(stream->ctx);
    const std::size_t count =
        std::min({static_cast<std::size_t>(size), reader.step, reader.bytes->size() - reader.position});
    if (count > 0)
        std::memcpy(buffer, reader.bytes->data() + reader.position, count);
    reader.position += count;
    return static_cast<std::int64_t>(count);
}

struct Writer {
    Bytes* bytes;
    std::size_t step;
};

std::int64_t writeSome(const clap_ostream_t* stream, const void* buffer, std::uint64_t size)
{
    auto& writer = *static_cast<Writer*>(stream->ctx);
    const std::size_t count = std::min(static_cast<std::size_t>(size), writer.step);
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    writer.bytes->insert(writer.bytes->end(), bytes, bytes + count);
    return static_cast<std::int64_t>(count);
}

class Plugin {
public:
    explicit Plugin(std::size_t streamStep) : step(streamStep)
    {
        tarvel::fuzz::enterModule();
        require(clap_entry.init("Tarvel64.clap"), "clap_entry.init failed");
        const auto* factory = static_cast<const clap_plugin_factory_t*>(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
        require(factory && factory->get_plugin_count(factory) == 1, "the factory offers no plug-in");
        const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
        plugin = factory->create_plugin(factory, &host, descriptor->id);
        require(plugin && plugin->init(plugin), "the plug-in could not be created");
        state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
        params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
        require(state && params, "the plug-in lacks the state or params extension");
    }
    ~Plugin()
    {
        plugin->destroy(plugin);
        clap_entry.deinit();
    }
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    bool load(const Bytes& bytes)
    {
        Reader reader{&bytes, 0, step};
        const clap_istream_t stream{&reader, readSome};
        return state->load(plugin, &stream);
    }

    Bytes save()
    {
        Bytes bytes;
        Writer writer{&bytes, step};
        const clap_ostream_t stream{&writer, writeSome};
        require(state->save(plugin, &stream), "save failed");
        return bytes;
    }

    void process()
    {
        constexpr std::uint32_t frames = 128;
        require(plugin->activate(plugin, 48000.0, 1, frames), "activate failed");
        require(plugin->start_processing(plugin), "start_processing failed");
        std::array<std::array<float, frames>, 2> input{};
        std::array<std::array<float, frames>, 2> output{};
        float* inputs[] = {input[0].data(), input[1].data()};
        float* outputs[] = {output[0].data(), output[1].data()};
        const clap_audio_buffer_t inputBuffer{inputs, nullptr, 2, 0, 0};
        clap_audio_buffer_t outputBuffer{outputs, nullptr, 2, 0, 0};
        const clap_input_events_t noEvents{nullptr, [](const clap_input_events_t*) -> std::uint32_t { return 0; },
                                           [](const clap_input_events_t*, std::uint32_t) -> const clap_event_header_t* {
                                               return nullptr;
                                           }};
        const clap_output_events_t discard{nullptr,
                                           [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};
        for (int block = 0; block < 4; ++block) {
            for (std::size_t i = 0; i < frames; ++i)
                input[0][i] = input[1][i] =
                    (block % 2 ? 0.7f : 0.03f) * std::sin(0.03f * static_cast<float>(block * 128 + static_cast<int>(i)));
            const clap_process_t process{block * 128, frames,        nullptr, &inputBuffer, &outputBuffer, 1, 1,
                                         &noEvents,   &discard};
            require(plugin->process(plugin, &process) != CLAP_PROCESS_ERROR, "process failed");
            for (const auto& channel : output)
                require(tarvel::fuzz::allFinite(channel.data(), channel.size()), "the output is not finite");
        }
        plugin->stop_processing(plugin);
        plugin->deactivate(plugin);
    }

    void checkParameters()
    {
        const std::uint32_t count = params->count(plugin);
        for (std::uint32_t index = 0; index < count; ++index) {
            clap_param_info_t info{};
            require(params->get_info(plugin, index, &info), "a listed parameter has no info");
            double value = 0.0;
            require(params->get_value(plugin, info.id, &value), "a parameter has no value");
            require(std::isfinite(value) && value >= info.min_value && value <= info.max_value,
                    "a parameter's value is outside its range");
            std::array<char, 64> text{};
            require(params->value_to_text(plugin, info.id, value, text.data(), text.size()),
                    "a parameter has no text for its value");
            require(std::memchr(text.data(), 0, text.size()) != nullptr, "a parameter's text is not terminated");
            double readBack = 0.0;
            if (params->text_to_value(plugin, info.id, text.data(), &readBack))
                require(std::isfinite(readBack) && readBack >= info.min_value && readBack <= info.max_value,
                        "a parameter's own text reads back outside its range");
        }
    }

private:
    std::size_t step;
    const clap_plugin_t* plugin = nullptr;
    const clap_plugin_state_t* state = nullptr;
    const clap_plugin_params_t* params = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // 0 passes everything asked at once, 1..255 at most that many bytes.
    const std::size_t step = data[0] == 0 ? SIZE_MAX : data[0];
    const Bytes input(data + 1, data + size);

    Plugin plugin(step);
    const Bytes before = plugin.save();
    const bool loaded = plugin.load(input);
    const Bytes saved = plugin.save();
    if (!loaded) {
        tarvel::fuzz::requireSame(before, saved, "a refused state changed the plug-in");
        return 0;
    }
    // Refused bytes leave the defaults, which every loaded input covers too.
    plugin.process();
    plugin.checkParameters();
    tarvel::fuzz::requireSame(saved, plugin.save(), "processing without parameter changes changed the state");

    {
        Plugin second(step);
        require(second.load(saved), "a saved state did not load again");
        tarvel::fuzz::requireSame(saved, second.save(), "a saved state loaded and saved again changed its bytes");
    }
    return 0;
}
