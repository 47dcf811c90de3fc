#pragma once
// A one-line progress bar on standard error, drawn only on a terminal and
// only for long renders, redrawn when the shown percentage changes.

#include <cstdint>

#include "tools/render/renderer.h"

namespace tarvel::render {

class ProgressBar final : public RenderProgress {
public:
    // Renders shorter than this many seconds of audio finish too quickly
    // for a bar to be worth drawing.
    static constexpr double minimumSeconds = 60.0;

    explicit ProgressBar(bool onTerminal);
    ~ProgressBar() override;

    void started(const StreamFormat& format) override;
    void framesRendered(std::int64_t framesDone) override;
    // Clears the line.
    void finish();

private:
    bool onTerminal;
    std::int64_t total = 0;
    bool visible = false;
    int shownPercent = -1;
};

} // namespace tarvel::render
