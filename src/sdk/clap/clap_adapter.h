#pragma once
// Presents a VST 3 factory's processor and controller to a CLAP host as one
// plug-in. The host sees the clap_plugin_t record and its extensions; behind
// them the adapter drives the two VST 3 components as a VST 3 host would
// (initialize, connect, set up, activate, process, save and restore state),
// so the product's classes never learn which format loaded them.
//
// Threads, as CLAP assigns them: process, start/stop_processing, reset, and
// flush while active run on the audio thread, where nothing allocates,
// locks, throws or calls the host; everything else runs on the main thread,
// where the controller lives. Host events reach the processor as points of
// the block's parameter queues at their frame, and the controller at the
// next main-thread call (the adapter's timer makes one at least every 50 ms).
//
// Parameter values are the VST 3 normalised values, steps counted for
// stepped parameters (0..stepCount): automation recorded in a CLAP host then
// carries exactly the numbers the engine, the VST 3 queues and the saved
// state use, with no conversion that could round differently between
// formats. The texts (value_to_text) show the display units.
//
// State: the same container as the VST 2 chunk (sdk/vst2/vst2_chunk.h), the
// processor's and the controller's VST 3 states side by side, so a state
// moves between the CLAP and the VST 2 entries byte for byte and splits into
// the two VST 3 states.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "sdk/clap/clap_abi.h"
#include "sdk/clap/clap_component_handler.h"
#include "sdk/clap/clap_edit_queue.h"
#include "sdk/clap/clap_editor.h"
#include "sdk/vst2/vst2_parameter_queue.h"

namespace Steinberg::Vst {

class ClapHostContext;

class ClapAdapter final : private Vst2EditListener, private ClapMenuHost {
public:
    // A plug-in record for the processor class, or null if the factory
    // cannot create it. Takes over the factory reference in every case. The
    // components are created by the record's init, as CLAP wants.
    static const clap::clap_plugin_t* create(IPluginFactory* factory, const TUID processorClass,
                                             const clap::clap_plugin_descriptor_t* descriptor,
                                             const clap::clap_host_t* host);

    ~ClapAdapter();
    ClapAdapter(const ClapAdapter&) = delete;
    ClapAdapter& operator=(const ClapAdapter&) = delete;

    // For the extension files: the adapter behind a record.
    static ClapAdapter* from(const clap::clap_plugin_t* plugin) noexcept;

    // Extension records, one per extension, in the clap_adapter_*.cpp files.
    static const clap::clap_plugin_audio_ports_t audioPortsExtension;
    static const clap::clap_plugin_audio_ports_config_t audioPortsConfigExtension;
    static const clap::clap_plugin_params_t paramsExtension;
    static const clap::clap_plugin_state_t stateExtension;
    static const clap::clap_plugin_latency_t latencyExtension;
    static const clap::clap_plugin_timer_support_t timerExtension;
    static const clap::clap_plugin_gui_t guiExtension;
    static const clap::clap_plugin_posix_fd_support_t posixFdExtension;
    static const clap::clap_plugin_context_menu_t contextMenuExtension;

private:
    ClapAdapter(IPluginFactory* factory, const TUID processorClass, const clap::clap_plugin_descriptor_t* descriptor,
                const clap::clap_host_t* host);

    // Life cycle, in clap_adapter.cpp.
    bool init();
    bool createComponents();
    void connectComponents();
    void queryHost();
    void tearDown() noexcept;
    const void* extension(const char* id) const;
    // Hands the controller the values the host sent since the last call;
    // main thread only.
    void catchUpController();
    void onTimer(clap::clap_id timer);

    // Audio, in clap_adapter_audio.cpp.
    bool activate(double sampleRate, std::uint32_t maxFrames);
    void deactivate();
    void deliverPendingValues();
    bool start();
    void stop();
    void prepareProcessData();
    clap::clap_process_status process(const clap::clap_process_t& block) noexcept;
    void reportLatencyIfChanged();
    bool selectChannels(std::int32_t channels);
    bool audioPortInfo(std::uint32_t index, bool isInput, clap::clap_audio_port_info_t& info) const;
    bool audioPortsConfig(std::uint32_t index, clap::clap_audio_ports_config_t& config) const;

    // Parameters, in clap_adapter_params.cpp.
    void readParameterInfos();
    std::int32_t indexOf(clap::clap_id id) const noexcept;
    double toClapValue(std::int32_t index, ParamValue normalized) const noexcept;
    ParamValue toNormalized(std::int32_t index, double value) const noexcept;
    bool parameterInfo(std::uint32_t index, clap::clap_param_info_t& info) const;
    bool parameterValue(clap::clap_id id, double& value) const;
    bool valueToText(clap::clap_id id, double value, char* text, std::uint32_t capacity);
    bool textToValue(clap::clap_id id, const char* text, double& value);
    // Host events of one block into the processor's queues (at their frame)
    // and the controller's pending values; audio thread, no allocation.
    void takeHostEvents(const clap::clap_input_events_t* events, std::uint32_t frames) noexcept;
    void flush(const clap::clap_input_events_t* in, const clap::clap_output_events_t* out) noexcept;
    void sendEdits(const clap::clap_output_events_t* out) noexcept;
    void showControllerValues();
    void requestFlushIfIdle();

    // State, in clap_adapter_state.cpp.
    bool save(const clap::clap_ostream_t& stream);
    bool load(const clap::clap_istream_t& stream);

    // Vst2EditListener: the controller's edits and restart requests.
    void beginEdit(ParamID id) override;
    void performEdit(ParamID id, ParamValue value) override;
    void endEdit(ParamID id) override;
    void restartComponent(int32 flags) override;

    // ClapMenuHost: the editor's menus shown by the host, in
    // clap_adapter_gui.cpp.
    bool canPopup() override;
    bool popup(ClapContextMenu& menu, std::int32_t x, std::int32_t y) override;
    // The menu last shown, if the host's target is its.
    ClapContextMenu* menuFor(const clap::clap_context_menu_target_t* target) const;
    void closeEditor();

    // The record's entry points.
    static bool initEntry(const clap::clap_plugin_t* plugin);
    static void destroyEntry(const clap::clap_plugin_t* plugin);
    static bool activateEntry(const clap::clap_plugin_t* plugin, double sampleRate, std::uint32_t minFrames,
                              std::uint32_t maxFrames);
    static void deactivateEntry(const clap::clap_plugin_t* plugin);
    static bool startProcessingEntry(const clap::clap_plugin_t* plugin);
    static void stopProcessingEntry(const clap::clap_plugin_t* plugin);
    static void resetEntry(const clap::clap_plugin_t* plugin);
    static clap::clap_process_status processEntry(const clap::clap_plugin_t* plugin,
                                                  const clap::clap_process_t* block);
    static const void* extensionEntry(const clap::clap_plugin_t* plugin, const char* id);
    static void onMainThreadEntry(const clap::clap_plugin_t* plugin);

    clap::clap_plugin_t record{};
    const clap::clap_host_t* host;
    TUID processorClass{};

    // What the host offers; null where it offers nothing.
    const clap::clap_host_params_t* hostParams = nullptr;
    const clap::clap_host_latency_t* hostLatency = nullptr;
    const clap::clap_host_state_t* hostState = nullptr;
    const clap::clap_host_timer_support_t* hostTimers = nullptr;
    const clap::clap_host_thread_check_t* hostThreadCheck = nullptr;
    const clap::clap_host_context_menu_t* hostContextMenu = nullptr;

    IPtr<IPluginFactory> factory;
    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    IPtr<IEditController> controller;
    bool componentsConnected = false;
    IPtr<ClapHostContext> hostContext;
    IPtr<ClapComponentHandler> componentHandler;
    // The editor's menu the host shows, until the next one or the editor's end.
    IPtr<ClapContextMenu> openMenu;
    // Null where the host lacks what the editor needs on this platform.
    std::unique_ptr<ClapEditor> editor;

    std::vector<ParameterInfo> parameterInfos;
    std::unique_ptr<Vst2PendingValues> processorValues;
    std::unique_ptr<Vst2PendingValues> controllerValues;
    std::unique_ptr<Vst2BlockParameterChanges> blockChanges;
    ClapEditQueue edits;
    // Controller edits while a state loads reach the processor but are not
    // reported to the host, which is the one loading them.
    bool restoringState = false;
    // The controller's values once it has taken the state's processor half:
    // an edit from the controller half that repeats one of them tells the
    // processor nothing new (the processor may hold the same value unclamped).
    std::vector<ParamValue> valuesFromProcessorState;

    clap::clap_id catchUpTimer = clap::CLAP_INVALID_ID;
    std::int32_t channelCount = 2;
    double sampleRate = 48000.0;
    int32 maxBlockSize = 1024;
    bool active = false;
    std::atomic<bool> processing{false};
    std::uint32_t reportedLatency = 0;
    ProcessData processData{};
    AudioBusBuffers inputBus{};
    AudioBusBuffers outputBus{};
};

} // namespace Steinberg::Vst
