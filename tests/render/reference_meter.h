#pragma once
// Loudness as libebur128 measures it (an implementation of BS.1770 and
// EBU R128 independent of the render tool's): integrated, range, sample peak
// and the short-term loudness read every 100 ms, as the tool reports them.

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "render/tool_runner.h"

namespace tarvel::test {

struct ReferenceReport {
    double integrated = 0.0;
    double range = 0.0;
    double maxShortTerm = -INFINITY;
    double samplePeak = 0.0; // dBFS
    std::vector<double> shortTerm; // every 100 ms
    // The same, but over only the audio so far while the first 3 s fill
    // the window, as the render tool's pictures show it.
    std::vector<double> history;
};

inline ReferenceReport measuredByLibebur128(const std::vector<double>& interleaved, int channels, unsigned sampleRate)
{
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(static_cast<unsigned>(channels), sampleRate,
                     EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_S | EBUR128_MODE_SAMPLE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (channels == 1)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);
    ReferenceReport result;
    const auto count = static_cast<std::size_t>(channels);
    const std::size_t frames = interleaved.size() / count;
    const std::size_t step = (sampleRate + 5) / 10;
    for (std::size_t done = 0; done + step <= frames; done += step) {
        ebur128_add_frames_double(state.get(), interleaved.data() + done * count, step);
        double level = 0.0;
        ebur128_loudness_shortterm(state.get(), &level);
        result.shortTerm.push_back(level);
        result.maxShortTerm = std::max(result.maxShortTerm, level);
        const auto elapsedMs = static_cast<unsigned long>(result.shortTerm.size() * 100);
        if (elapsedMs < 3000)
            ebur128_loudness_window(state.get(), elapsedMs, &level);
        result.history.push_back(level);
    }
    const std::size_t rest = frames % step;
    ebur128_add_frames_double(state.get(), interleaved.data() + (frames - rest) * count, rest);
    ebur128_loudness_global(state.get(), &result.integrated);
    ebur128_loudness_range(state.get(), &result.range);
    double peak = 0.0;
    for (unsigned c = 0; c < count; ++c) {
        double channelPeak = 0.0;
        ebur128_sample_peak(state.get(), c, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.samplePeak = 20.0 * std::log10(peak);
    return result;
}

inline ReferenceReport measuredByLibebur128(const Sound& sound)
{
    std::vector<double> interleaved;
    for (std::size_t i = 0; i < sound.frames(); ++i)
        for (const auto& channel : sound.channels)
            interleaved.push_back(channel[i]);
    return measuredByLibebur128(interleaved, static_cast<int>(sound.channels.size()),
                                static_cast<unsigned>(sound.sampleRate));
}

} // namespace tarvel::test
