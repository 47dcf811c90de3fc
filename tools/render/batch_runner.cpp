#include "tools/render/batch_runner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "tools/render/platform/file_system.h"

namespace tarvel::render {

namespace {

constexpr auto tickInterval = std::chrono::milliseconds(200);

} // namespace

int defaultJobCount()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

std::vector<JobOutcome> runBatch(const std::vector<RenderJob>& jobs, int threads, const BatchCallbacks& callbacks)
{
    std::vector<JobOutcome> outcomes(jobs.size());
    std::atomic<std::size_t> nextJob{0};
    std::mutex finishedMutex;
    std::condition_variable finishedSignal;
    std::deque<std::size_t> finished;

    const auto work = [&] {
        for (std::size_t index = nextJob++; index < jobs.size(); index = nextJob++) {
            JobOutcome outcome;
            if (interruptRequested()) {
                outcome.job = jobs[index];
                outcome.inputName = jobs[index].inputPath;
                outcome.error = "interrupted";
            } else {
                outcome = callbacks.render(jobs[index]);
            }
            const std::lock_guard lock(finishedMutex);
            outcomes[index] = std::move(outcome);
            finished.push_back(index);
            finishedSignal.notify_one();
        }
    };
    const auto workerCount = static_cast<std::size_t>(std::clamp<int>(threads, 1, static_cast<int>(jobs.size())));
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < workerCount; ++i)
        workers.emplace_back(work);

    for (std::size_t reported = 0; reported < jobs.size();) {
        std::deque<std::size_t> arrived;
        {
            std::unique_lock lock(finishedMutex);
            finishedSignal.wait_for(lock, tickInterval, [&] { return !finished.empty(); });
            arrived.swap(finished);
        }
        // The outcomes are complete once listed, and no worker touches them
        // again.
        for (std::size_t index : arrived)
            callbacks.finished(outcomes[index]);
        reported += arrived.size();
        callbacks.tick();
    }
    for (std::thread& worker : workers)
        worker.join();
    return outcomes;
}

} // namespace tarvel::render
