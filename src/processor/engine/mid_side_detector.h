#pragma once
// The stereo detector's recursive part for a run of frames: mid and side
// through their K-weighting filters and smoother chains side by side, one
// channel per SIMD lane, so the recursion's latency is paid once for both.

#include <cstdint>

#include "processor/engine/k_weighting_filter.h"
#include "processor/engine/smoother_stage.h"

namespace tarvel {

struct MidSideDetectorState {
    KWeightingFilter& midFilter;
    KWeightingFilter& sideFilter;
    SmootherChain& midChain;
    SmootherChain& sideChain;
};

// midSide holds count interleaved (mid, side) pairs; powers receives the
// interleaved (mid power, side power) pairs. The results equal the scalar
// filter and chain steps bit for bit. If any frame's summed power is not
// finite the state is left as it was and false is returned, so that the
// caller can redo the run with per-frame recovery.
bool detectMidSidePowers(const MidSideDetectorState& state, const float* midSide, float* powers,
                         std::int32_t count) noexcept;

} // namespace tarvel
