#pragma once
// The realtime compressor engine: one per processing setup, driven from the
// host's audio thread block by block.

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

#include "parameters/parameters.h"
#include "processor/engine/loudness_core.h"
#include "processor/engine/mapping_values.h"
#include "processor/engine/parameter_chunk.h"
#include "processor/engine/parameter_smoothing.h"
#include "processor/intake/parameter_intake.h"

namespace Steinberg::Vst {
struct ProcessData;
}

namespace tarvel {

struct EngineConfig {
    std::int32_t sampleRate;
    std::int32_t channelCount;
    Parameters startValues;
};

class RealtimeProcessor {
public:
    explicit RealtimeProcessor(const EngineConfig& config);
    RealtimeProcessor(const RealtimeProcessor&) = delete;
    RealtimeProcessor& operator=(const RealtimeProcessor&) = delete;

    // Takes the block's parameter changes and any whole set published since
    // the previous block.
    void beginBlock(const Steinberg::Vst::ProcessData& data) noexcept { intake.beginBlock(data); }
    // For a block whose audio is not processed: its changes apply at once.
    void beginBlockWithoutAudio(const Steinberg::Vst::ProcessData& data) noexcept
    {
        intake.beginBlockWithoutAudio(data);
    }

    // n channels of sampleCount samples; n must not exceed the configured
    // channel count, and missing channels are fed silence.
    void processBlock(const float* const* inputs, float* const* outputs, std::int32_t n,
                      std::int32_t sampleCount) noexcept;
    void processBlock(const double* const* inputs, double* const* outputs, std::int32_t n,
                      std::int32_t sampleCount) noexcept;

    // The same arithmetic one frame at a time through LoudnessCore::processFrame;
    // the reference the chunked paths are held to. Defined in the engine's
    // reference library, which tests and benchmarks link and the plug-in
    // module does not.
    void processBlockPerFrame(const float* const* inputs, float* const* outputs, std::int32_t n,
                              std::int32_t sampleCount) noexcept;

    // Input loudness at the end of the last block; -1000 before the first.
    double meterValue() const noexcept { return meter.load(std::memory_order_relaxed); }
    // The detected side-to-mid ratio in dB at the end of the last block in
    // which the side was compressed.
    double sideToMidRatio() const noexcept { return static_cast<double>(sideToMid.load(std::memory_order_relaxed)); }
    std::int32_t delaySamples() const noexcept { return core.delaySamples(); }
    const EngineConfig& config() const noexcept { return engineConfig; }
    const LoudnessCore& loudnessCore() const noexcept { return core; }

    ParameterSetExchange& exchange() noexcept { return intake.exchange(); }
    ValueMailbox& lastHostValue(std::int32_t id) noexcept { return intake.lastHostValue(id); }

    static constexpr std::int32_t maxChannels = 32;

private:
    // What every form shares: the channels given clamped to the engine's,
    // the block in chunks, pass(given, start, count) for each, and the meter
    // stored after a block with frames.
    template <typename Pass>
    void processInChunks(std::int32_t n, std::int32_t sampleCount, Pass pass) noexcept;
    template <typename Sample>
    void processChunked(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                        std::int32_t sampleCount) noexcept;
    template <typename Sample>
    void processStereoChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n, std::int32_t start,
                            std::int32_t count) noexcept;
    // One channel: the detector in lanes, a run of one integration time at a
    // time, then the gain factors a chunk at a time.
    template <typename Sample>
    void processMonoChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n, std::int32_t start,
                          std::int32_t count) noexcept;
    // Other channel counts: frame by frame through the detector,
    // with the parameters and the gains taken a chunk at a time.
    template <typename Sample>
    void processGeneralChunk(const Sample* const* inputs, Sample* const* outputs, std::int32_t n, std::int32_t start,
                             std::int32_t count) noexcept;
    // The reference library's: the per-frame form and its one sample of
    // parameter intake, conversion and smoothing.
    template <typename Sample>
    void processFramesOneByOne(const Sample* const* inputs, Sample* const* outputs, std::int32_t n,
                               std::int32_t start, std::int32_t count) noexcept;
    void advanceParameters() noexcept;
    // Reads count frames of up to two channels into the chunk, missing
    // channels and non-finite samples as silence.
    template <typename Sample>
    void readStereo(const Sample* const* inputs, std::int32_t n, std::int32_t start, std::int32_t count) noexcept;
    // The detector over the chunk in runs of one integration time.
    void detectChunk(std::int32_t count) noexcept;
    // detect(begin, end) for each run of frames that share one integration
    // time, with that time in force.
    template <typename Detect>
    void detectInRuns(std::int32_t count, Detect detect) noexcept;

    EngineConfig engineConfig;
    ParameterIntake intake;
    ParameterSmoothing smoothing;
    MappingValues mapping;
    LoudnessCore core;
    std::array<float, 2 * maxChannels> frame{};
    StereoChunk chunk{};
    MonoChunk monoChunk{};
    // The general path's chunk: powers, gain factors and delayed frames.
    std::array<float, ParameterChunk::capacity> generalPowers{}, generalFactors{};
    std::array<float, ParameterChunk::capacity * maxChannels> generalDelayed{};
    ParameterChunk chunkParameters{};
    std::atomic<double> meter{-1000.0};
    std::atomic<float> sideToMid{0.0f};
};

template <typename Pass>
inline void RealtimeProcessor::processInChunks(std::int32_t n, std::int32_t sampleCount, Pass pass) noexcept
{
    const std::int32_t given = std::clamp(n, 0, engineConfig.channelCount);
    for (std::int32_t start = 0; start < sampleCount; start += ParameterChunk::capacity)
        pass(given, start, std::min(ParameterChunk::capacity, sampleCount - start));
    if (sampleCount > 0) {
        meter.store(static_cast<double>(core.meter), std::memory_order_relaxed);
        sideToMid.store(core.sideToMidRatio, std::memory_order_relaxed);
    }
}

} // namespace tarvel
