#include "tools/render/renderer.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <stdexcept>
#include <vector>

#include "tools/render/platform/file_system.h"
#include "tools/render/stream_pipeline.h"

namespace tarvel::render {

namespace {

// Planar buffers in the precision the plug-in is driven with.
template <typename Sample>
struct PlanarBlock {
    PlanarBlock(std::int32_t channels, std::int32_t frames)
        : storage(static_cast<std::size_t>(channels) * static_cast<std::size_t>(frames))
    {
        for (std::int32_t channel = 0; channel < channels; ++channel)
            pointers.push_back(storage.data() + static_cast<std::size_t>(channel) * static_cast<std::size_t>(frames));
    }

    void fromInterleaved(const double* interleaved, std::int32_t channels, std::int32_t frames)
    {
        for (std::int32_t frame = 0; frame < frames; ++frame)
            for (std::int32_t channel = 0; channel < channels; ++channel)
                pointers[static_cast<std::size_t>(channel)][frame] =
                    static_cast<Sample>(interleaved[frame * channels + channel]);
    }

    void toInterleaved(double* interleaved, std::int32_t channels, std::int32_t first, std::int32_t count) const
    {
        for (std::int32_t frame = 0; frame < count; ++frame)
            for (std::int32_t channel = 0; channel < channels; ++channel)
                interleaved[frame * channels + channel] = pointers[static_cast<std::size_t>(channel)][first + frame];
    }

    std::vector<Sample> storage;
    std::vector<Sample*> pointers;
};

template <typename Sample>
void renderIn(host::EffectHost& effect, AudioSource& source, AudioSink& sink, std::int32_t blockSize,
              RenderProgress* progress, RenderResult& result)
{
    const StreamFormat format = source.format();
    const std::int32_t channels = format.channels;
    const auto interleavedSize = static_cast<std::size_t>(blockSize) * static_cast<std::size_t>(channels);
    std::vector<double> interleavedIn(interleavedSize);
    std::vector<double> interleavedOut(interleavedSize);
    PlanarBlock<Sample> input(channels, blockSize);
    PlanarBlock<Sample> output(channels, blockSize);

    // The header's frame count only sizes the progress bar; the output is as
    // long as what could actually be read.
    std::int64_t expected = std::numeric_limits<std::int64_t>::max();
    std::int64_t read = 0;
    std::int64_t written = 0;
    std::int64_t toSkip = result.latency;
    bool sourceEnded = false;
    std::chrono::steady_clock::duration inPlugin{};

    while (written < expected || !sourceEnded) {
        if (interruptRequested())
            throw std::runtime_error("interrupted");
        std::int64_t got = 0;
        if (!sourceEnded) {
            got = source.read(interleavedIn.data(), blockSize);
            read += got;
            if (got < blockSize) {
                sourceEnded = true;
                expected = read;
            }
        }
        std::fill(interleavedIn.begin() + got * channels, interleavedIn.end(), 0.0);
        input.fromInterleaved(interleavedIn.data(), channels, blockSize);

        const auto started = std::chrono::steady_clock::now();
        effect.process(input.pointers.data(), output.pointers.data(), blockSize);
        inPlugin += std::chrono::steady_clock::now() - started;

        const std::int64_t skipped = std::min<std::int64_t>(toSkip, blockSize);
        toSkip -= skipped;
        const std::int64_t usable =
            std::min<std::int64_t>(blockSize - skipped, std::max<std::int64_t>(0, expected - written));
        if (sourceEnded && expected - written <= 0)
            break;
        if (usable > 0) {
            output.toInterleaved(interleavedOut.data(), channels, static_cast<std::int32_t>(skipped),
                                 static_cast<std::int32_t>(usable));
            sink.write(interleavedOut.data(), usable);
            written += usable;
        }
        if (progress)
            progress->framesRendered(written);
    }

    result.frames = written;
    result.processingSeconds = std::chrono::duration<double>(inPlugin).count();
}

// Reading, measuring and writing run beside the plug-in on threads of their
// own; the meters outlive them.
template <typename Sample>
RenderResult renderThroughPipeline(host::EffectHost& effect, AudioSource& source, AudioSink* sink,
                                   std::int32_t blockSize, RenderProgress* progress)
{
    const StreamFormat format = source.format();
    RenderResult result;
    result.latency = std::max<std::int32_t>(0, effect.latency());
    LoudnessMeter inputMeter(format.sampleRate, format.channels);
    LoudnessMeter outputMeter(format.sampleRate, format.channels);
    {
        ReadAhead reader(source, inputMeter);
        WriteBehind writer(sink, outputMeter, format.channels);
        renderIn<Sample>(effect, reader, writer, blockSize, progress, result);
        writer.finish();
    }
    result.input = inputMeter.report();
    result.output = outputMeter.report();
    result.inputShortTerm = inputMeter.shortTermHistory();
    result.outputShortTerm = outputMeter.shortTermHistory();
    return result;
}

} // namespace

RenderResult renderStream(host::EffectHost& effect, AudioSource& source, AudioSink* sink,
                          const RenderSettings& settings, RenderProgress* progress)
{
    std::mutex unshared;
    std::mutex& hostLock = settings.hostLock ? *settings.hostLock : unshared;
    const StreamFormat format = source.format();
    host::ProcessSetup setup;
    setup.sampleRate = format.sampleRate;
    setup.channels = format.channels;
    setup.maxBlockSize = settings.blockSize;
    setup.doublePrecision = settings.doublePrecision;
    {
        const std::lock_guard lock(hostLock);
        effect.prepare(setup);
    }
    if (progress)
        progress->started(format);
    RenderResult result;
    try {
        result = settings.doublePrecision
                     ? renderThroughPipeline<double>(effect, source, sink, settings.blockSize, progress)
                     : renderThroughPipeline<float>(effect, source, sink, settings.blockSize, progress);
    } catch (...) {
        const std::lock_guard lock(hostLock);
        effect.stop();
        throw;
    }
    const std::lock_guard lock(hostLock);
    effect.stop();
    return result;
}

} // namespace tarvel::render
