#pragma once
// One plug-in instance driven the way a DAW drives it, whatever the plug-in
// format: parameter edits, set-up, blocks of audio, saved state. The render
// tool works only through this, so every format renders the same way.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvel::host {

struct ProcessSetup {
    double sampleRate = 48000.0;
    std::int32_t maxBlockSize = 512;
    std::int32_t channels = 2;         // 1 or 2, the same on input and output
    bool doublePrecision = false;      // 64-bit samples
};

class EffectHost {
public:
    virtual ~EffectHost() = default;

    // A parameter's normalised value. Before prepare it is a start value:
    // processing starts from it as from a loaded project, with no ramp from
    // the default. While prepared it is a user's edit: the controller hears
    // it at once, the processor with the next block (at offset 0).
    virtual void setParameter(std::uint32_t id, double normalized) = 0;
    virtual double parameter(std::uint32_t id) = 0;
    // The text the plug-in shows for a normalised value.
    virtual std::string parameterDisplay(std::uint32_t id, double normalized) = 0;

    // Sets processing up and starts it; throws std::runtime_error if the
    // plug-in refuses the set-up.
    virtual void prepare(const ProcessSetup& setup) = 0;
    // The latency in samples the plug-in currently reports.
    virtual std::int32_t latency() = 0;
    // One block of at most maxBlockSize frames, channels as prepared.
    virtual void process(const float* const* input, float* const* output, std::int32_t frames) = 0;
    virtual void process(const double* const* input, double* const* output, std::int32_t frames) = 0;
    // Stops processing and deactivates.
    virtual void stop() = 0;

    // The processor's state as its getState writes it (length word and
    // JSON), and the restore a host does when it loads a project: the
    // plug-in's parameters and display follow. Throws std::runtime_error if
    // the plug-in refuses the bytes.
    virtual std::vector<std::uint8_t> processorState() = 0;
    virtual void restoreProcessorState(const std::vector<std::uint8_t>& bytes) = 0;
};

} // namespace tarvel::host
