#pragma once
// Four doubles in two SSE2 registers. Every operation is applied to both
// halves back to back, so that the two independent dependency chains of a
// computation are interleaved instruction by instruction and the processor
// can issue them side by side, which a long chain written for one register
// and then repeated for the other does not allow as well.

#include <emmintrin.h>

namespace tarvel {

struct DoubleQuad {
    __m128d low, high;
};

// Four consecutive doubles at a 16-byte aligned address.
inline DoubleQuad loadQuad(const double* p) noexcept { return {_mm_load_pd(p), _mm_load_pd(p + 2)}; }
inline void storeQuad(double* p, DoubleQuad x) noexcept
{
    _mm_store_pd(p, x.low);
    _mm_store_pd(p + 2, x.high);
}

inline DoubleQuad broadcast(double x) noexcept { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }

// Four floats widened, and narrowed back with one rounding each.
inline DoubleQuad widen(__m128 x) noexcept { return {_mm_cvtps_pd(x), _mm_cvtps_pd(_mm_movehl_ps(x, x))}; }
inline __m128 narrow(DoubleQuad x) noexcept { return _mm_movelh_ps(_mm_cvtpd_ps(x.low), _mm_cvtpd_ps(x.high)); }

inline DoubleQuad operator+(DoubleQuad a, DoubleQuad b) noexcept { return {a.low + b.low, a.high + b.high}; }
inline DoubleQuad operator-(DoubleQuad a, DoubleQuad b) noexcept { return {a.low - b.low, a.high - b.high}; }
inline DoubleQuad operator*(DoubleQuad a, DoubleQuad b) noexcept { return {a.low * b.low, a.high * b.high}; }
inline DoubleQuad operator/(DoubleQuad a, DoubleQuad b) noexcept { return {a.low / b.low, a.high / b.high}; }
inline DoubleQuad operator+(DoubleQuad a, double b) noexcept { return {a.low + b, a.high + b}; }
inline DoubleQuad operator-(DoubleQuad a, double b) noexcept { return {a.low - b, a.high - b}; }
inline DoubleQuad operator*(DoubleQuad a, double b) noexcept { return {a.low * b, a.high * b}; }
inline DoubleQuad operator+(double a, DoubleQuad b) noexcept { return {a + b.low, a + b.high}; }
inline DoubleQuad operator-(double a, DoubleQuad b) noexcept { return {a - b.low, a - b.high}; }
inline DoubleQuad operator*(double a, DoubleQuad b) noexcept { return {a * b.low, a * b.high}; }

inline DoubleQuad min(DoubleQuad a, double b) noexcept
{
    return {_mm_min_pd(a.low, _mm_set1_pd(b)), _mm_min_pd(a.high, _mm_set1_pd(b))};
}
inline DoubleQuad max(DoubleQuad a, double b) noexcept
{
    return {_mm_max_pd(a.low, _mm_set1_pd(b)), _mm_max_pd(a.high, _mm_set1_pd(b))};
}
// The bit patterns, as 64-bit integer lanes.
struct BitsQuad {
    __m128i low, high;
};

inline BitsQuad bitsOf(DoubleQuad x) noexcept { return {_mm_castpd_si128(x.low), _mm_castpd_si128(x.high)}; }
inline DoubleQuad doublesOf(BitsQuad x) noexcept { return {_mm_castsi128_pd(x.low), _mm_castsi128_pd(x.high)}; }
inline BitsQuad operator|(BitsQuad a, unsigned long long b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_or_si128(a.low, m), _mm_or_si128(a.high, m)};
}
inline BitsQuad operator&(BitsQuad a, unsigned long long b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_and_si128(a.low, m), _mm_and_si128(a.high, m)};
}
// Integer addition, modulo 2^64.
inline BitsQuad operator+(BitsQuad a, unsigned long long b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_add_epi64(a.low, m), _mm_add_epi64(a.high, m)};
}
template <int Count>
BitsQuad shiftRight(BitsQuad a) noexcept
{
    return {_mm_srli_epi64(a.low, Count), _mm_srli_epi64(a.high, Count)};
}
template <int Count>
BitsQuad shiftLeft(BitsQuad a) noexcept
{
    return {_mm_slli_epi64(a.low, Count), _mm_slli_epi64(a.high, Count)};
}

} // namespace tarvel
