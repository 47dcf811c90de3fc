#include "processor/engine/loudness_core.h"

#include <algorithm>
#include <cmath>

#include "processor/engine/fast_log.h"
#include "processor/engine/mid_side_detector.h"

namespace tarvel {
namespace {

const float sqrtHalf = static_cast<float>(std::sqrt(0.5));
const float decibelsToNaturalF = static_cast<float>(std::log(10.0) / 20.0);
const double decibelsToNatural = std::log(10.0) / 20.0;

constexpr double powerFloor = 1e-37;
constexpr double kWeightingOffset = 0.691;
// Below target - mappingRange the gain stays constant.
constexpr float mappingRange = 40.0f;

float loudnessOf(float power) noexcept
{
    return static_cast<float>(10.0 * std::log10(static_cast<double>(power) + powerFloor) - kWeightingOffset);
}

float mappedLoudness(float loudness, float target, float slope) noexcept
{
    if (target - mappingRange > loudness)
        return loudness - (slope - 1.0f) * mappingRange;
    return (loudness - target) * slope + target;
}

float mappedSideRatio(float ratio, float slope) noexcept
{
    if (-mappingRange > ratio)
        return ratio - (slope - 1.0f) * mappingRange;
    return ratio * slope;
}

} // namespace

LoudnessCore::LoudnessCore(const CoreConfig& config)
    : channels(std::max(config.channelCount, 1)), sampleRate(config.sampleRate),
      maxIntegrationTime(config.maxIntegrationTime), mapping(config.mapping),
      currentIntegrationTime(config.maxIntegrationTime)
{
    const SmootherSetting slowest =
        findSmootherCoefficient(windowPeak(sampleRate, maxIntegrationTime), searchChain);
    settings[0] = {maxIntegrationTime, slowest};
    const float fastest = std::min(fastIntegrationTime, maxIntegrationTime);
    settings[1] = fastest == maxIntegrationTime
                      ? settings[0]
                      : IntegrationSetting{fastest, findSmootherCoefficient(windowPeak(sampleRate, fastest), searchChain)};
    delay = slowest.delaySamples;

    const KWeightingFilter weighting = KWeightingFilter::forSampleRate(sampleRate);
    SmootherChain chain{};
    for (auto& stage : chain)
        stage = {0.0f, slowest.coefficient};
    filters.assign(static_cast<std::size_t>(channels), weighting);
    smoothers.assign(static_cast<std::size_t>(channels), chain);
    delays.assign(static_cast<std::size_t>(channels), DelayLine(delay));
}

void LoudnessCore::setIntegrationTime(float seconds) noexcept
{
    float t = seconds < maxIntegrationTime ? seconds : maxIntegrationTime;
    t = t > 0.0f ? t : 0.0f;
    if (t == currentIntegrationTime)
        return;
    currentIntegrationTime = t;
    for (const auto& setting : settings) {
        if (setting.seconds == t) {
            applySetting(setting.smoother);
            return;
        }
    }
}

void LoudnessCore::applySetting(const SmootherSetting& setting) noexcept
{
    delay = setting.delaySamples;
    for (auto& chain : smoothers)
        for (auto& stage : chain)
            stage.coefficient = setting.coefficient;
    for (auto& line : delays)
        line.setDelay(delay);
}

// Called twice per frame on the hot path; keep it out of a call.
[[gnu::always_inline]] inline float LoudnessCore::detectPower(std::int32_t channel, float x) noexcept
{
    const float y = filters[static_cast<std::size_t>(channel)].process(x);
    return stepChain(smoothers[static_cast<std::size_t>(channel)], y * y);
}

[[gnu::always_inline]] inline LoudnessCore::MidSidePowers LoudnessCore::detectMidSide(float mid, float side) noexcept
{
    MidSidePowers powers{detectPower(0, mid), detectPower(1, side)};
    if (!std::isfinite(powers.mid + powers.side)) {
        recoverIfNotFinite(powers.mid + powers.side);
        powers.mid = powers.side = 0.0f;
    }
    return powers;
}

void LoudnessCore::recoverIfNotFinite(float totalPower) noexcept
{
    if (std::isfinite(totalPower))
        return;
    for (auto& filter : filters)
        filter.clearState();
    for (auto& chain : smoothers)
        for (auto& stage : chain)
            stage.state = 0.0f;
}

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
    float power = 0.0f;
    for (std::int32_t c = 0; c < channels; ++c)
        power += detectPower(c, input[c]);
    if (!std::isfinite(power)) {
        recoverIfNotFinite(power);
        power = 0.0f;
    }

    const float loudness = loudnessOf(power);
    meter = loudness;
    const float mapped = mappedLoudness(loudness, mapping->target, mapping->ratioSlope);
    const double gain = std::exp(decibelsToNatural * static_cast<double>(mapped - loudness));
    const float factor = static_cast<float>(gain * static_cast<double>(wet)) + (1.0f - wet);
    for (std::int32_t c = 0; c < channels; ++c)
        output[c] = delays[static_cast<std::size_t>(c)].process(input[c]) * factor;
}

void LoudnessCore::detectStereo(StereoChunk& chunk, std::int32_t begin, std::int32_t end) noexcept
{
    begin = std::clamp(begin, 0, StereoChunk::capacity);
    end = std::clamp(end, begin, StereoChunk::capacity);
    const auto first = static_cast<std::size_t>(begin);
    const std::int32_t count = end - begin;
    for (auto j = first; j < static_cast<std::size_t>(end); ++j) {
        const float mid = (chunk.left[j] + chunk.right[j]) * sqrtHalf;
        const float side = (chunk.left[j] - chunk.right[j]) * sqrtHalf;
        chunk.mid[j] = mid;
        chunk.side[j] = side;
        chunk.midSide[2 * j] = mid;
        chunk.midSide[2 * j + 1] = side;
    }
    const MidSideDetectorState state{filters[0], filters[1], smoothers[0], smoothers[1]};
    if (!detectMidSidePowers(state, chunk.midSide.data() + 2 * first, chunk.powers.data() + 2 * first, count)) {
        // Overflow somewhere in the run: redo it frame by frame, where the
        // detector restarts at the frame that overflowed.
        for (auto j = first; j < static_cast<std::size_t>(end); ++j) {
            const auto [midPower, sidePower] = detectMidSide(chunk.mid[j], chunk.side[j]);
            chunk.powers[2 * j] = midPower;
            chunk.powers[2 * j + 1] = sidePower;
        }
    }
    delays[0].processRun(chunk.mid.data() + first, chunk.delayedMid.data() + first, count);
    delays[1].processRun(chunk.side.data() + first, chunk.delayedSide.data() + first, count);
}

void LoudnessCore::renderStereo(StereoChunk& chunk, const ParameterChunk& parameters, std::int32_t count) noexcept
{
    std::array<float, StereoChunk::capacity> loudness, sideRatio, sideGain, loudnessAfter;
    alignas(16) std::array<float, StereoChunk::capacity> midPowers, sidePowers;
    const auto n = static_cast<std::size_t>(std::clamp(count, 0, StereoChunk::capacity));
    if (n == 0)
        return;
    for (std::size_t i = 0; i < n; ++i) {
        midPowers[i] = chunk.powers[2 * i];
        sidePowers[i] = chunk.powers[2 * i + 1];
    }

    // The logarithms dominate the cost; these loops carry no state from one
    // frame to the next, so they vectorise.
    for (std::size_t i = 0; i < n; ++i) {
        const float midPower = midPowers[i];
        const float sidePower = sidePowers[i];
        loudness[i] = static_cast<float>(
            10.0 * log10Positive(static_cast<double>(midPower + sidePower) + powerFloor) - kWeightingOffset);
        sideRatio[i] = static_cast<float>(10.0 * (log10Positive(static_cast<double>(sidePower) + powerFloor) -
                                                  log10Positive(static_cast<double>(midPower) + powerFloor)));
    }
    for (std::size_t i = 0; i < n; ++i) {
        const float mapped = mappedSideRatio(sideRatio[i], parameters.stereoSlope[i]);
        sideGain[i] = std::exp((mapped - sideRatio[i]) * decibelsToNaturalF);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const float g = sideGain[i];
        loudnessAfter[i] = static_cast<float>(
            10.0 * log10Positive(static_cast<double>(g * g * sidePowers[i] + midPowers[i]) + powerFloor) -
            kWeightingOffset);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const float mapped = mappedLoudness(loudness[i], parameters.target[i], parameters.ratioSlope[i]);
        const float gain = std::exp((mapped - loudnessAfter[i]) * decibelsToNaturalF);
        const float wetGain = gain * parameters.wet[i];
        const float dry = 1.0f - parameters.wet[i];
        const float midOut = (dry + wetGain) * chunk.delayedMid[i];
        const float sideOut = (wetGain * sideGain[i] + dry) * chunk.delayedSide[i];
        chunk.left[i] = (midOut + sideOut) * sqrtHalf;
        chunk.right[i] = (midOut - sideOut) * sqrtHalf;
    }
    meter = loudness[n - 1];
}

} // namespace tarvel
