// Saving and loading both components' states through the host's streams, in
// the container the VST 2 chunk uses (see clap_adapter.h).

#include <span>

#include "public.sdk/source/common/memorystream.h"
#include "sdk/clap/clap_adapter.h"
#include "sdk/vst2/vst2_chunk.h"

namespace Steinberg::Vst {

using namespace clap;

namespace {

// Far beyond any state; a stream this long is not one of ours.
constexpr std::size_t largestState = std::size_t{1} << 26;

std::span<const std::uint8_t> bytesOf(MemoryStream& stream)
{
    return {reinterpret_cast<const std::uint8_t*>(stream.getData()), static_cast<std::size_t>(stream.getSize())};
}

IPtr<MemoryStream> streamOf(std::span<const std::uint8_t> bytes)
{
    auto stream = owned(new MemoryStream);
    if (!bytes.empty())
        stream->write(const_cast<std::uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), nullptr);
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return stream;
}

// Hosts may write or read fewer bytes than asked per call.
bool writeAll(const clap_ostream_t& stream, std::span<const std::uint8_t> bytes)
{
    if (!stream.write)
        return false;
    while (!bytes.empty()) {
        const std::int64_t written = stream.write(&stream, bytes.data(), bytes.size());
        if (written <= 0 || static_cast<std::uint64_t>(written) > bytes.size())
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool readAll(const clap_istream_t& stream, std::vector<std::uint8_t>& bytes)
{
    if (!stream.read)
        return false;
    std::uint8_t buffer[4096];
    for (;;) {
        const std::int64_t read = stream.read(&stream, buffer, sizeof buffer);
        if (read < 0 || static_cast<std::uint64_t>(read) > sizeof buffer)
            return false;
        if (read == 0)
            return true;
        if (bytes.size() + static_cast<std::size_t>(read) > largestState)
            return false;
        bytes.insert(bytes.end(), buffer, buffer + read);
    }
}

class ScopedFlag {
public:
    explicit ScopedFlag(bool& target) : flag(target) { flag = true; }
    ~ScopedFlag() { flag = false; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag;
};

} // namespace

bool ClapAdapter::save(const clap_ostream_t& stream)
{
    catchUpController();
    deliverPendingValues();
    MemoryStream processorState;
    if (component->getState(&processorState) != kResultOk)
        return false;
    MemoryStream controllerState;
    if (controller->getState(&controllerState) != kResultOk)
        return false;
    return writeAll(stream, packVst2Chunk(bytesOf(processorState), bytesOf(controllerState)));
}

// A state either loads completely or changes nothing: the container is read
// whole and the processor refuses a state it cannot read before anything
// else is touched.
bool ClapAdapter::load(const clap_istream_t& stream)
{
    std::vector<std::uint8_t> bytes;
    if (!readAll(stream, bytes))
        return false;
    const std::optional<Vst2ChunkParts> parts = unpackVst2Chunk(bytes);
    if (!parts)
        return false;
    catchUpController();
    if (component->setState(streamOf(parts->processorState)) != kResultOk)
        return false;
    // Values the host or the editor set before the state are older than it.
    processorValues->discard();
    controllerValues->discard();
    {
        ScopedFlag restoring(restoringState);
        controller->setComponentState(streamOf(parts->processorState));
        valuesFromProcessorState.clear();
        for (const ParameterInfo& info : parameterInfos)
            valuesFromProcessorState.push_back(controller->getParamNormalized(info.id));
        if (!parts->controllerState.empty())
            controller->setState(streamOf(parts->controllerState));
        valuesFromProcessorState.clear();
    }
    showControllerValues();
    if (hostParams && hostParams->rescan)
        hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT);
    return true;
}

const clap_plugin_state_t ClapAdapter::stateExtension = {
    [](const clap_plugin_t* plugin, const clap_ostream_t* stream) {
        ClapAdapter* self = from(plugin);
        try {
            return self && stream && self->component && self->save(*stream);
        } catch (...) {
            return false;
        }
    },
    [](const clap_plugin_t* plugin, const clap_istream_t* stream) {
        ClapAdapter* self = from(plugin);
        try {
            return self && stream && self->component && self->load(*stream);
        } catch (...) {
            return false;
        }
    },
};

} // namespace Steinberg::Vst
