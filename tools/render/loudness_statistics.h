#pragma once
// What a loudness meter reports, derived from the K-weighted mean energy of
// consecutive 100 ms steps: BS.1770 integrated loudness (400 ms blocks every
// 100 ms, gated at -70 LUFS and 10 LU below the ungated level), EBU Tech 3342
// loudness range (3 s blocks every second, gated at -70 LUFS and 20 LU
// below, 10th to 95th percentile) and EBU short-term loudness (the last 3 s,
// counting silence before the start).

#include <cstdint>
#include <vector>

namespace tarvel::render {

struct LoudnessReport {
    double integrated = 0.0;   // LUFS; -inf when no block passes the gates
    double range = 0.0;        // LU
    double maxShortTerm = 0.0; // LUFS; -inf for silence
    double samplePeak = 0.0;   // dBFS, the highest of the channels; -inf for silence
};

// The meter's step; the short-term readings come one per step.
inline constexpr double meterStepSeconds = 0.1;

// energies: the channel-weighted mean square of each full step.
double integratedLoudness(const std::vector<double>& energies);
double loudnessRange(const std::vector<double>& energies);
// How the short-term window is filled during the first 3 s.
enum class WindowStart {
    silenceBefore, // as EBU meters read it, and as the maximum counts it
    audioSoFar,    // the mean of the audio there is: no climb from silence in a picture
};

// The short-term loudness at the end of each step, LUFS (-inf for silence).
std::vector<double> shortTermLevels(const std::vector<double>& energies, WindowStart start);

double loudnessOfEnergy(double energy);

} // namespace tarvel::render
