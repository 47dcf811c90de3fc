#pragma once
// Normalised parameter values to the smoothed engine quantities: the
// per-parameter conversion cache and the four one-pole smoothers.

#include <array>
#include <cstdint>

#include "parameters/parameters.h"
#include "processor/engine/mapping_values.h"
#include "processor/engine/parameter_chunk.h"
#include "processor/engine/smoother_stage.h"
#include "processor/intake/parameter_intake.h"

namespace tarvel {

class ParameterSmoothing {
public:
    ParameterSmoothing(std::int32_t sampleRate, const Parameters& start) noexcept;

    // One sample: advances every ramp, converts the values that changed and
    // steps the smoothers.
    void advance(ParameterIntake& intake) noexcept;

    // count samples (at most ParameterChunk::capacity) at once, with the
    // same results as count calls of advance(). Parameters that do not move
    // and whose smoother has settled cost nothing per sample.
    void advanceChunk(ParameterIntake& intake, std::int32_t count, ParameterChunk& out) noexcept;

    MappingValues mapping() const noexcept { return {target.state, ratio.state, stereo.state}; }
    float wet() const noexcept { return 1.0f - bypass.state; }
    float integrationTime() const noexcept { return quantity[Speed]; }

private:
    // Converts id's current value if it differs from the cached one.
    void refresh(std::int32_t id, float v) noexcept;
    // The same with the four-lane conversions the chunked path uses.
    void refreshInLanes(std::int32_t id, float v) noexcept;
    // Per-sample quantities of parameter id for count samples.
    void rampQuantities(ParameterRamp& ramp, std::int32_t id, std::int32_t count, float* out) noexcept;

    std::array<float, ParameterCount> lastNormalised;
    std::array<float, ParameterCount> quantity{};
    SmootherStage bypass, ratio, stereo, target;
};

} // namespace tarvel
