#include "tools/render/report.h"

#include <cmath>
#include <cstdio>

namespace tarvel::render {

namespace {

std::string levelText(double value, const char* unit)
{
    if (!std::isfinite(value))
        return std::string("    -inf ") + unit;
    char text[32];
    std::snprintf(text, sizeof text, "%8.1f %s", value, unit);
    return text;
}

std::string loudnessLine(const char* label, const std::string& name, const LoudnessReport& report)
{
    return std::string(label) + levelText(report.integrated, "LUFS") + "  " + levelText(report.range, "LU  ") +
           "  " + levelText(report.maxShortTerm, "LUFS") + "   " + name + "\n";
}

} // namespace

std::string settingsLine(host::EffectHost& effect)
{
    static const char* const names[] = {"bypass", "speed", "ratio", "stereo ratio", "target"};
    std::string line = "settings:";
    for (std::uint32_t id = 0; id < 5; ++id) {
        line += (id == 0 ? " " : ", ");
        line += names[id];
        line += ' ';
        line += effect.parameterDisplay(id, effect.parameter(id));
    }
    return line + "\n";
}

std::string renderReport(const ReportContext& context, const RenderResult& result)
{
    char text[256];
    std::string report;
    std::snprintf(text, sizeof text, "plug-in:  %s, latency %d samples (%.1f ms) at %.0f Hz\n", context.format.c_str(),
                  result.latency, 1000.0 * result.latency / context.sampleRate, context.sampleRate);
    report += text;
    std::snprintf(text, sizeof text, "%-9s%13s  %11s   %14s\n", "", "integrated", "range", "max short-term");
    report += text;
    report += loudnessLine("input:   ", context.inputName, result.input);
    report += loudnessLine("output:  ", context.outputName.empty() ? "(not written)" : context.outputName,
                           result.output);
    const double audioSeconds = static_cast<double>(result.frames) / context.sampleRate;
    const double factor = result.processingSeconds > 0.0 ? audioSeconds / result.processingSeconds : 0.0;
    std::snprintf(text, sizeof text, "rendered %.1f s of audio in %.3f s of processing (%.0fx real time)\n",
                  audioSeconds, result.processingSeconds, factor);
    report += text;
    return report;
}

} // namespace tarvel::render
