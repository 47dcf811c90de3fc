// The plain per-frame form of the loudness core: every step of the detector,
// the mapping and the gain for one frame at a time, as the compressor is
// defined. The chunked forms in loudness_core.cpp are held to it by the
// tests and must give the same samples to float rounding.

#include "processor/engine/loudness_core.h"

#include <cmath>

#include "parameters/loudness_mapping.h"
#include "processor/engine/loudness_scale.h"

namespace tarvel {

void LoudnessCore::processFrame(const float* input, float* output) noexcept
{
    if (channels == 2)
        processStereoFrame(input, output);
    else
        processGeneralFrame(input, output);
}

void LoudnessCore::processStereoFrame(const float* input, float* output) noexcept
{
    const float mid = (input[0] + input[1]) * sqrtHalf;
    const float side = (input[0] - input[1]) * sqrtHalf;
    const auto [midPower, sidePower] = detectMidSide(mid, side);

    const float loudness = loudnessOf(midPower + sidePower);
    meter = loudness;
    const float mapped = mappedLoudness(loudness, mapping->target, mapping->ratioSlope);

    const auto sideRatio = static_cast<float>(
        10.0 * (std::log10(static_cast<double>(sidePower) + powerFloor) -
                std::log10(static_cast<double>(midPower) + powerFloor)));
    const float mappedRatio = mappedSideRatio(sideRatio, mapping->stereoSlope);
    const float sideGain = std::exp((mappedRatio - sideRatio) * decibelsToNaturalF);

    const float loudnessAfterSideGain = loudnessOf(sideGain * sideGain * sidePower + midPower);
    const float gain = std::exp((mapped - loudnessAfterSideGain) * decibelsToNaturalF);
    const float wetGain = gain * wet;
    const float dry = 1.0f - wet;

    const float delayedMid = delays[0].process(mid);
    const float delayedSide = delays[1].process(side);
    const float midOut = (dry + wetGain) * delayedMid;
    const float sideOut = (wetGain * sideGain + dry) * delayedSide;
    output[0] = (midOut + sideOut) * sqrtHalf;
    output[1] = (midOut - sideOut) * sqrtHalf;
}

void LoudnessCore::processGeneralFrame(const float* input, float* output) noexcept
{
    const float power = detectGeneralPower(input);
    const float loudness = loudnessOf(power);
    meter = loudness;
    const float mapped = mappedLoudness(loudness, mapping->target, mapping->ratioSlope);
    const double gain = std::exp(decibelsToNatural * static_cast<double>(mapped - loudness));
    const float factor = static_cast<float>(gain * static_cast<double>(wet)) + (1.0f - wet);
    for (std::int32_t c = 0; c < channels; ++c)
        output[c] = delays[static_cast<std::size_t>(c)].process(input[c]) * factor;
}

} // namespace tarvel
