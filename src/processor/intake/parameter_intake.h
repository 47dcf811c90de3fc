#pragma once
// The engine's parameter intake: host automation, whole-set loads and the
// last automation values reported back.

#include <array>
#include <cstdint>

#include "parameters/parameters.h"
#include "processor/intake/parameter_ramp.h"
#include "processor/intake/parameter_set_exchange.h"
#include "processor/intake/value_mailbox.h"

namespace Steinberg::Vst {
struct ProcessData;
}

namespace tarvel {

// beginBlock, advance and value run on the audio thread only; the exchange
// and the mailboxes are the paths to and from the other threads.
class ParameterIntake {
public:
    explicit ParameterIntake(const Parameters& start) noexcept;
    ParameterIntake(const ParameterIntake&) = delete;
    ParameterIntake& operator=(const ParameterIntake&) = delete;

    // Once per block, before its first sample: takes the block's queues,
    // reports to each parameter's mailbox the value its last usable point
    // leaves it at, and applies a set published since the previous block.
    void beginBlock(const Steinberg::Vst::ProcessData& data) noexcept;
    // The same for a block whose samples are not processed (a host's
    // parameter flush without audio, or a block the processor refuses):
    // each parameter takes its last usable point's value at once, so what
    // runs next is what the mailboxes report.
    void beginBlockWithoutAudio(const Steinberg::Vst::ProcessData& data) noexcept;

    void advance() noexcept
    {
        for (ParameterRamp& ramp : ramps)
            ramp.advance();
    }

    double value(std::int32_t id) const noexcept { return ramps[static_cast<std::size_t>(id)].current(); }

    // One parameter's ramp, for callers that walk a run of samples one
    // parameter at a time.
    ParameterRamp& ramp(std::int32_t id) noexcept { return ramps[static_cast<std::size_t>(id)]; }

    // Whether no value moves during the next count samples.
    bool constantFor(std::int32_t count) const noexcept
    {
        for (const ParameterRamp& r : ramps)
            if (!r.constantFor(count))
                return false;
        return true;
    }

    ParameterSetExchange& exchange() noexcept { return setExchange; }
    ValueMailbox& lastHostValue(std::int32_t id) noexcept { return lastHostValues[static_cast<std::size_t>(id)]; }

private:
    void takeBlock(const Steinberg::Vst::ProcessData& data, bool samplesFollow) noexcept;

    std::array<ParameterRamp, ParameterCount> ramps;
    ParameterSetExchange setExchange;
    std::array<ValueMailbox, ParameterCount> lastHostValues;
};

} // namespace tarvel
