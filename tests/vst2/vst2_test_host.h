#pragma once
// A VST 2.4 host for tests: loads the built module with the system loader,
// enters it through an exported VST 2 entry point and records every call the
// effect makes back to it.

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sdk/vst2/vst2_abi.h"
#include "tools/host/module_library.h"

namespace tarvel::test {

struct HostCall {
    vst2::VstInt32 opcode;
    vst2::VstInt32 index;
    vst2::VstIntPtr value;
    float opt;
    bool hadEffect;
    std::thread::id thread;
};

class Vst2TestHost {
public:
    // versionAnswer is what the host says to audioMasterVersion.
    explicit Vst2TestHost(vst2::VstIntPtr versionAnswer = 2400);
    ~Vst2TestHost();
    Vst2TestHost(const Vst2TestHost&) = delete;
    Vst2TestHost& operator=(const Vst2TestHost&) = delete;

    // Calls the entry point (VSTPluginMain or main) and keeps its effect.
    vst2::AEffect* open(const char* entryName = "VSTPluginMain");
    void close();

    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                             void* ptr = nullptr, float opt = 0.0f);
    // A text opcode answered into a large buffer, as hosts provide.
    std::string text(vst2::VstInt32 opcode, vst2::VstInt32 index = 0);
    void resume(float sampleRate = 48000.0f, vst2::VstIntPtr blockSize = 512, bool doublePrecision = false);
    void suspend();

    std::vector<std::uint8_t> chunk();
    vst2::VstIntPtr restore(const std::vector<std::uint8_t>& bytes);

    // Calls made with a given opcode since the last clearCalls().
    std::vector<HostCall> callsOf(vst2::VstInt32 opcode) const;
    void clearCalls() { calls.clear(); }
    const std::vector<HostCall>& allCalls() const { return calls; }

    vst2::AEffect* effect = nullptr;

private:
    static vst2::VstIntPtr VST2_CALLBACK callback(vst2::AEffect* effect, vst2::VstInt32 opcode,
                                                  vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                                  float opt);

    std::unique_ptr<host::SharedLibrary> library;
    vst2::VstIntPtr versionAnswer;
    std::vector<HostCall> calls;
};

} // namespace tarvel::test
