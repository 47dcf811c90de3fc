// A chunk of parameter smoothing at once against the same samples one by one.

#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "processor/engine/parameter_smoothing.h"
#include "tools/host/parameter_changes.h"

namespace tarvel {
namespace {

bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

void beginBlock(ParameterIntake& intake, host::ParameterChanges& changes, std::int32_t length)
{
    Steinberg::Vst::ProcessData data{};
    data.numSamples = length;
    data.inputParameterChanges = &changes;
    intake.beginBlock(data);
}

// Blocks of random length; in about half of them some parameters get points
// (so ramps start, stop and reach points mid-chunk), and long quiet stretches
// let the smoothers settle.
TEST(ParameterSmoothingChunk, GivesTheValuesOfPerSampleSteps)
{
    const Parameters start{{0.0f, 1.0f, 0.3f, 0.7f, 0.5f}};
    ParameterIntake chunkedIntake(start), sampleIntake(start);
    ParameterSmoothing chunked(44100, start), perSample(44100, start);
    std::mt19937 random(17);
    std::uniform_int_distribution<std::int32_t> blockLength(1, 700);
    std::uniform_real_distribution<double> value(-0.2, 1.2);
    std::uniform_int_distribution<int> chance(0, 9);
    std::int64_t samples = 0, settledChunks = 0, slopeDifferences = 0;
    for (int block = 0; block < 1500; ++block) {
        const std::int32_t length = blockLength(random);
        host::ParameterChanges changes;
        if (block % 40 < 20) {
            for (std::int32_t id = 0; id < ParameterCount; ++id) {
                if (chance(random) > 2)
                    continue;
                std::uniform_int_distribution<std::int32_t> offset(0, length - 1);
                Steinberg::int32 index = 0;
                changes.addParameterData(static_cast<Steinberg::Vst::ParamID>(id), index)
                    ->addPoint(offset(random), value(random), index);
            }
        }
        beginBlock(chunkedIntake, changes, length);
        beginBlock(sampleIntake, changes, length);
        for (std::int32_t begin = 0; begin < length; begin += ParameterChunk::capacity) {
            const std::int32_t count = std::min(ParameterChunk::capacity, length - begin);
            ParameterChunk chunk;
            chunked.advanceChunk(chunkedIntake, count, chunk);
            const auto last = static_cast<std::size_t>(count - 1);
            settledChunks += chunk.integrationTimeConstant && chunk.target[0] == chunk.target[last] &&
                             chunk.wet[0] == chunk.wet[last];
            for (std::int32_t j = 0; j < count; ++j) {
                perSample.advance(sampleIntake);
                const auto i = static_cast<std::size_t>(j);
                const MappingValues m = perSample.mapping();
                ASSERT_TRUE(sameBits(chunk.wet[i], perSample.wet())) << block << ' ' << begin + j;
                ASSERT_TRUE(sameBits(chunk.target[i], m.target)) << block << ' ' << begin + j;
                ASSERT_TRUE(sameBits(chunk.integrationTime[chunk.integrationTimeConstant ? 0 : i],
                                     perSample.integrationTime()));
                // The chunked conversion rounds 4^v correctly, the library's
                // powf now and then the other way.
                ASSERT_NEAR(chunk.ratioSlope[i], m.ratioSlope, 1e-6f);
                ASSERT_NEAR(chunk.stereoSlope[i], m.stereoSlope, 1e-6f);
                slopeDifferences += chunk.ratioSlope[i] != m.ratioSlope;
            }
            samples += count;
        }
        for (std::int32_t id = 0; id < ParameterCount; ++id)
            ASSERT_EQ(chunkedIntake.value(id), sampleIntake.value(id)) << id;
    }
    EXPECT_GT(settledChunks, 1000);
    EXPECT_LT(slopeDifferences, samples / 100);
}

// A parameter that neither moves nor has a smoother still settling repeats
// its value; one that is still settling keeps moving toward the quantity.
TEST(ParameterSmoothingChunk, HeldValuesSettleAndStay)
{
    Parameters start;
    start[Target] = 0.0f;
    ParameterIntake intake(start);
    ParameterSmoothing smoothing(48000, start);
    host::ParameterChanges changes;
    Steinberg::int32 index = 0;
    changes.addParameterData(Target, index)->addPoint(0, 1.0, index);
    beginBlock(intake, changes, 64);
    ParameterChunk chunk;
    smoothing.advanceChunk(intake, 64, chunk);
    EXPECT_GT(chunk.target[63], chunk.target[0]);
    for (int block = 0; block < 400; ++block) {
        host::ParameterChanges none;
        beginBlock(intake, none, 512);
        for (int c = 0; c < 8; ++c)
            smoothing.advanceChunk(intake, 64, chunk);
    }
    EXPECT_NEAR(chunk.target[0], 0.0f, 1e-4f);
    for (std::size_t i = 1; i < 64; ++i)
        ASSERT_EQ(chunk.target[i], chunk.target[0]);
}

} // namespace
} // namespace tarvel
