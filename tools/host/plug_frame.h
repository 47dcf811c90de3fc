#pragma once
// The host's side of an open plug-in view: resizes its window when the
// view asks, and offers the host's run loop (on Linux) to the view.

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "tools/host/host_object.h"

#include <functional>
#include <vector>

namespace tarvel::host {

class PlugFrame final : public HostObject<Steinberg::IPlugFrame> {
public:
    // services answers the interfaces a frame offers besides IPlugFrame
    // (a run loop); may be null.
    explicit PlugFrame(Steinberg::FUnknown* services = nullptr) : offered(services) {}

    const std::vector<Steinberg::ViewRect>& resizes() const { return requested; }

    // A host whose windows keep their size: asks are recorded and refused.
    bool refusesResizes = false;
    // Where a host resizes its own window to the size asked for.
    std::function<void(const Steinberg::ViewRect&)> onResize;

    // Records the size, resizes the host's window and tells the view it has
    // the size, as hosts do (unless refusing).
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** object) override;

private:
    Steinberg::IPtr<Steinberg::FUnknown> offered;
    std::vector<Steinberg::ViewRect> requested;
};

} // namespace tarvel::host
