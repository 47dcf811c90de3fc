#include "sdk/vst2/vst2_component_handler.h"

namespace Steinberg::Vst {

// The SDK's macro hands its int32 reference count out as uint32.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-conversion"
IMPLEMENT_FUNKNOWN_METHODS(Vst2ComponentHandler, IComponentHandler, IComponentHandler::iid)
#pragma GCC diagnostic pop

namespace {

// The listener talks to the host, which is across a C interface.
template <typename Call>
tresult forward(Vst2EditListener* listener, Call call) noexcept
{
    if (!listener)
        return kResultFalse;
    try {
        call(*listener);
        return kResultOk;
    } catch (...) {
        return kResultFalse;
    }
}

} // namespace

Vst2ComponentHandler::Vst2ComponentHandler(Vst2EditListener& target) : listener(&target) { FUNKNOWN_CTOR }

tresult PLUGIN_API Vst2ComponentHandler::beginEdit(ParamID id)
{
    return forward(listener, [&](Vst2EditListener& l) { l.beginEdit(id); });
}

tresult PLUGIN_API Vst2ComponentHandler::performEdit(ParamID id, ParamValue value)
{
    return forward(listener, [&](Vst2EditListener& l) { l.performEdit(id, value); });
}

tresult PLUGIN_API Vst2ComponentHandler::endEdit(ParamID id)
{
    return forward(listener, [&](Vst2EditListener& l) { l.endEdit(id); });
}

tresult PLUGIN_API Vst2ComponentHandler::restartComponent(int32 flags)
{
    return forward(listener, [&](Vst2EditListener& l) { l.restartComponent(flags); });
}

} // namespace Steinberg::Vst
