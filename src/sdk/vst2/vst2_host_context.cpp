#include "sdk/vst2/vst2_host_context.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_FUNKNOWN_METHODS(Vst2HostContext, IHostApplication, IHostApplication::iid)
#pragma GCC diagnostic pop

Vst2HostContext::Vst2HostContext(vst2::audioMasterCallback callback, vst2::AEffect& hostedEffect)
    : audioMaster(callback), effect(hostedEffect)
{
    FUNKNOWN_CTOR
}

tresult PLUGIN_API Vst2HostContext::getName(String128 name)
{
    if (!name)
        return kInvalidArgument;
    try {
        // A zeroed buffer one byte longer than the host may fill, so the
        // text is terminated whatever the host writes.
        char product[vst2::kVstMaxProductStrLen + 1] = {};
        if (!audioMaster || !effect.object ||
            audioMaster(&effect, vst2::audioMasterGetProductString, 0, 0, product, 0.0f) == 0 || product[0] == '\0')
            utf16FromUtf8("VST 2 host", name);
        else
            utf16FromUtf8(product, name);
        return kResultOk;
    } catch (...) {
        return kResultFalse;
    }
}

tresult PLUGIN_API Vst2HostContext::createInstance(TUID cid, TUID interfaceIid, void** object)
{
    if (!object)
        return kInvalidArgument;
    *object = nullptr;
    try {
        const FUID classId = FUID::fromTUID(cid);
        const FUID interfaceId = FUID::fromTUID(interfaceIid);
        if (classId == IMessage::iid && interfaceId == IMessage::iid) {
            *object = static_cast<IMessage*>(new HostMessage);
            return kResultTrue;
        }
        if (classId == IAttributeList::iid && interfaceId == IAttributeList::iid) {
            *object = static_cast<IAttributeList*>(new HostAttributeList);
            return kResultTrue;
        }
        return kResultFalse;
    } catch (...) {
        return kResultFalse;
    }
}

} // namespace Steinberg::Vst
