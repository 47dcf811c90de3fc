#pragma once
// An LV2 user interface of type X11: the controller's editor embedded in the
// host's parent window (ui:parent), driven by the host's idle calls
// (ui:idleInterface) as VST 2 hosts drive it with effEditIdle, its size told
// through ui:resize. Port events move the controller's values (and with
// them the knobs) and feed the reading to the graph; the editor's edits go
// to the host's write function in plain port units, inside ui:touch
// gestures where the host offers them. Everything runs on the host's
// user-interface thread.

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "sdk/lv2/lv2_plugin_description.h"
#include "sdk/lv2/lv2_ui_peer.h"
#include "sdk/vst2/vst2_editor_platform.h"

namespace Steinberg::Vst {

class Lv2Ui {
public:
    struct Host {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2_Feature* const* features = nullptr;
    };

    // The user interface with its window made and shown in the host's
    // parent, *widget set to that window; null if the host gave no parent
    // or write function, or the controller or its view cannot be made.
    // Takes over the factory reference in every case.
    static std::unique_ptr<Lv2Ui> create(const Lv2PluginDescription& ports, const Lv2UiDescription& ui,
                                         IPluginFactory* factory, const TUID controllerClass, const Host& host,
                                         LV2UI_Widget* widget);
    ~Lv2Ui();
    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    void portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    // The host's idle call: whatever the editor waits for runs now.
    int idle();

    // The idle interface, for extension_data.
    static const LV2UI_Idle_Interface idleInterface;

private:
    Lv2Ui(const Lv2PluginDescription& ports, const Lv2UiDescription& ui, IPluginFactory* factory, const Host& host);
    bool createController(const TUID controllerClass);
    bool openView(LV2UI_Widget* widget);
    std::int32_t portOf(ParamID id) const;
    void touch(ParamID id, bool grabbed);
    void write(ParamID id, ParamValue value);

    const Lv2PluginDescription& ports;
    const Lv2UiDescription& description;
    Host host;
    void* parentWindow = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touchFeature = nullptr;

    IPtr<IPluginFactory> factory;
    std::unique_ptr<Vst2EditorPlatform> platform;
    IPtr<Lv2UiPeer> peer;
    IPtr<IEditController> controller;
    IPtr<IConnectionPoint> controllerConnection;
    IPtr<IPlugView> view;
    bool attached = false;
    // The value last written to each parameter port, which the host echoes
    // back as a port event; NaN when none is pending.
    std::vector<float> written;
};

} // namespace Steinberg::Vst
