// A fixed amount of engine work for instruction counting under callgrind,
// where run-to-run timing noise does not exist:
//   valgrind --tool=callgrind --toggle-collect='tarvel::RealtimeProcessor::processBlock*'
//            tarvel_engine_profile stereo-constant 200
// Cases: stereo-constant, stereo-ratio (constant, stereo ratio 2:1),
// stereo-automated, mono, stereo-64bit, per-frame.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/realtime_processor.h"
#include "tools/host/parameter_changes.h"

namespace {

constexpr std::int32_t blockSize = 512;
constexpr std::int32_t rate = 48000;

template <typename Sample>
int run(std::string_view name, std::int32_t channels, bool automate, bool perFrame, long blocks,
        const tarvel::Parameters& start = tarvel::Parameters{})
{
    tarvel::RealtimeProcessor engine({rate, channels, start});
    std::mt19937 random(1);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    std::vector<std::vector<Sample>> in(static_cast<std::size_t>(channels), std::vector<Sample>(blockSize));
    for (auto& channel : in)
        for (auto& s : channel)
            s = static_cast<Sample>(noise(random));
    auto out = in;
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;
    for (std::size_t c = 0; c < in.size(); ++c) {
        inputs.push_back(in[c].data());
        outputs.push_back(out[c].data());
    }
    std::uniform_real_distribution<double> value(0.0, 1.0);
    // FNV-1a over every output bit: equal for two builds only if their
    // output is (the plain and the SSE2 lanes, say).
    std::uint64_t hash = 0xcbf29ce484222325ull;
    const auto fold = [&] {
        for (const auto& channel : out) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(channel.data());
            for (std::size_t i = 0; i < channel.size() * sizeof(Sample); ++i)
                hash = (hash ^ bytes[i]) * 0x100000001b3ull;
        }
    };
    for (long b = 0; b < blocks; ++b) {
        tarvel::host::ParameterChanges changes;
        if (automate) {
            for (std::int32_t id = 0; id < tarvel::ParameterCount; ++id) {
                Steinberg::int32 index = 0;
                auto* queue = changes.addParameterData(static_cast<Steinberg::Vst::ParamID>(id), index);
                queue->addPoint(blockSize - 1, id == tarvel::Speed ? 0.9 + 0.1 * value(random) : value(random),
                                index);
            }
        }
        Steinberg::Vst::ProcessData data{};
        data.numSamples = blockSize;
        data.inputParameterChanges = &changes;
        engine.beginBlock(data);
        if constexpr (std::is_same_v<Sample, float>) {
            if (perFrame) {
                engine.processBlockPerFrame(inputs.data(), outputs.data(), channels, blockSize);
                fold();
                continue;
            }
        }
        engine.processBlock(inputs.data(), outputs.data(), channels, blockSize);
        fold();
    }
    std::printf("%.*s: %ld blocks of %d frames, output hash %016llx\n", static_cast<int>(name.size()), name.data(),
                blocks, blockSize, static_cast<unsigned long long>(hash));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view name = argc > 1 ? argv[1] : "stereo-constant";
    const long blocks = argc > 2 ? std::atol(argv[2]) : 200;
    if (name == "stereo-constant")
        return run<float>(name, 2, false, false, blocks);
    if (name == "stereo-ratio") {
        tarvel::Parameters start;
        start[tarvel::StereoRatio] = 0.5f;
        return run<float>(name, 2, false, false, blocks, start);
    }
    if (name == "stereo-automated")
        return run<float>(name, 2, true, false, blocks);
    if (name == "mono")
        return run<float>(name, 1, false, false, blocks);
    if (name == "stereo-64bit")
        return run<double>(name, 2, false, false, blocks);
    if (name == "per-frame")
        return run<float>(name, 2, false, true, blocks);
    std::fprintf(stderr, "unknown case %.*s\n", static_cast<int>(name.size()), name.data());
    return 2;
}
