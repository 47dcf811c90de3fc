#pragma once

#include <cstdint>

#include "tools/host/effect_host.h"

namespace tarvel::fingerprint {

// A long, irregular programme for comparing two builds sample for sample:
// noise and two tones at levels that jump at random (silence and full scale
// among them), blocks of random length, and every parameter moved at random
// blocks, Speed included (a new latency restarts processing). Only integer
// arithmetic, additions and multiplications decide the samples, so every
// platform's floating point makes the same ones.
class RandomProgramme {
public:
    static constexpr std::int32_t maxBlockSize = 2048;

    RandomProgramme(std::uint32_t seed, std::int64_t frames);

    bool done() const { return remaining == 0; }
    // Applies this block's edits and answers its length.
    std::int32_t nextBlock(host::EffectHost& effect);
    void nextFrame(double& left, double& right);

private:
    std::uint32_t random();
    double unit() { return double(random()) / 4294967296.0; }

    std::uint32_t state;
    std::int64_t remaining;
    std::int64_t segmentLeft = 0;
    double level = 0.0;
    double a[2] = {1.0, 0.0};
    double b[2] = {1.0, 0.0};
};

} // namespace tarvel::fingerprint
