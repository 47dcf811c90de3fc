#pragma once
// The engine quantities of parameters/engine_conversion.h for four
// normalised values at once, for the runs of samples in which a parameter
// moves. Identical to the scalar conversions, except that the power of four
// is the correctly rounded float (from double-precision lanes) where the
// library's powf may round the other way in rare cases.

#include <cstdint>
#include <xmmintrin.h>

#include "parameters/engine_conversion.h"
#include "parameters/parameters.h"
#include "processor/engine/fast_exp.h"

namespace tarvel {

// min(x, 1) then max(..., 0): the SSE minimum returns its second operand
// when either is NaN, so NaN becomes 1 as in clampNormalised.
inline __m128 clampNormalisedLanes(__m128 x) noexcept
{
    return _mm_max_ps(_mm_min_ps(x, _mm_set1_ps(1.0f)), _mm_setzero_ps());
}

// floor(c + 0.5) for c in [0, 1] is 1 exactly when c >= 0.5.
inline __m128 bypassStateLanes(__m128 v) noexcept
{
    return _mm_and_ps(_mm_cmpge_ps(clampNormalisedLanes(v), _mm_set1_ps(0.5f)), _mm_set1_ps(1.0f));
}

inline __m128 integrationTimeLanes(__m128 v) noexcept
{
    const __m128 fast = _mm_cmplt_ps(clampNormalisedLanes(v), _mm_set1_ps(0.5f));
    return _mm_or_ps(_mm_and_ps(fast, _mm_set1_ps(fastIntegrationTime)),
                     _mm_andnot_ps(fast, _mm_set1_ps(slowIntegrationTime)));
}

// 1 / 4^c, with 4^c = 2^(2c) and 2c exact.
inline __m128 mappingSlopeLanes(__m128 v) noexcept
{
    const __m128 c = clampNormalisedLanes(v);
    return _mm_div_ps(_mm_set1_ps(1.0f), narrow(exp2Lanes(widen(c) * 2.0)));
}

inline __m128 targetLevelLanes(__m128 v) noexcept
{
    return _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1.0f), clampNormalisedLanes(v)), _mm_set1_ps(-40.0f));
}

inline __m128 engineQuantityLanes(std::int32_t id, __m128 v) noexcept
{
    switch (id) {
    case Bypass: return bypassStateLanes(v);
    case Speed: return integrationTimeLanes(v);
    case Ratio:
    case StereoRatio: return mappingSlopeLanes(v);
    default: return targetLevelLanes(v);
    }
}

} // namespace tarvel
