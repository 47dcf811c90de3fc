#pragma once
// Turns one parameter's value queue for a block into a sample-accurate,
// piecewise-linear value.

#include <cstdint>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace tarvel {

class ParameterRamp {
public:
    static constexpr std::int32_t noPoint = 0x1000000;

    void reset() noexcept
    {
        value = 0.0;
        queue = nullptr;
        increment = 0.0;
        pointCount = nextPoint = 0;
        targetOffset = 0;
        targetValue = 0.0;
        lastOffset = -1;
        sampleIndex = -1;
        fetchNext();
    }

    void setStart(double v) noexcept
    {
        value = v;
        queue = nullptr;
        lastOffset = lastOffset - 1 - sampleIndex;
        pointCount = nextPoint = 0;
        sampleIndex = -1;
        fetchNext();
    }

    void beginBlock(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
    {
        // A segment starts at the last point seen, or, after blocks without
        // points, that many samples further back.
        lastOffset = pointCount != 0 ? -1 : lastOffset - 1 - sampleIndex;
        start(blockQueue);
    }

    // A whole new value takes over at once; the block's points ramp from it.
    void replace(double v, Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
    {
        lastOffset = lastOffset - 1 - sampleIndex;
        value = v;
        start(blockQueue);
    }

    void advance() noexcept
    {
        ++sampleIndex;
        value += increment;
        if (sampleIndex == targetOffset) {
            value = targetValue;
            fetchNext();
        }
    }

    double current() const noexcept { return value; }

private:
    void start(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
    {
        queue = blockQueue;
        pointCount = queue ? queue->getPointCount() : 0;
        nextPoint = 0;
        sampleIndex = -1;
        fetchNext();
    }

    void fetchNext() noexcept
    {
        while (nextPoint < pointCount) {
            Steinberg::int32 offset = 0;
            Steinberg::Vst::ParamValue pointValue = 0.0;
            const bool read = queue->getPoint(nextPoint++, offset, pointValue) == Steinberg::kResultTrue;
            if (read && offset > lastOffset) {
                targetValue = pointValue;
                targetOffset = offset;
                increment = (targetValue - value) / static_cast<double>(offset - lastOffset);
                lastOffset = offset;
                return;
            }
        }
        increment = 0.0;
        targetValue = value;
        targetOffset = noPoint;
    }

    double value = 0.0;
    Steinberg::Vst::IParamValueQueue* queue = nullptr;
    double increment = 0.0;
    std::int32_t pointCount = 0;
    std::int32_t nextPoint = 0;
    std::int32_t targetOffset = 0;
    double targetValue = 0.0;
    std::int32_t lastOffset = -1;
    std::int32_t sampleIndex = -1;
};

} // namespace tarvel
