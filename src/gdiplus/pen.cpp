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

} // namespace Gdiplus
