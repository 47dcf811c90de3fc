#pragma once
// The --report-json document: the settings, then for every file its input
// and output, sample rate, latency, duration, processing time and the
// loudness of input and output, or the error that stopped it. Levels that
// are minus infinity (silence) are null.

#include <string>
#include <vector>

#include "tools/render/render_job.h"
#include "tools/render/report.h"

namespace tarvel::render {

std::string jsonReport(const std::vector<JobOutcome>& outcomes, const RenderOptions& options,
                       const BatchTotals& totals);

} // namespace tarvel::render
