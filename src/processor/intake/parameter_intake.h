#pragma once
// The engine's parameter intake: the block's queues become per-sample ramps,
// the last automation value of each parameter is reported through a mailbox,
// and a whole set loaded from a state replaces the ramps' values.

#include <array>
#include <cstdint>

#include "parameters/parameters.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/intake/parameter_ramp.h"
#include "processor/intake/parameter_set_exchange.h"
#include "processor/intake/value_mailbox.h"

namespace tarvel {

class ParameterIntake {
public:
    explicit ParameterIntake(const Parameters& start) noexcept
    {
        for (std::int32_t id = 0; id < ParameterCount; ++id) {
            ramps[static_cast<std::size_t>(id)].reset();
            ramps[static_cast<std::size_t>(id)].setStart(start[id]);
        }
    }

    void beginBlock(const Steinberg::Vst::ProcessData& data) noexcept
    {
        std::array<Steinberg::Vst::IParamValueQueue*, ParameterCount> queues{};
        if (auto* changes = data.inputParameterChanges) {
            const Steinberg::int32 count = changes->getParameterCount();
            for (Steinberg::int32 i = 0; i < count; ++i) {
                Steinberg::Vst::IParamValueQueue* queue = changes->getParameterData(i);
                if (!queue)
                    continue;
                const Steinberg::Vst::ParamID id = queue->getParameterId();
                const Steinberg::int32 points = queue->getPointCount();
                if (id >= static_cast<Steinberg::Vst::ParamID>(ParameterCount) || points <= 0)
                    continue;
                queues[id] = queue;
                Steinberg::int32 offset = 0;
                Steinberg::Vst::ParamValue last = 0.0;
                if (queue->getPoint(points - 1, offset, last) == Steinberg::kResultTrue)
                    mailboxes[id].store(static_cast<float>(last));
            }
        }
        Parameters loaded;
        if (setExchange.take(loaded)) {
            for (std::size_t id = 0; id < ramps.size(); ++id)
                ramps[id].replace(loaded[static_cast<std::int32_t>(id)], queues[id]);
        } else {
            for (std::size_t id = 0; id < ramps.size(); ++id)
                ramps[id].beginBlock(queues[id]);
        }
    }

    void advance() noexcept
    {
        for (auto& ramp : ramps)
            ramp.advance();
    }

    double value(std::int32_t id) const noexcept { return ramps[static_cast<std::size_t>(id)].current(); }

    ParameterSetExchange& exchange() noexcept { return setExchange; }
    ValueMailbox& lastHostValue(std::int32_t id) noexcept { return mailboxes[static_cast<std::size_t>(id)]; }

private:
    std::array<ParameterRamp, ParameterCount> ramps;
    ParameterSetExchange setExchange;
    std::array<ValueMailbox, ParameterCount> mailboxes;
};

} // namespace tarvel
