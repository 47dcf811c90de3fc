#pragma once
// Loudness as libebur128 measures it, an implementation of BS.1770 and
// EBU R128 independent of ours (the engine's detector and tarvel-render's
// meter alike): integrated, range, sample peak, and the short-term loudness
// read every 100 ms.

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace tarvel::test {

// How one channel counts: as itself (the engine's detector weighs a mono
// signal so), or as the same signal on both sides of a stereo pair
// (tarvel-render's reports do, as EBU R128 asks of mono programme).
enum class MonoAs { OneChannel, DualMono };

struct ReferenceLoudness {
    double integrated = 0.0;
    double range = 0.0;
    double samplePeak = 0.0; // dBFS
    double shortTerm = 0.0;  // of the last 3 s
    double maxShortTerm = -INFINITY;
    std::vector<double> shortTermSteps; // every 100 ms
    // The same, but over only the audio so far while the first 3 s fill the
    // window, as the render tool's pictures show it.
    std::vector<double> history;
};

// count interleaved channels of float or double samples.
template <typename Sample>
ReferenceLoudness referenceLoudness(const std::vector<Sample>& interleaved, unsigned count, unsigned sampleRate,
                                    MonoAs mono)
{
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(count, sampleRate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_S | EBUR128_MODE_SAMPLE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state)
        throw std::runtime_error("ebur128_init failed");
    if (count == 1 && mono == MonoAs::DualMono)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);
    const auto add = [&](std::size_t from, std::size_t frames) {
        if constexpr (std::is_same_v<Sample, float>)
            ebur128_add_frames_float(state.get(), interleaved.data() + from * count, frames);
        else
            ebur128_add_frames_double(state.get(), interleaved.data() + from * count, frames);
    };
    const std::size_t frames = interleaved.size() / count;

    ReferenceLoudness result;
    const std::size_t step = (sampleRate + 5) / 10;
    for (std::size_t done = 0; done + step <= frames; done += step) {
        add(done, step);
        double level = 0.0;
        ebur128_loudness_shortterm(state.get(), &level);
        result.shortTermSteps.push_back(level);
        result.maxShortTerm = std::max(result.maxShortTerm, level);
        const auto elapsedMs = static_cast<unsigned long>(result.shortTermSteps.size() * 100);
        if (elapsedMs < 3000)
            ebur128_loudness_window(state.get(), elapsedMs, &level);
        result.history.push_back(level);
    }
    const std::size_t rest = frames % step;
    add(frames - rest, rest);
    ebur128_loudness_global(state.get(), &result.integrated);
    ebur128_loudness_range(state.get(), &result.range);
    ebur128_loudness_shortterm(state.get(), &result.shortTerm);
    double peak = 0.0;
    for (unsigned c = 0; c < count; ++c) {
        double channelPeak = 0.0;
        ebur128_sample_peak(state.get(), c, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.samplePeak = 20.0 * std::log10(peak);
    return result;
}

// One vector per channel.
inline ReferenceLoudness referenceLoudness(const std::vector<std::vector<float>>& channels, unsigned sampleRate,
                                           MonoAs mono = MonoAs::OneChannel)
{
    const auto count = static_cast<unsigned>(channels.size());
    const std::size_t frames = channels.front().size();
    std::vector<float> interleaved(frames * count);
    for (std::size_t i = 0; i < frames; ++i)
        for (unsigned c = 0; c < count; ++c)
            interleaved[i * count + c] = channels[c][i];
    return referenceLoudness(interleaved, count, sampleRate, mono);
}

} // namespace tarvel::test
