#pragma once
// Reading and writing on threads of their own, beside the thread that runs
// the plug-in, each measuring the loudness of what passes through it: a
// render then takes about as long as the slowest of reading, processing and
// writing, not their sum. What comes out is the same, frame for frame, as
// reading and writing on the render thread.

#include <cstdint>
#include <string>
#include <thread>

#include "tools/render/audio_stream.h"
#include "tools/render/chunk_queue.h"
#include "tools/render/loudness_meter.h"

namespace tarvel::render {

// Frames moved between threads at a time.
inline constexpr std::int64_t pipelineChunkFrames = 65536;

// Reads the source ahead and measures what it reads. Like the source, a read
// returns fewer frames than asked only at the end; the reading thread's
// errors are thrown by the read that reaches them.
class ReadAhead final : public AudioSource {
public:
    // source and meter must outlive this.
    ReadAhead(AudioSource& source, LoudnessMeter& meter);
    ~ReadAhead() override;

    StreamFormat format() const override { return streamFormat; }
    std::string name() const override { return sourceName; }
    std::int64_t read(double* interleaved, std::int64_t frames) override;

private:
    void produce(AudioSource& source, LoudnessMeter& meter);

    StreamFormat streamFormat;
    std::string sourceName;
    ChunkQueue full;
    ChunkQueue empty;
    Chunk current;
    std::int64_t position = 0; // frames of current already handed out
    bool ended = false;
    std::thread reader;
};

// Measures what is written and writes it to the sink, if any. finish()
// waits for the last frame and throws the writing thread's error, as does a
// write after that error.
class WriteBehind final : public AudioSink {
public:
    // sink (may be null) and meter must outlive this.
    WriteBehind(AudioSink* sink, LoudnessMeter& meter, std::int32_t channels);
    ~WriteBehind() override;

    void write(const double* interleaved, std::int64_t frames) override;
    void finish();

private:
    void consume(AudioSink* sink, LoudnessMeter& meter);
    void handOver(bool last);
    void throwIfFailed();

    std::int32_t channelCount;
    ChunkQueue full;
    ChunkQueue empty;
    Chunk current;
    std::exception_ptr failure;
    std::mutex failureMutex;
    std::thread writer;
};

} // namespace tarvel::render
