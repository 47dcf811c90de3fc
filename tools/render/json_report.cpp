#include "tools/render/json_report.h"

#include <picojson.h>

#include <cmath>
#include <cstdlib>

namespace tarvel::render {

namespace {

using picojson::value;
using Object = picojson::object;

value number(double x)
{
    return std::isfinite(x) ? value(x) : value();
}

value loudnessOf(const LoudnessReport& report)
{
    return value(Object{{"integrated_lufs", number(report.integrated)},
                        {"range_lu", number(report.range)},
                        {"max_short_term_lufs", number(report.maxShortTerm)},
                        {"sample_peak_dbfs", number(report.samplePeak)}});
}

// Switches as words, the rest as the numbers the plug-in displays.
value settingsOf(const EffectSettings& settings)
{
    Object object;
    for (std::size_t id = 0; id < parameterCount; ++id) {
        std::string key = parameterName(id);
        for (char& c : key)
            if (c == ' ')
                c = '_';
        const std::string& shown = settings.display[id];
        char* end = nullptr;
        const double asNumber = std::strtod(shown.c_str(), &end);
        if (!shown.empty() && end == shown.c_str() + shown.size())
            object[key] = value(asNumber);
        else
            object[key] = value(shown);
        object[key + "_normalized"] = value(settings.normalized[id]);
    }
    return value(object);
}

value fileOf(const JobOutcome& outcome)
{
    Object file{{"input", value(outcome.inputName)},
                {"output", outcome.job.outputPath.empty() ? value() : value(outcome.job.outputPath)},
                {"ok", value(outcome.succeeded())}};
    if (!outcome.job.plotPath.empty())
        file["plot"] = value(outcome.job.plotPath);
    if (!outcome.succeeded()) {
        file["error"] = value(outcome.error);
        return value(file);
    }
    const RenderResult& result = outcome.result;
    const double rate = outcome.format.sampleRate;
    file["sample_rate"] = value(rate);
    file["channels"] = value(static_cast<double>(outcome.format.channels));
    file["frames"] = value(static_cast<double>(result.frames));
    file["duration_seconds"] = value(static_cast<double>(result.frames) / rate);
    file["latency_samples"] = value(static_cast<double>(result.latency));
    file["latency_ms"] = value(1000.0 * result.latency / rate);
    file["processing_seconds"] = value(result.processingSeconds);
    file["wall_seconds"] = value(outcome.wallSeconds);
    file["input_loudness"] = loudnessOf(result.input);
    file["output_loudness"] = loudnessOf(result.output);
    return value(file);
}

} // namespace

std::string jsonReport(const std::vector<JobOutcome>& outcomes, const RenderOptions& options,
                       const BatchTotals& totals)
{
    picojson::array files;
    value settings;
    for (const JobOutcome& outcome : outcomes) {
        files.push_back(fileOf(outcome));
        if (settings.is<picojson::null>() && outcome.succeeded())
            settings = settingsOf(outcome.settings);
    }
    const Object document{
        {"plugin", value(Object{{"format", value(formatName(options.format))},
                                {"module", value(options.modulePath)},
                                {"block_size", value(static_cast<double>(options.blockSize))},
                                {"precision_bits", value(options.doublePrecision ? 64.0 : 32.0)}})},
        {"settings", settings},
        {"files", value(files)},
        {"total", value(Object{{"files", value(static_cast<double>(totals.files))},
                               {"failed", value(static_cast<double>(totals.failed))},
                               {"audio_seconds", value(totals.audioSeconds)},
                               {"wall_seconds", value(totals.wallSeconds)}})},
    };
    return value(document).serialize(true);
}

} // namespace tarvel::render
