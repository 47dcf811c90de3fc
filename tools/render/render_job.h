#pragma once
// One file rendered start to finish: a plug-in instance of its own with the
// command line's settings, the render, the picture, and the output moved
// into place only when all of it succeeded. Several jobs may run at once on
// different threads.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "parameters/parameter_table.h"
#include "tools/host/effect_host.h"
#include "tools/render/audio_stream.h"
#include "tools/render/render_options.h"
#include "tools/render/render_plan.h"
#include "tools/render/renderer.h"

namespace tarvel::render {

// One entry per row of the plug-in's parameter table.
inline constexpr auto parameterCount = static_cast<std::size_t>(ParameterCount);

// The plug-in's parameters as it reports them after the command line's
// settings were applied.
struct EffectSettings {
    std::array<double, parameterCount> normalized{};
    std::array<std::string, parameterCount> display; // as the plug-in shows them
};

struct JobOutcome {
    RenderJob job;
    std::string inputName; // as the report names the input
    std::string error;     // empty when the job succeeded
    StreamFormat format;
    RenderResult result;
    EffectSettings settings;
    std::vector<std::uint8_t> processorState; // after rendering
    double wallSeconds = 0.0;

    bool succeeded() const { return error.empty(); }
};

// What the jobs of one command share.
struct JobEnvironment {
    explicit JobEnvironment(const RenderOptions& commandLine) : options(commandLine) {}

    const RenderOptions& options;
    // The DAW's user-interface thread: plug-ins are created, set up,
    // stopped and released one at a time.
    std::mutex hostLock;
    // One picture drawn at a time.
    std::mutex drawingLock;
};

// Never throws: a failure is the outcome's error, and leaves no output file.
JobOutcome runJob(const RenderJob& job, JobEnvironment& environment, RenderProgress* progress);

// A plug-in instance with the command line's module, format, state and
// parameters. Throws std::runtime_error when the module cannot be loaded or
// refuses the state. Callers sharing a process hold the host lock.
std::unique_ptr<host::EffectHost> createConfiguredEffect(const RenderOptions& options);
EffectSettings settingsOf(host::EffectHost& effect);

} // namespace tarvel::render
