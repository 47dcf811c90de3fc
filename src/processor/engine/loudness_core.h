#pragma once
// The detector and gain stage: K-weighted, smoothed power per channel, the
// loudness mapping around the target, and the delayed audio the gain applies
// to. Two channels are processed as mid/side with a side-to-mid ratio
// compression; any other count gets one common gain.

#include <array>
#include <cstdint>
#include <vector>

#include "processor/engine/delay_line.h"
#include "processor/engine/k_weighting_filter.h"
#include "processor/engine/mapping_values.h"
#include "processor/engine/smoother_search.h"
#include "processor/engine/smoother_stage.h"
#include "parameters/engine_conversion.h"

namespace tarvel {

struct CoreConfig {
    std::int32_t channelCount;
    std::int32_t sampleRate;
    float maxIntegrationTime;
    const MappingValues* mapping;
};

// Per-sample quantities of up to stereoChunkLength stereo frames, handed from
// the serial detector pass to the gain pass, which has no recursion and so
// runs as plain loops over arrays.
struct StereoChunk {
    static constexpr std::int32_t capacity = 64;
    std::array<float, capacity> midPower, sidePower, delayedMid, delayedSide;
    std::array<float, capacity> target, ratioSlope, stereoSlope, wet;
    std::array<float, capacity> left, right;
};

class LoudnessCore {
public:
    explicit LoudnessCore(const CoreConfig& config);

    std::int32_t channelCount() const noexcept { return channels; }
    std::int32_t delaySamples() const noexcept { return delay; }
    float integrationTime() const noexcept { return currentIntegrationTime; }
    float smootherCoefficient() const noexcept { return smoothers.front()[0].coefficient; }

    // Lowers (or restores up to the construction time) the detector's
    // integration time. Only the construction time and the fast time ever
    // arrive, and both settings are searched at construction.
    void setIntegrationTime(float seconds) noexcept;

    // One frame of channelCount samples, in the plain per-sample form.
    void processFrame(const float* input, float* output) noexcept;

    // The stereo form split in two passes over a chunk: detect() per frame,
    // then renderStereo() for the whole chunk. Gives the same samples as
    // processFrame to float rounding.
    void detectStereo(float left, float right, StereoChunk& chunk, std::int32_t index) noexcept;
    void renderStereo(StereoChunk& chunk, std::int32_t count) noexcept;

    float meter = -1000.0f;
    float wet = 1.0f;

private:
    struct IntegrationSetting {
        float seconds;
        SmootherSetting smoother;
    };

    struct MidSideFrame {
        float mid, side, midPower, sidePower;
    };

    // Mid/side of one stereo frame and the detector's smoothed powers.
    MidSideFrame detectMidSide(float left, float right) noexcept;
    void processStereoFrame(const float* input, float* output) noexcept;
    void processGeneralFrame(const float* input, float* output) noexcept;
    float detectPower(std::int32_t channel, float x) noexcept;
    // Overflowing input drives the recursive state to infinity or NaN, which
    // would never decay; start the detector afresh instead.
    void recoverIfNotFinite(float totalPower) noexcept;
    void applySetting(const SmootherSetting& setting) noexcept;

    std::int32_t channels;
    std::int32_t sampleRate;
    float maxIntegrationTime;
    const MappingValues* mapping;
    std::int32_t delay = 0;
    float currentIntegrationTime;
    std::array<IntegrationSetting, 2> settings{};
    std::vector<KWeightingFilter> filters;
    std::vector<SmootherChain> smoothers;
    std::vector<DelayLine> delays;
    SmootherChain searchChain{};
};

} // namespace tarvel
