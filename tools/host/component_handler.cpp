#include "tools/host/component_handler.h"

namespace tarvel::host {

using namespace Steinberg;

void ComponentHandler::clear()
{
    recordedEdits.clear();
    recordedRestarts.clear();
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id)
{
    recordedEdits.push_back({Edit::Kind::Begin, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue value)
{
    recordedEdits.push_back({Edit::Kind::Perform, id, value});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id)
{
    recordedEdits.push_back({Edit::Kind::End, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
    recordedRestarts.push_back(flags);
    if (onRestart)
        onRestart(flags);
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID queried, void** object)
{
    if (!object)
        return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(queried, Vst::IComponentHandler::iid) ||
        FUnknownPrivate::iidEqual(queried, FUnknown::iid)) {
        addRef();
        *object = static_cast<Vst::IComponentHandler*>(this);
        return kResultOk;
    }
    *object = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API ComponentHandler::addRef()
{
    return ++references;
}

uint32 PLUGIN_API ComponentHandler::release()
{
    const uint32 left = --references;
    if (left == 0)
        delete this;
    return left;
}

} // namespace tarvel::host
