// Creating the plug-in, its record, its life cycle and its extensions.

#include "sdk/clap/clap_adapter.h"

#include <cassert>
#include <cstring>

#include "public.sdk/source/common/memorystream.h"
#include "sdk/clap/clap_host_context.h"

namespace Steinberg::Vst {

using namespace clap;

namespace {

// How often the controller catches up with the host's automation when
// nothing else calls on the main thread: the editor's own refresh rate.
constexpr std::uint32_t catchUpPeriodMs = 50;

template <typename Extension>
const Extension* hostExtension(const clap_host_t* host, const char* id)
{
    if (!host || !host->get_extension)
        return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

} // namespace

const clap_plugin_t* ClapAdapter::create(IPluginFactory* pluginFactory, const TUID processorClass,
                                         const clap_plugin_descriptor_t* descriptor, const clap_host_t* host)
{
    IPtr<IPluginFactory> owner = owned(pluginFactory);
    if (!pluginFactory || !processorClass || !descriptor || !host || !clap_version_is_compatible(host->clap_version))
        return nullptr;
    try {
        return &(new ClapAdapter(owner, processorClass, descriptor, host))->record;
    } catch (...) {
        return nullptr;
    }
}

ClapAdapter::ClapAdapter(IPluginFactory* pluginFactory, const TUID processorClassId,
                         const clap_plugin_descriptor_t* descriptor, const clap_host_t* clapHost)
    : host(clapHost), factory(pluginFactory)
{
    std::memcpy(processorClass, processorClassId, sizeof(TUID));
    record.desc = descriptor;
    record.plugin_data = this;
    record.init = initEntry;
    record.destroy = destroyEntry;
    record.activate = activateEntry;
    record.deactivate = deactivateEntry;
    record.start_processing = startProcessingEntry;
    record.stop_processing = stopProcessingEntry;
    record.reset = resetEntry;
    record.process = processEntry;
    record.get_extension = extensionEntry;
    record.on_main_thread = onMainThreadEntry;
}

ClapAdapter::~ClapAdapter() { tearDown(); }

ClapAdapter* ClapAdapter::from(const clap_plugin_t* plugin) noexcept
{
    if (!plugin || plugin->init != initEntry)
        return nullptr;
    return static_cast<ClapAdapter*>(plugin->plugin_data);
}

bool ClapAdapter::init()
{
    queryHost();
    hostContext = owned(new ClapHostContext(host));
    componentHandler = owned(new ClapComponentHandler(*this, hostContextMenu ? this : nullptr));
    if (!createComponents())
        return false;
    connectComponents();
    readParameterInfos();
    std::vector<ParamID> ids;
    ids.reserve(parameterInfos.size());
    for (const ParameterInfo& info : parameterInfos)
        ids.push_back(info.id);
    processorValues = std::make_unique<Vst2PendingValues>(ids);
    controllerValues = std::make_unique<Vst2PendingValues>(std::move(ids));
    blockChanges = std::make_unique<Vst2BlockParameterChanges>(static_cast<int32>(parameterInfos.size()));
    showControllerValues();
    reportedLatency = processor->getLatencySamples();
    editor = ClapEditor::create(*controller, host);
    if (hostTimers && hostTimers->register_timer && hostTimers->unregister_timer &&
        !hostTimers->register_timer(host, catchUpPeriodMs, &catchUpTimer))
        catchUpTimer = CLAP_INVALID_ID;
    return true;
}

void ClapAdapter::queryHost()
{
    hostParams = hostExtension<clap_host_params_t>(host, CLAP_EXT_PARAMS);
    hostLatency = hostExtension<clap_host_latency_t>(host, CLAP_EXT_LATENCY);
    hostState = hostExtension<clap_host_state_t>(host, CLAP_EXT_STATE);
    hostTimers = hostExtension<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
    hostThreadCheck = hostExtension<clap_host_thread_check_t>(host, CLAP_EXT_THREAD_CHECK);
    hostContextMenu = hostExtension<clap_host_context_menu_t>(host, CLAP_EXT_CONTEXT_MENU);
    if (!hostContextMenu)
        hostContextMenu = hostExtension<clap_host_context_menu_t>(host, CLAP_EXT_CONTEXT_MENU_COMPAT);
    if (hostContextMenu && (!hostContextMenu->can_popup || !hostContextMenu->popup))
        hostContextMenu = nullptr;
}

bool ClapAdapter::createComponents()
{
    IComponent* createdComponent = nullptr;
    if (factory->createInstance(processorClass, IComponent::iid, reinterpret_cast<void**>(&createdComponent)) !=
            kResultOk ||
        !createdComponent)
        return false;
    component = owned(createdComponent);
    processor = FUnknownPtr<IAudioProcessor>(component);
    if (!processor || component->initialize(hostContext) != kResultOk)
        return false;
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);

    TUID controllerClass;
    IEditController* createdController = nullptr;
    if (component->getControllerClassId(controllerClass) != kResultTrue ||
        factory->createInstance(controllerClass, IEditController::iid,
                                reinterpret_cast<void**>(&createdController)) != kResultOk ||
        !createdController)
        return false;
    controller = owned(createdController);
    if (controller->initialize(hostContext) != kResultOk) {
        controller = nullptr;
        return false;
    }
    controller->setComponentHandler(componentHandler);
    return selectChannels(2);
}

void ClapAdapter::connectComponents()
{
    FUnknownPtr<IConnectionPoint> componentPoint(component);
    FUnknownPtr<IConnectionPoint> controllerPoint(controller);
    if (componentPoint && controllerPoint) {
        componentPoint->connect(controllerPoint);
        controllerPoint->connect(componentPoint);
        componentsConnected = true;
    }
    // The controller starts from the processor's state, as in a VST 3 host.
    MemoryStream state;
    if (component->getState(&state) == kResultOk) {
        state.seek(0, IBStream::kIBSeekSet, nullptr);
        controller->setComponentState(&state);
    }
}

void ClapAdapter::tearDown() noexcept
{
    try {
        if (active)
            deactivate();
        closeEditor();
        editor.reset();
        if (catchUpTimer != CLAP_INVALID_ID)
            hostTimers->unregister_timer(host, catchUpTimer);
        catchUpTimer = CLAP_INVALID_ID;
        if (componentsConnected) {
            FUnknownPtr<IConnectionPoint> componentPoint(component);
            FUnknownPtr<IConnectionPoint> controllerPoint(controller);
            componentPoint->disconnect(controllerPoint);
            controllerPoint->disconnect(componentPoint);
            componentsConnected = false;
        }
        if (controller) {
            controller->setComponentHandler(nullptr);
            controller->terminate();
        }
        if (componentHandler)
            componentHandler->detach();
        if (component)
            component->terminate();
    } catch (...) {
    }
    controller = nullptr;
    processor = nullptr;
    component = nullptr;
    factory = nullptr;
}

void ClapAdapter::catchUpController()
{
    // Debug builds check the host's promise that this is its main thread.
    assert(!hostThreadCheck || !hostThreadCheck->is_main_thread || hostThreadCheck->is_main_thread(host));
    if (controller && controllerValues)
        controllerValues->takeEach([&](ParamID id, ParamValue value) { controller->setParamNormalized(id, value); });
}

void ClapAdapter::onTimer(clap_id timer)
{
    if (timer == catchUpTimer)
        catchUpController();
    else if (editor)
        editor->onTimer(timer);
}

const void* ClapAdapter::extension(const char* id) const
{
    if (!id)
        return nullptr;
    const std::string_view asked(id, strnlen(id, 128));
    if (asked == CLAP_EXT_AUDIO_PORTS)
        return &audioPortsExtension;
    if (asked == CLAP_EXT_AUDIO_PORTS_CONFIG)
        return &audioPortsConfigExtension;
    if (asked == CLAP_EXT_PARAMS)
        return &paramsExtension;
    if (asked == CLAP_EXT_STATE)
        return &stateExtension;
    if (asked == CLAP_EXT_LATENCY)
        return &latencyExtension;
    if (asked == CLAP_EXT_TIMER_SUPPORT)
        return &timerExtension;
    if (asked == CLAP_EXT_GUI && editor)
        return &guiExtension;
    if (asked == CLAP_EXT_POSIX_FD_SUPPORT && editor)
        return &posixFdExtension;
    if ((asked == CLAP_EXT_CONTEXT_MENU || asked == CLAP_EXT_CONTEXT_MENU_COMPAT) && editor)
        return &contextMenuExtension;
    return nullptr;
}

// ---- the record's entry points: every exception stops here.

bool ClapAdapter::initEntry(const clap_plugin_t* plugin)
{
    ClapAdapter* self = from(plugin);
    if (!self || self->component)
        return false;
    try {
        return self->init();
    } catch (...) {
        return false;
    }
}

void ClapAdapter::destroyEntry(const clap_plugin_t* plugin) { delete from(plugin); }

bool ClapAdapter::activateEntry(const clap_plugin_t* plugin, double rate, std::uint32_t /*minFrames*/,
                                std::uint32_t maxFrames)
{
    ClapAdapter* self = from(plugin);
    if (!self || !self->processor)
        return false;
    try {
        return self->activate(rate, maxFrames);
    } catch (...) {
        return false;
    }
}

void ClapAdapter::deactivateEntry(const clap_plugin_t* plugin)
{
    if (ClapAdapter* self = from(plugin)) {
        try {
            self->deactivate();
        } catch (...) {
        }
    }
}

bool ClapAdapter::startProcessingEntry(const clap_plugin_t* plugin)
{
    ClapAdapter* self = from(plugin);
    if (!self || !self->active)
        return false;
    self->processing.store(true, std::memory_order_release);
    return true;
}

void ClapAdapter::stopProcessingEntry(const clap_plugin_t* plugin)
{
    if (ClapAdapter* self = from(plugin))
        self->processing.store(false, std::memory_order_release);
}

// A full reset would need a new engine, which allocates: not on the audio
// thread. The engine's state is the signal's recent past, which the host's
// next blocks replace within the detector's delay.
void ClapAdapter::resetEntry(const clap_plugin_t*) {}

clap_process_status ClapAdapter::processEntry(const clap_plugin_t* plugin, const clap_process_t* block)
{
    ClapAdapter* self = from(plugin);
    if (!self || !block)
        return CLAP_PROCESS_ERROR;
    return self->process(*block);
}

const void* ClapAdapter::extensionEntry(const clap_plugin_t* plugin, const char* id)
{
    const ClapAdapter* self = from(plugin);
    return self ? self->extension(id) : nullptr;
}

void ClapAdapter::onMainThreadEntry(const clap_plugin_t* plugin)
{
    if (ClapAdapter* self = from(plugin)) {
        try {
            self->catchUpController();
        } catch (...) {
        }
    }
}

const clap_plugin_timer_support_t ClapAdapter::timerExtension = {
    [](const clap_plugin_t* plugin, clap_id timer) {
        if (ClapAdapter* self = from(plugin)) {
            try {
                self->onTimer(timer);
            } catch (...) {
            }
        }
    },
};

} // namespace Steinberg::Vst
