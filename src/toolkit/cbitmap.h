#pragma once
// An image a view can show as its background, drawn through GDI+.

#include "toolkit/crect.h"

#include <gdiplus.h>

#include <memory>

namespace VSTGUI {

class CDrawContext;

class CBitmap {
public:
    explicit CBitmap(std::shared_ptr<Gdiplus::Image> image) : picture(std::move(image)) {}

    CCoord getWidth() const;
    CCoord getHeight() const;
    Gdiplus::Image* getImage() const { return picture.get(); }

    // Draws the part of the image that starts at offset into rect, at the
    // image's own scale.
    void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0)) const;

private:
    std::shared_ptr<Gdiplus::Image> picture;
};

} // namespace VSTGUI
