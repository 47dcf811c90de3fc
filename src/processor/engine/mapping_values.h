#pragma once

namespace tarvel {

// The smoothed mapping quantities the loudness core reads every sample.
struct MappingValues {
    float target = 0.0f;
    float ratioSlope = 1.0f;
    float stereoSlope = 1.0f;
};

} // namespace tarvel
