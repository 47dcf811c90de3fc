#pragma once
// Everything the controller and its view look for in a VST 3 host, for an
// LV2 user interface: the host context (message objects), the connection
// peer standing in for the processor (which runs apart, in the host's audio
// instance), the component handler that turns edits into port writes, and
// the plug-in frame (resizes, the run loop).
//
// The processor's part is played from the ports: the reading port's last
// value answers the view's reading requests, and its first value tells the
// controller that processing runs.

#include <functional>
#include <vector>

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "sdk/lv2/lv2_plugin_description.h"

namespace Steinberg::Vst {

class Lv2UiPeer final : public FObject,
                        public IHostApplication,
                        public IConnectionPoint,
                        public IComponentHandler,
                        public IPlugFrame {
public:
    struct Listener {
        std::function<void(ParamID)> beginEdit;
        std::function<void(ParamID, ParamValue)> performEdit;
        std::function<void(ParamID)> endEdit;
        std::function<void(int32 width, int32 height)> resize;
    };

    // frameServices: offered to the view besides IPlugFrame (a run loop).
    Lv2UiPeer(const Lv2ReadingPort* reading, const Lv2UiDescription& ui, Listener listener, FUnknown* frameServices);

    // The controller hears from this peer; null disconnects.
    void setController(IConnectionPoint* controller) { controllerPeer = controller; }
    // A value of reading port index arrived.
    void readingArrived(std::size_t index, double value);

    // IHostApplication
    tresult PLUGIN_API getName(String128 name) override;
    tresult PLUGIN_API createInstance(TUID cid, TUID interfaceIid, void** object) override;
    // IConnectionPoint
    tresult PLUGIN_API connect(IConnectionPoint*) override { return kResultTrue; }
    tresult PLUGIN_API disconnect(IConnectionPoint*) override { return kResultTrue; }
    tresult PLUGIN_API notify(IMessage* message) override;
    // IComponentHandler
    tresult PLUGIN_API beginEdit(ParamID id) override;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override;
    tresult PLUGIN_API endEdit(ParamID id) override;
    tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
    // IPlugFrame
    tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override;

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
    REFCOUNT_METHODS(FObject)

private:
    // Sends the controller a message with one attribute set by fill.
    void tellController(const std::string& id, const std::function<void(IAttributeList&)>& fill);

    const Lv2ReadingPort* readingPort;
    const Lv2UiDescription& description;
    Listener listener;
    FUnknown* offered;
    IConnectionPoint* controllerPeer = nullptr;
    std::vector<double> lastReadings;
    bool toldActive = false;
};

} // namespace Steinberg::Vst
