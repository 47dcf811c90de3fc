#pragma once
// Runs whole signals through an engine block by block, the way the processor
// component drives it.

#include <functional>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/realtime_processor.h"
#include "tools/host/parameter_changes.h"

namespace tarvel::test {

using Channels = std::vector<std::vector<float>>;

// Called before each block with the block's start sample and length; adds
// the block's parameter points.
using Automation = std::function<void(host::ParameterChanges&, std::int64_t start, std::int32_t length)>;

enum class Path { Chunked, PerFrame };

inline Channels runEngine(RealtimeProcessor& engine, const Channels& input, std::int32_t blockSize,
                          const Automation& automation = {}, Path path = Path::Chunked)
{
    const auto channelCount = static_cast<std::int32_t>(input.size());
    const auto length = static_cast<std::int64_t>(input.front().size());
    Channels output(input.size(), std::vector<float>(input.front().size()));
    std::vector<const float*> in(input.size());
    std::vector<float*> out(input.size());
    for (std::int64_t start = 0; start < length; start += blockSize) {
        const auto count = static_cast<std::int32_t>(std::min<std::int64_t>(blockSize, length - start));
        host::ParameterChanges changes;
        if (automation)
            automation(changes, start, count);
        Steinberg::Vst::ProcessData data{};
        data.numSamples = count;
        data.inputParameterChanges = &changes;
        engine.beginBlock(data);
        for (std::size_t c = 0; c < input.size(); ++c) {
            in[c] = input[c].data() + start;
            out[c] = output[c].data() + start;
        }
        if (path == Path::Chunked)
            engine.processBlock(in.data(), out.data(), channelCount, count);
        else
            engine.processBlockPerFrame(in.data(), out.data(), channelCount, count);
    }
    return output;
}

inline Parameters parametersWith(std::initializer_list<std::pair<std::int32_t, float>> values)
{
    Parameters p;
    for (auto [id, v] : values)
        p[id] = v;
    return p;
}

} // namespace tarvel::test
