#include "tools/fingerprint/random_programme.h"

#include <algorithm>

namespace tarvel::fingerprint {

namespace {

void rotate(double (&p)[2], double c, double s)
{
    const double x = p[0] * c - p[1] * s;
    const double y = p[0] * s + p[1] * c;
    p[0] = x;
    p[1] = y;
}

// Levels from silence to full scale, about 10 dB apart.
constexpr double levels[] = {0.0, 1e-5, 3e-5, 1e-4, 3e-4, 1e-3, 3e-3, 0.01, 0.03, 0.1, 0.3, 0.6, 1.0};

} // namespace

RandomProgramme::RandomProgramme(std::uint32_t seed, std::int64_t frames)
    : state(seed ? seed : 1u), remaining(std::max<std::int64_t>(frames, 0))
{
}

std::uint32_t RandomProgramme::random()
{
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

std::int32_t RandomProgramme::nextBlock(host::EffectHost& effect)
{
    // Mostly small edits on one of the four knobs, now and then Bypass or
    // Speed (the latter restarts processing), in about one block of eight.
    if (random() % 8 == 0) {
        const std::uint32_t choice = random() % 20;
        const std::uint32_t id = choice == 0 ? 0u : choice == 1 ? 1u : 2u + choice % 3;
        const double value = id == 0 ? double(random() % 2) : unit();
        effect.setParameter(id, value);
    }
    // Lengths from a single frame to the maximum, short ones more often.
    const std::uint32_t shape = random() % 4;
    const std::uint32_t limit = shape == 0 ? 16u : shape == 1 ? 256u : std::uint32_t(maxBlockSize);
    const auto length = std::int32_t(std::min<std::int64_t>(1 + random() % limit, remaining));
    remaining -= length;
    return length;
}

void RandomProgramme::nextFrame(double& left, double& right)
{
    if (segmentLeft-- <= 0) {
        level = levels[random() % std::size(levels)];
        segmentLeft = 2400 + random() % 96000; // 50 ms to 2 s at 48 kHz
    }
    // Oscillators as rotations: cos and sin of 2 pi f / 48000 for f = 440 and 97.
    rotate(a, 0.9983418166140283, 0.057564026959567284);
    rotate(b, 0.999919390746358, 0.012696929133930989);
    const double white = unit() - 0.5;
    left = level * (0.5 * a[1] + 0.5 * white);
    right = level * (0.3 * a[1] + 0.4 * b[1] - 0.3 * white);
}

} // namespace tarvel::fingerprint
