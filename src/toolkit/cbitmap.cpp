#include "toolkit/cbitmap.h"

#include "toolkit/cdrawcontext.h"

namespace VSTGUI {

CCoord CBitmap::getWidth() const { return picture ? CCoord(picture->GetWidth()) : 0; }
CCoord CBitmap::getHeight() const { return picture ? CCoord(picture->GetHeight()) : 0; }

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) const
{
    auto* gdiplus = dynamic_cast<GdiplusDrawContext*>(context);
    if (!gdiplus || !gdiplus->getGraphics() || !picture)
        return;
    Gdiplus::Graphics& graphics = *gdiplus->getGraphics();
    const Gdiplus::GraphicsState state = graphics.Save();
    graphics.IntersectClip(Gdiplus::RectF(float(rect.left), float(rect.top), float(rect.getWidth()), float(rect.getHeight())));
    graphics.DrawImage(picture.get(), float(rect.left - offset.x), float(rect.top - offset.y), float(getWidth()),
                       float(getHeight()));
    graphics.Restore(state);
}

} // namespace VSTGUI
