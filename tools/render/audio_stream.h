#pragma once
// Where rendered audio comes from and goes to: interleaved double frames.

#include <cstdint>
#include <string>

namespace tarvel::render {

struct StreamFormat {
    double sampleRate = 48000.0;
    std::int32_t channels = 2;
    std::int64_t frames = 0;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual StreamFormat format() const = 0;
    // What the report calls this source.
    virtual std::string name() const = 0;
    // Reads up to frames interleaved frames; returns how many were read
    // (0 at the end). Throws std::runtime_error on a read error.
    virtual std::int64_t read(double* interleaved, std::int64_t frames) = 0;
};

class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual void write(const double* interleaved, std::int64_t frames) = 0;
};

} // namespace tarvel::render
