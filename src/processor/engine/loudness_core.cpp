#include "processor/engine/loudness_core.h"

#include <algorithm>
#include <cmath>
#include <emmintrin.h>

#include "processor/engine/fast_exp.h"
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

// Lanes of ifSet where mask is set, of otherwise elsewhere.
__m128 select(__m128 mask, __m128 ifSet, __m128 otherwise) noexcept
{
    return _mm_or_ps(_mm_and_ps(mask, ifSet), _mm_andnot_ps(mask, otherwise));
}

} // namespace

LoudnessCore::LoudnessCore(const CoreConfig& config)
    : channels(std::max(config.channelCount, 1)), sampleRate(config.sampleRate), mapping(config.mapping),
      currentIntegrationTime(slowIntegrationTime)
{
    settings[0] = {slowIntegrationTime, detectorSetting(sampleRate, slowIntegrationTime, searchChain)};
    settings[1] = {fastIntegrationTime, detectorSetting(sampleRate, fastIntegrationTime, searchChain)};
    const std::int32_t longestDelay = std::max(settings[0].smoother.delaySamples, settings[1].smoother.delaySamples);

    const KWeightingFilter weighting = KWeightingFilter::forSampleRate(sampleRate);
    filters.assign(static_cast<std::size_t>(channels), weighting);
    smoothers.assign(static_cast<std::size_t>(channels), SmootherChain{});
    delays.assign(static_cast<std::size_t>(channels), DelayLine(longestDelay));
    applySetting(settings[0].smoother);
    setIntegrationTime(config.integrationTime);
}

void LoudnessCore::setIntegrationTime(float seconds) noexcept
{
    const float longest = settings[0].seconds;
    float t = seconds < longest ? seconds : longest;
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

inline float LoudnessCore::detectGeneralPower(const float* input) noexcept
{
    float power = 0.0f;
    for (std::int32_t c = 0; c < channels; ++c)
        power += detectPower(c, input[c]);
    if (!std::isfinite(power)) {
        recoverIfNotFinite(power);
        power = 0.0f;
    }
    return power;
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

float LoudnessCore::detectGeneral(const float* input, float* delayed) noexcept
{
    const float power = detectGeneralPower(input);
    for (std::int32_t c = 0; c < channels; ++c)
        delayed[c] = delays[static_cast<std::size_t>(c)].process(input[c]);
    return power;
}

void LoudnessCore::gainFactors(const float* powers, const ParameterChunk& parameters, std::int32_t count,
                               float* factors) noexcept
{
    constexpr std::size_t capacity = ParameterChunk::capacity;
    const std::int32_t n = std::clamp(count, 0, ParameterChunk::capacity);
    if (n == 0)
        return;
    const auto groups = static_cast<std::size_t>((n + 3) & ~3);
    alignas(16) std::array<float, capacity> power{}, loudness;
    alignas(16) std::array<double, capacity> logIn, logOut, expIn;
    std::copy_n(powers, n, power.begin());
    for (std::size_t i = 0; i < groups; i += 4)
        storeQuad(logIn.data() + i, widen(_mm_load_ps(power.data() + i)) + powerFloor);
    log10Array(logIn.data(), logOut.data(), groups);
    const __m128 range = _mm_set1_ps(mappingRange);
    const __m128 one = _mm_set1_ps(1.0f);
    for (std::size_t i = 0; i < groups; i += 4) {
        const __m128 l = narrow(10.0 * loadQuad(logOut.data() + i) - kWeightingOffset);
        _mm_store_ps(loudness.data() + i, l);
        // mappedLoudness, both branches then a selection; the gain's
        // argument in double, as in processGeneralFrame.
        const __m128 t = _mm_loadu_ps(parameters.target.data() + i);
        const __m128 r = _mm_loadu_ps(parameters.ratioSlope.data() + i);
        const __m128 mapped = select(_mm_cmpgt_ps(t - range, l), l - (r - one) * range, (l - t) * r + t);
        storeQuad(expIn.data() + i, decibelsToNatural * widen(mapped - l));
    }
    // Reusing logIn for the gains, still in double.
    for (std::size_t i = 0; i < groups; i += 4)
        storeQuad(logIn.data() + i, expLanes(loadQuad(expIn.data() + i)));
    for (std::size_t i = 0; i < groups; i += 4) {
        const __m128 wetAmount = _mm_loadu_ps(parameters.wet.data() + i);
        const __m128 factor = narrow(loadQuad(logIn.data() + i) * widen(wetAmount)) + (one - wetAmount);
        _mm_store_ps(power.data() + i, factor);
    }
    std::copy_n(power.begin(), n, factors);
    meter = loudness[static_cast<std::size_t>(n - 1)];
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
        // A short run, or one that came near overflowing: frame by frame,
        // where the detector restarts at the frame whose power overflows.
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
    constexpr std::size_t capacity = StereoChunk::capacity;
    const std::int32_t n = std::clamp(count, 0, StereoChunk::capacity);
    if (n == 0)
        return;
    // Whole groups of four; a chunk's arrays hold whole groups, and lanes
    // past count compute from stale values and are never read.
    const auto groups = static_cast<std::size_t>((n + 3) & ~3);

    const __m128 range = _mm_set1_ps(mappingRange);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 toNatural = _mm_set1_ps(decibelsToNaturalF);
    const __m128 half = _mm_set1_ps(sqrtHalf);
    alignas(16) std::array<float, capacity> midPowers, sidePowers, loudness, sideGain, loudnessAfter, gain;
    // Logarithm and exponential arguments and logarithm results, in double.
    alignas(16) std::array<double, 2 * capacity> logIn, logOut;
    alignas(16) std::array<double, capacity> expIn;
    const auto load = [](const std::array<float, capacity>& a, std::size_t i) { return _mm_load_ps(a.data() + i); };
    const auto store = [](std::array<float, capacity>& a, std::size_t i, __m128 v) { _mm_store_ps(a.data() + i, v); };
    const auto loadParameter = [](const std::array<float, capacity>& a, std::size_t i) {
        return _mm_loadu_ps(a.data() + i);
    };

    // At a stereo slope of exactly 1 (a 1:1 stereo ratio, the default) the
    // mapped side-to-mid ratio equals the ratio, the side gain is exp(0) = 1
    // and the loudness after it is the loudness itself, bit for bit; the two
    // logarithms and the exponential that would show this are skipped.
    bool unitStereoSlope = true;
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
        unitStereoSlope &= parameters.stereoSlope[i] == 1.0f;

    // The logarithms and exponentials run in loops of their own (see
    // log10Array); the loops between them are short arithmetic on floats.
    // The side-to-mid ratio takes one logarithm of the quotient in place of
    // the difference of two: the same value to double rounding, which the
    // narrowing to float then hides.
    for (std::size_t i = 0; i < groups; i += 4) {
        const __m128 pairs01 = _mm_load_ps(chunk.powers.data() + 2 * i);
        const __m128 pairs23 = _mm_load_ps(chunk.powers.data() + 2 * i + 4);
        const __m128 midPower = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 sidePower = _mm_shuffle_ps(pairs01, pairs23, _MM_SHUFFLE(3, 1, 3, 1));
        store(midPowers, i, midPower);
        store(sidePowers, i, sidePower);
        storeQuad(logIn.data() + i, widen(midPower + sidePower) + powerFloor);
        storeQuad(logIn.data() + capacity + i, (widen(sidePower) + powerFloor) / (widen(midPower) + powerFloor));
    }
    log10Array(logIn.data(), logOut.data(), groups);
    for (std::size_t i = 0; i < groups; i += 4)
        store(loudness, i, narrow(10.0 * loadQuad(logOut.data() + i) - kWeightingOffset));

    const std::array<float, capacity>* after = &loudness;
    if (unitStereoSlope) {
        sideGain.fill(1.0f);
    } else {
        log10Array(logIn.data() + capacity, logOut.data() + capacity, groups);
        for (std::size_t i = 0; i < groups; i += 4) {
            // mappedSideRatio: both branches, then a selection.
            const __m128 u = narrow(10.0 * loadQuad(logOut.data() + capacity + i));
            const __m128 w = loadParameter(parameters.stereoSlope, i);
            const __m128 mapped = select(_mm_cmpgt_ps(-range, u), u - (w - one) * range, u * w);
            storeQuad(expIn.data() + i, widen((mapped - u) * toNatural));
        }
        expArray(expIn.data(), sideGain.data(), groups);
        for (std::size_t i = 0; i < groups; i += 4) {
            const __m128 g = load(sideGain, i);
            storeQuad(logIn.data() + i, widen(g * g * load(sidePowers, i) + load(midPowers, i)) + powerFloor);
        }
        log10Array(logIn.data(), logOut.data(), groups);
        for (std::size_t i = 0; i < groups; i += 4)
            store(loudnessAfter, i, narrow(10.0 * loadQuad(logOut.data() + i) - kWeightingOffset));
        after = &loudnessAfter;
    }

    for (std::size_t i = 0; i < groups; i += 4) {
        // mappedLoudness, likewise.
        const __m128 l = load(loudness, i);
        const __m128 t = loadParameter(parameters.target, i);
        const __m128 r = loadParameter(parameters.ratioSlope, i);
        const __m128 mapped = select(_mm_cmpgt_ps(t - range, l), l - (r - one) * range, (l - t) * r + t);
        storeQuad(expIn.data() + i, widen((mapped - load(*after, i)) * toNatural));
    }
    expArray(expIn.data(), gain.data(), groups);

    for (std::size_t i = 0; i < groups; i += 4) {
        const __m128 wetAmount = loadParameter(parameters.wet, i);
        const __m128 wetGain = load(gain, i) * wetAmount;
        const __m128 dry = one - wetAmount;
        const __m128 midOut = (dry + wetGain) * _mm_load_ps(chunk.delayedMid.data() + i);
        const __m128 sideOut = (wetGain * load(sideGain, i) + dry) * _mm_load_ps(chunk.delayedSide.data() + i);
        _mm_store_ps(chunk.left.data() + i, (midOut + sideOut) * half);
        _mm_store_ps(chunk.right.data() + i, (midOut - sideOut) * half);
    }
    meter = loudness[static_cast<std::size_t>(n - 1)];
}

} // namespace tarvel
