#include "processor/intake/parameter_ramp.h"

#include <algorithm>
#include <cmath>

namespace tarvel {

namespace {

// A parameter left alone for hours keeps moving lastOffset back by every
// block's length. Holding it here keeps the arithmetic inside int32; a
// segment that long has a slope of practically zero either way.
constexpr std::int64_t earliestLastOffset = -(std::int64_t{1} << 30);

// Points out of order are skipped, and so are points before the block's
// first sample, which advance() could never reach, and values that are not
// numbers a parameter could take.
bool usable(bool read, std::int32_t offset, double pointValue, std::int32_t previousOffset) noexcept
{
    return read && offset > previousOffset && offset >= 0 && std::isfinite(pointValue);
}

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
    // sample, from the value of its last usable point: a point the block did
    // not reach (one past its end) is in force from here, as the host and the
    // mailbox have it.
    if (pointCount != 0) {
        lastOffset = -1;
        if (hasBlockEnd)
            value = blockEnd;
    } else {
        rebaseLastOffset();
    }
    startQueue(blockQueue);
}

void ParameterRamp::beginBlockFrom(double loadedValue, Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
{
    rebaseLastOffset();
    value = loadedValue;
    startQueue(blockQueue);
}

void ParameterRamp::jumpTo(double newValue) noexcept
{
    value = newValue;
    hasBlockEnd = false;
    queue = nullptr;
    pointCount = 0;
    nextPoint = 0;
    lastOffset = -1;
    sampleIndex = -1;
    fetchNext();
}

void ParameterRamp::startQueue(Steinberg::Vst::IParamValueQueue* blockQueue) noexcept
{
    queue = blockQueue;
    pointCount = blockQueue ? std::max<std::int32_t>(blockQueue->getPointCount(), 0) : 0;
    nextPoint = 0;
    sampleIndex = -1;
    findBlockEnd();
    fetchNext();
}

void ParameterRamp::rebaseLastOffset() noexcept
{
    // sampleIndex still holds the last index of the block that just ended.
    const std::int64_t shifted = std::int64_t{lastOffset} - 1 - sampleIndex;
    lastOffset = static_cast<std::int32_t>(std::max(shifted, earliestLastOffset));
}

void ParameterRamp::findBlockEnd() noexcept
{
    hasBlockEnd = false;
    std::int32_t previous = lastOffset;
    for (std::int32_t index = 0; index < pointCount; ++index) {
        Steinberg::int32 offset = 0;
        Steinberg::Vst::ParamValue pointValue = 0.0;
        const bool read = queue->getPoint(index, offset, pointValue) == Steinberg::kResultOk;
        if (!usable(read, offset, pointValue, previous))
            continue;
        previous = offset;
        blockEnd = pointValue;
        hasBlockEnd = true;
    }
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
        if (!usable(read, offset, pointValue, lastOffset))
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
