#pragma once
// Streams a source through a prepared plug-in in fixed-size blocks and
// hands the sink exactly the plug-in's output, shifted back by its latency,
// so the output lines up with the input and has its length.

#include <cstdint>
#include <mutex>
#include <vector>

#include "tools/host/effect_host.h"
#include "tools/render/audio_stream.h"
#include "tools/render/loudness_meter.h"

namespace tarvel::render {

// Told how a render goes, on the thread that renders.
class RenderProgress {
public:
    virtual ~RenderProgress() = default;
    virtual void started(const StreamFormat& format) = 0;
    // Frames written so far.
    virtual void framesRendered(std::int64_t done) = 0;
};

struct RenderSettings {
    std::int32_t blockSize = 512;
    bool doublePrecision = false;
    // Held while the plug-in is set up and stopped: a DAW makes those calls
    // on its one user-interface thread, so renders sharing a process must
    // not make them at the same time. May be null for a lone render.
    std::mutex* hostLock = nullptr;
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
                          const RenderSettings& settings, RenderProgress* progress);

} // namespace tarvel::render
