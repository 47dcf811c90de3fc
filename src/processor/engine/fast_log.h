#pragma once
// Branch-free double-precision logarithm for loops the compiler vectorises.
// Accurate to a few units in the last place of a double, far below the
// single-precision rounding its callers apply, for positive finite inputs.

#include <bit>
#include <cstdint>

namespace tarvel {

inline double log10Positive(double x) noexcept
{
    constexpr std::uint64_t mantissaMask = 0x000FFFFFFFFFFFFFull;
    constexpr std::uint64_t exponentOfOne = 0x3FF0000000000000ull;
    // 2^52 as a bit pattern: OR-ing a small integer into its mantissa gives
    // 2^52 + n exactly, which turns integer lanes into doubles without a
    // 64-bit integer conversion instruction.
    constexpr std::uint64_t twoPow52Bits = 0x4330000000000000ull;
    constexpr double twoPow52 = 4503599627370496.0;
    constexpr double sqrtTwo = 1.4142135623730951;
    constexpr double ln2 = 0.69314718055994530942;
    constexpr double inverseLn10 = 0.43429448190325182765;

    const auto bits = std::bit_cast<std::uint64_t>(x);
    const double biasedExponent = std::bit_cast<double>(twoPow52Bits | (bits >> 52)) - twoPow52;
    double mantissa = std::bit_cast<double>((bits & mantissaMask) | exponentOfOne);

    // Centre the mantissa on 1 so the series below converges fast.
    // Written as arithmetic on a 0/1 value rather than a branch so that the
    // compiler keeps the loop straight-line and vectorises it.
    const double high = static_cast<double>(mantissa > sqrtTwo);
    mantissa *= 1.0 - 0.5 * high;
    const double exponent = biasedExponent - 1023.0 + high;

    // ln m = 2 atanh(s) with s = (m - 1) / (m + 1), |s| < 0.1716.
    const double s = (mantissa - 1.0) / (mantissa + 1.0);
    const double z = s * s;
    double series = 1.0 / 23.0;
    series = series * z + 1.0 / 21.0;
    series = series * z + 1.0 / 19.0;
    series = series * z + 1.0 / 17.0;
    series = series * z + 1.0 / 15.0;
    series = series * z + 1.0 / 13.0;
    series = series * z + 1.0 / 11.0;
    series = series * z + 1.0 / 9.0;
    series = series * z + 1.0 / 7.0;
    series = series * z + 1.0 / 5.0;
    series = series * z + 1.0 / 3.0;
    series = series * z + 1.0;
    const double lnMantissa = 2.0 * s * series;
    return (exponent * ln2 + lnMantissa) * inverseLn10;
}

} // namespace tarvel
