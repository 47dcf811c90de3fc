#pragma once
// Loudness of test signals measured by libebur128, an implementation of
// BS.1770 independent of ours.

#include <ebur128.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tarvel::test {

struct ReferenceLoudness {
    double integrated;
    double shortTerm; // the last 3 s
    double momentary; // the last 400 ms
};

inline ReferenceLoudness referenceLoudness(const std::vector<std::vector<float>>& channels, unsigned sampleRate)
{
    const auto count = static_cast<unsigned>(channels.size());
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(count, sampleRate, EBUR128_MODE_I | EBUR128_MODE_S | EBUR128_MODE_M),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state)
        throw std::runtime_error("ebur128_init failed");
    const std::size_t length = channels.front().size();
    std::vector<float> interleaved(length * count);
    for (std::size_t i = 0; i < length; ++i)
        for (unsigned c = 0; c < count; ++c)
            interleaved[i * count + c] = channels[c][i];
    ebur128_add_frames_float(state.get(), interleaved.data(), length);
    ReferenceLoudness result{};
    ebur128_loudness_global(state.get(), &result.integrated);
    ebur128_loudness_shortterm(state.get(), &result.shortTerm);
    ebur128_loudness_momentary(state.get(), &result.momentary);
    return result;
}

} // namespace tarvel::test
