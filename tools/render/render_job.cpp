#include "tools/render/render_job.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "tools/render/demo_signal.h"
#include "tools/render/effect_factory.h"
#include "tools/render/loudness_plot.h"
#include "tools/render/report.h"
#include "tools/render/sound_file.h"

namespace tarvel::render {

namespace {

// Far above any state the plug-in writes; a bigger file is not a state.
constexpr std::streamoff largestStateFile = 1 << 20;

std::vector<std::uint8_t> readStateFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        throw std::runtime_error("cannot open state '" + path + "'");
    const std::streamoff size = file.tellg();
    if (size <= 0 || size > largestStateFile)
        throw std::runtime_error("'" + path + "' is not a saved state");
    file.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        throw std::runtime_error("cannot read state '" + path + "'");
    return bytes;
}

// Releases the plug-in holding the host lock, however the job ends.
class SharedEffect {
public:
    explicit SharedEffect(JobEnvironment& shared) : environment(shared)
    {
        const std::lock_guard lock(environment.hostLock);
        effect = createConfiguredEffect(environment.options);
    }
    ~SharedEffect()
    {
        const std::lock_guard lock(environment.hostLock);
        effect.reset();
    }
    SharedEffect(const SharedEffect&) = delete;
    SharedEffect& operator=(const SharedEffect&) = delete;

    host::EffectHost& operator*() { return *effect; }

private:
    JobEnvironment& environment;
    std::unique_ptr<host::EffectHost> effect;
};

PlotData plotDataOf(const JobOutcome& outcome, const std::string& formatOption)
{
    PlotData data;
    data.title = outcome.inputName;
    data.settings = settingsText(outcome.settings);
    char details[160];
    std::snprintf(details, sizeof details, "%s, %.0f Hz, %d channel%s, latency %.1f ms, %s",
                  formatName(formatOption).c_str(), outcome.format.sampleRate, outcome.format.channels,
                  outcome.format.channels == 1 ? "" : "s", 1000.0 * outcome.result.latency / outcome.format.sampleRate,
                  durationText(static_cast<double>(outcome.result.frames) / outcome.format.sampleRate).c_str());
    data.details = details;
    data.inputShortTerm = outcome.result.inputShortTerm;
    data.outputShortTerm = outcome.result.outputShortTerm;
    data.targetNormalized = static_cast<float>(outcome.settings.normalized[4]);
    data.ratioNormalized = static_cast<float>(outcome.settings.normalized[2]);
    data.input = outcome.result.input;
    data.output = outcome.result.output;
    return data;
}

} // namespace

std::unique_ptr<host::EffectHost> createConfiguredEffect(const RenderOptions& options)
{
    auto effect = createEffectHost(options.format, options.modulePath);
    if (!options.statePath.empty())
        effect->restoreProcessorState(readStateFile(options.statePath));
    for (const auto& setting : options.parameters)
        effect->setParameter(setting.id, setting.normalized);
    return effect;
}

EffectSettings settingsOf(host::EffectHost& effect)
{
    EffectSettings settings;
    for (std::uint32_t id = 0; id < parameterCount; ++id) {
        settings.normalized[id] = effect.parameter(id);
        settings.display[id] = effect.parameterDisplay(id, settings.normalized[id]);
    }
    return settings;
}

JobOutcome runJob(const RenderJob& job, JobEnvironment& environment, RenderProgress* progress)
{
    const RenderOptions& options = environment.options;
    const auto started = std::chrono::steady_clock::now();
    JobOutcome outcome;
    outcome.job = job;
    outcome.inputName = job.inputPath.empty() ? DemoSignal().name() : job.inputPath;
    try {
        SharedEffect effect(environment);
        {
            const std::lock_guard lock(environment.hostLock);
            outcome.settings = settingsOf(*effect);
        }

        std::unique_ptr<AudioSource> source;
        int preferredFormat = 0;
        if (job.inputPath.empty()) {
            source = std::make_unique<DemoSignal>();
        } else {
            auto file = std::make_unique<SoundFileReader>(job.inputPath);
            preferredFormat = file->fileFormat();
            source = std::move(file);
        }
        outcome.format = source->format();

        std::unique_ptr<SoundFileWriter> writer;
        if (!job.outputPath.empty())
            writer = std::make_unique<SoundFileWriter>(job.outputPath, outcome.format, preferredFormat);

        outcome.result = renderStream(*effect, *source, writer.get(),
                                      {options.blockSize, options.doublePrecision, &environment.hostLock}, progress);
        {
            const std::lock_guard lock(environment.hostLock);
            outcome.processorState = (*effect).processorState();
        }

        // The picture is drawn before the sound is moved into place, so a
        // picture that cannot be written leaves neither file.
        std::unique_ptr<PendingFile> picture;
        if (!job.plotPath.empty()) {
            const std::lock_guard lock(environment.drawingLock);
            picture = writeLoudnessPlot(job.plotPath, plotDataOf(outcome, options.format));
        }
        if (writer)
            writer->commit();
        if (picture)
            picture->commit();
    } catch (const std::exception& error) {
        outcome.error = error.what();
    } catch (...) {
        outcome.error = "unexpected failure";
    }
    outcome.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return outcome;
}

} // namespace tarvel::render
