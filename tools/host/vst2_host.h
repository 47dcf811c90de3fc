#pragma once
// The host's side of one VST 2.4 effect: the module loaded with the system's
// loader, the effect taken from an exported entry point, its dispatcher, and
// the host callback, which records every call the effect makes back (with
// the thread it came from) before answering it. Vst2EffectHost renders
// through it; tests drive it opcode by opcode.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sdk/vst2/vst2_abi.h"
#include "tools/host/module_library.h"

namespace tarvel::host {

class Vst2Host {
public:
    struct Call {
        vst2::VstInt32 opcode;
        vst2::VstInt32 index;
        vst2::VstIntPtr value;
        float opt;
        bool hadEffect; // false for calls made before the entry point returned
        std::thread::id thread;
    };
    // A host's own answer to a call, or nothing for the standard answer:
    // the version (versionAnswer), the product name, 1 for edits and window
    // sizes, 0 for everything else.
    using Answer = std::function<std::optional<vst2::VstIntPtr>(const Call& call, void* ptr)>;

    // Loads the module file (or bundle folder); throws std::runtime_error if
    // it cannot be loaded.
    explicit Vst2Host(const std::string& modulePath, vst2::VstIntPtr versionAnswer = vst2::kVstVersion,
                      Answer answer = {});
    ~Vst2Host();
    Vst2Host(const Vst2Host&) = delete;
    Vst2Host& operator=(const Vst2Host&) = delete;

    // Calls the entry point and keeps its effect (null if the entry gave
    // none); throws std::runtime_error if the module has no such entry.
    vst2::AEffect* open(const char* entryName = "VSTPluginMain");
    // effClose, once, if an effect is open.
    void close();

    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f);
    // A text opcode answered into a buffer larger than the ABI promises,
    // terminated whatever the effect writes.
    std::string text(vst2::VstInt32 opcode, vst2::VstInt32 index = 0);
    void resume(float sampleRate = 48000.0f, vst2::VstIntPtr blockSize = 512, bool doublePrecision = false);
    void suspend();
    // The effect's whole chunk, and setting one (the effect's answer).
    std::vector<std::uint8_t> chunk();
    vst2::VstIntPtr restore(const std::vector<std::uint8_t>& bytes);

    // Calls the effect made since the last clearCalls(), all or of one opcode.
    const std::vector<Call>& allCalls() const { return calls; }
    std::vector<Call> callsOf(vst2::VstInt32 opcode) const;
    void clearCalls() { calls.clear(); }

    vst2::AEffect* effect = nullptr;

private:
    static vst2::VstIntPtr VST2_CALLBACK callback(vst2::AEffect* effect, vst2::VstInt32 opcode,
                                                  vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                                  float opt);
    vst2::VstIntPtr standardAnswer(vst2::VstInt32 opcode, void* ptr) const;

    std::unique_ptr<SharedLibrary> library;
    vst2::VstIntPtr versionAnswer;
    Answer answer;
    std::vector<Call> calls;
};

} // namespace tarvel::host
