#include "processor/engine/realtime_processor.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "parameters/engine_conversion.h"
#include "processor/engine/sample_input.h"

namespace tarvel {

RealtimeProcessor::RealtimeProcessor(const EngineConfig& config)
    : engineConfig{config.sampleRate, std::clamp(config.channelCount, 1, maxChannels), config.startValues},
      intake(config.startValues), smoothing(config.sampleRate, config.startValues),
      core(CoreConfig{engineConfig.channelCount, config.sampleRate, integrationTime(config.startValues[Speed]),
                      &mapping})
{
}

template <typename Sample>
void RealtimeProcessor::processGeneralChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                            std::int32_t start, std::int32_t count) noexcept
{
    assert(count > 0 && count <= ParameterChunk::capacity && "one chunk at a time");
    const std::int32_t channels = engineConfig.channelCount;
    float* in = frame.data();
    smoothing.advanceChunk(intake, count, chunkParameters);
    const ParameterChunk& p = chunkParameters;
    for (std::int32_t j = 0; j < count; ++j) {
        const auto k = static_cast<std::size_t>(j);
        core.setIntegrationTime(p.integrationTime[p.integrationTimeConstant ? 0 : k]);
        for (std::int32_t c = 0; c < channels; ++c)
            in[c] = readSample(inputs, c, n, start + j);
        generalPowers[k] = core.detectGeneral(in, generalDelayed.data() + k * static_cast<std::size_t>(channels));
    }
    core.gainFactors(generalPowers.data(), p, count, generalFactors.data());
    for (std::int32_t c = 0; c < n; ++c) {
        if (!outputs[c])
            continue;
        const float* delayed = generalDelayed.data() + c;
        Sample* out = outputs[c] + start;
        for (std::int32_t j = 0; j < count; ++j)
            out[j] = static_cast<Sample>(delayed[j * channels] * generalFactors[static_cast<std::size_t>(j)]);
    }
}

template <typename Sample>
void RealtimeProcessor::readStereo(const Sample* const* inputs, std::int32_t n, std::int32_t start,
                                   std::int32_t count) noexcept
{
    float* channels[2] = {chunk.left.data(), chunk.right.data()};
    for (std::int32_t c = 0; c < 2; ++c) {
        float* to = channels[c];
        if (c >= n || !inputs[c]) {
            std::fill_n(to, count, 0.0f);
            continue;
        }
        const Sample* from = inputs[c] + start;
        for (std::int32_t j = 0; j < count; ++j)
            to[j] = finiteOrSilenceInLoop(static_cast<float>(from[j]));
    }
}

template <typename Detect>
inline void RealtimeProcessor::detectInRuns(std::int32_t count, Detect detect) noexcept
{
    if (chunkParameters.integrationTimeConstant) {
        core.setIntegrationTime(chunkParameters.integrationTime[0]);
        detect(0, count);
        return;
    }
    // The integration time in force changes the detector's coefficient and
    // delay from the frame it changes on.
    const float* times = chunkParameters.integrationTime.data();
    for (std::int32_t begin = 0; begin < count;) {
        std::int32_t end = begin + 1;
        while (end < count && times[end] == times[begin])
            ++end;
        core.setIntegrationTime(times[begin]);
        detect(begin, end);
        begin = end;
    }
}

void RealtimeProcessor::detectChunk(std::int32_t count) noexcept
{
    detectInRuns(count, [this](std::int32_t begin, std::int32_t end) { core.detectStereo(chunk, begin, end); });
}

template <typename Sample>
void RealtimeProcessor::processMonoChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                         std::int32_t start, std::int32_t count) noexcept
{
    assert(count > 0 && count <= ParameterChunk::capacity && "one chunk at a time");
    MonoChunk& mono = monoChunk;
    if (n < 1 || !inputs[0]) {
        std::fill_n(mono.input.begin(), count, 0.0f);
    } else {
        const Sample* from = inputs[0] + start;
        for (std::int32_t j = 0; j < count; ++j)
            mono.input[static_cast<std::size_t>(j)] = finiteOrSilenceInLoop(static_cast<float>(from[j]));
    }
    smoothing.advanceChunk(intake, count, chunkParameters);
    detectInRuns(count, [this](std::int32_t begin, std::int32_t end) { core.detectMono(monoChunk, begin, end); });
    core.gainFactors(mono.powers.data(), chunkParameters, count, mono.factors.data());
    if (n < 1 || !outputs[0])
        return;
    Sample* out = outputs[0] + start;
    for (std::int32_t j = 0; j < count; ++j) {
        const auto k = static_cast<std::size_t>(j);
        out[j] = static_cast<Sample>(mono.delayed[k] * mono.factors[k]);
    }
}

template <typename Sample>
void RealtimeProcessor::processStereoChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                           std::int32_t start, std::int32_t count) noexcept
{
    assert(count > 0 && count <= ParameterChunk::capacity && "one chunk at a time");
    readStereo(inputs, n, start, count);
    smoothing.advanceChunk(intake, count, chunkParameters);
    detectChunk(count);
    core.renderStereo(chunk, chunkParameters, count);
    const float* rendered[2] = {chunk.left.data(), chunk.right.data()};
    for (std::int32_t c = 0; c < n; ++c) {
        if (!outputs[c])
            continue;
        Sample* out = outputs[c] + start;
        for (std::int32_t j = 0; j < count; ++j)
            out[j] = static_cast<Sample>(rendered[c][j]);
    }
}

template <typename Sample>
void RealtimeProcessor::processChunked(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                       std::int32_t sampleCount) noexcept
{
    if (engineConfig.channelCount == 2) {
        processInChunks(n, sampleCount, [&](std::int32_t given, std::int32_t start, std::int32_t count) {
            processStereoChunk(inputs, outputs, given, start, count);
        });
        return;
    }
    if (engineConfig.channelCount == 1) {
        processInChunks(n, sampleCount, [&](std::int32_t given, std::int32_t start, std::int32_t count) {
            processMonoChunk(inputs, outputs, given, start, count);
        });
        return;
    }
    processInChunks(n, sampleCount, [&](std::int32_t given, std::int32_t start, std::int32_t count) {
        processGeneralChunk(inputs, outputs, given, start, count);
    });
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

} // namespace tarvel
