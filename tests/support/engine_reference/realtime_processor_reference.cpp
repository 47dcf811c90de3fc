// The engine's per-frame form: parameters advanced and the core run one frame
// at a time, the reference the chunked paths in realtime_processor.cpp are
// held to by the tests and measured against by the benchmarks.

#include "processor/engine/realtime_processor.h"
#include "processor/engine/sample_input.h"

namespace tarvel {

void RealtimeProcessor::advanceParameters() noexcept
{
    smoothing.advance(intake);
    core.setIntegrationTime(smoothing.integrationTime());
    mapping = smoothing.mapping();
    core.wet = smoothing.wet();
}

template <typename Sample>
void RealtimeProcessor::processFramesOneByOne(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                                              std::int32_t start, std::int32_t count) noexcept
{
    const std::int32_t channels = engineConfig.channelCount;
    float* in = frame.data();
    float* out = frame.data() + channels;
    for (std::int32_t i = start; i < start + count; ++i) {
        advanceParameters();
        for (std::int32_t c = 0; c < channels; ++c)
            in[c] = readSample(inputs, c, n, i);
        core.processFrame(in, out);
        for (std::int32_t c = 0; c < n; ++c)
            if (outputs[c])
                outputs[c][i] = static_cast<Sample>(out[c]);
    }
}

void RealtimeProcessor::processBlockPerFrame(const float* const* inputs, float* const* outputs, std::int32_t n,
                                             std::int32_t sampleCount) noexcept
{
    processInChunks(n, sampleCount, [&](std::int32_t given, std::int32_t start, std::int32_t count) {
        processFramesOneByOne(inputs, outputs, given, start, count);
    });
}

} // namespace tarvel
