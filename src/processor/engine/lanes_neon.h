#pragma once
// The lane types on AArch64: four floats in one NEON register, four doubles
// in two, and the bit patterns of those doubles. Every Arm intrinsic the
// engine uses is here. NEON with double precision is part of AArch64.
// Included through lanes.h only.
//
// Each operation computes what the SSE2 form computes, bit for bit, which is
// not always what the nearest NEON instruction does: NEON's own minimum and
// maximum return NaN for a NaN operand and order -0 below +0, so they are
// written as a comparison and a selection; and a multiply followed by an add
// stays two roundings because the build turns contraction off.

#include <arm_neon.h>
#include <cstdint>

namespace tarvel {

// All bits set in the lanes where a comparison holds.
struct LaneMask {
    uint32x4_t bits;
};

struct FloatLanes {
    static constexpr std::int32_t width = 4;

    float32x4_t v;

    FloatLanes() noexcept : v(vdupq_n_f32(0.0f)) {}
    explicit FloatLanes(float32x4_t lanes) noexcept : v(lanes) {}
    // The same value in every lane.
    explicit FloatLanes(float x) noexcept : v(vdupq_n_f32(x)) {}
    FloatLanes(float first, float second, float third, float fourth) noexcept
        : v(vcombine_f32(pair(first, second), pair(third, fourth)))
    {
    }

    // NEON loads and stores take any address; both forms are kept so that
    // the engine's code reads the same on every implementation.
    static FloatLanes load(const float* p) noexcept { return FloatLanes(vld1q_f32(p)); }
    static FloatLanes loadUnaligned(const float* p) noexcept { return FloatLanes(vld1q_f32(p)); }
    void store(float* p) const noexcept { vst1q_f32(p, v); }
    void storeUnaligned(float* p) const noexcept { vst1q_f32(p, v); }

    float first() const noexcept { return vgetq_lane_f32(v, 0); }
    float lane(std::int32_t i) const noexcept
    {
        float lanes[width];
        store(lanes);
        return lanes[i];
    }

private:
    static float32x2_t pair(float low, float high) noexcept { return vset_lane_f32(high, vdup_n_f32(low), 1); }
};

inline FloatLanes operator+(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vaddq_f32(a.v, b.v)); }
inline FloatLanes operator-(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vsubq_f32(a.v, b.v)); }
inline FloatLanes operator*(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vmulq_f32(a.v, b.v)); }
inline FloatLanes operator/(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vdivq_f32(a.v, b.v)); }

inline LaneMask operator<(FloatLanes a, FloatLanes b) noexcept { return {vcltq_f32(a.v, b.v)}; }
inline LaneMask operator>(FloatLanes a, FloatLanes b) noexcept { return {vcgtq_f32(a.v, b.v)}; }
inline LaneMask operator>=(FloatLanes a, FloatLanes b) noexcept { return {vcgeq_f32(a.v, b.v)}; }
// Not a < b: also where either is NaN.
inline LaneMask notLess(FloatLanes a, FloatLanes b) noexcept { return {vmvnq_u32(vcltq_f32(a.v, b.v))}; }
inline LaneMask operator|(LaneMask a, LaneMask b) noexcept { return {vorrq_u32(a.bits, b.bits)}; }
inline bool any(LaneMask mask) noexcept { return vmaxvq_u32(mask.bits) != 0; }

// ifSet where mask is set, otherwise elsewhere.
inline FloatLanes select(LaneMask mask, FloatLanes ifSet, FloatLanes otherwise) noexcept
{
    return FloatLanes(vbslq_f32(mask.bits, ifSet.v, otherwise.v));
}

// a < b ? a : b and a > b ? a : b in each lane: b where either is NaN, as
// the one-value forms in parameters/value_operations.h.
inline FloatLanes minimum(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(vbslq_f32(vcltq_f32(a.v, b.v), a.v, b.v));
}
inline FloatLanes maximum(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(vbslq_f32(vcgtq_f32(a.v, b.v), a.v, b.v));
}

// Rearrangements, named (a0 a1 a2 a3), (b0 b1 b2 b3) lane by lane.

// (p[0] p[1] 0 0) from an address aligned to 8 bytes or not at all.
inline FloatLanes loadPair(const float* p) noexcept { return FloatLanes(vcombine_f32(vld1_f32(p), vdup_n_f32(0.0f))); }
// Lanes 2 and 3 to p[0] and p[1].
inline void storeHighPair(float* p, FloatLanes x) noexcept { vst1_f32(p, vget_high_f32(x.v)); }
// (a0 a1 b2 b3)
inline FloatLanes lowThenHigh(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(vcombine_f32(vget_low_f32(a.v), vget_high_f32(b.v)));
}
// (a2 a3 b0 b1)
inline FloatLanes highThenLow(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(vcombine_f32(vget_high_f32(a.v), vget_low_f32(b.v)));
}
// (a0 a1 b0 b1)
inline FloatLanes lowOfBoth(FloatLanes a, FloatLanes b) noexcept
{
    return FloatLanes(vcombine_f32(vget_low_f32(a.v), vget_low_f32(b.v)));
}
// (a0 a2 b0 b2) and (a1 a3 b1 b3): pairs taken apart.
inline FloatLanes evenLanes(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vuzp1q_f32(a.v, b.v)); }
inline FloatLanes oddLanes(FloatLanes a, FloatLanes b) noexcept { return FloatLanes(vuzp2q_f32(a.v, b.v)); }
// Four rows of four become four columns: neighbouring rows' lanes
// interleaved pairwise, then the halves of those recombined.
inline void transpose(FloatLanes& a, FloatLanes& b, FloatLanes& c, FloatLanes& d) noexcept
{
    const float32x4_t ab0 = vtrn1q_f32(a.v, b.v); // a0 b0 a2 b2
    const float32x4_t ab1 = vtrn2q_f32(a.v, b.v); // a1 b1 a3 b3
    const float32x4_t cd0 = vtrn1q_f32(c.v, d.v); // c0 d0 c2 d2
    const float32x4_t cd1 = vtrn2q_f32(c.v, d.v); // c1 d1 c3 d3
    a.v = vcombine_f32(vget_low_f32(ab0), vget_low_f32(cd0));
    b.v = vcombine_f32(vget_low_f32(ab1), vget_low_f32(cd1));
    c.v = vcombine_f32(vget_high_f32(ab0), vget_high_f32(cd0));
    d.v = vcombine_f32(vget_high_f32(ab1), vget_high_f32(cd1));
}

// Four doubles in two registers, every operation applied to both halves
// back to back, for the same reason as in the SSE2 form: the two
// independent dependency chains interleave and issue side by side.
struct DoubleLanes {
    float64x2_t low, high;

    // Four consecutive doubles.
    static DoubleLanes load(const double* p) noexcept { return {vld1q_f64(p), vld1q_f64(p + 2)}; }
    void store(double* p) const noexcept
    {
        vst1q_f64(p, low);
        vst1q_f64(p + 2, high);
    }
};

// Four floats widened, and narrowed back with one rounding each.
inline DoubleLanes widen(FloatLanes x) noexcept { return {vcvt_f64_f32(vget_low_f32(x.v)), vcvt_high_f64_f32(x.v)}; }
inline FloatLanes narrow(DoubleLanes x) noexcept { return FloatLanes(vcvt_high_f32_f64(vcvt_f32_f64(x.low), x.high)); }

inline DoubleLanes operator+(DoubleLanes a, DoubleLanes b) noexcept
{
    return {vaddq_f64(a.low, b.low), vaddq_f64(a.high, b.high)};
}
inline DoubleLanes operator-(DoubleLanes a, DoubleLanes b) noexcept
{
    return {vsubq_f64(a.low, b.low), vsubq_f64(a.high, b.high)};
}
inline DoubleLanes operator*(DoubleLanes a, DoubleLanes b) noexcept
{
    return {vmulq_f64(a.low, b.low), vmulq_f64(a.high, b.high)};
}
inline DoubleLanes operator/(DoubleLanes a, DoubleLanes b) noexcept
{
    return {vdivq_f64(a.low, b.low), vdivq_f64(a.high, b.high)};
}
// With a constant on either side, in the order written.
inline DoubleLanes broadcast(double x) noexcept { return {vdupq_n_f64(x), vdupq_n_f64(x)}; }
inline DoubleLanes operator+(DoubleLanes a, double b) noexcept { return a + broadcast(b); }
inline DoubleLanes operator-(DoubleLanes a, double b) noexcept { return a - broadcast(b); }
inline DoubleLanes operator*(DoubleLanes a, double b) noexcept { return a * broadcast(b); }
inline DoubleLanes operator+(double a, DoubleLanes b) noexcept { return broadcast(a) + b; }
inline DoubleLanes operator-(double a, DoubleLanes b) noexcept { return broadcast(a) - b; }
inline DoubleLanes operator*(double a, DoubleLanes b) noexcept { return broadcast(a) * b; }

// a < b ? a : b and a > b ? a : b: b where either is NaN, as SSE2's.
inline DoubleLanes minimum(DoubleLanes a, double b) noexcept
{
    const float64x2_t m = vdupq_n_f64(b);
    return {vbslq_f64(vcltq_f64(a.low, m), a.low, m), vbslq_f64(vcltq_f64(a.high, m), a.high, m)};
}
inline DoubleLanes maximum(DoubleLanes a, double b) noexcept
{
    const float64x2_t m = vdupq_n_f64(b);
    return {vbslq_f64(vcgtq_f64(a.low, m), a.low, m), vbslq_f64(vcgtq_f64(a.high, m), a.high, m)};
}

// Two doubles in one register: a stereo frame in double precision.
struct DoublePair {
    float64x2_t v;

    DoublePair() noexcept : v(vdupq_n_f64(0.0)) {}
    explicit DoublePair(float64x2_t lanes) noexcept : v(lanes) {}
    // The same value in both lanes.
    explicit DoublePair(double x) noexcept : v(vdupq_n_f64(x)) {}
    DoublePair(double first, double second) noexcept : v(vcombine_f64(vdup_n_f64(first), vdup_n_f64(second))) {}

    static DoublePair loadUnaligned(const double* p) noexcept { return DoublePair(vld1q_f64(p)); }
    double lane(std::int32_t i) const noexcept
    {
        double lanes[2];
        vst1q_f64(lanes, v);
        return lanes[i];
    }
};

inline DoublePair operator+(DoublePair a, DoublePair b) noexcept { return DoublePair(vaddq_f64(a.v, b.v)); }
inline DoublePair operator-(DoublePair a, DoublePair b) noexcept { return DoublePair(vsubq_f64(a.v, b.v)); }
inline DoublePair operator*(DoublePair a, DoublePair b) noexcept { return DoublePair(vmulq_f64(a.v, b.v)); }
// x < 0 ? -x : x in each lane (not NEON's absolute value, which also turns
// -0 into +0).
inline DoublePair magnitude(DoublePair x) noexcept
{
    return DoublePair(vbslq_f64(vcltq_f64(x.v, vdupq_n_f64(0.0)), vnegq_f64(x.v), x.v));
}
// a > b ? a : b in each lane.
inline DoublePair maximum(DoublePair a, DoublePair b) noexcept
{
    return DoublePair(vbslq_f64(vcgtq_f64(a.v, b.v), a.v, b.v));
}
// 0 where the magnitude is below the limit, else x.
inline DoublePair zeroBelow(DoublePair x, double limit) noexcept
{
    const uint64x2_t below = vcltq_f64(magnitude(x).v, vdupq_n_f64(limit));
    return DoublePair(vreinterpretq_f64_u64(vbicq_u64(vreinterpretq_u64_f64(x.v), below)));
}

// The bit patterns of four doubles, as 64-bit integer lanes.
struct LaneBits {
    uint64x2_t low, high;
};

inline LaneBits bitsOf(DoubleLanes x) noexcept { return {vreinterpretq_u64_f64(x.low), vreinterpretq_u64_f64(x.high)}; }
inline DoubleLanes doublesOf(LaneBits x) noexcept
{
    return {vreinterpretq_f64_u64(x.low), vreinterpretq_f64_u64(x.high)};
}
inline LaneBits operator|(LaneBits a, std::uint64_t b) noexcept
{
    const uint64x2_t m = vdupq_n_u64(b);
    return {vorrq_u64(a.low, m), vorrq_u64(a.high, m)};
}
inline LaneBits operator&(LaneBits a, std::uint64_t b) noexcept
{
    const uint64x2_t m = vdupq_n_u64(b);
    return {vandq_u64(a.low, m), vandq_u64(a.high, m)};
}
// Integer addition, modulo 2^64.
inline LaneBits operator+(LaneBits a, std::uint64_t b) noexcept
{
    const uint64x2_t m = vdupq_n_u64(b);
    return {vaddq_u64(a.low, m), vaddq_u64(a.high, m)};
}
template <int Count>
LaneBits shiftRight(LaneBits a) noexcept
{
    return {vshrq_n_u64(a.low, Count), vshrq_n_u64(a.high, Count)};
}
template <int Count>
LaneBits shiftLeft(LaneBits a) noexcept
{
    return {vshlq_n_u64(a.low, Count), vshlq_n_u64(a.high, Count)};
}

} // namespace tarvel
