#include "tools/host/vst2_host.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace tarvel::host {

using namespace vst2;

namespace {

// The host an effect calls before it has a record to carry the host's
// pointer (the version query inside the entry point).
thread_local Vst2Host* openingHost = nullptr;

} // namespace

Vst2Host::Vst2Host(const std::string& modulePath, VstIntPtr version, Answer hostAnswer)
    : library(SharedLibrary::open(moduleBinaryPath(modulePath))), versionAnswer(version),
      answer(std::move(hostAnswer))
{
}

Vst2Host::~Vst2Host() { close(); }

AEffect* Vst2Host::open(const char* entryName)
{
    using Entry = AEffect*(VST2_CALLBACK*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(library->symbol(entryName));
    if (!entry)
        throw std::runtime_error(std::string("no VST 2 entry point ") + entryName);
    openingHost = this;
    effect = entry(callback);
    openingHost = nullptr;
    if (effect)
        effect->user = this;
    return effect;
}

void Vst2Host::close()
{
    if (!effect)
        return;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
}

VstIntPtr Vst2Host::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Vst2Host::text(VstInt32 opcode, VstInt32 index)
{
    std::array<char, 256> buffer;
    buffer.fill('x');
    buffer.back() = '\0';
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

void Vst2Host::resume(float sampleRate, VstIntPtr blockSize, bool doublePrecision)
{
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effSetProcessPrecision, 0, doublePrecision ? kVstProcessPrecision64 : kVstProcessPrecision32);
    dispatch(effMainsChanged, 0, 1);
}

void Vst2Host::suspend() { dispatch(effMainsChanged, 0, 0); }

std::vector<std::uint8_t> Vst2Host::chunk()
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

VstIntPtr Vst2Host::restore(const std::vector<std::uint8_t>& bytes)
{
    return dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), const_cast<std::uint8_t*>(bytes.data()));
}

std::vector<Vst2Host::Call> Vst2Host::callsOf(VstInt32 opcode) const
{
    std::vector<Call> matching;
    for (const Call& call : calls)
        if (call.opcode == opcode)
            matching.push_back(call);
    return matching;
}

VstIntPtr Vst2Host::standardAnswer(VstInt32 opcode, void* ptr) const
{
    switch (opcode) {
    case audioMasterVersion: return versionAnswer;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterSizeWindow: return 1;
    case audioMasterGetProductString:
        if (!ptr)
            return 0;
        std::strncpy(static_cast<char*>(ptr), "Tarvel host harness", kVstMaxProductStrLen - 1);
        return 1;
    default: return 0;
    }
}

VstIntPtr VST2_CALLBACK Vst2Host::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                           void* ptr, float opt)
{
    Vst2Host* host = effect && effect->user ? static_cast<Vst2Host*>(effect->user) : openingHost;
    if (!host)
        return 0;
    const Call call{opcode, index, value, opt, effect != nullptr, std::this_thread::get_id()};
    host->calls.push_back(call);
    if (host->answer)
        if (const std::optional<VstIntPtr> own = host->answer(call, ptr))
            return *own;
    return host->standardAnswer(opcode, ptr);
}

} // namespace tarvel::host
