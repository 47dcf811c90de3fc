#include "sdk/vst2/vst2_parameter_queue.h"

#include <utility>

namespace Steinberg::Vst {

namespace {

template <typename Interface>
tresult answerQuery(Interface* self, const TUID queried, void** object)
{
    if (!object)
        return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(queried, Interface::iid) || FUnknownPrivate::iidEqual(queried, FUnknown::iid)) {
        *object = self;
        return kResultOk;
    }
    *object = nullptr;
    return kNoInterface;
}

} // namespace

void Vst2ParameterQueue::reset(ParamID id) noexcept
{
    parameterId = id;
    pointCount = 0;
}

tresult PLUGIN_API Vst2ParameterQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= pointCount)
        return kResultFalse;
    sampleOffset = points[index].offset;
    value = points[index].value;
    return kResultOk;
}

tresult PLUGIN_API Vst2ParameterQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    for (int32 i = 0; i < pointCount; ++i) {
        if (points[i].offset == sampleOffset) {
            points[i].value = value;
            index = i;
            return kResultOk;
        }
    }
    if (pointCount == pointCapacity) {
        points[pointCount - 1] = {sampleOffset, value};
        index = pointCount - 1;
        return kResultOk;
    }
    points[pointCount] = {sampleOffset, value};
    index = pointCount++;
    return kResultOk;
}

tresult PLUGIN_API Vst2ParameterQueue::queryInterface(const TUID queried, void** object)
{
    return answerQuery<IParamValueQueue>(this, queried, object);
}

Vst2BlockParameterChanges::Vst2BlockParameterChanges(int32 parameterCount)
    : queues(std::make_unique<Vst2ParameterQueue[]>(static_cast<std::size_t>(parameterCount > 0 ? parameterCount : 0))),
      capacity(parameterCount > 0 ? parameterCount : 0)
{
}

IParamValueQueue* PLUGIN_API Vst2BlockParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= used)
        return nullptr;
    return &queues[static_cast<std::size_t>(index)];
}

IParamValueQueue* PLUGIN_API Vst2BlockParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (int32 i = 0; i < used; ++i) {
        if (queues[static_cast<std::size_t>(i)].getParameterId() == id) {
            index = i;
            return &queues[static_cast<std::size_t>(i)];
        }
    }
    if (used == capacity)
        return nullptr;
    Vst2ParameterQueue& queue = queues[static_cast<std::size_t>(used)];
    queue.reset(id);
    index = used++;
    return &queue;
}

tresult PLUGIN_API Vst2BlockParameterChanges::queryInterface(const TUID queried, void** object)
{
    return answerQuery<IParameterChanges>(this, queried, object);
}

Vst2PendingValues::Vst2PendingValues(std::vector<ParamID> ids)
    : parameterIds(std::move(ids)), slots(std::make_unique<Slot[]>(parameterIds.size()))
{
}

void Vst2PendingValues::set(int32 index, ParamValue value) noexcept
{
    if (index < 0 || static_cast<std::size_t>(index) >= parameterIds.size())
        return;
    Slot& slot = slots[static_cast<std::size_t>(index)];
    slot.value.store(value, std::memory_order_relaxed);
    slot.waiting.store(true, std::memory_order_release);
}

void Vst2PendingValues::show(int32 index, ParamValue value) noexcept
{
    if (index >= 0 && static_cast<std::size_t>(index) < parameterIds.size())
        slots[static_cast<std::size_t>(index)].value.store(value, std::memory_order_relaxed);
}

ParamValue Vst2PendingValues::newest(int32 index) const noexcept
{
    if (index < 0 || static_cast<std::size_t>(index) >= parameterIds.size())
        return 0.0;
    return slots[static_cast<std::size_t>(index)].value.load(std::memory_order_relaxed);
}

void Vst2PendingValues::discard() noexcept
{
    for (std::size_t i = 0; i < parameterIds.size(); ++i)
        slots[i].waiting.store(false, std::memory_order_relaxed);
}

bool Vst2PendingValues::takeSlot(std::size_t index, ParamValue& value) noexcept
{
    Slot& slot = slots[index];
    if (!slot.waiting.exchange(false, std::memory_order_acquire))
        return false;
    value = slot.value.load(std::memory_order_relaxed);
    return true;
}

void Vst2PendingValues::take(IParameterChanges& block) noexcept
{
    takeEach([&](ParamID id, ParamValue value) {
        int32 index = 0;
        if (IParamValueQueue* queue = block.addParameterData(id, index))
            queue->addPoint(0, value, index);
    });
}

} // namespace Steinberg::Vst
