#include "processor/engine/loudness_core.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "parameters/loudness_mapping.h"
#include "processor/engine/fast_exp.h"
#include "processor/engine/fast_log.h"
#include "processor/engine/lanes.h"
#include "processor/engine/loudness_scale.h"
#include "processor/engine/mid_side_detector.h"

namespace tarvel {
namespace {

// The frames of a gain pass (count clamped to a chunk) and the whole lanes
// that hold them; lanes past the frames compute from stale values and are
// never read.
struct LaneSpan {
    std::int32_t frames;
    std::size_t paddedCount;
};

LaneSpan laneSpan(std::int32_t count) noexcept
{
    assert(count >= 0 && count <= ParameterChunk::capacity && "a gain pass covers at most one chunk");
    const std::int32_t frames = std::clamp(count, 0, ParameterChunk::capacity);
    return {frames, static_cast<std::size_t>(wholeLanes(frames))};
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

float LoudnessCore::detectGeneral(const float* input, float* delayed) noexcept
{
    const float power = detectGeneralPower(input);
    for (std::int32_t c = 0; c < channels; ++c)
        delayed[c] = delays[static_cast<std::size_t>(c)].process(input[c]);
    return power;
}

void LoudnessCore::detectMono(MonoChunk& chunk, std::int32_t begin, std::int32_t end) noexcept
{
    assert(channels == 1);
    assert(0 <= begin && begin <= end && end <= MonoChunk::capacity && "a run lies inside its chunk");
    begin = std::clamp(begin, 0, MonoChunk::capacity);
    end = std::clamp(end, begin, MonoChunk::capacity);
    const auto first = static_cast<std::size_t>(begin);
    const auto last = static_cast<std::size_t>(end);
    const std::int32_t count = end - begin;
    for (auto j = first; j < last; ++j) {
        chunk.pairs[2 * j] = chunk.input[j];
        chunk.pairs[2 * j + 1] = 0.0f;
    }
    // The partner's state starts at zero and, fed zeros, stays there: its
    // lanes add nothing and can never overflow.
    KWeightingFilter silentFilter = filters[0];
    silentFilter.clearState();
    SmootherChain silentChain = smoothers[0];
    for (auto& stage : silentChain)
        stage.state = 0.0f;
    const MidSideDetectorState state{filters[0], silentFilter, smoothers[0], silentChain};
    if (detectMidSidePowers(state, chunk.pairs.data() + 2 * first, chunk.pairPowers.data() + 2 * first, count)) {
        for (auto j = first; j < last; ++j)
            chunk.powers[j] = chunk.pairPowers[2 * j];
    } else {
        // A short run, or one that came near overflowing: frame by frame,
        // with the per-frame recovery.
        for (auto j = first; j < last; ++j)
            chunk.powers[j] = detectGeneralPower(&chunk.input[j]);
    }
    delays[0].processRun(chunk.input.data() + first, chunk.delayed.data() + first, count);
}

void LoudnessCore::gainFactors(const float* powers, const ParameterChunk& parameters, std::int32_t count,
                               float* factors) noexcept
{
    constexpr std::size_t capacity = ParameterChunk::capacity;
    constexpr std::size_t width = FloatLanes::width;
    const auto [n, paddedCount] = laneSpan(count);
    if (n == 0)
        return;
    alignas(16) std::array<float, capacity> power{}, loudness;
    alignas(16) std::array<double, capacity> logIn, logOut, expIn;
    std::copy_n(powers, n, power.begin());
    for (std::size_t i = 0; i < paddedCount; i += width)
        (widen(FloatLanes::load(power.data() + i)) + powerFloor).store(logIn.data() + i);
    log10Array(logIn.data(), logOut.data(), paddedCount);
    for (std::size_t i = 0; i < paddedCount; i += width) {
        const FloatLanes frameLoudness = narrow(loudnessFromLog10(DoubleLanes::load(logOut.data() + i)));
        frameLoudness.store(loudness.data() + i);
        const FloatLanes target = FloatLanes::loadUnaligned(parameters.target.data() + i);
        const FloatLanes ratioSlope = FloatLanes::loadUnaligned(parameters.ratioSlope.data() + i);
        const FloatLanes mapped = mappedLoudness(frameLoudness, target, ratioSlope);
        // The gain's argument in double, as in processGeneralFrame.
        (decibelsToNatural * widen(mapped - frameLoudness)).store(expIn.data() + i);
    }
    // Reusing logIn for the gains, still in double.
    for (std::size_t i = 0; i < paddedCount; i += width)
        expLanes(DoubleLanes::load(expIn.data() + i)).store(logIn.data() + i);
    // factor = w 10^((L' - L) / 20) + (1 - w), w the wet amount
    for (std::size_t i = 0; i < paddedCount; i += width) {
        const FloatLanes wetAmount = FloatLanes::loadUnaligned(parameters.wet.data() + i);
        const FloatLanes factor =
            narrow(DoubleLanes::load(logIn.data() + i) * widen(wetAmount)) + (FloatLanes(1.0f) - wetAmount);
        factor.store(power.data() + i);
    }
    std::copy_n(power.begin(), n, factors);
    meter = loudness[static_cast<std::size_t>(n - 1)];
}

void LoudnessCore::detectStereo(StereoChunk& chunk, std::int32_t begin, std::int32_t end) noexcept
{
    assert(channels == 2);
    assert(0 <= begin && begin <= end && end <= StereoChunk::capacity && "a run lies inside its chunk");
    begin = std::clamp(begin, 0, StereoChunk::capacity);
    end = std::clamp(end, begin, StereoChunk::capacity);
    const auto first = static_cast<std::size_t>(begin);
    const std::int32_t count = end - begin;
    // m = (l + r) / sqrt 2, s = (l - r) / sqrt 2
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
    constexpr std::size_t width = FloatLanes::width;
    const auto [n, paddedCount] = laneSpan(count);
    if (n == 0)
        return;

    alignas(16) std::array<float, capacity> midPowers, sidePowers, loudness, sideGains, loudnessAfter, gains;
    // Logarithm and exponential arguments and logarithm results, in double.
    alignas(16) std::array<double, 2 * capacity> logIn, logOut;
    alignas(16) std::array<double, capacity> expIn;
    const auto lanesOf = [](const std::array<float, capacity>& a, std::size_t i) { return FloatLanes::load(a.data() + i); };
    const auto parameterLanes = [](const std::array<float, capacity>& a, std::size_t i) {
        return FloatLanes::loadUnaligned(a.data() + i);
    };
    const FloatLanes toNatural(decibelsToNaturalF);

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
    for (std::size_t i = 0; i < paddedCount; i += width) {
        const FloatLanes pairs = FloatLanes::load(chunk.powers.data() + 2 * i);
        const FloatLanes nextPairs = FloatLanes::load(chunk.powers.data() + 2 * i + width);
        const FloatLanes midPower = evenLanes(pairs, nextPairs);
        const FloatLanes sidePower = oddLanes(pairs, nextPairs);
        midPower.store(midPowers.data() + i);
        sidePower.store(sidePowers.data() + i);
        (widen(midPower + sidePower) + powerFloor).store(logIn.data() + i);
        ((widen(sidePower) + powerFloor) / (widen(midPower) + powerFloor)).store(logIn.data() + capacity + i);
    }
    log10Array(logIn.data(), logOut.data(), paddedCount);
    for (std::size_t i = 0; i < paddedCount; i += width)
        narrow(loudnessFromLog10(DoubleLanes::load(logOut.data() + i))).store(loudness.data() + i);

    const std::array<float, capacity>* after = &loudness;
    if (unitStereoSlope) {
        sideGains.fill(1.0f);
    } else {
        // g_s = 10^((r' - r) / 20), r = 10 log10(P_side / P_mid) the side-to-mid ratio
        log10Array(logIn.data() + capacity, logOut.data() + capacity, paddedCount);
        FloatLanes lastRatios;
        for (std::size_t i = 0; i < paddedCount; i += width) {
            const FloatLanes sideRatio = narrow(10.0 * DoubleLanes::load(logOut.data() + capacity + i));
            const FloatLanes mappedRatio = mappedSideRatio(sideRatio, parameterLanes(parameters.stereoSlope, i));
            widen((mappedRatio - sideRatio) * toNatural).store(expIn.data() + i);
            lastRatios = sideRatio;
        }
        // The chunk's last frame is in the last group of lanes.
        alignas(16) std::array<float, width> lastGroup{};
        lastRatios.store(lastGroup.data());
        sideToMidRatio = lastGroup[(static_cast<std::size_t>(n) - 1) % width];
        expArray(expIn.data(), sideGains.data(), paddedCount);
        for (std::size_t i = 0; i < paddedCount; i += width) {
            const FloatLanes sideGain = lanesOf(sideGains, i);
            (widen(sideGain * sideGain * lanesOf(sidePowers, i) + lanesOf(midPowers, i)) + powerFloor)
                .store(logIn.data() + i);
        }
        log10Array(logIn.data(), logOut.data(), paddedCount);
        for (std::size_t i = 0; i < paddedCount; i += width)
            narrow(loudnessFromLog10(DoubleLanes::load(logOut.data() + i))).store(loudnessAfter.data() + i);
        after = &loudnessAfter;
    }

    // g = 10^((L' - L_after) / 20), L_after the loudness of P_mid + g_s^2 P_side
    for (std::size_t i = 0; i < paddedCount; i += width) {
        const FloatLanes mapped = mappedLoudness(lanesOf(loudness, i), parameterLanes(parameters.target, i),
                                                 parameterLanes(parameters.ratioSlope, i));
        widen((mapped - lanesOf(*after, i)) * toNatural).store(expIn.data() + i);
    }
    expArray(expIn.data(), gains.data(), paddedCount);

    // m_out = (1 - w + w g) m_delayed, s_out = (w g g_s + 1 - w) s_delayed,
    // l = (m_out + s_out) / sqrt 2, r = (m_out - s_out) / sqrt 2
    const FloatLanes one(1.0f);
    const FloatLanes half(sqrtHalf);
    for (std::size_t i = 0; i < paddedCount; i += width) {
        const FloatLanes wetAmount = parameterLanes(parameters.wet, i);
        const FloatLanes wetGain = lanesOf(gains, i) * wetAmount;
        const FloatLanes dry = one - wetAmount;
        const FloatLanes midOut = (dry + wetGain) * FloatLanes::load(chunk.delayedMid.data() + i);
        const FloatLanes sideOut = (wetGain * lanesOf(sideGains, i) + dry) * FloatLanes::load(chunk.delayedSide.data() + i);
        ((midOut + sideOut) * half).store(chunk.left.data() + i);
        ((midOut - sideOut) * half).store(chunk.right.data() + i);
    }
    meter = loudness[static_cast<std::size_t>(n - 1)];
}

} // namespace tarvel
