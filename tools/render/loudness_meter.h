#pragma once
// A BS.1770 / EBU R128 loudness meter for a whole stream, fast enough to run
// beside a render without slowing it: both channels of a frame go through
// the K-weighting in one pair of SIMD lanes (the engine's lane types, which
// build on every platform; the filters are the tool's own), and the meter
// keeps only the K-weighted energy of every 100 ms step; integrated loudness
// (with its gates), loudness range and the short-term readings are derived
// from those steps when asked for.

#include <cstdint>
#include <vector>

#include "processor/engine/lanes.h"
#include "tools/render/k_weighting.h"
#include "tools/render/loudness_statistics.h"

namespace tarvel::render {

class LoudnessMeter {
public:
    // Throws std::invalid_argument for a channel count other than 1 or 2
    // and for rates the K-weighting cannot be built for.
    LoudnessMeter(double sampleRate, std::int32_t channels);

    void add(const double* interleaved, std::int64_t frames);

    LoudnessReport report() const;
    // The short-term loudness at the end of every step so far (one step is
    // meterStepSeconds), for pictures: over the audio there is while the
    // first 3 s fill the window.
    std::vector<double> shortTermHistory() const;

private:
    template <int channels>
    void filter(const double* interleaved, std::int64_t frames);
    void endStep();

    KWeighting k;
    std::int32_t channelCount;
    double channelWeight;
    std::int64_t framesPerStep;
    std::int64_t framesInStep = 0;
    std::vector<double> stepEnergies;

    // Filter memories, one lane per channel: the shelf's inputs and outputs
    // (the high-pass's inputs) and the high-pass's outputs.
    DoublePair x1, x2, y1, y2, z1, z2;
    DoublePair energy;
    DoublePair peak;
};

} // namespace tarvel::render
