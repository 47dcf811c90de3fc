#pragma once
#include "gdiplus_native.h"

namespace Gdiplus {

class Region : public LastStatus {
public:
    Region();
    Region(const RectF& rect);
    Region(const Rect& rect);
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;


protected:
    friend class Graphics;

    GpRegion* nativeRegion = nullptr;
};

} // namespace Gdiplus
