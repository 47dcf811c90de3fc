#include "parameters/readout.h"

#include <cmath>
#include <cstdio>

#include "foundation/scrambled_text.h"
#include "parameters/engine_conversion.h"
#include "parameters/loudness_mapping.h"
#include "parameters/mapping_curve.h"

namespace tarvel {

Readout readoutFor(double inputLoudness, double sideToMidRatio, const Parameters& values, bool stereo)
{
    Readout readout;
    readout.stereo = stereo;
    if (!std::isfinite(inputLoudness))
        return readout;
    readout.input = inputLoudness;
    if (bypassState(values[Bypass]) > 0.5f || !readout.hasSignal()) {
        readout.output = inputLoudness;
        return readout;
    }
    readout.output = mappedLevel(inputLoudness, values[Target], values[Ratio]);
    readout.gain = readout.output - inputLoudness;
    if (stereo && std::isfinite(sideToMidRatio)) {
        const double slope = double(mappingSlope(values[StereoRatio]));
        readout.sideGain = mappedSideRatio(sideToMidRatio, slope) - sideToMidRatio;
    }
    return readout;
}

namespace {

// "+1.5", "-0.3", and "0.0" rather than a signed zero.
std::string signedDecibels(double value)
{
    char text[16];
    const double rounded = std::round(value * 10.0) / 10.0;
    std::snprintf(text, sizeof text, rounded == 0.0 ? "%.1f" : "%+.1f", rounded == 0.0 ? 0.0 : rounded);
    return text;
}

std::string level(double value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", std::round(value * 10.0) / 10.0);
    return text;
}

std::string line(const std::string& label, const std::string& value, const std::string& unit)
{
    char text[40];
    std::snprintf(text, sizeof text, "%-4s %5s %s", label.c_str(), value.c_str(), unit.c_str());
    return text;
}

} // namespace

std::array<std::string, 4> readoutLines(const Readout& readout, float stereoRatioNormalised)
{
    const bool signal = readout.hasSignal();
    const std::string dash = "-";
    const std::string lufs = VANTLE_TEXT("LUFS");
    const std::string db = VANTLE_TEXT("dB");
    std::array<std::string, 4> lines{
        line(VANTLE_TEXT("IN"), signal ? level(readout.input) : dash, lufs),
        line(VANTLE_TEXT("OUT"), signal ? level(readout.output) : dash, lufs),
        line(VANTLE_TEXT("GAIN"), signal ? signedDecibels(readout.gain) : dash, db),
        {},
    };
    if (readout.stereo && stereoRatioNormalised > 0.0f)
        lines[3] = line(VANTLE_TEXT("SIDE"), signal ? signedDecibels(readout.sideGain) : dash, db);
    return lines;
}

} // namespace tarvel
