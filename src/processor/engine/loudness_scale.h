#pragma once
// The loudness scale of BS.1770 and the decibel factors the detector and
// the gain stage share, in their one-value and their lane forms.

#include <cmath>

namespace tarvel {

// Added to every power before its logarithm: silence reads
// 10 log10(1e-37) - 0.691 = -370.691 instead of minus infinity.
inline constexpr double powerFloor = 1e-37;
inline constexpr double kWeightingOffset = 0.691;

inline const float sqrtHalf = static_cast<float>(std::sqrt(0.5));
// A level difference in decibels times this is the natural logarithm of
// the amplitude factor.
inline const double decibelsToNatural = std::log(10.0) / 20.0;
inline const float decibelsToNaturalF = static_cast<float>(decibelsToNatural);

// Loudness from the base-10 logarithm of a K-weighted power, in double (one
// value or four lanes): L = 10 log10(P) - 0.691.
template <typename Value>
Value loudnessFromLog10(Value log10OfPower) noexcept
{
    return 10.0 * log10OfPower - kWeightingOffset;
}

// The loudness of one power, with the library's logarithm:
// L = 10 log10(P + 1e-37) - 0.691.
inline float loudnessOf(float power) noexcept
{
    return static_cast<float>(loudnessFromLog10(std::log10(static_cast<double>(power) + powerFloor)));
}

} // namespace tarvel
