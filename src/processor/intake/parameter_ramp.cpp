#include "processor/intake/parameter_ramp.h"

#include <algorithm>

namespace tarvel {

namespace {

// A parameter left alone for hours keeps moving lastOffset back by every
// block's length. Holding it here keeps the arithmetic inside int32; a
// segment that long has a slope of practically zero either way.
constexpr std::int64_t earliestLastOffset = -(std::int64_t{1} << 30);

} // namespace

void ParameterRamp::reset() noexcept
{
    value = 0.0;
    queue = nullptr;
    increment = 0.0;
    pointCount = 0;
    nextPoint = 0;
    targetOffset = 0;
    targetValue = 0.0;
    lastOffset = -1;
    sampleIndex = -1;
    fetchNext();
}

void ParameterRamp::setStart(double startValue) noexcept
{
    value = startValue;
    queue = nullptr;
    rebaseLastOffset();
    pointCount = 0;
    nextPoint = 0;
    sampleIndex = -1;
    fetchNext();
}

void ParameterRamp::beginBlock(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
{
    // After a block with points the next segment starts at that block's last
    // sample, where the value reached there is taken as the start.
    if (pointCount != 0)
        lastOffset = -1;
    else
        rebaseLastOffset();
    startQueue(blockQueue);
}

void ParameterRamp::beginBlockFrom(double loadedValue, Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
{
    rebaseLastOffset();
    value = loadedValue;
    startQueue(blockQueue);
}

void ParameterRamp::startQueue(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
{
    queue = blockQueue;
    pointCount = blockQueue ? std::max<std::int32_t>(blockQueue->getPointCount(), 0) : 0;
    nextPoint = 0;
    sampleIndex = -1;
    fetchNext();
}

void ParameterRamp::rebaseLastOffset() noexcept
{
    // sampleIndex still holds the last index of the block that just ended.
    const std::int64_t shifted = std::int64_t{lastOffset} - 1 - sampleIndex;
    lastOffset = static_cast<std::int32_t>(std::max(shifted, earliestLastOffset));
}

void ParameterRamp::fetchNext() noexcept
{
    while (nextPoint < pointCount) {
        Steinberg::int32 offset = 0;
        Steinberg::Vst::ParamValue pointValue = 0.0;
        const bool read = queue->getPoint(nextPoint, offset, pointValue) == Steinberg::kResultOk;
        ++nextPoint;
        // Points out of order are skipped, and so are points before the
        // block's first sample, which advance() could never reach.
        if (!read || offset <= lastOffset || offset < 0)
            continue;
        targetValue = pointValue;
        targetOffset = offset;
        increment = (targetValue - value) / static_cast<double>(std::int64_t{offset} - lastOffset);
        lastOffset = offset;
        return;
    }
    increment = 0.0;
    targetValue = value;
    targetOffset = noTarget;
}

} // namespace tarvel
