#include "tools/render/loudness_meter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace tarvel::render {

namespace {

using Lanes = double __attribute__((vector_size(16)));

Lanes splat(double value)
{
    return Lanes{value, value};
}

Lanes magnitude(Lanes x)
{
    return x < 0.0 ? -x : x;
}

Lanes larger(Lanes a, Lanes b)
{
    return a > b ? a : b;
}

// Filter memories this small stand for silence; zeroing them keeps a long
// silence from decaying into denormals, which cost a hundred times more.
Lanes flushedTiny(Lanes x)
{
    return magnitude(x) < 1e-200 ? splat(0.0) : x;
}

} // namespace

LoudnessMeter::LoudnessMeter(double sampleRate, std::int32_t channels)
    : k(kWeightingFor(sampleRate)), channelCount(channels),
      // A mono file is heard on both speakers: BS.1770 meters count it as
      // the left and right channel of a stereo signal (dual mono).
      channelWeight(channels == 1 ? 2.0 : 1.0),
      framesPerStep(std::max<std::int64_t>(1, std::llround(sampleRate * meterStepSeconds)))
{
    if (channels != 1 && channels != 2)
        throw std::invalid_argument("only mono and stereo loudness is measured");
}

template <int channels>
void LoudnessMeter::filter(const double* interleaved, std::int64_t frames)
{
    const Lanes b0 = splat(k.shelfB0), b1 = splat(k.shelfB1), b2 = splat(k.shelfB2);
    const Lanes a1 = splat(k.shelfA1), a2 = splat(k.shelfA2);
    const Lanes h1 = splat(k.highPassA1), h2 = splat(k.highPassA2);
    const Lanes two = splat(2.0);
    // Local copies, so the compiler keeps the recursion in registers.
    Lanes sx1 = x1, sx2 = x2, sy1 = y1, sy2 = y2, sz1 = z1, sz2 = z2, sum = energy, top = peak;
    for (std::int64_t i = 0; i < frames; ++i) {
        Lanes x;
        if constexpr (channels == 2)
            std::memcpy(&x, interleaved + 2 * i, sizeof x);
        else
            x = Lanes{interleaved[i], 0.0};
        top = larger(top, magnitude(x));
        // The previous output's term comes last: it alone waits on the
        // previous frame, so the rest overlaps with that frame's work.
        const Lanes y = (b0 * x + b1 * sx1 + b2 * sx2 - a2 * sy2) - a1 * sy1;
        const Lanes z = ((y - two * sy1 + sy2) - h2 * sz2) - h1 * sz1;
        sum += z * z;
        sx2 = sx1;
        sx1 = x;
        sy2 = sy1;
        sy1 = y;
        sz2 = sz1;
        sz1 = z;
    }
    x1 = sx1, x2 = sx2, y1 = sy1, y2 = sy2, z1 = sz1, z2 = sz2, energy = sum, peak = top;
}

void LoudnessMeter::add(const double* interleaved, std::int64_t frames)
{
    while (frames > 0) {
        const std::int64_t step = std::min(frames, framesPerStep - framesInStep);
        if (channelCount == 2)
            filter<2>(interleaved, step);
        else
            filter<1>(interleaved, step);
        interleaved += step * channelCount;
        frames -= step;
        framesInStep += step;
        if (framesInStep == framesPerStep)
            endStep();
    }
    x1 = flushedTiny(x1), x2 = flushedTiny(x2), y1 = flushedTiny(y1), y2 = flushedTiny(y2);
    z1 = flushedTiny(z1), z2 = flushedTiny(z2);
}

void LoudnessMeter::endStep()
{
    stepEnergies.push_back(channelWeight * (energy[0] + energy[1]) / static_cast<double>(framesPerStep));
    energy = Lanes{};
    framesInStep = 0;
}

LoudnessReport LoudnessMeter::report() const
{
    LoudnessReport result;
    result.integrated = integratedLoudness(stepEnergies);
    result.range = loudnessRange(stepEnergies);
    const std::vector<double> shortTerm = shortTermLevels(stepEnergies, WindowStart::silenceBefore);
    result.maxShortTerm = -std::numeric_limits<double>::infinity();
    for (double level : shortTerm)
        result.maxShortTerm = std::max(result.maxShortTerm, level);
    const double highest = std::max(peak[0], peak[1]);
    result.samplePeak = highest > 0.0 ? 20.0 * std::log10(highest) : -std::numeric_limits<double>::infinity();
    return result;
}

std::vector<double> LoudnessMeter::shortTermHistory() const
{
    return shortTermLevels(stepEnergies, WindowStart::audioSoFar);
}

} // namespace tarvel::render
