#include "gdiplus_pen.h"
#include "native_objects.h"

namespace Gdiplus {

Pen::Pen(const Color& color, REAL width)
{
    nativePen = new GpPen;
    nativePen->color = color.GetValue();
    nativePen->width = width;
    nativePen->unit = UnitWorld;
}

Pen::~Pen() { delete nativePen; }

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
