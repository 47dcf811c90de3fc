#include "tools/render/demo_signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvel::render {

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// Six-second passages: level in dBFS of the tonal part, level of the noise
// part, and how far the right channel departs from the left (stereo width).
struct Passage {
    double toneDb;
    double noiseDb;
    double width;
    double rootHz;
};

constexpr Passage passages[] = {
    {-9.0, -14.0, 0.2, 220.0},  // loud band
    {-27.0, -38.0, 0.1, 329.6}, // quiet pad
    {-21.0, -24.0, 0.5, 293.7}, // medium, wide
    {-6.0, -12.0, 0.3, 164.8},  // loudest
    {-24.0, -32.0, 0.8, 392.0}, // quiet and wide
};
constexpr double passageSeconds = 6.0;
constexpr double fadeSeconds = 0.05;

double decibels(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace

StreamFormat DemoSignal::format() const
{
    return {sampleRate, 2, static_cast<std::int64_t>(sampleRate * seconds)};
}

std::int64_t DemoSignal::read(double* interleaved, std::int64_t frames)
{
    const std::int64_t total = format().frames;
    const std::int64_t count = std::clamp<std::int64_t>(total - position, 0, frames);
    for (std::int64_t i = 0; i < count; ++i, ++position) {
        interleaved[2 * i] = sample(position, 0);
        interleaved[2 * i + 1] = sample(position, 1);
    }
    return count;
}

double DemoSignal::sample(std::int64_t frame, int channel)
{
    const double time = static_cast<double>(frame) / sampleRate;
    const int index = std::min<int>(static_cast<int>(time / passageSeconds), std::size(passages) - 1);
    const Passage& passage = passages[index];
    const double inPassage = time - index * passageSeconds;
    const double fade = std::min({1.0, inPassage / fadeSeconds, (passageSeconds - inPassage) / fadeSeconds});

    // A minor chord with a slow tremolo, the right channel slightly detuned.
    const double detune = channel == 0 ? 1.0 : 1.0 + 0.004 * passage.width;
    const double tremolo = 0.75 + 0.25 * std::sin(twoPi * 2.0 * time);
    double tone = 0.0;
    for (double interval : {1.0, 1.189, 1.498, 2.0})
        tone += std::sin(twoPi * passage.rootHz * interval * detune * time) * 0.25;

    // Pinkish noise (three one-pole bands of white noise), beating like a
    // drum on every half second.
    noiseState = noiseState * 1664525u + 1013904223u;
    const double white = static_cast<double>(noiseState) / 4294967296.0 * 2.0 - 1.0;
    double* bands = channel == 0 ? pinkLeft : pinkRight;
    bands[0] = 0.997 * bands[0] + 0.029591 * white;
    bands[1] = 0.985 * bands[1] + 0.032534 * white;
    bands[2] = 0.950 * bands[2] + 0.048056 * white;
    const double pink = (bands[0] + bands[1] + bands[2] + 0.1848 * white) * 2.0;
    const double beat = std::exp(-8.0 * std::fmod(time, 0.5));

    const double mix = tone * tremolo * decibels(passage.toneDb) + pink * beat * decibels(passage.noiseDb);
    return mix * fade;
}

} // namespace tarvel::render
