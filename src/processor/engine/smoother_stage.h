#pragma once
// One-pole smoothing stages; the detector chains two of them per channel.

#include <array>

namespace tarvel {

struct SmootherStage {
    float state = 0.0f;
    float coefficient = 1.0f;

    // s[n] = (1 - c) s[n-1] + c x[n]
    float step(float x) noexcept
    {
        state = (1.0f - coefficient) * state + coefficient * x;
        return state;
    }
};

using SmootherChain = std::array<SmootherStage, 2>;

// p[n] = s2[n] with s1 fed x[n] and s2 fed s1[n]: a second-order lowpass of
// the squared, K-weighted signal.
inline float stepChain(SmootherChain& chain, float x) noexcept { return chain[1].step(chain[0].step(x)); }

} // namespace tarvel
