#pragma once
// Stand-in for the SDK's VST 2 adapter: presents a factory's processor and
// controller classes to a VST 2.4 host as one effect. The host sees the
// AEffect record; behind it the adapter drives the two VST 3 components the
// way a VST 3 host would (initialize, connect, set up, activate, process,
// save and restore state).
//
// Threads: the dispatcher runs on the host's user-interface thread, except
// for the few opcodes some hosts send from their audio thread;
// processReplacing and processDoubleReplacing run on the audio thread, where
// nothing allocates, locks or throws. Hosts automate by calling setParameter
// from either thread, so it only records the value: for the processor's next
// block, and for the controller, which hears it (and with it any latency
// change and the host's callbacks) at the next dispatcher call made on the
// user-interface thread. getParameter answers the newest value from any
// thread without touching the controller.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/vst2/vst2_abi.h"
#include "sdk/vst2/vst2_component_handler.h"
#include "sdk/vst2/vst2_editor.h"
#include "sdk/vst2/vst2_identity.h"
#include "sdk/vst2/vst2_parameter_queue.h"

namespace Steinberg::Vst {

class Vst2HostContext;

class Vst2Wrapper final : private Vst2EditListener {
public:
    // The effect for vst3ComponentID, or null if the factory cannot create
    // and initialise its components. Takes over the factory reference in
    // every case. The effect runs DeinitModule when the host closes it.
    static vst2::AEffect* create(IPluginFactory* factory, const TUID vst3ComponentID, vst2::VstInt32 vst2ID,
                                 vst2::audioMasterCallback audioMaster);

    ~Vst2Wrapper();
    Vst2Wrapper(const Vst2Wrapper&) = delete;
    Vst2Wrapper& operator=(const Vst2Wrapper&) = delete;

private:
    Vst2Wrapper(IPluginFactory* factory, vst2::VstInt32 vst2ID, vst2::audioMasterCallback audioMaster);

    // Creation, in vst2_wrapper.cpp.
    bool setUp(const TUID vst3ComponentID);
    bool createComponents(const TUID vst3ComponentID);
    void connectComponents();
    void describeEffect();
    void tearDown() noexcept;

    // The record's entry points; effect->object is the adapter.
    static vst2::VstIntPtr VST2_CALLBACK dispatcherEntry(vst2::AEffect* effect, vst2::VstInt32 opcode,
                                                         vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                                         float opt);
    static void VST2_CALLBACK setParameterEntry(vst2::AEffect* effect, vst2::VstInt32 index, float value);
    static float VST2_CALLBACK getParameterEntry(vst2::AEffect* effect, vst2::VstInt32 index);
    static void VST2_CALLBACK processEntry(vst2::AEffect* effect, float** inputs, float** outputs,
                                           vst2::VstInt32 frames);
    static void VST2_CALLBACK processDoubleEntry(vst2::AEffect* effect, double** inputs, double** outputs,
                                                 vst2::VstInt32 frames);
    static Vst2Wrapper* from(vst2::AEffect* effect) noexcept;

    vst2::VstIntPtr dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                             float opt);
    // Hands the controller the values the host set since the last call; on
    // the user-interface thread only.
    void catchUpController();
    vst2::VstIntPtr dispatchProgram(vst2::VstInt32 opcode, vst2::VstInt32 index, void* ptr);
    vst2::VstIntPtr dispatchIdentity(vst2::VstInt32 opcode, void* ptr);
    vst2::VstIntPtr dispatchEditor(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                                   float opt);
    vst2::VstIntPtr canDo(const char* feature) const;
    // A call to the host about this effect; nothing is said before the host
    // has the effect's record.
    vst2::VstIntPtr hostCall(vst2::VstInt32 opcode, vst2::VstInt32 index, vst2::VstIntPtr value, void* ptr,
                             float opt);

    // Suspend, resume and the audio callbacks, in vst2_wrapper_audio.cpp.
    vst2::VstIntPtr setSampleRate(float rate);
    vst2::VstIntPtr setBlockSize(vst2::VstIntPtr size);
    vst2::VstIntPtr setProcessPrecision(vst2::VstIntPtr precision);
    vst2::VstIntPtr setSpeakerArrangement(const vst2::VstSpeakerArrangement* inputs,
                                          const vst2::VstSpeakerArrangement* outputs);
    bool start();
    void stop();
    void prepareProcessData();
    vst2::VstIntPtr resume();
    vst2::VstIntPtr suspend();
    void deliverPendingValues();
    void updateLatency(bool tellHost);
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, vst2::VstInt32 frames) noexcept;

    // Parameters, in vst2_wrapper_parameters.cpp.
    void readParameterInfos();
    bool validIndex(vst2::VstInt32 index) const noexcept;
    vst2::VstInt32 indexOf(ParamID id) const noexcept;
    void setParameter(vst2::VstInt32 index, float value);
    float getParameter(vst2::VstInt32 index) const;
    vst2::VstIntPtr getParameterName(vst2::VstInt32 index, char* text) const;
    vst2::VstIntPtr getParameterLabel(vst2::VstInt32 index, char* text) const;
    vst2::VstIntPtr getParameterDisplay(vst2::VstInt32 index, char* text) const;
    vst2::VstIntPtr getParameterProperties(vst2::VstInt32 index, vst2::VstParameterProperties* properties) const;
    vst2::VstIntPtr canBeAutomated(vst2::VstInt32 index) const;
    vst2::VstIntPtr stringToParameter(vst2::VstInt32 index, const char* text);
    vst2::VstIntPtr setBypass(bool on);
    // What getParameter answers becomes the controller's values; after the
    // controller took values by another way than setParameter.
    void showControllerValues();

    // Vst2EditListener: the controller's edits and restart requests.
    void beginEdit(ParamID id) override;
    void performEdit(ParamID id, ParamValue value) override;
    void endEdit(ParamID id) override;
    void restartComponent(int32 flags) override;

    // Chunks, in vst2_wrapper_chunks.cpp.
    vst2::VstIntPtr getChunk(void** data);
    vst2::VstIntPtr setChunk(const void* data, vst2::VstIntPtr size);

    vst2::AEffect effect{};
    vst2::audioMasterCallback audioMaster;
    vst2::VstInt32 uniqueId;
    bool ownsModuleReference = false;

    IPtr<IPluginFactory> factory;
    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    IPtr<IEditController> controller;
    bool controllerIsComponent = false;
    bool componentsConnected = false;
    IPtr<Vst2HostContext> hostContext;
    IPtr<Vst2ComponentHandler> componentHandler;
    std::unique_ptr<Vst2Editor> editor;
    Vst2Identity identity;

    std::vector<ParameterInfo> parameterInfos;
    vst2::VstInt32 bypassIndex = -1;
    std::unique_ptr<Vst2PendingValues> processorValues;
    std::unique_ptr<Vst2PendingValues> controllerValues;
    std::unique_ptr<Vst2BlockParameterChanges> blockChanges;
    // Controller edits while a chunk is restored reach the processor but are
    // not reported to the host, which is the one loading them.
    bool restoringChunk = false;
    // The controller's values once it has taken the chunk's processor half:
    // an edit from the controller half that repeats one of them tells the
    // processor nothing new (the processor may hold the same value unclamped).
    std::vector<ParamValue> valuesFromProcessorState;

    double sampleRate = 44100.0;
    int32 maxBlockSize = 1024;
    int32 sampleSize = kSample32;
    int32 channelCount = 2;
    bool active = false;
    std::atomic<bool> processing{false};
    ProcessData processData{};
    AudioBusBuffers inputBuses{};
    AudioBusBuffers outputBuses{};

    std::string programName = "Default";
    std::vector<std::uint8_t> chunk;
};

} // namespace Steinberg::Vst
