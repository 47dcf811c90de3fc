#pragma once
// A block's channel buffers in either sample size, reused from block to
// block, and what the fuzz targets check of what the processor wrote.

#include <cmath>
#include <cstdint>
#include <vector>

namespace tarvel::fuzz {

template <typename Sample>
struct ChannelBuffers {
    std::vector<std::vector<Sample>> input, output;
    std::vector<Sample*> inputs, outputs;

    // channels of frames samples each way, the outputs zeroed.
    void prepare(std::int32_t channels, std::int32_t frames)
    {
        const auto count = static_cast<std::size_t>(channels);
        const auto length = static_cast<std::size_t>(frames > 0 ? frames : 1);
        input.resize(count);
        output.resize(count);
        inputs.resize(count);
        outputs.resize(count);
        for (std::size_t c = 0; c < count; ++c) {
            input[c].assign(length, Sample(0));
            output[c].assign(length, Sample(0));
            inputs[c] = input[c].data();
            outputs[c] = output[c].data();
        }
    }

    bool outputFinite(std::int32_t frames) const
    {
        for (const auto& channel : output)
            for (std::int32_t i = 0; i < frames && static_cast<std::size_t>(i) < channel.size(); ++i)
                if (!std::isfinite(channel[static_cast<std::size_t>(i)]))
                    return false;
        return true;
    }
};

} // namespace tarvel::fuzz
