// Reading and writing on their own threads: the frames that come through,
// the errors, and stopping early, none of which may hang a render.

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>

#include "tools/render/stream_pipeline.h"

namespace tarvel::render {
namespace {

// Stereo frames numbered 0, 1, 2, ... on both channels; fails at failAt.
class CountingSource final : public AudioSource {
public:
    CountingSource(std::int64_t frameCount, std::int64_t failAt = -1) : total(frameCount), failure(failAt) {}
    StreamFormat format() const override { return {48000.0, 2, total}; }
    std::string name() const override { return "counting"; }
    std::int64_t read(double* interleaved, std::int64_t frames) override
    {
        const std::int64_t count = std::min(frames, total - position);
        for (std::int64_t i = 0; i < count; ++i, ++position) {
            if (position == failure)
                throw std::runtime_error("the disk went away");
            interleaved[2 * i] = interleaved[2 * i + 1] = static_cast<double>(position);
        }
        return count;
    }

private:
    std::int64_t total, failure, position = 0;
};

class CollectingSink final : public AudioSink {
public:
    explicit CollectingSink(std::int64_t failAfter = -1) : failure(failAfter) {}
    void write(const double* interleaved, std::int64_t frames) override
    {
        if (failure >= 0 && static_cast<std::int64_t>(left.size()) + frames > failure)
            throw std::runtime_error("disk full");
        for (std::int64_t i = 0; i < frames; ++i)
            left.push_back(interleaved[2 * i]);
    }
    std::vector<double> left;

private:
    std::int64_t failure;
};

TEST(StreamPipeline, FramesComeThroughInOrderWhateverTheBlockSizes)
{
    const std::int64_t total = 3 * pipelineChunkFrames + 1000;
    CountingSource source(total);
    CollectingSink sink;
    LoudnessMeter inputMeter(48000.0, 2), outputMeter(48000.0, 2);
    {
        ReadAhead reader(source, inputMeter);
        WriteBehind writer(&sink, outputMeter, 2);
        std::vector<double> block(2 * pipelineChunkFrames);
        const std::int64_t sizes[] = {1, 511, 7000, pipelineChunkFrames, 300};
        for (std::size_t round = 0;; ++round) {
            const std::int64_t size = sizes[round % std::size(sizes)];
            const std::int64_t got = reader.read(block.data(), size);
            writer.write(block.data(), got);
            if (got < size)
                break;
        }
        EXPECT_EQ(reader.read(block.data(), 10), 0) << "past the end";
        writer.finish();
    }
    std::vector<double> expected(static_cast<std::size_t>(total));
    std::iota(expected.begin(), expected.end(), 0.0);
    EXPECT_EQ(sink.left, expected);
    // Both meters saw every frame.
    EXPECT_EQ(inputMeter.shortTermHistory().size(), static_cast<std::size_t>(total / 4800));
    EXPECT_EQ(outputMeter.shortTermHistory(), inputMeter.shortTermHistory());
}

TEST(StreamPipeline, ErrorsArriveWhereTheyHappenedAndNothingHangs)
{
    LoudnessMeter meter(48000.0, 2);
    std::vector<double> block(2 * 4096);
    {
        CountingSource failing(10 * pipelineChunkFrames, pipelineChunkFrames + 5);
        ReadAhead reader(failing, meter);
        for (std::int64_t done = 0; done < pipelineChunkFrames; done += 4096)
            ASSERT_EQ(reader.read(block.data(), 4096), 4096);
        EXPECT_THROW(reader.read(block.data(), 4096), std::runtime_error);
        EXPECT_THROW(reader.read(block.data(), 4096), std::runtime_error) << "and stays failed";
    }
    {
        CollectingSink full(2 * pipelineChunkFrames);
        WriteBehind writer(&full, meter, 2);
        EXPECT_THROW(
            {
                for (int i = 0; i < 1000; ++i)
                    writer.write(block.data(), 4096);
                writer.finish();
            },
            std::runtime_error);
    }
    // Abandoned with the reader far ahead and the writer holding data: the
    // destructors stop both threads.
    CountingSource endless(std::int64_t(1) << 40);
    CollectingSink sink;
    ReadAhead reader(endless, meter);
    WriteBehind writer(&sink, meter, 2);
    writer.write(block.data(), reader.read(block.data(), 4096));
}

} // namespace
} // namespace tarvel::render
