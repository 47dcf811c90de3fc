#include "processor/engine/mid_side_detector.h"

#include <tuple>

#include "processor/engine/lanes.h"

namespace tarvel {
namespace {

// The two K-weighting sections and the two smoother stages each form a
// recursion of their own, and the second of each pair consumes what the
// first produced earlier. So one 4-lane register carries the first section
// for frame n in lanes 0 and 1 (mid, side) and the second section for frame
// n - 2 in lanes 2 and 3; the smoother register holds stage one at frame
// n - 2 and stage two at frame n - 3. Each step then costs one pass of the
// section's arithmetic for both sections of both channels, operation for
// operation the scalar expression in each lane.
//
// The second section lags by two frames, not one, because its input is the
// first term of the section's sum: fed from the previous step, that path
// (shuffle, multiply, four additions) would be the loop's critical latency.
// From two steps back it spreads over two steps and the feedback term a1 y1
// is the limit, as it is for the scalar filter.

static_assert(std::tuple_size_v<SmootherChain> == 2 && FloatLanes::width == 2 * 2,
              "one register holds two stages (or sections) of two channels");

struct SectionState {
    float x1, x2, y1, y2;
};

struct Sections {
    FloatLanes a1, a2, b0, b1, b2;
    FloatLanes x1, x2, y1, y2;

    // Both sections at the same frame boundary: the second's lanes are one
    // frame ahead of where the staggered loop expects them, which the first
    // step accounts for.
    Sections(const KWeightingFilter& mid, const KWeightingFilter& side) noexcept
    {
        const BiquadCoefficients& p = mid.preFilter.c;
        const BiquadCoefficients& h = mid.highPass.c;
        a1 = FloatLanes(p.a1, p.a1, h.a1, h.a1);
        a2 = FloatLanes(p.a2, p.a2, h.a2, h.a2);
        b0 = FloatLanes(p.b0, p.b0, h.b0, h.b0);
        b1 = FloatLanes(p.b1, p.b1, h.b1, h.b1);
        b2 = FloatLanes(p.b2, p.b2, h.b2, h.b2);
        const BiquadSection& mp = mid.preFilter;
        const BiquadSection& sp = side.preFilter;
        const BiquadSection& mh = mid.highPass;
        const BiquadSection& sh = side.highPass;
        x1 = FloatLanes(mp.x1, sp.x1, mh.x1, sh.x1);
        x2 = FloatLanes(mp.x2, sp.x2, mh.x2, sh.x2);
        y1 = FloatLanes(mp.y1, sp.y1, mh.y1, sh.y1);
        y2 = FloatLanes(mp.y2, sp.y2, mh.y2, sh.y2);
    }

    // input: the frame's (mid, side) in lanes 0 and 1. Returns the pre-filter
    // output of this frame in lanes 0 and 1 and the high-pass output of the
    // frame two before in lanes 2 and 3.
    [[gnu::always_inline]] FloatLanes step(FloatLanes input) noexcept
    {
        // The high-pass lanes take the pre-filter's output of two steps ago.
        const FloatLanes x = lowOfBoth(input, y2);
        const FloatLanes y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    // The state of the section and channel in one lane.
    SectionState stateOf(std::int32_t lane) const noexcept
    {
        return {x1.lane(lane), x2.lane(lane), y1.lane(lane), y2.lane(lane)};
    }
};

struct Stages {
    FloatLanes keep, take, state;

    Stages(const SmootherChain& mid, const SmootherChain& side) noexcept
        : keep(1.0f - mid[0].coefficient), take(mid[0].coefficient),
          state(FloatLanes(mid[0].state, side[0].state, mid[1].state, side[1].state))
    {
    }

    // weighted: the K-weighted outputs in lanes 2 and 3, as Sections::step
    // gives them. Stage two takes stage one's previous state.
    [[gnu::always_inline]] FloatLanes step(FloatLanes weighted) noexcept
    {
        const FloatLanes input = highThenLow(weighted * weighted, state);
        state = keep * state + take * input;
        return state;
    }
};

void store(BiquadSection& to, const SectionState& from) noexcept
{
    to.x1 = from.x1;
    to.x2 = from.x2;
    to.y1 = from.y1;
    to.y2 = from.y2;
}

} // namespace

bool detectMidSidePowers(const MidSideDetectorState& s, const float* midSide, float* powers,
                         std::int32_t count) noexcept
{
    if (count < 3)
        return false;
    // Mid and side share their coefficients: both channels are built from
    // the same design and retuned together.
    Sections sections(s.midFilter, s.sideFilter);
    Stages stages(s.midChain, s.sideChain);
    // A power this large could make the mid + side sum overflow; such runs
    // go back to the per-frame path, which restarts the detector exactly
    // where the sum stops being finite. NaN fails the comparison as well.
    const FloatLanes powerLimit(1e38f);
    LaneMask suspect{};

    // Steps 0 and 1: the pre-filter on frames 0 and 1 alone; the high-pass
    // lanes keep their state, so that step 2 runs them on frame 0.
    for (std::int32_t n = 0; n < 2; ++n) {
        const Sections before = sections;
        sections.step(loadPair(midSide + 2 * n));
        sections.x1 = lowThenHigh(sections.x1, before.x1);
        sections.x2 = lowThenHigh(sections.x2, before.x2);
        sections.y1 = lowThenHigh(sections.y1, before.y1);
        sections.y2 = lowThenHigh(sections.y2, before.y2);
    }
    // Step 2: stage one starts on frame 0; stage two keeps its state.
    {
        const FloatLanes stageTwo = stages.state;
        stages.step(sections.step(loadPair(midSide + 4)));
        stages.state = lowThenHigh(stages.state, stageTwo);
        suspect = suspect | notLess(stages.state, powerLimit);
    }
    // Steps 3 to count - 1: everything in flight; stage two finishes frame
    // n - 3.
    for (std::int32_t n = 3; n < count; ++n) {
        const FloatLanes power = stages.step(sections.step(loadPair(midSide + 2 * n)));
        storeHighPair(powers + 2 * (n - 3), power);
        suspect = suspect | notLess(power, powerLimit);
    }
    // Steps count and count + 1: the high-pass finishes the last two frames.
    // The pre-filter lanes are done, so their state is taken before.
    const SectionState preMid = sections.stateOf(0);
    const SectionState preSide = sections.stateOf(1);
    FloatLanes weighted;
    for (std::int32_t n = count; n < count + 2; ++n) {
        weighted = sections.step(FloatLanes());
        const FloatLanes power = stages.step(weighted);
        storeHighPair(powers + 2 * (n - 3), power);
        suspect = suspect | notLess(power, powerLimit);
    }
    // Step count + 2: stage two finishes the last frame; stage one is done.
    const FloatLanes stageOne = stages.state;
    const FloatLanes power = stages.step(weighted);
    storeHighPair(powers + 2 * (count - 1), power);
    suspect = suspect | notLess(power, powerLimit);

    if (any(suspect))
        return false;

    store(s.midFilter.preFilter, preMid);
    store(s.sideFilter.preFilter, preSide);
    store(s.midFilter.highPass, sections.stateOf(2));
    store(s.sideFilter.highPass, sections.stateOf(3));
    s.midChain[0].state = stageOne.lane(0);
    s.sideChain[0].state = stageOne.lane(1);
    s.midChain[1].state = stages.state.lane(2);
    s.sideChain[1].state = stages.state.lane(3);
    return true;
}

} // namespace tarvel
