// Parameters as a CLAP host sees them: the controller's parameters by their
// VST 3 ids, host events into the processor's queues, and the controller's
// edits out to the host as gesture and value events.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sdk/clap/clap_adapter.h"
#include "sdk/vst2/vst2_text.h"

namespace Steinberg::Vst {

using namespace clap;

namespace {

// Hosts keep their event objects only for the call; these are ours.
struct OutgoingEvents {
    clap_event_param_gesture_t gesture{};
    clap_event_param_value_t value{};
};

} // namespace

void ClapAdapter::readParameterInfos()
{
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) == kResultOk)
            parameterInfos.push_back(info);
    }
}

std::int32_t ClapAdapter::indexOf(clap_id id) const noexcept
{
    for (std::size_t i = 0; i < parameterInfos.size(); ++i)
        if (parameterInfos[i].id == id)
            return static_cast<std::int32_t>(i);
    return -1;
}

double ClapAdapter::toClapValue(std::int32_t index, ParamValue normalized) const noexcept
{
    const int32 steps = parameterInfos[static_cast<std::size_t>(index)].stepCount;
    return steps > 0 ? normalized * steps : normalized;
}

ParamValue ClapAdapter::toNormalized(std::int32_t index, double value) const noexcept
{
    const int32 steps = parameterInfos[static_cast<std::size_t>(index)].stepCount;
    return steps > 0 ? value / steps : value;
}

bool ClapAdapter::parameterInfo(std::uint32_t index, clap_param_info_t& info) const
{
    if (index >= parameterInfos.size())
        return false;
    const ParameterInfo& source = parameterInfos[index];
    info = clap_param_info_t{};
    info.id = source.id;
    if (source.flags & ParameterInfo::kCanAutomate)
        info.flags |= CLAP_PARAM_IS_AUTOMATABLE;
    if (source.flags & ParameterInfo::kIsBypass)
        info.flags |= CLAP_PARAM_IS_BYPASS;
    if (source.flags & ParameterInfo::kIsReadOnly)
        info.flags |= CLAP_PARAM_IS_READONLY;
    if (source.flags & ParameterInfo::kIsHidden)
        info.flags |= CLAP_PARAM_IS_HIDDEN;
    if (source.stepCount > 0)
        info.flags |= CLAP_PARAM_IS_STEPPED;
    copyVst2Text(info.name, CLAP_NAME_SIZE, utf8FromUtf16(source.title));
    info.min_value = 0.0;
    info.max_value = source.stepCount > 0 ? source.stepCount : 1.0;
    info.default_value = toClapValue(static_cast<std::int32_t>(index), source.defaultNormalizedValue);
    return true;
}

// The newest value from any source (host, editor, state) without touching
// the controller, so hosts may ask from any thread.
bool ClapAdapter::parameterValue(clap_id id, double& value) const
{
    const std::int32_t index = indexOf(id);
    if (index < 0)
        return false;
    value = toClapValue(index, controllerValues->newest(index));
    return true;
}

// The controller's display text, with the unit, as the VST 3 host shows them
// side by side.
bool ClapAdapter::valueToText(clap_id id, double value, char* text, std::uint32_t capacity)
{
    const std::int32_t index = indexOf(id);
    if (index < 0 || !text || capacity == 0)
        return false;
    String128 display{};
    if (controller->getParamStringByValue(id, toNormalized(index, value), display) != kResultOk)
        return false;
    std::string shown = utf8FromUtf16(display);
    const std::string units = utf8FromUtf16(parameterInfos[static_cast<std::size_t>(index)].units);
    if (!units.empty())
        shown += " " + units;
    copyVst2Text(text, capacity, shown);
    return true;
}

// Accepts what valueToText writes, the unit optional. The controller's
// texts are the reference: a stepped parameter's text names a step, a
// number is found on the continuous parameter's display curve (monotonic,
// as every display of a knob is) by bisection, so the value reads back as
// the same text.
bool ClapAdapter::textToValue(clap_id id, const char* text, double& value)
{
    const std::int32_t index = indexOf(id);
    if (index < 0 || !text)
        return false;
    const ParameterInfo& info = parameterInfos[static_cast<std::size_t>(index)];
    std::string_view typed(text, strnlen(text, 127));
    const std::string units = utf8FromUtf16(info.units);
    if (!units.empty() && typed.size() >= units.size() && typed.substr(typed.size() - units.size()) == units)
        typed.remove_suffix(units.size());
    while (!typed.empty() && typed.back() == ' ')
        typed.remove_suffix(1);
    while (!typed.empty() && typed.front() == ' ')
        typed.remove_prefix(1);
    const auto displayAt = [&](ParamValue normalized) {
        String128 display{};
        if (controller->getParamStringByValue(id, normalized, display) != kResultOk)
            return std::string();
        return utf8FromUtf16(display);
    };
    if (info.stepCount > 0) {
        for (int32 step = 0; step <= info.stepCount; ++step) {
            if (displayAt(static_cast<ParamValue>(step) / info.stepCount) == typed) {
                value = step;
                return true;
            }
        }
    }
    const std::string number(typed);
    char* end = nullptr;
    const double wanted = std::strtod(number.c_str(), &end);
    if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(wanted))
        return false;
    if (info.stepCount > 0) {
        // A step's number, as hosts type them for stepped parameters.
        if (wanted < 0.0 || wanted > info.stepCount)
            return false;
        value = std::round(wanted);
        return true;
    }
    const auto numberAt = [&](ParamValue normalized) { return std::strtod(displayAt(normalized).c_str(), nullptr); };
    const bool rising = numberAt(1.0) >= numberAt(0.0);
    const double lowest = rising ? numberAt(0.0) : numberAt(1.0);
    const double highest = rising ? numberAt(1.0) : numberAt(0.0);
    if (wanted <= lowest) {
        value = rising ? 0.0 : 1.0;
        return true;
    }
    if (wanted >= highest) {
        value = rising ? 1.0 : 0.0;
        return true;
    }
    // The values showing the wanted number form an interval between two
    // edges; its middle reads back as the typed text.
    const auto edge = [&](bool inclusive) {
        double below = 0.0, above = 1.0;
        for (int i = 0; i < 48; ++i) {
            const double middle = 0.5 * (below + above);
            const double shown = numberAt(middle);
            const bool before = rising ? (inclusive ? shown < wanted : shown <= wanted)
                                       : (inclusive ? shown > wanted : shown >= wanted);
            (before ? below : above) = middle;
        }
        return 0.5 * (below + above);
    };
    value = 0.5 * (edge(true) + edge(false));
    return true;
}

namespace {

// Calls visit(event, parameter index) for each parameter-value event in the
// list whose id indexOf knows; anything else (other spaces and types, short
// records, unknown ids) is passed over.
template <typename IndexOf, typename Visit>
void forEachParameterValue(const clap_input_events_t* events, IndexOf indexOf, Visit visit) noexcept
{
    if (!events || !events->size || !events->get)
        return;
    const std::uint32_t count = events->size(events);
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* header = events->get(events, i);
        if (!header || header->space_id != CLAP_CORE_EVENT_SPACE_ID || header->type != CLAP_EVENT_PARAM_VALUE ||
            header->size < sizeof(clap_event_param_value_t))
            continue;
        const auto& event = *reinterpret_cast<const clap_event_param_value_t*>(header);
        const std::int32_t index = indexOf(event.param_id);
        if (index >= 0)
            visit(event, index);
    }
}

} // namespace

void ClapAdapter::takeHostEvents(const clap_input_events_t* events, std::uint32_t frames) noexcept
{
    forEachParameterValue(events, [this](clap_id id) { return indexOf(id); }, [&](const clap_event_param_value_t& event, std::int32_t index) {
        const ParamValue normalized = toNormalized(index, event.value);
        controllerValues->set(index, normalized);
        if (!blockChanges)
            return;
        // Frames beyond the block land on its last frame.
        const int32 offset = static_cast<int32>(frames > 0 ? std::min(event.header.time, frames - 1) : 0);
        int32 queueIndex = 0;
        int32 pointIndex = 0;
        if (IParamValueQueue* queue = blockChanges->addParameterData(event.param_id, queueIndex))
            queue->addPoint(offset, normalized, pointIndex);
    });
}

// While inactive the values wait for the activation; while active but not
// processing, for the next block.
void ClapAdapter::flush(const clap_input_events_t* in, const clap_output_events_t* out) noexcept
{
    forEachParameterValue(in, [this](clap_id id) { return indexOf(id); }, [&](const clap_event_param_value_t& event, std::int32_t index) {
        const ParamValue normalized = toNormalized(index, event.value);
        processorValues->set(index, normalized);
        controllerValues->set(index, normalized);
    });
    sendEdits(out);
}

void ClapAdapter::sendEdits(const clap_output_events_t* out) noexcept
{
    if (!out || !out->try_push)
        return;
    edits.drain([&](const ClapEdit& edit) {
        OutgoingEvents event;
        const std::int32_t index = indexOf(edit.id);
        if (edit.kind == ClapEdit::Kind::value) {
            event.value.header = {sizeof(clap_event_param_value_t), 0, CLAP_CORE_EVENT_SPACE_ID,
                                  CLAP_EVENT_PARAM_VALUE, 0};
            event.value.param_id = edit.id;
            event.value.note_id = -1;
            event.value.port_index = event.value.channel = event.value.key = -1;
            event.value.value = index >= 0 ? toClapValue(index, edit.value) : edit.value;
            return out->try_push(out, &event.value.header);
        }
        const std::uint16_t type =
            edit.kind == ClapEdit::Kind::begin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
        event.gesture.header = {sizeof(clap_event_param_gesture_t), 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
        event.gesture.param_id = edit.id;
        return out->try_push(out, &event.gesture.header);
    });
}

void ClapAdapter::showControllerValues()
{
    for (std::size_t i = 0; i < parameterInfos.size(); ++i)
        controllerValues->show(static_cast<int32>(i), controller->getParamNormalized(parameterInfos[i].id));
}

// The host calls process or flush soon after, where the edits go out.
void ClapAdapter::requestFlushIfIdle()
{
    if (!processing.load(std::memory_order_acquire) && hostParams && hostParams->request_flush)
        hostParams->request_flush(host);
}

void ClapAdapter::beginEdit(ParamID id)
{
    if (restoringState || indexOf(id) < 0)
        return;
    edits.push({ClapEdit::Kind::begin, id, 0.0});
    requestFlushIfIdle();
}

// The processor hears the edit with the next block, as it would from a
// VST 3 host; the host records it as automation.
void ClapAdapter::performEdit(ParamID id, ParamValue value)
{
    const std::int32_t index = indexOf(id);
    if (index < 0)
        return;
    const auto slot = static_cast<std::size_t>(index);
    const bool repeatsProcessorState = restoringState && slot < valuesFromProcessorState.size() &&
                                       valuesFromProcessorState[slot] == value;
    if (!repeatsProcessorState)
        processorValues->set(index, value);
    controllerValues->show(index, value);
    if (restoringState)
        return;
    edits.push({ClapEdit::Kind::value, id, value});
    requestFlushIfIdle();
}

void ClapAdapter::endEdit(ParamID id)
{
    if (restoringState || indexOf(id) < 0)
        return;
    edits.push({ClapEdit::Kind::end, id, 0.0});
    requestFlushIfIdle();
    if (hostState && hostState->mark_dirty)
        hostState->mark_dirty(host);
}

void ClapAdapter::restartComponent(int32 flags)
{
    if ((flags & kLatencyChanged) && active && host->request_restart)
        host->request_restart(host);
    if (flags & kParamValuesChanged) {
        showControllerValues();
        if (hostParams && hostParams->rescan)
            hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT);
    }
}

const clap_plugin_params_t ClapAdapter::paramsExtension = {
    [](const clap_plugin_t* plugin) -> std::uint32_t {
        const ClapAdapter* self = from(plugin);
        return self ? static_cast<std::uint32_t>(self->parameterInfos.size()) : 0;
    },
    [](const clap_plugin_t* plugin, std::uint32_t index, clap_param_info_t* info) {
        const ClapAdapter* self = from(plugin);
        try {
            return self && info && self->parameterInfo(index, *info);
        } catch (...) {
            return false;
        }
    },
    [](const clap_plugin_t* plugin, clap_id id, double* value) {
        const ClapAdapter* self = from(plugin);
        return self && value && self->controllerValues && self->parameterValue(id, *value);
    },
    [](const clap_plugin_t* plugin, clap_id id, double value, char* text, std::uint32_t capacity) {
        ClapAdapter* self = from(plugin);
        try {
            return self && self->controller && self->valueToText(id, value, text, capacity);
        } catch (...) {
            return false;
        }
    },
    [](const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
        ClapAdapter* self = from(plugin);
        try {
            return self && value && self->controller && self->textToValue(id, text, *value);
        } catch (...) {
            return false;
        }
    },
    [](const clap_plugin_t* plugin, const clap_input_events_t* in, const clap_output_events_t* out) {
        ClapAdapter* self = from(plugin);
        if (!self || !self->processorValues)
            return;
        self->flush(in, out);
    },
};

} // namespace Steinberg::Vst
