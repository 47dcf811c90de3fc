#pragma once
// The parameters in the units users read them in (a ratio of 1 to 4, a
// target of -40 to 0 LUFS, 0 or 1 for the switches), for hosts that keep
// plain values rather than normalised ones. The VST 3 parameters themselves
// stay normalised; these are the same formulas the display text uses.

#include <cstdint>

namespace tarvel {

struct PlainRange {
    double minimum;
    double maximum;
};

PlainRange plainRange(std::int32_t id) noexcept;

// The plain value of a normalised value, through the engine's formulas.
double plainFromNormalised(std::int32_t id, double normalised) noexcept;

// The normalised value of a plain value, which is clamped to the range
// first (NaN becomes the minimum). Pure arithmetic: safe on the audio thread.
double normalisedFromPlain(std::int32_t id, double plain) noexcept;

} // namespace tarvel
