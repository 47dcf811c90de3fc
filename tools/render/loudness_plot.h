#pragma once
// The picture --plot writes: the short-term loudness of input and output
// over time on one chart with the target line, and beside it the static
// mapping curve drawn as the editor's graph draws it. Drawn with GDI+,
// written as PNG.

#include <memory>
#include <string>
#include <vector>

#include "tools/render/loudness_statistics.h"
#include "tools/render/pending_file.h"

namespace Gdiplus {
class Bitmap;
}

namespace tarvel::render {

inline constexpr int plotWidth = 1000;
inline constexpr int plotHeight = 460;

struct PlotData {
    std::string title;    // the input's name (a path: its file name is shown)
    std::string settings; // the parameters
    std::string details;  // format, rate, latency
    // Short-term loudness, LUFS, one reading every meterStepSeconds.
    std::vector<double> inputShortTerm;
    std::vector<double> outputShortTerm;
    float targetNormalized = 0.5f;
    float ratioNormalized = 0.5f;
    LoudnessReport input;
    LoudnessReport output;
};

// The picture, plotWidth by plotHeight. Callers draw one picture at a time.
std::unique_ptr<Gdiplus::Bitmap> drawLoudnessPlot(const PlotData& data);

// Draws the picture and writes it beside path under a temporary name;
// commit the result to move it into place. Throws std::runtime_error.
std::unique_ptr<PendingFile> writeLoudnessPlot(const std::string& path, const PlotData& data);

} // namespace tarvel::render
