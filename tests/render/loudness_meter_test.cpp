// The render tool's own loudness meter held to libebur128, an independent
// BS.1770 / EBU R128 implementation, on programme-like material.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "support/reference_loudness.h"
#include "support/signals.h"
#include "tools/render/loudness_meter.h"

namespace tarvel::render {
namespace {

using Interleaved = std::vector<double>;

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
    const test::ReferenceLoudness reference =
        test::referenceLoudness(samples, static_cast<unsigned>(channels), sampleRate, test::MonoAs::DualMono);
    expectSameLevel(ours.integrated, reference.integrated, "integrated");
    EXPECT_NEAR(ours.range, reference.range, 0.05) << "range";
    expectSameLevel(ours.maxShortTerm, reference.maxShortTerm, "max short-term");
    expectSameLevel(ours.samplePeak, reference.samplePeak, "sample peak");
    const std::vector<double> history = meter.shortTermHistory();
    ASSERT_EQ(history.size(), reference.history.size());
    for (std::size_t i = 0; i < history.size(); ++i) {
        if (reference.history[i] > -70.0) {
            ASSERT_NEAR(history[i], reference.history[i], 0.05) << "short-term at step " << i;
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
                samples.push_back(gain * ((1.0 - width) * mid + width * static_cast<double>(other[n])));
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
    // two channels add 3.01 LU; the history is steady from its first step.
    const LoudnessMeter steady = measured(stereoSine, 2, 48000);
    EXPECT_NEAR(steady.report().integrated, -20.0, 0.05);
    EXPECT_NEAR(steady.shortTermHistory().front(), -20.0, 0.05);

    // Loud and quiet halves: the quiet one falls under the relative gate for
    // the integrated level but still counts in the range.
    Interleaved steps;
    for (int i = 0; i < 48000 * 30; ++i) {
        const double gain = i < 48000 * 15 ? 0.5 : 0.02;
        steps.push_back(gain * static_cast<double>(sine[static_cast<std::size_t>(i) % sine.size()]));
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
