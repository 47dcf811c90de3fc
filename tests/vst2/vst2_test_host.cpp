#include "vst2/vst2_test_host.h"

#include <cstring>
#include <stdexcept>

namespace tarvel::test {

using namespace vst2;

namespace {

// The host an effect belongs to before it has an effect record to carry it
// (the version query inside the entry point).
Vst2TestHost* openingHost = nullptr;

} // namespace

Vst2TestHost::Vst2TestHost(VstIntPtr answer)
    : library(host::SharedLibrary::open(TARVEL_MODULE_PATH)), versionAnswer(answer)
{
}

Vst2TestHost::~Vst2TestHost() { close(); }

AEffect* Vst2TestHost::open(const char* entryName)
{
    using Entry = AEffect*(VST2_CALLBACK*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(library->symbol(entryName));
    if (!entry)
        throw std::runtime_error(std::string("no entry point ") + entryName);
    openingHost = this;
    effect = entry(callback);
    openingHost = nullptr;
    if (effect)
        effect->user = this;
    return effect;
}

void Vst2TestHost::close()
{
    if (!effect)
        return;
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
}

VstIntPtr Vst2TestHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Vst2TestHost::text(VstInt32 opcode, VstInt32 index)
{
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    buffer[sizeof buffer - 1] = '\0';
    dispatch(opcode, index, 0, buffer);
    return buffer;
}

void Vst2TestHost::resume(float sampleRate, VstIntPtr blockSize, bool doublePrecision)
{
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effSetProcessPrecision, 0, doublePrecision ? kVstProcessPrecision64 : kVstProcessPrecision32);
    dispatch(effMainsChanged, 0, 1);
}

void Vst2TestHost::suspend() { dispatch(effMainsChanged, 0, 0); }

std::vector<std::uint8_t> Vst2TestHost::chunk()
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

VstIntPtr Vst2TestHost::restore(const std::vector<std::uint8_t>& bytes)
{
    return dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), const_cast<std::uint8_t*>(bytes.data()));
}

std::vector<HostCall> Vst2TestHost::callsOf(VstInt32 opcode) const
{
    std::vector<HostCall> matching;
    for (const HostCall& call : calls)
        if (call.opcode == opcode)
            matching.push_back(call);
    return matching;
}

VstIntPtr VST2_CALLBACK Vst2TestHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt)
{
    Vst2TestHost* host = effect && effect->user ? static_cast<Vst2TestHost*>(effect->user) : openingHost;
    if (!host)
        return 0;
    host->calls.push_back({opcode, index, value, opt, effect != nullptr, std::this_thread::get_id()});
    switch (opcode) {
    case audioMasterVersion: return host->versionAnswer;
    case audioMasterGetProductString:
        if (ptr)
            std::strcpy(static_cast<char*>(ptr), "Test Host");
        return 1;
    default: return 0;
    }
}

} // namespace tarvel::test
