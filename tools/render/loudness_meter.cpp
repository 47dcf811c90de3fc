#include "tools/render/loudness_meter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvel::render {

namespace {

// The short-term window is read every 100 ms, as loudness meters do.
constexpr double readingInterval = 0.1;

} // namespace

struct LoudnessMeter::Measurement {
    ebur128_state* state = nullptr;
};

LoudnessMeter::LoudnessMeter(double sampleRate, std::int32_t channels)
    : channelCount(channels), framesPerReading(std::max<std::int64_t>(1, static_cast<std::int64_t>(sampleRate * readingInterval))),
      highestShortTerm(-std::numeric_limits<double>::infinity())
{
    ebur128_state* state = ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(sampleRate),
                         EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_S);
    if (!state)
        throw std::runtime_error("cannot measure loudness at this sample rate");
    // A mono file is heard on both speakers: count it as the left and right
    // channel of a stereo signal, the way BS.1770 meters treat dual mono.
    if (channels == 1)
        ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
    measurement = new Measurement{state};
}

LoudnessMeter::~LoudnessMeter()
{
    ebur128_destroy(&measurement->state);
    delete measurement;
}

void LoudnessMeter::add(const double* interleaved, std::int64_t frames)
{
    ebur128_state* state = measurement->state;
    const auto channels = static_cast<std::int64_t>(channelCount);
    while (frames > 0) {
        const std::int64_t step = std::min(frames, framesPerReading - framesSinceReading);
        ebur128_add_frames_double(state, interleaved, static_cast<size_t>(step));
        interleaved += step * channels;
        frames -= step;
        framesSinceReading += step;
        if (framesSinceReading == framesPerReading) {
            framesSinceReading = 0;
            sampleShortTerm();
        }
    }
}

void LoudnessMeter::sampleShortTerm()
{
    double shortTerm = 0.0;
    if (ebur128_loudness_shortterm(measurement->state, &shortTerm) == EBUR128_SUCCESS && std::isfinite(shortTerm))
        highestShortTerm = std::max(highestShortTerm, shortTerm);
}

LoudnessReport LoudnessMeter::report() const
{
    LoudnessReport result;
    result.maxShortTerm = highestShortTerm;
    if (ebur128_loudness_global(measurement->state, &result.integrated) != EBUR128_SUCCESS)
        result.integrated = -std::numeric_limits<double>::infinity();
    if (ebur128_loudness_range(measurement->state, &result.range) != EBUR128_SUCCESS)
        result.range = 0.0;
    return result;
}

} // namespace tarvel::render
