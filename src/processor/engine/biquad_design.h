#pragma once
// Re-derives the BS.1770 K-weighting sections for any sample rate from their
// published 48 kHz coefficients.

#include <cstdint>

#include "processor/engine/biquad.h"

namespace tarvel {

// The BS.1770 pre-filter (high shelf) and RLB high-pass at 48 kHz.
inline constexpr BiquadCoefficients kPreFilterAt48k{-1.69065929318241f, 0.73248077421585f, 1.53512485958697f,
                                                    -2.69169618940638f, 1.19839281085285f};
inline constexpr BiquadCoefficients kHighPassAt48k{-1.99004745483398f, 0.99007225036621f, 1.0f, -2.0f, 1.0f};

// Undoes the bilinear transform at 48 kHz to get the analog prototype, then
// applies the bilinear transform at sampleRate (no pre-warping).
BiquadCoefficients designBiquadAt(const BiquadCoefficients& at48k, std::int32_t sampleRate);

} // namespace tarvel
