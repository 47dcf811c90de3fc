// The command line of tarvel-render, and its display values checked
// against what the loaded plug-in itself displays.

#include <gtest/gtest.h>

#include <cstdio>

#include "tools/host/vst3_effect_host.h"
#include "tools/render/parameter_values.h"
#include "tools/render/render_options.h"

namespace tarvel::render {
namespace {

RenderOptions parse(std::vector<std::string> arguments)
{
    return parseRenderOptions(arguments, "default.vst3");
}

TEST(RenderOptions, DefaultsFilesAndSettings)
{
    const RenderOptions none = parse({});
    EXPECT_TRUE(none.inputPath.empty());
    EXPECT_TRUE(none.outputPath.empty());
    EXPECT_EQ(none.modulePath, "default.vst3");
    EXPECT_EQ(none.blockSize, 512);
    EXPECT_FALSE(none.doublePrecision);

    const RenderOptions full = parse({"--ratio", "4", "in.wav", "--target=-10", "out.flac", "--speed", "FAST",
                                      "--block-size", "64", "--precision", "64", "-q", "--bypass", "on"});
    EXPECT_EQ(full.inputPath, "in.wav");
    EXPECT_EQ(full.outputPath, "out.flac");
    EXPECT_EQ(full.blockSize, 64);
    EXPECT_TRUE(full.doublePrecision);
    EXPECT_TRUE(full.quiet);
    ASSERT_EQ(full.parameters.size(), 4u);
    EXPECT_EQ(full.parameters[0].id, 2u);
    EXPECT_DOUBLE_EQ(full.parameters[0].normalized, 1.0);
    EXPECT_DOUBLE_EQ(full.parameters[1].normalized, 0.75);
    EXPECT_DOUBLE_EQ(full.parameters[2].normalized, 0.0);
    EXPECT_DOUBLE_EQ(full.parameters[3].normalized, 1.0);

    EXPECT_EQ(parse({"-o", "x.wav"}).outputPath, "x.wav");
    EXPECT_EQ(parse({"--", "-odd.wav"}).inputPath, "-odd.wav");
    EXPECT_TRUE(full.batchInputs.empty());

    const RenderOptions batch =
        parse({"-j", "3", "a.wav", "-o", "out", "b.flac", "--report-json", "-", "--plot", "pictures"});
    EXPECT_EQ(batch.batchInputs, (std::vector<std::string>{"a.wav", "b.flac"}));
    EXPECT_EQ(batch.outputPath, "out");
    EXPECT_EQ(batch.jobs, 3);
    EXPECT_EQ(batch.reportJsonPath, "-");
    EXPECT_EQ(batch.plotPath, "pictures");
    EXPECT_EQ(none.jobs, 0);
}

TEST(RenderOptions, EveryMistakeIsAUsageErrorNamingIt)
{
    const std::vector<std::vector<std::string>> mistakes = {
        {"--loud"},          {"-x"},
        {"--ratio"},         {"--ratio", "0.5"},
        {"--ratio", "4.1"},  {"--ratio", "two"},
        {"--ratio", "nan"},  {"--stereo-ratio", "9"},
        {"--target", "3"},   {"--target", "-41"},
        {"--speed", "medium"}, {"--bypass", "1"},
        {"--block-size", "0"}, {"--block-size", "65537"},
        {"--block-size", "12x"}, {"--precision", "16"},
        {"--format", "au"},  {"a.wav", "b.wav", "c.wav"},
        {"a.wav", "a.wav"},  {"a.wav", "b.wav", "-o", "c.wav"},
        {"-j", "0"},         {"--jobs", "257"},
        {"-j"},              {"--report-json"},
    };
    for (const auto& arguments : mistakes) {
        try {
            parse(arguments);
            ADD_FAILURE() << "accepted: " << arguments.front();
        } catch (const UsageError& error) {
            EXPECT_GT(std::string(error.what()).size(), 10u) << arguments.front();
        }
    }
}

TEST(RenderOptions, RangeEndsAsThePluginRoundsThemAreAccepted)
{
    EXPECT_DOUBLE_EQ(*normalizedFromDisplay(2, "0.996"), 0.0);
    EXPECT_DOUBLE_EQ(*normalizedFromDisplay(3, "4.004"), 1.0);
    EXPECT_DOUBLE_EQ(*normalizedFromDisplay(4, "0.004"), 1.0);
    EXPECT_FALSE(normalizedFromDisplay(4, "0.01"));
    EXPECT_FALSE(normalizedFromDisplay(9, "1"));
}

// The values the tool computes must display, in the loaded plug-in, as the
// text the user typed.
TEST(RenderOptions, DisplayValuesMatchTheLoadedPlugin)
{
    host::Vst3EffectHost plugin(TARVEL_MODULE_PATH);
    struct Case {
        std::uint32_t id;
        const char* typed;
        const char* shown;
    } cases[] = {
        {0, "on", "On"},      {0, "off", "Off"},     {1, "fast", "Fast"},  {1, "slow", "Slow"},
        {2, "1", "1.00"},     {2, "2", "2.00"},      {2, "3.5", "3.50"},   {2, "4", "4.00"},
        {3, "1.25", "1.25"},  {3, "4", "4.00"},      {4, "-40", "-40.00"}, {4, "-20", "-20.00"},
        {4, "-13.37", "-13.37"}, {4, "0", "0.00"},
    };
    for (const Case& c : cases) {
        const auto normalized = normalizedFromDisplay(c.id, c.typed);
        ASSERT_TRUE(normalized) << c.typed;
        EXPECT_EQ(plugin.parameterDisplay(c.id, *normalized), c.shown) << "parameter " << c.id << " " << c.typed;
    }
}

} // namespace
} // namespace tarvel::render
