#pragma once
// Renders the jobs of a batch several at a time. The calling thread hands
// on each outcome as it arrives (so failures are reported while the other
// files render) and ticks a display in between.

#include <functional>
#include <vector>

#include "tools/render/render_job.h"

namespace tarvel::render {

struct BatchCallbacks {
    std::function<JobOutcome(const RenderJob&)> render; // on a worker thread
    std::function<void(const JobOutcome&)> finished;    // on the calling thread
    std::function<void()> tick;                         // on the calling thread, a few times a second
};

// The outcomes in the jobs' order. After an interrupt (Ctrl-C) the jobs not
// yet started are not rendered and fail as "interrupted".
std::vector<JobOutcome> runBatch(const std::vector<RenderJob>& jobs, int threads, const BatchCallbacks& callbacks);

// The default number of files rendered at once: one per core.
int defaultJobCount();

} // namespace tarvel::render
