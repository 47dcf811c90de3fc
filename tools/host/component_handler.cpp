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
    if (onPerform)
        onPerform(id, value);
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

Vst::IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView* view, const Vst::ParamID* paramID)
{
    if (!view)
        return nullptr;
    ++menusMade;
    lastMenuParameter = paramID ? int64(*paramID) : -1;
    menu = owned(new ContextMenu);
    menu->addRef(); // the caller's reference
    return menu.get();
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID queried, void** object)
{
    if (object && FUnknownPrivate::iidEqual(queried, Vst::IComponentHandler3::iid)) {
        addRef();
        *object = static_cast<Vst::IComponentHandler3*>(this);
        return kResultOk;
    }
    return HostObject::queryInterface(queried, object);
}

} // namespace tarvel::host
