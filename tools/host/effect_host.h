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

    // Sets processing up and starts it; throws std::runtime_error for other
    // channel counts than 1 and 2, a block size below 1, or if the plug-in
    // refuses the set-up.
    void prepare(const ProcessSetup& setup);
    // The latency in samples the plug-in currently reports.
    virtual std::int32_t latency() = 0;
    // One block of at most maxBlockSize frames, channels and sample size as
    // prepared; throws std::logic_error otherwise or before prepare, and
    // std::runtime_error if the plug-in fails.
    void process(const float* const* input, float* const* output, std::int32_t frames);
    void process(const double* const* input, double* const* output, std::int32_t frames);
    // Stops processing and deactivates, if prepared.
    void stop();

    // The processor's state as its getState writes it (length word and
    // JSON), and the restore a host does when it loads a project: the
    // plug-in's parameters and display follow. Throws std::runtime_error if
    // the plug-in refuses the bytes.
    virtual std::vector<std::uint8_t> processorState() = 0;
    virtual void restoreProcessorState(const std::vector<std::uint8_t>& bytes) = 0;

protected:
    // What each format does of the above: set up and start processing for
    // setup() (throwing std::runtime_error if refused), stop it, and process
    // one block that the checks above have passed.
    virtual void start() = 0;
    virtual void halt() = 0;
    virtual void processBlock(const float* const* input, float* const* output, std::int32_t frames) = 0;
    virtual void processBlock(const double* const* input, double* const* output, std::int32_t frames) = 0;

    const ProcessSetup& setup() const { return current; }
    bool isPrepared() const { return prepared; }

private:
    void checkBlock(bool doublePrecision, std::int32_t frames) const;

    ProcessSetup current;
    bool prepared = false;
};

} // namespace tarvel::host
