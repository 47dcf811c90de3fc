#include "gdiplus_pen.h"

namespace Gdiplus {

using namespace DllExports;

Pen::Pen(const Color& color, REAL width) { lastResult = GdipCreatePen1(color.GetValue(), width, UnitWorld, &nativePen); }

Pen::~Pen()
{
    if (nativePen)
        GdipDeletePen(nativePen);
}

Status Pen::GetLastStatus() const
{
    const Status status = lastResult;
    lastResult = Ok;
    return status;
}

Status Pen::SetStatus(Status status) const
{
    if (status != Ok)
        lastResult = status;
    return status;
}

} // namespace Gdiplus
