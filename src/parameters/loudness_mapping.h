#pragma once
// The compressor's static mappings, written once over the value type (see
// value_operations.h): the engine runs them on floats and on four lanes,
// the editor's graph on doubles.

#include "parameters/value_operations.h"

namespace tarvel {

// Below target - mappingRange the gain stays constant (and below a side-to-mid
// ratio of -mappingRange the side gain does).
inline constexpr float mappingRange = 40.0f;

// Output loudness for an input loudness: pulled toward target with the slope
// (the inverse ratio) above target - mappingRange, parallel to the input
// below it, where the two branches meet.
// L' = T + S (L - T) for L >= T - R; L' = L - (S - 1) R below (R = mappingRange).
template <typename Level>
Level mappedLoudness(Level loudness, Level target, Level slope) noexcept
{
    const Level range = Level(mappingRange);
    const Level one = Level(1.0f);
    return select(target - range > loudness, loudness - (slope - one) * range, (loudness - target) * slope + target);
}

// The side-to-mid level ratio mapped likewise around 0 with the stereo slope:
// r' = S r for r >= -R; r' = r - (S - 1) R below.
template <typename Level>
Level mappedSideRatio(Level ratio, Level slope) noexcept
{
    const Level range = Level(mappingRange);
    const Level one = Level(1.0f);
    return select(Level(-mappingRange) > ratio, ratio - (slope - one) * range, ratio * slope);
}

} // namespace tarvel
