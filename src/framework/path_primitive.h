#pragma once
#include "toolkit/cpoint.h"

#include <cstdint>
#include <vector>

namespace vantle::vst {

struct PathPrimitive {
    enum Kind : std::int32_t {
        lineStrip = 0,   // consecutive points joined by straight segments
        bezierChain = 1, // a start point, then three points per cubic segment
    };

    std::int32_t kind = lineStrip;
    std::vector<VSTGUI::CPoint> points;
};

} // namespace vantle::vst
