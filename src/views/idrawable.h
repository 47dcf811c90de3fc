#pragma once
#include <gdiplus.h>

namespace vantle::vst {

// A view that paints itself with GDI+.
class IDrawable {
public:
    virtual void paint(Gdiplus::Graphics& graphics) = 0;

protected:
    ~IDrawable() = default;
};

} // namespace vantle::vst
