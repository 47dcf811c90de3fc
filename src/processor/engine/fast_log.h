#pragma once
// Branch-free double-precision base-10 logarithm, one value at a time and
// four lanes at a time, for the per-chunk loops of the gain pass.
// Accurate to a few units in the last place of a double, far below the
// single-precision rounding its callers apply, for positive finite inputs.

#include <bit>
#include <cstddef>
#include <cstdint>

#include "processor/engine/double_quad.h"

namespace tarvel {

namespace fastlog {

inline constexpr std::uint64_t mantissaMask = 0x000FFFFFFFFFFFFFull;
inline constexpr std::uint64_t exponentOfOne = 0x3FF0000000000000ull;
// 2^52 as a bit pattern: OR-ing a small integer into its mantissa gives
// 2^52 + n exactly, which turns integer lanes into doubles without a 64-bit
// integer conversion instruction.
inline constexpr std::uint64_t twoPow52Bits = 0x4330000000000000ull;
inline constexpr double twoPow52 = 4503599627370496.0;
inline constexpr double sqrtTwo = 1.4142135623730951;
inline constexpr double ln2 = 0.69314718055994530942;
inline constexpr double inverseLn10 = 0.43429448190325182765;

// ln m = 2 s Q(s^2) with s = (m - 1) / (m + 1). For m in [sqrt(1/2),
// sqrt(2)], s^2 < 0.02944, where this degree-6 fit of Q(z) = atanh(sqrt z) /
// sqrt z (Chebyshev interpolation) is within 2e-16 of it.
inline constexpr double q6 = 0.084188299853402441463;
inline constexpr double q5 = 0.090609672156076072071;
inline constexpr double q4 = 0.11111717273758953332;
inline constexpr double q3 = 0.1428570801055383579;
inline constexpr double q2 = 0.20000000030870807598;
inline constexpr double q1 = 0.33333333333276459001;
inline constexpr double q0 = 1.0000000000000001709;

} // namespace fastlog

inline double log10Positive(double x) noexcept
{
    using namespace fastlog;
    const auto bits = std::bit_cast<std::uint64_t>(x);
    const double biasedExponent = std::bit_cast<double>(twoPow52Bits | (bits >> 52)) - twoPow52;
    double mantissa = std::bit_cast<double>((bits & mantissaMask) | exponentOfOne);

    // Centre the mantissa on 1 so the series below converges fast. Written
    // as arithmetic on a 0/1 value rather than a branch so that the code
    // stays straight-line.
    const double high = static_cast<double>(mantissa > sqrtTwo);
    mantissa *= 1.0 - 0.5 * high;
    const double exponent = biasedExponent - 1023.0 + high;

    const double s = (mantissa - 1.0) / (mantissa + 1.0);
    const double z = s * s;
    const double z2 = z * z;
    // Estrin's scheme: a shorter dependency chain than Horner's, so that
    // consecutive evaluations overlap in the processor.
    const double q = ((q0 + q1 * z) + z2 * (q2 + q3 * z)) + (z2 * z2) * ((q4 + q5 * z) + z2 * q6);
    return (exponent * ln2 + 2.0 * s * q) * inverseLn10;
}

// log10Positive in each of four lanes, operation for operation.
inline DoubleQuad log10Lanes(DoubleQuad x) noexcept
{
    using namespace fastlog;
    const BitsQuad bits = bitsOf(x);
    const DoubleQuad biasedExponent = doublesOf(shiftRight<52>(bits) | twoPow52Bits) - twoPow52;
    DoubleQuad mantissa = doublesOf((bits & mantissaMask) | exponentOfOne);

    const DoubleQuad high = greaterAsOne(mantissa, sqrtTwo);
    mantissa = mantissa * (1.0 - 0.5 * high);
    const DoubleQuad exponent = biasedExponent - 1023.0 + high;

    const DoubleQuad s = (mantissa - 1.0) / (mantissa + 1.0);
    const DoubleQuad z = s * s;
    const DoubleQuad z2 = z * z;
    const DoubleQuad q = ((q0 + q1 * z) + z2 * (q2 + q3 * z)) + (z2 * z2) * ((q4 + q5 * z) + z2 * q6);
    return (exponent * ln2 + 2.0 * s * q) * inverseLn10;
}

// log10Lanes over count doubles (a multiple of four, 16-byte aligned
// arrays). A loop of its own: the logarithm's dependency chain is long, and
// the processor overlaps many more of them when nothing else shares the
// loop.
inline void log10Array(const double* in, double* out, std::size_t count) noexcept
{
    for (std::size_t i = 0; i < count; i += 4)
        storeQuad(out + i, log10Lanes(loadQuad(in + i)));
}

} // namespace tarvel
