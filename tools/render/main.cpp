// tarvel-render: renders audio files through the plug-in module, loaded
// through its factory exactly as a DAW loads it.

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/render/batch_progress.h"
#include "tools/render/batch_runner.h"
#include "tools/render/json_report.h"
#include "tools/render/pending_file.h"
#include "tools/render/platform/file_system.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_job.h"
#include "tools/render/render_options.h"
#include "tools/render/render_plan.h"
#include "tools/render/report.h"
#include "tools/render/sound_file.h"

namespace {

using namespace tarvel::render;

// Where the text report goes: standard output, unless the JSON report is
// written there.
std::FILE* textStream(const RenderOptions& options)
{
    return options.reportJsonPath == "-" ? stderr : stdout;
}

// The files written after the renders, their places claimed before them so
// that an unwritable one stops the command before it renders anything.
class ReportFiles {
public:
    explicit ReportFiles(const RenderOptions& commandLine) : options(commandLine)
    {
        if (!options.saveStatePath.empty())
            state = PendingFile::reserve(options.saveStatePath);
        if (!options.reportJsonPath.empty() && options.reportJsonPath != "-")
            json = PendingFile::reserve(options.reportJsonPath);
    }

    void write(const std::vector<JobOutcome>& outcomes, const BatchTotals& totals)
    {
        // Every render starts from the same state, so any of them tells it.
        const auto rendered = std::find_if(outcomes.begin(), outcomes.end(), [](const JobOutcome& outcome) {
            return outcome.succeeded();
        });
        if (state && rendered != outcomes.end()) {
            state->write(std::string(rendered->processorState.begin(), rendered->processorState.end()));
            state->commit();
        }
        if (options.reportJsonPath.empty())
            return;
        const std::string text = jsonReport(outcomes, options, totals) + "\n";
        if (json) {
            json->write(text);
            json->commit();
        } else {
            std::fputs(text.c_str(), stdout);
            std::fflush(stdout);
        }
    }

private:
    const RenderOptions& options;
    std::unique_ptr<PendingFile> state;
    std::unique_ptr<PendingFile> json;
};

int renderOne(const RenderOptions& options, const RenderJob& job)
{
    ReportFiles reports(options);
    JobEnvironment environment(options);
    ProgressBar progress(!options.quiet && standardErrorIsTerminal());
    const auto started = std::chrono::steady_clock::now();
    const JobOutcome outcome = runJob(job, environment, &progress);
    progress.finish();
    if (!outcome.succeeded())
        throw std::runtime_error(outcome.error);
    const std::vector<JobOutcome> outcomes{outcome};
    reports.write(outcomes,
                  totalsOf(outcomes, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()));
    if (!options.quiet)
        std::fputs(renderReport(outcome, options.format).c_str(), textStream(options));
    return 0;
}

std::int64_t framesOf(const std::vector<RenderJob>& jobs)
{
    std::int64_t frames = 0;
    for (const RenderJob& job : jobs) {
        try {
            frames += SoundFileReader(job.inputPath).format().frames;
        } catch (const std::exception&) {
            // Reported when its turn comes.
        }
    }
    return frames;
}

int renderMany(const RenderOptions& options, const std::vector<RenderJob>& jobs)
{
    // A module that cannot be loaded or a state it refuses would fail every
    // file the same way: say so once, before touching any.
    const std::string settings = settingsText(settingsOf(*createConfiguredEffect(options)));
    ReportFiles reports(options);
    std::FILE* text = textStream(options);
    if (!options.quiet)
        std::fprintf(text, "settings: %s\nplug-in:  %s, %zu files\n", settings.c_str(),
                     formatName(options.format).c_str(), jobs.size());

    const bool showProgress = !options.quiet && standardErrorIsTerminal();
    BatchProgress progress(jobs.size(), showProgress ? framesOf(jobs) : 0, showProgress);
    JobEnvironment environment(options);
    const auto started = std::chrono::steady_clock::now();
    const std::vector<JobOutcome> outcomes = runBatch(
        jobs, options.jobs > 0 ? options.jobs : defaultJobCount(),
        {[&](const RenderJob& job) { return runJob(job, environment, progress.forJob().get()); },
         [&](const JobOutcome& outcome) {
             progress.fileDone();
             if (!outcome.succeeded())
                 progress.print(stderr, failureLine(outcome));
             else if (!options.quiet)
                 progress.print(text, summaryLine(outcome));
         },
         [&] { progress.redraw(); }});
    progress.finish();

    const BatchTotals totals =
        totalsOf(outcomes, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (!options.quiet)
        std::fputs(totalLine(totals).c_str(), text);
    reports.write(outcomes, totals);
    return totals.failed == 0 ? 0 : 1;
}

// Installed (bin/ beside lib/vst3/, as the Debian package and a system-wide
// install lay it out), the tool renders through the installed module; a
// per-user install puts the tool in ~/.local/bin and the bundle in ~/.vst3;
// in the build tree, through the module built beside it.
std::string defaultModule()
{
    const std::string folder = executableFolder();
    const std::string installed = folder + "/../lib/vst3/Tarvel64.vst3";
    if (!folder.empty() && fileExists(installed))
        return installed;
    const char* home = std::getenv("HOME");
    std::error_code error;
    if (!folder.empty() && home && *home && std::filesystem::equivalent(folder, std::string(home) + "/.local/bin", error)) {
        const std::string user = std::string(home) + "/.vst3/Tarvel64.vst3";
        if (fileExists(user))
            return user;
    }
    return TARVEL_DEFAULT_MODULE;
}

} // namespace

int main(int argc, char** argv)
{
    catchInterrupts();
    try {
        const RenderOptions options =
            parseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), defaultModule());
        if (options.help) {
            std::fputs(usageText(), stdout);
            return 0;
        }
        const RenderPlan plan = planRender(options);
        return plan.batch ? renderMany(options, plan.jobs) : renderOne(options, plan.jobs.front());
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tarvel-render: %s\n(tarvel-render --help lists the options)\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tarvel-render: %s\n", error.what());
        return 1;
    }
}
