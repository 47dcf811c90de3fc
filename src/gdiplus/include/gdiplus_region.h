#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Region {
public:
    Region();
    Region(const RectF& rect);
    Region(const Rect& rect);
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    Status GetLastStatus() const;

protected:
    friend class Graphics;
    Status SetStatus(Status status) const;

    GpRegion* nativeRegion = nullptr;
    mutable Status lastResult = Ok;
};

} // namespace Gdiplus
