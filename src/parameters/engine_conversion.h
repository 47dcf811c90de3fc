#pragma once
// Quantities the compressor engine derives from normalised parameter values.
// Called per sample when a value changes, so everything here is inline and
// free of allocation.

#include <cmath>

#include "parameters/parameters.h"

namespace tarvel {

// min(x, 1) then max(..., 0), written so that NaN fails the first comparison
// and becomes 1.
inline float clampNormalised(float x) noexcept
{
    const float upper = x < 1.0f ? x : 1.0f;
    return upper > 0.0f ? upper : 0.0f;
}

inline constexpr float fastIntegrationTime = 0.02f;
inline constexpr float slowIntegrationTime = 0.2f;

// 0 or 1.
inline float bypassState(float v) noexcept
{
    return static_cast<float>(static_cast<int>(std::floor(static_cast<double>(clampNormalised(v)) + 0.5)));
}

// Detector integration time in seconds: fast below 0.5, slow from 0.5 on.
inline float integrationTime(float v) noexcept
{
    return clampNormalised(v) < 0.5f ? fastIntegrationTime : slowIntegrationTime;
}

// The N of an N:1 ratio: 1 at v = 0, 4 at v = 1.
inline float ratioDisplayValue(float v) noexcept { return std::pow(4.0f, clampNormalised(v)); }

// Inverse ratio used by the mapping: 1 at v = 0, 0.25 at v = 1.
inline float mappingSlope(float v) noexcept { return 1.0f / ratioDisplayValue(v); }

// Target loudness: -40 at v = 0, 0 at v = 1.
inline float targetLevel(float v) noexcept { return (1.0f - clampNormalised(v)) * -40.0f; }

// The engine quantity of parameter id for normalised value v.
inline float engineQuantity(std::int32_t id, float v) noexcept
{
    switch (id) {
    case Bypass: return bypassState(v);
    case Speed: return integrationTime(v);
    case Ratio:
    case StereoRatio: return mappingSlope(v);
    default: return targetLevel(v);
    }
}

} // namespace tarvel
