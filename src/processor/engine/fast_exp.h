#pragma once
// Natural exponential of four floats, evaluated in double precision in two
// SSE2 lanes and rounded once to float, so that the result is the correctly
// rounded float in practically every case, as a good library expf gives.

#include <emmintrin.h>

namespace tarvel {

namespace fastexp {

inline constexpr double log2e = 1.4426950408889634074;
// 1.5 x 2^52: adding it rounds a double of magnitude below 2^51 to an
// integer, which then sits in the low bits of the sum's bit pattern.
inline constexpr double roundingShift = 6755399441055744.0;
// Beyond +-200 every float result is 0 or infinity already; the clamp keeps
// the binary exponent inside the double range.
inline constexpr double argumentLimit = 200.0;

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

inline __m128d expDoubleLanes(__m128d x) noexcept
{
    using namespace fastexp;
    x = _mm_min_pd(_mm_max_pd(x, _mm_set1_pd(-argumentLimit)), _mm_set1_pd(argumentLimit));
    const __m128d y = x * log2e;
    const __m128d shifted = y + roundingShift;
    const __m128d k = shifted - roundingShift;
    const __m128d f = y - k;
    const __m128d p = ((((((((p9 * f + p8) * f + p7) * f + p6) * f + p5) * f + p4) * f + p3) * f + p2) * f + p1) * f + p0;
    // 2^k: k + 1023 into the exponent field. The low bits of shifted hold k
    // in two's complement; shifting by 52 drops everything above them.
    const __m128i biased = _mm_add_epi64(_mm_castpd_si128(shifted), _mm_set1_epi64x(1023));
    return p * _mm_castsi128_pd(_mm_slli_epi64(biased, 52));
}

inline __m128 expLanes(__m128 x) noexcept
{
    const __m128d low = expDoubleLanes(_mm_cvtps_pd(x));
    const __m128d high = expDoubleLanes(_mm_cvtps_pd(_mm_movehl_ps(x, x)));
    return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high));
}

} // namespace tarvel
