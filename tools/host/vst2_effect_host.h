#pragma once
// EffectHost for the module's VST 2.4 entry: the effect from VSTPluginMain,
// driven through its dispatcher as a VST 2 host drives it, idling between
// blocks, with a latency change (audioMasterIOChanged) answered by a suspend
// and resume between blocks.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sdk/vst2/vst2_abi.h"
#include "tools/host/effect_host.h"
#include "tools/host/vst2_host.h"

namespace tarvel::host {

class Vst2EffectHost final : public EffectHost {
public:
    // Loads the module file (or bundle folder) and opens one effect; throws
    // std::runtime_error if it has no VST 2 entry or gives no effect.
    explicit Vst2EffectHost(const std::string& modulePath);
    ~Vst2EffectHost() override;
    Vst2EffectHost(const Vst2EffectHost&) = delete;
    Vst2EffectHost& operator=(const Vst2EffectHost&) = delete;

    // VST 2 knows parameters by index; the plug-in's ids are its indices.
    void setParameter(std::uint32_t id, double normalized) override;
    double parameter(std::uint32_t id) override;
    // VST 2 shows only the current value's text: asking for another value
    // throws std::invalid_argument.
    std::string parameterDisplay(std::uint32_t id, double normalized) override;

    std::int32_t latency() override;

    // The processor's part of the effect's chunk, and a chunk made of it.
    std::vector<std::uint8_t> processorState() override;
    void restoreProcessorState(const std::vector<std::uint8_t>& bytes) override;

    vst2::AEffect& effect() { return *plugin; }

    // What the effect told the host of edits and of its window, in order.
    using Call = Vst2Host::Call;
    std::vector<Call> calls() const;
    void clearCalls() { connection.clearCalls(); }
    // An editor opcode (effEditGetRect, effEditOpen, effEditClose, effEditIdle).
    vst2::VstIntPtr editor(vst2::VstInt32 opcode, void* ptr = nullptr) { return dispatch(opcode, 0, 0, ptr); }
    // A key handed to the editor (effEditKeyDown or effEditKeyUp): the
    // character, the virtual key and the modifier bits; 1 if it was used.
    vst2::VstIntPtr editorKey(vst2::VstInt32 opcode, vst2::VstInt32 character, vst2::VstIntPtr virtualKey,
                              int modifiers = 0)
    {
        return dispatch(opcode, character, virtualKey, nullptr, static_cast<float>(modifiers));
    }
    int restartsDone() const { return restartCount; }

private:
    // What this host answers beyond the standard answers: the latency
    // change, and the set-up in force.
    std::optional<vst2::VstIntPtr> answer(const Vst2Host::Call& call);
    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f);
    vst2::VstInt32 indexOf(std::uint32_t id) const;
    // The host's user-interface thread idling between blocks: the effect
    // brings its controller, latency and host callbacks up to date there,
    // after a setParameter that may have come from the audio thread.
    void idle();
    void resume();
    void start() override;
    void halt() override;
    void processBlock(const float* const* input, float* const* output, std::int32_t frames) override;
    void processBlock(const double* const* input, double* const* output, std::int32_t frames) override;
    template <typename Sample>
    void processSamples(const Sample* const* input, Sample* const* output, std::int32_t frames);

    Vst2Host connection;
    vst2::AEffect* plugin = nullptr;
    bool restartPending = false;
    int restartCount = 0;
};

} // namespace tarvel::host
