#pragma once
// Branch-free double-precision base-10 logarithm, one value at a time and
// four lanes at a time, for the per-chunk loops of the gain pass.
// Accurate to a few units in the last place of a double, far below the
// single-precision rounding its callers apply, for positive finite inputs.

#include <bit>
#include <cstddef>
#include <cstdint>

#include "processor/engine/lanes.h"

namespace tarvel {

namespace fastlog {

inline constexpr std::uint64_t mantissaMask = 0x000FFFFFFFFFFFFFull;
// The bit pattern of sqrt(1/2). Adding 1.0's pattern minus it carries into
// the exponent field exactly when the mantissa is at least sqrt(2); the
// fields of the sum then give x = 2^e m with m in [sqrt(1/2), sqrt(2)), m's
// pattern being the sum's mantissa field plus sqrt(1/2)'s pattern.
inline constexpr std::uint64_t sqrtHalfBits = 0x3FE6A09E667F3BCDull;
inline constexpr std::uint64_t centring = 0x3FF0000000000000ull - sqrtHalfBits;
// 2^52 as a bit pattern: OR-ing a small integer into its mantissa gives
// 2^52 + n exactly, which turns integer lanes into doubles without a 64-bit
// integer conversion instruction.
inline constexpr std::uint64_t twoPow52Bits = 0x4330000000000000ull;
inline constexpr double twoPow52PlusBias = 4503599627370496.0 + 1023.0;
inline constexpr double ln2 = 0.69314718055994530942;
inline constexpr double inverseLn10 = 0.43429448190325182765;

// ln m = s 2Q(s^2) with s = (m - 1) / (m + 1). For m in [sqrt(1/2),
// sqrt(2)], s^2 < 0.02944, where this degree-6 fit of Q(z) = atanh(sqrt z) /
// sqrt z (Chebyshev interpolation) is within 2e-16 of it. The coefficients
// are those of 2Q, doubled exactly.
inline constexpr double q6 = 2.0 * 0.084188299853402441463;
inline constexpr double q5 = 2.0 * 0.090609672156076072071;
inline constexpr double q4 = 2.0 * 0.11111717273758953332;
inline constexpr double q3 = 2.0 * 0.1428570801055383579;
inline constexpr double q2 = 2.0 * 0.20000000030870807598;
inline constexpr double q1 = 2.0 * 0.33333333333276459001;
inline constexpr double q0 = 2.0 * 1.0000000000000001709;

} // namespace fastlog

inline double log10Positive(double x) noexcept
{
    using namespace fastlog;
    const std::uint64_t centred = std::bit_cast<std::uint64_t>(x) + centring;
    const double exponent = std::bit_cast<double>(twoPow52Bits | (centred >> 52)) - twoPow52PlusBias;
    const double mantissa = std::bit_cast<double>((centred & mantissaMask) + sqrtHalfBits);

    const double s = (mantissa - 1.0) / (mantissa + 1.0);
    const double z = s * s;
    const double z2 = z * z;
    // Estrin's scheme: a shorter dependency chain than Horner's, so that
    // consecutive evaluations overlap in the processor.
    const double q = ((q0 + q1 * z) + z2 * (q2 + q3 * z)) + (z2 * z2) * ((q4 + q5 * z) + z2 * q6);
    return (exponent * ln2 + s * q) * inverseLn10;
}

// log10Positive in each of four lanes, operation for operation.
inline DoubleLanes log10Lanes(DoubleLanes x) noexcept
{
    using namespace fastlog;
    const LaneBits centred = bitsOf(x) + centring;
    const DoubleLanes exponent = doublesOf(shiftRight<52>(centred) | twoPow52Bits) - twoPow52PlusBias;
    const DoubleLanes mantissa = doublesOf((centred & mantissaMask) + sqrtHalfBits);

    const DoubleLanes s = (mantissa - 1.0) / (mantissa + 1.0);
    const DoubleLanes z = s * s;
    const DoubleLanes z2 = z * z;
    const DoubleLanes q = ((q0 + q1 * z) + z2 * (q2 + q3 * z)) + (z2 * z2) * ((q4 + q5 * z) + z2 * q6);
    return (exponent * ln2 + s * q) * inverseLn10;
}

// log10Lanes over count doubles (a multiple of four, 16-byte aligned
// arrays). A loop of its own: the logarithm's dependency chain is long, and
// the processor overlaps many more of them when nothing else shares the
// loop.
inline void log10Array(const double* in, double* out, std::size_t count) noexcept
{
    for (std::size_t i = 0; i < count; i += 4)
        log10Lanes(DoubleLanes::load(in + i)).store(out + i);
}

} // namespace tarvel
