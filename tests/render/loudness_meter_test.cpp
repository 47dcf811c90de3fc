// The render tool's own loudness meter held to libebur128, an independent
// BS.1770 / EBU R128 implementation, on programme-like material.

#include <gtest/gtest.h>

#include <ebur128.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "support/signals.h"
#include "tools/render/loudness_meter.h"

namespace tarvel::render {
namespace {

using Interleaved = std::vector<double>;

struct Reference {
    LoudnessReport report;
    std::vector<double> shortTerm; // read every 100 ms
};

Reference measuredByLibebur128(const Interleaved& samples, int channels, unsigned sampleRate)
{
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(static_cast<unsigned>(channels), sampleRate,
                     EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_S | EBUR128_MODE_SAMPLE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (channels == 1)
        ebur128_set_channel(state.get(), 0, EBUR128_DUAL_MONO);
    Reference result;
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    const std::size_t step = (sampleRate + 5) / 10;
    for (std::size_t done = 0; done + step <= frames; done += step) {
        ebur128_add_frames_double(state.get(), samples.data() + done * static_cast<std::size_t>(channels), step);
        double level = 0.0;
        ebur128_loudness_shortterm(state.get(), &level);
        result.shortTerm.push_back(level);
    }
    const std::size_t rest = frames % step;
    ebur128_add_frames_double(state.get(), samples.data() + (frames - rest) * static_cast<std::size_t>(channels), rest);
    ebur128_loudness_global(state.get(), &result.report.integrated);
    ebur128_loudness_range(state.get(), &result.report.range);
    double peak = 0.0;
    for (int c = 0; c < channels; ++c) {
        double channelPeak = 0.0;
        ebur128_sample_peak(state.get(), static_cast<unsigned>(c), &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    result.report.samplePeak = 20.0 * std::log10(peak);
    result.report.maxShortTerm = -INFINITY;
    for (double level : result.shortTerm)
        result.report.maxShortTerm = std::max(result.report.maxShortTerm, level);
    return result;
}

// Fed in uneven pieces, so that steps end inside pieces and between them.
LoudnessMeter measured(const Interleaved& samples, int channels, double sampleRate)
{
    LoudnessMeter meter(sampleRate, channels);
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pieceLength(1, 9000);
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    for (std::size_t done = 0; done < frames;) {
        const std::size_t piece = std::min(pieceLength(random), frames - done);
        meter.add(samples.data() + done * static_cast<std::size_t>(channels), static_cast<std::int64_t>(piece));
        done += piece;
    }
    return meter;
}

void expectSameLevel(double ours, double reference, const char* what)
{
    if (std::isinf(reference)) {
        EXPECT_EQ(ours, reference) << what;
    } else {
        EXPECT_NEAR(ours, reference, 0.05) << what;
    }
}

void expectAgreement(const Interleaved& samples, int channels, unsigned sampleRate)
{
    const LoudnessMeter meter = measured(samples, channels, sampleRate);
    const LoudnessReport ours = meter.report();
    const Reference reference = measuredByLibebur128(samples, channels, sampleRate);
    expectSameLevel(ours.integrated, reference.report.integrated, "integrated");
    EXPECT_NEAR(ours.range, reference.report.range, 0.05) << "range";
    expectSameLevel(ours.maxShortTerm, reference.report.maxShortTerm, "max short-term");
    expectSameLevel(ours.samplePeak, reference.report.samplePeak, "sample peak");
    const std::vector<double> history = meter.shortTermHistory();
    ASSERT_EQ(history.size(), reference.shortTerm.size());
    for (std::size_t i = 0; i < history.size(); ++i) {
        if (reference.shortTerm[i] > -70.0) {
            ASSERT_NEAR(history[i], reference.shortTerm[i], 0.05) << "short-term at step " << i;
        }
    }
}

// Passages of random length, level, colour and width, with silences and
// abrupt jumps: what broadcast and music programmes put a meter through.
Interleaved randomProgramme(double seconds, int channels, unsigned sampleRate, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    Interleaved samples;
    samples.reserve(frames * static_cast<std::size_t>(channels));
    while (samples.size() < frames * static_cast<std::size_t>(channels)) {
        const auto length = static_cast<std::int64_t>((0.2 + 9.0 * unit(random)) * sampleRate);
        const double gain = unit(random) < 0.1 ? 0.0 : std::pow(10.0, (-55.0 + 55.0 * unit(random)) / 20.0);
        const double width = unit(random);
        const auto noise = test::pinkNoise(1.0, length, static_cast<std::uint32_t>(random()));
        const auto other = test::pinkNoise(1.0, length, static_cast<std::uint32_t>(random()));
        const auto tone = test::sine(60.0 + 4000.0 * unit(random), 0.5, static_cast<std::int32_t>(sampleRate), length);
        for (std::int64_t i = 0; i < length; ++i) {
            const auto n = static_cast<std::size_t>(i);
            const double mid = noise[n] + tone[n];
            samples.push_back(gain * mid);
            if (channels == 2)
                samples.push_back(gain * ((1.0 - width) * mid + width * other[n]));
        }
    }
    samples.resize(frames * static_cast<std::size_t>(channels));
    return samples;
}

TEST(LoudnessMeter, AgreesWithLibebur128OnLongRandomProgrammes)
{
    expectAgreement(randomProgramme(300.0, 2, 48000, 1), 2, 48000);
    expectAgreement(randomProgramme(120.0, 1, 44100, 2), 1, 44100);
    expectAgreement(randomProgramme(60.0, 2, 96000, 3), 2, 96000);
}

TEST(LoudnessMeter, AgreesWithLibebur128OnTestSignals)
{
    // A 997 Hz sine at -20 dBFS on both channels, steady.
    const auto sine = test::sine(997.0, 0.1, 48000, 48000 * 20);
    Interleaved stereoSine;
    for (float s : sine)
        stereoSine.insert(stereoSine.end(), {s, s});
    expectAgreement(stereoSine, 2, 48000);
    // -23.01 LUFS on each channel (K-weighting is flat enough at 997 Hz),
    // two channels add 3.01 LU.
    EXPECT_NEAR(measured(stereoSine, 2, 48000).report().integrated, -20.0, 0.05);

    // Loud and quiet halves: the quiet one falls under the relative gate for
    // the integrated level but still counts in the range.
    Interleaved steps;
    for (int i = 0; i < 48000 * 30; ++i) {
        const double gain = i < 48000 * 15 ? 0.5 : 0.02;
        steps.push_back(gain * sine[static_cast<std::size_t>(i) % sine.size()]);
    }
    expectAgreement(steps, 1, 48000);

    // Shorter than one 3 s block, shorter than one 400 ms block, silence.
    expectAgreement(Interleaved(stereoSine.begin(), stereoSine.begin() + 2 * 48000 * 2), 2, 48000);
    expectAgreement(Interleaved(stereoSine.begin(), stereoSine.begin() + 2 * 14400), 2, 48000);
    const LoudnessReport silence = measured(Interleaved(2 * 48000 * 5, 0.0), 2, 48000).report();
    EXPECT_EQ(silence.integrated, -INFINITY);
    EXPECT_EQ(silence.maxShortTerm, -INFINITY);
    EXPECT_EQ(silence.samplePeak, -INFINITY);
    EXPECT_EQ(silence.range, 0.0);
}

TEST(LoudnessMeter, RefusesWhatItCannotMeasure)
{
    EXPECT_THROW(LoudnessMeter(48000.0, 3), std::invalid_argument);
    EXPECT_THROW(LoudnessMeter(2000.0, 2), std::invalid_argument);
    EXPECT_NO_THROW(LoudnessMeter(8000.0, 1));
}

} // namespace
} // namespace tarvel::render
