#pragma once
// The built-in demo: half a minute of stereo music-like material that moves
// between loud and quiet passages, so a render shows the compressor pulling
// the loudness range together. Deterministic: every run is the same.

#include "tools/render/audio_stream.h"

namespace tarvel::render {

class DemoSignal final : public AudioSource {
public:
    static constexpr double sampleRate = 48000.0;
    static constexpr double seconds = 30.0;

    StreamFormat format() const override;
    std::string name() const override { return "built-in demo"; }
    std::int64_t read(double* interleaved, std::int64_t frames) override;

private:
    double sample(std::int64_t frame, int channel);

    std::int64_t position = 0;
    std::uint32_t noiseState = 0x2545F491u;
    double pinkLeft[3]{};
    double pinkRight[3]{};
};

} // namespace tarvel::render
