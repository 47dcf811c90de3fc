#pragma once
// The stereo detector's recursive part for a run of frames: mid and side
// through their K-weighting filters and smoother chains side by side in SIMD
// lanes, so that the recursion's cost is paid once for both channels.

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
// filter and chain steps bit for bit. Returns false, with the state left as
// it was, for runs shorter than three frames and for runs in which a power
// comes near overflowing; the caller then runs them frame by frame with the
// per-frame recovery.
bool detectMidSidePowers(const MidSideDetectorState& state, const float* midSide, float* powers,
                         std::int32_t count) noexcept;

} // namespace tarvel
