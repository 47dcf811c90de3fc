#pragma once
#include <gdiplus.h>

namespace VSTGUI {

// The surface a view draws on. Views that paint with GDI+ ask for the GDI+
// context and its Graphics.
class CDrawContext {
public:
    virtual ~CDrawContext() = default;
};

class GdiplusDrawContext : public CDrawContext {
public:
    // Draws on the given graphics, which stays owned by the caller.
    explicit GdiplusDrawContext(Gdiplus::Graphics* target) : graphics(target) {}
    Gdiplus::Graphics* getGraphics() const { return graphics; }

private:
    Gdiplus::Graphics* graphics;
};

} // namespace VSTGUI
