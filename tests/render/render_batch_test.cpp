// tarvel-render rendering many files in one command.

#include <gtest/gtest.h>

#include <picojson.h>

#include <algorithm>

#include "render/tool_runner.h"
#include "support/signals.h"

namespace tarvel::test {
namespace {

// Loud and quiet thirds, so every file gives the compressor work.
Sound programme(std::size_t channels, std::size_t frames, int sampleRate, std::uint32_t seed)
{
    Sound sound{sampleRate, {}};
    for (std::size_t c = 0; c < channels; ++c) {
        auto samples = pinkNoise(0.5, static_cast<std::int64_t>(frames), seed + static_cast<std::uint32_t>(c));
        for (std::size_t i = frames / 3; i < 2 * frames / 3; ++i)
            samples[i] *= 0.05f;
        sound.channels.push_back(samples);
    }
    return sound;
}

std::vector<std::string> sortedNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RenderBatch, AFailingFileIsNamedTheOthersAreWrittenAndTheExitSaysSo)
{
    ScratchFolder scratch;
    std::filesystem::create_directory(scratch / "in");
    writeSound(scratch / "in" / "a.wav", programme(2, 48000 * 2, 48000, 1));
    writeSound(scratch / "in" / "b.flac", programme(1, 44100, 44100, 2), SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    writeSound(scratch / "in" / "d.wav", programme(2, 30000, 48000, 3));
    {
        std::ofstream broken(scratch / "in" / "c.wav");
        broken << "not a sound file";
    }
    const std::string out = (scratch / "out").string();
    const ToolRun run = runTool(scratch, {"-j", "2", "-o", out, (scratch / "in").string()});

    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("c.wav"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("cannot read"), std::string::npos) << run.err;
    // The good files are written, the failed one leaves nothing behind.
    EXPECT_EQ(sortedNames(out), (std::vector<std::string>{"a.wav", "b.flac", "d.wav"}));
    for (const char* name : {"a.wav", "b.flac", "d.wav"})
        EXPECT_NE(run.out.find((scratch / "out" / name).string()), std::string::npos) << name << "\n" << run.out;
    EXPECT_NE(run.out.find("3 of 4 files rendered, 1 failed"), std::string::npos) << run.out;

    // Each file is rendered as the single-file form renders it.
    const ToolRun single = runTool(scratch, {(scratch / "in" / "b.flac").string(), (scratch / "single.flac").string()});
    ASSERT_EQ(single.exitCode, 0) << single.err;
    EXPECT_EQ(readSound(scratch / "out" / "b.flac").channels, readSound(scratch / "single.flac").channels);
}

TEST(RenderBatch, FourAtATimeWritesWhatOneAtATimeWrites)
{
    ScratchFolder scratch;
    std::vector<std::string> inputs;
    for (std::uint32_t i = 0; i < 6; ++i) {
        const int rate = i % 2 ? 44100 : 48000;
        const std::string name = "take" + std::to_string(i) + ".wav";
        writeSound(scratch / name, programme(1 + i % 2, static_cast<std::size_t>(rate) * (1 + i) / 2, rate, 10 + i));
        inputs.push_back((scratch / name).string());
    }
    std::vector<picojson::value> reports;
    for (const std::string jobs : {"1", "4"}) {
        std::vector<std::string> arguments{"-q", "--ratio", "3", "-j", jobs, "-o", (scratch / ("out" + jobs)).string(),
                                           "--report-json", (scratch / ("report" + jobs + ".json")).string()};
        arguments.insert(arguments.end(), inputs.begin(), inputs.end());
        const ToolRun run = runTool(scratch, arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
        picojson::value report;
        ASSERT_TRUE(picojson::parse(report, slurp(scratch / ("report" + jobs + ".json"))).empty());
        reports.push_back(report);
    }
    ASSERT_EQ(sortedNames(scratch / "out1"), sortedNames(scratch / "out4"));
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string name = "take" + std::to_string(i) + ".wav";
        const Sound one = readSound(scratch / "out1" / name);
        EXPECT_EQ(one.channels, readSound(scratch / "out4" / name).channels) << name;
        EXPECT_NE(one.channels, readSound(scratch / name).channels) << name << " left as it was";
        // Listed in the order given, with the same measurements.
        const auto& first = reports[0].get("files").get<picojson::array>()[i];
        const auto& second = reports[1].get("files").get<picojson::array>()[i];
        EXPECT_EQ(first.get("input").to_str(), inputs[i]);
        EXPECT_EQ(first.get("output_loudness").serialize(), second.get("output_loudness").serialize()) << name;
    }
}

TEST(RenderBatch, ImpossiblePlansAreRefusedBeforeAnythingIsWritten)
{
    ScratchFolder scratch;
    for (const char* folder : {"x", "y", "empty"})
        std::filesystem::create_directory(scratch / folder);
    writeSound(scratch / "x" / "take.wav", programme(1, 4800, 48000, 4));
    writeSound(scratch / "y" / "take.wav", programme(1, 4800, 48000, 5));
    const std::string out = (scratch / "out").string();
    const std::string x = (scratch / "x" / "take.wav").string();
    const std::string y = (scratch / "y" / "take.wav").string();
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    } cases[] = {
        {{"-o", out, x, y}, "would both be written"},
        {{(scratch / "x").string()}, "give -o OUTDIR"},
        {{"-o", out, (scratch / "empty").string()}, "no sound files"},
        {{"-o", (scratch / "x").string(), x, (scratch / "y").string()}, "is an input"},
        {{"-o", (scratch / "out.wav").string(), x, y}, "names a sound file"},
        {{"-j", "0", "-o", out, x}, "-j must be a whole number"},
    };
    for (const Case& c : cases) {
        const ToolRun run = runTool(scratch, c.arguments);
        EXPECT_EQ(run.exitCode, 2) << c.says << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(sortedNames(scratch.path()), (std::vector<std::string>{"empty", "x", "y"}));
    EXPECT_EQ(sortedNames(scratch / "x"), (std::vector<std::string>{"take.wav"}));
}

TEST(RenderBatch, ProgressOnATerminalNothingOnAPipe)
{
    ScratchFolder scratch;
    writeSound(scratch / "a.wav", programme(2, 48000, 48000, 6));
    writeSound(scratch / "b.wav", programme(2, 48000, 48000, 7));
    const std::vector<std::string> arguments{"-o", (scratch / "out").string(), (scratch / "a.wav").string(),
                                             (scratch / "b.wav").string()};
    const ToolRun piped = runTool(scratch, arguments);
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_TRUE(piped.err.empty()) << piped.err;
    EXPECT_NE(piped.out.find("2 of 2 files rendered"), std::string::npos) << piped.out;

    // script(1) gives the tool a terminal and copies what it writes there.
    const ToolRun onTerminal = runShell(scratch, "script -qec " + quoted(toolCommand(arguments)) + " /dev/null");
    ASSERT_EQ(onTerminal.exitCode, 0) << onTerminal.err;
    EXPECT_NE(onTerminal.out.find("rendering 1/2 files ["), std::string::npos) << onTerminal.out;
}

} // namespace
} // namespace tarvel::test
