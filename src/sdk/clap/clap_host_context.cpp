#include "sdk/clap/clap_host_context.h"

#include <cstring>

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_FUNKNOWN_METHODS(ClapHostContext, IHostApplication, IHostApplication::iid)
#pragma GCC diagnostic pop

ClapHostContext::ClapHostContext(const clap::clap_host_t* clapHost) : host(clapHost) { FUNKNOWN_CTOR }

tresult PLUGIN_API ClapHostContext::getName(String128 name)
{
    if (!name)
        return kInvalidArgument;
    try {
        if (host && host->name && host->name[0] != '\0')
            utf16FromUtf8(std::string_view(host->name, strnlen(host->name, 127)), name);
        else
            utf16FromUtf8("CLAP host", name);
        return kResultOk;
    } catch (...) {
        return kResultFalse;
    }
}

tresult PLUGIN_API ClapHostContext::createInstance(TUID cid, TUID interfaceIid, void** object)
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
