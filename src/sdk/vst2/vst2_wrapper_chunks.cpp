// Saving and restoring the effect's chunk: both components' states.

#include <span>

#include "public.sdk/source/common/memorystream.h"
#include "sdk/vst2/vst2_chunk.h"
#include "sdk/vst2/vst2_wrapper.h"

namespace Steinberg::Vst {

using namespace vst2;

namespace {

std::span<const std::uint8_t> bytesOf(MemoryStream& stream)
{
    return {reinterpret_cast<const std::uint8_t*>(stream.getData()), static_cast<std::size_t>(stream.getSize())};
}

// A stream over a copy of the bytes, positioned at the start.
IPtr<MemoryStream> streamOf(std::span<const std::uint8_t> bytes)
{
    auto stream = owned(new MemoryStream);
    if (!bytes.empty())
        stream->write(const_cast<std::uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), nullptr);
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    return stream;
}

// Resets a flag however the scope is left.
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

// The bytes stay with the effect until the next effGetChunk or effClose, as
// the host may read them after the call returns.
VstIntPtr Vst2Wrapper::getChunk(void** data)
{
    if (!data)
        return 0;
    *data = nullptr;
    deliverPendingValues();
    MemoryStream processorState;
    if (component->getState(&processorState) != kResultOk)
        return 0;
    MemoryStream controllerState;
    if (!controllerIsComponent && controller->getState(&controllerState) != kResultOk)
        return 0;
    chunk = packVst2Chunk(bytesOf(processorState), bytesOf(controllerState));
    *data = chunk.data();
    return static_cast<VstIntPtr>(chunk.size());
}

// A chunk either restores completely or changes nothing: the processor
// refuses a state it cannot read before anything else is touched.
VstIntPtr Vst2Wrapper::setChunk(const void* data, VstIntPtr size)
{
    // Far beyond any state; a size like this is a host's garbage.
    constexpr VstIntPtr largestChunk = VstIntPtr{1} << 26;
    if (!data || size <= 0 || size > largestChunk)
        return 0;
    const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size));
    const std::optional<Vst2ChunkParts> parts = unpackVst2Chunk(bytes);
    if (!parts)
        return 0;
    if (component->setState(streamOf(parts->processorState)) != kResultOk)
        return 0;
    // Values the host set before the chunk are older than it.
    processorValues->discard();
    {
        ScopedFlag restoring(restoringChunk);
        controller->setComponentState(streamOf(parts->processorState));
        valuesFromProcessorState.clear();
        for (const ParameterInfo& info : parameterInfos)
            valuesFromProcessorState.push_back(controller->getParamNormalized(info.id));
        if (!controllerIsComponent && !parts->controllerState.empty())
            controller->setState(streamOf(parts->controllerState));
        valuesFromProcessorState.clear();
    }
    showControllerValues();
    hostCall(audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
    return 1;
}

} // namespace Steinberg::Vst
