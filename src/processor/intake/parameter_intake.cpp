#include "processor/intake/parameter_intake.h"

#include <limits>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace tarvel {

using Steinberg::Vst::IParamValueQueue;

namespace {

// Beyond float's range: an infinity of the sign, which every consumer
// clamps, not an undefined conversion.
float narrowed(double value) noexcept
{
    constexpr double largest = static_cast<double>(std::numeric_limits<float>::max());
    if (value > largest)
        return std::numeric_limits<float>::infinity();
    if (value < -largest)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

} // namespace

ParameterIntake::ParameterIntake(const Parameters& start) noexcept
{
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        ParameterRamp& ramp = ramps[static_cast<std::size_t>(id)];
        ramp.reset();
        ramp.setStart(static_cast<double>(start[id]));
    }
}

void ParameterIntake::beginBlock(const Steinberg::Vst::ProcessData& data) noexcept { takeBlock(data, true); }

void ParameterIntake::beginBlockWithoutAudio(const Steinberg::Vst::ProcessData& data) noexcept
{
    takeBlock(data, false);
}

void ParameterIntake::takeBlock(const Steinberg::Vst::ProcessData& data, bool samplesFollow) noexcept
{
    std::array<IParamValueQueue*, ParameterCount> queues{};
    if (Steinberg::Vst::IParameterChanges* changes = data.inputParameterChanges) {
        const Steinberg::int32 count = changes->getParameterCount();
        for (Steinberg::int32 i = 0; i < count; ++i) {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (!queue)
                continue;
            const Steinberg::Vst::ParamID id = queue->getParameterId();
            if (id >= static_cast<Steinberg::Vst::ParamID>(ParameterCount) || queue->getPointCount() <= 0)
                continue;
            // A later queue for the same id replaces an earlier one.
            queues[id] = queue;
        }
    }

    Parameters loaded;
    const bool load = setExchange.take(loaded);
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        ParameterRamp& ramp = ramps[static_cast<std::size_t>(id)];
        IParamValueQueue* queue = queues[static_cast<std::size_t>(id)];
        if (load)
            ramp.beginBlockFrom(static_cast<double>(loaded[id]), queue);
        else
            ramp.beginBlock(queue);
        // The mailbox reports where the block leaves the parameter, which
        // is what runs from the next block on.
        double end = 0.0;
        if (!queue || !ramp.endOfBlock(end))
            continue;
        lastHostValues[static_cast<std::size_t>(id)].store(narrowed(end));
        // No sample will walk the ramp to its points: the value is taken
        // at once.
        if (!samplesFollow)
            ramp.jumpTo(end);
    }
}

} // namespace tarvel
