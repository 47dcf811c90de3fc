// Parameters as a VST 2 host sees them: by index, with the controller's
// texts, and the controller's edits passed back to the host.

#include <cstring>

#include "sdk/vst2/vst2_text.h"
#include "sdk/vst2/vst2_wrapper.h"

namespace Steinberg::Vst {

using namespace vst2;

void Vst2Wrapper::readParameterInfos()
{
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) != kResultOk)
            continue;
        if ((info.flags & ParameterInfo::kIsBypass) && bypassIndex < 0)
            bypassIndex = static_cast<VstInt32>(parameterInfos.size());
        parameterInfos.push_back(info);
    }
}

bool Vst2Wrapper::validIndex(VstInt32 index) const noexcept
{
    return index >= 0 && static_cast<std::size_t>(index) < parameterInfos.size();
}

VstInt32 Vst2Wrapper::indexOf(ParamID id) const noexcept
{
    for (std::size_t i = 0; i < parameterInfos.size(); ++i)
        if (parameterInfos[i].id == id)
            return static_cast<VstInt32>(i);
    return -1;
}

// Hosts call this from their audio thread too, so the value is only
// recorded: the processor takes it with its next block, the controller at
// the next user-interface call.
void Vst2Wrapper::setParameter(VstInt32 index, float value)
{
    if (!validIndex(index))
        return;
    processorValues->set(index, static_cast<ParamValue>(value));
    controllerValues->set(index, static_cast<ParamValue>(value));
}

float Vst2Wrapper::getParameter(VstInt32 index) const
{
    if (!validIndex(index))
        return 0.0f;
    return static_cast<float>(controllerValues->newest(index));
}

void Vst2Wrapper::catchUpController()
{
    if (controller)
        controllerValues->takeEach([&](ParamID id, ParamValue value) { controller->setParamNormalized(id, value); });
}

void Vst2Wrapper::showControllerValues()
{
    for (std::size_t i = 0; i < parameterInfos.size(); ++i)
        controllerValues->show(static_cast<int32>(i), controller->getParamNormalized(parameterInfos[i].id));
}

// Names, labels and display texts fit the field the ABI gives them; hosts
// wanting the full name ask for the parameter's properties.
VstIntPtr Vst2Wrapper::getParameterName(VstInt32 index, char* text) const
{
    if (!validIndex(index) || !text)
        return 0;
    const ParameterInfo& info = parameterInfos[static_cast<std::size_t>(index)];
    const TChar* name = info.shortTitle[0] != 0 ? info.shortTitle : info.title;
    copyVst2Text(text, kVstMaxParamStrLen, utf8FromUtf16(name));
    return 1;
}

VstIntPtr Vst2Wrapper::getParameterLabel(VstInt32 index, char* text) const
{
    if (!validIndex(index) || !text)
        return 0;
    copyVst2Text(text, kVstMaxParamStrLen, utf8FromUtf16(parameterInfos[static_cast<std::size_t>(index)].units));
    return 1;
}

VstIntPtr Vst2Wrapper::getParameterDisplay(VstInt32 index, char* text) const
{
    if (!validIndex(index) || !text)
        return 0;
    const ParamID id = parameterInfos[static_cast<std::size_t>(index)].id;
    String128 display{};
    if (controller->getParamStringByValue(id, controller->getParamNormalized(id), display) != kResultOk) {
        text[0] = '\0';
        return 0;
    }
    copyVst2Text(text, kVstMaxParamStrLen, utf8FromUtf16(display));
    return 1;
}

VstIntPtr Vst2Wrapper::getParameterProperties(VstInt32 index, VstParameterProperties* properties) const
{
    if (!validIndex(index) || !properties)
        return 0;
    const ParameterInfo& info = parameterInfos[static_cast<std::size_t>(index)];
    std::memset(properties, 0, sizeof(*properties));
    copyVst2Text(properties->label, kVstMaxLabelLen, utf8FromUtf16(info.title));
    const TChar* shortName = info.shortTitle[0] != 0 ? info.shortTitle : info.title;
    copyVst2Text(properties->shortLabel, kVstMaxShortLabelLen, utf8FromUtf16(shortName));
    if (info.stepCount == 1) {
        properties->flags |= kVstParameterIsSwitch;
    } else if (info.stepCount > 1) {
        properties->flags |= kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
        properties->maxInteger = info.stepCount;
        properties->stepInteger = properties->largeStepInteger = 1;
    }
    return 1;
}

VstIntPtr Vst2Wrapper::canBeAutomated(VstInt32 index) const
{
    if (!validIndex(index))
        return 0;
    return (parameterInfos[static_cast<std::size_t>(index)].flags & ParameterInfo::kCanAutomate) ? 1 : 0;
}

VstIntPtr Vst2Wrapper::stringToParameter(VstInt32 index, const char* text)
{
    if (!validIndex(index) || !text)
        return 0;
    String128 wide{};
    utf16FromUtf8(std::string_view(text, strnlen(text, 127)), wide);
    ParamValue value = 0.0;
    if (controller->getParamValueByString(parameterInfos[static_cast<std::size_t>(index)].id, wide, value) !=
        kResultOk)
        return 0;
    setParameter(index, static_cast<float>(value));
    return 1;
}

VstIntPtr Vst2Wrapper::setBypass(bool on)
{
    if (bypassIndex < 0)
        return 0;
    setParameter(bypassIndex, on ? 1.0f : 0.0f);
    return 1;
}

void Vst2Wrapper::beginEdit(ParamID id)
{
    const VstInt32 index = indexOf(id);
    if (index >= 0 && !restoringChunk)
        hostCall(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
}

// The processor hears the edit with the next block, as it would from a
// VST 3 host; the host records it as automation.
void Vst2Wrapper::performEdit(ParamID id, ParamValue value)
{
    const VstInt32 index = indexOf(id);
    if (index < 0)
        return;
    const auto slot = static_cast<std::size_t>(index);
    const bool repeatsProcessorState = restoringChunk && slot < valuesFromProcessorState.size() &&
                                       valuesFromProcessorState[slot] == value;
    if (!repeatsProcessorState)
        processorValues->set(index, value);
    controllerValues->show(index, value);
    if (!restoringChunk)
        hostCall(audioMasterAutomate, index, 0, nullptr, static_cast<float>(value));
}

void Vst2Wrapper::endEdit(ParamID id)
{
    const VstInt32 index = indexOf(id);
    if (index >= 0 && !restoringChunk)
        hostCall(audioMasterEndEdit, index, 0, nullptr, 0.0f);
}

void Vst2Wrapper::restartComponent(int32 flags)
{
    if (flags & kLatencyChanged)
        updateLatency(true);
    if (flags & kParamValuesChanged)
        showControllerValues();
    if (flags & (kParamValuesChanged | kParamTitlesChanged))
        hostCall(audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
}

} // namespace Steinberg::Vst
