#include "tools/host/parameter_changes.h"

#include <limits>

namespace tarvel::host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

template <typename Interface, typename Object>
tresult answerQuery(Object* self, const TUID iid, void** object)
{
    if (!object)
        return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Interface::iid)) {
        self->addRef();
        *object = static_cast<Interface*>(self);
        return kResultOk;
    }
    *object = nullptr;
    return kNoInterface;
}

} // namespace

ParameterValueQueue::ParameterValueQueue(ParamID id, std::size_t pointCapacity) : parameterId(id)
{
    points.reserve(pointCapacity);
}

void ParameterValueQueue::reset(ParamID id) noexcept
{
    parameterId = id;
    points.clear();
}

int32 PLUGIN_API ParameterValueQueue::getPointCount() { return static_cast<int32>(points.size()); }

tresult PLUGIN_API ParameterValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || static_cast<std::size_t>(index) >= points.size())
        return kInvalidArgument;
    const Point& point = points[static_cast<std::size_t>(index)];
    sampleOffset = point.offset;
    value = point.value;
    return kResultOk;
}

tresult PLUGIN_API ParameterValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    if (points.size() >= static_cast<std::size_t>(std::numeric_limits<int32>::max()))
        return kResultFalse;
    points.push_back({sampleOffset, value});
    index = static_cast<int32>(points.size() - 1);
    return kResultOk;
}

tresult PLUGIN_API ParameterValueQueue::queryInterface(const TUID queried, void** object)
{
    return answerQuery<IParamValueQueue>(this, queried, object);
}

uint32 PLUGIN_API ParameterValueQueue::addRef()
{
    if (owner)
        return owner->addRef();
    return ++references;
}

uint32 PLUGIN_API ParameterValueQueue::release()
{
    if (owner)
        return owner->release();
    const uint32 remaining = --references;
    if (remaining == 0)
        delete this;
    return remaining;
}

ParameterChanges::ParameterChanges(std::size_t queueCapacity, std::size_t pointsPerQueue)
    : pointCapacity(pointsPerQueue)
{
    queues.reserve(queueCapacity);
    for (std::size_t i = 0; i < queueCapacity; ++i) {
        queues.push_back(std::make_unique<ParameterValueQueue>(0, pointCapacity));
        queues.back()->owner = this;
    }
}

void ParameterChanges::clear() noexcept { used = 0; }

tresult ParameterChanges::addPoint(ParamID id, int32 sampleOffset, ParamValue value)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    return queue ? queue->addPoint(sampleOffset, value, index) : kResultFalse;
}

int32 PLUGIN_API ParameterChanges::getParameterCount() { return static_cast<int32>(used); }

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= used)
        return nullptr;
    return queues[static_cast<std::size_t>(index)].get();
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (std::size_t i = 0; i < used; ++i) {
        if (queues[i]->parameterId == id) {
            index = static_cast<int32>(i);
            return queues[i].get();
        }
    }
    if (used >= static_cast<std::size_t>(std::numeric_limits<int32>::max()))
        return nullptr;
    if (used == queues.size()) {
        queues.push_back(std::make_unique<ParameterValueQueue>(id, pointCapacity));
        queues.back()->owner = this;
    }
    ParameterValueQueue& queue = *queues[used];
    queue.reset(id);
    index = static_cast<int32>(used++);
    return &queue;
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID queried, void** object)
{
    return answerQuery<IParameterChanges>(this, queried, object);
}

uint32 PLUGIN_API ParameterChanges::addRef() { return ++references; }

uint32 PLUGIN_API ParameterChanges::release()
{
    const uint32 remaining = --references;
    if (remaining == 0)
        delete this;
    return remaining;
}

} // namespace tarvel::host
