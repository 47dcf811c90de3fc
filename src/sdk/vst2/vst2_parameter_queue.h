#pragma once
// Parameter values on their way from a VST 2 host to the processor. VST 2
// sets values between blocks from any thread, VST 3 expects them as queue
// points inside a block, so each set value waits in a lock-free slot until
// the next block turns it into a point at offset 0. Everything is sized when
// the effect is created; nothing here allocates after that.

#include <atomic>
#include <memory>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace Steinberg::Vst {

// One parameter's points within one block, with a fixed capacity. Owned by
// Vst2BlockParameterChanges, which lives as long as the effect, so the
// reference count is not used for lifetime. The CLAP adapter carries a
// block's sample-accurate host events in the same queues, hence room for
// more points than VST 2's one value per block needs.
class Vst2ParameterQueue final : public IParamValueQueue {
public:
    static constexpr int32 pointCapacity = 64;

    void reset(ParamID id) noexcept;

    ParamID PLUGIN_API getParameterId() override { return parameterId; }
    int32 PLUGIN_API getPointCount() override { return pointCount; }
    tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) override;
    // A point at an offset already present replaces it; beyond the capacity
    // the last point takes the value, so the newest value always arrives.
    tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) override;

    tresult PLUGIN_API queryInterface(const TUID queried, void** object) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

private:
    struct Point {
        int32 offset = 0;
        ParamValue value = 0.0;
    };

    ParamID parameterId = 0;
    int32 pointCount = 0;
    Point points[pointCapacity];
};

// The changes of one block: at most one queue per parameter of the effect.
class Vst2BlockParameterChanges final : public IParameterChanges {
public:
    explicit Vst2BlockParameterChanges(int32 parameterCount);

    void clear() noexcept { used = 0; }

    int32 PLUGIN_API getParameterCount() override { return used; }
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) override;
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) override;

    tresult PLUGIN_API queryInterface(const TUID queried, void** object) override;
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

private:
    std::unique_ptr<Vst2ParameterQueue[]> queues;
    int32 capacity;
    int32 used = 0;
};

// The newest value set for each parameter index, waiting for the side that
// takes it: the processor at its next block (audio thread), or the
// controller at the host's next user-interface call. set() and newest() may
// run on any thread and never allocate, lock or call out.
class Vst2PendingValues {
public:
    // ids[i] is the VST 3 id of VST 2 index i.
    explicit Vst2PendingValues(std::vector<ParamID> ids);

    void set(int32 index, ParamValue value) noexcept;
    // Records a value that needs no delivery (the taking side has it
    // already), so that newest() answers it.
    void show(int32 index, ParamValue value) noexcept;
    // The last value set or shown for index; 0 for an unknown index.
    ParamValue newest(int32 index) const noexcept;
    // Forgets every value still waiting.
    void discard() noexcept;

    // Moves every waiting value into the block as a point at offset 0.
    void take(IParameterChanges& block) noexcept;
    // Hands every waiting value to deliver(id, value).
    template <typename Deliver>
    void takeEach(Deliver&& deliver)
    {
        for (std::size_t i = 0; i < parameterIds.size(); ++i) {
            ParamValue value = 0.0;
            if (takeSlot(i, value))
                deliver(parameterIds[i], value);
        }
    }

private:
    struct Slot {
        std::atomic<double> value{0.0};
        std::atomic<bool> waiting{false};
    };
    static_assert(std::atomic<double>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

    bool takeSlot(std::size_t index, ParamValue& value) noexcept;

    std::vector<ParamID> parameterIds;
    std::unique_ptr<Slot[]> slots;
};

} // namespace Steinberg::Vst
