// Creating the effect, its record and its dispatcher.

#include "sdk/vst2/vst2_wrapper.h"

#include <bit>
#include <cstring>

#include "public.sdk/source/common/memorystream.h"
#include "sdk/module_entry.h"
#include "sdk/vst2/vst2_host_context.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

using namespace vst2;

namespace {

// Opcodes some hosts send from their audio thread. Every other dispatcher
// call is made on the user-interface thread, where the controller lives.
bool mayComeFromAudioThread(VstInt32 opcode)
{
    switch (opcode) {
    case effProcessEvents:
    case effSetBypass:
    case effVendorSpecific:
    case effCanDo:
    case effGetTailSize:
    case effStartProcess:
    case effStopProcess: return true;
    default: return false;
    }
}

} // namespace

AEffect* Vst2Wrapper::create(IPluginFactory* factory, const TUID vst3ComponentID, VstInt32 vst2ID,
                             audioMasterCallback audioMaster)
{
    IPtr<IPluginFactory> owner = owned(factory);
    if (!factory || !vst3ComponentID || !audioMaster)
        return nullptr;
    try {
        std::unique_ptr<Vst2Wrapper> wrapper(new Vst2Wrapper(owner, vst2ID, audioMaster));
        if (!wrapper->setUp(vst3ComponentID))
            return nullptr;
        wrapper->ownsModuleReference = true;
        return &wrapper.release()->effect;
    } catch (...) {
        return nullptr;
    }
}

Vst2Wrapper::Vst2Wrapper(IPluginFactory* pluginFactory, VstInt32 vst2ID, audioMasterCallback callback)
    : audioMaster(callback), uniqueId(vst2ID), factory(pluginFactory)
{
}

Vst2Wrapper::~Vst2Wrapper()
{
    tearDown();
    if (ownsModuleReference)
        DeinitModule();
}

bool Vst2Wrapper::setUp(const TUID vst3ComponentID)
{
    hostContext = owned(new Vst2HostContext(audioMaster, effect));
    componentHandler = owned(new Vst2ComponentHandler(*this));
    if (!readVst2Identity(*factory, vst3ComponentID, identity))
        return false;
    if (!createComponents(vst3ComponentID))
        return false;
    connectComponents();
    readParameterInfos();
    std::vector<ParamID> ids;
    ids.reserve(parameterInfos.size());
    for (const ParameterInfo& info : parameterInfos)
        ids.push_back(info.id);
    processorValues = std::make_unique<Vst2PendingValues>(ids);
    controllerValues = std::make_unique<Vst2PendingValues>(std::move(ids));
    showControllerValues();
    blockChanges = std::make_unique<Vst2BlockParameterChanges>(static_cast<int32>(parameterInfos.size()));
    describeEffect();
    editor = createVst2Editor(*controller, effect, audioMaster);
    if (editor)
        effect.flags |= effFlagsHasEditor;
    return true;
}

bool Vst2Wrapper::createComponents(const TUID vst3ComponentID)
{
    IComponent* createdComponent = nullptr;
    if (factory->createInstance(vst3ComponentID, IComponent::iid, reinterpret_cast<void**>(&createdComponent)) !=
            kResultOk ||
        !createdComponent)
        return false;
    component = owned(createdComponent);
    processor = FUnknownPtr<IAudioProcessor>(component);
    if (!processor || component->initialize(hostContext) != kResultOk)
        return false;
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);

    TUID controllerClass;
    IEditController* createdController = nullptr;
    if (component->getControllerClassId(controllerClass) == kResultTrue &&
        factory->createInstance(controllerClass, IEditController::iid,
                                reinterpret_cast<void**>(&createdController)) == kResultOk &&
        createdController) {
        controller = owned(createdController);
        if (controller->initialize(hostContext) != kResultOk) {
            controller = nullptr;
            return false;
        }
    } else {
        controller = FUnknownPtr<IEditController>(component);
        controllerIsComponent = true;
    }
    if (!controller)
        return false;
    controller->setComponentHandler(componentHandler);

    SpeakerArrangement arrangement = 0;
    if (processor->getBusArrangement(kOutput, 0, arrangement) == kResultTrue && arrangement != 0)
        channelCount = static_cast<int32>(std::popcount(static_cast<std::uint64_t>(arrangement)));
    return true;
}

void Vst2Wrapper::connectComponents()
{
    if (!controllerIsComponent) {
        FUnknownPtr<IConnectionPoint> componentPoint(component);
        FUnknownPtr<IConnectionPoint> controllerPoint(controller);
        if (componentPoint && controllerPoint) {
            componentPoint->connect(controllerPoint);
            controllerPoint->connect(componentPoint);
            componentsConnected = true;
        }
    }
    // The controller starts from the processor's state, as in a VST 3 host.
    MemoryStream state;
    if (component->getState(&state) == kResultOk) {
        state.seek(0, IBStream::kIBSeekSet, nullptr);
        controller->setComponentState(&state);
    }
}

void Vst2Wrapper::describeEffect()
{
    effect.magic = kEffectMagic;
    effect.dispatcher = dispatcherEntry;
    effect.setParameter = setParameterEntry;
    effect.getParameter = getParameterEntry;
    effect.processReplacing = processEntry;
    effect.processDoubleReplacing = processDoubleEntry;
    effect.numPrograms = 1;
    effect.numParams = static_cast<VstInt32>(parameterInfos.size());
    effect.numInputs = effect.numOutputs = channelCount;
    effect.flags = effFlagsCanReplacing | effFlagsProgramChunks;
    if (processor->canProcessSampleSize(kSample64) == kResultOk)
        effect.flags |= effFlagsCanDoubleReplacing;
    if (identity.isInstrument)
        effect.flags |= effFlagsIsSynth;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = uniqueId;
    effect.version = identity.vendorVersion;
    effect.initialDelay = static_cast<VstInt32>(processor->getLatencySamples());
}

void Vst2Wrapper::tearDown() noexcept
{
    try {
        if (active)
            suspend();
        editor.reset();
        if (componentsConnected) {
            FUnknownPtr<IConnectionPoint> componentPoint(component);
            FUnknownPtr<IConnectionPoint> controllerPoint(controller);
            componentPoint->disconnect(controllerPoint);
            controllerPoint->disconnect(componentPoint);
            componentsConnected = false;
        }
        if (controller) {
            controller->setComponentHandler(nullptr);
            if (!controllerIsComponent)
                controller->terminate();
        }
        if (componentHandler)
            componentHandler->detach();
        if (component)
            component->terminate();
    } catch (...) {
    }
    controller = nullptr;
    processor = nullptr;
    component = nullptr;
    factory = nullptr;
}

Vst2Wrapper* Vst2Wrapper::from(AEffect* effect) noexcept
{
    if (!effect || effect->magic != kEffectMagic)
        return nullptr;
    return static_cast<Vst2Wrapper*>(effect->object);
}

VstIntPtr VST2_CALLBACK Vst2Wrapper::dispatcherEntry(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value, void* ptr, float opt)
{
    Vst2Wrapper* wrapper = from(effect);
    if (!wrapper)
        return 0;
    if (opcode == effClose) {
        delete wrapper;
        return 1;
    }
    try {
        if (!mayComeFromAudioThread(opcode))
            wrapper->catchUpController();
        return wrapper->dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void VST2_CALLBACK Vst2Wrapper::setParameterEntry(AEffect* effect, VstInt32 index, float value)
{
    if (Vst2Wrapper* wrapper = from(effect)) {
        try {
            wrapper->setParameter(index, value);
        } catch (...) {
        }
    }
}

float VST2_CALLBACK Vst2Wrapper::getParameterEntry(AEffect* effect, VstInt32 index)
{
    if (Vst2Wrapper* wrapper = from(effect)) {
        try {
            return wrapper->getParameter(index);
        } catch (...) {
        }
    }
    return 0.0f;
}

VstIntPtr Vst2Wrapper::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode) {
    case effOpen: return 0;
    case effSetProgram:
    case effGetProgram:
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed: return dispatchProgram(opcode, index, ptr);
    case effGetParamLabel: return getParameterLabel(index, static_cast<char*>(ptr));
    case effGetParamDisplay: return getParameterDisplay(index, static_cast<char*>(ptr));
    case effGetParamName: return getParameterName(index, static_cast<char*>(ptr));
    case effCanBeAutomated: return canBeAutomated(index);
    case effString2Parameter: return stringToParameter(index, static_cast<const char*>(ptr));
    case effGetParameterProperties:
        return getParameterProperties(index, static_cast<VstParameterProperties*>(ptr));
    case effSetSampleRate: return setSampleRate(opt);
    case effSetBlockSize: return setBlockSize(value);
    case effSetProcessPrecision: return setProcessPrecision(value);
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                     static_cast<const VstSpeakerArrangement*>(ptr));
    case effMainsChanged: return value != 0 ? resume() : suspend();
    case effSetBypass: return setBypass(value != 0);
    case effGetChunk: return getChunk(static_cast<void**>(ptr));
    case effSetChunk: return setChunk(ptr, value);
    case effGetTailSize: {
        const uint32 tail = processor->getTailSamples();
        // 0 would mean "not supported"; 1 is the answer for no tail.
        return tail == 0 ? 1 : static_cast<VstIntPtr>(tail);
    }
    case effCanDo: return canDo(static_cast<const char*>(ptr));
    case effGetEffectName:
    case effGetVendorString:
    case effGetProductString:
    case effGetVendorVersion:
    case effGetPlugCategory:
    case effGetVstVersion: return dispatchIdentity(opcode, ptr);
    case effEditGetRect:
    case effEditOpen:
    case effEditClose:
    case effEditIdle:
    case effEditKeyDown:
    case effEditKeyUp: return dispatchEditor(opcode, index, value, ptr, opt);
    default: return 0;
    }
}

VstIntPtr Vst2Wrapper::dispatchProgram(VstInt32 opcode, VstInt32 index, void* ptr)
{
    // One program: the current settings. Its name is the host's to choose.
    switch (opcode) {
    case effGetProgram: return 0;
    case effSetProgramName:
        if (ptr)
            programName.assign(static_cast<const char*>(ptr), strnlen(static_cast<const char*>(ptr), kVstMaxProgNameLen - 1));
        return 0;
    case effGetProgramName: copyVst2Text(static_cast<char*>(ptr), kVstMaxProgNameLen, programName); return 0;
    case effGetProgramNameIndexed:
        if (index != 0 || !ptr)
            return 0;
        copyVst2Text(static_cast<char*>(ptr), kVstMaxProgNameLen, programName);
        return 1;
    default: return 0;
    }
}

VstIntPtr Vst2Wrapper::dispatchIdentity(VstInt32 opcode, void* ptr)
{
    switch (opcode) {
    case effGetEffectName:
        copyVst2Text(static_cast<char*>(ptr), kVstMaxEffectNameLen, identity.effectName);
        return ptr ? 1 : 0;
    case effGetVendorString:
        copyVst2Text(static_cast<char*>(ptr), kVstMaxVendorStrLen, identity.vendor);
        return ptr ? 1 : 0;
    case effGetProductString:
        copyVst2Text(static_cast<char*>(ptr), kVstMaxProductStrLen, identity.productName);
        return ptr ? 1 : 0;
    case effGetVendorVersion: return identity.vendorVersion;
    case effGetPlugCategory: return identity.category;
    case effGetVstVersion: return kVstVersion;
    default: return 0;
    }
}

VstIntPtr Vst2Wrapper::dispatchEditor(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!editor) {
        if (opcode == effEditGetRect && ptr)
            *static_cast<ERect**>(ptr) = nullptr;
        return 0;
    }
    switch (opcode) {
    case effEditGetRect: return ptr && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen: return editor->open(ptr) ? 1 : 0;
    case effEditClose: editor->close(); return 1;
    case effEditIdle: editor->idle(); return 1;
    case effEditKeyDown:
    case effEditKeyUp:
        // The character in index, the virtual key in value, the modifier
        // bits in opt; 0 hands the key back to the host.
        return editor->key(opcode == effEditKeyDown, static_cast<char16>(index), static_cast<int16>(value),
                           static_cast<int16>(opt))
                   ? 1
                   : 0;
    default: return 0;
    }
}

VstIntPtr Vst2Wrapper::hostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (!effect.object)
        return 0;
    return audioMaster(&effect, opcode, index, value, ptr, opt);
}

VstIntPtr Vst2Wrapper::canDo(const char* feature) const
{
    if (!feature)
        return 0;
    const std::string_view asked(feature, strnlen(feature, 64));
    if (asked == "bypass")
        return bypassIndex >= 0 ? 1 : -1;
    if (asked == "receiveVstEvents" || asked == "receiveVstMidiEvent" || asked == "sendVstEvents" ||
        asked == "sendVstMidiEvent")
        return -1;
    return 0;
}

} // namespace Steinberg::Vst
