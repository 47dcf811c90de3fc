#pragma once
// How a host's sample enters the engine, for the chunked paths and the
// per-frame reference alike: a NaN or infinite sample would stay in the
// recursive filters forever, so it enters as silence, and so does a channel
// the host did not hand over.

#include <cmath>
#include <cstdint>

namespace tarvel {

inline float finiteOrSilence(float x) noexcept { return std::isfinite(x) ? x : 0.0f; }

// The same, written as a selection so that a loop over a chunk vectorises
// (x - x is zero exactly for finite x).
inline float finiteOrSilenceInLoop(float x) noexcept { return x - x == 0.0f ? x : 0.0f; }

template <typename Sample>
inline float readSample(const Sample* const* inputs, std::int32_t channel, std::int32_t n, std::int32_t i) noexcept
{
    if (channel >= n || !inputs[channel])
        return 0.0f;
    return finiteOrSilence(static_cast<float>(inputs[channel][i]));
}

} // namespace tarvel
