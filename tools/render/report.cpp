#include "tools/render/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvel::render {

namespace {

std::string loudnessLine(const char* label, const std::string& name, const LoudnessReport& report)
{
    return std::string(label) + levelText(report.integrated, " LUFS", 8) + "  " + levelText(report.range, " LU  ", 8) +
           "  " + levelText(report.maxShortTerm, " LUFS", 8) + "  " + levelText(report.samplePeak, " dBFS", 8) + "   " +
           name + "\n";
}

double audioSecondsOf(const JobOutcome& outcome)
{
    return outcome.format.sampleRate > 0.0 ? static_cast<double>(outcome.result.frames) / outcome.format.sampleRate
                                           : 0.0;
}

} // namespace

std::string levelText(double value, const std::string& unit, int width)
{
    char text[32];
    if (std::isfinite(value))
        std::snprintf(text, sizeof text, "%*.1f", width, value);
    else
        std::snprintf(text, sizeof text, "%*s", width, "-inf");
    return text + unit;
}

std::string formatName(const std::string& formatOption)
{
    if (formatOption == "clap")
        return "CLAP";
    if (formatOption == "lv2")
        return "LV2";
    return formatOption == "vst2" ? "VST 2.4" : "VST 3";
}

const char* parameterName(std::size_t id)
{
    static const char* const names[parameterCount] = {"bypass", "speed", "ratio", "stereo ratio", "target"};
    return id < parameterCount ? names[id] : "";
}

std::string settingsText(const EffectSettings& settings)
{
    std::string text;
    for (std::size_t id = 0; id < parameterCount; ++id) {
        if (id > 0)
            text += ", ";
        text += parameterName(id);
        text += ' ';
        text += settings.display[id];
    }
    return text;
}

std::string durationText(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string renderReport(const JobOutcome& outcome, const std::string& formatOption)
{
    const RenderResult& result = outcome.result;
    const double sampleRate = outcome.format.sampleRate;
    char text[256];
    std::string report = "settings: " + settingsText(outcome.settings) + "\n";
    std::snprintf(text, sizeof text, "plug-in:  %s, latency %d samples (%.1f ms) at %.0f Hz\n",
                  formatName(formatOption).c_str(), result.latency, 1000.0 * result.latency / sampleRate, sampleRate);
    report += text;
    std::snprintf(text, sizeof text, "%-9s%13s  %11s   %14s  %10s\n", "", "integrated", "range", "max short-term",
                  "peak");
    report += text;
    report += loudnessLine("input:   ", outcome.inputName, result.input);
    report += loudnessLine("output:  ", outcome.job.outputPath.empty() ? "(not written)" : outcome.job.outputPath,
                           result.output);
    const double audioSeconds = audioSecondsOf(outcome);
    const double factor = result.processingSeconds > 0.0 ? audioSeconds / result.processingSeconds : 0.0;
    std::snprintf(text, sizeof text, "rendered %.1f s of audio in %.3f s of processing (%.0fx real time)\n",
                  audioSeconds, result.processingSeconds, factor);
    report += text;
    if (!outcome.job.plotPath.empty())
        report += "picture:  " + outcome.job.plotPath + "\n";
    return report;
}

std::string failureLine(const JobOutcome& outcome)
{
    return "tarvel-render: " + outcome.inputName + ": " + outcome.error + "\n";
}

std::string summaryLine(const JobOutcome& outcome)
{
    const LoudnessReport& in = outcome.result.input;
    const LoudnessReport& out = outcome.result.output;
    char text[256];
    std::snprintf(text, sizeof text, "%7s  %6s -> %6s LUFS  range %5s -> %5s LU  peak %6s dBFS  %5.1f s  ",
                  durationText(audioSecondsOf(outcome)).c_str(), levelText(in.integrated).c_str(),
                  levelText(out.integrated).c_str(), levelText(in.range).c_str(),
                  levelText(out.range).c_str(), levelText(out.samplePeak).c_str(), outcome.wallSeconds);
    return std::string(text) + outcome.job.outputPath + "\n";
}

BatchTotals totalsOf(const std::vector<JobOutcome>& outcomes, double wallSeconds)
{
    BatchTotals totals;
    totals.files = outcomes.size();
    totals.wallSeconds = wallSeconds;
    for (const JobOutcome& outcome : outcomes) {
        if (!outcome.succeeded())
            ++totals.failed;
        else
            totals.audioSeconds += audioSecondsOf(outcome);
    }
    return totals;
}

std::string totalLine(const BatchTotals& totals)
{
    const std::string failures = totals.failed ? ", " + std::to_string(totals.failed) + " failed" : "";
    const double factor = totals.wallSeconds > 0.0 ? totals.audioSeconds / totals.wallSeconds : 0.0;
    char text[256];
    std::snprintf(text, sizeof text, "%zu of %zu files rendered%s, %s of audio in %.1f s (%.0fx real time)\n",
                  totals.files - totals.failed, totals.files, failures.c_str(),
                  durationText(totals.audioSeconds).c_str(), totals.wallSeconds, factor);
    return text;
}

} // namespace tarvel::render
