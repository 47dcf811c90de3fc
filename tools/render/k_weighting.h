#pragma once
// The BS.1770 K-weighting (a high shelf, then the RLB high-pass) for any
// sample rate, in double precision, from the filters' analog parameters.
// Kept apart from the engine's (src/processor/engine/k_weighting_filter.h) on
// purpose: the report measures the plug-in's output, so its meter must not
// share the plug-in's arithmetic (single precision, coefficients re-derived
// from the 48 kHz ones), or a fault in one would hide in the other.

namespace tarvel::render {

struct KWeighting {
    // The shelf: y = b0 x + b1 x' + b2 x'' - a1 y' - a2 y''.
    double shelfB0, shelfB1, shelfB2, shelfA1, shelfA2;
    // The high-pass: numerator 1, -2, 1.
    double highPassA1, highPassA2;
};

// Throws std::invalid_argument for rates too low to hold the shelf (the
// shelf's corner must lie below half the rate).
KWeighting kWeightingFor(double sampleRate);

} // namespace tarvel::render
