#pragma once
// The BS.1770 K-weighting (a high shelf, then the RLB high-pass) for any
// sample rate, in double precision, from the filters' analog parameters.

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
