#include "sdk/lv2/lv2_ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sdk/lv2/lv2_ui_window.h"

namespace Steinberg::Vst {

namespace {

const void* featureData(const LV2_Feature* const* features, const char* uri)
{
    for (std::size_t i = 0; features && features[i]; ++i)
        if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0)
            return features[i]->data;
    return nullptr;
}

int idleEntry(LV2UI_Handle handle)
{
    try {
        return static_cast<Lv2Ui*>(handle)->idle();
    } catch (...) {
        return 0;
    }
}

} // namespace

const LV2UI_Idle_Interface Lv2Ui::idleInterface{idleEntry};

std::unique_ptr<Lv2Ui> Lv2Ui::create(const Lv2PluginDescription& ports, const Lv2UiDescription& ui,
                                     IPluginFactory* factory, const TUID controllerClass, const Host& host,
                                     LV2UI_Widget* widget)
{
    IPtr<IPluginFactory> owner = owned(factory);
    if (!factory || !controllerClass || !host.write || !widget)
        return nullptr;
    std::unique_ptr<Lv2Ui> instance(new Lv2Ui(ports, ui, owner, host));
    if (!instance->parentWindow || !instance->createController(controllerClass) || !instance->openView(widget))
        return nullptr;
    return instance;
}

Lv2Ui::Lv2Ui(const Lv2PluginDescription& portDescription, const Lv2UiDescription& ui, IPluginFactory* pluginFactory,
             const Host& hostFunctions)
    : ports(portDescription), description(ui), host(hostFunctions),
      parentWindow(const_cast<void*>(featureData(host.features, LV2_UI__parent))),
      resize(static_cast<const LV2UI_Resize*>(featureData(host.features, LV2_UI__resize))),
      touchFeature(static_cast<const LV2UI_Touch*>(featureData(host.features, LV2_UI__touch))),
      factory(pluginFactory), platform(makeVst2EditorPlatform()),
      written(portDescription.parameters.size(), std::nanf(""))
{
    Lv2UiPeer::Listener listener;
    listener.beginEdit = [this](ParamID id) { touch(id, true); };
    listener.performEdit = [this](ParamID id, ParamValue value) { write(id, value); };
    listener.endEdit = [this](ParamID id) { touch(id, false); };
    listener.resize = [this](int32 width, int32 height) {
        if (resize)
            resize->ui_resize(resize->handle, width, height);
    };
    peer = owned(new Lv2UiPeer(ports.reading ? &*ports.reading : nullptr, description, listener,
                               platform->frameServices()));
}

Lv2Ui::~Lv2Ui()
{
    if (view) {
        if (attached)
            view->removed();
        view->setFrame(nullptr);
        view = nullptr;
    }
    peer->setController(nullptr);
    if (controllerConnection)
        controllerConnection->disconnect(peer);
    if (controller) {
        controller->setComponentHandler(nullptr);
        controller->terminate();
    }
    controllerConnection = nullptr;
    controller = nullptr;
}

bool Lv2Ui::createController(const TUID controllerClass)
{
    IEditController* created = nullptr;
    if (factory->createInstance(controllerClass, IEditController::iid, reinterpret_cast<void**>(&created)) !=
            kResultOk ||
        !created)
        return false;
    controller = owned(created);
    if (controller->initialize(static_cast<IHostApplication*>(peer.get())) != kResultOk)
        return false;
    controller->setComponentHandler(peer);
    controllerConnection = FUnknownPtr<IConnectionPoint>(controller);
    if (controllerConnection) {
        controllerConnection->connect(peer);
        peer->setController(controllerConnection);
    }
    return true;
}

bool Lv2Ui::openView(LV2UI_Widget* widget)
{
    view = owned(controller->createView(ViewType::kEditor));
    if (!view || view->isPlatformTypeSupported(platform->windowType()) != kResultTrue)
        return false;
    const auto parent = reinterpret_cast<std::uintptr_t>(parentWindow);
    const std::vector<std::uintptr_t> before = lv2ChildWindows(parent);
    view->setFrame(peer);
    attached = view->attached(parentWindow, platform->windowType()) == kResultTrue;
    if (!attached)
        return false;
    // The view's window: the child of the parent that was not there before.
    std::uintptr_t window = 0;
    for (const std::uintptr_t child : lv2ChildWindows(parent))
        if (std::find(before.begin(), before.end(), child) == before.end())
            window = child;
    *widget = reinterpret_cast<LV2UI_Widget>(window);
    ViewRect size;
    if (resize && view->getSize(&size) == kResultOk)
        resize->ui_resize(resize->handle, size.getWidth(), size.getHeight());
    return true;
}

std::int32_t Lv2Ui::portOf(ParamID id) const
{
    for (std::size_t i = 0; i < ports.parameters.size(); ++i)
        if (ports.parameters[i].id == id)
            return static_cast<std::int32_t>(i);
    return -1;
}

void Lv2Ui::touch(ParamID id, bool grabbed)
{
    const std::int32_t port = portOf(id);
    if (port >= 0 && touchFeature)
        touchFeature->touch(touchFeature->handle, static_cast<std::uint32_t>(port), grabbed);
}

void Lv2Ui::write(ParamID id, ParamValue value)
{
    const std::int32_t port = portOf(id);
    if (port < 0)
        return;
    const Lv2ParameterPort& parameter = ports.parameters[static_cast<std::size_t>(port)];
    const auto plain = static_cast<float>(parameter.toPlain(static_cast<std::int32_t>(id), value));
    written[static_cast<std::size_t>(port)] = plain;
    host.write(host.controller, static_cast<std::uint32_t>(port), sizeof(float), 0, &plain);
}

void Lv2Ui::portEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer)
{
    if (format != 0 || size != sizeof(float) || !buffer)
        return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    if (port < ports.parameters.size()) {
        // The host's echo of the editor's own write changes nothing.
        if (value == written[port]) {
            written[port] = std::nanf("");
            return;
        }
        written[port] = std::nanf("");
        const Lv2ParameterPort& parameter = ports.parameters[port];
        const auto id = static_cast<std::int32_t>(parameter.id);
        controller->setParamNormalized(parameter.id, parameter.toNormalised(id, static_cast<double>(value)));
        return;
    }
    const Lv2PortLayout layout(ports);
    if (port >= layout.reading() && port < layout.reading(layout.readingCount))
        peer->readingArrived(port - layout.reading(), static_cast<double>(value));
}

int Lv2Ui::idle()
{
    if (attached)
        platform->idle();
    return 0;
}

} // namespace Steinberg::Vst
