// The run form of the delay line against its per-sample form.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "processor/engine/delay_line.h"

namespace tarvel {
namespace {

// Runs of random length (crossing the buffer's wrap many times) with the
// delay changed between runs, including 0 and the full capacity.
void expectRunsMatchSamples(std::int32_t capacity, std::uint32_t seed)
{
    DelayLine perSample(capacity), perRun(capacity);
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::int32_t> runLength(1, 3 * capacity + 70);
    std::uniform_int_distribution<std::int32_t> delay(-1, capacity + 1);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    std::vector<float> in, expected, got;
    std::int64_t compared = 0;
    for (int run = 0; run < 200; ++run) {
        if (run % 3 == 0) {
            const std::int32_t d = delay(random);
            perSample.setDelay(d);
            perRun.setDelay(d);
        }
        const std::int32_t n = runLength(random);
        in.resize(static_cast<std::size_t>(n));
        for (float& x : in)
            x = value(random);
        expected.resize(in.size());
        got.assign(in.size(), 99.0f);
        for (std::size_t j = 0; j < in.size(); ++j)
            expected[j] = perSample.process(in[j]);
        perRun.processRun(in.data(), got.data(), n);
        ASSERT_EQ(got, expected) << "capacity " << capacity << " run " << run;
        compared += n;
    }
    EXPECT_GT(compared, 200 * capacity);
}

TEST(DelayLineRun, GivesTheSamplesOfPerSampleSteps)
{
    for (const std::int32_t capacity : {1, 2, 3, 7, 64, 592})
        expectRunsMatchSamples(capacity, static_cast<std::uint32_t>(capacity));
}

TEST(DelayLineRun, DelaysByTheSetAmount)
{
    DelayLine line(100);
    line.setDelay(37);
    std::vector<float> in(500), out(500);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<float>(i + 1);
    line.processRun(in.data(), out.data(), 250);
    line.processRun(in.data() + 250, out.data() + 250, 250);
    for (std::size_t i = 0; i < 37; ++i)
        ASSERT_EQ(out[i], 0.0f) << i;
    for (std::size_t i = 37; i < out.size(); ++i)
        ASSERT_EQ(out[i], in[i - 37]) << i;
}

TEST(DelayLineRun, AnEmptyRunChangesNothing)
{
    DelayLine a(5), b(5);
    a.processRun(nullptr, nullptr, 0);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(a.process(static_cast<float>(i)), b.process(static_cast<float>(i)));
}

} // namespace
} // namespace tarvel
