// Speed of the compressor engine. Reports, per benchmark, the cost of one
// frame and how many times faster than real time one core processes.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/realtime_processor.h"
#include "tools/host/parameter_changes.h"

namespace tarvel {
namespace {

constexpr std::int32_t blockSize = 512;

template <typename Sample>
struct Buffers {
    Buffers(std::int32_t channels, std::uint32_t seed)
        : in(static_cast<std::size_t>(channels), std::vector<Sample>(blockSize)), out(in)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> noise(-0.5, 0.5);
        for (auto& channel : in)
            for (auto& s : channel)
                s = static_cast<Sample>(noise(random));
        for (std::size_t c = 0; c < in.size(); ++c) {
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
        }
    }
    std::vector<std::vector<Sample>> in, out;
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;
};

void reportRealtime(benchmark::State& state, std::int32_t sampleRate)
{
    const double frames = static_cast<double>(state.iterations()) * blockSize;
    state.SetItemsProcessed(static_cast<std::int64_t>(frames));
    state.counters["ns_per_frame"] =
        benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["x_realtime"] = benchmark::Counter(frames / sampleRate, benchmark::Counter::kIsRate);
}

template <typename Sample>
void processBlocks(benchmark::State& state, std::int32_t channels, bool automate,
                   const Parameters& start = Parameters{})
{
    constexpr std::int32_t rate = 48000;
    RealtimeProcessor engine({rate, channels, start});
    Buffers<Sample> buffers(channels, 1);
    std::mt19937 random(2);
    std::uniform_real_distribution<double> value(0.0, 1.0);
    for (auto _ : state) {
        host::ParameterChanges changes;
        if (automate) {
            for (std::int32_t id = 0; id < ParameterCount; ++id) {
                Steinberg::int32 index = 0;
                auto* queue = changes.addParameterData(static_cast<Steinberg::Vst::ParamID>(id), index);
                // Speed stays on one side so the delay does not flip every block.
                queue->addPoint(blockSize - 1, id == Speed ? 0.9 + 0.1 * value(random) : value(random), index);
            }
        }
        Steinberg::Vst::ProcessData data{};
        data.numSamples = blockSize;
        data.inputParameterChanges = &changes;
        engine.beginBlock(data);
        engine.processBlock(buffers.inputs.data(), buffers.outputs.data(), channels, blockSize);
        benchmark::DoNotOptimize(buffers.out[0].data());
    }
    reportRealtime(state, rate);
}

void StereoConstant(benchmark::State& state) { processBlocks<float>(state, 2, false); }
void StereoAutomated(benchmark::State& state) { processBlocks<float>(state, 2, true); }
// With a stereo ratio other than 1:1 the side gain and the loudness after it
// are computed too; at 1:1 (the default, as above) they are known exactly.
void StereoConstantWithStereoRatio(benchmark::State& state)
{
    Parameters start;
    start[StereoRatio] = 0.5f;
    processBlocks<float>(state, 2, false, start);
}
void Mono(benchmark::State& state) { processBlocks<float>(state, 1, false); }
void Stereo64Bit(benchmark::State& state) { processBlocks<double>(state, 2, false); }

// The plain per-frame form the chunked stereo path replaces, for the ratio.
void StereoPerFrameReference(benchmark::State& state)
{
    constexpr std::int32_t rate = 48000;
    RealtimeProcessor engine({rate, 2, Parameters{}});
    Buffers<float> buffers(2, 1);
    for (auto _ : state) {
        Steinberg::Vst::ProcessData data{};
        engine.beginBlock(data);
        engine.processBlockPerFrame(buffers.inputs.data(), buffers.outputs.data(), 2, blockSize);
        benchmark::DoNotOptimize(buffers.out[0].data());
    }
    reportRealtime(state, rate);
}

void Construction(benchmark::State& state)
{
    Parameters p;
    p[Speed] = state.range(1) ? 1.0f : 0.0f;
    for (auto _ : state) {
        RealtimeProcessor engine({static_cast<std::int32_t>(state.range(0)), 2, p});
        benchmark::DoNotOptimize(engine.delaySamples());
    }
    state.SetLabel(state.range(1) ? "slow" : "fast");
}

BENCHMARK(StereoConstant);
BENCHMARK(StereoConstantWithStereoRatio);
BENCHMARK(StereoAutomated);
BENCHMARK(Mono);
BENCHMARK(Stereo64Bit);
BENCHMARK(StereoPerFrameReference);
BENCHMARK(Construction)
    ->ArgsProduct({{44100, 48000, 96000, 192000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvel

BENCHMARK_MAIN();
