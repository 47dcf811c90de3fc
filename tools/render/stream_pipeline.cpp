#include "tools/render/stream_pipeline.h"

#include <algorithm>

namespace tarvel::render {

namespace {

// A reused buffer if one came back, else a new one, sized for a chunk.
Chunk emptyChunk(ChunkQueue& returned, std::int32_t channels)
{
    Chunk chunk = returned.tryPop().value_or(Chunk{});
    chunk.samples.resize(static_cast<std::size_t>(pipelineChunkFrames * channels));
    chunk.frames = 0;
    chunk.last = false;
    chunk.failure = nullptr;
    return chunk;
}

} // namespace

ReadAhead::ReadAhead(AudioSource& source, LoudnessMeter& meter)
    : streamFormat(source.format()), sourceName(source.name())
{
    reader = std::thread([this, &source, &meter] { produce(source, meter); });
}

ReadAhead::~ReadAhead()
{
    full.close();
    empty.close();
    reader.join();
}

void ReadAhead::produce(AudioSource& source, LoudnessMeter& meter)
{
    for (bool last = false; !last;) {
        Chunk chunk = emptyChunk(empty, streamFormat.channels);
        try {
            chunk.frames = source.read(chunk.samples.data(), pipelineChunkFrames);
            meter.add(chunk.samples.data(), chunk.frames);
            chunk.last = chunk.frames < pipelineChunkFrames;
        } catch (...) {
            chunk.frames = 0;
            chunk.last = true;
            chunk.failure = std::current_exception();
        }
        last = chunk.last;
        if (!full.push(std::move(chunk)))
            return;
    }
}

std::int64_t ReadAhead::read(double* interleaved, std::int64_t frames)
{
    const auto channels = static_cast<std::int64_t>(streamFormat.channels);
    std::int64_t done = 0;
    while (done < frames) {
        if (current.failure)
            std::rethrow_exception(current.failure);
        if (position == current.frames) {
            if (ended)
                break;
            std::optional<Chunk> next = full.pop();
            if (!next) {
                ended = true;
                break;
            }
            empty.offer(std::move(current));
            current = std::move(*next);
            position = 0;
            ended = current.last;
            continue;
        }
        const std::int64_t count = std::min(frames - done, current.frames - position);
        std::copy_n(current.samples.data() + position * channels, count * channels, interleaved + done * channels);
        position += count;
        done += count;
    }
    return done;
}

WriteBehind::WriteBehind(AudioSink* sink, LoudnessMeter& meter, std::int32_t channels)
    : channelCount(channels), current(emptyChunk(empty, channels))
{
    writer = std::thread([this, sink, &meter] { consume(sink, meter); });
}

WriteBehind::~WriteBehind()
{
    full.close();
    empty.close();
    if (writer.joinable())
        writer.join();
}

void WriteBehind::consume(AudioSink* sink, LoudnessMeter& meter)
{
    for (bool last = false; !last;) {
        std::optional<Chunk> chunk = full.pop();
        if (!chunk)
            return;
        try {
            meter.add(chunk->samples.data(), chunk->frames);
            if (sink)
                sink->write(chunk->samples.data(), chunk->frames);
        } catch (...) {
            {
                const std::lock_guard lock(failureMutex);
                failure = std::current_exception();
            }
            // Wakes a writer waiting for room; its push then fails.
            full.close();
            return;
        }
        last = chunk->last;
        empty.offer(std::move(*chunk));
    }
}

void WriteBehind::throwIfFailed()
{
    const std::lock_guard lock(failureMutex);
    if (failure)
        std::rethrow_exception(failure);
}

void WriteBehind::handOver(bool last)
{
    current.last = last;
    if (!full.push(std::move(current)))
        throwIfFailed();
    current = emptyChunk(empty, channelCount);
}

void WriteBehind::write(const double* interleaved, std::int64_t frames)
{
    throwIfFailed();
    const auto channels = static_cast<std::int64_t>(channelCount);
    while (frames > 0) {
        const std::int64_t count = std::min(frames, pipelineChunkFrames - current.frames);
        std::copy_n(interleaved, count * channels, current.samples.data() + current.frames * channels);
        current.frames += count;
        interleaved += count * channels;
        frames -= count;
        if (current.frames == pipelineChunkFrames)
            handOver(false);
    }
}

void WriteBehind::finish()
{
    handOver(true);
    writer.join();
    throwIfFailed();
}

} // namespace tarvel::render
