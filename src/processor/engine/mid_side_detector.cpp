#include "processor/engine/mid_side_detector.h"

#include <emmintrin.h>

namespace tarvel {
namespace {

// Lanes 0 and 1 carry mid and side; lanes 2 and 3 stay zero.
__m128 pairOf(float mid, float side) noexcept { return _mm_setr_ps(mid, side, 0.0f, 0.0f); }

__m128 loadPair(const float* p) noexcept { return _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p)); }

void storePair(float* p, __m128 v) noexcept { _mm_storel_pi(reinterpret_cast<__m64*>(p), v); }

float lane0(__m128 v) noexcept { return _mm_cvtss_f32(v); }
float lane1(__m128 v) noexcept { return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))); }

struct SectionLanes {
    __m128 a1, a2, b0, b1, b2;
    __m128 y1, y2, x1, x2;

    SectionLanes(const BiquadSection& mid, const BiquadSection& side) noexcept
        : a1(_mm_set1_ps(mid.c.a1)), a2(_mm_set1_ps(mid.c.a2)), b0(_mm_set1_ps(mid.c.b0)),
          b1(_mm_set1_ps(mid.c.b1)), b2(_mm_set1_ps(mid.c.b2)), y1(pairOf(mid.y1, side.y1)),
          y2(pairOf(mid.y2, side.y2)), x1(pairOf(mid.x1, side.x1)), x2(pairOf(mid.x2, side.x2))
    {
    }

    // The scalar section's expression, operation for operation.
    __m128 process(__m128 x) noexcept
    {
        const __m128 y = _mm_sub_ps(
            _mm_sub_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(b0, x), _mm_mul_ps(b1, x1)), _mm_mul_ps(b2, x2)),
                       _mm_mul_ps(a1, y1)),
            _mm_mul_ps(a2, y2));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    void storeTo(BiquadSection& mid, BiquadSection& side) const noexcept
    {
        mid.y1 = lane0(y1), side.y1 = lane1(y1);
        mid.y2 = lane0(y2), side.y2 = lane1(y2);
        mid.x1 = lane0(x1), side.x1 = lane1(x1);
        mid.x2 = lane0(x2), side.x2 = lane1(x2);
    }
};

struct StageLanes {
    __m128 keep, take, state;

    StageLanes(const SmootherStage& mid, const SmootherStage& side) noexcept
        : keep(_mm_set1_ps(1.0f - mid.coefficient)), take(_mm_set1_ps(mid.coefficient)),
          state(pairOf(mid.state, side.state))
    {
    }

    __m128 step(__m128 x) noexcept
    {
        state = _mm_add_ps(_mm_mul_ps(keep, state), _mm_mul_ps(take, x));
        return state;
    }

    void storeTo(SmootherStage& mid, SmootherStage& side) const noexcept
    {
        mid.state = lane0(state);
        side.state = lane1(state);
    }
};

} // namespace

bool detectMidSidePowers(const MidSideDetectorState& s, const float* midSide, float* powers,
                         std::int32_t count) noexcept
{
    // Mid and side always share their coefficients: both channels are built
    // from the same design and retuned together.
    SectionLanes pre(s.midFilter.preFilter, s.sideFilter.preFilter);
    SectionLanes highPass(s.midFilter.highPass, s.sideFilter.highPass);
    StageLanes first(s.midChain[0], s.sideChain[0]);
    StageLanes second(s.midChain[1], s.sideChain[1]);

    __m128 check = _mm_setzero_ps();
    for (std::int32_t j = 0; j < count; ++j) {
        const __m128 y = highPass.process(pre.process(loadPair(midSide + 2 * j)));
        const __m128 power = second.step(first.step(_mm_mul_ps(y, y)));
        storePair(powers + 2 * j, power);
        // x - x is zero for every finite x and NaN otherwise; a NaN stays in
        // the sum. Off the recursion's critical path.
        const __m128 total = _mm_add_ps(power, _mm_shuffle_ps(power, power, _MM_SHUFFLE(0, 0, 0, 1)));
        check = _mm_add_ps(check, _mm_sub_ps(total, total));
    }
    if (lane0(check) != 0.0f)
        return false;

    pre.storeTo(s.midFilter.preFilter, s.sideFilter.preFilter);
    highPass.storeTo(s.midFilter.highPass, s.sideFilter.highPass);
    first.storeTo(s.midChain[0], s.sideChain[0]);
    second.storeTo(s.midChain[1], s.sideChain[1]);
    return true;
}

} // namespace tarvel
