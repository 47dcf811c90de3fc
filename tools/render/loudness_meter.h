#pragma once
// Loudness of a whole stream by libebur128: integrated loudness, loudness
// range and the highest short-term loudness.

#include <cstdint>

namespace tarvel::render {

struct LoudnessReport {
    double integrated = 0.0;   // LUFS; -inf for silence
    double range = 0.0;        // LU
    double maxShortTerm = 0.0; // LUFS; -inf for silence
};

class LoudnessMeter {
public:
    LoudnessMeter(double sampleRate, std::int32_t channels);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void add(const double* interleaved, std::int64_t frames);
    LoudnessReport report() const;

private:
    void sampleShortTerm();

    struct Measurement;
    Measurement* measurement = nullptr;
    std::int32_t channelCount;
    std::int64_t framesPerReading;
    std::int64_t framesSinceReading = 0;
    double highestShortTerm;
};

} // namespace tarvel::render
