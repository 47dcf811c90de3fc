#include "tools/host/clap_plugin_host.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <stdexcept>

#include "sdk/vst2/vst2_chunk.h"

namespace tarvel::host {

using namespace clap;

namespace {

constexpr std::size_t eventCapacity = 4096;

struct InputList {
    const std::vector<clap_event_param_value_t>* events;
};

std::uint32_t inputSize(const clap_input_events_t* list)
{
    return static_cast<std::uint32_t>(static_cast<const InputList*>(list->ctx)->events->size());
}

const clap_event_header_t* inputGet(const clap_input_events_t* list, std::uint32_t index)
{
    const auto& events = *static_cast<const InputList*>(list->ctx)->events;
    return index < events.size() ? &events[index].header : nullptr;
}

bool outputPush(const clap_output_events_t* list, const clap_event_header_t* event)
{
    auto& sent = *static_cast<std::vector<ClapOutputEvent>*>(list->ctx);
    if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID || sent.size() == sent.capacity())
        return false;
    if (event->type == CLAP_EVENT_PARAM_VALUE && event->size >= sizeof(clap_event_param_value_t)) {
        const auto& value = *reinterpret_cast<const clap_event_param_value_t*>(event);
        sent.push_back({event->type, value.param_id, value.value});
        return true;
    }
    if ((event->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || event->type == CLAP_EVENT_PARAM_GESTURE_END) &&
        event->size >= sizeof(clap_event_param_gesture_t)) {
        sent.push_back({event->type, reinterpret_cast<const clap_event_param_gesture_t*>(event)->param_id, 0.0});
        return true;
    }
    return false;
}

void fillEvents(std::vector<clap_event_param_value_t>& out, const std::vector<ClapParamEvent>& events)
{
    out.clear();
    for (const ClapParamEvent& event : events) {
        if (out.size() == out.capacity())
            break;
        clap_event_param_value_t value{};
        value.header = {sizeof(clap_event_param_value_t), event.frame, CLAP_CORE_EVENT_SPACE_ID,
                        CLAP_EVENT_PARAM_VALUE, 0};
        value.param_id = event.id;
        value.note_id = -1;
        value.port_index = value.channel = value.key = -1;
        value.value = event.value;
        out.push_back(value);
    }
}

struct ByteSink {
    std::vector<std::uint8_t>* bytes;
    std::size_t chunk;
};

struct ByteSource {
    const std::vector<std::uint8_t>* bytes;
    std::size_t at;
    std::size_t chunk;
};

} // namespace

ClapPluginHost::ClapPluginHost(const std::string& modulePath, bool offerContextMenu)
    : library(SharedLibrary::open(modulePath)), contextMenus(offerContextMenu)
{
    inputEvents.reserve(eventCapacity);
    sent.reserve(eventCapacity);
    entryPoint = static_cast<const clap_plugin_entry_t*>(library->symbol("clap_entry"));
    if (!entryPoint)
        throw std::runtime_error(modulePath + ": not a CLAP module (no clap_entry)");
    if (!clap_version_is_compatible(entryPoint->clap_version) || !entryPoint->init(modulePath.c_str()))
        throw std::runtime_error(modulePath + ": the CLAP entry's init failed");
    pluginFactory = static_cast<const clap_plugin_factory_t*>(entryPoint->get_factory(CLAP_PLUGIN_FACTORY_ID));
    const clap_plugin_descriptor_t* first =
        pluginFactory && pluginFactory->get_plugin_count(pluginFactory) > 0
            ? pluginFactory->get_plugin_descriptor(pluginFactory, 0)
            : nullptr;
    if (!first) {
        entryPoint->deinit();
        throw std::runtime_error(modulePath + ": the CLAP factory describes no plug-in");
    }
    hostRecord.clap_version = CLAP_VERSION;
    hostRecord.host_data = this;
    hostRecord.name = "Tarvel host harness";
    hostRecord.vendor = "Tarvel";
    hostRecord.url = "";
    hostRecord.version = "1";
    hostRecord.get_extension = hostExtension;
    hostRecord.request_restart = [](const clap_host_t* host) {
        of(host).noteCall();
        ++of(host).restartRequests;
    };
    hostRecord.request_process = [](const clap_host_t* host) { of(host).noteCall(); };
    hostRecord.request_callback = [](const clap_host_t* host) { of(host).noteCall(); };
    instance = pluginFactory->create_plugin(pluginFactory, &hostRecord, first->id);
    if (!instance || !instance->init(instance)) {
        if (instance)
            instance->destroy(instance);
        entryPoint->deinit();
        throw std::runtime_error(modulePath + ": the CLAP plug-in could not be created");
    }
}

ClapPluginHost::~ClapPluginHost()
{
    deactivate();
    instance->destroy(instance);
    entryPoint->deinit();
}

ClapPluginHost& ClapPluginHost::of(const clap_host_t* host) { return *static_cast<ClapPluginHost*>(host->host_data); }

const void* ClapPluginHost::hostExtension(const clap_host_t* host, const char* id)
{
    static const clap_host_params_t params = {
        [](const clap_host_t* h, std::uint32_t) {
            of(h).noteCall();
            ++of(h).rescans;
        },
        [](const clap_host_t* h, clap_id, std::uint32_t) { of(h).noteCall(); },
        [](const clap_host_t* h) {
            of(h).noteCall();
            ++of(h).flushRequests;
        },
    };
    static const clap_host_latency_t latency = {[](const clap_host_t* h) {
        of(h).noteCall();
        ++of(h).latencyChanges;
    }};
    static const clap_host_state_t state = {[](const clap_host_t* h) {
        of(h).noteCall();
        ++of(h).dirtyMarks;
    }};
    static const clap_host_timer_support_t timerSupport = {
        [](const clap_host_t* h, std::uint32_t period, clap_id* timer) {
            ClapPluginHost& self = of(h);
            self.noteCall();
            if (!timer)
                return false;
            *timer = self.nextTimerId++;
            self.timers.push_back({*timer, period, std::chrono::steady_clock::now() + std::chrono::milliseconds(period)});
            return true;
        },
        [](const clap_host_t* h, clap_id timer) {
            ClapPluginHost& self = of(h);
            self.noteCall();
            const auto found = std::find_if(self.timers.begin(), self.timers.end(),
                                            [&](const Timer& t) { return t.id == timer; });
            if (found == self.timers.end())
                return false;
            self.timers.erase(found);
            return true;
        },
    };
    static const clap_host_posix_fd_support_t fdSupport = {
        [](const clap_host_t* h, int fd, std::uint32_t) {
            ClapPluginHost& self = of(h);
            self.noteCall();
            if (std::find(self.fds.begin(), self.fds.end(), fd) != self.fds.end())
                return false;
            self.fds.push_back(fd);
            return true;
        },
        [](const clap_host_t* h, int fd, std::uint32_t) {
            ClapPluginHost& self = of(h);
            self.noteCall();
            return std::find(self.fds.begin(), self.fds.end(), fd) != self.fds.end();
        },
        [](const clap_host_t* h, int fd) {
            ClapPluginHost& self = of(h);
            self.noteCall();
            const auto found = std::find(self.fds.begin(), self.fds.end(), fd);
            if (found == self.fds.end())
                return false;
            self.fds.erase(found);
            return true;
        },
    };
    static const clap_host_gui_t gui = {
        [](const clap_host_t* h) { of(h).noteCall(); },
        [](const clap_host_t* h, std::uint32_t width, std::uint32_t height) {
            of(h).noteCall();
            of(h).resizeRequests.emplace_back(width, height);
            return true;
        },
        [](const clap_host_t* h) {
            of(h).noteCall();
            return false;
        },
        [](const clap_host_t* h) {
            of(h).noteCall();
            return false;
        },
        [](const clap_host_t* h, bool) { of(h).noteCall(); },
    };
    static const clap_host_context_menu_t contextMenu = {
        [](const clap_host_t* h, const clap_context_menu_target_t*, const clap_context_menu_builder_t*) {
            of(h).noteCall();
            return true;
        },
        [](const clap_host_t* h, const clap_context_menu_target_t*, clap_id) {
            of(h).noteCall();
            return false;
        },
        [](const clap_host_t* h) {
            of(h).noteCall();
            return true;
        },
        [](const clap_host_t* h, const clap_context_menu_target_t* target, std::int32_t, std::int32_t x,
           std::int32_t y) {
            of(h).noteCall();
            if (!target)
                return false;
            of(h).menuPopups.push_back({*target, x, y});
            return true;
        },
    };
    static const clap_host_thread_check_t threadCheck = {
        [](const clap_host_t* h) {
            of(h).noteCall();
            return std::this_thread::get_id() == of(h).mainThread;
        },
        [](const clap_host_t* h) {
            of(h).noteCall();
            return std::this_thread::get_id() != of(h).mainThread;
        },
    };
    of(host).noteCall();
    if (!id)
        return nullptr;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0)
        return &params;
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0)
        return &latency;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0)
        return &state;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0)
        return &timerSupport;
    if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0)
        return &threadCheck;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0)
        return &fdSupport;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0)
        return &gui;
    if (std::strcmp(id, CLAP_EXT_CONTEXT_MENU) == 0 && of(host).contextMenus)
        return &contextMenu;
    return nullptr;
}

const clap_plugin_params_t& ClapPluginHost::params() const
{
    const auto* found = extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    if (!found)
        throw std::runtime_error("the plug-in has no params extension");
    return *found;
}

bool ClapPluginHost::activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames)
{
    deactivate();
    if (!instance->activate(instance, sampleRate, minFrames, maxFrames))
        return false;
    active = true;
    return instance->start_processing(instance);
}

void ClapPluginHost::deactivate()
{
    if (!active)
        return;
    instance->stop_processing(instance);
    instance->deactivate(instance);
    active = false;
}

template <typename Sample>
clap_process_status ClapPluginHost::process(Sample* const* inputs, Sample* const* outputs, std::uint32_t channels,
                                            std::uint32_t frames, const std::vector<ClapParamEvent>& events)
{
    fillEvents(inputEvents, events);
    InputList inputList{&inputEvents};
    const clap_input_events_t in{&inputList, inputSize, inputGet};
    const clap_output_events_t out{&sent, outputPush};
    clap_audio_buffer_t input{};
    clap_audio_buffer_t output{};
    input.channel_count = output.channel_count = channels;
    if constexpr (sizeof(Sample) == sizeof(double)) {
        input.data64 = const_cast<double**>(inputs);
        output.data64 = const_cast<double**>(outputs);
    } else {
        input.data32 = const_cast<float**>(inputs);
        output.data32 = const_cast<float**>(outputs);
    }
    clap_process_t block{};
    block.steady_time = -1;
    block.frames_count = frames;
    block.audio_inputs = &input;
    block.audio_outputs = &output;
    block.audio_inputs_count = block.audio_outputs_count = 1;
    block.in_events = &in;
    block.out_events = &out;
    insideProcess.store(true);
    const clap_process_status status = instance->process(instance, &block);
    insideProcess.store(false);
    return status;
}

template clap_process_status ClapPluginHost::process<float>(float* const*, float* const*, std::uint32_t,
                                                            std::uint32_t, const std::vector<ClapParamEvent>&);
template clap_process_status ClapPluginHost::process<double>(double* const*, double* const*, std::uint32_t,
                                                             std::uint32_t, const std::vector<ClapParamEvent>&);

void ClapPluginHost::flush(const std::vector<ClapParamEvent>& events)
{
    fillEvents(inputEvents, events);
    InputList inputList{&inputEvents};
    const clap_input_events_t in{&inputList, inputSize, inputGet};
    const clap_output_events_t out{&sent, outputPush};
    params().flush(instance, &in, &out);
}

double ClapPluginHost::value(clap_id id) const
{
    double result = 0.0;
    if (!params().get_value(instance, id, &result))
        throw std::runtime_error("no value for parameter " + std::to_string(id));
    return result;
}

std::string ClapPluginHost::text(clap_id id, double value) const
{
    std::array<char, 256> buffer{};
    if (!params().value_to_text(instance, id, value, buffer.data(), static_cast<std::uint32_t>(buffer.size())))
        throw std::runtime_error("no text for parameter " + std::to_string(id));
    buffer.back() = '\0';
    return buffer.data();
}

bool ClapPluginHost::save(std::vector<std::uint8_t>& bytes, std::size_t chunk) const
{
    const auto* state = extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    if (!state)
        return false;
    bytes.clear();
    ByteSink sink{&bytes, chunk};
    const clap_ostream_t stream{&sink, [](const clap_ostream_t* s, const void* buffer, std::uint64_t size) {
                                    auto& target = *static_cast<ByteSink*>(s->ctx);
                                    const std::size_t n = std::min<std::size_t>(size, target.chunk);
                                    const auto* data = static_cast<const std::uint8_t*>(buffer);
                                    target.bytes->insert(target.bytes->end(), data, data + n);
                                    return static_cast<std::int64_t>(n);
                                }};
    return state->save(instance, &stream);
}

bool ClapPluginHost::load(const std::vector<std::uint8_t>& bytes, std::size_t chunk) const
{
    const auto* state = extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    if (!state)
        return false;
    ByteSource source{&bytes, 0, chunk};
    const clap_istream_t stream{&source, [](const clap_istream_t* s, void* buffer, std::uint64_t size) {
                                    auto& from = *static_cast<ByteSource*>(s->ctx);
                                    const std::size_t n =
                                        std::min<std::size_t>({size, from.chunk, from.bytes->size() - from.at});
                                    if (n > 0)
                                        std::memcpy(buffer, from.bytes->data() + from.at, n);
                                    from.at += n;
                                    return static_cast<std::int64_t>(n);
                                }};
    return state->load(instance, &stream);
}

void ClapPluginHost::runTimers()
{
    const auto* support = extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    if (!support)
        return;
    // The plug-in may unregister timers while called: work on a copy.
    const std::vector<Timer> due = timers;
    for (const Timer& timer : due)
        support->on_timer(instance, timer.id);
}

std::vector<ClapPluginHost::MenuEntry> ClapPluginHost::menuEntries(const clap_context_menu_target_t& target) const
{
    std::vector<MenuEntry> entries;
    const auto* menu = extension<clap_plugin_context_menu_t>(CLAP_EXT_CONTEXT_MENU);
    if (!menu)
        return entries;
    const clap_context_menu_builder_t builder{
        &entries,
        [](const clap_context_menu_builder_t* b, std::uint32_t kind, const void* data) {
            auto& list = *static_cast<std::vector<MenuEntry>*>(b->ctx);
            const auto text = [](const char* label) { return std::string(label ? label : ""); };
            switch (kind) {
            case CLAP_CONTEXT_MENU_ITEM_ENTRY: {
                if (!data)
                    return false;
                const auto& entry = *static_cast<const clap_context_menu_entry_t*>(data);
                list.push_back({text(entry.label), entry.is_enabled, entry.action_id, kind, false});
                return true;
            }
            case CLAP_CONTEXT_MENU_ITEM_CHECK_ENTRY: {
                if (!data)
                    return false;
                const auto& entry = *static_cast<const clap_context_menu_check_entry_t*>(data);
                list.push_back({text(entry.label), entry.is_enabled, entry.action_id, kind, entry.is_checked});
                return true;
            }
            case CLAP_CONTEXT_MENU_ITEM_BEGIN_SUBMENU: {
                if (!data)
                    return false;
                const auto& submenu = *static_cast<const clap_context_menu_submenu_t*>(data);
                list.push_back({text(submenu.label), submenu.is_enabled, 0, kind, false});
                return true;
            }
            case CLAP_CONTEXT_MENU_ITEM_END_SUBMENU:
            case CLAP_CONTEXT_MENU_ITEM_SEPARATOR: list.push_back({std::string(), false, 0, kind, false}); return true;
            default: return false;
            }
        },
        [](const clap_context_menu_builder_t*, std::uint32_t kind) { return kind <= CLAP_CONTEXT_MENU_ITEM_END_SUBMENU; },
    };
    menu->populate(instance, &target, &builder);
    return entries;
}

void ClapPluginHost::run(std::chrono::milliseconds duration, const std::function<bool()>& done)
{
    using Clock = std::chrono::steady_clock;
    const auto* timerSupport = extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    const auto* fdSupport = extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    const Clock::time_point end = Clock::now() + duration;
    while (Clock::now() < end && !(done && done())) {
        // The plug-in may register and unregister while called: copies,
        // each entry checked again before its call.
        const std::vector<int> ready = fds;
        for (int fd : ready)
            if (fdSupport && std::find(fds.begin(), fds.end(), fd) != fds.end())
                fdSupport->on_fd(instance, fd, CLAP_POSIX_FD_READ);
        const Clock::time_point now = Clock::now();
        std::vector<clap_id> due;
        for (Timer& timer : timers)
            if (now >= timer.due) {
                timer.due = now + std::chrono::milliseconds(timer.periodMs);
                due.push_back(timer.id);
            }
        for (clap_id id : due)
            if (timerSupport && std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.id == id; }))
                timerSupport->on_timer(instance, id);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

ClapStateParts splitClapState(const std::vector<std::uint8_t>& state)
{
    const auto parts = Steinberg::Vst::unpackVst2Chunk(std::span(state.data(), state.size()));
    if (!parts)
        throw std::runtime_error("not a state in the adapter's container");
    return {{parts->processorState.begin(), parts->processorState.end()},
            {parts->controllerState.begin(), parts->controllerState.end()}};
}

std::vector<std::uint8_t> joinClapState(const ClapStateParts& parts)
{
    return Steinberg::Vst::packVst2Chunk(parts.processor, parts.controller);
}

} // namespace tarvel::host
