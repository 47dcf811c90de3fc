#pragma once
// The smoothed parameter quantities of up to one chunk of frames, as the
// chunked stereo path consumes them.

#include <array>
#include <cstdint>

namespace tarvel {

struct ParameterChunk {
    static constexpr std::int32_t capacity = 64;
    std::array<float, capacity> target, ratioSlope, stereoSlope, wet;
    // Integration time per frame; when integrationTimeConstant is set only
    // element 0 is meaningful.
    std::array<float, capacity> integrationTime;
    bool integrationTimeConstant = true;
};

} // namespace tarvel
