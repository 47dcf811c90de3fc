#pragma once
// The host side of a block's parameter changes, as a host hands them to a
// processor in ProcessData::inputParameterChanges.

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace tarvel::host {

// One parameter's points, kept in the order they were added: a processor
// must cope with whatever order a host sends.
//
// Reference counting: a queue that belongs to a ParameterChanges counts its
// references on the list, which owns it. A free-standing queue starts with
// one reference held by its creator and deletes itself when the last one is
// released; on the stack, simply never release the creator's reference.
class ParameterValueQueue final : public Steinberg::Vst::IParamValueQueue {
public:
    static constexpr std::size_t defaultPointCapacity = 64;

    explicit ParameterValueQueue(Steinberg::Vst::ParamID id = 0,
                                 std::size_t pointCapacity = defaultPointCapacity);
    ParameterValueQueue(const ParameterValueQueue&) = delete;
    ParameterValueQueue& operator=(const ParameterValueQueue&) = delete;

    // Empties the queue for another parameter; keeps the storage.
    void reset(Steinberg::Vst::ParamID id) noexcept;

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return parameterId; }
    Steinberg::int32 PLUGIN_API getPointCount() override;
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) override;
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** object) override;
    Steinberg::uint32 PLUGIN_API addRef() override;
    Steinberg::uint32 PLUGIN_API release() override;

private:
    friend class ParameterChanges;

    struct Point {
        Steinberg::int32 offset;
        Steinberg::Vst::ParamValue value;
    };

    Steinberg::FUnknown* owner = nullptr;
    std::atomic<Steinberg::uint32> references{1};
    Steinberg::Vst::ParamID parameterId;
    std::vector<Point> points;
};

// A block's queues, one per parameter id. Storage for queueCapacity queues
// of pointCapacity points is reserved up front, so filling within those
// limits and every read by the processor allocate nothing; clear() makes the
// object reusable for the next block, also without allocating.
// Reference counting as for a free-standing ParameterValueQueue.
class ParameterChanges final : public Steinberg::Vst::IParameterChanges {
public:
    static constexpr std::size_t defaultQueueCapacity = 16;

    explicit ParameterChanges(std::size_t queueCapacity = defaultQueueCapacity,
                              std::size_t pointCapacity = ParameterValueQueue::defaultPointCapacity);
    ParameterChanges(const ParameterChanges&) = delete;
    ParameterChanges& operator=(const ParameterChanges&) = delete;

    void clear() noexcept;

    // Appends one point to the queue of id, creating the queue if needed.
    Steinberg::tresult addPoint(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
                                Steinberg::Vst::ParamValue value);

    Steinberg::int32 PLUGIN_API getParameterCount() override;
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
    // As hosts do, a second request for the same id returns the first queue.
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                 Steinberg::int32& index) override;

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** object) override;
    Steinberg::uint32 PLUGIN_API addRef() override;
    Steinberg::uint32 PLUGIN_API release() override;

private:
    std::atomic<Steinberg::uint32> references{1};
    std::size_t pointCapacity;
    std::vector<std::unique_ptr<ParameterValueQueue>> queues; // the first `used` are in the block
    std::size_t used = 0;
};

} // namespace tarvel::host
