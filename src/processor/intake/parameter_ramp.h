#pragma once
// Sample-accurate value of one parameter from the host's value queue.

#include <cstdint>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace tarvel {

// Turns one block's queue points into a piecewise-linear value. Offsets are
// kept in the current block's frame: lastOffset -1 is the last sample of the
// previous block, so a segment may start in an earlier block.
class ParameterRamp {
public:
    // "No point pending": an offset no block reaches.
    static constexpr std::int32_t noTarget = 0x1000000;

    ParameterRamp() noexcept { reset(); }

    void reset() noexcept;
    // The value in force before the first block.
    void setStart(double startValue) noexcept;
    // Starts a block; queue may be null (no change for this parameter).
    void beginBlock(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept;
    // Starts a block from a value loaded outside the host's automation: the
    // value replaces the current one at once and the block's points ramp
    // from it.
    void beginBlockFrom(double loadedValue, Steinberg::Vst::IParamValueQueue* blockQueue) noexcept;
    // Drops what the block's queue still aims at and holds newValue from
    // here, as if reached at the previous block's last sample.
    void jumpTo(double newValue) noexcept;

    // Once per sample, before the value is used.
    void advance() noexcept
    {
        ++sampleIndex;
        value += increment;
        if (sampleIndex == targetOffset) {
            // Exact at the point, whatever the rounding of the increments.
            value = targetValue;
            fetchNext();
        }
    }

    // True when the next count advances leave the value where it is: no
    // slope and no point to reach among them.
    bool constantFor(std::int32_t count) const noexcept
    {
        return increment == 0.0 && targetOffset - sampleIndex > count;
    }

    // Equivalent to count advances while constantFor(count) holds. Adding
    // the zero increment once keeps what it does to a negative zero.
    void skip(std::int32_t count) noexcept
    {
        if (count <= 0)
            return;
        sampleIndex += count;
        value += increment;
    }

    double current() const noexcept { return value; }

    // The value of the block's last usable point, where the parameter
    // stands once the block is over; false when the block has none.
    bool endOfBlock(double& end) const noexcept
    {
        end = blockEnd;
        return hasBlockEnd;
    }

private:
    void fetchNext() noexcept;
    void findBlockEnd() noexcept;
    void startQueue(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept;
    // Moves lastOffset into the next block's frame.
    void rebaseLastOffset() noexcept;

    double value = 0.0;
    Steinberg::Vst::IParamValueQueue* queue = nullptr;
    double increment = 0.0;
    std::int32_t pointCount = 0;
    std::int32_t nextPoint = 0;
    std::int32_t targetOffset = 0;
    double targetValue = 0.0;
    std::int32_t lastOffset = -1;
    std::int32_t sampleIndex = -1;
    double blockEnd = 0.0;
    bool hasBlockEnd = false;
};

} // namespace tarvel
