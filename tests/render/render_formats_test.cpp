// The same module rendered through its VST 2.4 entry, its CLAP entry and
// through its VST 3 factory: the tool's output samples, its saved states, and the harnesses'
// output block by block must be identical.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/tool_runner.h"
#include "support/signals.h"
#include "tools/host/clap_effect_host.h"
#include "tools/host/vst2_effect_host.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::test {
namespace {

Sound loudAndQuiet(std::size_t channels, std::size_t frames)
{
    Sound sound{44100, {}};
    for (std::size_t c = 0; c < channels; ++c) {
        auto samples = pinkNoise(0.4, static_cast<std::int64_t>(frames), static_cast<std::uint32_t>(3 + c));
        for (std::size_t i = frames / 3; i < 2 * frames / 3; ++i)
            samples[i] *= 0.05f;
        sound.channels.push_back(samples);
    }
    return sound;
}

// Both formats from the same command line; the output files' bytes.
void expectSameFiles(const Sound& input, const std::vector<std::string>& options, const std::string& extension = ".wav")
{
    ScratchFolder scratch;
    const std::string in = (scratch / ("in" + extension)).string();
    writeSound(in, input, extension == ".flac" ? SF_FORMAT_FLAC | SF_FORMAT_PCM_24 : SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    std::vector<Sound> outputs;
    std::vector<int> fileFormats;
    for (const std::string format : {"vst3", "vst2", "clap"}) {
        std::vector<std::string> arguments = options;
        arguments.insert(arguments.end(), {"-q", "--format", format, in, (scratch / (format + extension)).string()});
        const ToolRun run = runTool(scratch, arguments);
        ASSERT_EQ(run.exitCode, 0) << format << ": " << run.err;
        int fileFormat = 0;
        outputs.push_back(readSound(scratch / (format + extension), &fileFormat));
        fileFormats.push_back(fileFormat);
    }
    // Samples compared exactly; the files' headers may carry a write time.
    ASSERT_EQ(outputs[0].frames(), input.frames());
    EXPECT_EQ(fileFormats[0], fileFormats[1]);
    EXPECT_EQ(fileFormats[0], fileFormats[2]);
    EXPECT_TRUE(outputs[0].channels == outputs[1].channels) << "the VST 2 output differs";
    EXPECT_TRUE(outputs[0].channels == outputs[2].channels) << "the CLAP output differs";
    // The comparison means something only if the plug-in changed the sound.
    EXPECT_NE(outputs[1].channels, readSound(in).channels);
}

TEST(RenderFormats, StereoFloatFileIsTheSameThroughBothEntries)
{
    expectSameFiles(loudAndQuiet(2, 44100 * 2 + 77), {"--ratio", "3", "--target", "-26", "--stereo-ratio", "2"});
}

TEST(RenderFormats, MonoFastDoublePrecisionAndOddBlocksAreTheSameThroughBothEntries)
{
    expectSameFiles(loudAndQuiet(1, 44100 + 5),
                    {"--speed", "fast", "--ratio", "4", "--precision", "64", "--block-size", "97"}, ".flac");
}

TEST(RenderFormats, StatesSavedByEitherFormatAreTheSameAndRestoreTheSame)
{
    ScratchFolder scratch;
    const Sound input = loudAndQuiet(2, 22050);
    writeSound(scratch / "in.wav", input);
    for (const std::string format : {"vst3", "vst2", "clap"}) {
        const ToolRun run = runTool(scratch, {"-q", "--format", format, "--target", "-30", "--speed", "fast",
                                              "--save-state", (scratch / (format + ".state")).string(),
                                              (scratch / "in.wav").string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    const std::string saved = slurp(scratch / "vst3.state");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(slurp(scratch / "vst2.state"), saved);
    EXPECT_EQ(slurp(scratch / "clap.state"), saved);
    expectSameFiles(input, {"--state", (scratch / "vst2.state").string(), "--ratio", "1.5"});
}

TEST(RenderFormats, TheReportNamesTheFormat)
{
    ScratchFolder scratch;
    writeSound(scratch / "in.wav", loudAndQuiet(2, 4410));
    const ToolRun run = runTool(scratch, {"--format", "vst2", "--target", "-18", (scratch / "in.wav").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("VST 2.4"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("-18.00"), std::string::npos) << run.out;
    const ToolRun clap = runTool(scratch, {"--format", "clap", "--target", "-18", (scratch / "in.wav").string()});
    ASSERT_EQ(clap.exitCode, 0) << clap.err;
    EXPECT_NE(clap.out.find("CLAP"), std::string::npos) << clap.out;
    EXPECT_NE(clap.out.find("target -18.00\n"), std::string::npos) << "no unit after the number: " << clap.out;
    const ToolRun refused = runTool(scratch, {"--format", "vst1", (scratch / "in.wav").string()});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--format must be"), std::string::npos) << refused.err;
}

// The harnesses directly, with edits while processing.
template <typename Host>
std::vector<float> renderWithEdits(Host& plugin, const std::vector<float>& left, const std::vector<float>& right)
{
    plugin.setParameter(2, 0.7);
    plugin.prepare({48000.0, 256, 2, false});
    std::vector<float> outLeft(left.size()), outRight(right.size());
    for (std::size_t start = 0, block = 0; start < left.size(); start += 256, ++block) {
        if (block == 30)
            plugin.setParameter(4, 0.2);
        if (block == 60)
            plugin.setParameter(0, 1.0);
        const float* in[2] = {left.data() + start, right.data() + start};
        float* out[2] = {outLeft.data() + start, outRight.data() + start};
        plugin.process(in, out, static_cast<std::int32_t>(std::min<std::size_t>(256, left.size() - start)));
    }
    plugin.stop();
    outLeft.insert(outLeft.end(), outRight.begin(), outRight.end());
    return outLeft;
}

TEST(RenderFormats, HarnessesAgreeBlockByBlockWithEditsWhileProcessing)
{
    const auto left = pinkNoise(0.5, 256 * 90, 11);
    const auto right = sine(200.0, 0.5, 48000, 256 * 90);
    host::Vst3EffectHost vst3(TARVEL_MODULE_PATH);
    host::Vst2EffectHost vst2(TARVEL_MODULE_PATH);
    host::ClapEffectHost clap(TARVEL_MODULE_PATH);
    const std::vector<float> reference = renderWithEdits(vst3, left, right);
    EXPECT_EQ(renderWithEdits(vst2, left, right), reference);
    EXPECT_EQ(renderWithEdits(clap, left, right), reference);
    EXPECT_EQ(clap.parameter(4), 0.2) << "CLAP values are doubles";
    EXPECT_EQ(clap.parameterDisplay(4, 0.5), vst3.parameterDisplay(4, 0.5));
    EXPECT_EQ(clap.parameterDisplay(1, 0.0), vst3.parameterDisplay(1, 0.0));
    EXPECT_EQ(vst2.parameter(4), static_cast<double>(0.2f));
    EXPECT_EQ(vst2.parameterDisplay(4, vst2.parameter(4)), vst3.parameterDisplay(4, vst3.parameter(4)));
    EXPECT_THROW(vst2.parameterDisplay(4, 0.9), std::invalid_argument);
    EXPECT_THROW(vst2.setParameter(5, 0.5), std::out_of_range);
}

TEST(RenderFormats, Vst2HarnessRestartsOnLatencyChangeAndRefusesBadSetups)
{
    host::Vst2EffectHost plugin(TARVEL_MODULE_PATH);
    plugin.prepare({48000.0, 128, 2, false});
    const std::int32_t slow = plugin.latency();
    plugin.setParameter(1, 0.0);
    EXPECT_LT(plugin.latency(), slow);
    std::vector<float> samples(128, 0.1f);
    const float* in[2] = {samples.data(), samples.data()};
    float* out[2] = {samples.data(), samples.data()};
    plugin.process(in, out, 128);
    EXPECT_EQ(plugin.restartsDone(), 1);
    EXPECT_THROW(plugin.process(in, out, 129), std::logic_error);
    EXPECT_THROW(plugin.prepare({500.0, 128, 2, false}), std::runtime_error);
    EXPECT_THROW(plugin.prepare({48000.0, 128, 3, false}), std::runtime_error);
    EXPECT_THROW(plugin.restoreProcessorState({1, 2, 3}), std::runtime_error);
    EXPECT_THROW(host::Vst2EffectHost("/nonexistent/Tarvel64.so"), std::runtime_error);
}

TEST(RenderFormats, ClapHarnessRestartsOnLatencyChangeAndRefusesBadSetups)
{
    host::ClapEffectHost plugin(TARVEL_MODULE_PATH);
    plugin.prepare({48000.0, 128, 2, false});
    const std::int32_t slow = plugin.latency();
    plugin.setParameter(1, 0.0);
    std::vector<float> samples(128, 0.1f);
    const float* in[2] = {samples.data(), samples.data()};
    float* out[2] = {samples.data(), samples.data()};
    plugin.process(in, out, 128);
    EXPECT_EQ(plugin.restartsDone(), 1);
    EXPECT_LT(plugin.latency(), slow);
    EXPECT_EQ(plugin.parameterDisplay(1, plugin.parameter(1)), "Fast");
    EXPECT_THROW(plugin.process(in, out, 129), std::logic_error);
    EXPECT_THROW(plugin.prepare({500.0, 128, 2, false}), std::runtime_error);
    EXPECT_THROW(plugin.prepare({48000.0, 128, 3, false}), std::runtime_error);
    EXPECT_THROW(plugin.restoreProcessorState({1, 2, 3}), std::runtime_error);
    EXPECT_THROW(plugin.setParameter(5, 0.5), std::out_of_range);
    EXPECT_THROW(host::ClapEffectHost("/nonexistent/Tarvel64.clap"), std::runtime_error);
}

} // namespace
} // namespace tarvel::test
