#pragma once
// The progress line of a batch on standard error (files done of all,
// how much of the audio is rendered, time left), drawn only on a terminal.
// Lines printed through it appear above the progress line.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "tools/render/renderer.h"

namespace tarvel::render {

class BatchProgress {
public:
    // totalFrames: the frames of all files, as far as their headers tell.
    BatchProgress(std::size_t files, std::int64_t totalFrames, bool onTerminal);
    ~BatchProgress();

    // For one job: adds its rendered frames to the batch's. Thread-safe.
    std::unique_ptr<RenderProgress> forJob();
    void fileDone();
    // On the thread that made the BatchProgress, as are the rest.
    void print(std::FILE* stream, const std::string& text);
    void redraw();
    // Clears the line.
    void finish();

private:
    void clearLine();

    std::size_t fileCount;
    std::size_t filesDone = 0;
    std::int64_t totalFrames;
    std::atomic<std::int64_t> framesDone{0};
    bool visible;
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

} // namespace tarvel::render
