#pragma once
// The lane types on x86-64: four floats in one SSE register, four doubles in
// two, and the bit patterns of those doubles. Every x86 intrinsic the engine
// uses is here. SSE2 is part of x86-64. Included through lanes.h only.

#include <cstdint>
#include <emmintrin.h>

namespace tarvel {

// All bits set in the lanes where a comparison holds.
struct LaneMask {
    __m128 bits;
};

struct FloatLanes {
    static constexpr std::int32_t width = 4;

    __m128 v;

    FloatLanes() noexcept : v(_mm_setzero_ps()) {}
    explicit FloatLanes(__m128 lanes) noexcept : v(lanes) {}
    // The same value in every lane.
    explicit FloatLanes(float x) noexcept : v(_mm_set1_ps(x)) {}
    FloatLanes(float first, float second, float third, float fourth) noexcept
        : v(_mm_setr_ps(first, second, third, fourth))
    {
    }

    // From and to 16-byte aligned addresses, and from and to any address.
    static FloatLanes load(const float* p) noexcept { return FloatLanes(_mm_load_ps(p)); }
    static FloatLanes loadUnaligned(const float* p) noexcept { return FloatLanes(_mm_loadu_ps(p)); }
    void store(float* p) const noexcept { _mm_store_ps(p, v); }
    void storeUnaligned(float* p) const noexcept { _mm_storeu_ps(p, v); }

    float first() const noexcept { return _mm_cvtss_f32(v); }
    float lane(std::int32_t i) const noexcept
    {
        alignas(16) float lanes[width];
        store(lanes);
        return lanes[i];
    }
};

inline FloatLanes operator+(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_add_ps(a.v, b.v)); }
inline FloatLanes operator-(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_sub_ps(a.v, b.v)); }
inline FloatLanes operator*(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_mul_ps(a.v, b.v)); }
inline FloatLanes operator/(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_div_ps(a.v, b.v)); }

inline LaneMask operator<(FloatLanes a, FloatLanes b) noexcept { return {_mm_cmplt_ps(a.v, b.v)}; }
inline LaneMask operator>(FloatLanes a, FloatLanes b) noexcept { return {_mm_cmpgt_ps(a.v, b.v)}; }
inline LaneMask operator>=(FloatLanes a, FloatLanes b) noexcept { return {_mm_cmpge_ps(a.v, b.v)}; }
// Not a < b: also where either is NaN.
inline LaneMask notLess(FloatLanes a, FloatLanes b) noexcept { return {_mm_cmpnlt_ps(a.v, b.v)}; }
inline LaneMask operator|(LaneMask a, LaneMask b) noexcept { return {_mm_or_ps(a.bits, b.bits)}; }
inline bool any(LaneMask mask) noexcept { return _mm_movemask_ps(mask.bits) != 0; }

// ifSet where mask is set, otherwise elsewhere.
inline FloatLanes select(LaneMask mask, FloatLanes ifSet, FloatLanes otherwise) noexcept
{
    return FloatLanes(_mm_or_ps(_mm_and_ps(mask.bits, ifSet.v), _mm_andnot_ps(mask.bits, otherwise.v)));
}

// a < b ? a : b and a > b ? a : b in each lane: b where either is NaN, as
// the one-value forms in parameters/value_operations.h.
inline FloatLanes minimum(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_min_ps(a.v, b.v)); }
inline FloatLanes maximum(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_max_ps(a.v, b.v)); }

// Rearrangements, named (a0 a1 a2 a3), (b0 b1 b2 b3) lane by lane.

// (p[0] p[1] 0 0) from an address aligned to 8 bytes or not at all.
inline FloatLanes loadPair(const float* p) noexcept
{
    return FloatLanes(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p)));
}
// Lanes 2 and 3 to p[0] and p[1].
inline void storeHighPair(float* p, FloatLanes x) noexcept { _mm_storeh_pi(reinterpret_cast<__m64*>(p), x.v); }
// (a0 a1 b2 b3)
inline FloatLanes lowThenHigh(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(_mm_shuffle_ps(a.v, b.v, _MM_SHUFFLE(3, 2, 1, 0)));
}
// (a2 a3 b0 b1)
inline FloatLanes highThenLow(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(_mm_shuffle_ps(a.v, b.v, _MM_SHUFFLE(1, 0, 3, 2)));
}
// (a0 a1 b0 b1)
inline FloatLanes lowOfBoth(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(_mm_movelh_ps(a.v, b.v)); }
// (a0 a2 b0 b2) and (a1 a3 b1 b3): pairs taken apart.
inline FloatLanes evenLanes(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(_mm_shuffle_ps(a.v, b.v, _MM_SHUFFLE(2, 0, 2, 0)));
}
inline FloatLanes oddLanes(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(_mm_shuffle_ps(a.v, b.v, _MM_SHUFFLE(3, 1, 3, 1)));
}
// Four rows of four become four columns.
inline void transpose(FloatLanes& a, FloatLanes& b, FloatLanes& c, FloatLanes& d) noexcept
{
    _MM_TRANSPOSE4_PS(a.v, b.v, c.v, d.v);
}

// Four doubles in two registers. Every operation is applied to both halves
// back to back, so that the two independent dependency chains of a
// computation are interleaved instruction by instruction and the processor
// can issue them side by side, which a long chain written for one register
// and then repeated for the other does not allow as well.
struct DoubleLanes {
    __m128d low, high;

    // Four consecutive doubles at a 16-byte aligned address.
    static DoubleLanes load(const double* p) noexcept { return {_mm_load_pd(p), _mm_load_pd(p + 2)}; }
    void store(double* p) const noexcept
    {
        _mm_store_pd(p, low);
        _mm_store_pd(p + 2, high);
    }
};

// Four floats widened, and narrowed back with one rounding each.
inline DoubleLanes widen(FloatLanes x) noexcept { return {_mm_cvtps_pd(x.v), _mm_cvtps_pd(_mm_movehl_ps(x.v, x.v))}; }
inline FloatLanes narrow(DoubleLanes x) noexcept
{
    return FloatLanes(_mm_movelh_ps(_mm_cvtpd_ps(x.low), _mm_cvtpd_ps(x.high)));
}

inline DoubleLanes operator+(DoubleLanes a, DoubleLanes b) noexcept
{
    return {_mm_add_pd(a.low, b.low), _mm_add_pd(a.high, b.high)};
}
inline DoubleLanes operator-(DoubleLanes a, DoubleLanes b) noexcept
{
    return {_mm_sub_pd(a.low, b.low), _mm_sub_pd(a.high, b.high)};
}
inline DoubleLanes operator*(DoubleLanes a, DoubleLanes b) noexcept
{
    return {_mm_mul_pd(a.low, b.low), _mm_mul_pd(a.high, b.high)};
}
inline DoubleLanes operator/(DoubleLanes a, DoubleLanes b) noexcept
{
    return {_mm_div_pd(a.low, b.low), _mm_div_pd(a.high, b.high)};
}
// With a constant on either side, in the order written.
inline DoubleLanes broadcast(double x) noexcept { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }
inline DoubleLanes operator+(DoubleLanes a, double b) noexcept { return a + broadcast(b); }
inline DoubleLanes operator-(DoubleLanes a, double b) noexcept { return a - broadcast(b); }
inline DoubleLanes operator*(DoubleLanes a, double b) noexcept { return a * broadcast(b); }
inline DoubleLanes operator+(double a, DoubleLanes b) noexcept { return broadcast(a) + b; }
inline DoubleLanes operator-(double a, DoubleLanes b) noexcept { return broadcast(a) - b; }
inline DoubleLanes operator*(double a, DoubleLanes b) noexcept { return broadcast(a) * b; }

inline DoubleLanes minimum(DoubleLanes a, double b) noexcept
{
    return {_mm_min_pd(a.low, _mm_set1_pd(b)), _mm_min_pd(a.high, _mm_set1_pd(b))};
}
inline DoubleLanes maximum(DoubleLanes a, double b) noexcept
{
    return {_mm_max_pd(a.low, _mm_set1_pd(b)), _mm_max_pd(a.high, _mm_set1_pd(b))};
}

// Two doubles in one register: a stereo frame in double precision.
struct DoublePair {
    __m128d v;

    DoublePair() noexcept : v(_mm_setzero_pd()) {}
    explicit DoublePair(__m128d lanes) noexcept : v(lanes) {}
    // The same value in both lanes.
    explicit DoublePair(double x) noexcept : v(_mm_set1_pd(x)) {}
    DoublePair(double first, double second) noexcept : v(_mm_setr_pd(first, second)) {}

    static DoublePair loadUnaligned(const double* p) noexcept { return DoublePair(_mm_loadu_pd(p)); }
    double lane(std::int32_t i) const noexcept
    {
        alignas(16) double lanes[2];
        _mm_store_pd(lanes, v);
        return lanes[i];
    }
};

inline DoublePair operator+(DoublePair a, DoublePair b) noexcept { return DoublePair(_mm_add_pd(a.v, b.v)); }
inline DoublePair operator-(DoublePair a, DoublePair b) noexcept { return DoublePair(_mm_sub_pd(a.v, b.v)); }
inline DoublePair operator*(DoublePair a, DoublePair b) noexcept { return DoublePair(_mm_mul_pd(a.v, b.v)); }
// x < 0 ? -x : x in each lane.
inline DoublePair magnitude(DoublePair x) noexcept
{
    const __m128d negative = _mm_cmplt_pd(x.v, _mm_setzero_pd());
    const __m128d negated = _mm_xor_pd(x.v, _mm_set1_pd(-0.0));
    return DoublePair(_mm_or_pd(_mm_and_pd(negative, negated), _mm_andnot_pd(negative, x.v)));
}
// a > b ? a : b in each lane.
inline DoublePair maximum(DoublePair a, DoublePair b) noexcept { return DoublePair(_mm_max_pd(a.v, b.v)); }
// 0 where the magnitude is below the limit, else x.
inline DoublePair zeroBelow(DoublePair x, double limit) noexcept
{
    return DoublePair(_mm_andnot_pd(_mm_cmplt_pd(magnitude(x).v, _mm_set1_pd(limit)), x.v));
}

// The bit patterns of four doubles, as 64-bit integer lanes.
struct LaneBits {
    __m128i low, high;
};

inline LaneBits bitsOf(DoubleLanes x) noexcept { return {_mm_castpd_si128(x.low), _mm_castpd_si128(x.high)}; }
inline DoubleLanes doublesOf(LaneBits x) noexcept { return {_mm_castsi128_pd(x.low), _mm_castsi128_pd(x.high)}; }
inline LaneBits operator|(LaneBits a, std::uint64_t b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_or_si128(a.low, m), _mm_or_si128(a.high, m)};
}
inline LaneBits operator&(LaneBits a, std::uint64_t b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_and_si128(a.low, m), _mm_and_si128(a.high, m)};
}
// Integer addition, modulo 2^64.
inline LaneBits operator+(LaneBits a, std::uint64_t b) noexcept
{
    const __m128i m = _mm_set1_epi64x(static_cast<long long>(b));
    return {_mm_add_epi64(a.low, m), _mm_add_epi64(a.high, m)};
}
template <int Count>
LaneBits shiftRight(LaneBits a) noexcept
{
    return {_mm_srli_epi64(a.low, Count), _mm_srli_epi64(a.high, Count)};
}
template <int Count>
LaneBits shiftLeft(LaneBits a) noexcept
{
    return {_mm_slli_epi64(a.low, Count), _mm_slli_epi64(a.high, Count)};
}

} // namespace tarvel
