#pragma once
// A one-line progress bar on standard error, drawn only on a terminal and
// only for long renders, redrawn when the shown percentage changes.

#include <cstdint>

namespace tarvel::render {

class ProgressBar {
public:
    // Renders shorter than this many seconds of audio finish too quickly
    // for a bar to be worth drawing.
    static constexpr double minimumSeconds = 60.0;

    ProgressBar(std::int64_t totalFrames, double sampleRate, bool onTerminal);
    ~ProgressBar();

    void update(std::int64_t framesDone);
    // Clears the line.
    void finish();

private:
    std::int64_t total;
    bool visible;
    int shownPercent = -1;
};

} // namespace tarvel::render
