#include "gdiplus_region.h"
#include "native_objects.h"

namespace Gdiplus {

namespace {
GpRegion* rectangleRegion(REAL x, REAL y, REAL width, REAL height)
{
    auto* region = new GpRegion;
    region->infinite = false;
    if (width > 0 && height > 0)
        region->figures.push_back({{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}});
    return region;
}
} // namespace

Region::Region() { nativeRegion = new GpRegion; }

Region::Region(const RectF& rect) { nativeRegion = rectangleRegion(rect.X, rect.Y, rect.Width, rect.Height); }

Region::Region(const Rect& rect)
{
    nativeRegion = rectangleRegion(REAL(rect.X), REAL(rect.Y), REAL(rect.Width), REAL(rect.Height));
}

Region::~Region() { delete nativeRegion; }

} // namespace Gdiplus
