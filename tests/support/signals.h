#pragma once
// Deterministic test signals.

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace tarvel::test {

inline std::vector<float> sine(double frequency, double amplitude, std::int32_t sampleRate, std::int64_t length,
                               double phase = 0.0)
{
    std::vector<float> out(static_cast<std::size_t>(length));
    for (std::int64_t i = 0; i < length; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<float>(
            amplitude * std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate + phase));
    return out;
}

// Pink noise by summing random rows refreshed at octave-spaced rates (row r
// changes every 2^r samples), which gives a 1/f spectrum over the audio band.
inline std::vector<float> pinkNoise(double amplitude, std::int64_t length, std::uint32_t seed)
{
    constexpr int rows = 16;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    double row[rows];
    double sum = 0.0;
    for (double& r : row) {
        r = uniform(random);
        sum += r;
    }
    std::vector<float> out(static_cast<std::size_t>(length));
    for (std::int64_t i = 0; i < length; ++i) {
        const int changed = std::countr_zero(static_cast<std::uint64_t>(i + 1)) % rows;
        sum -= row[changed];
        row[changed] = uniform(random);
        sum += row[changed];
        out[static_cast<std::size_t>(i)] = static_cast<float>(amplitude * (sum + uniform(random)) / (rows + 1));
    }
    return out;
}

inline std::vector<float> whiteNoise(double amplitude, std::int64_t length, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> uniform(-amplitude, amplitude);
    std::vector<float> out(static_cast<std::size_t>(length));
    for (auto& sample : out)
        sample = static_cast<float>(uniform(random));
    return out;
}

inline double rms(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(x[i]) * static_cast<double>(x[i]);
    return std::sqrt(sum / static_cast<double>(to - from));
}

} // namespace tarvel::test
