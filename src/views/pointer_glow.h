#pragma once
// The knob pointer's glow: a soft, blurred copy of a drawn bitmap.

#include <gdiplus.h>

#include <memory>

namespace vantle::vst {

// A box blur of the source, run `passes` times (each a vertical then a
// horizontal moving average over 2 radius + 1 pixels, outside counting as
// transparent), then every channel times gain. Null when a bitmap cannot be
// made or read.
std::unique_ptr<Gdiplus::Bitmap> makeGlow(Gdiplus::Bitmap& source, int radius, float gain, int passes);

} // namespace vantle::vst
