#include "tools/render/batch_progress.h"

#include <algorithm>

#include "tools/render/report.h"

namespace tarvel::render {

namespace {

constexpr int barWidth = 20;
constexpr int lineWidth = 79;

// Adds what one render has written since it last said so.
class JobProgress final : public RenderProgress {
public:
    explicit JobProgress(std::atomic<std::int64_t>& batchFrames) : total(batchFrames) {}
    void started(const StreamFormat&) override {}
    void framesRendered(std::int64_t done) override
    {
        total += done - reported;
        reported = done;
    }

private:
    std::atomic<std::int64_t>& total;
    std::int64_t reported = 0;
};

} // namespace

BatchProgress::BatchProgress(std::size_t files, std::int64_t frames, bool onTerminal)
    : fileCount(files), totalFrames(frames), visible(onTerminal)
{
}

BatchProgress::~BatchProgress()
{
    finish();
}

std::unique_ptr<RenderProgress> BatchProgress::forJob()
{
    return std::make_unique<JobProgress>(framesDone);
}

void BatchProgress::fileDone()
{
    ++filesDone;
}

void BatchProgress::clearLine()
{
    std::fprintf(stderr, "\r%*s\r", lineWidth, "");
    std::fflush(stderr);
}

void BatchProgress::print(std::FILE* stream, const std::string& text)
{
    if (visible)
        clearLine();
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
    redraw();
}

void BatchProgress::redraw()
{
    if (!visible)
        return;
    const double fraction =
        totalFrames > 0 ? std::clamp(static_cast<double>(framesDone.load()) / static_cast<double>(totalFrames), 0.0, 1.0)
                        : static_cast<double>(filesDone) / static_cast<double>(std::max<std::size_t>(1, fileCount));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::string bar(barWidth, '.');
    std::fill_n(bar.begin(), static_cast<int>(fraction * barWidth), '#');
    // Only once enough is done for the rate to mean something.
    const std::string left = fraction > 0.02 && elapsed > 1.0
                                 ? "about " + durationText(elapsed * (1.0 - fraction) / fraction) + " left"
                                 : "";
    std::fprintf(stderr, "\rrendering %zu/%zu files [%s] %3d%%  %-18s", filesDone, fileCount, bar.c_str(),
                 static_cast<int>(fraction * 100.0), left.c_str());
    std::fflush(stderr);
}

void BatchProgress::finish()
{
    if (!visible)
        return;
    clearLine();
    visible = false;
}

} // namespace tarvel::render
