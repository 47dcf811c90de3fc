// tarvel-render and the host harness through the LV2 bundle (lilv), against
// the VST 3 path: the same sound to within what a host's plain port values
// keep of the normalised ones, the same states, clear refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "render/tool_runner.h"
#include "support/signals.h"
#include "tools/host/lv2_effect_host.h"
#include "tools/host/vst3_effect_host.h"

namespace tarvel::test {
namespace {

float largestDifference(const Sound& a, const Sound& b)
{
    float largest = 0.0f;
    for (std::size_t c = 0; c < a.channels.size(); ++c)
        for (std::size_t i = 0; i < a.frames(); ++i)
            largest = std::max(largest, std::fabs(a.channels[c][i] - b.channels[c][i]));
    return largest;
}

TEST(RenderLv2, TheToolRendersThroughTheBundleAsTheVst3PathDoes)
{
    for (const std::size_t channels : {std::size_t{2}, std::size_t{1}}) {
        ScratchFolder scratch;
        Sound input{44100, {}};
        for (std::size_t c = 0; c < channels; ++c)
            input.channels.push_back(pinkNoise(0.4, 44100 * 2, static_cast<std::uint32_t>(5 + c)));
        writeSound(scratch / "in.wav", input);
        std::vector<Sound> outputs;
        for (const std::string format : {"vst3", "lv2"}) {
            const ToolRun run = runTool(scratch, {"--format", format, "--ratio", "3", "--target", "-26", "--speed",
                                                  "fast", (scratch / "in.wav").string(),
                                                  (scratch / (format + ".wav")).string()});
            ASSERT_EQ(run.exitCode, 0) << format << ": " << run.err;
            if (format == "lv2") {
                EXPECT_NE(run.out.find("LV2, latency"), std::string::npos) << run.out;
            }
            outputs.push_back(readSound(scratch / (format + ".wav")));
        }
        ASSERT_EQ(outputs[1].frames(), input.frames());
        // Aligned alike (the latency removed) and compressed alike; a ratio of
        // 3 reaches LV2 as a port value of 3 and comes back as log4(3).
        EXPECT_LT(largestDifference(outputs[0], outputs[1]), 1e-4f) << channels << " channels";
        EXPECT_GT(largestDifference(outputs[1], input), 0.01f) << channels << " channels";
    }
}

TEST(RenderLv2, StatesAreTheVst3StatesAndRestoreTheSame)
{
    ScratchFolder scratch;
    writeSound(scratch / "in.wav", Sound{48000, {sine(300.0, 0.3, 48000, 9600), sine(300.0, 0.3, 48000, 9600)}});
    for (const std::string format : {"vst3", "lv2"}) {
        const ToolRun run = runTool(scratch, {"-q", "--format", format, "--target", "-30", "--speed", "fast",
                                              "--save-state", (scratch / (format + ".state")).string(),
                                              (scratch / "in.wav").string()});
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    const std::string saved = slurp(scratch / "vst3.state");
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(slurp(scratch / "lv2.state"), saved);

    host::Lv2EffectHost plugin(TARVEL_MODULE_PATH);
    plugin.restoreProcessorState(std::vector<std::uint8_t>(saved.begin(), saved.end()));
    EXPECT_EQ(plugin.parameter(4), 0.25);
    EXPECT_EQ(plugin.parameterDisplay(4, 0.25), "-30.00");
    EXPECT_EQ(plugin.parameterDisplay(1, plugin.parameter(1)), "Fast");
    EXPECT_EQ(plugin.parameterDisplay(0, 0.0), "Off");
    EXPECT_THROW(plugin.restoreProcessorState({1, 2, 3}), std::runtime_error);
}

TEST(RenderLv2, TheHarnessFollowsSpeedAtOnceAndRefusesWhatLv2CannotDo)
{
    host::Lv2EffectHost lv2(TARVEL_MODULE_PATH);
    host::Vst3EffectHost vst3(TARVEL_MODULE_PATH);
    lv2.prepare({48000.0, 128, 2, false});
    vst3.prepare({48000.0, 128, 2, false});
    EXPECT_EQ(lv2.latency(), vst3.latency());
    lv2.setParameter(1, 0.0);
    vst3.setParameter(1, 0.0);
    std::vector<float> samples(128, 0.1f);
    const float* in[2] = {samples.data(), samples.data()};
    float* out[2] = {samples.data(), samples.data()};
    lv2.process(in, out, 128);
    vst3.process(in, out, 128);
    EXPECT_EQ(lv2.latency(), vst3.latency());
    EXPECT_THROW(lv2.prepare({48000.0, 128, 2, true}), std::runtime_error);
    EXPECT_THROW(host::Lv2EffectHost("/nonexistent/Tarvel64.so"), std::runtime_error);

    ScratchFolder scratch;
    writeSound(scratch / "in.wav", Sound{48000, {sine(300.0, 0.3, 48000, 4800)}});
    const ToolRun wide = runTool(scratch, {"--format", "lv2", "--precision", "64", (scratch / "in.wav").string()});
    EXPECT_NE(wide.exitCode, 0);
    EXPECT_NE(wide.err.find("32-bit samples only"), std::string::npos) << wide.err;
}

} // namespace
} // namespace tarvel::test
