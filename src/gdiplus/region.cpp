#include "gdiplus_region.h"

namespace Gdiplus {

using namespace DllExports;

Region::Region() { lastResult = GdipCreateRegion(&nativeRegion); }

Region::Region(const RectF& rect) { lastResult = GdipCreateRegionRect(&rect, &nativeRegion); }

Region::Region(const Rect& rect) { lastResult = GdipCreateRegionRectI(&rect, &nativeRegion); }

Region::~Region()
{
    if (nativeRegion)
        GdipDeleteRegion(nativeRegion);
}

Status Region::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Region::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
