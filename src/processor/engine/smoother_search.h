#pragma once
// Finds the smoothing coefficient whose two-stage impulse response peaks at
// the height of a unit-area rectangular window, and that response's median
// delay.

#include <cstdint>

#include "processor/engine/smoother_stage.h"

namespace tarvel {

struct SmootherSetting {
    float coefficient;
    std::int32_t delaySamples;
};

// The peak height a window of integrationTime seconds has at sampleRate:
// 1 / (fs T), capped at 1.
float windowPeak(std::int32_t sampleRate, float integrationTime);

// Bisection over the coefficient; chain is the work area (its coefficients
// and states are overwritten).
SmootherSetting findSmootherCoefficient(float peak, SmootherChain& chain);

} // namespace tarvel
