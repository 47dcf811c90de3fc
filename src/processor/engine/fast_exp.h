#pragma once
// Exponentials of four floats, evaluated in double precision in four lanes
// and rounded once to float, so that the result is the correctly
// rounded float in practically every case, as a good library expf gives.

#include <cstddef>

#include "processor/engine/lanes.h"

namespace tarvel {

namespace fastexp {

inline constexpr double log2e = 1.4426950408889634074;
// 1.5 x 2^52: adding it rounds a double of magnitude below 2^51 to an
// integer, which then sits in the low bits of the sum's bit pattern.
inline constexpr double roundingShift = 6755399441055744.0;
// Beyond 2^+-300 every float result is 0 or infinity already; the clamp
// keeps the binary exponent inside the double range.
inline constexpr double binaryExponentLimit = 300.0;

// 2^f for f in [-1/2, 1/2]: degree-9 fit (Chebyshev interpolation), within
// 1.4e-14 of it.
inline constexpr double p9 = 1.0205905413765595794e-7;
inline constexpr double p8 = 1.325964524488711024e-6;
inline constexpr double p7 = 0.000015252672924850736404;
inline constexpr double p6 = 0.00015403433751251008921;
inline constexpr double p5 = 0.0013333558200794592645;
inline constexpr double p4 = 0.0096181291939343133551;
inline constexpr double p3 = 0.055504108664651672007;
inline constexpr double p2 = 0.2402265069564033974;
inline constexpr double p1 = 0.69314718055994615897;
inline constexpr double p0 = 1.0000000000000134868;

} // namespace fastexp

// 2^y in each lane.
inline DoubleLanes exp2Lanes(DoubleLanes y) noexcept
{
    using namespace fastexp;
    y = minimum(maximum(y, -binaryExponentLimit), binaryExponentLimit);
    const DoubleLanes shifted = y + roundingShift;
    const DoubleLanes k = shifted - roundingShift;
    const DoubleLanes f = y - k;
    // Estrin's scheme: a shorter dependency chain than Horner's, so that
    // consecutive groups overlap in the processor.
    const DoubleLanes f2 = f * f;
    const DoubleLanes f4 = f2 * f2;
    const DoubleLanes low = (p0 + p1 * f) + f2 * (p2 + p3 * f);
    const DoubleLanes middle = (p4 + p5 * f) + f2 * (p6 + p7 * f);
    const DoubleLanes p = (low + f4 * middle) + (f4 * f4) * (p8 + p9 * f);
    // 2^k: k + 1023 into the exponent field. The low bits of shifted hold k
    // in two's complement; shifting by 52 drops everything above them.
    return p * doublesOf(shiftLeft<52>(bitsOf(shifted) + 1023));
}

// e^x in each lane.
inline DoubleLanes expLanes(DoubleLanes x) noexcept { return exp2Lanes(x * fastexp::log2e); }

inline FloatLanes expLanes(FloatLanes x) noexcept { return narrow(expLanes(widen(x))); }

// expLanes over count arguments (a multiple of four, 16-byte aligned
// arrays), each a float widened to double, the results rounded to float. A
// loop of its own for the same reason as log10Array.
inline void expArray(const double* in, float* out, std::size_t count) noexcept
{
    for (std::size_t i = 0; i < count; i += 4)
        narrow(expLanes(DoubleLanes::load(in + i))).store(out + i);
}

} // namespace tarvel
