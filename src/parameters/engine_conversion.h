#pragma once
// Quantities the compressor engine derives from normalised parameter values,
// written once over the value type: one float (the engine's per-frame form,
// its start values), four lanes (its chunked form, which supplies its own
// powerOfFour next to its lane type). Called per sample when a value
// changes, so everything here is inline and free of allocation.

#include <cmath>
#include <cstdint>

#include "parameters/parameters.h"
#include "parameters/value_operations.h"

namespace tarvel {

inline constexpr float fastIntegrationTime = 0.02f;
inline constexpr float slowIntegrationTime = 0.2f;

// 4^c with the library's single-precision power.
inline float powerOfFour(float c) noexcept { return std::pow(4.0f, c); }

// min(x, 1) then max(..., 0): NaN fails the first comparison and becomes 1.
template <typename Value>
Value clampNormalised(Value x) noexcept
{
    return maximum(minimum(x, Value(1.0f)), Value(0.0f));
}

// 0 or 1: floor(c + 0.5) for the clamped c, which is 1 exactly when c is at
// least 0.5.
template <typename Value>
Value bypassState(Value v) noexcept
{
    return select(clampNormalised(v) >= Value(0.5f), Value(1.0f), Value(0.0f));
}

// Detector integration time in seconds: fast below 0.5, slow from 0.5 on.
template <typename Value>
Value integrationTime(Value v) noexcept
{
    return select(clampNormalised(v) < Value(0.5f), Value(fastIntegrationTime), Value(slowIntegrationTime));
}

// The N of an N:1 ratio: 1 at v = 0, 4 at v = 1.
inline float ratioDisplayValue(float v) noexcept { return powerOfFour(clampNormalised(v)); }

// Inverse ratio used by the mapping: 1 at v = 0, 0.25 at v = 1.
template <typename Value>
Value mappingSlope(Value v) noexcept
{
    return Value(1.0f) / powerOfFour(clampNormalised(v));
}

// Target loudness: -40 at v = 0, 0 at v = 1.
template <typename Value>
Value targetLevel(Value v) noexcept
{
    return (Value(1.0f) - clampNormalised(v)) * Value(-40.0f);
}

// The engine quantity of parameter id for normalised value v.
template <typename Value>
Value engineQuantity(std::int32_t id, Value v) noexcept
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
