#pragma once
// The text tarvel-render prints: the full report of a single render, and
// the one-line summaries of a batch.

#include <string>

#include "tools/render/render_job.h"

namespace tarvel::render {

// "VST 3" or "VST 2.4" for the --format option's value.
std::string formatName(const std::string& formatOption);

// "bypass Off, speed Slow, ratio 2.00, stereo ratio 1.00, target -20.00".
std::string settingsText(const EffectSettings& settings);
const char* parameterName(std::size_t id);

std::string renderReport(const JobOutcome& outcome, const std::string& formatOption);

// One line for a file of a batch that was rendered.
std::string summaryLine(const JobOutcome& outcome);
// "tarvel-render: INPUT: what went wrong", for standard error.
std::string failureLine(const JobOutcome& outcome);

struct BatchTotals {
    std::size_t files = 0;
    std::size_t failed = 0;
    double audioSeconds = 0.0;
    double wallSeconds = 0.0;
};
BatchTotals totalsOf(const std::vector<JobOutcome>& outcomes, double wallSeconds);
std::string totalLine(const BatchTotals& totals);

// A level with one decimal ("-inf" for minus infinity), right-aligned in
// width characters, then unit.
std::string levelText(double value, const std::string& unit = {}, int width = 0);

// m:ss (h:mm:ss from an hour on).
std::string durationText(double seconds);

} // namespace tarvel::render
