#pragma once
// One-pole smoothing stages; the detector chains two of them per channel.

#include <array>

namespace tarvel {

struct SmootherStage {
    float state = 0.0f;
    float coefficient = 1.0f;

    float step(float x) noexcept
    {
        state = (1.0f - coefficient) * state + coefficient * x;
        return state;
    }
};

using SmootherChain = std::array<SmootherStage, 2>;

inline float stepChain(SmootherChain& chain, float x) noexcept { return chain[1].step(chain[0].step(x)); }

} // namespace tarvel
