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

// The curves' colours (ARGB): the output in the editor's curve colour.
inline constexpr unsigned inputCurveColour = 0xFF7F9CC8;
inline constexpr unsigned outputCurveColour = 0xFFB4FFC8;
inline constexpr unsigned targetLineColour = 0xFF59DBDF;

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

// Where the loudness chart puts a moment and a level. The level span
// follows the data: from a little above the loudest reading (or the target)
// down to a little below the quietest one that is not silence, in whole 6 LU
// grid cells, 24 LU at least and never below -72 LUFS.
struct ChartFrame {
    float left = 72, top = 134, right = 676, bottom = 414;
    double seconds = 1.0;
    double levelTop = 0.0, levelBottom = -24.0;

    float x(double time) const;
    float y(double level) const;
};
ChartFrame chartFrameFor(const PlotData& data);

// The mapping graph (the editor's own graph view): its grid's top-left
// corner (0 LUFS out, -60 LUFS in), 20 pixels for every 6 LU.
inline constexpr float mappingGridLeft = 762;
inline constexpr float mappingGridTop = 176;

// The picture, plotWidth by plotHeight. Callers draw one picture at a time.
std::unique_ptr<Gdiplus::Bitmap> drawLoudnessPlot(const PlotData& data);

// Draws the picture and writes it beside path under a temporary name;
// commit the result to move it into place. Throws std::runtime_error.
std::unique_ptr<PendingFile> writeLoudnessPlot(const std::string& path, const PlotData& data);

} // namespace tarvel::render
