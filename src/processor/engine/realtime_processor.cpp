#include "processor/engine/realtime_processor.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "parameters/engine_conversion.h"

namespace tarvel {
namespace {

// A NaN or infinite input sample would stay in the recursive filters forever;
// it enters the engine as silence instead.
inline float finiteOrSilence(float x) noexcept { return std::isfinite(x) ? x : 0.0f; }

template <typename Sample>
inline float readSample(const Sample* const* inputs, std::int32_t channel, std::int32_t n, std::int32_t i) noexcept
{
    if (channel >= n || !inputs[channel])
        return 0.0f;
    return finiteOrSilence(static_cast<float>(inputs[channel][i]));
}

SmootherStage startedSmoother(float coefficient, float state) { return {state, coefficient}; }

} // namespace

RealtimeProcessor::RealtimeProcessor(const EngineConfig& config)
    : engineConfig{config.sampleRate, std::clamp(config.channelCount, 1, maxChannels), config.startValues},
      intake(config.startValues),
      core(CoreConfig{engineConfig.channelCount, config.sampleRate, integrationTime(config.startValues[Speed]),
                      &mapping})
{
    lastNormalised.fill(std::numeric_limits<float>::quiet_NaN());
    const Parameters& p = config.startValues;
    const auto coefficient = static_cast<float>(100.0 / config.sampleRate);
    bypassSmoother = startedSmoother(coefficient, bypassState(p[Bypass]));
    ratioSmoother = startedSmoother(coefficient, mappingSlope(p[Ratio]));
    stereoSmoother = startedSmoother(coefficient, mappingSlope(p[StereoRatio]));
    targetSmoother = startedSmoother(coefficient, targetLevel(p[Target]));
}

inline void RealtimeProcessor::advanceParameters() noexcept
{
    intake.advance();
    for (std::int32_t id = 0; id < ParameterCount; ++id) {
        const auto v = static_cast<float>(intake.value(id));
        if (!(v == lastNormalised[static_cast<std::size_t>(id)])) {
            lastNormalised[static_cast<std::size_t>(id)] = v;
            quantity[static_cast<std::size_t>(id)] = engineQuantity(id, v);
        }
    }
    bypassSmoother.step(quantity[Bypass]);
    ratioSmoother.step(quantity[Ratio]);
    stereoSmoother.step(quantity[StereoRatio]);
    targetSmoother.step(quantity[Target]);
    core.setIntegrationTime(quantity[Speed]);
    mapping = {targetSmoother.state, ratioSmoother.state, stereoSmoother.state};
    core.wet = 1.0f - bypassSmoother.state;
}

template <typename Sample>
void RealtimeProcessor::processPerFrame(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                        std::int32_t sampleCount) noexcept
{
    const std::int32_t channels = engineConfig.channelCount;
    n = std::clamp(n, 0, channels);
    float* in = frame.data();
    float* out = frame.data() + channels;
    for (std::int32_t i = 0; i < sampleCount; ++i) {
        advanceParameters();
        for (std::int32_t c = 0; c < channels; ++c)
            in[c] = readSample(inputs, c, n, i);
        core.processFrame(in, out);
        for (std::int32_t c = 0; c < n; ++c)
            if (outputs[c])
                outputs[c][i] = static_cast<Sample>(out[c]);
    }
    if (sampleCount > 0)
        meter.store(core.meter, std::memory_order_relaxed);
}

template <typename Sample>
void RealtimeProcessor::processChunked(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                       std::int32_t sampleCount) noexcept
{
    if (engineConfig.channelCount != 2) {
        processPerFrame(inputs, outputs, n, sampleCount);
        return;
    }
    n = std::clamp(n, 0, 2);
    for (std::int32_t start = 0; start < sampleCount; start += StereoChunk::capacity) {
        const std::int32_t count = std::min(StereoChunk::capacity, sampleCount - start);
        for (std::int32_t j = 0; j < count; ++j) {
            advanceParameters();
            core.detectStereo(readSample(inputs, 0, n, start + j), readSample(inputs, 1, n, start + j), chunk, j);
        }
        core.renderStereo(chunk, count);
        const float* rendered[2] = {chunk.left.data(), chunk.right.data()};
        for (std::int32_t c = 0; c < n; ++c) {
            if (!outputs[c])
                continue;
            Sample* out = outputs[c] + start;
            for (std::int32_t j = 0; j < count; ++j)
                out[j] = static_cast<Sample>(rendered[c][j]);
        }
    }
    if (sampleCount > 0)
        meter.store(core.meter, std::memory_order_relaxed);
}

void RealtimeProcessor::processBlock(const float* const* inputs, float* const* outputs, std::int32_t n,
                                     std::int32_t sampleCount) noexcept
{
    processChunked(inputs, outputs, n, sampleCount);
}

void RealtimeProcessor::processBlock(const double* const* inputs, double* const* outputs, std::int32_t n,
                                     std::int32_t sampleCount) noexcept
{
    processChunked(inputs, outputs, n, sampleCount);
}

void RealtimeProcessor::processBlockPerFrame(const float* const* inputs, float* const* outputs, std::int32_t n,
                                             std::int32_t sampleCount) noexcept
{
    processPerFrame(inputs, outputs, n, sampleCount);
}

} // namespace tarvel
