// tarvel-render run as a program on real files.

#include <gtest/gtest.h>

#include <cmath>

#include "render/tool_runner.h"
#include "support/signals.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::test {
namespace {

Sound music(std::size_t frames, int sampleRate = 48000)
{
    auto left = pinkNoise(0.5, static_cast<std::int64_t>(frames), 21);
    auto right = sine(330.0, 0.4, sampleRate, static_cast<std::int64_t>(frames));
    // A loud second half, so the compressor has work to do.
    for (std::size_t i = frames / 2; i < frames; ++i) {
        left[i] *= 1.8f;
        right[i] *= 1.8f;
    }
    return {sampleRate, {left, right}};
}

// The plug-in's own output for the same input, through the harness,
// aligned by hand.
Sound pluginOutput(const Sound& input, const std::vector<std::pair<std::uint32_t, double>>& settings, int blockSize)
{
    host::Vst3EffectHost plugin(TARVEL_MODULE_PATH);
    for (const auto& [id, value] : settings)
        plugin.setParameter(id, value);
    const auto channels = static_cast<std::int32_t>(input.channels.size());
    plugin.prepare({static_cast<double>(input.sampleRate), blockSize, channels, false});
    const auto latency = static_cast<std::size_t>(plugin.latency());
    const std::size_t total = input.frames() + latency;
    std::vector<std::vector<float>> in(input.channels.size(), std::vector<float>(static_cast<std::size_t>(blockSize)));
    auto out = in;
    Sound result{input.sampleRate, std::vector<std::vector<float>>(input.channels.size())};
    for (std::size_t start = 0; start < total; start += static_cast<std::size_t>(blockSize)) {
        std::vector<const float*> inPointers;
        std::vector<float*> outPointers;
        for (std::size_t c = 0; c < in.size(); ++c) {
            for (std::size_t i = 0; i < static_cast<std::size_t>(blockSize); ++i)
                in[c][i] = start + i < input.frames() ? input.channels[c][start + i] : 0.0f;
            inPointers.push_back(in[c].data());
            outPointers.push_back(out[c].data());
        }
        plugin.process(inPointers.data(), outPointers.data(), blockSize);
        for (std::size_t c = 0; c < in.size(); ++c)
            for (std::size_t i = 0; i < static_cast<std::size_t>(blockSize); ++i)
                if (start + i >= latency && result.channels[c].size() < input.frames())
                    result.channels[c].push_back(out[c][i]);
    }
    return result;
}

TEST(RenderTool, OutputIsExactlyThePluginsOutputAlignedAndOfTheInputsLength)
{
    ScratchFolder scratch;
    const Sound input = music(3 * 48000 + 123);
    writeSound(scratch / "in.wav", input);
    const ToolRun run = runTool(scratch, {"--ratio", "3", "--target", "-24", "--speed", "fast", "--block-size", "300",
                                          (scratch / "in.wav").string(), (scratch / "out.wav").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int format = 0;
    const Sound output = readSound(scratch / "out.wav", &format);
    EXPECT_EQ(format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(output.frames(), input.frames());
    ASSERT_EQ(output.channels.size(), 2u);

    const Sound expected = pluginOutput(input, {{2, std::log(3.0) / std::log(4.0)}, {4, 1.0 - 24.0 / 40.0}, {1, 0.0}}, 300);
    EXPECT_EQ(output.channels, expected.channels);
    // And it did compress: the loud half came down relative to the input.
    EXPECT_LT(rms(output.channels[0], input.frames() * 3 / 4, input.frames()),
              rms(input.channels[0], input.frames() * 3 / 4, input.frames()) * 0.9);
}

TEST(RenderTool, BypassGivesTheInputBackSampleAligned)
{
    ScratchFolder scratch;
    const Sound input = music(48000);
    writeSound(scratch / "in.wav", input);
    for (const char* precision : {"32", "64"}) {
        const ToolRun run = runTool(scratch, {"--bypass", "on", "--precision", precision, "-q",
                                              (scratch / "in.wav").string(), (scratch / "out.wav").string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out.empty());
        const Sound output = readSound(scratch / "out.wav");
        ASSERT_EQ(output.frames(), input.frames());
        for (std::size_t c = 0; c < 2; ++c)
            for (std::size_t i = 0; i < input.frames(); i += 97)
                ASSERT_NEAR(output.channels[c][i], input.channels[c][i], 1e-6) << precision << " frame " << i;
    }
}

TEST(RenderTool, MonoFilesAndOtherFormatsKeepTheirShape)
{
    ScratchFolder scratch;
    Sound mono{44100, {sine(1000.0, 0.5, 44100, 44100)}};
    writeSound(scratch / "mono.flac", mono, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const ToolRun run = runTool(scratch, {(scratch / "mono.flac").string(), (scratch / "out.aiff").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    int format = 0;
    const Sound output = readSound(scratch / "out.aiff", &format);
    EXPECT_EQ(format & SF_FORMAT_TYPEMASK, SF_FORMAT_AIFF);
    EXPECT_EQ(format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
    EXPECT_EQ(output.sampleRate, 44100);
    EXPECT_EQ(output.channels.size(), 1u);
    EXPECT_EQ(output.frames(), mono.frames());
}

TEST(RenderTool, BadInputGetsAClearMessageANonZeroExitAndNoOutputFile)
{
    ScratchFolder scratch;
    writeSound(scratch / "good.wav", music(4800));
    {
        std::ofstream text(scratch / "text.wav");
        text << "this is not audio\n";
    }
    writeSound(scratch / "three.wav", {48000, {std::vector<float>(480), std::vector<float>(480), std::vector<float>(480)}});
    const std::string good = (scratch / "good.wav").string();
    const std::string out = (scratch / "out.wav").string();

    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        const char* says;
    } cases[] = {
        {{(scratch / "missing.wav").string(), out}, 1, "no such file"},
        {{(scratch / "text.wav").string(), out}, 1, "cannot read"},
        {{(scratch / "three.wav").string(), out}, 1, "3 channels"},
        {{"--wobble", good, out}, 2, "unknown option '--wobble'"},
        {{"--ratio", "12", good, out}, 2, "--ratio must be 1 to 4"},
        {{"--target", "+3", good, out}, 2, "--target must be -40 to 0"},
        {{good, (scratch / "out.xyz").string()}, 1, "cannot tell the output format"},
        {{"--state", (scratch / "text.wav").string(), good, out}, 1, "refused the state"},
        {{"--module", (scratch / "text.wav").string(), good, out}, 1, "cannot load"},
        {{good, (scratch / "no-such-folder" / "out.wav").string()}, 1, "cannot create"},
        {{"--report-json", (scratch / "no-such-folder" / "r.json").string(), good, out}, 1, "cannot write"},
        {{"--plot", (scratch / "no-such-folder" / "p.png").string(), good, out}, 1, "cannot write the picture"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(scratch, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.says << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.rfind("tarvel-render: ", 0), 0u) << run.err;
    }
    // Nothing but the inputs is left: no output, no temporary file.
    auto names = scratch.names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"good.wav", "text.wav", "three.wav"}));
}

TEST(RenderTool, AFailedRenderLeavesAnExistingOutputUntouched)
{
    ScratchFolder scratch;
    writeSound(scratch / "good.wav", music(4800));
    {
        std::ofstream previous(scratch / "out.wav");
        previous << "yesterday's render";
    }
    const ToolRun run = runTool(scratch, {"--module", "/nonexistent/Tarvel64.so", (scratch / "good.wav").string(),
                                          (scratch / "out.wav").string()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(slurp(scratch / "out.wav"), "yesterday's render");
}

TEST(RenderTool, SavedStateRestoresTheSameSettings)
{
    ScratchFolder scratch;
    writeSound(scratch / "in.wav", music(48000));
    const std::string in = (scratch / "in.wav").string();
    ASSERT_EQ(runTool(scratch, {"--ratio", "3.5", "--stereo-ratio", "2", "--target", "-30", "--save-state",
                                (scratch / "state.bin").string(), in, (scratch / "a.wav").string()})
                  .exitCode,
              0);
    const ToolRun second = runTool(scratch, {"--state", (scratch / "state.bin").string(), in, (scratch / "b.wav").string()});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.out.find("ratio 3.50, stereo ratio 2.00, target -30.00"), std::string::npos) << second.out;
    EXPECT_EQ(readSound(scratch / "a.wav").channels, readSound(scratch / "b.wav").channels);
}

TEST(RenderTool, TheDemoShowsTheLoudnessRangeShrinking)
{
    ScratchFolder scratch;
    const ToolRun run = runTool(scratch, {"--output", (scratch / "demo.wav").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    double inputRange = 0.0, outputRange = 0.0, inputLevel = 0.0, outputLevel = 0.0;
    const auto input = run.out.find("input:");
    const auto output = run.out.find("output:");
    ASSERT_NE(input, std::string::npos) << run.out;
    ASSERT_NE(output, std::string::npos) << run.out;
    ASSERT_EQ(std::sscanf(run.out.c_str() + input, "input: %lf LUFS %lf LU", &inputLevel, &inputRange), 2) << run.out;
    ASSERT_EQ(std::sscanf(run.out.c_str() + output, "output: %lf LUFS %lf LU", &outputLevel, &outputRange), 2);
    EXPECT_LT(outputRange, inputRange * 0.7);
    EXPECT_NEAR(outputLevel, -20.0, 3.0);
    EXPECT_EQ(readSound(scratch / "demo.wav").frames(), 30u * 48000u);
}

TEST(RenderTool, ProgressOnlyOnATerminal)
{
    ScratchFolder scratch;
    Sound longQuiet{8000, {std::vector<float>(70 * 8000, 0.01f)}};
    writeSound(scratch / "long.wav", longQuiet);
    const std::string in = (scratch / "long.wav").string();

    const ToolRun piped = runTool(scratch, {in, (scratch / "a.wav").string()});
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_TRUE(piped.err.empty()) << piped.err;

    // script(1) gives the tool a terminal and copies what it writes there.
    const std::string command = toolCommand({in, (scratch / "b.wav").string()});
    const ToolRun onTerminal = runShell(scratch, "script -qec " + quoted(command) + " /dev/null");
    ASSERT_EQ(onTerminal.exitCode, 0) << onTerminal.err;
    EXPECT_NE(onTerminal.out.find("rendering ["), std::string::npos) << onTerminal.out;
    EXPECT_NE(onTerminal.out.find("100%"), std::string::npos);
}

} // namespace
} // namespace tarvel::test
