#include "tools/host/parameter_changes.h"

#include <algorithm>

namespace tarvel::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

ParameterValueQueue::ParameterValueQueue(ParamID id) : parameterId(id) { points.reserve(16); }

tresult PLUGIN_API ParameterValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= static_cast<int32>(points.size()))
        return kResultFalse;
    sampleOffset = points[static_cast<std::size_t>(index)].first;
    value = points[static_cast<std::size_t>(index)].second;
    return kResultTrue;
}

// Keeps points sorted by offset; a second point at the same offset replaces
// the first, as hosts do.
tresult PLUGIN_API ParameterValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    auto at = std::lower_bound(points.begin(), points.end(), sampleOffset,
                               [](const auto& point, int32 offset) { return point.first < offset; });
    if (at != points.end() && at->first == sampleOffset)
        at->second = value;
    else
        at = points.insert(at, {sampleOffset, value});
    index = static_cast<int32>(at - points.begin());
    return kResultTrue;
}

tresult PLUGIN_API ParameterValueQueue::queryInterface(const TUID queried, void** obj)
{
    if (FUnknownPrivate::iidEqual(queried, IParamValueQueue::iid) || FUnknownPrivate::iidEqual(queried, FUnknown::iid)) {
        *obj = static_cast<IParamValueQueue*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= static_cast<int32>(queues.size()))
        return nullptr;
    return &queues[static_cast<std::size_t>(index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (std::size_t i = 0; i < queues.size(); ++i) {
        if (queues[i].getParameterId() == id) {
            index = static_cast<int32>(i);
            return &queues[i];
        }
    }
    queues.emplace_back(id);
    index = static_cast<int32>(queues.size() - 1);
    return &queues.back();
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID queried, void** obj)
{
    if (FUnknownPrivate::iidEqual(queried, IParameterChanges::iid) || FUnknownPrivate::iidEqual(queried, FUnknown::iid)) {
        *obj = static_cast<IParameterChanges*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

} // namespace tarvel::host
