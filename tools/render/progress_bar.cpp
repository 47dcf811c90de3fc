#include "tools/render/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace tarvel::render {

namespace {
constexpr int barWidth = 40;
}

ProgressBar::ProgressBar(bool terminal) : onTerminal(terminal) {}

void ProgressBar::started(const StreamFormat& format)
{
    total = format.frames;
    visible = onTerminal && total > 0 && static_cast<double>(total) >= minimumSeconds * format.sampleRate;
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::framesRendered(std::int64_t framesDone)
{
    if (!visible)
        return;
    const int percent = static_cast<int>(std::min(framesDone, total) * 100 / total);
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    const int filled = percent * barWidth / 100;
    char bar[barWidth + 1];
    for (int i = 0; i < barWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[barWidth] = '\0';
    std::fprintf(stderr, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (!visible)
        return;
    visible = false;
    std::fprintf(stderr, "\r%*s\r", barWidth + 20, "");
    std::fflush(stderr);
}

} // namespace tarvel::render
