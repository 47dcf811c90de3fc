#pragma once
// The detector and gain stage: K-weighted, smoothed power per channel, the
// loudness mapping around the target, and the delayed audio the gain applies
// to. Two channels are processed as mid/side with a side-to-mid ratio
// compression; any other count gets one common gain.

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "parameters/engine_conversion.h"
#include "processor/engine/delay_line.h"
#include "processor/engine/k_weighting_filter.h"
#include "processor/engine/lanes.h"
#include "processor/engine/mapping_values.h"
#include "processor/engine/parameter_chunk.h"
#include "processor/engine/smoother_search.h"
#include "processor/engine/smoother_stage.h"

namespace tarvel {

struct CoreConfig {
    std::int32_t channelCount;
    std::int32_t sampleRate;
    // The time the detector starts with: the fast or the slow one.
    float integrationTime;
    const MappingValues* mapping;
};

// One chunk of stereo frames on its way through the two passes: the serial
// detector pass fills everything up to the delayed mid/side, the gain pass,
// which has no recursion and so runs as plain loops over arrays, turns them
// into output.
struct StereoChunk {
    static constexpr std::int32_t capacity = ParameterChunk::capacity;
    // The gain pass reads and writes whole lanes: a chunk's arrays hold
    // whole groups of lanes, and lanes past the frame count compute from
    // stale values that are never read.
    static_assert(capacity % FloatLanes::width == 0);
    // The input frames; the gain pass overwrites them with the output.
    alignas(16) std::array<float, capacity> left, right;
    alignas(16) std::array<float, capacity> mid, side;
    // Interleaved (mid, side) pairs and (mid power, side power) pairs, the
    // layout of the detector's SIMD lanes.
    alignas(16) std::array<float, 2 * capacity> midSide, powers;
    alignas(16) std::array<float, capacity> delayedMid, delayedSide;
};

// One chunk of a single channel. The detector runs it in the stereo
// detector's lanes beside a silent partner: the recursion costs what stereo's
// does, where frame by frame it would cost more for one channel than the
// lanes cost for two.
struct MonoChunk {
    static constexpr std::int32_t capacity = ParameterChunk::capacity;
    alignas(16) std::array<float, capacity> input, powers, delayed, factors;
    // (sample, 0) and (power, 0) pairs, the layout of the detector's lanes.
    alignas(16) std::array<float, 2 * capacity> pairs, pairPowers;
};

class LoudnessCore {
public:
    explicit LoudnessCore(const CoreConfig& config);

    std::int32_t channelCount() const noexcept { return channels; }
    std::int32_t delaySamples() const noexcept { return delay; }
    float integrationTime() const noexcept { return currentIntegrationTime; }
    float smootherCoefficient() const noexcept { return smoothers.front()[0].coefficient; }

    // Switches the detector between the fast and the slow integration time,
    // with the delay lines' delay to match. Both settings are searched and
    // the delay lines hold the longer delay from construction, so the delay
    // always follows the time in force, whichever the engine started with.
    void setIntegrationTime(float seconds) noexcept;

    // One frame of channelCount samples, in the plain per-sample form: the
    // reference the chunked forms below are held to. Defined in the engine's
    // reference library (tests and benchmarks), never in the module.
    void processFrame(const float* input, float* output) noexcept;

    // The stereo form split in two passes over a chunk: detectStereo() for
    // runs of frames [begin, end) that share one integration time, then
    // renderStereo() for the whole chunk with its parameters. Gives the same
    // samples as processFrame to float rounding.
    void detectStereo(StereoChunk& chunk, std::int32_t begin, std::int32_t end) noexcept;
    void renderStereo(StereoChunk& chunk, const ParameterChunk& parameters, std::int32_t count) noexcept;

    // The general form split likewise: detectGeneral() per frame gives the
    // frame's power and its delayed samples (channelCount of them), then
    // gainFactors() the factor each frame's delayed samples are multiplied
    // by, for up to ParameterChunk::capacity frames. The same samples as
    // processFrame to float rounding.
    float detectGeneral(const float* input, float* delayed) noexcept;
    // One channel's frames [begin, end) of one integration time: its powers
    // and delayed samples, the same bits detectGeneral gives frame by frame;
    // gainFactors() follows. Only for a core of one channel.
    void detectMono(MonoChunk& chunk, std::int32_t begin, std::int32_t end) noexcept;
    void gainFactors(const float* powers, const ParameterChunk& parameters, std::int32_t count,
                     float* factors) noexcept;

    float meter = -1000.0f;
    // The detected side-to-mid ratio, dB, at the last frame rendered with a
    // Stereo Ratio above 1:1 (below it the side is not compressed and the
    // ratio is not worked out).
    float sideToMidRatio = 0.0f;
    float wet = 1.0f;

private:
    struct IntegrationSetting {
        float seconds;
        SmootherSetting smoother;
    };

    struct MidSidePowers {
        float mid, side;
    };

    // The detector's smoothed powers of one mid/side frame, with the
    // overflow recovery.
    MidSidePowers detectMidSide(float mid, float side) noexcept;
    void processStereoFrame(const float* input, float* output) noexcept;
    void processGeneralFrame(const float* input, float* output) noexcept;
    float detectPower(std::int32_t channel, float x) noexcept;
    // All channels' summed power, with the overflow recovery.
    float detectGeneralPower(const float* input) noexcept;
    // Overflowing input drives the recursive state to infinity or NaN, which
    // would never decay; start the detector afresh instead.
    void recoverIfNotFinite(float totalPower) noexcept;
    void applySetting(const SmootherSetting& setting) noexcept;

    std::int32_t channels;
    std::int32_t sampleRate;
    const MappingValues* mapping;
    std::int32_t delay = 0;
    float currentIntegrationTime;
    std::array<IntegrationSetting, 2> settings{};
    std::vector<KWeightingFilter> filters;
    std::vector<SmootherChain> smoothers;
    std::vector<DelayLine> delays;
    SmootherChain searchChain{};
};

// The detector's steps, shared by the per-frame and the chunked forms and
// called per frame and channel on their hot paths: kept out of calls.

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

} // namespace tarvel
