// tarvel-render's machine-readable report and its picture, held to what
// libebur128 measures on the files themselves.

#include <gtest/gtest.h>

#include <gdiplus.h>
#include <picojson.h>

#include <cmath>
#include <limits>

#include "framework/resource_cache.h"
#include "parameters/mapping_curve.h"
#include "render/tool_runner.h"
#include "support/reference_loudness.h"
#include "support/signals.h"
#include "toolkit/gdiplus_globals.h"
#include "tools/host/vst3_effect_host.h"
#include "tools/render/loudness_plot.h"

namespace tarvel::test {
namespace {

// A loud passage, then one 20 dB quieter; each long enough for the
// short-term loudness to settle.
Sound loudThenQuiet(std::size_t channels, int sampleRate, double seconds)
{
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    Sound sound{sampleRate, {}};
    for (std::size_t c = 0; c < channels; ++c) {
        auto samples = pinkNoise(0.5, static_cast<std::int64_t>(frames), 40 + static_cast<std::uint32_t>(c));
        for (std::size_t i = frames / 2; i < frames; ++i)
            samples[i] *= 0.1f;
        sound.channels.push_back(samples);
    }
    return sound;
}

double level(const picojson::value& number)
{
    return number.is<picojson::null>() ? -std::numeric_limits<double>::infinity() : number.get<double>();
}

// A file's loudness as the tool reports it: a mono file counts as dual mono.
ReferenceLoudness measuredByLibebur128(const Sound& sound)
{
    return referenceLoudness(sound.channels, static_cast<unsigned>(sound.sampleRate), MonoAs::DualMono);
}

void expectReportMatches(const picojson::value& reported, const ReferenceLoudness& reference, const std::string& what)
{
    EXPECT_NEAR(level(reported.get("integrated_lufs")), reference.integrated, 0.05) << what;
    EXPECT_NEAR(level(reported.get("range_lu")), reference.range, 0.05) << what;
    EXPECT_NEAR(level(reported.get("max_short_term_lufs")), reference.maxShortTerm, 0.05) << what;
    EXPECT_NEAR(level(reported.get("sample_peak_dbfs")), reference.samplePeak, 0.05) << what;
}

TEST(RenderReports, JsonReportParsesAndAgreesWithLibebur128OnEveryFile)
{
    ScratchFolder scratch;
    const Sound stereo = loudThenQuiet(2, 48000, 12.0);
    const Sound mono = loudThenQuiet(1, 44100, 8.0);
    writeSound(scratch / "stereo.wav", stereo);
    writeSound(scratch / "mono.wav", mono);
    writeSound(scratch / "three.wav", {48000, {std::vector<float>(480), std::vector<float>(480), std::vector<float>(480)}});
    const ToolRun run = runTool(scratch, {"--target", "-24", "--speed", "fast", "-o", (scratch / "out").string(),
                                          "--report-json", (scratch / "report.json").string(),
                                          (scratch / "stereo.wav").string(), (scratch / "three.wav").string(),
                                          (scratch / "mono.wav").string()});
    ASSERT_EQ(run.exitCode, 1) << run.err;
    picojson::value report;
    ASSERT_EQ(picojson::parse(report, slurp(scratch / "report.json")), "");

    EXPECT_EQ(report.get("settings").get("target").get<double>(), -24.0);
    EXPECT_EQ(report.get("settings").get("speed").to_str(), "Fast");
    const auto& files = report.get("files").get<picojson::array>();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_FALSE(files[1].get("ok").get<bool>());
    EXPECT_NE(files[1].get("error").to_str().find("3 channels"), std::string::npos);
    EXPECT_EQ(report.get("total").get("failed").get<double>(), 1.0);

    for (const auto& [index, input] : {std::pair<std::size_t, const Sound*>{0, &stereo}, {2, &mono}}) {
        const picojson::value& file = files[index];
        const std::string name = file.get("input").to_str();
        ASSERT_TRUE(file.get("ok").get<bool>()) << name;
        const Sound output = readSound(file.get("output").to_str());
        expectReportMatches(file.get("input_loudness"), measuredByLibebur128(*input), name + " input");
        expectReportMatches(file.get("output_loudness"), measuredByLibebur128(output), name + " output");
        EXPECT_EQ(file.get("sample_rate").get<double>(), input->sampleRate);
        EXPECT_EQ(file.get("frames").get<double>(), static_cast<double>(input->frames()));
        EXPECT_NEAR(file.get("duration_seconds").get<double>(),
                    static_cast<double>(input->frames()) / input->sampleRate, 1e-9);
        EXPECT_GT(file.get("processing_seconds").get<double>(), 0.0);

        host::Vst3EffectHost plugin(TARVEL_MODULE_PATH);
        plugin.setParameter(1, 0.0);
        plugin.prepare({static_cast<double>(input->sampleRate), 512, static_cast<std::int32_t>(input->channels.size()), false});
        EXPECT_EQ(file.get("latency_samples").get<double>(), plugin.latency()) << name;
    }
}

TEST(RenderReports, JsonOnStandardOutputLeavesTheTextToStandardError)
{
    ScratchFolder scratch;
    writeSound(scratch / "in.wav", loudThenQuiet(2, 48000, 4.0));
    const ToolRun run = runTool(scratch, {"--report-json", "-", (scratch / "in.wav").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    picojson::value report;
    ASSERT_EQ(picojson::parse(report, run.out), "") << run.out;
    EXPECT_TRUE(report.get("files").get<picojson::array>()[0].get("output").is<picojson::null>());
    EXPECT_NE(run.err.find("integrated"), std::string::npos) << run.err;
}

// Within a few pixels of y in column x, a pixel of about the colour (the
// sum of the channels' differences under tolerance: lines are smoothed into
// the rows they straddle).
bool colourNear(Gdiplus::Bitmap& picture, float x, float y, unsigned argb, int reach, int tolerance = 100)
{
    const Gdiplus::Color wanted(argb);
    for (int row = static_cast<int>(std::lround(y)) - reach; row <= static_cast<int>(std::lround(y)) + reach; ++row) {
        Gdiplus::Color found;
        picture.GetPixel(static_cast<INT>(std::lround(x)), row, &found);
        if (std::abs(found.GetR() - wanted.GetR()) + std::abs(found.GetG() - wanted.GetG()) +
                std::abs(found.GetB() - wanted.GetB()) < tolerance)
            return true;
    }
    return false;
}

TEST(RenderReports, ThePlotIsAPngOfTheStatedSizeWithItsCurvesWhereTheDataSays)
{
    ScratchFolder scratch;
    const Sound input = loudThenQuiet(2, 48000, 24.0);
    writeSound(scratch / "in.wav", input);
    const ToolRun run = runTool(scratch, {"-q", "--ratio", "4", "--target", "-20", "--plot",
                                          (scratch / "picture.png").string(), (scratch / "in.wav").string(),
                                          (scratch / "out.wav").string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // A PNG (signature, then the header chunk) of the stated size...
    const std::string bytes = slurp(scratch / "picture.png");
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    const auto word = [&](std::size_t at) {
        return (unsigned(std::uint8_t(bytes[at])) << 24) | (unsigned(std::uint8_t(bytes[at + 1])) << 16) |
               (unsigned(std::uint8_t(bytes[at + 2])) << 8) | unsigned(std::uint8_t(bytes[at + 3]));
    };
    EXPECT_EQ(word(16), static_cast<unsigned>(render::plotWidth));
    EXPECT_EQ(word(20), static_cast<unsigned>(render::plotHeight));
    // ...that an independent decoder reads.
    VSTGUI::GDIPlusGlobals::enter();
    const auto picture = vantle::vst::ResourceCache::decodeImage(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_TRUE(picture);
    ASSERT_EQ(picture->GetWidth(), static_cast<UINT>(render::plotWidth));

    // The curves at the short-term loudness libebur128 reads on the files,
    // in the middle of each passage, and nowhere far from it.
    render::PlotData data;
    data.inputShortTerm = measuredByLibebur128(input).history;
    data.outputShortTerm = measuredByLibebur128(readSound(scratch / "out.wav")).history;
    data.targetNormalized = 0.5f;
    data.ratioNormalized = 1.0f;
    const render::ChartFrame chart = render::chartFrameFor(data);
    for (double seconds : {8.3, 20.3}) {
        const auto step = static_cast<std::size_t>(seconds * 10.0) - 1;
        const float x = chart.x(seconds);
        for (const auto& [levels, colour] : {std::pair{&data.inputShortTerm, render::inputCurveColour},
                                             std::pair{&data.outputShortTerm, render::outputCurveColour}}) {
            const float y = chart.y((*levels)[step]);
            EXPECT_TRUE(colourNear(*picture, x, y, colour, 2)) << seconds << " s, at y " << y;
            EXPECT_FALSE(colourNear(*picture, x, y - 20, colour, 8, 40)) << seconds << " s, above";
            EXPECT_FALSE(colourNear(*picture, x, y + 20, colour, 8, 40)) << seconds << " s, below";
        }
    }
    // The compressor pulled the passages together: 20 dB apart in, far less out.
    EXPECT_LT(data.outputShortTerm[82] - data.outputShortTerm[202], 10.0);
    // The target line: one pixel wide, so blended with the background.
    int dashPixels = 0;
    for (float x = chart.left + 2; x < chart.left + 42; x += 1)
        dashPixels += colourNear(*picture, x, chart.y(-20.0), render::targetLineColour, 1, 150);
    EXPECT_GT(dashPixels, 15);
    EXPECT_LT(dashPixels, 35) << "not dashed";

    // The mapping graph: 4:1 around -20, lifted by at most 30 below -60,
    // bright up to the input's integrated loudness (about -14 LUFS here).
    for (double in : {-54.0, -36.0, -24.0}) {
        const double out = -20.0 + (in + 20.0) / 4.0;
        const float x = render::mappingGridLeft + static_cast<float>((10.0 + in / 6.0) * 20.0);
        const float y = render::mappingGridTop + static_cast<float>(out / -6.0 * 20.0);
        EXPECT_TRUE(colourNear(*picture, x, y, render::outputCurveColour, 1)) << "input level " << in;
        EXPECT_FALSE(colourNear(*picture, x, y - 12, render::outputCurveColour, 4)) << "input level " << in;
    }
}

} // namespace
} // namespace tarvel::test
