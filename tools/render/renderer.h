#pragma once
// Streams a source through a prepared plug-in in fixed-size blocks and
// hands the sink exactly the plug-in's output, shifted back by its latency,
// so the output lines up with the input and has its length.

#include <cstdint>
#include <vector>

#include "tools/host/effect_host.h"
#include "tools/render/audio_stream.h"
#include "tools/render/loudness_meter.h"
#include "tools/render/progress_bar.h"

namespace tarvel::render {

struct RenderSettings {
    std::int32_t blockSize = 512;
    bool doublePrecision = false;
};

struct RenderResult {
    std::int32_t latency = 0;
    std::int64_t frames = 0;
    double processingSeconds = 0.0; // inside the plug-in's process calls only
    LoudnessReport input;
    LoudnessReport output;
    // Short-term loudness every meterStepSeconds, for the plot.
    std::vector<double> inputShortTerm;
    std::vector<double> outputShortTerm;
};

// Prepares effect for the source's format, renders, and stops it. sink may
// be null (report only). Throws std::runtime_error on any failure,
// including an interrupt (Ctrl-C).
RenderResult renderStream(host::EffectHost& effect, AudioSource& source, AudioSink* sink,
                          const RenderSettings& settings, ProgressBar* progress);

} // namespace tarvel::render
