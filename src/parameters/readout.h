#pragma once
// What the editor's readout shows of the compressor at work: the
// detector's input loudness, the loudness the mapping makes of it, the gain
// that takes one to the other (positive when the plug-in lifts), and for
// stereo the side's extra gain from the side-to-mid compression. Worked
// out by the processor from its detector and parameters, shown by the
// editor and tarvel-snapshot.

#include <array>
#include <string>

#include "parameters/parameters.h"

namespace tarvel {

struct Readout {
    double input = -1000.0; // LUFS
    double output = -1000.0; // LUFS
    double gain = 0.0;       // dB
    double sideGain = 0.0;   // dB, on top of gain
    bool stereo = false;

    // Below BS.1770's absolute gate there is nothing to read yet.
    bool hasSignal() const { return input > -70.0; }
};

// From the detector's input loudness and side-to-mid ratio (dB) with the
// parameters in force; bypassed, the output is the input.
Readout readoutFor(double inputLoudness, double sideToMidRatio, const Parameters& values, bool stereo);

// The readout's lines: input, output, gain and, when the side is
// compressed too (stereo, Stereo Ratio above 1:1), the side's gain; a dash
// for each value without signal. Empty lines stay empty.
std::array<std::string, 4> readoutLines(const Readout& readout, float stereoRatioNormalised);

} // namespace tarvel
