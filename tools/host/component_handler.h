#pragma once
// The host's IComponentHandler: records the controller's edits and restart
// requests. What a restart does is the owner's business (a callback), since
// a host restarts processing on its own schedule, between blocks. As
// IComponentHandler3 it makes recording context menus.

#include <functional>
#include <vector>

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tools/host/context_menu.h"
#include "tools/host/host_object.h"

namespace tarvel::host {

class ComponentHandler final : public HostObject<Steinberg::Vst::IComponentHandler>,
                               public Steinberg::Vst::IComponentHandler3 {
public:
    struct Edit {
        enum class Kind { Begin, Perform, End } kind;
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value; // Perform only
    };

    // Called from restartComponent with its flags.
    std::function<void(Steinberg::int32 flags)> onRestart;
    // Called from performEdit: where a processing host queues the edit for
    // the processor (or drops it).
    std::function<void(Steinberg::Vst::ParamID, Steinberg::Vst::ParamValue)> onPerform;

    const std::vector<Edit>& edits() const { return recordedEdits; }
    const std::vector<Steinberg::int32>& restarts() const { return recordedRestarts; }
    void clear();

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

    // The menu made last, and for which parameter (-1: none given).
    ContextMenu* lastMenu() const { return menu.get(); }
    Steinberg::int64 lastMenuParameter = -1;
    int menusMade = 0;
    Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(Steinberg::IPlugView* view,
                                                             const Steinberg::Vst::ParamID* paramID) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** object) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return HostObject::addRef(); }
    Steinberg::uint32 PLUGIN_API release() override { return HostObject::release(); }

private:
    std::vector<Edit> recordedEdits;
    std::vector<Steinberg::int32> recordedRestarts;
    Steinberg::IPtr<ContextMenu> menu;
};

} // namespace tarvel::host
