#pragma once
// The host's IComponentHandler: records the controller's edits and restart
// requests. What a restart does is the owner's business (a callback), since
// a host restarts processing on its own schedule, between blocks.

#include <functional>
#include <vector>

#include "tools/host/host_object.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

namespace tarvel::host {

class ComponentHandler final : public HostObject<Steinberg::Vst::IComponentHandler> {
public:
    struct Edit {
        enum class Kind { Begin, Perform, End } kind;
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value; // Perform only
    };

    // Called from restartComponent with its flags.
    std::function<void(Steinberg::int32 flags)> onRestart;

    const std::vector<Edit>& edits() const { return recordedEdits; }
    const std::vector<Steinberg::int32>& restarts() const { return recordedRestarts; }
    void clear();

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue value) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;


private:
    std::vector<Edit> recordedEdits;
    std::vector<Steinberg::int32> recordedRestarts;
};

} // namespace tarvel::host
