#pragma once
// A CLAP host: loads a module file with the system loader, enters it through
// its exported clap_entry, creates the plug-in the factory describes and
// offers it the host extensions a DAW offers (params, latency, state,
// timer-support, posix-fd-support, gui, context-menu, thread-check). Every call the plug-in makes to
// the host is recorded with its thread, and whether it came while the host
// was inside process, so tests can prove the audio path never calls out.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sdk/clap/clap_abi.h"
#include "tools/host/module_library.h"

namespace tarvel::host {

// A parameter value event at a frame of a block.
struct ClapParamEvent {
    std::uint32_t frame;
    clap::clap_id id;
    double value;
};

// An event the plug-in sent to the host.
struct ClapOutputEvent {
    std::uint16_t type;  // CLAP_EVENT_PARAM_VALUE, _GESTURE_BEGIN or _GESTURE_END
    clap::clap_id id;
    double value;
};

class ClapPluginHost {
public:
    // Loads the module (a .clap file, or the module itself), runs the
    // entry's init and creates and initialises the factory's first plug-in.
    // Throws std::runtime_error at any failing step.
    // Without offerContextMenu the host has no context-menu extension.
    explicit ClapPluginHost(const std::string& modulePath, bool offerContextMenu = true);
    ~ClapPluginHost();
    ClapPluginHost(const ClapPluginHost&) = delete;
    ClapPluginHost& operator=(const ClapPluginHost&) = delete;

    const clap::clap_plugin_entry_t& entry() const { return *entryPoint; }
    const clap::clap_plugin_factory_t& factory() const { return *pluginFactory; }
    const clap::clap_plugin_t& plugin() const { return *instance; }
    const clap::clap_plugin_descriptor_t& descriptor() const { return *instance->desc; }

    // The plug-in's extension, or null.
    template <typename Extension>
    const Extension* extension(const char* id) const
    {
        return static_cast<const Extension*>(instance->get_extension(instance, id));
    }
    const clap::clap_plugin_params_t& params() const;

    // activate and start_processing; deactivate (stopping first).
    bool activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames);
    void deactivate();
    bool isActive() const { return active; }

    // One block: the events sorted by frame go in, what the plug-in sends
    // is appended to output(). Buffers may be the same for in-place work.
    template <typename Sample>
    clap::clap_process_status process(Sample* const* inputs, Sample* const* outputs, std::uint32_t channels,
                                      std::uint32_t frames, const std::vector<ClapParamEvent>& events = {});
    // params.flush with the events (frames ignored).
    void flush(const std::vector<ClapParamEvent>& events = {});
    std::vector<ClapOutputEvent>& output() { return sent; }

    // Parameter helpers over the params extension; throw std::runtime_error
    // when the plug-in answers false.
    double value(clap::clap_id id) const;
    std::string text(clap::clap_id id, double value) const;

    // state.save into bytes (the stream takes at most chunk bytes per call),
    // and state.load from bytes (read at most chunk bytes per call).
    bool save(std::vector<std::uint8_t>& bytes, std::size_t chunk = 1 << 20) const;
    bool load(const std::vector<std::uint8_t>& bytes, std::size_t chunk = 1 << 20) const;

    // The host's main thread idling: every registered timer fires once.
    void runTimers();
    // The host's run loop for the given time, or until done() holds: timers
    // fire at their periods, and every registered descriptor is reported
    // readable on each turn (as some hosts do; the plug-in must not block).
    void run(std::chrono::milliseconds duration, const std::function<bool()>& done = {});
    std::size_t timerCount() const { return timers.size(); }
    std::size_t fdCount() const { return fds.size(); }
    // The menus the plug-in asked the host to show, and the items the
    // plug-in puts into the host's menu for a target (populate).
    struct MenuPopup {
        clap::clap_context_menu_target_t target;
        std::int32_t x, y;
    };
    std::vector<MenuPopup> menuPopups;
    // An item of the plug-in's menu: an entry (checked or not), a
    // submenu's start (its label) or end, or a separator.
    struct MenuEntry {
        std::string label;
        bool enabled;
        clap::clap_id action;
        std::uint32_t kind = 0; // CLAP_CONTEXT_MENU_ITEM_...
        bool checked = false;
    };
    std::vector<MenuEntry> menuEntries(const clap::clap_context_menu_target_t& target) const;
    // Sizes the plug-in asked its window to take.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> resizeRequests;

    // What the plug-in asked of the host, counted since construction.
    std::atomic<int> restartRequests{0};
    std::atomic<int> flushRequests{0};
    std::atomic<int> latencyChanges{0};
    std::atomic<int> rescans{0};
    std::atomic<int> dirtyMarks{0};
    // Any host function the plug-in called while the host was in process.
    std::atomic<int> callsDuringProcess{0};

private:
    struct Timer {
        clap::clap_id id;
        std::uint32_t periodMs;
        std::chrono::steady_clock::time_point due;
    };
    static ClapPluginHost& of(const clap::clap_host_t* host);
    static const void* hostExtension(const clap::clap_host_t* host, const char* id);
    void noteCall() { if (insideProcess.load(std::memory_order_relaxed)) ++callsDuringProcess; }

    std::unique_ptr<SharedLibrary> library;
    const clap::clap_plugin_entry_t* entryPoint = nullptr;
    const clap::clap_plugin_factory_t* pluginFactory = nullptr;
    const clap::clap_plugin_t* instance = nullptr;
    clap::clap_host_t hostRecord{};
    std::thread::id mainThread = std::this_thread::get_id();
    std::atomic<bool> insideProcess{false};
    bool contextMenus = true;
    bool active = false;
    std::vector<Timer> timers;
    std::vector<int> fds;
    clap::clap_id nextTimerId = 1;
    std::vector<ClapOutputEvent> sent;
    // Sized once: process must not make the host allocate either, or the
    // allocation count would be the host's.
    std::vector<clap::clap_event_param_value_t> inputEvents;
};

// The processor's and controller's VST 3 states inside a CLAP state, and a
// CLAP state made of them (the controller's part may be empty).
struct ClapStateParts {
    std::vector<std::uint8_t> processor;
    std::vector<std::uint8_t> controller;
};
ClapStateParts splitClapState(const std::vector<std::uint8_t>& state);
std::vector<std::uint8_t> joinClapState(const ClapStateParts& parts);

} // namespace tarvel::host
