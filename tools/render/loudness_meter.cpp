#include "tools/render/loudness_meter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvel::render {

namespace {

// Filter memories this small stand for silence; zeroing them keeps a long
// silence from decaying into denormals, which cost a hundred times more.
DoublePair flushedTiny(DoublePair x) { return zeroBelow(x, 1e-200); }

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
    const DoublePair b0(k.shelfB0), b1(k.shelfB1), b2(k.shelfB2);
    const DoublePair a1(k.shelfA1), a2(k.shelfA2);
    const DoublePair h1(k.highPassA1), h2(k.highPassA2);
    const DoublePair two(2.0);
    // Local copies, so the compiler keeps the recursion in registers.
    DoublePair sx1 = x1, sx2 = x2, sy1 = y1, sy2 = y2, sz1 = z1, sz2 = z2, sum = energy, top = peak;
    for (std::int64_t i = 0; i < frames; ++i) {
        DoublePair x;
        if constexpr (channels == 2)
            x = DoublePair::loadUnaligned(interleaved + 2 * i);
        else
            x = DoublePair(interleaved[i], 0.0);
        top = maximum(top, magnitude(x));
        // The previous output's term comes last: it alone waits on the
        // previous frame, so the rest overlaps with that frame's work.
        // y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2];
        // z[n] = y[n] - 2 y[n-1] + y[n-2] - h1 z[n-1] - h2 z[n-2]
        const DoublePair y = (b0 * x + b1 * sx1 + b2 * sx2 - a2 * sy2) - a1 * sy1;
        const DoublePair z = ((y - two * sy1 + sy2) - h2 * sz2) - h1 * sz1;
        sum = sum + z * z;
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
    stepEnergies.push_back(channelWeight * (energy.lane(0) + energy.lane(1)) / static_cast<double>(framesPerStep));
    energy = DoublePair();
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
    const double highest = std::max(peak.lane(0), peak.lane(1));
    result.samplePeak = highest > 0.0 ? 20.0 * std::log10(highest) : -std::numeric_limits<double>::infinity();
    return result;
}

std::vector<double> LoudnessMeter::shortTermHistory() const
{
    return shortTermLevels(stepEnergies, WindowStart::audioSoFar);
}

} // namespace tarvel::render
