// The chunk a VST 2 host stores in its projects and banks, handed back
// through VSTPluginMain's effect: effSetChunk with arbitrary bytes (the
// input's first byte says program or bank, the rest is the chunk), a few
// blocks of audio, effGetChunk. Nothing crashes, the audio stays finite, a
// refused chunk changes nothing, and a chunk that loads saves to bytes that
// load and save again unchanged.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "entry/vst2_entry.h"
#include "fuzz/support/in_process_module.h"

namespace {

using namespace vst2;
using tarvel::fuzz::Bytes;
using tarvel::fuzz::require;

VstIntPtr VST2_CALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetSampleRate: return 48000;
    case audioMasterGetBlockSize: return 256;
    default: return 0;
    }
}

class Effect {
public:
    Effect()
    {
        tarvel::fuzz::enterModule();
        effect = VSTPluginMain(hostCallback);
        require(effect != nullptr, "VSTPluginMain returned no effect");
        require(effect->magic == kEffectMagic, "the effect has the wrong magic");
        call(effOpen);
    }
    ~Effect() { call(effClose); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    Bytes chunk(bool program)
    {
        void* data = nullptr;
        const VstIntPtr size = call(effGetChunk, program ? 1 : 0, 0, &data);
        require(size > 0 && data != nullptr, "effGetChunk returned nothing");
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return Bytes(bytes, bytes + size);
    }

    bool load(const Bytes& bytes, bool program)
    {
        // Hosts hand over their own buffer; a copy keeps the input read-only.
        Bytes copy = bytes;
        return call(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                    copy.empty() ? nullptr : copy.data()) != 0;
    }

    void process()
    {
        constexpr VstInt32 frames = 200;
        call(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        call(effSetBlockSize, 0, frames);
        call(effMainsChanged, 0, 1);
        call(effStartProcess);
        std::array<std::array<float, frames>, 2> input{};
        std::array<std::array<float, frames>, 2> output{};
        float* inputs[] = {input[0].data(), input[1].data()};
        float* outputs[] = {output[0].data(), output[1].data()};
        for (int block = 0; block < 4; ++block) {
            for (std::size_t i = 0; i < frames; ++i)
                input[0][i] = input[1][i] =
                    (block % 2 ? 0.8f : 0.02f) * std::sin(0.07f * static_cast<float>(block * frames + static_cast<int>(i)));
            effect->processReplacing(effect, inputs, outputs, frames);
            for (const auto& channel : output)
                require(tarvel::fuzz::allFinite(channel.data(), channel.size()), "the output is not finite");
        }
        call(effStopProcess);
        call(effMainsChanged, 0, 0);
    }

private:
    AEffect* effect = nullptr;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool program = (data[0] & 1) != 0;
    const Bytes chunk(data + 1, data + size);

    Effect effect;
    const Bytes before = effect.chunk(program);
    const bool loaded = effect.load(chunk, program);
    const Bytes saved = effect.chunk(program);
    if (!loaded) {
        tarvel::fuzz::requireSame(before, saved, "a refused chunk changed the effect");
        return 0;
    }
    // Refused bytes leave the defaults, which every loaded input covers too.
    effect.process();
    tarvel::fuzz::requireSame(saved, effect.chunk(program), "processing without parameter changes changed the chunk");

    {
        Effect second;
        require(second.load(saved, program), "a saved chunk did not load again");
        tarvel::fuzz::requireSame(saved, second.chunk(program), "a saved chunk loaded and saved again changed its bytes");
    }
    return 0;
}
