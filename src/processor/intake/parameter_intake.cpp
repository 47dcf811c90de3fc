#include "processor/intake/parameter_intake.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace tarvel {

using Steinberg::Vst::IParamValueQueue;

ParameterIntake::ParameterIntake(const Parameters& start) noexcept
{
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        ParameterRamp& ramp = ramps[static_cast<std::size_t>(id)];
        ramp.reset();
        ramp.setStart(static_cast<double>(start[id]));
    }
}

void ParameterIntake::beginBlock(const Steinberg::Vst::ProcessData& data) noexcept
{
    std::array<IParamValueQueue*, ParameterCount> queues{};
    if (Steinberg::Vst::IParameterChanges* changes = data.inputParameterChanges) {
        const Steinberg::int32 count = changes->getParameterCount();
        for (Steinberg::int32 i = 0; i < count; ++i) {
            IParamValueQueue* queue = changes->getParameterData(i);
            if (!queue)
                continue;
            const Steinberg::Vst::ParamID id = queue->getParameterId();
            const Steinberg::int32 points = queue->getPointCount();
            if (id >= static_cast<Steinberg::Vst::ParamID>(ParameterCount) || points <= 0)
                continue;
            // A later queue for the same id replaces an earlier one.
            queues[id] = queue;
            Steinberg::int32 offset = 0;
            Steinberg::Vst::ParamValue last = 0.0;
            if (queue->getPoint(points - 1, offset, last) == Steinberg::kResultOk)
                lastHostValues[id].store(static_cast<float>(last));
        }
    }

    Parameters loaded;
    if (setExchange.take(loaded)) {
        for (std::int32_t id = 0; id < ParameterCount; ++id)
            ramps[static_cast<std::size_t>(id)].beginBlockFrom(static_cast<double>(loaded[id]), queues[static_cast<std::size_t>(id)]);
        return;
    }
    for (std::int32_t id = 0; id < ParameterCount; ++id)
        ramps[static_cast<std::size_t>(id)].beginBlock(queues[static_cast<std::size_t>(id)]);
}

} // namespace tarvel
