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

// The detector's setting for an integration time at a sample rate: what the
// engine searches for each Speed, and all a latency needs without an engine.
inline SmootherSetting detectorSetting(std::int32_t sampleRate, float integrationTime, SmootherChain& work)
{
    return findSmootherCoefficient(windowPeak(sampleRate, integrationTime), work);
}

} // namespace tarvel
